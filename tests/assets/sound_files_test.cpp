// Every generated sound effect and tune reads back through the headless
// audio back end with a sensible length.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "platform/headless/headless_audio.h"
#include "platform/os.h"
#include "test_support.h"

namespace {

const char* EFFECTS[] = {"SE/cursor1.wav", "SE/cursor2.wav", "SE/start.wav", "SE/Tbomb.wav",
                         "SE/Switch.wav",  "SE/tresure.wav", "SE/warp.wav",  "SE/TaruBomb.wav"};
const char* TUNES[] = {"bgm/title.mp3", "bgm/main.mp3", "bgm/boss.mp3"};

std::string dataPath(const char* name) { return std::string(PUXTEN_DATA_DIR) + "/" + name; }

uint32_t le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; i--) v = v << 8 | (uint8_t)b[at + i];
  return v;
}

// Effects last 50 ms to 3 s, tunes 40 to 90 s.
TEST(SoundFiles, OpenWithSensibleLengths) {
  headlessAudioReset();
  for (bool tunes : {false, true})
    for (const char* name :
         tunes ? std::vector<const char*>(std::begin(TUNES), std::end(TUNES))
               : std::vector<const char*>(std::begin(EFFECTS), std::end(EFFECTS))) {
      int handle = osAudioOpen(dataPath(name).c_str());
      ASSERT_NE(handle, 0) << name;
      uint32_t ms = osAudioLengthMs(handle);
      EXPECT_GE(ms, tunes ? 40000u : 50u) << name;
      EXPECT_LE(ms, tunes ? 90000u : 3000u) << name;
      osAudioClose(handle);
    }
}

TEST(SoundFiles, EffectsAre16BitPcmAt44100AndStartAndEndQuietly) {
  for (const char* name : EFFECTS) {
    std::string b = readFile(dataPath(name));
    ASSERT_GE(b.size(), 44u + 200) << name;
    // The generator writes the plain 44-byte header.
    EXPECT_EQ(le(b, 20, 2), 1u) << name;  // PCM
    uint32_t channels = le(b, 22, 2);
    EXPECT_TRUE(channels == 1 || channels == 2) << name;
    EXPECT_EQ(le(b, 24, 4), 44100u) << name;
    EXPECT_EQ(le(b, 34, 2), 16u) << name;
    size_t samples = (b.size() - 44) / 2;
    int peak = 0;
    for (size_t i = 0; i < samples; i++)
      peak = std::max(peak, std::abs((int16_t)le(b, 44 + 2 * i, 2)));
    EXPECT_GT(peak, 3000) << name << " is nearly silent";
    // No click: the first and last samples are close to silence.
    EXPECT_LT(std::abs((int16_t)le(b, 44, 2)), 300) << name;
    EXPECT_LT(std::abs((int16_t)le(b, b.size() - 2, 2)), 300) << name;
  }
}

}  // namespace
