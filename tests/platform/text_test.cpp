// Text drawing: cells, backgrounds, wrapping, Japanese.
#include "platform/text.h"

#include <gtest/gtest.h>

#include "platform/surface_support.h"
#include "test_support.h"

namespace {

constexpr uint32_t PX_GREY = 0x808080, PX_RED = 0xFF0000;
constexpr uint32_t REF_RED = 0x0000FF;

int count(Sprite s, uint32_t pixel, int x0 = 0, int y0 = 0, int x1 = -1, int y1 = -1) {
  if (x1 < 0) x1 = s->width;
  if (y1 < 0) y1 = s->height;
  int n = 0;
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++) n += at(s, x, y) == pixel;
  return n;
}

class Text : public ::testing::Test {
 protected:
  void SetUp() override {
    resetDisplayState();
    resetHeadlessScreen();
    createTextFont(8, 16, "ＭＳ 明朝");
    if (!textState.hasFont) GTEST_SKIP() << "no font file on this machine";
  }
  void TearDown() override {
    releaseTextFont();
    resetDisplayState();
  }
};

TEST_F(Text, TransparentBackgroundLeavesGapsUntouched) {
  Owned s = blank(100, 30, PX_GREY);
  drawText(s.get(), 4, 5, REF_RED, TRANSPARENT_BACKGROUND, "A%dB", 7);
  int red = count(s.get(), PX_RED);
  EXPECT_GT(red, 10);
  EXPECT_EQ(red + count(s.get(), PX_GREY), 100 * 30);  // nothing else painted
  // Ink stays inside the three cells.
  EXPECT_EQ(count(s.get(), PX_RED, 4, 5, 28, 21), red);
}

TEST_F(Text, OpaqueBackgroundPaintsTheCells) {
  Owned s = blank(100, 30, PX_GREY);
  drawText(s.get(), 4, 5, REF_RED, 0x000000, "i j");
  // Three cells of 8 x 16 at (4, 5): every pixel is ink or black.
  EXPECT_EQ(count(s.get(), PX_RED, 4, 5, 28, 21) + count(s.get(), 0, 4, 5, 28, 21), 24 * 16);
  EXPECT_GT(count(s.get(), PX_RED), 0);
  EXPECT_EQ(count(s.get(), PX_GREY), 100 * 30 - 24 * 16);  // nothing outside
  EXPECT_EQ(at(s.get(), 12 + 4, 5 + 8), 0u);               // the space is painted too
}

TEST_F(Text, JapaneseTextDrawsInWideCells) {
  Owned s = blank(100, 30, PX_GREY);
  drawText(s.get(), 0, 0, REF_RED, 0x000000, "日本a");
  EXPECT_GT(count(s.get(), PX_RED, 0, 0, 16, 16), 10);   // 日
  EXPECT_GT(count(s.get(), PX_RED, 16, 0, 32, 16), 10);  // 本
  // Two full-width and one half-width character: 40 pixels of cells.
  EXPECT_EQ(at(s.get(), 40, 0), PX_GREY);
  EXPECT_EQ(count(s.get(), PX_GREY, 0, 0, 40, 16), 0);
}

TEST_F(Text, ScaleModeOneDoublesCellsAndPositions) {
  display.scaleMode = 1;
  createTextFont(8, 16, "ＭＳ 明朝");
  ASSERT_TRUE(textState.hasFont);
  EXPECT_EQ(textState.cellWidth, 8);  // the cell as asked for
  Owned s = blank(40, 30, PX_GREY);   // 80 x 60 device pixels
  drawText(s.get(), 1, 2, REF_RED, 0x000000, "x");
  // One 16 x 32 cell at (2, 4).
  EXPECT_EQ(count(s.get(), PX_GREY), 80 * 60 - 16 * 32);
  EXPECT_EQ(at(s.get(), 2, 4), 0u);
  EXPECT_EQ(at(s.get(), 1, 4), PX_GREY);
  EXPECT_EQ(at(s.get(), 18, 36), PX_GREY);
}

TEST_F(Text, BoxWrapsAtWordsAndBetweenWideCharacters) {
  Owned s = blank(100, 100, PX_GREY);
  // Box 4 cells wide: "aaa bbb" makes two lines, the breaking space unpainted.
  drawTextBox(s.get(), 0, 0, 32, 16, REF_RED, 0x000000, "aaa bbb");
  EXPECT_EQ(count(s.get(), PX_GREY, 0, 0, 24, 32), 0);
  EXPECT_EQ(count(s.get(), PX_GREY, 24, 0, 100, 100), 100 * 76);
  EXPECT_EQ(count(s.get(), PX_GREY, 0, 32, 24, 100), 24 * 68);  // lines run on, none here

  Owned j = blank(100, 100, PX_GREY);
  drawTextBox(j.get(), 0, 0, 32, 10, REF_RED, 0x000000, "日本語日本");
  // Two wide characters a line, three lines, no clipping to the box height.
  EXPECT_EQ(count(j.get(), PX_GREY, 0, 0, 32, 32), 0);
  EXPECT_EQ(count(j.get(), PX_GREY, 0, 32, 16, 48), 0);
  EXPECT_EQ(count(j.get(), PX_GREY, 16, 32, 32, 48), 16 * 16);
  EXPECT_GT(count(j.get(), PX_RED, 0, 32, 16, 48), 10);
  EXPECT_EQ(count(j.get(), PX_GREY, 32, 0, 100, 100), 68 * 100);

  // A word longer than the box is cut between characters; newlines break.
  Owned w = blank(100, 100, PX_GREY);
  drawTextBox(w.get(), 0, 0, 24, 16, REF_RED, 0x000000, "abcdefg\nh");
  EXPECT_EQ(count(w.get(), PX_GREY, 0, 0, 24, 32), 0);  // abc, def
  EXPECT_EQ(count(w.get(), PX_GREY, 0, 32, 8, 64), 0);  // g, h
  EXPECT_EQ(count(w.get(), PX_GREY, 8, 32, 24, 64), 16 * 32);
}

TEST_F(Text, LongTextIsCutAtTheBuffer) {
  std::string huge(5000, 'x');
  Owned s = blank(17000, 16, PX_GREY);
  drawText(s.get(), 0, 0, REF_RED, 0x000000, "%s", huge.c_str());
  // 2047 characters fit the buffer with its terminator.
  EXPECT_NE(at(s.get(), 2047 * 8 - 1, 0), PX_GREY);
  EXPECT_EQ(at(s.get(), 2047 * 8, 0), PX_GREY);
}

TEST_F(Text, FontLifecycleAndWindowText) {
  releaseTextFont();
  EXPECT_EQ(textState.hasFont, 0);
  Owned s = blank(40, 20, PX_GREY);
  drawText(s.get(), 0, 0, REF_RED, TRANSPARENT_BACKGROUND, "W");  // makes the font again
  EXPECT_EQ(textState.hasFont, 1);
  EXPECT_GT(count(s.get(), PX_RED), 0);

  createTextFont(6, 12, "any face");
  EXPECT_EQ(textState.cellWidth, 6);
  EXPECT_EQ(textState.cellHeight, 12);
  EXPECT_STREQ(textState.face, "any face");

  drawTextOnWindow(0, 0, 0xFFFFFF, "%s", "ok");
  Sprite window = windowSurface();
  EXPECT_GT(count(window, 0xFFFFFF, 0, 0, 12, 12), 0);
  EXPECT_EQ(count(window, 0xFFFFFF, 12, 0, window->width, window->height), 0);

  // Text far outside the surface is simply not seen.
  drawText(s.get(), -500, 900, REF_RED, 0, "clipped");
  drawTextBox(s.get(), 30, -40, 5, 5, REF_RED, 0, "日本 abc def");
  drawText(nullptr, 0, 0, 0, 0, "nothing");
}

}  // namespace
