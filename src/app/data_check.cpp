#include <sys/stat.h>

#include "platform/game.h"
#include "platform/sheet_layout.h"
#include "platform/sprite.h"

namespace {

// Every picture loadAssets reads; their headers are checked here, their
// pixels once, when they are loaded.
const char* const PICTURES[] = {
    TILE_SHEET.file,      PLAYER_SHEET.file,    BOMB_SHEET.file,     AIM_SHEET.file,
    STAGE_BACKDROP.file,  TITLE_SHEET.file,     BLAST_SHEET.file,    SPARE_SHEET.file,
    BLACK_SHEET.file,     TITLE_BACKDROP.file,  SHADOW_SHEET.file,   KEY_ICON_SHEET.file,
    ARROW_SHEET.file,     MENU_DIM_SHEET.file,  MENU_LIT_SHEET.file, CRUSH_SHEET.file,
    MISS_MENU_SHEET.file, MENU_GLOW_SHEET.file, WARP_SHEET.file,     RESULT_PANEL.file,
    RESULT_SHEET.file,
};

// Tunes, sound effects and the home stage a run starts on.
const char* const OTHER_FILES[] = {
    "bgm/main.mp3", "bgm/title.mp3",  "bgm/boss.mp3",   "SE/TaruBomb.wav",
    "SE/Tbomb.wav", "SE/Switch.wav",  "SE/cursor1.wav", "SE/cursor2.wav",
    "SE/start.wav", "SE/tresure.wav", "SE/warp.wav",    "map/map0.map",
};

bool failWith(const char* file, const char* why, std::string* failedFile, std::string* reason) {
  *failedFile = file;
  *reason = why;
  return false;
}

}  // namespace

const char* firstDamagedPicture(const char** error) {
  for (const char* path : PICTURES)
    if (!checkBitmapFile(path, error)) return path;
  return nullptr;
}

bool checkGameData(std::string* failedFile, std::string* reason) {
  const char* error = nullptr;
  if (const char* path = firstDamagedPicture(&error))
    return failWith(path, error, failedFile, reason);
  for (const char* path : OTHER_FILES) {
    struct stat st;
    if (stat(path, &st) != 0) return failWith(path, "missing", failedFile, reason);
    if (!S_ISREG(st.st_mode) || st.st_size == 0)
      return failWith(path, "empty or not a file", failedFile, reason);
  }
  return true;
}
