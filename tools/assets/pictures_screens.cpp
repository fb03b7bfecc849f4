// Full-screen pictures: backdrops, the title and its menu, the miss and
// result screens, and the ending.
#include <algorithm>
#include <cmath>

#include "draw_sheets.h"

namespace {

constexpr float PI = 3.14159265f;

const uint32_t GOLD_TOP = rgb(0xff, 0xf4, 0x90), GOLD_BOTTOM = rgb(0xff, 0x98, 0x20);
const uint32_t PANEL = rgb(0x1e, 0x22, 0x40), PANEL_EDGE = rgb(0xd8, 0xa8, 0x38);

// Thick lettering: the glyphs are thickened by `bold` pixels first.
TextMask boldText(const std::string& s, int size, int bold, int spacing = 0) {
  TextMask m = renderText(s, size, FONT_GOTHIC, spacing);
  return bold > 0 ? dilated(m, bold) : m;
}

// Outlined text centred on (cx, cy).
void titleText(Canvas& c, const std::string& s, int size, int bold, float cx, float cy,
               uint32_t top, uint32_t bottom, uint32_t outline, int outlineWidth, int shadow = 0,
               int spacing = 0) {
  TextMask m = boldText(s, size, bold, spacing);
  drawOutlinedText(c, m, int(cx - m.w / 2.0f), int(cy - m.h / 2.0f), top, bottom, outline,
                   outlineWidth, shadow, rgb(0x10, 0x0c, 0x18));
}
// Plain text (on an opaque panel), left aligned at x, centred on cy.
void panelText(Canvas& c, const std::string& s, int size, int x, float cy, uint32_t colour) {
  TextMask m = renderText(s, size);
  drawTextMask(c, m, x, int(cy - m.h / 2.0f), colour);
}

// A rounded panel with a gold rim.
void drawPanel(Canvas& c, float x, float y, float w, float h, float r) {
  fillRoundRect(c, x - 3, y - 3, w + 6, h + 6, r + 3, INK);
  fillRoundRect(c, x, y, w, h, r, PANEL_EDGE);
  fillRoundRect(c, x + 4, y + 4, w - 8, h - 8, r - 3, PANEL);
  for (int j = int(y + 4); j < int(y + h / 2); ++j)
    for (int i = int(x + 8); i < int(x + w - 8); ++i)
      if (c.get(i, j) == PANEL)
        c.set(i, j, mix(rgb(0x2c, 0x32, 0x5c), PANEL, float(j - y) / (h / 2)));
}

// Star field / cave speckle.
void speckle(Canvas& c, int x0, int y0, int w, int h, int seed, float density, uint32_t colour) {
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (hashNoise(x, y, seed) < density) c.set(x, y, colour);
}

}  // namespace

// A dark cave wall with far pillars; it repeats seamlessly every 640 x 480.
Canvas drawStageBackdrop() {
  Canvas c(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      float n = fbm(x / 40.0f, y / 40.0f, 101, 4, 16, 12);
      uint32_t col = mix(rgb(0x16, 0x14, 0x2a), rgb(0x30, 0x2a, 0x52), n);
      // Pillars of the ruins far behind.
      for (int k = 0; k < 4; ++k) {
        float px = 80 + 160 * k + 10 * std::sin(k * 1.7f);
        float d = std::abs(x + 0.5f - px);
        if (d < 22) {
          col = mix(rgb(0x26, 0x24, 0x44), rgb(0x34, 0x30, 0x58), 1 - d / 22);
          if (d > 19) col = rgb(0x1a, 0x18, 0x30);
          if ((y + 40 * k) % 48 < 2) col = rgb(0x1c, 0x1a, 0x34);
        }
      }
      c.set(x, y, col);
    }
  // Arches between the pillars, twice per height so that it repeats.
  for (int k = 0; k < 4; ++k)
    for (int a = 0; a < 2; ++a) {
      float cx = 160 * k + 160, cy = 150 + 240 * a;
      for (int y = int(cy - 70); y < int(cy); ++y)
        for (int x = int(cx - 62); x < int(cx + 62); ++x) {
          float d = std::hypot(x + 0.5f - cx, (y + 0.5f - cy) * 1.1f);
          if (d > 58 && d < 66)
            c.set((x + 640) % 640, y,
                  d < 60 || d > 64 ? rgb(0x1a, 0x18, 0x30) : rgb(0x2c, 0x28, 0x4c));
        }
    }
  engraveControlPlaques(c);
  speckle(c, 0, 0, 640, 480, 7, 0.0015f, rgb(0x6c, 0x70, 0xb0));
  speckle(c, 0, 0, 640, 480, 8, 0.0004f, rgb(0xb0, 0xc0, 0xf0));
  return c;
}

Canvas drawBlackCover() {
  Canvas c(640, 480);
  c.clear(0x000000);
  return c;
}

// Sunset over the hills; the ruins' gate stands where the hero walks in.
Canvas drawTitleBackdrop() {
  Canvas c(1464, 480);
  // Ground line: flat at y 450 up to x 874, rising to 405 at x 1154.
  auto ground = [](float x) {
    if (x < 874) return 450.0f;
    if (x < 1154) return 450 - (x - 874) / 280 * 45;
    return 405.0f;
  };
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 1464; ++x) {
      float t = y / 330.0f;
      uint32_t sky = t < 0.55f ? mix(rgb(0x2a, 0x1c, 0x5c), rgb(0xa8, 0x40, 0x78), t / 0.55f)
                               : mix(rgb(0xa8, 0x40, 0x78), rgb(0xff, 0xa8, 0x50),
                                     std::min(1.0f, (t - 0.55f) / 0.45f));
      c.set(x, y, sky);
    }
  speckle(c, 0, 0, 1464, 140, 21, 0.002f, rgb(0xf0, 0xe8, 0xff));
  // Sun.
  fillCircle(c, 560, 300, 70, rgb(0xff, 0xd8, 0x70));
  fillCircle(c, 560, 300, 60, rgb(0xff, 0xec, 0xa0));
  // Far mountains, then nearer hills.
  for (int x = 0; x < 1464; ++x) {
    float m = 250 + 50 * fbm(x / 120.0f, 0.5f, 31, 3) + 30 * std::sin(x / 180.0f);
    for (int y = int(m); y < 480; ++y)
      c.set(x, y, mix(rgb(0x6a, 0x38, 0x78), rgb(0x4a, 0x2a, 0x60), (y - m) / 100));
    float h = 330 + 40 * fbm(x / 90.0f, 3.5f, 37, 3);
    for (int y = int(h); y < 480; ++y)
      c.set(x, y, mix(rgb(0x3c, 0x24, 0x50), rgb(0x2c, 0x1c, 0x40), (y - h) / 80));
  }
  // Ruins: a tower with a glowing gate at the top of the path.
  const int tx = 1190, tw = 150;
  for (int y = 150; y < 410; ++y)
    for (int x = tx; x < tx + tw; ++x) {
      uint32_t col = ((y / 16) % 2 ? (x / 24) : (x + 12) / 24) % 2 ? rgb(0x5a, 0x4c, 0x70)
                                                                   : rgb(0x52, 0x44, 0x68);
      if (y % 16 == 0 || ((y / 16) % 2 ? x % 24 : (x + 12) % 24) == 0) col = rgb(0x32, 0x28, 0x44);
      if (x < tx + 6) col = lighten(col, 0.15f);
      c.set(x, y, col);
    }
  for (int k = 0; k < 5; ++k) fillRect(c, tx - 6 + k * 34, 130, 22, 22, rgb(0x52, 0x44, 0x68));
  fillRect(c, tx - 6, 150, tw + 12, 8, rgb(0x44, 0x38, 0x5a));
  fillRoundRect(c, tx + 48, 300, 54, 110, 26, rgb(0x24, 0x18, 0x30));
  fillRoundRect(c, tx + 54, 306, 42, 104, 20, rgb(0xff, 0xc8, 0x60));
  fillRoundRect(c, tx + 62, 318, 26, 92, 13, rgb(0xff, 0xf0, 0xb8));
  fillRoundRect(c, tx + 58, 200, 34, 44, 16, rgb(0x24, 0x18, 0x30));  // window
  fillRoundRect(c, tx + 62, 205, 26, 39, 12, rgb(0xff, 0xd0, 0x70));
  // Ground with grass along the path.
  for (int x = 0; x < 1464; ++x) {
    float g = ground(x);
    for (int y = int(g); y < 480; ++y) {
      uint32_t col = y < g + 5 ? rgb(0x58, 0xb0, 0x48)
                               : mix(rgb(0x6a, 0x48, 0x34), rgb(0x3a, 0x26, 0x20), (y - g) / 60);
      if (y >= g + 5 && hashNoise(x / 3, y / 3, 55) < 0.08f) col = rgb(0x8a, 0x64, 0x48);
      c.set(x, y, col);
    }
    if (hashNoise(x, 0, 56) < 0.3f) c.set(x, int(g) - 1, rgb(0x78, 0xd0, 0x58));
  }
  return c;
}

// The game's name over the title screen (white shows the backdrop), and
// the controls.
Canvas drawTitle() {
  Canvas c(1280, 480);
  for (int f = 0; f < 2; ++f) {
    float ox = 640.0f * f;
    uint32_t top = f ? rgb(0xff, 0xff, 0xd8) : GOLD_TOP,
             bottom = f ? rgb(0xff, 0xc0, 0x40) : GOLD_BOTTOM;
    // Two bombs flank the name.
    drawRoundBomb(c, ox + 92, 128, 30, -1);
    drawRoundBomb(c, ox + 548, 128, 30, 1);
    titleText(c, "PUXTEN", 128, 4, ox + 320, 118, top, bottom, INK, 6, 7, 4);
    titleText(c, "ばくはつ パズル アクション", 26, 1, ox + 320, 214, rgb(0xfe, 0xfe, 0xf8),
              rgb(0xd8, 0xe8, 0xff), rgb(0x3a, 0x1c, 0x50), 3);
  }
  // The controls along the bottom, under the menu (the game shows the
  // left half).
  drawControlStrip(c, 454);
  return c;
}

// Start and quit items, lit (selected) or dim.
Canvas drawMenuItems(bool lit) {
  Canvas c(640, 170);
  uint32_t top = lit ? GOLD_TOP : rgb(0xc8, 0xcc, 0xdc),
           bottom = lit ? GOLD_BOTTOM : rgb(0x80, 0x86, 0xa0);
  uint32_t ink = lit ? INK : rgb(0x30, 0x30, 0x44);
  // English and Japanese side by side, the pair centred between the
  // highlight's bomb cursors.
  auto item = [&](const char* en, const char* ja, float cy) {
    float wEn = boldText(en, 34, 2, 2).w, wJa = renderText(ja, 16).w;
    float x0 = 320 - (wEn + 12 + wJa) / 2;
    titleText(c, en, 34, 2, x0 + wEn / 2, cy, top, bottom, ink, 3, lit ? 3 : 0, 2);
    titleText(c, ja, 16, 0, x0 + wEn + 12 + wJa / 2, cy + 6, top, bottom, ink, 2);
  };
  item("START", "スタート", 68);
  item("QUIT", "おわる", 134);
  return c;
}

// The wobbling highlight: a bomb cursor on each side and a bar below.
Canvas drawMenuHighlight() {
  Canvas c(640, 160);
  for (int item = 0; item < 2; ++item) {
    float y0 = item ? 115 : 50;
    drawRoundBomb(c, 196, y0 + 20, 11, 1);
    drawRoundBomb(c, 444, y0 + 20, 11, -1);
    fillRoundRect(c, 226, y0 + 36, 188, 5, 2.5f, INK);
    fillRoundRect(c, 228, y0 + 37, 184, 3, 1.5f, rgb(0xff, 0xc8, 0x40));
  }
  return c;
}

// The miss menu: a panel with room for the hero, retry and back to title.
Canvas drawMissMenu() {
  Canvas c(1280, 480);
  for (int f = 0; f < 2; ++f) {
    float ox = 640.0f * f;
    drawPanel(c, ox + 180, 110, 280, 290, 18);
    titleText(c, "MISS...", 40, 2, ox + 320, 150, rgb(0xff, 0xa0, 0x90), rgb(0xe0, 0x40, 0x40), INK,
              3, 3);
    // The stage on which the game draws the hero (at about (307, 215)).
    fillEllipse(c, ox + 320, 262, 62, 10, rgb(0x14, 0x16, 0x2c));
    fillEllipse(c, ox + 320, 258, 56, 7, rgb(0x3a, 0x40, 0x70));
    const char* items[2][2] = {{"RETRY", "もういちど"}, {"TITLE", "タイトルへ"}};
    for (int i = 0; i < 2; ++i) {
      float cy = 300 + 50 * i;
      bool sel = i == f;
      if (sel) {
        fillRoundRect(c, ox + 200, cy - 20, 240, 40, 10, rgb(0x48, 0x52, 0x96));
        drawRoundBomb(c, ox + 218, cy + 2, 9, 1);
      }
      titleText(c, items[i][0], 26, 1, ox + 300, cy, sel ? GOLD_TOP : rgb(0xa8, 0xac, 0xc0),
                sel ? GOLD_BOTTOM : rgb(0x70, 0x74, 0x90), INK, 2);
      panelText(c, items[i][1], 14, int(ox + 352), cy + 1,
                sel ? rgb(0xf8, 0xf0, 0xd0) : rgb(0x90, 0x94, 0xb0));
    }
  }
  return c;
}

// Digits, small grades and large grades of the result screen.
Canvas drawResultSheet() {
  Canvas c(450, 202);
  for (int d = 0; d < 10; ++d)
    titleText(c, std::to_string(d), 28, 1, 25 * d + 12.5f, 16.5f, rgb(0xfe, 0xfe, 0xf6),
              rgb(0xff, 0xe0, 0x80), INK, 2);
  const char* grades = "SABCD";
  const uint32_t tops[5] = {rgb(0xff, 0xf8, 0xa0), rgb(0xff, 0xa0, 0xa0), rgb(0xa8, 0xd8, 0xff),
                            rgb(0xa8, 0xf0, 0xa8), rgb(0xd8, 0xd8, 0xe0)};
  const uint32_t bottoms[5] = {rgb(0xf0, 0xa0, 0x10), rgb(0xe0, 0x30, 0x40), rgb(0x30, 0x70, 0xe0),
                               rgb(0x30, 0xa0, 0x48), rgb(0x70, 0x70, 0x80)};
  for (int g = 0; g < 5; ++g) {
    std::string s(1, grades[g]);
    titleText(c, s, 54, 2, 60 * g + 30, 33 + 35, tops[g], bottoms[g], INK, 3, 3);
    // Large: a burst behind the letter.
    Canvas burst(90, 100);
    std::vector<Pt> star;
    for (int k = 0; k < 24; ++k) {
      float a = k * PI / 12, r = k % 2 ? 34 : 44;
      star.push_back({45 + std::cos(a) * r, 50 + std::sin(a) * r});
    }
    fillPolygon(burst, star, g == 0 ? rgb(0xff, 0xe8, 0x70) : lighten(bottoms[g], 0.55f));
    outlineOpaque(burst, INK);
    pasteKeyed(c, burst, 90 * g, 102);
    titleText(c, s, 76, 3, 90 * g + 45, 102 + 50, tops[g], bottoms[g], INK, 4, 3);
  }
  return c;
}

// The result board; the labels sit left of where the digits and grades go.
Canvas drawResultPanel() {
  Canvas c(640, 480);
  drawPanel(c, 70, 30, 500, 420, 24);
  titleText(c, "STAGE CLEAR!", 40, 2, 320, 82, GOLD_TOP, GOLD_BOTTOM, INK, 3, 3, 2);
  struct Row {
    const char* en;
    const char* ja;
    int y, slotW;
    const char* unit;
  };
  const Row rows[3] = {{"BLOCKS", "こわしたブロック", 152, 100, "%"},
                       {"TIME", "クリアタイム", 218, 125, ""},
                       {"MISS", "ミス", 283, 75, ""}};
  for (const Row& r : rows) {
    float cy = r.y + 16.5f;
    titleText(c, r.en, 24, 1, 200, cy - 6, rgb(0xfe, 0xfe, 0xf4), rgb(0xc8, 0xd8, 0xff), INK, 2);
    panelText(c, r.ja, 12, 150, cy + 14, rgb(0xb8, 0xc0, 0xe0));
    fillRoundRect(c, 318, r.y - 4, r.slotW + 14, 41, 6, rgb(0x0e, 0x10, 0x22));
    if (*r.unit)
      titleText(c, r.unit, 22, 1, 414, cy + 2, rgb(0xfe, 0xfe, 0xf4), rgb(0xd8, 0xd8, 0xe8), INK,
                2);
  }
  // The colon between minutes and seconds.
  fillRect(c, 385, 226, 5, 5, rgb(0xfe, 0xf0, 0xb0));
  fillRect(c, 385, 240, 5, 5, rgb(0xfe, 0xf0, 0xb0));
  titleText(c, "RANK", 34, 2, 300, 368, GOLD_TOP, GOLD_BOTTOM, INK, 3, 3, 2);
  panelText(c, "そうごうひょうか", 12, 252, 398, rgb(0xb8, 0xc0, 0xe0));
  fillRoundRect(c, 404, 322, 102, 100, 12, rgb(0x0e, 0x10, 0x22));
  return c;
}

// The ending: 640 wide and tall enough for the scroll's last window; the
// hero floats down past the sky, the ruins and the caves to the treasure.
Canvas drawEndingScroll(const Canvas& player) {
  Canvas c(640, 4800, KEY_BLUE);
  for (int y = 0; y < 4800; ++y) {
    float t = y / 4800.0f;
    uint32_t base;
    if (t < 0.2f)
      base = mix(rgb(0x58, 0x9c, 0xf0), rgb(0xf8, 0xb8, 0x78), t / 0.2f);
    else if (t < 0.45f)
      base = mix(rgb(0xf8, 0xb8, 0x78), rgb(0x3a, 0x2a, 0x5c), (t - 0.2f) / 0.25f);
    else if (t < 0.8f)
      base = mix(rgb(0x3a, 0x2a, 0x5c), rgb(0x14, 0x18, 0x30), (t - 0.45f) / 0.35f);
    else
      base = mix(rgb(0x14, 0x18, 0x30), rgb(0x3a, 0x28, 0x18), (t - 0.8f) / 0.2f);
    // Rocky walls on both sides, closing in as it gets deeper.
    float grow = std::clamp((t - 0.18f) / 0.1f, 0.0f, 1.0f);
    float wall = (40 + 60 * t + 40 * fbm(y / 60.0f, 1.5f, 81, 3)) * grow;
    float wallR = (40 + 60 * t + 40 * fbm(y / 60.0f, 7.5f, 82, 3)) * grow;
    for (int x = 0; x < 640; ++x) {
      uint32_t col = base;
      if (grow > 0) {
        if (x < wall || x > 640 - wallR) {
          float n = fbm(x / 30.0f, y / 30.0f, 83, 3);
          col = mix(rgb(0x2a, 0x22, 0x3c), rgb(0x4c, 0x40, 0x64), n);
          if (t > 0.8f) col = mix(col, rgb(0x6a, 0x48, 0x28), (t - 0.8f) * 3);
        }
      }
      c.set(x, y, col);
    }
  }
  // Clouds in the sky part.
  for (int k = 0; k < 14; ++k) {
    float cx = 40 + 560 * hashNoise(k, 0, 91), cy = 80 + 900 * hashNoise(k, 1, 91);
    for (int j = 0; j < 4; ++j)
      fillEllipse(c, cx + j * 22 - 33, cy + (j % 2) * 6, 30, 16, rgb(0xfa, 0xf6, 0xf0));
  }
  // Crystals in the caves.
  for (int k = 0; k < 40; ++k) {
    float cy = 1600 + 2600 * hashNoise(k, 1, 93);
    bool left = k % 2;
    float cx = left ? 60 + 40 * hashNoise(k, 2, 93) : 580 - 40 * hashNoise(k, 2, 93);
    float h = 20 + 30 * hashNoise(k, 3, 93);
    uint32_t col = k % 3 ? rgb(0x70, 0xe0, 0xff) : rgb(0xd0, 0x90, 0xff);
    fillPolygon(c, {{cx - 8, cy}, {cx, cy - h}, {cx + 8, cy}, {cx, cy + 6}}, col);
    fillPolygon(c, {{cx, cy - h}, {cx + 8, cy}, {cx, cy + 6}}, scaleColour(col, 0.7f));
  }
  speckle(c, 0, 2400, 640, 1900, 95, 0.001f, rgb(0xc0, 0xe8, 0xff));
  // Messages, clear of the hero's column on the left.
  titleText(c, "CONGRATULATIONS!", 34, 2, 420, 520, GOLD_TOP, GOLD_BOTTOM, INK, 3, 3);
  titleText(c, "ぜんステージ クリア！", 28, 1, 420, 1300, rgb(0xfe, 0xfe, 0xf8),
            rgb(0xd0, 0xe0, 0xff), INK, 3, 3);
  titleText(c, "PUXTEN", 60, 3, 420, 2150, GOLD_TOP, GOLD_BOTTOM, INK, 4, 4, 3);
  titleText(c, "THANK YOU", 34, 2, 420, 3000, rgb(0xfe, 0xfe, 0xf8), rgb(0xc0, 0xe8, 0xff), INK, 3,
            3);
  titleText(c, "FOR PLAYING!", 34, 2, 420, 3050, rgb(0xfe, 0xfe, 0xf8), rgb(0xc0, 0xe8, 0xff), INK,
            3, 3);
  // The last window (rows 4315 .. 4794): the treasure hall and the end.
  fillEllipse(c, 320, 4760, 260, 60, rgb(0xe0, 0xa8, 0x30));
  for (int k = 0; k < 90; ++k) {
    float x = 90 + 460 * hashNoise(k, 4, 97), y = 4715 + 70 * hashNoise(k, 5, 97);
    fillEllipse(c, x, y, 7, 4, k % 2 ? rgb(0xff, 0xd8, 0x40) : rgb(0xf0, 0xb0, 0x20));
    c.set(int(x) - 2, int(y) - 2, rgb(0xff, 0xf8, 0xd0));
  }
  for (int k = 0; k < 12; ++k)
    drawSparkle(c, 80 + 480 * hashNoise(k, 6, 97), 4560 + 160 * hashNoise(k, 7, 97),
                6 + 6 * hashNoise(k, 8, 97), rgb(0xff, 0xf0, 0x90), rgb(0xfe, 0xfe, 0xf0));
  titleText(c, "THE END", 72, 3, 320, 4470, GOLD_TOP, GOLD_BOTTOM, INK, 4, 5, 4);
  // The hero at rest on the treasure.
  Canvas hero = crop(player, 100, 1350, 50, 50);
  Canvas big = scaledNearest(hero, 100, 100);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x)
      if (big.get(x, y) != KEY_WHITE) c.set(300 + x, 4630 + y, big.get(x, y));
  return c;
}

// A small floating island whose stones slide by under the walking hero
// (black is the key). The walking surface is at y 20.
Canvas drawEndingFloor() {
  Canvas c(100, 200, KEY_BLACK);
  for (int f = 0; f < 5; ++f) {
    int oy = 40 * f;
    for (int y = 18; y < 40; ++y) {
      float half = y < 24 ? 48 : 48 - (y - 24) * 2.4f;
      for (int x = 0; x < 100; ++x) {
        if (std::abs(x + 0.5f - 50) > half) continue;
        uint32_t col;
        if (y < 22)
          col = (y == 18) ? rgb(0x90, 0xe0, 0x70) : rgb(0x50, 0xa8, 0x40);
        else {
          int u = x + 4 * f;  // the pattern moves with the hero's steps
          bool joint = (u % 20 == 0) || ((y - 22) % 7 == 0);
          col = joint ? rgb(0x4a, 0x38, 0x30)
                      : mix(rgb(0x9a, 0x7c, 0x5c), rgb(0x6a, 0x52, 0x40), (y - 22) / 18.0f);
        }
        c.set(x, oy + y, col);
      }
    }
    // Grass tufts move with the ground.
    for (int k = 0; k < 5; ++k) {
      int x = ((k * 20 - 4 * f) % 100 + 100) % 100;
      if (x < 3 || x > 96) continue;
      c.set(x, oy + 17, rgb(0x78, 0xd0, 0x58));
      c.set(x + 1, oy + 16, rgb(0x78, 0xd0, 0x58));
    }
  }
  return c;
}
