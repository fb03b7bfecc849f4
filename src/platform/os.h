// The machine under the game: one back end (sdl/ or headless/) implements
// every function here, chosen at link time. The core never talks to the
// window system, the keyboard, the clock or the sound card any other way.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Clock and pacing.
int32_t osNowMs();            // milliseconds since the process started
void osSleepMs(int32_t ms);   // the only way the game waits
int64_t osCalendarSeconds();  // calendar time, seeds the save scrambling

// Milliseconds from startMs to nowMs. The 32-bit clock wraps after 49.7
// days (and turns negative after 24.8); the difference is taken modulo 2^32,
// so waits and ages come out right across the wrap. Never subtract clock
// values any other way.
inline int32_t msBetween(int32_t startMs, int32_t nowMs) {
  return (int32_t)((uint32_t)nowMs - (uint32_t)startMs);
}
inline int32_t osMsSince(int32_t startMs) { return msBetween(startMs, osNowMs()); }

// Keyboard: 1 while the key with this virtual-key code is held.
int osKeyHeld(int vk);

// Window. mode 0: window at 1:1, 1: window at 2:1, 2: full screen.
// Returns 0 when full screen was refused (the caller falls back to mode 0).
int osPlaceWindow(int mode, int x, int y, int clientW, int clientH, const char* titleUtf8,
                  int borderless);
void osSetWindowTitle(const char* titleUtf8);
void osPresent(const uint32_t* pixels, int width, int height);  // 0x00RRGGBB
void osSetCursorVisible(int visible);
void osMousePosition(int* x, int* y);  // client pixels
int osMouseButtons();                  // bit 0 left, bit 1 right
void osWarpMouse(int x, int y);        // client pixels

// Message boxes: the flags say which buttons and which icon; the answer is
// the button chosen.
constexpr unsigned MB_OK = 0x00;
constexpr unsigned MB_YESNO = 0x04;
constexpr unsigned MB_BUTTONS = 0x0F;  // the part of the flags naming the buttons
constexpr unsigned MB_ICONHAND = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
int osMessageBox(const char* textUtf8, const char* captionUtf8, unsigned flags);

// The answer to the start-up question given in advance (the command line's
// --window / --fullscreen): IDYES or IDNO; 0 when the player is to be asked.
int osStartupAnswer();

// Events gathered since the last call (never blocks).
struct OsEvents {
  int closeRequested;  // the player asked to close the window
  int deviceChanged;   // a joystick arrived or left
};
void osPollEvents(OsEvents* events);

// Joysticks: 1 and the axes/buttons when device id answers, else 0.
int osJoystickQuery(int id, uint32_t* x, uint32_t* y, uint32_t* buttons);

// Audio. Handles are small positive numbers; 0 means nothing was opened.
int osAudioOpen(const char* path);  // wave or mp3, length known after open
uint32_t osAudioLengthMs(int handle);
uint32_t osAudioPositionMs(int handle);
void osAudioPlay(int handle);  // from the current position
void osAudioPause(int handle);
void osAudioStop(int handle);
void osAudioSeek(int handle, uint32_t ms);
void osAudioSetVolume(int handle, uint32_t volume);  // 0 .. 1000
int osAudioTakeEndNotice(int handle);                // 1 once after playing to the end
void osAudioClose(int handle);
void osPlayWave(const char* path);  // one-shot, cuts off the previous one

// Files, the same on every back end (file_io.cpp). On failure a function
// returns 0 (or -1) and, when error is given, puts "path: the system's
// reason" there.
// Makes the folder and any missing folders above it; 1 when it stands.
int osMakeFolder(const char* path, char* error, size_t errorSize);
// Replaces the file whole or not at all: written to "<path>.tmp" created
// afresh (a link planted there is never followed), flushed to the disk and
// renamed over the old file, which is left as it was on any failure.
int osWriteFileAtomic(const char* path, const void* bytes, size_t size, char* error,
                      size_t errorSize);
// Reads at most limit bytes; the count read, or -1 when it cannot be opened.
long osReadFile(const char* path, void* buffer, size_t limit);

// A notice the player should see while the game goes on (once per cause,
// e.g. progress that cannot be saved); the caller has already said it on
// the error stream.
void osShowNotice(const char* textUtf8);

// Folder beside the executable that the build fills with the game's data.
std::string osExecutableDataDir();

// Called once when the frame loop is about to run its first frame: the
// headless runner may start the game on a chosen stage here.
void osBeforeFirstFrame();

// Ends the process at once with this exit code.
[[noreturn]] void osTerminate(int exitCode);
