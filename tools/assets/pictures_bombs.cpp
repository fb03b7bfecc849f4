// Bombs, the explosion, crumbling blocks and the small pictures of the
// bomb display and the aim.
#include <algorithm>
#include <cmath>

#include "draw_sheets.h"
#include "platform/sheet_layout.h"

namespace {

constexpr float PI = 3.14159265f;

// Draws a shape group into a scratch canvas, outlines it and lays it over c.
template <class F>
void outlined(Canvas& c, int x0, int y0, int w, int h, F draw, uint32_t ink = INK) {
  Canvas tmp(w, h, KEY_WHITE);
  draw(tmp);
  outlineOpaque(tmp, ink);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (tmp.px[size_t(y) * w + x] != KEY_WHITE) c.set(x0 + x, y0 + y, tmp.px[size_t(y) * w + x]);
}

}  // namespace

// Rolling bomb: a red ball with a yellow cross that turns as it rolls.
void drawRollingBall(Canvas& c, float cx, float cy, float r, float turn) {
  int x0 = int(cx - r) - 3, y0 = int(cy - r) - 3, s = int(2 * r) + 7;
  outlined(c, x0, y0, s, s, [&](Canvas& t) {
    float lx = cx - x0, ly = cy - y0;
    for (int y = 0; y < s; ++y)
      for (int x = 0; x < s; ++x) {
        float dx = x + 0.5f - lx, dy = y + 0.5f - ly, d = std::hypot(dx, dy);
        if (d > r) continue;
        float a = std::atan2(dy, dx) - turn;
        float stripe = std::abs(std::sin(2 * a)) * d;  // distance from the cross arms
        uint32_t col = stripe < r * 0.18f ? rgb(0xff, 0xd8, 0x40) : rgb(0xd8, 0x34, 0x38);
        float shade = (dx + dy) / (2 * r);
        col = shade > 0.35f ? scaleColour(col, 0.72f) : col;
        t.set(x, y, col);
      }
    fillCircle(t, lx - r * 0.55f, ly - r * 0.55f, std::max(1.0f, r * 0.22f), rgb(0xfe, 0xe8, 0xe0));
    fillCircle(t, lx, ly, std::max(1.2f, r * 0.22f), rgb(0x60, 0x20, 0x28));
  });
}

// Barrel bomb: a wooden keg with iron hoops, a warning label and a fuse.
void drawBarrel(Canvas& c, float x, float y, float s, bool blink) {
  int w = int(40 * s) + 4, h = int(42 * s) + 4;
  int ox = int(x) - 2, oy = int(y) - 2;
  auto P = [&](float u, float v) { return Pt{x - ox + u * s, y - oy + v * s}; };
  outlined(c, ox, oy, w, h, [&](Canvas& t) {
    const uint32_t wood = rgb(0xb0, 0x6c, 0x34),
                   hoop = blink ? rgb(0xff, 0x60, 0x40) : rgb(0x5c, 0x60, 0x70);
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i) {
        float u = (i + 0.5f - (x - ox)) / s, v = (j + 0.5f - (y - oy)) / s;
        if (v < 6 || v > 40) continue;
        float bulge = 16 + 3 * std::sin((v - 6) / 34 * PI);
        if (std::abs(u - 20) > bulge) continue;
        uint32_t col = wood;
        if (int(u) % 8 == 0) col = scaleColour(wood, 0.78f);
        if (u > 28) col = scaleColour(col, 0.8f);
        if (u < 10) col = lighten(col, 0.15f);
        if ((v > 9 && v < 12.5f) || (v > 34 && v < 37.5f)) col = hoop;
        t.set(i, j, col);
      }
    Pt l0 = P(11, 16), l1 = P(29, 30);
    fillRect(t, int(l0.x), int(l0.y), int(l1.x - l0.x), int(l1.y - l0.y),
             blink ? rgb(0xfe, 0xf0, 0xd0) : rgb(0xe8, 0x30, 0x30));
    Pt m = P(20, 23);
    fillCircle(t, m.x, m.y, 3.6f * s, blink ? rgb(0xe8, 0x30, 0x30) : rgb(0xfe, 0xf0, 0xd0));
    Pt f0 = P(20, 6), f1 = P(24, 1);
    fillCapsule(t, f0.x, f0.y, f1.x, f1.y, std::max(0.8f, 1.2f * s), rgb(0xe0, 0xd0, 0xa0));
  });
  Pt tip{x + 24 * s, y + 1 * s};
  drawSparkle(c, tip.x, tip.y, (blink ? 6.0f : 4.0f) * s, blink ? SPARK_WARM : SPARK_HOT,
              rgb(0xfe, 0xfe, 0xf0));
}

void drawRoundBomb(Canvas& c, float cx, float cy, float r, int fuseSide, bool spark) {
  int s = int(2 * r + 8 + r);
  int x0 = int(cx - s / 2), y0 = int(cy - s / 2 - r * 0.4f);
  float lx = cx - x0, ly = cy - y0;
  float fs = float(fuseSide);
  outlined(c, x0, y0, s, s, [&](Canvas& t) {
    // Cap and fuse towards the facing side.
    float capX = lx + fs * r * 0.5f, capY = ly - r * 0.78f;
    fillCapsule(t, capX, capY, capX + fs * r * 0.55f, capY - r * 0.55f, std::max(0.6f, r * 0.12f),
                rgb(0xd8, 0xc8, 0x98));
    for (int y = 0; y < s; ++y)
      for (int x = 0; x < s; ++x) {
        float dx = x + 0.5f - lx, dy = y + 0.5f - ly;
        if (std::hypot(dx, dy) > r) continue;
        uint32_t col = BOMB_BODY;
        if (dx + dy > r * 0.7f) col = scaleColour(BOMB_BODY, 0.7f);
        t.set(x, y, col);
      }
    fillCircle(t, capX - fs * 0.2f * r, capY + r * 0.1f, std::max(1.0f, r * 0.3f),
               rgb(0x70, 0x74, 0x88));
    fillEllipse(t, lx - r * 0.4f, ly - r * 0.35f, std::max(0.8f, r * 0.28f),
                std::max(0.6f, r * 0.18f), BOMB_SHINE);
  });
  if (spark) {
    float capX = cx + fs * r * 0.5f, capY = cy - r * 0.78f;
    drawSparkle(c, capX + fs * r * 0.6f, capY - r * 0.65f, std::max(1.5f, r * 0.55f), SPARK_WARM,
                SPARK_HOT);
  }
}

Canvas drawBombSheet() {
  Canvas s(BOMB_SHEET_W, BOMB_SHEET_H);
  // The ready counts, a badge with the number.
  for (int n = 0; n < READY_COUNTS; ++n) {
    const SheetCell badge = readyCountBadge(n);
    const int bx = badge.x - 2, by = badge.y - 2;  // the outline's box
    float cx = badge.x + 20, cy = badge.y + 20;
    uint32_t face = n == 0 ? rgb(0x90, 0x90, 0xa0) : rgb(0xff, 0xd8, 0x48);
    outlined(s, bx, by, 44, 44, [&](Canvas& t) {
      fillCircle(t, cx - bx, cy - by, 18, face);
      fillCircle(t, cx - bx - 5, cy - by - 6, 5, lighten(face, 0.5f));
    });
    TextMask m = dilated(renderText(std::to_string(n), 30), 1);
    drawTextMask(s, m, int(cx - m.w / 2.0f + 0.5f), int(cy - m.h / 2.0f + 0.5f), INK);
  }
  // The thrown bomb facing right and left (its box is the top-left 30 x 30
  // of the cell).
  for (int col = 0; col < 2; ++col)
    drawRoundBomb(s, thrownBombFrame(col).x + 15, thrownBombFrame(col).y + 18, 12, 1 - 2 * col);
  // The rolling bomb, four turns each way (box 40 x 40).
  for (int f = 0; f < ROLLING_BOMB_FRAMES; ++f)
    for (int row = 0; row < 2; ++row) {
      const SheetCell c = rollingBombFrame(f, row);
      drawRollingBall(s, c.x + 20, c.y + 20, 17, (1 - 2 * row) * f * PI / 8);
    }
  // The barrel bomb and its blink.
  for (int blink = 0; blink < 2; ++blink)
    drawBarrel(s, barrelBombFrame(blink).x, barrelBombFrame(blink).y, 1.0f, blink == 1);
  return s;
}

// Nine frames: a white flash, a fireball that swells and reddens, smoke that
// tears apart. Black is the key, so every colour stays above it.
Canvas drawBlast() {
  Canvas s(BLAST_SHEET.w, BLAST_SHEET.h, KEY_BLACK);
  const float radius[BLAST_FRAMES] = {34, 64, 88, 102, 110, 114, 116, 118, 118};
  for (int f = 0; f < BLAST_FRAMES; ++f) {
    const int x0 = blastFrame(f).x;
    float R = radius[f], age = f / 8.0f;
    for (int y = 0; y < 250; ++y)
      for (int x = 0; x < 250; ++x) {
        float dx = x + 0.5f - 125, dy = y + 0.5f - 125 + age * 14;
        float d = std::hypot(dx, dy) / R;
        float n = fbm((dx / R) * 2.2f + 10, (dy / R) * 2.2f + 10, 5, 4);
        float v = 1 - d + (n - 0.5f) * 0.7f;
        if (v < 0) continue;
        float tear = fbm(dx / 18.0f + 40, dy / 18.0f + 40, 8, 2);
        if (f >= 4 && tear < (f - 3) * 0.11f * (0.4f + d)) continue;  // smoke tearing apart
        float heat = std::clamp(v * 1.6f - age * 1.45f + 0.25f, 0.0f, 1.0f);
        uint32_t col;
        if (heat > 0.85f)
          col = rgb(0xff, 0xfc, 0xe8);
        else if (heat > 0.65f)
          col = rgb(0xff, 0xe4, 0x50);
        else if (heat > 0.45f)
          col = rgb(0xff, 0x98, 0x20);
        else if (heat > 0.28f)
          col = rgb(0xe0, 0x40, 0x18);
        else if (heat > 0.12f)
          col = rgb(0x80, 0x30, 0x28);
        else
          col = mix(rgb(0x58, 0x50, 0x58), rgb(0x30, 0x2c, 0x34), age);
        s.set(x0 + x, y, col);
      }
    // Sparks thrown out.
    if (f >= 1 && f <= 6)
      for (int k = 0; k < 14; ++k) {
        float a = k * 2 * PI / 14 + hashNoise(k, 0, 9) * 0.4f;
        float r = R * (1.0f + 0.25f * hashNoise(k, 1, 9)) + f * 4;
        drawSparkle(s, x0 + 125 + std::cos(a) * r, 125 + std::sin(a) * r, 6 - f * 0.7f,
                    rgb(0xff, 0xc0, 0x40), rgb(0xff, 0xfa, 0xd0));
      }
  }
  return s;
}

// Ten frames of a block bursting into rubble that flies out, tumbles and
// falls, with a puff of dust. The crushed cell sits at (175..300) in each
// 500 x 500 frame.
Canvas drawBlockCrush() {
  Canvas s(CRUSH_SHEET.w, CRUSH_SHEET.h);
  const uint32_t rubble[3] = {rgb(0xa8, 0x98, 0x80), rgb(0x80, 0x74, 0x6c), rgb(0xc8, 0xb4, 0x88)};
  for (int f = 0; f < CRUSH_FRAMES; ++f) {
    Canvas t(crushFrame(f).w, crushFrame(f).h);
    float age = f / 9.0f;
    // Puffs of dust that spread and thin out.
    for (int k = 0; k < 9; ++k) {
      float a = k * 2 * PI / 9 + 0.3f;
      float dist = 30 + 150 * std::sqrt(age);
      float cx = 240 + std::cos(a) * dist, cy = 250 + std::sin(a) * dist * 0.7f;
      float r = 40 + 40 * age;
      uint32_t col = mix(rgb(0xe0, 0xd6, 0xc4), rgb(0xb8, 0xb2, 0xac), age);
      for (int y = int(cy - r); y <= int(cy + r); ++y)
        for (int x = int(cx - r); x <= int(cx + r); ++x) {
          float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy) / r;
          if (d > 1 || fbm(x / 14.0f, y / 14.0f, 12 + k, 2) < age * 0.9f + d * 0.3f) continue;
          t.set(x, y, d > 0.8f ? scaleColour(col, 0.9f) : col);
        }
    }
    // Chunks.
    for (int k = 0; k < 14; ++k) {
      float a = k * 2 * PI / 14 + hashNoise(k, 0, 17);
      float speed = 140 + 120 * hashNoise(k, 1, 17);
      float px = 240 + std::cos(a) * speed * age * 1.2f;
      float py = 245 + std::sin(a) * speed * age - 60 * age + 380 * age * age;
      float size = (28 + 22 * hashNoise(k, 2, 17)) * (1 - 0.45f * age);
      float rot = a + age * 6 * (hashNoise(k, 3, 17) - 0.5f);
      std::vector<Pt> pts;
      for (int v = 0; v < 5; ++v) {
        float b = rot + v * 2 * PI / 5;
        float r = size * (0.6f + 0.4f * hashNoise(k, 10 + v, 17));
        pts.push_back({px + std::cos(b) * r, py + std::sin(b) * r});
      }
      int bx = int(px - size) - 4, by = int(py - size) - 4, bs = int(2 * size) + 9;
      for (Pt& q : pts) q.x -= bx, q.y -= by;
      Canvas chunk(bs, bs);
      fillPolygon(chunk, pts, rubble[k % 3]);
      fillPolygon(chunk, {pts[0], pts[1], {px - bx, py - by}}, lighten(rubble[k % 3], 0.3f));
      outlineOpaque(chunk, INK);
      outlineOpaque(chunk, INK);
      pasteKeyed(t, chunk, bx, by);
    }
    paste(s, t, crushFrame(f).x, crushFrame(f).y);
  }
  return s;
}

Canvas drawAimDot() {
  Canvas c(3, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      c.set(x, y, (x == 1 || y == 1) ? rgb(0xff, 0xa8, 0x30) : rgb(0xa0, 0x40, 0x20));
  c.set(1, 1, rgb(0xff, 0xf8, 0xc0));
  return c;
}

// Q, W and E keycaps, each with its bomb; the lower right is left for the
// count that the display lays over it.
Canvas drawKeyIcons() {
  Canvas c(300, 100);
  const char* letters[3] = {"Q", "W", "E"};
  for (int k = 0; k < 3; ++k) {
    int x0 = 100 * k;
    outlined(c, x0, 0, 100, 100, [&](Canvas& t) {
      fillRoundRect(t, 4, 4, 92, 92, 14, rgb(0x9c, 0xa4, 0xbc));
      fillRoundRect(t, 8, 6, 84, 80, 11, rgb(0xe4, 0xe8, 0xf2));
      fillRoundRect(t, 12, 9, 76, 8, 4, rgb(0xf6, 0xf8, 0xfc));
    });
    TextMask m = dilated(renderText(letters[k], 50), 1);
    drawTextMask(c, m, x0 + 14, 14, INK);
    if (k == 0) drawRoundBomb(c, x0 + 72, 30, 11, 1);
    if (k == 1) drawBarrel(c, x0 + 58, 12, 0.75f, false);
    if (k == 2) drawRollingBall(c, x0 + 72, 30, 12, 0.3f);
  }
  return c;
}

// A speech bubble with an up arrow: "press Up here".
Canvas drawDoorArrow() {
  Canvas c(60, 60);
  outlined(c, 0, 0, 60, 60, [](Canvas& t) {
    fillRoundRect(t, 5, 3, 50, 42, 12, rgb(0xfe, 0xf8, 0xe4));
    fillPolygon(t, {{22, 43}, {38, 43}, {30, 56}}, rgb(0xfe, 0xf8, 0xe4));
  });
  outlined(c, 0, 0, 60, 60, [](Canvas& t) {
    fillPolygon(t, {{30, 8}, {45, 24}, {36, 24}, {36, 39}, {24, 39}, {24, 24}, {15, 24}},
                rgb(0xff, 0x8c, 0x20));
    fillPolygon(t, {{30, 11}, {40, 22}, {30, 22}}, rgb(0xff, 0xd0, 0x70));
  });
  return c;
}
