#include "fuzz_support.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "app/app_state.h"
#include "platform/display.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/input.h"
#include "stage/stage_state.h"

namespace fs = std::filesystem;

static std::string scratch;

static void removeScratch() {
  std::error_code ignored;
  if (!scratch.empty()) fs::remove_all(scratch, ignored);
}

std::string enterFuzzFolder(bool ownMaps) {
  char pattern[] = "/tmp/puxten-fuzz-XXXXXX";
  if (!mkdtemp(pattern)) {
    std::perror("mkdtemp");
    std::abort();
  }
  scratch = pattern;
  std::atexit(removeScratch);
  fs::path built(PUXTEN_DATA_DIR);
  for (const char* sub : {"image", "SE", "bgm"})
    fs::create_directory_symlink(built / sub, scratch + "/" + sub);
  if (ownMaps)
    fs::create_directory(scratch + "/map");
  else
    fs::create_directory_symlink(built / "map", scratch + "/map");
  fs::create_directory(scratch + "/save");
  if (chdir(scratch.c_str()) != 0) std::abort();
  return scratch;
}

bool writeBytes(const std::string& path, const uint8_t* data, size_t size) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;  // fwrite wants no null
  return std::fclose(f) == 0 && ok;
}

void startFuzzGame() {
  resetGame();
  headlessReset();
  display.scaleMode = 0;
  display.screenWidth = 640;
  display.screenHeight = 480;
  loadAssets();
  setSaveFolder("save");
}

void resetFuzzGame() {
  freeStageSurfaces();
  resetGame();
  headlessReset();
  headlessAudio.log.clear();
  app.session = GameSession{};
}

void playFuzzFrames(int n) {
  static const int KEYS[][3] = {
      {VK_RIGHT, 0, 0},    {VK_RIGHT, VK_SPACE, 0},
      {VK_UP, 0, 0},       {VK_LEFT, VK_SPACE, 0},
      {VK_Q, VK_UP, 0},    {0, 0, 0},
      {VK_W, VK_RIGHT, 0}, {0, 0, 0},
      {VK_E, VK_LEFT, 0},  {0, 0, 0},
      {VK_DOWN, VK_Q, 0},  {VK_RETURN, 0, 0},
  };
  constexpr int KINDS = sizeof KEYS / sizeof KEYS[0];
  for (int f = 0; f < n; f++) {
    headlessReleaseAllKeys();
    for (int vk : KEYS[(f / 2) % KINDS])
      if (vk) headlessSetKey(vk, 1);
    runFrame();
  }
}
