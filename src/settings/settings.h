// The player's settings: one plain record, read from and written as
// `key = value` lines. Free of any window system, so it is testable alone;
// the SDL back end checks key and button names through NameChecks.
#pragma once
#include <cstdio>
#include <string>

enum DisplayChoice { DISPLAY_ASK, DISPLAY_WINDOW, DISPLAY_FULLSCREEN };
enum LanguageChoice { LANGUAGE_AUTO, LANGUAGE_ENGLISH, LANGUAGE_JAPANESE };

// The game keys a player may rebind, in the order of the settings file.
enum GameAction {
  ACTION_LEFT,
  ACTION_RIGHT,
  ACTION_UP,
  ACTION_DOWN,
  ACTION_JUMP,
  ACTION_THROWN_BOMB,
  ACTION_BARREL_BOMB,
  ACTION_ROLLING_BOMB,
  ACTION_ENTER,
  ACTION_ESCAPE,
  ACTION_COUNT
};

constexpr int BINDINGS_PER_ACTION = 4;
constexpr int BINDING_NAME_BYTES = 32;
constexpr int MAX_WINDOW_SCALE = 8;
constexpr int MAX_VOLUME = 100;

struct Bindings {
  char names[ACTION_COUNT][BINDINGS_PER_ACTION][BINDING_NAME_BYTES];
};

struct Settings {
  DisplayChoice display = DISPLAY_ASK;
  int windowScale = 1;
  Bindings keys{};
  Bindings padButtons{};
  int musicVolume = MAX_VOLUME;
  int effectsVolume = MAX_VOLUME;
  bool pauseOnFocusLoss = true;
  LanguageChoice language = LANGUAGE_AUTO;
};

// What an action is called in the file and which virtual key it feeds.
struct ActionInfo {
  const char* name;
  int virtualKey;
  const char* defaultKey;  // key name
  const char* defaultPad;  // game controller button name, or "" for none
};
const ActionInfo& actionInfo(int action);

// Name checks supplied by the back end; null accepts every name.
struct NameChecks {
  bool (*isKeyName)(const char* name) = nullptr;
  bool (*isPadButtonName)(const char* name) = nullptr;
};

Settings defaultSettings();
// Reads settings text over *settings: each bad line is reported on `errors`
// as "<source>:<line>: <why>" and leaves its value as it was. Returns the
// number of bad lines.
int parseSettings(const std::string& text, const char* source, const NameChecks& checks,
                  Settings* settings, std::FILE* errors);
// The whole file, with comments, for these settings.
std::string formatSettings(const Settings& settings);
// The text with one key's value replaced (or appended), comments kept.
std::string replaceSettingValue(const std::string& text, const char* key, const std::string& value);
