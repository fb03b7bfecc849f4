// Pictures prepared at load (key runs, cells shrunk to their drawn size)
// must draw exactly what the plain copies draw: checked on the game's real
// tile sheet and on random sheets, at random places, clipped or not, in
// both scale modes.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/display.h"
#include "platform/surface_support.h"
#include "platform/trig.h"
#include "test_paths.h"

namespace {

constexpr uint32_t WHITE = 0xFFFFFF;  // the key, as pixel and as COLORREF

struct SheetCase {
  const char* name;
  int seed;  // 0: the real tile sheet
};

class PreparedBlit : public testing::TestWithParam<std::tuple<SheetCase, int>> {
 protected:
  void SetUp() override {
    display.scaleMode = std::get<1>(GetParam());
    display.screenWidth = 640;
    display.screenHeight = 480;
  }
  void TearDown() override { display.scaleMode = 0; }
};

// Random pixels, a third of them the key (some with a stray top byte).
Owned randomSheet(std::mt19937& rng) {
  Owned s(createBlankSprite(250, 200));
  for (uint32_t& p : s->pixels) {
    uint32_t r = rng();
    p = r % 3 == 0 ? WHITE | (r & 0x01000000) : r & 0xFFFFFF;
  }
  return s;
}

Owned sheetFor(const SheetCase& c, std::mt19937& rng) {
  if (c.seed != 0) return randomSheet(rng);
  return Owned(loadSprite((std::string(PUXTEN_DATA_DIR) + "/image/boxs.bmp").c_str()));
}

TEST_P(PreparedBlit, DrawsWhatThePlainCopyDraws) {
  const SheetCase c = std::get<0>(GetParam());
  std::mt19937 rng(c.seed + 7);
  Owned plain = sheetFor(c, rng);
  ASSERT_GT(plain->width, 100);
  Owned prepared(new SpriteSurface(*plain));
  prepareKeyRuns(prepared.get(), WHITE);
  prepareDrawnCells(prepared.get(), 50, 50, 31, 31, WHITE);
  const int cols = logicalWidth(plain.get()) / 50, rows = logicalHeight(plain.get()) / 50;
  Owned want = blank(200, 150, 0x123456), got = blank(200, 150, 0x123456);
  for (int i = 0; i < 400; i++) {
    const int x = (int)(rng() % 260) - 40, y = (int)(rng() % 210) - 40;
    const int cx = 50 * (int)(rng() % cols), cy = 50 * (int)(rng() % rows);
    if (i % 3 == 0) {
      // A cell drawn at 31 x 31, sometimes through a clip rectangle.
      if (i % 2) setClip(want.get(), 20, 10, 150, 100), setClip(got.get(), 20, 10, 150, 100);
      blitKeyedStretched(want.get(), x, y, 31, 31, plain.get(), cx, cy, 50, 50, WHITE);
      blitKeyedStretched(got.get(), x, y, 31, 31, prepared.get(), cx, cy, 50, 50, WHITE);
      clearClip(want.get()), clearClip(got.get());
    } else {
      // Any rectangle, reaching past the sheet's edges now and then.
      const int sx = (int)(rng() % (cols * 50 + 40)) - 20,
                sy = (int)(rng() % (rows * 50 + 40)) - 20;
      const int w = 1 + (int)(rng() % 120), h = 1 + (int)(rng() % 90);
      blitKeyed(want.get(), x, y, w, h, plain.get(), sx, sy, WHITE);
      blitKeyed(got.get(), x, y, w, h, prepared.get(), sx, sy, WHITE);
    }
    ASSERT_EQ(want->pixels, got->pixels) << "after draw " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(Sheets, PreparedBlit,
                         testing::Combine(testing::Values(SheetCase{"RealTileSheet", 0},
                                                          SheetCase{"Random1", 1},
                                                          SheetCase{"Random2", 2}),
                                          testing::Values(0, 1)),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) + "_Scale" +
                                  std::to_string(std::get<1>(info.param));
                         });

class ShrunkPicture : public testing::TestWithParam<int> {
 protected:
  void SetUp() override { display.scaleMode = GetParam(); }
  void TearDown() override { display.scaleMode = 0; }
};

TEST_P(ShrunkPicture, CopiedAtItsSizeGivesTheShrinkingCopyOfTheWholePicture) {
  const std::string path = std::string(PUXTEN_DATA_DIR) + "/image/BlockCrush.bmp";
  Owned whole(loadSprite(path.c_str())), shrunk(loadSpriteShrunk(path.c_str(), 5));
  Owned want = blank(200, 150, 0x123456), got = blank(200, 150, 0x123456);
  for (int k = 0; k < 10; k++) {
    blitKeyedBlended(want.get(), 10 * k - 20, 7 * k, 100, 100, whole.get(), 500 * k, 0, 500, 500,
                     100 - 5 * k, WHITE);
    blitKeyedBlended(got.get(), 10 * k - 20, 7 * k, 100, 100, shrunk.get(), 100 * k, 0, 100, 100,
                     100 - 5 * k, WHITE);
    ASSERT_EQ(want->pixels, got->pixels) << "frame " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(ScaleModes, ShrunkPicture, testing::Values(0, 1));

// A one-colour picture keeps one row, and draws as the whole picture does.
TEST_P(ShrunkPicture, OneColourPictureKeepsOneRowAndDrawsAsAWholeOne) {
  const std::string path = std::string(PUXTEN_DATA_DIR) + "/image/kuro.bmp";
  Owned one(loadSprite(path.c_str()));
  ASSERT_EQ(logicalHeight(one.get()), 480);
  EXPECT_LE(one->pixels.size(), (size_t)one->width);
  const uint32_t colour = readPixel(one.get(), 0, 0);
  Owned whole = blank(640, 480, colorRefToPixel(colour));
  EXPECT_EQ(readPixel(one.get(), 639, 479), colour);
  Owned want = blank(200, 150, 0x123456), got = blank(200, 150, 0x123456);
  for (int k = 0; k < 6; k++) {
    for (Sprite s : {want.get(), got.get()})
      blitKeyedBlended(s, 30 * k - 40, 20 * k - 30, 100 + 20 * k, 100,
                       s == want.get() ? whole.get() : one.get(), 100 * k, 50 * k, 100, 100, 20 * k,
                       WHITE);
    blitKeyed(want.get(), 5 * k, 150 - 30 * k, 50, 40, whole.get(), 0, 400 + 5 * k, WHITE);
    blitKeyed(got.get(), 5 * k, 150 - 30 * k, 50, 40, one.get(), 0, 400 + 5 * k, WHITE);
    ASSERT_EQ(want->pixels, got->pixels) << "draw " << k;
  }
  drawRect(one.get(), 0, 0, 10, 10, 1, 0x00FF00);  // never drawn on
  EXPECT_EQ(readPixel(one.get(), 5, 5), colour);
}

// Every kind of drawing, onto and out of a surface, at a random place.
void randomDraw(std::mt19937& rng, Sprite dst, Sprite sheet, Sprite other) {
  const int x = (int)(rng() % 340) - 60, y = (int)(rng() % 240) - 60;
  const int w = 1 + (int)(rng() % 90), h = 1 + (int)(rng() % 70);
  const int sx = (int)(rng() % 260) - 20, sy = (int)(rng() % 200) - 20;
  switch (rng() % 6) {
    case 0: blitKeyed(dst, x, y, w, h, sheet, sx, sy, WHITE); break;
    case 1: blitKeyedStretched(dst, x, y, w, h, sheet, sx, sy, 31, 47, WHITE); break;
    case 2: blitKeyedBlended(dst, x, y, w, h, sheet, sx, sy, w / 2 + 1, h, 40, WHITE); break;
    case 3: blitRotated(dst, x, y, w, h, sheet, sx, sy, w, h, (int)(rng() % 360), WHITE); break;
    case 4: drawRect(dst, x, y, w, h, (int)(rng() % 2), 0x00FF00); break;
    default: blitKeyed(other, x, y, w, h, dst, sx, sy, WHITE); break;  // read back
  }
}

// A surface that keeps only a window of its picture draws there what a
// whole surface draws, wherever the window is, and holds no more.
TEST_P(ShrunkPicture, WindowedSurfaceHoldsWhatTheWholeOneHoldsInItsWindow) {
  const int f = GetParam() + 1;
  fillTrigTables();
  std::mt19937 rng(11);
  Owned sheet = randomSheet(rng), backdrop = blank(300, 200, 0x654321);
  blitOpaque(backdrop.get(), 30, 0, 250, 200, sheet.get(), 0, 0);
  Owned whole = blank(300, 200, 0), windowed(createWindowedSprite(300, 200, 120, 90));
  EXPECT_EQ(logicalWidth(windowed.get()), 300);
  Owned readWhole = blank(300, 200, 7), readWindowed = blank(300, 200, 7);
  for (int round = 0; round < 60; round++) {
    const int wx = (int)(rng() % 380) - 60, wy = (int)(rng() % 260) - 60;
    placeWindow(windowed.get(), wx, wy);
    ASSERT_LE(windowed->pixels.size(), (size_t)120 * 90 * f * f);
    for (Sprite s : {whole.get(), windowed.get()})
      blitOpaque(s, 0, 0, 300, 200, backdrop.get(), 0, 0);
    for (int i = 0; i < 12; i++) {
      std::mt19937 same = rng;
      randomDraw(same, whole.get(), sheet.get(), readWhole.get());
      randomDraw(rng, windowed.get(), sheet.get(), readWindowed.get());
    }
    Owned want = blank(120, 90, 0x123456), got = blank(120, 90, 0x123456);
    blitOpaque(want.get(), 0, 0, 120, 90, whole.get(), wx, wy);
    blitOpaque(got.get(), 0, 0, 120, 90, windowed.get(), wx, wy);
    ASSERT_EQ(want->pixels, got->pixels) << "round " << round;
    EXPECT_EQ(readPixel(windowed.get(), wx + 5, wy + 5), readPixel(whole.get(), wx + 5, wy + 5));
  }
}

}  // namespace
