// Stage tiles and stage objects. A tile is 50 x 50 and drawn at 31 x 31 on
// a 25 px grid: its front face is the top-left 40 x 40, and the 10 px on
// the right and below are the block's sides, which overhang the neighbours
// and give the stage its depth.
#include <algorithm>
#include <cmath>
#include <functional>

#include "draw_sheets.h"
#include "platform/sheet_layout.h"

namespace {

constexpr float PI = 3.14159265f;

using Face = std::function<uint32_t(int x, int y)>;

// Front face from a shader; the sides repeat its edge columns, darker.
Canvas shadedBlock(const Face& front, float sideShade = 0.62f, float bottomShade = 0.45f) {
  Canvas t(50, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      if (x < 40 && y < 40) {
        t.set(x, y, front(x, y));
      } else if (x >= 40 && y >= x - 40 && y < x) {  // right side
        int fy = std::clamp(y - (x - 40), 0, 39);
        t.set(x, y, scaleColour(front(39, fy), sideShade * (1 - 0.02f * (x - 40))));
      } else if (y >= 40 && x >= y - 40 && x < y) {  // lower side
        int fx = std::clamp(x - (y - 40), 0, 39);
        t.set(x, y, scaleColour(front(fx, 39), bottomShade));
      }
    }
  // Ink where the front meets the sides and along the silhouette.
  for (int i = 0; i < 40; ++i)
    t.set(39, i, mix(t.get(39, i), INK, 0.6f)), t.set(i, 39, mix(t.get(i, 39), INK, 0.6f));
  for (int k = 0; k < 10; ++k) t.set(40 + k, k, INK), t.set(k, 40 + k, INK);
  for (int y = 10; y < 50; ++y) t.set(49, y, INK);
  for (int x = 10; x < 50; ++x) t.set(x, 49, INK);
  return t;
}

// A small pedestal on which switches sit: front 6..34 x 31..40, with sides.
void drawPedestal(Canvas& t, uint32_t body, uint32_t trim) {
  for (int y = 31; y < 48; ++y)
    for (int x = 4; x < 42; ++x) {
      bool front = x >= 5 && x < 35 && y >= 31 && y < 41;
      bool side = x >= 35 && y >= 31 + (x - 35) && y < 41 + (x - 35) && x < 41;
      bool low = y >= 41 && x >= 5 + (y - 41) && x < 35 + (y - 41) && y < 47;
      if (front)
        t.set(x, y, y < 33 ? trim : (x < 7 ? lighten(body, 0.2f) : body));
      else if (side)
        t.set(x, y, scaleColour(body, 0.6f));
      else if (low)
        t.set(x, y, scaleColour(body, 0.42f));
    }
  outlineOpaque(t, INK);
}

uint32_t noisy(uint32_t c, int x, int y, int seed, float amount) {
  return scaleColour(c, 1 + (hashNoise(x, y, seed) - 0.5f) * amount);
}

// --- Blocks -----------------------------------------------------------------

Canvas wallTile() {
  const Pt seeds[5] = {{9, 10}, {29, 8}, {19, 27}, {4, 33}, {35, 30}};
  return shadedBlock([&](int x, int y) {
    float d1 = 1e9, d2 = 1e9;
    int best = 0;
    for (int k = 0; k < 5; ++k) {
      float d = std::hypot(x + 0.5f - seeds[k].x, (y + 0.5f - seeds[k].y) * 1.2f);
      if (d < d1)
        d2 = d1, d1 = d, best = k;
      else if (d < d2)
        d2 = d;
    }
    if (d2 - d1 < 1.6f) return rgb(0x2c, 0x28, 0x3c);
    uint32_t base = mix(rgb(0x5e, 0x58, 0x78), rgb(0x70, 0x6a, 0x8a), best / 4.0f);
    if (d2 - d1 < 3.0f && (x + y) % 2 == 0) base = scaleColour(base, 0.85f);
    float n = fbm(x / 6.0f, y / 6.0f, 11, 2);
    uint32_t c = scaleColour(base, 0.85f + 0.3f * n);
    if (x == 0 || y == 0) c = lighten(c, 0.25f);
    return noisy(c, x, y, 3, 0.12f);
  });
}

Canvas sandstoneTile() {
  Canvas t = shadedBlock([](int x, int y) {
    float band = std::sin(y * 0.55f + fbm(x / 8.0f, y / 8.0f, 5, 2) * 3) * 0.06f;
    uint32_t c = scaleColour(rgb(0xe0, 0xb8, 0x70), 1 + band);
    if (x <= 1 || y <= 1) c = lighten(c, 0.3f);
    return noisy(c, x, y, 9, 0.14f);
  });
  // Cracks: the block gives easily.
  const uint32_t crack = rgb(0x6e, 0x48, 0x1e);
  const int a[][2] = {{14, 0}, {17, 7}, {13, 13}, {19, 19}, {16, 24}};
  const int b[][2] = {{19, 19}, {27, 22}, {30, 29}, {39, 31}};
  const int d[][2] = {{0, 27}, {6, 29}, {9, 35}, {8, 39}};
  auto poly = [&](const int(*p)[2], int n) {
    for (int i = 0; i + 1 < n; ++i) {
      drawLineThin(t, p[i][0] + 1, p[i][1] + 1, p[i + 1][0] + 1, p[i + 1][1] + 1,
                   rgb(0xf4, 0xdc, 0xa4));
      drawLineThin(t, p[i][0], p[i][1], p[i + 1][0], p[i + 1][1], crack);
    }
  };
  poly(a, 5), poly(b, 4), poly(d, 4);
  return t;
}

Canvas brickTile() {
  return shadedBlock([](int x, int y) {
    const uint32_t mortar = rgb(0xd6, 0xc6, 0xaa);
    int course = y / 13, yIn = y % 13;
    int offset = (course % 2) ? 10 : 0;
    int xIn = (x + offset) % 20;
    // Iron corner plates with a rivet each.
    int cx = x < 20 ? x : 39 - x, cy = y < 20 ? y : 39 - y;
    if (cx < 9 && cy < 9 && (cx < 3 || cy < 3 || cx + cy < 9)) {
      float rx = (x < 20 ? 4.5f : 35.5f) - (x + 0.5f), ry = (y < 20 ? 4.5f : 35.5f) - (y + 0.5f);
      if (rx * rx + ry * ry < 3.2f)
        return rx + ry > 0 ? rgb(0x48, 0x4c, 0x58) : rgb(0xd8, 0xdc, 0xe8);
      return (cx == 0 || cy == 0) ? rgb(0xa8, 0xb0, 0xc0) : rgb(0x72, 0x78, 0x88);
    }
    if (yIn >= 11 || xIn >= 18 || y >= 39) return mortar;
    uint32_t brick = mix(rgb(0xb8, 0x48, 0x30), rgb(0x9a, 0x36, 0x28),
                         hashNoise(x / 20 + course * 7, course, 2));
    if (yIn == 0) brick = lighten(brick, 0.25f);
    if (yIn == 10 || xIn == 17) brick = scaleColour(brick, 0.75f);
    return noisy(brick, x, y, 4, 0.16f);
  });
}

Canvas steelTile() {
  Canvas t = shadedBlock([](int x, int y) {
    uint32_t base = rgb(0x90, 0xa0, 0xb8);
    float streak = (hashNoise(0, y, 21) - 0.5f) * 0.08f + (hashNoise(x / 3, y, 22) - 0.5f) * 0.05f;
    float sheen = 0.12f * std::exp(-std::pow((x - y) / 9.0f, 2.0f));
    uint32_t c = scaleColour(base, 1 + streak + sheen);
    if (x < 3 || y < 3)
      c = lighten(c, 0.35f);
    else if (x > 36 || y > 36)
      c = scaleColour(c, 0.7f);
    // A raised cross brace.
    int d1 = std::abs(x - y), d2 = std::abs(x + y - 39);
    if ((d1 <= 2 || d2 <= 2) && x > 5 && x < 34 && y > 5 && y < 34)
      c = (d1 == 2 || d2 == 2) ? scaleColour(c, 0.72f) : lighten(c, 0.18f);
    return c;
  });
  for (Pt r : {Pt{7, 7}, Pt{32, 7}, Pt{7, 32}, Pt{32, 32}}) {
    fillCircle(t, r.x, r.y, 2.6f, rgb(0x50, 0x5c, 0x70));
    fillCircle(t, r.x - 0.5f, r.y - 0.5f, 1.6f, rgb(0xe0, 0xe8, 0xf4));
  }
  return t;
}

// Weight switch: a solid green block with a pressure plate on top.
Canvas weightSwitchArt(bool pressed) {
  const uint32_t body = rgb(0x4c, 0x7c, 0x5a);
  Canvas t = shadedBlock([&](int x, int y) {
    uint32_t c = scaleColour(body, 0.95f + 0.1f * fbm(x / 5.0f, y / 5.0f, 31, 2));
    if (x < 2 || y < 2) c = lighten(c, 0.3f);
    if (y >= 10 && y < 13) c = rgb(0x2a, 0x3a, 0x30);
    // A lamp that is lit while the switch carries weight.
    float d = std::hypot(x + 0.5f - 20, y + 0.5f - 26);
    if (d < 7)
      c = d < 5.5f ? (pressed ? rgb(0xb8, 0xff, 0x90) : rgb(0x2c, 0x50, 0x34))
                   : rgb(0x24, 0x30, 0x28);
    if (pressed && d < 3) c = rgb(0xf4, 0xff, 0xe8);
    return c;
  });
  // The plate stands proud when up and sinks flush when pressed.
  int top = pressed ? 4 : 0;
  fillRect(t, 4, top, 32, 6 - top / 2, rgb(0xc8, 0xd8, 0x60));
  fillRect(t, 4, top, 32, 1, rgb(0xf0, 0xf8, 0xa0));
  frameRect(t, 3, top - 1 < 0 ? 0 : top - 1, 34, 8 - top / 2, INK);
  return t;
}

// --- Switches ---------------------------------------------------------------

enum SwitchStyle { SWITCH_DOME, SWITCH_LEVER, SWITCH_ORB, SWITCH_CLOCK };

// p is the pulse (0..3) of a switch that is up; pressed shows it spent.
Canvas switchArt(SwitchStyle style, uint32_t colour, int p, bool pressed) {
  Canvas t(50, 50);
  float glow = p / 3.0f;
  uint32_t lit = mix(colour, rgb(0xf6, 0xfc, 0xff), 0.15f + 0.45f * glow);
  if (!pressed && p > 0) {  // a ring of light that widens with the pulse
    float r = 13 + 2.0f * p;
    fillEllipse(t, 20, 27, r, r * 0.8f, mix(colour, rgb(0xf6, 0xfc, 0xff), 0.2f * p));
    eraseEllipse(t, 20, 27, r - 2, (r - 2) * 0.8f);
  }
  Canvas top(50, 50);
  switch (style) {
    case SWITCH_DOME:
      if (pressed)
        fillEllipse(top, 20, 31, 11, 3, scaleColour(colour, 0.55f));
      else {
        fillEllipse(top, 20, 31, 11, 10, lit);
        fillEllipse(top, 16, 26, 3.5f, 2.5f, lighten(lit, 0.6f));
      }
      break;
    case SWITCH_LEVER: {
      float a = pressed ? -35 * PI / 180 : 35 * PI / 180;
      float ex = 20 + std::sin(a) * 15, ey = 31 - std::cos(a) * 15;
      fillCapsule(top, 20, 31, ex, ey, 1.8f, rgb(0x8a, 0x8e, 0x9c));
      fillCircle(top, ex, ey, 4.5f, pressed ? scaleColour(colour, 0.55f) : lit);
      if (!pressed) fillCircle(top, ex - 1.5f, ey - 1.5f, 1.5f, lighten(lit, 0.6f));
      fillEllipse(top, 20, 31, 6, 2.5f, rgb(0x50, 0x54, 0x60));
      break;
    }
    case SWITCH_ORB:
      fillEllipse(top, 20, 30, 7, 2.5f, rgb(0xc8, 0xa0, 0x40));
      fillCircle(top, 20, 22, 8.5f, pressed ? scaleColour(colour, 0.45f) : lit);
      if (pressed) {
        drawLineThin(top, 16, 17, 20, 22, INK), drawLineThin(top, 20, 22, 18, 28, INK);
        drawLineThin(top, 20, 22, 25, 20, INK);
      } else {
        fillCircle(top, 20, 22, 3 + p, lighten(lit, 0.5f));
        fillCircle(top, 17, 18, 1.8f, rgb(0xfa, 0xfe, 0xff));
      }
      break;
    case SWITCH_CLOCK:
      if (pressed)
        fillEllipse(top, 20, 31, 11, 3, scaleColour(colour, 0.55f));
      else {
        fillEllipse(top, 20, 31, 11, 10, lit);
        fillCircle(top, 20, 25, 5.5f, rgb(0xfe, 0xf6, 0xe4));
        drawLineThin(top, 20, 25, 20, 21, INK);
        drawLineThin(top, 20, 25, 23, 25, INK);
      }
      break;
  }
  outlineOpaque(top, INK);
  pasteKeyed(t, top, 0, 0);
  drawPedestal(t, style == SWITCH_CLOCK ? rgb(0x8a, 0x5a, 0x30) : rgb(0x4a, 0x56, 0x78),
               style == SWITCH_CLOCK ? rgb(0xf0, 0xa0, 0x40) : rgb(0x88, 0xc0, 0xf0));
  return t;
}

// Crusher switch: a detonator box with a plunger.
Canvas crusherTile(int p, bool pressed) {
  Canvas t(50, 50);
  Canvas parts(50, 50);
  int handleY = pressed ? 20 : 6;
  fillRect(parts, 18, handleY, 4, 24 - handleY, rgb(0x9a, 0xa0, 0xb0));
  fillRoundRect(parts, 9, handleY - 3, 22, 5, 2, rgb(0x50, 0x56, 0x66));
  fillRect(parts, 6, 22, 28, 18, rgb(0xc8, 0x30, 0x28));
  fillRect(parts, 6, 22, 28, 2, rgb(0xf0, 0x70, 0x60));
  for (int x = 6; x < 34; ++x)  // hazard stripes
    for (int y = 31; y < 36; ++y)
      parts.set(x, y, ((x + y) / 3) % 2 ? rgb(0xff, 0xd0, 0x30) : rgb(0x30, 0x28, 0x28));
  if (!pressed) {
    fillCircle(parts, 29, 26.5f, 2.2f, mix(rgb(0x80, 0x30, 0x20), rgb(0xff, 0xf0, 0x90), p / 3.0f));
  }
  // Sides of the box.
  for (int k = 0; k < 6; ++k) {
    fillRect(parts, 34 + k, 22 + k, 1, 18, rgb(0x80, 0x1c, 0x18));
    fillRect(parts, 6 + k, 40 + k, 28, 1, rgb(0x60, 0x14, 0x12));
  }
  outlineOpaque(parts, INK);
  if (!pressed && p > 0) {
    Canvas halo(50, 50);
    fillCircle(halo, 20, handleY - 1, 6 + 2.5f * p, rgb(0xff, 0xf0, 0x70));
    eraseEllipse(halo, 20, handleY - 1, 4 + 2.5f * p, 4 + 2.5f * p);
    pasteKeyed(t, halo, 0, 0);
  }
  pasteKeyed(t, parts, 0, 0);
  return t;
}

// --- Hazards ----------------------------------------------------------------

Canvas spikesTile() {
  Canvas t(50, 50);
  for (int k = 0; k < 4; ++k) {
    float x0 = 1 + k * 10;
    fillPolygon(t, {{x0, 38}, {x0 + 5, 14}, {x0 + 10, 38}}, rgb(0xb8, 0xc0, 0xd0));
    fillPolygon(t, {{x0 + 5, 14}, {x0 + 10, 38}, {x0 + 6.5f, 38}}, rgb(0x70, 0x78, 0x8c));
    fillPolygon(t, {{x0 + 3.6f, 20}, {x0 + 5, 14}, {x0 + 6.4f, 20}}, rgb(0xe8, 0x40, 0x40));
  }
  Canvas base = shadedBlock([](int, int y) {
    return y < 34 ? KEY_WHITE : (y == 34 ? rgb(0x90, 0x94, 0xa0) : rgb(0x5a, 0x5e, 0x6c));
  });
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x)
      if (base.get(x, y) != KEY_WHITE && (y >= 34 || x >= 40)) t.set(x, y, base.get(x, y));
  // Clean the sides above the base.
  for (int y = 0; y < 50; ++y)
    for (int x = 40; x < 50; ++x)
      if (y < 34 + (x - 40)) t.setKey(x, y);
  outlineOpaque(t, INK);
  return t;
}

Canvas fireTile() {
  Canvas t(50, 50);
  auto flame = [&](float cx, float h, float w, uint32_t col) {
    std::vector<Pt> pts = {{cx - w, 36},
                           {cx - w * 0.8f, 30},
                           {cx - w * 0.3f, 36 - h * 0.6f},
                           {cx, 36 - h},
                           {cx + w * 0.45f, 36 - h * 0.55f},
                           {cx + w, 30},
                           {cx + w, 36}};
    fillPolygon(t, pts, col);
  };
  flame(11, 26, 9, rgb(0xe8, 0x40, 0x20));
  flame(28, 30, 10, rgb(0xe8, 0x40, 0x20));
  flame(20, 20, 8, rgb(0xff, 0x8c, 0x20));
  flame(30, 20, 6, rgb(0xff, 0x8c, 0x20));
  flame(12, 15, 5, rgb(0xff, 0xd8, 0x40));
  flame(27, 13, 5, rgb(0xff, 0xd8, 0x40));
  outlineOpaque(t, rgb(0x8a, 0x1a, 0x10));
  // Iron grate.
  fillRect(t, 1, 36, 39, 4, rgb(0x40, 0x3a, 0x40));
  for (int x = 3; x < 39; x += 6) fillRect(t, x, 36, 2, 4, rgb(0x8a, 0x80, 0x88));
  for (int k = 0; k < 6; ++k)
    fillRect(t, 40 + k, 36 + k, 1, 4, rgb(0x28, 0x24, 0x28)),
        fillRect(t, 1 + k, 40 + k, 39, 1, rgb(0x22, 0x1e, 0x22));
  return t;
}

Canvas acidTile() {
  Canvas t(50, 50);
  // Basin.
  Canvas basin = shadedBlock([](int x, int y) {
    if (y < 20) return KEY_WHITE;
    if (x < 3 || x > 36 || y > 36) return rgb(0x6a, 0x70, 0x78);
    float wave = std::sin(x * 0.6f) * 1.2f;
    if (y < 23 + wave) return rgb(0xd8, 0xff, 0x70);
    return mix(rgb(0x7c, 0xe8, 0x30), rgb(0x2c, 0x90, 0x20), (y - 22) / 15.0f);
  });
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      uint32_t p = basin.get(x, y);
      bool side = x >= 40 || y >= 40;
      if (p != KEY_WHITE && !(side && y < 20 + (x >= 40 ? x - 40 : 0))) t.set(x, y, p);
    }
  for (Pt b : {Pt{10, 29}, Pt{24, 32}, Pt{30, 27}, Pt{17, 20}, Pt{26, 14}}) {
    fillCircle(t, b.x, b.y, b.y < 22 ? 2.0f : 1.6f, rgb(0xe8, 0xff, 0xa0));
    t.set(int(b.x) - 1, int(b.y) - 1, rgb(0xfa, 0xff, 0xf0));
  }
  outlineOpaque(t, INK);
  return t;
}

Canvas sawTile() {
  Canvas t(50, 50);
  Canvas blade(50, 50);
  const float cx = 20, cy = 26;
  for (int k = 0; k < 12; ++k) {
    float a = k * PI / 6, b = a + PI / 12;
    fillPolygon(blade,
                {{cx + std::cos(a) * 13, cy + std::sin(a) * 13},
                 {cx + std::cos(a + 0.05f) * 18, cy + std::sin(a + 0.05f) * 18},
                 {cx + std::cos(b + 0.2f) * 13, cy + std::sin(b + 0.2f) * 13}},
                rgb(0xd0, 0xd4, 0xe0));
  }
  fillCircle(blade, cx, cy, 14, rgb(0xb0, 0xb6, 0xc8));
  fillRing(blade, cx, cy, 9, 10.5f, rgb(0x88, 0x8e, 0xa0));
  fillCircle(blade, cx, cy, 4, rgb(0xd8, 0x30, 0x30));
  fillCircle(blade, cx - 1, cy - 1, 1.5f, rgb(0xff, 0x90, 0x90));
  drawLineThin(blade, int(cx - 8), int(cy - 6), int(cx - 3), int(cy - 10), rgb(0xf4, 0xf6, 0xfc));
  // The slot it spins in hides the lower part.
  for (int y = 33; y < 50; ++y)
    for (int x = 0; x < 50; ++x) blade.setKey(x, y);
  outlineOpaque(blade, INK);
  pasteKeyed(t, blade, 0, 0);
  Canvas base = shadedBlock([](int, int y) {
    return y < 33 ? KEY_WHITE : (y == 33 ? rgb(0x9a, 0x80, 0x60) : rgb(0x6a, 0x52, 0x3c));
  });
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      uint32_t p = base.get(x, y);
      if (p != KEY_WHITE && y >= 33 + (x >= 40 ? x - 40 : 0)) t.set(x, y, p);
    }
  fillRect(t, 5, 33, 30, 2, INK);
  return t;
}

// --- Moving platform ----------------------------------------------------------

Canvas platformArt(int f) {
  Canvas t(50, 50);
  // Jet flame under the slab, flickering.
  const float len[4] = {12, 16, 13, 18};
  Canvas jet(50, 50);
  fillPolygon(jet, {{12, 16}, {28, 16}, {20, 16 + len[f]}}, rgb(0xff, 0x80, 0x30));
  fillPolygon(jet, {{15, 16}, {25, 16}, {20, 12 + len[f] * 0.8f}}, rgb(0xff, 0xe0, 0x60));
  fillPolygon(jet, {{18, 16}, {22, 16}, {20, 14 + len[f] * 0.5f}}, rgb(0xfe, 0xfc, 0xe8));
  pasteKeyed(t, jet, 0, 0);
  Canvas slab = shadedBlock([](int x, int y) {
    if (y >= 14) return KEY_WHITE;
    uint32_t c = y < 3 ? rgb(0xff, 0xd8, 0x40) : rgb(0x70, 0x7c, 0x94);
    if (y >= 3 && ((x + y) / 4) % 2 == 0 && y > 8) c = rgb(0x30, 0x34, 0x40);
    if (y == 0) c = rgb(0xff, 0xf0, 0xa0);
    return c;
  });
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      uint32_t p = slab.get(x, y);
      bool inSlab = x < 40 ? y < 14 : (y >= x - 40 && y < 14 + (x - 40));
      if (p != KEY_WHITE && inSlab) t.set(x, y, p);
    }
  for (int k = 0; k < 10; ++k) {
    int x0 = k, y0 = 14 + k;
    fillRect(t, x0, y0, 40, 1, k == 0 ? INK : rgb(0x40, 0x46, 0x58));
  }
  fillRect(t, 10, 23, 40, 1, INK);
  return t;
}

// --- Bomb chest -----------------------------------------------------------------

Canvas bombChestArt(bool open) {
  Canvas t(50, 50);
  const uint32_t wood = rgb(0xa8, 0x64, 0x30), band = rgb(0xf0, 0xc0, 0x40);
  // Body: front 6..36 x 26..41, with sides.
  Canvas body = shadedBlock([&](int x, int y) {
    if (y < 26 || x < 5 || x > 36) return KEY_WHITE;
    if (x < 8 || x > 33) return band;
    uint32_t c = (y % 5 == 0) ? scaleColour(wood, 0.8f) : wood;
    return noisy(c, x, y, 41, 0.1f);
  });
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 50; ++x) {
      bool inBody = x < 40 ? (y >= 26 && y < 40 && x >= 5 && x <= 36) : false;
      bool side = x >= 37 && x < 43 && y >= 26 + (x - 37) && y < 41 + (x - 37);
      bool low = y >= 41 && y < 47 && x >= 5 + (y - 40) && x < 37 + (y - 40);
      if (inBody)
        t.set(x, y, body.get(x, y));
      else if (side)
        t.set(x, y, scaleColour(wood, 0.55f));
      else if (low)
        t.set(x, y, scaleColour(wood, 0.4f));
    }
  if (open) {
    fillRoundRect(t, 5, 10, 32, 10, 3, scaleColour(wood, 0.8f));  // lid thrown back
    fillRect(t, 5, 18, 32, 2, band);
    fillRect(t, 8, 22, 26, 5, rgb(0x3a, 0x1e, 0x10));  // dark inside
    fillRect(t, 6, 20, 30, 2, rgb(0x60, 0x34, 0x18));
  } else {
    fillRoundRect(t, 4, 16, 34, 12, 5, wood);  // lid
    fillRect(t, 4, 24, 34, 2, band);
    fillRect(t, 8, 16, 3, 10, band), fillRect(t, 31, 16, 3, 10, band);
    fillRect(t, 18, 23, 6, 7, rgb(0xff, 0xe0, 0x60));  // clasp
    fillRect(t, 20, 26, 2, 2, INK);
    fillRect(t, 6, 18, 28, 1, lighten(wood, 0.3f));
  }
  outlineOpaque(t, INK);
  return t;
}

// --- Gates ------------------------------------------------------------------------

struct GateColours {
  uint32_t body, glow, dark;
};
const GateColours GATE_SETS[3] = {
    {rgb(0x38, 0x6c, 0xd8), rgb(0x9c, 0xe8, 0xff), rgb(0x1c, 0x30, 0x70)},
    {rgb(0xe0, 0x78, 0x20), rgb(0xff, 0xec, 0x80), rgb(0x70, 0x34, 0x10)},
    {rgb(0x34, 0x9c, 0x4c), rgb(0xc0, 0xff, 0x90), rgb(0x14, 0x50, 0x24)},
};

// One gate, lying along `along` (0 vertical, 1 horizontal). The front face
// is 40 px across and 162 px long (four cells); grooves every 20 px line up
// with the gate's part cells; a glowing slit pulses with p.
Canvas gatePicture(const GateColours& g, int p, bool horizontal) {
  const int L = 162;
  Canvas t(horizontal ? 190 : 50, horizontal ? 50 : 190);
  uint32_t glow = mix(g.body, g.glow, 0.35f + 0.65f * p / 3.0f);
  auto front = [&](int u, int v) {  // u along the gate, v across (0..39)
    uint32_t c = g.body;
    if (v < 3)
      c = lighten(c, 0.35f);
    else if (v > 36)
      c = scaleColour(c, 0.7f);
    if (u % 20 == 0 && u > 0)
      c = g.dark;
    else if (u % 20 == 1 && u > 0)
      c = lighten(g.body, 0.2f);
    if (v >= 16 && v < 24 && u >= 4 && u < L - 4) {
      c = (v == 16 || v == 23) ? g.dark : glow;
      if ((v == 19 || v == 20) && p > 0) c = lighten(glow, 0.25f * p);
    }
    if (u < 3) c = lighten(c, 0.3f);
    if (u > L - 4) c = scaleColour(c, 0.7f);
    return noisy(c, u, v, 61, 0.06f);
  };
  for (int a = 0; a < L + 10; ++a)
    for (int b = 0; b < 50; ++b) {
      uint32_t c;
      if (a < L && b < 40)
        c = front(a, b);
      else if (b >= 40 && a >= b - 40 && a < L + (b - 40))
        c = scaleColour(front(std::min(a - (b - 40), L - 1), 39), 0.6f);
      else if (a >= L && b >= a - L && b < 40 + (a - L))
        c = scaleColour(front(L - 1, std::min(b - (a - L), 39)), 0.45f);
      else
        continue;
      if (horizontal)
        t.set(a, b, c);
      else
        t.set(b, a, c);
    }
  outlineOpaque(t, INK);
  return t;
}

// --- Portals, doors, chests and glitter (150 x 150 frames) -----------------

Canvas warpArt(int f) {
  Canvas t(150, 150);
  const float cx = 75, cy = 72;
  float rot = f * 2 * PI / 8;
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 150; ++x) {
      float dx = (x + 0.5f - cx) / 46, dy = (y + 0.5f - cy) / 60;
      float r = std::hypot(dx, dy);
      if (r > 1) continue;
      float a = std::atan2(dy, dx);
      float swirl = std::sin(a * 3 + r * 9 - rot * 3);
      uint32_t c;
      if (r > 0.86f)
        c = r > 0.93f ? rgb(0x3a, 0x1a, 0x60) : rgb(0xb0, 0x70, 0xff);
      else {
        float k = 0.5f + 0.5f * swirl;
        c = mix(rgb(0x50, 0x20, 0xa0), rgb(0x60, 0xe8, 0xff), k * (1 - r * 0.6f));
        if (r < 0.25f) c = mix(rgb(0xf4, 0xfa, 0xff), c, r / 0.25f);
      }
      t.set(x, y, c);
    }
  for (int k = 0; k < 6; ++k) {
    float a = rot + k * PI / 3;
    drawSparkle(t, cx + std::cos(a) * 54, cy + std::sin(a) * 68, 5, rgb(0xc8, 0xf0, 0xff),
                rgb(0xfa, 0xfe, 0xff));
  }
  outlineOpaque(t, INK);
  return t;
}

Canvas doorFrame(int f) {
  Canvas t(150, 150);
  // Stone arch.
  auto inArch = [](float x, float y, float l, float r, float top, float bottom) {
    float cx = (l + r) / 2, rad = (r - l) / 2;
    if (x < l || x > r || y > bottom) return false;
    if (y >= top + rad) return true;
    return std::hypot(x - cx, y - (top + rad)) <= rad;
  };
  for (int y = 0; y < 150; ++y)
    for (int x = 0; x < 150; ++x) {
      float px = x + 0.5f, py = y + 0.5f;
      if (!inArch(px, py, 22, 128, 6, 128)) continue;
      if (inArch(px, py, 40, 110, 24, 128)) {
        // The opening: a shimmering golden light.
        float wave = std::sin(py * 0.12f - f * PI / 4 + std::sin(px * 0.08f) * 2);
        float d = std::abs(px - 75) / 35;
        uint32_t c = mix(rgb(0xff, 0xf4, 0xb8), rgb(0xf0, 0x90, 0x20), d * 0.8f + 0.2f * wave);
        if (std::fmod(py + f * 4, 16.0f) < 2 && d < 0.8f) c = lighten(c, 0.5f);
        t.set(x, y, c);
      } else {
        // Blocks of the arch.
        float ang = std::atan2(py - 79, px - 75);
        int block = py < 79 ? int((ang + PI) / (PI / 7)) : 20 + int(py / 14);
        uint32_t c =
            mix(rgb(0x8a, 0x80, 0x9c), rgb(0x6c, 0x64, 0x80), hashNoise(block, px < 75, 5));
        bool joint = py >= 79 ? int(py) % 14 == 0 : std::fmod((ang + PI) / (PI / 7), 1.0f) < 0.08f;
        if (joint) c = rgb(0x3a, 0x34, 0x48);
        t.set(x, y, noisy(c, x, y, 6, 0.1f));
      }
    }
  // Keystone gem that blinks with the animation.
  fillPolygon(t, {{75, 8}, {84, 18}, {75, 28}, {66, 18}},
              f % 4 < 2 ? rgb(0xff, 0xd0, 0x40) : rgb(0xff, 0xf4, 0xa8));
  // Steps.
  fillRect(t, 14, 128, 122, 8, rgb(0x7a, 0x72, 0x8c));
  fillRect(t, 14, 128, 122, 2, rgb(0xa8, 0xa0, 0xb8));
  for (int k = 0; k < 3; ++k) {
    float a = f * PI / 4 + k * 2.1f;
    drawSparkle(t, 75 + std::cos(a) * 22, 78 + std::sin(a * 1.3f) * 30, 4, rgb(0xff, 0xff, 0xc0),
                rgb(0xfe, 0xfe, 0xfa));
  }
  outlineOpaque(t, INK);
  return t;
}

// The goal: a big golden chest whose lid opens over eight pictures.
Canvas goalChest(int k) {
  Canvas t(150, 50);
  float open = k / 7.0f;
  const uint32_t gold = rgb(0xf0, 0xb8, 0x30), red = rgb(0xc0, 0x30, 0x38);
  // Light bursting out.
  if (k > 0) {
    Canvas rays(150, 50);
    for (int r = 0; r < 7; ++r) {
      float a = PI * (0.15f + 0.7f * r / 6.0f);
      float len = 20 + 40 * open;
      fillPolygon(rays,
                  {{70, 22},
                   {80, 22},
                   {75 - std::cos(a) * len - 4, 22 - std::sin(a) * len},
                   {75 - std::cos(a) * len + 4, 22 - std::sin(a) * len}},
                  r % 2 ? rgb(0xff, 0xf4, 0xa0) : rgb(0xff, 0xe0, 0x60));
    }
    pasteKeyed(t, rays, 0, 0);
  }
  Canvas chest(150, 50);
  // Body 36..114 x 22..40.
  fillRect(chest, 36, 22, 78, 18, red);
  fillRect(chest, 36, 22, 78, 3, gold);
  fillRect(chest, 36, 37, 78, 3, gold);
  for (int x : {36, 55, 92, 110}) fillRect(chest, x, 22, 4, 18, gold);
  fillRect(chest, 68, 24, 14, 12, gold);
  fillRect(chest, 73, 28, 4, 5, INK);
  // Lid: a half cylinder that tips back as it opens.
  float lidH = 16 * (1 - open) + 3;
  float lidTop = 22 - lidH - 6 * open;
  if (k > 0) fillRect(chest, 38, 16, 74, 7, rgb(0xff, 0xe8, 0x80));  // treasure glow inside
  fillRoundRect(chest, 34, lidTop, 82, lidH + (k == 0 ? 1 : 0), std::min(8.0f, lidH / 2),
                scaleColour(red, 1.1f));
  fillRect(chest, 34, int(lidTop + lidH - 3), 82, 3, gold);
  for (int x : {36, 55, 92, 110}) fillRect(chest, x, int(lidTop), 4, int(lidH), gold);
  if (k > 0)
    for (int c = 0; c < 5; ++c) fillCircle(chest, 50 + c * 12.0f, 19, 3, rgb(0xff, 0xd8, 0x40));
  outlineOpaque(chest, INK);
  pasteKeyed(t, chest, 0, 0);
  // A shadow under it.
  fillEllipse(t, 75, 43, 44, 3, rgb(0x30, 0x24, 0x30));
  return t;
}

// Glitter: sparkles spread over a 150 x 150 frame, twinkling in turn.
Canvas glitter(int s, int seed, bool ring) {
  Canvas t(150, 150);
  for (int k = 0; k < 14; ++k) {
    float x, y;
    if (ring) {
      float a = k * 2 * PI / 14 + s * PI / 16;
      float r = 40 + 18 * hashNoise(k, 1, seed);
      x = 75 + std::cos(a) * r, y = 75 + std::sin(a) * r;
    } else {
      x = 15 + 120 * hashNoise(k, 0, seed);
      y = std::fmod(130 - 110 * hashNoise(k, 1, seed) - s * 6 + 120, 120.0f) + 10;
    }
    float phase = std::fmod(k * 0.37f + s / 8.0f, 1.0f);
    float r = 3 + 9 * std::sin(phase * PI);
    drawSparkle(t, x, y, r, k % 3 ? rgb(0xff, 0xf0, 0x80) : rgb(0xb8, 0xf0, 0xff),
                rgb(0xfe, 0xfe, 0xf4));
  }
  return t;
}

// Large soft glows of the deep backdrop, one size per frame.
Canvas glowFrame(int g) {
  Canvas t(100, 100);
  float r = 38 + 4 * std::sin(g * 2 * PI / 5);
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 100; ++x) {
      float d = std::hypot(x + 0.5f - 50, y + 0.5f - 50) / r;
      if (d > 1) continue;
      t.set(x, y, mix(rgb(0xe8, 0xfa, 0xff), rgb(0x30, 0x50, 0xc0), std::pow(d, 0.7f)));
    }
  return t;
}

// Little hanging lanterns of the backdrop (orange is their key colour).
Canvas lanternFrame(int d) {
  Canvas t(25, 50, KEY_ORANGE);
  fillRect(t, 12, 0, 1, 14, rgb(0x50, 0x48, 0x50));
  fillRect(t, 7, 13, 11, 3, rgb(0x40, 0x38, 0x40));
  const float flick[5] = {0, 1, 0.5f, 1.5f, 0.7f};
  uint32_t glass = mix(rgb(0xff, 0xc0, 0x50), rgb(0xff, 0xf0, 0xa0), flick[d] / 1.5f);
  fillRoundRect(t, 6, 16, 13, 20, 4, glass);
  fillEllipse(t, 12.5f, 28 - flick[d], 2.6f, 5 + flick[d], rgb(0xfe, 0xfe, 0xe0));
  fillRect(t, 6, 22, 13, 1, rgb(0x40, 0x38, 0x40));
  fillRect(t, 7, 36, 11, 3, rgb(0x40, 0x38, 0x40));
  fillRect(t, 11, 39, 3, 3, rgb(0x40, 0x38, 0x40));
  return t;
}

void pasteAt(Canvas& s, const Canvas& t, SheetCell c) { paste(s, t, c.x, c.y); }

// The right-hand strip of a vertical gate picture, rows `from` .. from + 50,
// where a front-edge strip reads it.
void pasteGateEdge(Canvas& s, const Canvas& gate, int from, SheetCell strip) {
  pasteRegion(s, strip.x, strip.y, gate, 40, from, strip.w, strip.h);
}

}  // namespace

Canvas drawTileSheet() {
  Canvas s(TILE_SHEET_W, TILE_SHEET_H);
  pasteAt(s, wallTile(), TILE_WALL);
  pasteAt(s, sandstoneTile(), blockTile(0));
  pasteAt(s, brickTile(), blockTile(1));
  pasteAt(s, steelTile(), blockTile(2));

  // Switches, with copies of the first up and the pressed pictures in row
  // 50, whose right-hand strips are the front edges.
  const SwitchStyle styles[SWITCH_KINDS] = {SWITCH_DOME, SWITCH_LEVER, SWITCH_ORB};
  const uint32_t blue = rgb(0x40, 0x9c, 0xff), orange = rgb(0xff, 0x90, 0x30);
  for (bool pressed : {false, true}) {
    pasteAt(s, weightSwitchArt(pressed), weightSwitchTile(pressed));
    pasteAt(s, weightSwitchArt(pressed), weightSwitchEdgeTile(pressed));
    for (int k = 0; k < SWITCH_KINDS; ++k) {
      for (int p = 0; p < (pressed ? 1 : PULSE_FRAMES); ++p)
        pasteAt(s, switchArt(styles[k], blue, p, pressed), switchTile(k, p, pressed));
      pasteAt(s, switchArt(styles[k], blue, 0, pressed), switchEdgeTile(k, pressed));
    }
    for (int p = 0; p < (pressed ? 1 : PULSE_FRAMES); ++p) {
      pasteAt(s, switchArt(SWITCH_CLOCK, orange, p, pressed), timedSwitchTile(p, pressed));
      pasteAt(s, crusherTile(p, pressed), crusherSwitchTile(p, pressed));
    }
  }

  const Canvas hazards[HAZARD_KINDS] = {spikesTile(), fireTile(), acidTile(), sawTile()};
  for (int k = 0; k < HAZARD_KINDS; ++k) pasteAt(s, hazards[k], hazardTile(k));
  for (int f = 0; f < PLATFORM_FRAMES; ++f) pasteAt(s, platformArt(f), platformTile(f));

  // Gates: a vertical and a horizontal picture per pulse frame and colour.
  for (int g = 0; g < GATE_COLOURS; ++g)
    for (int p = 0; p < PULSE_FRAMES; ++p) {
      SheetCell v = verticalGate(g, p), h = horizontalGate(g, p);
      pasteKeyed(s, gatePicture(GATE_SETS[g], p, false), v.x, v.y);
      pasteKeyed(s, gatePicture(GATE_SETS[g], p, true), h.x, h.y);
    }
  // Front edges of the orange and green vertical gates that no picture
  // holds already: the gate's right-hand side at its foot (open) and at its
  // part cell, and the closed orange gate's at its top, which lies past the
  // end of the second blue horizontal gate picture.
  for (int g = 1; g < GATE_COLOURS; ++g) {
    Canvas v = gatePicture(GATE_SETS[g], 0, false);
    if (g == 1) pasteGateEdge(s, v, 0, verticalGateEdge(g, true));
    pasteGateEdge(s, v, 50, verticalGatePartEdge(g));
    pasteGateEdge(s, v, 126, verticalGateEdge(g, false));
  }
  // The chests sit below the first blue gate, whose empty foot they share.
  for (bool open : {false, true})
    pasteKeyed(s, bombChestArt(open), bombChestTile(open).x, bombChestTile(open).y);

  for (int g = 0; g < GLOW_FRAMES; ++g) pasteAt(s, glowFrame(g), backdropGlow(g));
  for (int d = 0; d < DECORATION_FRAMES; ++d) {
    Canvas l = lanternFrame(d);
    SheetCell c = backdropDecoration(d);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x)
        s.px[size_t(c.y + y) * s.w + c.x + x] = l.px[size_t(y) * c.w + x];
  }
  for (int f = 0; f < PORTAL_FRAMES; ++f) {
    pasteAt(s, warpArt(f), warpFrame(f));
    pasteAt(s, goalChest(f), goalChestFrame(f));
    pasteAt(s, glitter(f, 71, false), goalGlitterFrame(f));
    pasteAt(s, glitter(f, 73, true), chestGlitterFrame(f));
    pasteAt(s, doorFrame(f), stageDoorFrame(f));
  }
  return s;
}
