// The player's settings file in the config folder, and the language of
// the back end's own words.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/sdl/sdl_backend.h"
#include "puxten_version.h"

namespace {

bool isKeyName(const char* name) { return SDL_GetScancodeFromName(name) != SDL_SCANCODE_UNKNOWN; }

bool isPadButtonName(const char* name) {
  return SDL_GameControllerGetButtonFromString(name) != SDL_CONTROLLER_BUTTON_INVALID;
}

// A file of this name in the data folder (the working directory when the
// game starts) keeps the player's files beside the data.
constexpr const char* PORTABLE_MARK = "portable";

// $XDG_CONFIG_HOME/puxten, or ~/.config/puxten, made when missing; the
// data folder in portable mode.
std::string configFolder() {
  struct stat mark;
  if (stat(PORTABLE_MARK, &mark) == 0) return ".";
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  std::string base;
  if (xdg && xdg[0] == '/')
    base = xdg;
  else if (home && home[0])
    base = std::string(home) + "/.config";
  else
    return "";
  mkdir(base.c_str(), 0700);
  std::string folder = base + "/" + PUXTEN_APP_FOLDER;
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return "";
  return folder;
}

bool readWhole(const char* path, std::string* text) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  *text = s.str();
  return true;
}

// Whole file through a temporary beside it, so a crash never leaves half.
void writeWhole(const char* path, const std::string& text) {
  std::string temp = std::string(path) + ".new";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(temp.c_str(), path) != 0) {
    std::remove(temp.c_str());
    std::fprintf(stderr, "puxten: cannot write %s\n", path);
  }
}

bool localeIsJapanese() {
  SDL_Locale* locales = SDL_GetPreferredLocales();
  bool japanese = locales && locales[0].language && !std::strcmp(locales[0].language, "ja");
  SDL_free(locales);
  return japanese;
}

// The back end's words: Japanese as the game has them, English beside.
constexpr const char* WORDS[][2] = {
    {"フルスクリーンで起動しますか?", "Start in full screen?"},
    {"起動オプション", "Start-up options"},
    {"本当に終了しますか？", "Do you really want to quit?"},
    {"終了確認です", "Quit"},
    {"エラー", "Error"},
    {"はい", "Yes"},
    {"いいえ", "No"},
    {"ポーズ", "PAUSE"},
    {"音楽の音量", "Music volume"},
    {"P: 続ける", "P: resume"},
    {"セーブデータを消して、最初から始めますか?", "Clear the saved run and start a new game?"},
    {"新しいゲーム", "New game"},
    {"セーブデータを消せませんでした: ", "The saved run could not be cleared: "},
};

}  // namespace

void sdlLoadSettings() {
  Settings& s = sdl.settings;
  s = defaultSettings();
  std::string folder = configFolder();
  if (!folder.empty()) {
    std::snprintf(sdl.settingsPath, sizeof sdl.settingsPath, "%s/settings.ini", folder.c_str());
    std::string text;
    NameChecks checks;
    checks.isKeyName = isKeyName;
    checks.isPadButtonName = isPadButtonName;
    if (readWhole(sdl.settingsPath, &text))
      parseSettings(text, sdl.settingsPath, checks, &s, stderr);
    else
      writeWhole(sdl.settingsPath, formatSettings(s));
  }
  sdl.japanese =
      s.language == LANGUAGE_JAPANESE || (s.language == LANGUAGE_AUTO && localeIsJapanese());
}

void sdlRememberSetting(const char* key, int value) {
  if (!sdl.settingsPath[0]) return;
  std::string text;
  if (!readWhole(sdl.settingsPath, &text)) text = formatSettings(sdl.settings);
  writeWhole(sdl.settingsPath, replaceSettingValue(text, key, std::to_string(value)));
}

const char* sdlText(const char* japanese) {
  if (sdl.japanese) return japanese;
  for (const auto& w : WORDS)
    if (!std::strcmp(w[0], japanese)) return w[1];
  return japanese;
}
