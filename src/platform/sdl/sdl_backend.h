// What the files of the SDL back end share: the window, the settings, the
// pads and the pause. One record; SDL is included only in this folder.
#pragma once
#include <SDL.h>

#include <cstdint>

#include "platform/demo_file.h"
#include "settings/settings.h"

constexpr int MAX_PADS = 8;

// A yes/no question the back end draws itself (sdl_question.cpp).
struct Question {
  const char* caption;
  const char* text;
  bool onBlack;  // asked before the game's picture exists
};

// A demo being recorded to a file or played from one (sdl_demo.cpp).
struct SdlDemo {
  FILE* out = nullptr;  // recording
  char outPath[4096] = "";
  char saveFolder[4096] = "";  // whose files the recording starts from
  int answerYes = 0;           // the game asked for full screen
  bool playing = false;
  Demo in;            // playing
  int presented = 0;  // pictures shown since the game started
  uint32_t (*stateCheck)() = nullptr;
};

struct SdlState {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int textureW = 0, textureH = 0;
  int fullScreen = 0;
  int pictureW = 640, pictureH = 480;  // the game's picture, scaled whole into the window
  uint64_t startNs = 0;                // on sdlMonotonicNs()
  uint64_t pausedNs = 0;               // time spent paused, hidden from the game's clock
  // The clock the game reads: it moves only when the game waits, so that
  // every reading within one picture is the same (and a demo can hold it).
  int32_t gameNowMs = 0;
  int64_t clockMovedAt = 0;  // when it last moved, in unpaused ms since the start
  SdlDemo demo;
  SDL_Joystick* joysticks[16] = {};
  bool paused = false;
  const Question* question = nullptr;  // being asked
  int startupAnswer = 0;               // IDYES / IDNO from the command line, 0: none
  // A short notice over the picture (the music volume), until this tick.
  char notice[64] = "";
  uint64_t noticeUntil = 0;
  uint64_t lastMouseMotion = 0;
  bool cursorShown = true;
  bool gameWantsCursor = true;
  Settings settings = defaultSettings();
  bool japanese = false;  // language of the boxes and the pause screen
  char settingsPath[4096] = "";
  // Game controllers; the last one used is the one the game reads.
  SDL_GameController* pads[MAX_PADS] = {};
  SDL_JoystickID activePad = -1;
  SDL_Scancode keyScancodes[ACTION_COUNT][BINDINGS_PER_ACTION] = {};
  SDL_GameControllerButton padButtons[ACTION_COUNT][BINDINGS_PER_ACTION] = {};
};
extern SdlState sdl;

// sdl_settings.cpp
void sdlLoadSettings();                               // reads (or first writes) the settings file
void sdlRememberSetting(const char* key, int value);  // in the file, comments kept
const char* sdlText(const char* japanese);            // in the player's language

// sdl_input.cpp
void sdlResolveBindings();
bool sdlActionHeld(int virtualKey, bool* bound);
void sdlHandlePadEvent(const SDL_Event& ev);

// sdl_demo.cpp
bool sdlRecordDemo(const char* path, const char* saveFolder);  // false: cannot write it
void sdlPlayDemo(const Demo& demo);
void sdlSetStateCheck(uint32_t (*check)());
void sdlDemoPresented();             // after each picture: record it or check it
int sdlDemoKeyHeld(int vk);          // while playing: the demo's keys
bool sdlDemoNextClock(int32_t* ms);  // while playing: the next picture's clock

// sdl_boxes.cpp
void sdlSetStartupAnswer(int answer);
void sdlOfferNewGame();  // --new-game: with a run saved, asks, and Yes clears it

// sdl_audio.cpp
void sdlSetVolumes(int music, int effects);  // 0 .. 100
void sdlPauseAudio(bool paused);

// os_sdl.cpp
struct OsEvents;
int sdlStartOn();           // SDL on any video driver (tests use the dummy one)
uint64_t sdlMonotonicNs();  // the clock the game's time is read from
void sdlUseSharpScaling(int pictureW, int pictureH);
void sdlToggleFullScreen();
bool sdlPauseEvent(const SDL_Event& ev, bool byFocus, OsEvents* events);
void sdlShowPicture();  // the last frame, with the pause screen or notice over it

// sdl_question.cpp
int sdlAskYesNo(const char* text, const char* caption);  // IDYES or IDNO
void sdlDrawQuestion();

// sdl_pause.cpp
void sdlDrawText(const char* utf8, int x, int y, int scale);  // x < 0: centred
void sdlDrawOverlay();  // the pause screen or the notice, over the picture
void sdlRunPause(bool byFocus, OsEvents* events);  // returns when the pause ends
