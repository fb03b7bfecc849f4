// The real game on a real (virtual) display.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <vector>

#include "test_support.h"

TEST(SdlGame, NewGameClearsTheRunAsksAtStartUpOpensA640x480WindowAndQuits) {
  int code = runCommand(std::string("bash ") + PUXTEN_SOURCE_DIR +
                        "/tests/platform/sdl_window_check.sh '" + PUXTEN_GAME + "' '" +
                        PUXTEN_DATA_DIR + "'");
  if (code == 77) GTEST_SKIP() << "Xvfb or xdotool is not installed";
  EXPECT_EQ(code, 0);
}

namespace {

// An XWD screenshot: 32-bit pixels compared as they are stored.
struct Screenshot {
  unsigned width = 0, height = 0;
  std::vector<uint32_t> pixels;
};

Screenshot readXwd(const std::string& bytes) {
  Screenshot s;
  auto field = [&](int i) {
    const unsigned char* p = (const unsigned char*)bytes.data() + 4 * i;
    return (unsigned)p[0] << 24 | (unsigned)p[1] << 16 | (unsigned)p[2] << 8 | p[3];
  };
  if (bytes.size() < 100 || field(11) != 32) return s;  // 32 bits per pixel only
  size_t start = field(0) + (size_t)field(19) * 12, stride = field(12);
  unsigned w = field(4), h = field(5);
  if (bytes.size() < start + stride * h || stride < w * 4) return s;
  s.width = w;
  s.height = h;
  for (unsigned y = 0; y < h; y++)
    for (unsigned x = 0; x < w; x++) {
      uint32_t p;
      std::memcpy(&p, bytes.data() + start + y * stride + x * 4, 4);
      s.pixels.push_back(p & 0xFFFFFF);
    }
  return s;
}

}  // namespace

TEST(SdlGame, AltEnterTogglesFullScreenAndAResizedWindowScalesSharply) {
  std::string dir = makeTempDir();
  int code = runCommand(std::string("bash ") + PUXTEN_SOURCE_DIR +
                        "/tests/platform/sdl_display_check.sh '" + PUXTEN_GAME + "' '" +
                        PUXTEN_DATA_DIR + "' '" + dir + "'");
  if (code == 77) GTEST_SKIP() << "Xvfb, xdotool, xwd or evilwm is not installed";
  ASSERT_EQ(code, 0);
  Screenshot shot = readXwd(readFile(dir + "/scaled.xwd"));
  ASSERT_EQ(shot.width, 1280u);
  ASSERT_EQ(shot.height, 960u);
  // Exactly twice the size: every 2 x 2 block is one picture pixel, and
  // the picture is really there (many colours, no black border).
  size_t broken = 0;
  std::set<uint32_t> colours;
  for (unsigned y = 0; y < shot.height; y++)
    for (unsigned x = 0; x < shot.width; x++) {
      uint32_t p = shot.pixels[y * shot.width + x];
      broken += p != shot.pixels[(y & ~1u) * shot.width + (x & ~1u)];
      colours.insert(p);
    }
  EXPECT_EQ(broken, 0u);
  EXPECT_GT(colours.size(), 50u);
  EXPECT_NE(shot.pixels[0] | shot.pixels.back(), 0u);
}
