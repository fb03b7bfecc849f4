// A progress file and a stage snapshot (the input split after its first
// 44 bytes, the size of a progress file): a new run started from them,
// then a retry from the same files.
#include <cstdio>

#include "app/app_state.h"
#include "fuzz_support.h"
#include "stage/stage_state.h"

constexpr size_t PROGRESS_BYTES = 44;

static bool putSaves(const uint8_t* data, size_t size) {
  size_t split = size < PROGRESS_BYTES ? size : PROGRESS_BYTES;
  // Without the record that pairs them, both files are read as given.
  std::remove("save/checkpoint.dat");
  return writeBytes("save/save1.dat", data, split) &&
         writeBytes("save/mapsave.dat", data + split, size - split);
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  enterFuzzFolder(false);
  startFuzzGame();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!putSaves(data, size)) return 0;
  resetFuzzGame();
  app.scene = SCENE_NEW_RUN;
  playFuzzFrames(16);
  // A retry reads both files again, over whatever stage is on.
  if (!putSaves(data, size)) return 0;
  GameSession& s = app.session;
  loadSaves(&s.playerX, &s.playerY);
  resetBombs();
  if (app.scene == SCENE_PLAY || app.scene == SCENE_MISS) app.scene = SCENE_PLAY;
  playFuzzFrames(16);
  return 0;
}
