// Controls of the headless back end, for the replay runner and the tests.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/os.h"

struct HeadlessState {
  int32_t nowMs = 0;    // the game's 32-bit clock; wraps as a real one does
  int64_t sleptMs = 0;  // virtual time since the reset, never wraps
  uint8_t keys[256] = {};
  int startupAnswer = IDNO;
  int presentedCount = 0;
  std::vector<uint32_t> lastFrame;  // last presented picture, 0x00RRGGBB
  int lastFrameWidth = 0, lastFrameHeight = 0;
  std::vector<std::string> messageBoxes;  // "caption|text" of every box shown
  std::vector<std::string> notices;       // every osShowNotice text
  // Called after every presented picture, with its number (from 1).
  std::function<void(int)> onPresent;
  // Called instead of ending the process (tests); when empty, exit().
  std::function<void(int)> onTerminate;
  // Called once before the first frame (the runner's --stage).
  std::function<void()> beforeFirstFrame;
  int mode = 0, clientW = 0, clientH = 0;
  // A demo's clock: the game's reading for picture i + 1 at index i. While
  // it lasts, each wait jumps to the next picture's reading instead of
  // moving by what the game asked.
  std::vector<int32_t> clockByPicture;
};
extern HeadlessState headless;

void headlessReset();  // clock 0, no keys, counters cleared, hooks kept
// Starts the game's clock at this value (the runner's --clock-start), so a
// run can cross the clock's wrap.
void headlessStartClockAt(uint32_t ms);
void headlessSetKey(int vk, int held);
void headlessReleaseAllKeys();
