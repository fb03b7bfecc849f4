// The application icon: the hero beside a lit bomb on a strip of ground,
// under a night sky, in a rounded square. Drawn once at 64 x 64 in the
// sprites' own pixel size, then enlarged whole (256, 128) or averaged
// down (48), with the corners transparent.
#include <algorithm>

#include "assets.h"
#include "draw_sheets.h"
#include "platform/sprite.h"

namespace {

constexpr int BASE = 64;
constexpr int GROUND_Y = 50;  // top of the ground strip
constexpr uint32_t SKY_TOP = rgb(0x2c, 0x32, 0x5c), SKY_BOTTOM = rgb(0x5a, 0x3a, 0x7a);
constexpr uint32_t GRASS = rgb(0x5c, 0xc0, 0x4a), STONE = rgb(0xb0, 0x78, 0x48);

void drawSky(Canvas& c) {
  for (int y = 0; y < BASE; ++y)
    for (int x = 0; x < BASE; ++x) c.set(x, y, mix(SKY_TOP, SKY_BOTTOM, float(y) / BASE));
  for (int y = 4; y < GROUND_Y - 4; ++y)
    for (int x = 4; x < BASE - 4; ++x)
      if (hashNoise(x, y, 77) < 0.025f) c.set(x, y, rgb(0xf0, 0xf0, 0xff));
  drawSparkle(c, 50, 11, 3.5f, rgb(0xff, 0xe0, 0x70), rgb(0xff, 0xff, 0xe0));
}

// Grass over stone bricks in rows of 8 x 5, offset every other row.
void drawGround(Canvas& c) {
  for (int y = GROUND_Y; y < BASE; ++y)
    for (int x = 0; x < BASE; ++x) {
      int row = (y - GROUND_Y - 3) / 5, bx = (x + (row % 2) * 4) % 8, by = (y - GROUND_Y - 3) % 5;
      uint32_t col = scaleColour(STONE, 0.85f + 0.3f * hashNoise(x / 2, y / 2, 5));
      if (bx == 7 || by == 4) col = scaleColour(STONE, 0.55f);
      if (y < GROUND_Y + 3) col = y == GROUND_Y ? lighten(GRASS, 0.3f) : GRASS;
      c.set(x, y, col);
    }
}

// The hero facing right, his feet on the ground.
void drawHeroOnGround(Canvas& c) {
  Canvas hero = drawSpareSheet(drawPlayerSheet());
  int bottom = 0;
  for (int y = 0; y < hero.h; ++y)
    for (int x = 0; x < hero.w; ++x)
      if (!hero.isKey(x, y)) bottom = std::max(bottom, y);
  pasteKeyed(c, hero, 10, GROUND_Y - 1 - bottom);
}

// Everything outside the rounded square back to the key; an ink rim inside.
Canvas roundedIcon(const Canvas& art) {
  Canvas shape(BASE, BASE);
  fillRoundRect(shape, 1, 1, BASE - 2, BASE - 2, 12, INK);
  Canvas inner(BASE, BASE);
  fillRoundRect(inner, 3, 3, BASE - 6, BASE - 6, 10, INK);
  Canvas out(BASE, BASE);
  for (int y = 0; y < BASE; ++y)
    for (int x = 0; x < BASE; ++x) {
      if (shape.isKey(x, y)) continue;
      out.set(x, y, inner.isKey(x, y) ? INK : art.get(x, y));
    }
  return out;
}

Canvas drawIconArt() {
  Canvas c(BASE, BASE);
  drawSky(c);
  drawGround(c);
  drawHeroOnGround(c);
  drawRoundBomb(c, 45, GROUND_Y - 9.5f, 9, -1);
  return roundedIcon(c);
}

// Each output pixel averages its square of source pixels; key pixels count
// as transparent, so edges fade instead of fringing.
std::vector<uint32_t> withAlpha(const Canvas& src, int size) {
  std::vector<uint32_t> out((size_t)size * size);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      int x0 = x * src.w / size, x1 = std::max(x0 + 1, (x + 1) * src.w / size);
      int y0 = y * src.h / size, y1 = std::max(y0 + 1, (y + 1) * src.h / size);
      long r = 0, g = 0, b = 0, n = 0, all = 0;
      for (int j = y0; j < y1; ++j)
        for (int i = x0; i < x1; ++i, ++all) {
          if (src.isKey(i, j)) continue;
          uint32_t p = src.get(i, j);
          r += redOf(p), g += greenOf(p), b += blueOf(p), ++n;
        }
      uint32_t a = uint32_t(255 * n / all);
      out[size_t(y) * size + x] = n ? (a << 24 | rgb(int(r / n), int(g / n), int(b / n))) : 0;
    }
  return out;
}

}  // namespace

bool generateIcons(const std::string& outDir) {
  Canvas art = drawIconArt();
  Canvas big = scaledNearest(art, 256, 256);
  for (int size : {48, 128, 256}) {
    std::string path = outDir + "/icon-" + std::to_string(size) + ".png";
    if (!writePngWithAlpha(path.c_str(), size, size, withAlpha(big, size))) return false;
  }
  return true;
}
