// Sound files: the wave and mp3 length readers, given the same bytes under
// both names.
#include <string>

#include "fuzz_support.h"
#include "platform/headless/headless_audio.h"

static std::string folder;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  folder = enterFuzzFolder(true);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const char* name : {"sound.wav", "sound.mp3"}) {
    if (!writeBytes(name, data, size)) return 0;
    headlessAudioFileLengthMs(name);
  }
  return 0;
}
