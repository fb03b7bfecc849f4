// What the files of the SDL back end share: the window, the settings, the
// pads and the pause. One record; SDL is included only in this folder.
#pragma once
#include <SDL.h>

#include <cstdint>

#include "settings/settings.h"

constexpr int MAX_PADS = 8;

// A yes/no question the back end draws itself (sdl_question.cpp).
struct Question {
  const char* caption;
  const char* text;
  bool onBlack;  // asked before the game's picture exists
};

struct SdlState {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int textureW = 0, textureH = 0;
  int fullScreen = 0;
  int pictureW = 640, pictureH = 480;  // the game's picture, scaled whole into the window
  uint64_t startTicks = 0;
  uint64_t pausedTicks = 0;  // time spent paused, hidden from the game's clock
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

// sdl_boxes.cpp
void sdlSetStartupAnswer(int answer);

// sdl_audio.cpp
void sdlSetVolumes(int music, int effects);  // 0 .. 100
void sdlPauseAudio(bool paused);

// os_sdl.cpp
struct OsEvents;
int sdlStartOn();  // SDL on any video driver (tests use the dummy one)
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
