// The SDL back end driven in-process on SDL's dummy display, shared by
// the tests of the real game.
#pragma once
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "app/app_state.h"
#include "platform/data_path.h"
#include "platform/display.h"
#include "platform/os.h"
#include "platform/sdl/sdl_backend.h"
#include "stage/stage_state.h"
#include "test_support.h"

// Settings file, save folder and data for one game, on the dummy display
// unless DISPLAY names a real one.
inline void startGame(const std::string& settings, bool dummyDisplay = true) {
  std::string dir = makeTempDir();
  ASSERT_EQ(mkdir((dir + "/puxten").c_str(), 0700), 0);
  writeFile(dir + "/puxten/settings.ini", settings);
  setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
  if (dummyDisplay) setenv("SDL_VIDEODRIVER", "dummy", 1);
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  // The dummy display never has the focus that pads otherwise need.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  ASSERT_EQ(sdlStartOn(), 1);
  ASSERT_TRUE(enterDataFolder(PUXTEN_DATA_DIR));
  setSaveFolder((dir + "/save").c_str());
  resetGame();
  setDisplayMode(200, 200, 640, 480, 0, "PUXTEN");
  loadAssets();
  app.session = GameSession{};
}

inline void runFrames(int n) {
  for (int i = 0; i < n; i++) runFrame();
}

// Home stage 0 with the player standing still on the ground.
inline void enterHomeStage() {
  stage.homeStage = 0;
  app.scene = SCENE_NEW_RUN;
  for (int i = 0; i < 200 && app.scene != SCENE_PLAY; i++) runFrame();
  ASSERT_EQ(app.scene, SCENE_PLAY);
  runFrames(25);
}

struct VirtualPad {
  SDL_Joystick* joystick = nullptr;
  int index = -1;

  void attach() {
    SDL_VirtualJoystickDesc desc = {};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.name = "test pad";
    index = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(index, 0) << SDL_GetError();
    joystick = SDL_JoystickOpen(index);
    ASSERT_NE(joystick, nullptr);
    runFrames(1);  // the back end opens it as a game controller
  }
  void detach() {
    SDL_JoystickClose(joystick);
    ASSERT_EQ(SDL_JoystickDetachVirtual(index), 0);
    joystick = nullptr;  // pressing it does nothing now
    runFrames(1);
  }
  // Holds a button for some frames, then lets it go for one.
  void press(SDL_GameControllerButton b, int frames) {
    SDL_JoystickSetVirtualButton(joystick, b, 1);
    runFrames(frames);
    SDL_JoystickSetVirtualButton(joystick, b, 0);
    runFrames(1);
  }
};

inline constexpr const char* QUIET_SETTINGS = "display = window\npause_on_focus_loss = no\n";
