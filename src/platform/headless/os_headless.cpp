// The headless back end: a virtual clock that moves only when the game
// waits, keys set by the runner or a test, and no window at all.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/headless/headless.h"
#include "platform/os.h"

HeadlessState headless;

// A fixed calendar day, so that every run writes the same save files.
constexpr int64_t VIRTUAL_EPOCH_SECONDS = 1767225600;  // 2026-01-01

void headlessReset() {
  headless.nowMs = 0;
  headless.sleptMs = 0;
  std::memset(headless.keys, 0, sizeof headless.keys);
  headless.presentedCount = 0;
  headless.lastFrame.clear();
  headless.messageBoxes.clear();
  headless.notices.clear();
  headless.clockByPicture.clear();
}

void headlessSetKey(int vk, int held) {
  if (vk >= 0 && vk < 256) headless.keys[vk] = held ? 1 : 0;
}

void headlessReleaseAllKeys() { std::memset(headless.keys, 0, sizeof headless.keys); }

void headlessStartClockAt(uint32_t ms) { headless.nowMs = (int32_t)ms; }

int32_t osNowMs() { return headless.nowMs; }
void osSleepMs(int32_t ms) {
  // A demo's clock jumps to the next picture's reading.
  bool fromDemo = (size_t)headless.presentedCount < headless.clockByPicture.size();
  uint32_t step = fromDemo ? (uint32_t)headless.clockByPicture[headless.presentedCount] -
                                 (uint32_t)headless.nowMs
                           : (uint32_t)(ms > 0 ? ms : 0);
  headless.nowMs = (int32_t)((uint32_t)headless.nowMs + step);
  headless.sleptMs += (int32_t)step;
}
// Counted from the run's start, whatever the clock started at, so that
// the save files do not depend on it.
int64_t osCalendarSeconds() { return VIRTUAL_EPOCH_SECONDS + headless.sleptMs / 1000; }

int osKeyHeld(int vk) { return vk >= 0 && vk < 256 ? headless.keys[vk] : 0; }

int osPlaceWindow(int mode, int, int, int clientW, int clientH, const char*, int) {
  headless.mode = mode;
  headless.clientW = clientW;
  headless.clientH = clientH;
  return 1;
}
void osSetWindowTitle(const char*) {}

void osPresent(const uint32_t* pixels, int width, int height) {
  headless.lastFrame.assign(pixels, pixels + (size_t)width * height);
  headless.lastFrameWidth = width;
  headless.lastFrameHeight = height;
  headless.presentedCount += 1;
  if (headless.onPresent) headless.onPresent(headless.presentedCount);
}

void osSetCursorVisible(int) {}
void osMousePosition(int* x, int* y) { *x = 0, *y = 0; }
int osMouseButtons() { return 0; }
void osWarpMouse(int, int) {}

int osMessageBox(const char* text, const char* caption, unsigned flags) {
  headless.messageBoxes.push_back(std::string(caption) + "|" + text);
  // An error box has no one to read it here: say it on the error stream.
  if (flags & MB_ICONHAND) std::fprintf(stderr, "%s: %s\n", caption, text);
  // Only the start-up question is answered by the runner; the close
  // confirmation never comes up without a window.
  return headless.startupAnswer;
}

// The runner answers the question itself (headless.startupAnswer), so the
// box is still recorded.
int osStartupAnswer() { return 0; }

void osShowNotice(const char* text) { headless.notices.push_back(text); }

void osPollEvents(OsEvents* events) { *events = OsEvents{}; }
int osJoystickQuery(int, uint32_t*, uint32_t*, uint32_t*) { return 0; }

std::string osExecutableDataDir() {
  char exe[4096];
  ssize_t n = readlink("/proc/self/exe", exe, sizeof exe);
  if (n <= 0 || n == (ssize_t)sizeof exe) return "data";
  std::string dir(exe, (size_t)n);
  size_t slash = dir.rfind('/');
  return slash == std::string::npos ? dir : dir.substr(0, slash + 1) + "data";
}

void osBeforeFirstFrame() {
  if (headless.beforeFirstFrame) headless.beforeFirstFrame();
}

void osTerminate(int exitCode) {
  if (headless.onTerminate) headless.onTerminate(exitCode);
  std::exit(exitCode);
}
