#include "platform/os.h"
#include <cstdlib>
int32_t osNowMs() { return 0; }
void osSleepMs(int32_t) {}
int64_t osCalendarSeconds() { return 0; }
int osKeyHeld(int) { return 0; }
int osPlaceWindow(int, int, int, int, int, const char*, int) { return 1; }
void osSetWindowTitle(const char*) {}
void osPresent(const uint32_t*, int, int) {}
void osSetCursorVisible(int) {}
void osMousePosition(int* x, int* y) { *x = *y = 0; }
int osMouseButtons() { return 0; }
void osWarpMouse(int, int) {}
int osMessageBox(const char*, const char*, unsigned) { return 7; }
void osPollEvents(OsEvents* e) { *e = OsEvents{}; }
int osJoystickQuery(int, uint32_t*, uint32_t*, uint32_t*) { return 0; }
int osAudioOpen(const char*) { return 0; }
uint32_t osAudioLengthMs(int) { return 0; }
uint32_t osAudioPositionMs(int) { return 0; }
void osAudioPlay(int) {}
void osAudioPause(int) {}
void osAudioStop(int) {}
void osAudioSeek(int, uint32_t) {}
void osAudioSetVolume(int, uint32_t) {}
int osAudioTakeEndNotice(int) { return 0; }
void osAudioClose(int) {}
void osPlayWave(const char*) {}
const char* osExecutableDataDir() { return "data"; }
void osTerminate(int c) { std::exit(c); }
