// The generated pictures against every rectangle the game copies from them.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>

#include "assets/cells.h"
#include "platform/sprite.h"
#include "test_support.h"

namespace {

std::string dataPath(const std::string& file) { return std::string(PUXTEN_DATA_DIR) + "/" + file; }

// Each picture is decoded once for the whole suite.
const SpriteSurface* picture(const std::string& file) {
  static std::map<std::string, std::unique_ptr<SpriteSurface>> cache;
  auto it = cache.find(file);
  if (it != cache.end()) return it->second.get();
  auto s = std::make_unique<SpriteSurface>();
  const char* error = nullptr;
  if (!readBitmapFile(dataPath(file).c_str(), s.get(), &error)) s.reset();
  return (cache[file] = std::move(s)).get();
}

uint32_t pixelAt(const SpriteSurface& s, int x, int y) {
  return s.pixels[size_t(y) * s.width + x] & 0xFFFFFF;
}

std::string describe(const PictureCell& c) {
  char buf[160];
  std::snprintf(buf, sizeof buf, "%s (%d, %d, %d x %d) %s", c.file.c_str(), c.x, c.y, c.w, c.h,
                c.what.c_str());
  return buf;
}

TEST(PictureCells, EveryPictureIsA24BitBottomUpBitmapOfItsSize) {
  for (const SheetFile& size : ALL_SHEETS) {
    SCOPED_TRACE(size.file);
    const std::string h = readFile(dataPath(size.file));
    ASSERT_GE(h.size(), 54u) << "missing";
    auto le32 = [&](int o) {
      uint32_t v = 0;
      for (int i = 3; i >= 0; i--) v = v << 8 | (uint8_t)h[o + i];
      return v;
    };
    EXPECT_EQ(h.substr(0, 2), "BM");
    EXPECT_EQ(le32(14), 40u) << "BITMAPINFOHEADER";
    EXPECT_GT(int32_t(le32(22)), 0) << "bottom-up";
    EXPECT_EQ(le32(28) & 0xFFFF, 24u);
    EXPECT_EQ(le32(30), 0u) << "BI_RGB";

    const SpriteSurface* s = picture(size.file);
    ASSERT_NE(s, nullptr) << "does not decode";
    EXPECT_EQ(s->width, size.w);
    EXPECT_EQ(s->height, size.h);
  }
}

TEST(PictureCells, EveryAddressedCellLiesInsideItsPictureAndShowsWhatItShould) {
  std::vector<PictureCell> cells = pictureCells();
  ASSERT_GT(cells.size(), 300u);
  std::set<std::string> known;
  for (const SheetFile& s : ALL_SHEETS) known.insert(s.file);
  for (const PictureCell& c : cells) {
    SCOPED_TRACE(describe(c));
    EXPECT_TRUE(known.count(c.file)) << "cell of a picture that is not drawn";
    const SpriteSurface* s = picture(c.file);
    ASSERT_NE(s, nullptr) << "picture missing or damaged";
    ASSERT_TRUE(c.x >= 0 && c.y >= 0 && c.w > 0 && c.h > 0 && c.x + c.w <= s->width &&
                c.y + c.h <= s->height)
        << "outside the " << s->width << " x " << s->height << " picture";
    uint32_t key = colorRefToPixel(c.key);
    int keyed = 0;
    for (int y = c.y; y < c.y + c.h; ++y)
      for (int x = c.x; x < c.x + c.w; ++x) keyed += pixelAt(*s, x, y) == key;
    if (c.rule == CELL_SHOWS_SOMETHING) {
      EXPECT_LT(keyed, c.w * c.h) << "only key colour";
    } else if (c.rule == CELL_OPAQUE) {
      EXPECT_EQ(keyed, 0) << "holes of key colour";
    }
  }
}

// The front edges repeat the right-hand 10 x 50 pixels of the tiles they
// stand for; a switch that pulses keeps its edge still.
TEST(PictureCells, FrontEdgeStripsRepeatTheirTiles) {
  const SpriteSurface* s = picture(TILE_SHEET.file);
  ASSERT_NE(s, nullptr);
  for (const EdgeStripTwin& t : edgeStripTwins()) {
    const SheetCell a = t.strip, b = rightEdgeOf(t.tile);
    SCOPED_TRACE(testing::Message() << "strip (" << a.x << ", " << a.y << ") tile (" << t.tile.x
                                    << ", " << t.tile.y << ")");
    int mismatches = 0;
    for (int y = 0; y < a.h; ++y)
      for (int x = 0; x < a.w; ++x)
        mismatches += pixelAt(*s, a.x + x, a.y + y) != pixelAt(*s, b.x + x, b.y + y);
    EXPECT_EQ(mismatches, 0);
  }
}

// The fade cover and the bomb display's backing are black throughout.
TEST(PictureCells, FadeCoverIsBlack) {
  const SpriteSurface* black = picture(BLACK_SHEET.file);
  ASSERT_NE(black, nullptr);
  int other = 0;
  for (int y = 0; y < black->height; ++y)
    for (int x = 0; x < black->width; ++x) other += pixelAt(*black, x, y) != 0;
  EXPECT_EQ(other, 0);
}

}  // namespace
