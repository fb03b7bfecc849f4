// Drawing helpers of the picture generator: a canvas with a transparent key
// colour, hard-edged shapes (sprites are keyed, so soft edges would leave
// halos), noise, FreeType text and the bitmap file writer.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

// Pixels are 0x00RRGGBB.
constexpr uint32_t rgb(int r, int g, int b) {
  return (uint32_t(r & 255) << 16) | (uint32_t(g & 255) << 8) | uint32_t(b & 255);
}
inline int redOf(uint32_t c) { return (c >> 16) & 255; }
inline int greenOf(uint32_t c) { return (c >> 8) & 255; }
inline int blueOf(uint32_t c) { return c & 255; }
uint32_t mix(uint32_t a, uint32_t b, float t);  // t 0 gives a, 1 gives b
uint32_t scaleColour(uint32_t c, float f);      // brighter above 1, darker below
uint32_t lighten(uint32_t c, float t);          // towards white
uint32_t darken(uint32_t c, float t);           // towards black

// Key colours as pixels (the game names them as COLORREFs).
constexpr uint32_t KEY_WHITE = 0xFFFFFF;
constexpr uint32_t KEY_BLACK = 0x000000;
constexpr uint32_t KEY_BLUE = 0x0000FF;    // COLORREF 0xFF0000
constexpr uint32_t KEY_ORANGE = 0xFF922B;  // COLORREF 0x2B92FF

struct Canvas {
  int w = 0, h = 0;
  uint32_t key = KEY_WHITE;
  std::vector<uint32_t> px;

  Canvas() = default;
  Canvas(int width, int height, uint32_t keyColour = KEY_WHITE);
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w && y < h; }
  uint32_t get(int x, int y) const { return inside(x, y) ? px[size_t(y) * w + x] : key; }
  bool isKey(int x, int y) const { return get(x, y) == key; }
  // Drawing never produces the key by accident: the key is nudged by one.
  void set(int x, int y, uint32_t c) {
    if (!inside(x, y)) return;
    px[size_t(y) * w + x] = c == key ? (key ^ 0x010101) : c;
  }
  void setKey(int x, int y) {
    if (inside(x, y)) px[size_t(y) * w + x] = key;
  }
  void blend(int x, int y, uint32_t c, float a);  // a 0..1 over what is there
  void clear(uint32_t c);                         // raw fill, key allowed
};

// Hard-edged shapes: a pixel is covered when its centre is inside.
void fillRect(Canvas& c, int x, int y, int w, int h, uint32_t colour);
void fillEllipse(Canvas& c, float cx, float cy, float rx, float ry, uint32_t colour);
void fillCircle(Canvas& c, float cx, float cy, float r, uint32_t colour);
void fillRing(Canvas& c, float cx, float cy, float r0, float r1, uint32_t colour);
// Back to the key colour inside the ellipse.
void eraseEllipse(Canvas& c, float cx, float cy, float rx, float ry);
void fillCapsule(Canvas& c, float x0, float y0, float x1, float y1, float r, uint32_t colour);
void fillRoundRect(Canvas& c, float x, float y, float w, float h, float r, uint32_t colour);
struct Pt {
  float x, y;
};
void fillPolygon(Canvas& c, const std::vector<Pt>& pts, uint32_t colour);
void drawLineThin(Canvas& c, int x0, int y0, int x1, int y1, uint32_t colour);
void frameRect(Canvas& c, int x, int y, int w, int h, uint32_t colour);
// Four-pointed sparkle.
void drawSparkle(Canvas& c, float cx, float cy, float r, uint32_t colour, uint32_t core);

// Outlines: every key pixel next to a non-key pixel (8 neighbours when
// diagonal) inside the rectangle becomes the colour.
void outlineOpaque(Canvas& c, uint32_t colour, bool diagonal = false);
// Copies (keyed or not) and mirroring.
void paste(Canvas& dst, const Canvas& src, int x, int y);
void pasteKeyed(Canvas& dst, const Canvas& src, int x, int y);
void pasteRegion(Canvas& dst, int dx, int dy, const Canvas& src, int sx, int sy, int w, int h);
Canvas crop(const Canvas& src, int x, int y, int w, int h);
Canvas mirrored(const Canvas& src);
Canvas scaledNearest(const Canvas& src, int w, int h);
Canvas scaledBox(const Canvas& src, int w, int h);  // area average; for previews

// Noise in 0..1. The periodic form repeats every (px, py) lattice cells.
float hashNoise(int x, int y, int seed);
float valueNoise(float x, float y, int seed, int px = 0, int py = 0);
float fbm(float x, float y, int seed, int octaves, int px = 0, int py = 0);

// Text through FreeType. A mask holds coverage 0..255.
struct TextMask {
  int w = 0, h = 0;
  int baseline = 0;  // rows from the top of the mask to the baseline
  std::vector<uint8_t> a;
  uint8_t at(int x, int y) const {
    return (x < 0 || y < 0 || x >= w || y >= h) ? 0 : a[size_t(y) * w + x];
  }
};
enum FontFace { FONT_GOTHIC, FONT_MINCHO };
// A face that cannot be opened gives an empty mask.
TextMask renderText(const std::string& utf8, int pixelSize, FontFace face = FONT_GOTHIC,
                    int letterSpacing = 0);
TextMask dilated(const TextMask& m, int radius);
// Plain anti-aliased text onto an opaque background.
void drawTextMask(Canvas& c, const TextMask& m, int x, int y, uint32_t colour);
// Title lettering: a hard-edged outline of the given width, then the fill
// (top to bottom gradient) blended over the outline only, so nothing soft
// touches the key colour.
void drawOutlinedText(Canvas& c, const TextMask& m, int x, int y, uint32_t top, uint32_t bottom,
                      uint32_t outline, int outlineWidth, int shadowOffset = 0,
                      uint32_t shadow = 0);

// 24-bit bottom-up Windows bitmap; folders are created as needed.
bool writeBmp(const std::string& path, const Canvas& c);
