// Blits, surfaces and drawing primitives on software surfaces.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/display.h"
#include "platform/headless/headless.h"
#include "platform/sprite.h"
#include "platform/surface_support.h"
#include "platform/trig.h"

namespace {

// Pixels are 0x00RRGGBB; colours passed to the blits are COLORREF 0x00BBGGRR.
constexpr uint32_t PX_RED = 0xFF0000, PX_GREEN = 0x00FF00, PX_BLUE = 0x0000FF;
constexpr uint32_t PX_YELLOW = 0xFFFF00, PX_WHITE = 0xFFFFFF, PX_GREY = 0x808080;
constexpr uint32_t REF_RED = 0x0000FF, REF_BLUE = 0xFF0000;

uint32_t& at(Sprite s, int x, int y) { return s->pixels[(size_t)y * s->width + x]; }

// A picture whose every pixel is different (and never white).
Owned numbered(int w, int h) {
  Owned s = blank(w, h, 0);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) at(s.get(), x, y) = (uint32_t)(y * 256 + x + 1);
  return s;
}

class Blit : public ::testing::Test {
 protected:
  void SetUp() override {
    headlessReset();
    resetDisplayState();
    display.scaleMode = 0;
    display.screenWidth = 640;
    display.screenHeight = 480;
    fillTrigTables();
  }
  void TearDown() override { resetDisplayState(); }
};

TEST_F(Blit, NewSurfacesAreWhiteAndSized) {
  Owned s(createBlankSprite(7, 3));
  ASSERT_EQ(s->width, 7);
  ASSERT_EQ(s->height, 3);
  for (uint32_t p : s->pixels) EXPECT_EQ(p, PX_WHITE);
  Owned back(createBackBuffer());
  EXPECT_EQ(back->width, 640);
  EXPECT_EQ(back->height, 480);
  EXPECT_EQ(back->pixels[12345], PX_WHITE);
}

TEST_F(Blit, KeyIsComparedInColorrefByteOrder) {
  Owned src = blank(3, 1, 0);
  at(src.get(), 0, 0) = PX_RED;
  at(src.get(), 1, 0) = PX_BLUE;
  at(src.get(), 2, 0) = PX_GREEN;
  Owned dst = blank(3, 1, PX_GREY);
  blitKeyed(dst.get(), 0, 0, 3, 1, src.get(), 0, 0, REF_RED);
  EXPECT_EQ(at(dst.get(), 0, 0), PX_GREY);  // pure red is the key
  EXPECT_EQ(at(dst.get(), 1, 0), PX_BLUE);
  EXPECT_EQ(at(dst.get(), 2, 0), PX_GREEN);

  Owned dst2 = blank(3, 1, PX_GREY);
  blitKeyedStretched(dst2.get(), 0, 0, 3, 1, src.get(), 0, 0, 3, 1, REF_BLUE);
  EXPECT_EQ(at(dst2.get(), 0, 0), PX_RED);
  EXPECT_EQ(at(dst2.get(), 1, 0), PX_GREY);
}

TEST_F(Blit, KeyUsesOnlyLow24Bits) {
  Owned src = blank(4, 4, PX_WHITE);
  at(src.get(), 1, 2) = PX_RED;
  Owned a = blank(4, 4, PX_GREY), b = blank(4, 4, PX_GREY);
  blitKeyed(a.get(), 0, 0, 4, 4, src.get(), 0, 0, 0xFFFFFF);
  blitKeyed(b.get(), 0, 0, 4, 4, src.get(), 0, 0, 0xFFFFFFFF);
  EXPECT_EQ(a->pixels, b->pixels);
  EXPECT_EQ(at(a.get(), 1, 2), PX_RED);
  EXPECT_EQ(at(a.get(), 0, 0), PX_GREY);
}

TEST_F(Blit, OpaqueCopiesIgnoreTheKeyColour) {
  Owned src = numbered(5, 4);
  at(src.get(), 2, 1) = PX_WHITE;
  Owned dst = blank(10, 10, PX_GREY);
  blitOpaque(dst.get(), 3, 2, 3, 2, src.get(), 1, 1);
  EXPECT_EQ(at(dst.get(), 3, 2), at(src.get(), 1, 1));
  EXPECT_EQ(at(dst.get(), 4, 2), PX_WHITE);
  EXPECT_EQ(at(dst.get(), 5, 3), at(src.get(), 3, 2));
  EXPECT_EQ(at(dst.get(), 6, 2), PX_GREY);
  EXPECT_EQ(at(dst.get(), 3, 4), PX_GREY);
  blitCopy(dst.get(), 0, 0, 2, 2, src.get());
  EXPECT_EQ(at(dst.get(), 1, 1), at(src.get(), 1, 1));
}

TEST_F(Blit, StretchPicksNearestSourcePixels) {
  // A 50 x 50 tile cell drawn at 31 x 31, as the stage does.
  Owned src = numbered(60, 60);
  Owned dst = blank(40, 40, PX_GREY);
  blitKeyedStretched(dst.get(), 2, 3, 31, 31, src.get(), 5, 7, 50, 50, 0xFFFFFF);
  for (int j = 0; j < 31; j++)
    for (int i = 0; i < 31; i++)
      ASSERT_EQ(at(dst.get(), 2 + i, 3 + j), at(src.get(), 5 + i * 50 / 31, 7 + j * 50 / 31))
          << i << "," << j;
  EXPECT_EQ(at(dst.get(), 33, 3), PX_GREY);
  EXPECT_EQ(at(dst.get(), 2, 34), PX_GREY);

  // Enlarging repeats pixels, no filtering.
  Owned row = blank(2, 1, 0);
  at(row.get(), 0, 0) = PX_RED;
  at(row.get(), 1, 0) = PX_BLUE;
  Owned wide = blank(6, 1, PX_GREY);
  blitKeyedStretched(wide.get(), 0, 0, 6, 1, row.get(), 0, 0, 2, 1, 0xFFFFFF);
  std::vector<uint32_t> expect = {PX_RED, PX_RED, PX_RED, PX_BLUE, PX_BLUE, PX_BLUE};
  EXPECT_EQ(wide->pixels, expect);
}

TEST_F(Blit, KeyedBlendTruncatesInSinglePrecision) {
  Owned src = blank(3, 1, 0);
  Owned dst = blank(3, 1, 0);
  at(src.get(), 0, 0) = 0x050505;
  at(dst.get(), 0, 0) = 0x050505;
  at(src.get(), 1, 0) = 0x01FF03;
  at(dst.get(), 1, 0) = 0x650067;
  at(src.get(), 2, 0) = PX_WHITE;  // the key: left alone
  at(dst.get(), 2, 0) = 0x123456;
  blitKeyedBlended(dst.get(), 0, 0, 3, 1, src.get(), 0, 0, 3, 1, 9, 0xFFFFFF);
  // 5 * 0.09f + 5 * 0.91f falls just short of 5 in single precision.
  EXPECT_EQ(at(dst.get(), 0, 0), 0x040404u);
  // 91, 22, 93; double precision would give 92, 22, 94.
  EXPECT_EQ(at(dst.get(), 1, 0), 0x5B165Du);
  EXPECT_EQ(at(dst.get(), 2, 0), 0x123456u);
}

TEST_F(Blit, BlendOpacityIsClamped) {
  Owned src = numbered(8, 8);
  Owned base = blank(8, 8, 0x406080);
  Owned full = blank(8, 8, 0x406080), over = blank(8, 8, 0x406080);
  Owned stretched = blank(8, 8, 0x406080);
  blitKeyedBlended(full.get(), 0, 0, 8, 8, src.get(), 0, 0, 4, 4, 100, 0xFFFFFF);
  blitKeyedBlended(over.get(), 0, 0, 8, 8, src.get(), 0, 0, 4, 4, 250, 0xFFFFFF);
  blitKeyedStretched(stretched.get(), 0, 0, 8, 8, src.get(), 0, 0, 4, 4, 0xFFFFFF);
  EXPECT_EQ(full->pixels, over->pixels);
  EXPECT_EQ(full->pixels, stretched->pixels);

  Owned zero = blank(8, 8, 0x406080), under = blank(8, 8, 0x406080);
  blitKeyedBlended(zero.get(), 0, 0, 8, 8, src.get(), 0, 0, 8, 8, 0, 0xFFFFFF);
  blitKeyedBlended(under.get(), 0, 0, 8, 8, src.get(), 0, 0, 8, 8, -40, 0xFFFFFF);
  EXPECT_EQ(zero->pixels, base->pixels);
  EXPECT_EQ(under->pixels, base->pixels);
}

TEST_F(Blit, AdditiveBlendSaturatesAndIgnoresOpacityAndKey) {
  Owned src = blank(3, 1, 0);
  at(src.get(), 0, 0) = 0x203040;
  at(src.get(), 1, 0) = 0x20FF05;
  at(src.get(), 2, 0) = PX_WHITE;
  std::vector<uint32_t> expect = {0x305070, 0xFFFF15, 0xFFFFFF};
  for (int opacity : {-10, 0, 37, 100, 300}) {
    Owned dst = blank(3, 1, 0);
    at(dst.get(), 0, 0) = 0x102030;
    at(dst.get(), 1, 0) = 0xF00010;
    at(dst.get(), 2, 0) = 0x010203;
    blitKeyedBlended(dst.get(), 0, 0, 3, 1, src.get(), 0, 0, 3, 1, opacity, BLEND_ADDITIVE);
    EXPECT_EQ(dst->pixels, expect) << opacity;
  }
}

TEST_F(Blit, ConstantAlphaBlend) {
  Owned src = blank(2, 2, PX_WHITE);
  Owned dst = blank(2, 2, 0);
  blitKeyedBlended(dst.get(), 0, 0, 2, 2, src.get(), 0, 0, 2, 2, 50, BLEND_CONSTANT_ALPHA);
  // alpha 50 * 255 / 100 = 127; white over black rounds to 127. No key.
  for (uint32_t p : dst->pixels) EXPECT_EQ(p, 0x7F7F7Fu);
  Owned full = blank(2, 2, 0);
  blitKeyedBlended(full.get(), 0, 0, 2, 2, src.get(), 0, 0, 2, 2, 120, BLEND_CONSTANT_ALPHA);
  for (uint32_t p : full->pixels) EXPECT_EQ(p, PX_WHITE);
  // A source rectangle reaching outside its picture is refused as a whole.
  Owned none = blank(2, 2, 0);
  blitKeyedBlended(none.get(), 0, 0, 2, 2, src.get(), 1, 0, 2, 2, 100, BLEND_CONSTANT_ALPHA);
  for (uint32_t p : none->pixels) EXPECT_EQ(p, 0u);
}

TEST_F(Blit, KeysAboveColourRangeDrawNothing) {
  Owned src = numbered(4, 4);
  for (uint32_t key : {0x01000000u, 0x12345678u, 0x80000000u, 0xFFFFFFFDu}) {
    Owned dst = blank(4, 4, PX_GREY);
    blitKeyedBlended(dst.get(), 0, 0, 4, 4, src.get(), 0, 0, 4, 4, 100, key);
    for (uint32_t p : dst->pixels) ASSERT_EQ(p, PX_GREY) << std::hex << key;
  }
}

// Quadrants: red top-left, green top-right, blue bottom-left, yellow
// bottom-right, each 10 x 5.
Owned quadrants() {
  Owned s = blank(20, 10, 0);
  for (int y = 0; y < 10; y++)
    for (int x = 0; x < 20; x++)
      at(s.get(), x, y) = y < 5 ? (x < 10 ? PX_RED : PX_GREEN) : (x < 10 ? PX_BLUE : PX_YELLOW);
  return s;
}

TEST_F(Blit, RotationTurnsClockwise) {
  Owned src = quadrants();
  Owned dst = blank(60, 60, PX_GREY);
  blitRotated(dst.get(), 20, 20, 20, 10, src.get(), 0, 0, 20, 10, 90, 0xFFFFFF);
  // The 20 x 10 box about (30, 25) becomes 10 x 20: x 25..35, y 15..35.
  EXPECT_EQ(at(dst.get(), 32, 19), PX_RED);     // top-left went to the top right
  EXPECT_EQ(at(dst.get(), 32, 31), PX_GREEN);   // top-right to the bottom right
  EXPECT_EQ(at(dst.get(), 27, 19), PX_BLUE);    // bottom-left to the top left
  EXPECT_EQ(at(dst.get(), 27, 31), PX_YELLOW);  // bottom-right to the bottom left
  EXPECT_EQ(at(dst.get(), 21, 25), PX_GREY);    // outside the turned box
  EXPECT_EQ(at(dst.get(), 30, 13), PX_GREY);

  // No turn at all: a plain copy.
  Owned flat = blank(60, 60, PX_GREY);
  Owned copy = blank(60, 60, PX_GREY);
  blitRotated(flat.get(), 20, 20, 20, 10, src.get(), 0, 0, 20, 10, 0, 0xFFFFFF);
  blitOpaque(copy.get(), 20, 20, 20, 10, src.get(), 0, 0);
  EXPECT_EQ(flat->pixels, copy->pixels);
}

TEST_F(Blit, RotationAnglesWrapAround) {
  Owned src = quadrants();
  at(src.get(), 3, 3) = PX_WHITE;
  auto draw = [&](int angle) {
    Owned d = blank(60, 60, PX_GREY);
    blitRotated(d.get(), 17, 21, 20, 10, src.get(), 0, 0, 20, 10, angle, 0xFFFFFF);
    return d->pixels;
  };
  EXPECT_EQ(draw(-90), draw(270));
  EXPECT_EQ(draw(360), draw(0));
  EXPECT_EQ(draw(-725), draw(355));
  EXPECT_NE(draw(90), draw(270));
}

TEST_F(Blit, RotationKeyOrNoKey) {
  Owned src = blank(10, 10, PX_WHITE);
  for (int y = 4; y < 7; y++)
    for (int x = 4; x < 7; x++) at(src.get(), x, y) = PX_RED;
  Owned keyed = blank(30, 30, PX_GREY), opaque = blank(30, 30, PX_GREY);
  blitRotated(keyed.get(), 10, 10, 10, 10, src.get(), 0, 0, 10, 10, 180, 0xFFFFFF);
  blitRotated(opaque.get(), 10, 10, 10, 10, src.get(), 0, 0, 10, 10, 180, NO_KEY);
  int red = 0, white = 0;
  for (uint32_t p : keyed->pixels) {
    red += p == PX_RED;
    white += p == PX_WHITE;
  }
  EXPECT_GT(red, 0);
  EXPECT_EQ(white, 0);  // white is the key
  EXPECT_EQ(at(keyed.get(), 12, 12), PX_GREY);
  EXPECT_EQ(at(opaque.get(), 12, 12), PX_WHITE);  // NO_KEY draws white too
  EXPECT_EQ(at(opaque.get(), 15, 15), PX_RED);

  // Turning about the centre given as a pivot is the keyed turn.
  Owned pivot = blank(30, 30, PX_GREY);
  Owned plain = blank(30, 30, PX_GREY);
  Owned q = quadrants();
  blitRotatedPivot(pivot.get(), 4, 9, 20, 10, q.get(), 0, 0, 20, 10, 33, 0xFFFFFF, 10, 5);
  blitRotated(plain.get(), 4, 9, 20, 10, q.get(), 0, 0, 20, 10, 33, 0xFFFFFF);
  EXPECT_EQ(pivot->pixels, plain->pixels);
}

TEST_F(Blit, ScaleModeOneDoublesEverything) {
  display.scaleMode = 1;
  display.screenWidth = 320;
  display.screenHeight = 200;
  Owned s(createBlankSprite(10, 5));
  EXPECT_EQ(s->width, 20);
  EXPECT_EQ(s->height, 10);
  Owned back(createBackBuffer());
  EXPECT_EQ(back->width, 640);
  EXPECT_EQ(back->height, 400);

  Owned dot = blank(1, 1, PX_RED);  // 2 x 2 device pixels
  Owned dst = blank(4, 4, PX_GREY);
  blitKeyed(dst.get(), 1, 1, 1, 1, dot.get(), 0, 0, 0xFFFFFF);
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 8; x++)
      EXPECT_EQ(at(dst.get(), x, y), (x == 2 || x == 3) && (y == 2 || y == 3) ? PX_RED : PX_GREY)
          << x << "," << y;

  Owned pix = blank(5, 5, PX_GREY);
  plotPixel(pix.get(), 2, 1, REF_BLUE);
  EXPECT_EQ(at(pix.get(), 4, 2), PX_BLUE);
  EXPECT_EQ(at(pix.get(), 5, 3), PX_BLUE);
  EXPECT_EQ(at(pix.get(), 6, 2), PX_GREY);
  EXPECT_EQ(readPixel(pix.get(), 2, 1), REF_BLUE);

  // Outline: a 2-pixel pen on the doubled rectangle.
  Owned r = blank(10, 10, PX_WHITE);
  drawRect(r.get(), 1, 1, 3, 3, 0, 0);
  for (int xy : {2, 3, 6, 7}) EXPECT_EQ(at(r.get(), xy, xy), 0u) << xy;
  for (int xy : {1, 4, 5, 8}) EXPECT_EQ(at(r.get(), xy, xy), PX_WHITE) << xy;
}

TEST_F(Blit, RectanglesAtOneToOne) {
  Owned r = blank(8, 8, PX_WHITE);
  drawRect(r.get(), 1, 1, 4, 3, 0, REF_RED);
  // Outline over x 1..4, y 1..3 (right and bottom edges exclusive).
  EXPECT_EQ(at(r.get(), 1, 1), PX_RED);
  EXPECT_EQ(at(r.get(), 4, 3), PX_RED);
  EXPECT_EQ(at(r.get(), 2, 2), PX_WHITE);
  EXPECT_EQ(at(r.get(), 5, 1), PX_WHITE);
  EXPECT_EQ(at(r.get(), 1, 4), PX_WHITE);
  drawRect(r.get(), 6, 6, 5, 5, 1, REF_BLUE);  // filled, runs off the edge
  EXPECT_EQ(at(r.get(), 7, 7), PX_BLUE);
  EXPECT_EQ(at(r.get(), 5, 5), PX_WHITE);
  EXPECT_EQ(r->pixels.size(), 64u);
}

TEST_F(Blit, LinesAndCircles) {
  Owned s = blank(20, 20, PX_WHITE);
  drawLine(s.get(), 5, 5, 5, 5, 0);
  int black = 0;
  for (uint32_t p : s->pixels) black += p == 0;
  EXPECT_EQ(black, 1);
  EXPECT_EQ(at(s.get(), 5, 5), 0u);

  Owned d = blank(20, 20, PX_WHITE);
  drawLine(d.get(), 10, 2, 2, 6, 0);  // shallow, right to left
  EXPECT_EQ(at(d.get(), 10, 2), 0u);
  EXPECT_EQ(at(d.get(), 2, 6), 0u);
  black = 0;
  for (uint32_t p : d->pixels) black += p == 0;
  EXPECT_EQ(black, 9);  // one pixel per column

  Owned c = blank(40, 40, PX_WHITE);
  drawCircle(c.get(), 20, 20, 10, 0);
  EXPECT_EQ(at(c.get(), 20, 20), PX_WHITE);
  for (int y = 0; y < 40; y++)
    for (int x = 0; x < 40; x++) {
      if (at(c.get(), x, y) != 0) continue;
      int dd = (x - 20) * (x - 20) + (y - 20) * (y - 20);
      EXPECT_GE(dd, 8 * 8) << x << "," << y;
      EXPECT_LE(dd, 132) << x << "," << y;  // (10 + 1.5)^2: points are truncated
    }
}

TEST_F(Blit, ClearScreenAndPresent) {
  display.screenWidth = 4;
  display.screenHeight = 3;
  Owned big = blank(6, 5, PX_WHITE);
  clearScreen(big.get(), REF_RED);
  EXPECT_EQ(at(big.get(), 3, 2), PX_RED);
  EXPECT_EQ(at(big.get(), 4, 2), PX_WHITE);
  EXPECT_EQ(at(big.get(), 3, 3), PX_WHITE);

  Sprite window = windowSurface();
  int before = headless.presentedCount;
  presentFrame(window, big.get());
  EXPECT_EQ(headless.presentedCount, before + 1);
  ASSERT_EQ(headless.lastFrameWidth, 4);
  ASSERT_EQ(headless.lastFrameHeight, 3);
  for (uint32_t p : headless.lastFrame) EXPECT_EQ(p, PX_RED);
  // Onto an ordinary surface: copied, nothing shown.
  Owned other = blank(6, 5, PX_GREY);
  presentFrame(other.get(), big.get());
  EXPECT_EQ(headless.presentedCount, before + 1);
  EXPECT_EQ(at(other.get(), 0, 0), PX_RED);
  EXPECT_EQ(at(other.get(), 4, 0), PX_GREY);
}

TEST_F(Blit, ReadPixelOutsideIsInvalid) {
  Owned s = blank(2, 2, 0x123456);
  EXPECT_EQ(readPixel(s.get(), 1, 1), 0x563412u);
  EXPECT_EQ(readPixel(s.get(), 2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(readPixel(s.get(), -1, 0), 0xFFFFFFFFu);
  EXPECT_EQ(readPixel(nullptr, 0, 0), 0xFFFFFFFFu);
}

TEST_F(Blit, NullSurfacesDoNothing) {
  Owned s = blank(4, 4, PX_GREY);
  blitOpaque(nullptr, 0, 0, 4, 4, s.get(), 0, 0);
  blitOpaque(s.get(), 0, 0, 4, 4, nullptr, 0, 0);
  blitKeyed(s.get(), 0, 0, 4, 4, nullptr, 0, 0, 0);
  blitKeyedStretched(nullptr, 0, 0, 4, 4, s.get(), 0, 0, 2, 2, 0);
  blitKeyedBlended(s.get(), 0, 0, 4, 4, nullptr, 0, 0, 2, 2, 50, 0);
  blitKeyedBlended(nullptr, 0, 0, 4, 4, s.get(), 0, 0, 2, 2, 50, BLEND_ADDITIVE);
  blitRotated(nullptr, 0, 0, 4, 4, s.get(), 0, 0, 4, 4, 45, 0);
  blitRotatedPivot(s.get(), 0, 0, 4, 4, nullptr, 0, 0, 4, 4, 45, 0, 1, 1);
  clearScreen(nullptr, 0);
  plotPixel(nullptr, 0, 0, 0);
  drawRect(nullptr, 0, 0, 2, 2, 1, 0);
  drawLine(nullptr, 0, 0, 3, 2, 0);
  drawCircle(nullptr, 5, 5, 3, 0);
  presentFrame(nullptr, s.get());
  presentFrame(s.get(), nullptr);
  freeSprite(nullptr);
  for (uint32_t p : s->pixels) EXPECT_EQ(p, PX_GREY);
}

// Every blit at every offset across every edge of both surfaces: pixels
// outside the destination rectangle never change, and inside it a pixel
// changes only to its own source pixel, and only when that one exists.
TEST_F(Blit, ClippingAtEveryEdge) {
  const int DW = 7, DH = 5, SW = 5, SH = 4;
  Owned src = numbered(SW, SH);
  for (int x = -8; x <= 8; x++)
    for (int y = -6; y <= 6; y++)
      for (int sx = -6; sx <= 6; sx += 2)
        for (int sy = -5; sy <= 5; sy += 2)
          for (int op = 0; op < 4; op++) {
            Owned dst = blank(DW, DH, PX_WHITE);
            const int w = 4, h = 3;
            switch (op) {
              case 0: blitOpaque(dst.get(), x, y, w, h, src.get(), sx, sy); break;
              case 1: blitKeyed(dst.get(), x, y, w, h, src.get(), sx, sy, 0xFFFFFF); break;
              case 2:
                blitKeyedStretched(dst.get(), x, y, w, h, src.get(), sx, sy, w, h, 0xFFFFFF);
                break;
              default:
                blitKeyedBlended(dst.get(), x, y, w, h, src.get(), sx, sy, w, h, 100, 0xFFFFFF);
            }
            ASSERT_EQ(dst->pixels.size(), (size_t)DW * DH);
            for (int Y = 0; Y < DH; Y++)
              for (int X = 0; X < DW; X++) {
                int u = sx + X - x, v = sy + Y - y;
                bool inRect = X >= x && X < x + w && Y >= y && Y < y + h;
                bool hasSource = u >= 0 && u < SW && v >= 0 && v < SH;
                uint32_t expect = inRect && hasSource ? at(src.get(), u, v) : PX_WHITE;
                ASSERT_EQ(at(dst.get(), X, Y), expect)
                    << "op " << op << " at " << x << "," << y << " from " << sx << "," << sy
                    << " pixel " << X << "," << Y;
              }
          }
}

TEST_F(Blit, StretchedAndRotatedClipWithoutStrayWrites) {
  Owned src = numbered(6, 6);
  for (int x = -30; x <= 30; x += 3)
    for (int y = -30; y <= 30; y += 3)
      for (int angle = 0; angle < 360; angle += 37) {
        Owned dst = blank(9, 7, PX_WHITE);
        blitKeyedStretched(dst.get(), x, y, 25, 17, src.get(), -2, -1, 9, 8, 0xFFFFFF);
        blitKeyedBlended(dst.get(), x, y, 25, 17, src.get(), 1, 1, 9, 8, 40, BLEND_ADDITIVE);
        blitKeyedBlended(dst.get(), x, y, 25, 17, src.get(), 0, 0, 6, 6, 40, BLEND_CONSTANT_ALPHA);
        blitRotated(dst.get(), x, y, 25, 17, src.get(), -3, 2, 9, 8, angle, NO_KEY);
        blitRotatedPivot(dst.get(), x, y, 25, 17, src.get(), 2, -3, 9, 8, angle, 0xFFFFFF, -4, 40);
        ASSERT_EQ(dst->pixels.size(), 63u);
      }
  // Huge sizes far off the surface cost nothing and touch nothing.
  Owned dst = blank(9, 7, PX_WHITE);
  blitKeyedStretched(dst.get(), -1000000, 0, 1000000, 7, src.get(), 0, 0, 6, 6, 0xFFFFFF);
  blitOpaque(dst.get(), 2000000000, 0, 2000000000, 7, src.get(), 0, 0);
  for (uint32_t p : dst->pixels) EXPECT_EQ(p, PX_WHITE);
}

TEST_F(Blit, CopyOntoItselfReadsTheOldPixels) {
  Owned s = numbered(6, 1);
  std::vector<uint32_t> before = s->pixels;
  blitOpaque(s.get(), 1, 0, 5, 1, s.get(), 0, 0);
  for (int i = 1; i < 6; i++) EXPECT_EQ(at(s.get(), i, 0), before[i - 1]);
  Owned t = numbered(6, 1);
  blitKeyedStretched(t.get(), 0, 0, 6, 1, t.get(), 0, 0, 3, 1, 0xFFFFFF);
  for (int i = 0; i < 6; i++) EXPECT_EQ(at(t.get(), i, 0), before[i / 2]);
  Owned u = numbered(6, 1);
  blitKeyed(u.get(), 2, 0, 4, 1, u.get(), 0, 0, 0xFFFFFF);
  for (int i = 2; i < 6; i++) EXPECT_EQ(at(u.get(), i, 0), before[i - 2]);
}

}  // namespace
