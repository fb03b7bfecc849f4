#include <sys/stat.h>

#include "platform/game.h"
#include "platform/sprite.h"

namespace {

// Every picture loadAssets reads; their headers are checked here, their
// pixels once, when they are loaded.
const char* const PICTURES[] = {
    "image/boxs.bmp",     "image/mchara.bmp",    "image/bombs.bmp",   "image/Prediction.bmp",
    "image/mapback.bmp",  "image/title.bmp",     "image/Booom.bmp",   "image/tchara.bmp",
    "image/kuro.bmp",     "image/titleback.bmp", "image/shadow.bmp",  "image/QWE.bmp",
    "image/allow.bmp",    "image/title23.bmp",   "image/title22.bmp", "image/BlockCrush.bmp",
    "image/GAMEOVER.bmp", "image/title24.bmp",   "image/warp.bmp",    "image/result1.bmp",
    "image/result.bmp",
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

bool checkGameData(std::string* failedFile, std::string* reason) {
  for (const char* path : PICTURES) {
    const char* error = nullptr;
    if (!checkBitmapFile(path, &error)) return failWith(path, error, failedFile, reason);
  }
  for (const char* path : OTHER_FILES) {
    struct stat st;
    if (stat(path, &st) != 0) return failWith(path, "missing", failedFile, reason);
    if (!S_ISREG(st.st_mode) || st.st_size == 0)
      return failWith(path, "empty or not a file", failedFile, reason);
  }
  return true;
}
