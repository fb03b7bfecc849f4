// The game's answers to the platform: the platform layer sits below the
// game and reaches it only through these, which the game registers at
// start-up. Until then they do the least: nothing, or end the process.
#pragma once

struct PlatformHooks {
  // Window messages, arriving devices and music notices, handled while a
  // picture is shown.
  void (*pumpMessages)() = nullptr;
  // A fault the game cannot go on after (a picture that cannot be read):
  // the game's orderly shutdown. It must not return.
  void (*fatalError)() = nullptr;
};
extern PlatformHooks platformHooks;

void runPumpMessagesHook();
[[noreturn]] void runFatalErrorHook();
