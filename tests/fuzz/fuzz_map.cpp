// Map text: loaded as stage 10, entered as from a door, and played for a
// second with every kind of key.
#include "app/app_state.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  enterFuzzFolder(true);
  startFuzzGame();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!writeBytes("map/map10.map", data, size)) return 0;
  resetFuzzGame();
  startOnStage(10);
  playFuzzFrames(24);
  return 0;
}
