// The settings file: `key = value` lines, `#` comments, every bad line
// reported with its number and otherwise ignored.
#include "settings/settings.h"

#include <cctype>
#include <cstring>

namespace {

constexpr ActionInfo ACTIONS[ACTION_COUNT] = {
    {"left", 37, "Left", "dpleft"},   {"right", 39, "Right", "dpright"},
    {"up", 38, "Up", "dpup"},         {"down", 40, "Down", "dpdown"},
    {"jump", 32, "Space", "a"},       {"thrown_bomb", 81, "Q", "x"},
    {"barrel_bomb", 87, "W", "y"},    {"rolling_bomb", 69, "E", "b"},
    {"enter", 13, "Return", "start"}, {"escape", 27, "Escape", "back"},
};

constexpr const char* DISPLAY_NAMES[] = {"ask", "window", "fullscreen"};
constexpr const char* LANGUAGE_NAMES[] = {"auto", "english", "japanese"};

std::string trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace((unsigned char)s[a])) a++;
  while (b > a && std::isspace((unsigned char)s[b - 1])) b--;
  return s.substr(a, b - a);
}

// Index of value in names, or -1.
template <size_t N>
int findName(const char* const (&names)[N], const std::string& value) {
  for (size_t i = 0; i < N; i++)
    if (value == names[i]) return (int)i;
  return -1;
}

bool parseNumber(const std::string& value, int low, int high, int* out) {
  if (value.empty() || value.size() > 4) return false;
  int n = 0;
  for (char c : value) {
    if (!std::isdigit((unsigned char)c)) return false;
    n = n * 10 + (c - '0');
  }
  if (n < low || n > high) return false;
  *out = n;
  return true;
}

bool parseYesNo(const std::string& value, bool* out) {
  static const char* const YES[] = {"yes", "true", "on", "1"};
  static const char* const NO[] = {"no", "false", "off", "0"};
  if (findName(YES, value) >= 0) return *out = true, true;
  if (findName(NO, value) >= 0) return *out = false, true;
  return false;
}

// A comma-separated list of names, each accepted by check; empty unbinds.
bool parseBindingList(const std::string& value, bool (*check)(const char*),
                      char (&names)[BINDINGS_PER_ACTION][BINDING_NAME_BYTES], std::string* why) {
  char parsed[BINDINGS_PER_ACTION][BINDING_NAME_BYTES] = {};
  int count = 0;
  size_t start = 0;
  while (!value.empty() && start <= value.size()) {
    size_t comma = value.find(',', start);
    if (comma == std::string::npos) comma = value.size();
    std::string name = trim(value.substr(start, comma - start));
    start = comma + 1;
    if (name.empty()) continue;
    if (count == BINDINGS_PER_ACTION) return *why = "more than 4 names", false;
    if (name.size() >= BINDING_NAME_BYTES || (check && !check(name.c_str())))
      return *why = "unknown name \"" + name + "\"", false;
    std::memcpy(parsed[count++], name.c_str(), name.size() + 1);
  }
  std::memcpy(names, parsed, sizeof parsed);
  return true;
}

// Applies one key's value; false with a reason when it is not understood.
bool applySetting(const std::string& key, const std::string& value, const NameChecks& checks,
                  Settings* s, std::string* why) {
  *why = "bad value \"" + value + "\"";
  if (key == "display") {
    int i = findName(DISPLAY_NAMES, value);
    return i >= 0 && (s->display = (DisplayChoice)i, true);
  }
  if (key == "language") {
    int i = findName(LANGUAGE_NAMES, value);
    return i >= 0 && (s->language = (LanguageChoice)i, true);
  }
  if (key == "window_scale") return parseNumber(value, 1, MAX_WINDOW_SCALE, &s->windowScale);
  if (key == "music_volume") return parseNumber(value, 0, MAX_VOLUME, &s->musicVolume);
  if (key == "effects_volume") return parseNumber(value, 0, MAX_VOLUME, &s->effectsVolume);
  if (key == "pause_on_focus_loss") return parseYesNo(value, &s->pauseOnFocusLoss);
  for (int a = 0; a < ACTION_COUNT; a++) {
    if (key == std::string("key_") + ACTIONS[a].name)
      return parseBindingList(value, checks.isKeyName, s->keys.names[a], why);
    if (key == std::string("pad_") + ACTIONS[a].name)
      return parseBindingList(value, checks.isPadButtonName, s->padButtons.names[a], why);
  }
  *why = "unknown setting \"" + key + "\"";
  return false;
}

void setBinding(char (&names)[BINDINGS_PER_ACTION][BINDING_NAME_BYTES], const char* name) {
  std::memset(names, 0, sizeof names);
  std::strncpy(names[0], name, BINDING_NAME_BYTES - 1);
}

std::string bindingList(const char (&names)[BINDINGS_PER_ACTION][BINDING_NAME_BYTES]) {
  std::string out;
  for (const auto& name : names) {
    if (!name[0]) continue;
    if (!out.empty()) out += ", ";
    out += name;
  }
  return out;
}

// The line of text at *start, without its '\n', moving *start past it;
// false at the end of the text.
bool nextLine(const std::string& text, size_t* start, std::string* line) {
  if (*start >= text.size()) return false;
  size_t end = text.find('\n', *start);
  if (end == std::string::npos) end = text.size();
  *line = text.substr(*start, end - *start);
  *start = end + 1;
  return true;
}

}  // namespace

const ActionInfo& actionInfo(int action) { return ACTIONS[action]; }

Settings defaultSettings() {
  Settings s;
  for (int a = 0; a < ACTION_COUNT; a++) {
    setBinding(s.keys.names[a], ACTIONS[a].defaultKey);
    setBinding(s.padButtons.names[a], ACTIONS[a].defaultPad);
  }
  return s;
}

int parseSettings(const std::string& text, const char* source, const NameChecks& checks,
                  Settings* settings, std::FILE* errors) {
  int bad = 0, lineNumber = 0;
  size_t start = 0;
  std::string line;
  while (nextLine(text, &start, &line)) {
    lineNumber++;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    line = trim(line);
    if (line.empty()) continue;
    size_t eq = line.find('=');
    std::string why = "expected \"key = value\"";
    if (eq != std::string::npos &&
        applySetting(trim(line.substr(0, eq)), trim(line.substr(eq + 1)), checks, settings, &why))
      continue;
    bad++;
    if (errors) std::fprintf(errors, "%s:%d: %s; line ignored\n", source, lineNumber, why.c_str());
  }
  return bad;
}

std::string formatSettings(const Settings& s) {
  std::string out =
      "# PUXTEN settings: `key = value` lines; `#` starts a comment.\n"
      "# A line the game does not understand is reported and ignored.\n\n"
      "# display: ask (a question at start-up), window or fullscreen\n"
      "display = " +
      std::string(DISPLAY_NAMES[s.display]) +
      "\n# window_scale: the window's size as a multiple of 640 x 480 (1 to 8)\n"
      "window_scale = " +
      std::to_string(s.windowScale) +
      "\n# music_volume, effects_volume: 0 (silent) to 100\n"
      "music_volume = " +
      std::to_string(s.musicVolume) + "\neffects_volume = " + std::to_string(s.effectsVolume) +
      "\n# pause_on_focus_loss: yes or no\n"
      "pause_on_focus_loss = " +
      (s.pauseOnFocusLoss ? "yes" : "no") +
      "\n# language of the message boxes and the pause screen: auto (from the\n"
      "# locale), english or japanese\n"
      "language = " +
      LANGUAGE_NAMES[s.language] +
      "\n\n# Keys: up to 4 SDL key names each, separated by commas, for the key's\n"
      "# place on a US keyboard (Space, Return, Left, Z, Left Shift, Keypad 8 ...).\n";
  for (int a = 0; a < ACTION_COUNT; a++)
    out += std::string("key_") + ACTIONS[a].name + " = " + bindingList(s.keys.names[a]) + "\n";
  out +=
      "\n# Gamepad buttons: a, b, x, y, back, start, guide, leftshoulder,\n"
      "# rightshoulder, leftstick, rightstick, dpup, dpdown, dpleft, dpright.\n"
      "# The left stick always moves as the arrows do.\n";
  for (int a = 0; a < ACTION_COUNT; a++)
    out +=
        std::string("pad_") + ACTIONS[a].name + " = " + bindingList(s.padButtons.names[a]) + "\n";
  return out;
}

std::string replaceSettingValue(const std::string& text, const char* key,
                                const std::string& value) {
  std::string out;
  bool replaced = false;
  size_t start = 0;
  std::string line;
  while (nextLine(text, &start, &line)) {
    size_t eq = line.find('=');
    bool comment = trim(line).rfind('#', 0) == 0;
    if (!replaced && !comment && eq != std::string::npos && trim(line.substr(0, eq)) == key) {
      line = std::string(key) + " = " + value;
      replaced = true;
    }
    out += line + "\n";
  }
  if (!replaced) out += std::string(key) + " = " + value + "\n";
  return out;
}
