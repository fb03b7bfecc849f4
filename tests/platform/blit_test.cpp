// Blits and drawing primitives on software surfaces: the rules that the
// game's own pictures do not show (keys in COLORREF order, single-precision
// blends, clamps, wrapped angles, scale mode 1) and clipping at every edge.
#include <gtest/gtest.h>

#include "platform/surface_support.h"
#include "platform/trig.h"
#include "test_support.h"

namespace {

// Pixels are 0x00RRGGBB; colours passed to the blits are COLORREF 0x00BBGGRR.
constexpr uint32_t PX_RED = 0xFF0000, PX_GREEN = 0x00FF00, PX_BLUE = 0x0000FF;
constexpr uint32_t PX_WHITE = 0xFFFFFF, PX_GREY = 0x808080;
constexpr uint32_t REF_RED = 0x0000FF, REF_BLUE = 0xFF0000;
using Pixels = std::vector<uint32_t>;

// A one-row picture of these pixels.
Owned row(const Pixels& pixels) {
  Owned s = blank((int)pixels.size(), 1, 0);
  s->pixels = pixels;
  return s;
}

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
    resetDisplayState();
    resetHeadlessScreen();
    fillTrigTables();
  }
  void TearDown() override { resetDisplayState(); }
};

TEST_F(Blit, KeysAreComparedInColorrefByteOrderOnTheirLow24Bits) {
  Owned src = row({PX_RED, PX_BLUE, PX_GREEN});
  Owned dst = blank(3, 1, PX_GREY);
  blitKeyed(dst.get(), 0, 0, 3, 1, src.get(), 0, 0, REF_RED | 0xAB000000);
  EXPECT_EQ(dst->pixels, (Pixels{PX_GREY, PX_BLUE, PX_GREEN}));
  Owned stretched = blank(3, 1, PX_GREY);
  blitKeyedStretched(stretched.get(), 0, 0, 3, 1, src.get(), 0, 0, 3, 1, REF_BLUE);
  EXPECT_EQ(stretched->pixels, (Pixels{PX_RED, PX_GREY, PX_GREEN}));
  // An opaque copy takes the key colour too.
  Owned white = row({PX_WHITE, PX_RED});
  blitOpaque(stretched.get(), 1, 0, 2, 1, white.get(), 0, 0);
  EXPECT_EQ(stretched->pixels, (Pixels{PX_RED, PX_WHITE, PX_RED}));
}

TEST_F(Blit, EnlargingRepeatsPixelsWithoutFiltering) {
  Owned src = row({PX_RED, PX_BLUE});
  Owned wide = blank(6, 1, PX_GREY);
  blitKeyedStretched(wide.get(), 0, 0, 6, 1, src.get(), 0, 0, 2, 1, PX_WHITE);
  EXPECT_EQ(wide->pixels, (Pixels{PX_RED, PX_RED, PX_RED, PX_BLUE, PX_BLUE, PX_BLUE}));
}

TEST_F(Blit, KeyedBlendTruncatesInSinglePrecision) {
  Owned src = row({0x050505, 0x01FF03, PX_WHITE});
  Owned dst = row({0x050505, 0x650067, 0x123456});
  blitKeyedBlended(dst.get(), 0, 0, 3, 1, src.get(), 0, 0, 3, 1, 9, PX_WHITE);
  // 5 * 0.09f + 5 * 0.91f falls just short of 5 in single precision; 91,
  // 22, 93 where double precision would give 92, 22, 94; the key is left.
  EXPECT_EQ(dst->pixels, (Pixels{0x040404, 0x5B165D, 0x123456}));
}

TEST_F(Blit, BlendOpacityIsClamped) {
  Owned src = numbered(8, 8);
  auto blend = [&](int opacity) {
    Owned d = blank(8, 8, 0x406080);
    blitKeyedBlended(d.get(), 0, 0, 8, 8, src.get(), 0, 0, 4, 4, opacity, PX_WHITE);
    return d->pixels;
  };
  Owned stretched = blank(8, 8, 0x406080);
  blitKeyedStretched(stretched.get(), 0, 0, 8, 8, src.get(), 0, 0, 4, 4, PX_WHITE);
  EXPECT_EQ(blend(250), stretched->pixels);
  EXPECT_EQ(blend(100), stretched->pixels);
  EXPECT_EQ(blend(-40), Pixels(64, 0x406080));
  EXPECT_EQ(blend(0), Pixels(64, 0x406080));
}

TEST_F(Blit, AdditiveBlendSaturatesAndIgnoresOpacityAndKey) {
  Owned src = row({0x203040, 0x20FF05, PX_WHITE});
  for (int opacity : {-10, 0, 37, 100, 300}) {
    Owned dst = row({0x102030, 0xF00010, 0x010203});
    blitKeyedBlended(dst.get(), 0, 0, 3, 1, src.get(), 0, 0, 3, 1, opacity, BLEND_ADDITIVE);
    EXPECT_EQ(dst->pixels, (Pixels{0x305070, 0xFFFF15, 0xFFFFFF})) << opacity;
  }
}

TEST_F(Blit, ConstantAlphaBlendHasNoKeyAndRefusesASourceOutside) {
  Owned src = blank(2, 2, PX_WHITE);
  auto blend = [&](int sx, int opacity) {
    Owned d = blank(2, 2, 0);
    blitKeyedBlended(d.get(), 0, 0, 2, 2, src.get(), sx, 0, 2, 2, opacity, BLEND_CONSTANT_ALPHA);
    return d->pixels;
  };
  EXPECT_EQ(blend(0, 50), Pixels(4, 0x7F7F7F));  // alpha 50 * 255 / 100 = 127
  EXPECT_EQ(blend(0, 120), Pixels(4, PX_WHITE));
  EXPECT_EQ(blend(1, 100), Pixels(4, 0));  // refused as a whole
}

TEST_F(Blit, KeysAboveColourRangeDrawNothingInABlend) {
  Owned src = numbered(4, 4);
  for (uint32_t key : {0x01000000u, 0x12345678u, 0x80000000u, 0xFFFFFFFDu}) {
    Owned dst = blank(4, 4, PX_GREY);
    blitKeyedBlended(dst.get(), 0, 0, 4, 4, src.get(), 0, 0, 4, 4, 100, key);
    EXPECT_EQ(dst->pixels, Pixels(16, PX_GREY)) << std::hex << key;
  }
}

// Quadrants: red top-left, green top-right, blue bottom-left, white
// bottom-right (the key), each 10 x 5.
Owned quadrants() {
  Owned s = blank(20, 10, 0);
  for (int y = 0; y < 10; y++)
    for (int x = 0; x < 20; x++)
      at(s.get(), x, y) = y < 5 ? (x < 10 ? PX_RED : PX_GREEN) : (x < 10 ? PX_BLUE : PX_WHITE);
  return s;
}

TEST_F(Blit, RotationTurnsClockwiseAndAnglesWrapAround) {
  Owned src = quadrants();
  auto turn = [&](int angle, uint32_t key) {
    Owned d = blank(60, 60, PX_GREY);
    blitRotated(d.get(), 20, 20, 20, 10, src.get(), 0, 0, 20, 10, angle, key);
    return d;
  };
  // The 20 x 10 box about (30, 25) becomes 10 x 20: x 25..35, y 15..35.
  Owned d = turn(90, PX_WHITE);
  EXPECT_EQ(at(d.get(), 32, 19), PX_RED);    // top-left went to the top right
  EXPECT_EQ(at(d.get(), 32, 31), PX_GREEN);  // top-right to the bottom right
  EXPECT_EQ(at(d.get(), 27, 19), PX_BLUE);   // bottom-left to the top left
  EXPECT_EQ(at(d.get(), 27, 31), PX_GREY);   // the key, not drawn
  EXPECT_EQ(at(turn(90, NO_KEY).get(), 27, 31), PX_WHITE);
  EXPECT_EQ(at(d.get(), 21, 25), PX_GREY);  // outside the turned box
  Owned copy = blank(60, 60, PX_GREY);
  blitOpaque(copy.get(), 20, 20, 20, 10, src.get(), 0, 0);
  EXPECT_EQ(turn(0, NO_KEY)->pixels, copy->pixels);
  EXPECT_EQ(turn(-90, NO_KEY)->pixels, turn(270, NO_KEY)->pixels);
  EXPECT_EQ(turn(-725, NO_KEY)->pixels, turn(355, NO_KEY)->pixels);
  EXPECT_NE(turn(90, NO_KEY)->pixels, turn(270, NO_KEY)->pixels);
  // Turning about the centre given as a pivot is the plain turn.
  Owned pivot = blank(60, 60, PX_GREY);
  blitRotatedPivot(pivot.get(), 20, 20, 20, 10, src.get(), 0, 0, 20, 10, 33, PX_WHITE, 10, 5);
  EXPECT_EQ(pivot->pixels, turn(33, PX_WHITE)->pixels);
}

TEST_F(Blit, ScaleModeOneDoublesEverything) {
  display.scaleMode = 1;
  display.screenWidth = 320;
  display.screenHeight = 200;
  Owned back(createBackBuffer());
  EXPECT_EQ(back->width, 640);
  EXPECT_EQ(back->height, 400);
  Owned dot = blank(1, 1, PX_RED);  // 2 x 2 device pixels
  Owned dst = blank(4, 4, PX_GREY);
  blitKeyed(dst.get(), 1, 1, 1, 1, dot.get(), 0, 0, PX_WHITE);
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 8; x++)
      EXPECT_EQ(at(dst.get(), x, y), (x == 2 || x == 3) && (y == 2 || y == 3) ? PX_RED : PX_GREY)
          << x << "," << y;
  plotPixel(dst.get(), 0, 2, REF_BLUE);
  EXPECT_EQ(at(dst.get(), 1, 5), PX_BLUE);
  EXPECT_EQ(readPixel(dst.get(), 0, 2), REF_BLUE);
  // Outline: a 2-pixel pen on the doubled rectangle.
  Owned r = blank(10, 10, PX_WHITE);
  drawRect(r.get(), 1, 1, 3, 3, 0, 0);
  for (int xy : {2, 3, 6, 7}) EXPECT_EQ(at(r.get(), xy, xy), 0u) << xy;
  for (int xy : {1, 4, 5, 8}) EXPECT_EQ(at(r.get(), xy, xy), PX_WHITE) << xy;
}

TEST_F(Blit, RectanglesLinesAndCircles) {
  Owned r = blank(8, 8, PX_WHITE);
  drawRect(r.get(), 1, 1, 4, 3, 0, REF_RED);  // right and bottom edges exclusive
  EXPECT_EQ(at(r.get(), 1, 1), PX_RED);
  EXPECT_EQ(at(r.get(), 4, 3), PX_RED);
  EXPECT_EQ(at(r.get(), 2, 2), PX_WHITE);
  EXPECT_EQ(at(r.get(), 5, 1), PX_WHITE);
  drawRect(r.get(), 6, 6, 5, 5, 1, REF_BLUE);  // filled, runs off the edge
  EXPECT_EQ(at(r.get(), 7, 7), PX_BLUE);
  EXPECT_EQ(at(r.get(), 5, 5), PX_WHITE);

  Owned d = blank(20, 20, PX_WHITE);
  drawLine(d.get(), 10, 2, 2, 6, 0);  // shallow, right to left: one pixel per column
  EXPECT_EQ(at(d.get(), 10, 2), 0u);
  EXPECT_EQ(at(d.get(), 2, 6), 0u);
  EXPECT_EQ(std::count(d->pixels.begin(), d->pixels.end(), 0u), 9);

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

TEST_F(Blit, NullSurfacesAndPixelsOutsideDoNothing) {
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
  plotPixel(s.get(), 4, -1, 0);
  drawRect(nullptr, 0, 0, 2, 2, 1, 0);
  drawLine(nullptr, 0, 0, 3, 2, 0);
  drawCircle(nullptr, 5, 5, 3, 0);
  presentFrame(nullptr, s.get());
  presentFrame(s.get(), nullptr);
  freeSprite(nullptr);
  EXPECT_EQ(s->pixels, Pixels(16, PX_GREY));
  EXPECT_EQ(readPixel(s.get(), 3, 3), 0x808080u);
  for (int xy : {-1, 4}) EXPECT_EQ(readPixel(s.get(), xy, 0), 0xFFFFFFFFu);
  EXPECT_EQ(readPixel(nullptr, 0, 0), 0xFFFFFFFFu);
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
              case 1: blitKeyed(dst.get(), x, y, w, h, src.get(), sx, sy, PX_WHITE); break;
              case 2:
                blitKeyedStretched(dst.get(), x, y, w, h, src.get(), sx, sy, w, h, PX_WHITE);
                break;
              default:
                blitKeyedBlended(dst.get(), x, y, w, h, src.get(), sx, sy, w, h, 100, PX_WHITE);
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
        blitKeyedStretched(dst.get(), x, y, 25, 17, src.get(), -2, -1, 9, 8, PX_WHITE);
        blitKeyedBlended(dst.get(), x, y, 25, 17, src.get(), 1, 1, 9, 8, 40, BLEND_ADDITIVE);
        blitKeyedBlended(dst.get(), x, y, 25, 17, src.get(), 0, 0, 6, 6, 40, BLEND_CONSTANT_ALPHA);
        blitRotated(dst.get(), x, y, 25, 17, src.get(), -3, 2, 9, 8, angle, NO_KEY);
        blitRotatedPivot(dst.get(), x, y, 25, 17, src.get(), 2, -3, 9, 8, angle, PX_WHITE, -4, 40);
        ASSERT_EQ(dst->pixels.size(), 63u);
      }
  // Huge sizes far off the surface cost nothing and touch nothing.
  Owned dst = blank(9, 7, PX_WHITE);
  blitKeyedStretched(dst.get(), -1000000, 0, 1000000, 7, src.get(), 0, 0, 6, 6, PX_WHITE);
  blitOpaque(dst.get(), 2000000000, 0, 2000000000, 7, src.get(), 0, 0);
  EXPECT_EQ(dst->pixels, Pixels(63, PX_WHITE));
}

TEST_F(Blit, CopyOntoItselfReadsTheOldPixels) {
  const Pixels before = numbered(6, 1)->pixels;
  Owned s = numbered(6, 1), t = numbered(6, 1), u = numbered(6, 1);
  blitOpaque(s.get(), 1, 0, 5, 1, s.get(), 0, 0);
  blitKeyedStretched(t.get(), 0, 0, 6, 1, t.get(), 0, 0, 3, 1, PX_WHITE);
  blitKeyed(u.get(), 2, 0, 4, 1, u.get(), 0, 0, PX_WHITE);
  const Pixels b = before;
  EXPECT_EQ(s->pixels, (Pixels{b[0], b[0], b[1], b[2], b[3], b[4]}));
  EXPECT_EQ(t->pixels, (Pixels{b[0], b[0], b[1], b[1], b[2], b[2]}));
  EXPECT_EQ(u->pixels, (Pixels{b[0], b[1], b[0], b[1], b[2], b[3]}));
}

}  // namespace
