// The controls as small icons, so that the pictures themselves teach them:
// each action's default key, its gamepad button and a pictogram. A strip
// of them runs along the bottom of the title; faint stone plaques carry
// them on the stage backdrop.
#include <algorithm>
#include <cmath>

#include "draw_sheets.h"

namespace {

constexpr int CHIP_H = 18;  // the tallest part of a chip: the pictogram
constexpr int GAP = 3;
const uint32_t KEYCAP = rgb(0xe4, 0xe8, 0xf2), KEYCAP_EDGE = rgb(0x9c, 0xa4, 0xbc);
const uint32_t LABEL = rgb(0xf0, 0xf0, 0xf8);

enum Pictogram { JUMP, THROW, BARREL, ROLL, DOOR };

// One action as the default settings bind it. A key named "Up" is drawn
// as an arrow; the pad button "dpup" as a cross with its top arm lit.
struct ControlHint {
  const char* key;
  const char* pad;
  uint32_t padColour;
  Pictogram picture;
  const char* word;
};

const ControlHint HINTS[] = {
    {"Space", "A", rgb(0x4c, 0xb0, 0x48), JUMP, "JUMP"},
    {"Q", "X", rgb(0x3c, 0x78, 0xe0), THROW, "THROW"},
    {"W", "Y", rgb(0xe8, 0xb4, 0x20), BARREL, "BARREL"},
    {"E", "B", rgb(0xd8, 0x40, 0x3c), ROLL, "ROLL"},
    {"Up", "dpup", rgb(0xa0, 0xa4, 0xb8), DOOR, "DOOR"},
};

void upArrow(Canvas& c, float cx, float top, float size, uint32_t colour) {
  fillPolygon(c, {{cx, top}, {cx + size, top + size}, {cx - size, top + size}}, colour);
  fillRect(c, int(cx - size / 3), int(top + size), int(2 * size / 3 + 0.5f), int(size), colour);
}

// A keycap 16 px high; returns its width.
int drawKeycap(Canvas& c, int x, int y, const char* key) {
  bool arrow = std::string(key) == "Up";
  TextMask m = renderText(key, 10);
  int w = arrow ? 16 : std::max(16, m.w + 8);
  fillRoundRect(c, x, y, w, 16, 3, INK);
  fillRoundRect(c, x + 1, y + 1, w - 2, 14, 2.5f, KEYCAP_EDGE);
  fillRoundRect(c, x + 2, y + 1, w - 4, 11, 2, KEYCAP);
  if (arrow)
    upArrow(c, x + w / 2.0f, y + 2.5f, 4, INK);
  else
    drawTextMask(c, m, x + (w - m.w) / 2, y + (13 - m.h) / 2, INK);
  return w;
}

// A round pad button, or the d-pad with its up arm lit; 16 px wide.
void drawPadButton(Canvas& c, int x, int y, const ControlHint& h) {
  if (std::string(h.pad) == "dpup") {
    fillRect(c, x + 5, y, 6, 16, INK);
    fillRect(c, x, y + 5, 16, 6, INK);
    fillRect(c, x + 6, y + 6, 4, 9, h.padColour);
    fillRect(c, x + 1, y + 6, 14, 4, h.padColour);
    fillRect(c, x + 6, y + 1, 4, 5, rgb(0xff, 0xd8, 0x48));
    return;
  }
  fillCircle(c, x + 8, y + 8, 8, INK);
  fillCircle(c, x + 8, y + 8, 7, h.padColour);
  TextMask m = renderText(h.pad, 10);
  drawTextMask(c, m, x + 8 - m.w / 2, y + 8 - m.h / 2, rgb(0xfe, 0xfe, 0xfe));
}

// The action itself in an 18 x 18 box.
void drawPictogram(Canvas& c, int x, int y, Pictogram p) {
  switch (p) {
    case JUMP:  // up from the ground
      fillRect(c, x + 1, y + 16, 16, 2, rgb(0x58, 0xb0, 0x48));
      upArrow(c, x + 9, y + 1, 6, rgb(0xff, 0xd8, 0x48));
      break;
    case THROW:  // a bomb flying along its arc
      for (int i = 0; i < 3; ++i) fillCircle(c, x + 2 + 3 * i, y + 14 - 3 * i, 1, LABEL);
      drawRoundBomb(c, x + 12, y + 9, 5, 1, false);
      break;
    case BARREL: drawBarrel(c, x + 1, y, 0.42f, false); break;
    case ROLL:  // a rolling bomb leaving speed lines
      fillRect(c, x, y + 7, 4, 1, LABEL);
      fillRect(c, x + 1, y + 11, 3, 1, LABEL);
      drawRollingBall(c, x + 11, y + 10, 6, 0.4f);
      break;
    case DOOR:  // a lit doorway
      fillRoundRect(c, x + 3, y, 12, 18, 6, INK);
      fillRoundRect(c, x + 4, y + 1, 10, 17, 5, rgb(0xff, 0xc8, 0x60));
      fillRoundRect(c, x + 6, y + 4, 6, 14, 3, rgb(0xff, 0xf0, 0xb8));
      break;
  }
}

// Key, button and pictogram (and the word, when given) from x; returns
// the width taken.
int drawChip(Canvas& c, int x, int y, const ControlHint& h, bool word) {
  int at = x + drawKeycap(c, x, y + 1, h.key) + GAP;
  drawPadButton(c, at, y + 1, h);
  at += 16 + GAP;
  drawPictogram(c, at, y, h.picture);
  at += 18;
  if (word) {
    TextMask m = renderText(h.word, 10);
    drawTextMask(c, m, at + GAP, y + (CHIP_H - m.h) / 2, LABEL);
    at += GAP + m.w;
  }
  return at - x;
}

int chipWidth(const ControlHint& h, bool word) {
  Canvas scratch(160, CHIP_H + 2);
  return drawChip(scratch, 0, 0, h, word);
}

}  // namespace

void drawControlStrip(Canvas& c, int y) {
  constexpr int MARGIN = 8, PAD = 3, WIDTH = 640;
  fillRoundRect(c, MARGIN, y, WIDTH - 2 * MARGIN, CHIP_H + 2 * PAD, 6, rgb(0x10, 0x0c, 0x18));
  fillRoundRect(c, MARGIN + 1, y + 1, WIDTH - 2 * MARGIN - 2, CHIP_H + 2 * PAD - 2, 5,
                rgb(0x26, 0x22, 0x40));
  int total = 0;
  for (const ControlHint& h : HINTS) total += chipWidth(h, true);
  const int count = int(std::size(HINTS));
  float space = float(WIDTH - 2 * MARGIN - total) / (count + 1);
  float x = MARGIN + space;
  for (const ControlHint& h : HINTS) x += drawChip(c, int(x), y + PAD, h, true) + space;
}

void engraveControlPlaques(Canvas& backdrop) {
  // Between the pillars, clear of the arches and the lanterns.
  const Pt at[] = {{160, 235}, {320, 235}, {480, 235}, {160, 445}, {480, 445}};
  constexpr float FAINT = 0.5f;
  for (size_t i = 0; i < std::size(HINTS); ++i) {
    int w = chipWidth(HINTS[i], false) + 10, h = CHIP_H + 8;
    Canvas plaque(w, h);
    fillRoundRect(plaque, 0, 0, w, h, 4, rgb(0x1a, 0x18, 0x30));
    fillRoundRect(plaque, 1, 1, w - 2, h - 2, 3, rgb(0x3a, 0x34, 0x62));
    drawChip(plaque, 5, 4, HINTS[i], false);
    int x0 = int(at[i].x) - w / 2, y0 = int(at[i].y) - h / 2;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (!plaque.isKey(x, y))
          backdrop.blend((x0 + x + backdrop.w) % backdrop.w, (y0 + y + backdrop.h) % backdrop.h,
                         plaque.get(x, y), FAINT);
  }
}
