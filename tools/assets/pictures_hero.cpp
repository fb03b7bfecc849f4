// The hero: every pose is built from a few outlined, cel-shaded shapes
// placed by a small skeleton (hips, knees, shoulders, elbows), so that the
// same figure walks, jumps, carries, throws and tumbles, facing either way.
#include <algorithm>
#include <cmath>
#include <functional>

#include "draw_sheets.h"

namespace {

constexpr float DEG = 3.14159265f / 180;

// Palette.
constexpr uint32_t SKIN = rgb(0xf8, 0xc8, 0x9c);
constexpr uint32_t CHEEK = rgb(0xf0, 0x90, 0x80);
constexpr uint32_t HELMET = rgb(0xe4, 0x3b, 0x36);
constexpr uint32_t HELMET_DARK = rgb(0xa8, 0x22, 0x2e);
constexpr uint32_t STRIPE = rgb(0xfa, 0xf0, 0xd8);
constexpr uint32_t SCARF = rgb(0xff, 0xc0, 0x2a);
constexpr uint32_t JACKET = rgb(0x3c, 0x82, 0xe6);
constexpr uint32_t BELT = rgb(0x6b, 0x3f, 0x1f);
constexpr uint32_t BUCKLE = rgb(0xff, 0xd8, 0x4a);
constexpr uint32_t PANTS = rgb(0x40, 0x46, 0x66);
constexpr uint32_t BOOT = rgb(0x9a, 0x55, 0x2e);
constexpr uint32_t GLOVE = rgb(0xf6, 0xf4, 0xee);
constexpr uint32_t EYE = rgb(0x1c, 0x10, 0x22);
constexpr uint32_t SOOT = rgb(0x55, 0x50, 0x58);

float sdCircle(Pt p, Pt c, float r) { return std::hypot(p.x - c.x, p.y - c.y) - r; }
float sdCapsule(Pt p, Pt a, Pt b, float r) {
  float vx = b.x - a.x, vy = b.y - a.y, l2 = vx * vx + vy * vy;
  float t = l2 > 0 ? std::clamp(((p.x - a.x) * vx + (p.y - a.y) * vy) / l2, 0.0f, 1.0f) : 0;
  return std::hypot(p.x - a.x - t * vx, p.y - a.y - t * vy) - r;
}
Pt dir(float deg) { return {std::sin(deg * DEG), std::cos(deg * DEG)}; }
Pt add(Pt a, Pt b, float k = 1) { return {a.x + b.x * k, a.y + b.y * k}; }

using Sdf = std::function<float(Pt)>;

// Body space: origin at the hips, y down, facing +x. The transform places
// it in the cell (rotation about the hips, then an optional mirror about
// the cell's middle).
struct Painter {
  Canvas& c;
  float ox, oy, angle;
  bool flip;

  Pt toCell(Pt b) const {
    float s = std::sin(angle * DEG), k = std::cos(angle * DEG);
    Pt p{ox + b.x * k - b.y * s, oy + b.x * s + b.y * k};
    if (flip) p.x = c.w - p.x;
    return p;
  }
  Pt toBody(Pt p) const {
    if (flip) p.x = c.w - p.x;
    float dx = p.x - ox, dy = p.y - oy;
    float s = std::sin(-angle * DEG), k = std::cos(-angle * DEG);
    return {dx * k - dy * s, dx * s + dy * k};
  }
  // Fill where the distance is <= 0, ink where it is within one pixel
  // outside; light from the upper left in screen space.
  void paint(const Sdf& sd, uint32_t fill, bool outline = true, bool shade = true) {
    uint32_t dark = scaleColour(fill, 0.74f), light = lighten(fill, 0.28f);
    for (int y = 0; y < c.h; ++y)
      for (int x = 0; x < c.w; ++x) {
        float cx = x + 0.5f, cy = y + 0.5f;
        float d = sd(toBody({cx, cy}));
        if (d <= 0) {
          uint32_t col = fill;
          if (shade) {
            if (sd(toBody({cx + 1.6f, cy + 1.8f})) > 0)
              col = dark;
            else if (sd(toBody({cx - 1.3f, cy - 1.3f})) > 0)
              col = light;
          }
          c.set(x, y, col);
        } else if (outline && d <= 1.0f) {
          c.set(x, y, INK);
        }
      }
  }
  void dot(Pt b, uint32_t col) {
    Pt p = toCell(b);
    c.set(int(std::floor(p.x)), int(std::floor(p.y)), col);
  }
};

enum Eyes { EYES_OPEN, EYES_SHUT, EYES_X, EYES_HAPPY, EYES_WIDE };
enum Item { ITEM_NONE, ITEM_BOMB };

struct Pose {
  float bob = 0;                          // whole figure down (px)
  float lean = 0;                         // upper body, degrees forward
  float leg[2][2] = {{0, 0}, {0, 0}};     // back, front: thigh, shin angles
  float arm[2][2] = {{-8, 10}, {8, 20}};  // back, front: upper arm, forearm
  float headDy = 0;
  Eyes eyes = EYES_OPEN;
  int mouth = 0;  // 0 none, 1 smile, 2 open
  Item item = ITEM_NONE;
  float scarf = 0;  // flutter phase
  bool soot = false;
};

// Vertical reach of a leg (thigh 7, shin 7.5).
float legReach(const float* l) { return 7 * std::cos(l[0] * DEG) + 7.5f * std::cos(l[1] * DEG); }

void drawLeg(Painter& P, Pt hip, const float* l, bool back) {
  Pt knee = add(hip, dir(l[0]), 7), ankle = add(knee, dir(l[1]), 7.5f);
  float ang = -l[1] * 0.7f * DEG;
  Pt toe = add(ankle, {std::cos(ang), std::sin(ang)}, 3.2f);
  Pt heel = add(ankle, {std::cos(ang), std::sin(ang)}, -0.8f);
  ankle = add(ankle, {std::cos(ang), std::sin(ang)}, -1.0f);
  float k = back ? 0.78f : 1.0f;
  P.paint(
      [&](Pt p) {
        return std::min(sdCapsule(p, hip, knee, 2.7f), sdCapsule(p, knee, ankle, 2.3f));
      },
      scaleColour(PANTS, k));
  P.paint(
      [&](Pt p) {
        return sdCapsule(p, add(heel, {0, 0.4f}), add(toe, {0, 0.6f}), 2.3f);
      },
      scaleColour(BOOT, k));
}

Pt drawArm(Painter& P, Pt shoulder, const float* a, bool back, bool drawGlove = true) {
  Pt elbow = add(shoulder, dir(a[0]), 5), hand = add(elbow, dir(a[1]), 4.5f);
  float k = back ? 0.78f : 1.0f;
  P.paint(
      [&](Pt p) {
        return std::min(sdCapsule(p, shoulder, elbow, 2.1f), sdCapsule(p, elbow, hand, 1.9f));
      },
      scaleColour(JACKET, k));
  if (drawGlove) P.paint([&](Pt p) { return sdCircle(p, hand, 2.3f); }, scaleColour(GLOVE, k));
  return hand;
}

// Rotates a body point about the hips by the lean of the upper body.
Pt leaned(Pt p, float lean) {
  float s = std::sin(lean * DEG), k = std::cos(lean * DEG);
  return {p.x * k - p.y * s, p.x * s + p.y * k};
}

void drawHero(Canvas& c, float hipX, float hipY, float angle, bool flip, const Pose& pose) {
  Painter P{c, hipX, hipY + pose.bob, angle, flip};
  auto L = [&](Pt p) { return leaned(p, pose.lean); };
  Pt neck = L({0.4f, -14.5f});
  Pt head = L({0.9f, -22.0f + pose.headDy});

  // Scarf tail, streaming behind.
  {
    float f = pose.scarf;
    Pt a = add(neck, {-2.0f, 0.5f}), b = add(a, {-3.5f, 1.0f + std::sin(f) * 1.5f});
    Pt e = add(b, {-3.0f, 1.5f + std::sin(f + 1.7f) * 2.0f});
    P.paint([&](Pt p) { return std::min(sdCapsule(p, a, b, 1.7f), sdCapsule(p, b, e, 1.3f)); },
            SCARF);
  }
  Pt backShoulder = L({-1.0f, -11.0f}), frontShoulder = L({1.2f, -11.0f});
  float backArm[2] = {pose.arm[0][0] + pose.lean, pose.arm[0][1] + pose.lean};
  float frontArm[2] = {pose.arm[1][0] + pose.lean, pose.arm[1][1] + pose.lean};
  drawArm(P, backShoulder, backArm, true);
  drawLeg(P, {-0.6f, 0.4f}, pose.leg[0], true);
  drawLeg(P, {0.9f, 0.0f}, pose.leg[1], false);

  // Jacket and belt.
  Pt t0 = L({0, -2.8f}), t1 = L({0.3f, -10.0f});
  auto torso = [&](Pt p) { return sdCapsule(p, t0, t1, 5.2f); };
  P.paint(torso, JACKET);
  Pt b0 = L({-6, -1.6f}), b1 = L({6, -1.6f});
  P.paint([&](Pt p) { return std::max(torso(p) + 0.01f, sdCapsule(p, b0, b1, 1.0f)); }, BELT, false,
          false);
  P.paint([&](Pt p) { return sdCircle(p, L({4.0f, -1.6f}), 1.1f); }, BUCKLE, false, false);

  // Head: face, helmet with its stripe and visor.
  auto skull = [&](Pt p) { return sdCircle(p, head, 8.3f); };
  P.paint(skull, SKIN);
  Pt faceC = add(head, {3.8f, 2.9f});
  auto helmet = [&](Pt p) {
    float inFace = std::hypot((p.x - faceC.x) / 7.4f, (p.y - faceC.y) / 6.6f) - 1;
    return std::max(sdCircle(p, head, 8.9f), -inFace * 6.6f);
  };
  P.paint(helmet, HELMET);
  P.paint([&](Pt p) { return std::max(helmet(p), std::abs(p.x - head.x + 1.5f) - 1.2f); }, STRIPE,
          false, false);
  Pt v0 = add(head, {1.5f, -4.0f}), v1 = add(head, {9.4f, -3.6f});
  P.paint([&](Pt p) { return sdCapsule(p, v0, v1, 1.0f); }, HELMET_DARK, true, false);
  if (pose.soot) {
    P.dot(add(head, {2.5f, 4.5f}), SOOT);
    P.dot(add(head, {6.5f, 1.5f}), SOOT);
    P.dot(add(head, {-3.5f, -5.5f}), SOOT);
    P.dot(add(head, {3.5f, -6.5f}), SOOT);
  }
  // Eye and mouth, placed pixel by pixel.
  Pt eye = add(head, {4.6f, 0.9f});
  switch (pose.eyes) {
    case EYES_OPEN:
      for (int j = -1; j <= 1; ++j) {
        P.dot(add(eye, {0, float(j)}), EYE);
        P.dot(add(eye, {1, float(j)}), EYE);
      }
      break;
    case EYES_WIDE:
      for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i)
          P.dot(add(eye, {float(i) + 0.5f, float(j)}), (i || j) ? EYE : STRIPE);
      break;
    case EYES_SHUT:
      P.dot(add(eye, {-0.5f, 1}), EYE), P.dot(add(eye, {0.5f, 1}), EYE),
          P.dot(add(eye, {1.5f, 1}), EYE);
      break;
    case EYES_HAPPY:
      P.dot(add(eye, {-0.5f, 0.5f}), EYE), P.dot(add(eye, {0.5f, -0.5f}), EYE),
          P.dot(add(eye, {1.5f, 0.5f}), EYE);
      break;
    case EYES_X:
      for (int i = -1; i <= 1; ++i)
        P.dot(add(eye, {float(i) + 0.5f, float(i)}), EYE),
            P.dot(add(eye, {float(-i) + 0.5f, float(i)}), EYE);
      break;
  }
  P.dot(add(head, {2.6f, 3.6f}), CHEEK);
  if (pose.mouth == 1) P.dot(add(head, {6.2f, 4.6f}), EYE), P.dot(add(head, {5.2f, 5.2f}), EYE);
  if (pose.mouth == 2)
    for (int j = 0; j < 2; ++j)
      for (int i = 0; i < 2; ++i) P.dot(add(head, {5.0f + i, 4.2f + j}), rgb(0x80, 0x20, 0x30));

  // Scarf knot over the collar.
  P.paint(
      [&](Pt p) {
        return sdCapsule(p, add(neck, {-3.2f, 0.4f}), add(neck, {3.0f, 0.2f}), 1.7f);
      },
      SCARF);

  Pt hand = drawArm(P, frontShoulder, frontArm, false, pose.item == ITEM_NONE);
  if (pose.item == ITEM_BOMB) {
    Pt h = P.toCell(hand);
    drawRoundBomb(c, h.x + (flip ? 1.0f : -1.0f), h.y - 2.6f, 3.9f, flip ? -1 : 1, true);
    P.paint([&](Pt p) { return sdCircle(p, hand, 2.1f); }, GLOVE);
  }
}

// --- Poses ----------------------------------------------------------------

Pose standing() {
  Pose p;
  p.leg[0][0] = -5, p.leg[0][1] = -3;
  p.leg[1][0] = 6, p.leg[1][1] = 3;
  return p;
}

// Puts the lower foot on the ground line.
void plant(Pose& p) {
  float reach = std::max(legReach(p.leg[0]), legReach(p.leg[1]));
  p.bob += 14.5f - reach;
}

Pose idle(int f) {
  Pose p = standing();
  if (f == 1) p.headDy = 0.6f, p.arm[0][0] = -5, p.arm[1][0] = 5;
  if (f == 2) p.eyes = EYES_SHUT, p.headDy = 0.3f;
  p.scarf = f * 1.2f;
  plant(p);
  return p;
}

Pose walk(int f) {
  Pose p;
  float ph = 2 * 3.14159265f * f / 7;
  float s = std::sin(ph), c = std::cos(ph);
  float swing = 30;
  p.leg[1][0] = swing * s;
  p.leg[1][1] = p.leg[1][0] - (8 + 38 * std::max(0.0f, c));
  p.leg[0][0] = -swing * s;
  p.leg[0][1] = p.leg[0][0] - (8 + 38 * std::max(0.0f, -c));
  p.arm[1][0] = -28 * s, p.arm[1][1] = -28 * s + 35;
  p.arm[0][0] = 28 * s, p.arm[0][1] = 28 * s + 35;
  p.lean = 5;
  p.scarf = ph * 2;
  plant(p);
  p.bob -= 0.8f * std::abs(c);
  return p;
}

void riseLegs(Pose& p) {
  p.leg[1][0] = 70, p.leg[1][1] = -10;
  p.leg[0][0] = -12, p.leg[0][1] = -30;
  p.bob = -2;
}
void fallLegs(Pose& p, int f) {
  p.leg[1][0] = 25 + 8 * f, p.leg[1][1] = -5;
  p.leg[0][0] = -18 + 6 * f, p.leg[0][1] = -35;
  p.bob = -1;
}

Pose air(int col) {
  Pose p;
  if (col == 0) {
    riseLegs(p);
    p.arm[1][0] = 150, p.arm[1][1] = 170;
    p.arm[0][0] = -60, p.arm[0][1] = -30;
    p.scarf = 2;
  } else {
    fallLegs(p, col - 1);
    p.arm[1][0] = 115 + 20 * (col - 1), p.arm[1][1] = 150 + 15 * (col - 1);
    p.arm[0][0] = -120 - 15 * (col - 1), p.arm[0][1] = -150;
    p.eyes = EYES_WIDE;
    p.scarf = 4 + col;
  }
  return p;
}

// Arms while holding a thrown bomb ready, or carrying a barrel in front.
void holdArms(Pose& p) {
  p.arm[1][0] = -140, p.arm[1][1] = -172;
  p.arm[0][0] = 50, p.arm[0][1] = 85;
  p.item = ITEM_BOMB;
  p.mouth = 1;
}
void carryArms(Pose& p) {
  p.arm[1][0] = 55, p.arm[1][1] = 95;
  p.arm[0][0] = 65, p.arm[0][1] = 100;
  p.lean -= 4;
  p.mouth = 2;
}

Pose throwPose() {
  Pose p = standing();
  p.leg[0][0] = -22, p.leg[0][1] = -30;
  p.leg[1][0] = 18, p.leg[1][1] = 8;
  p.arm[1][0] = 95, p.arm[1][1] = 100;
  p.arm[0][0] = -60, p.arm[0][1] = -40;
  p.lean = 10;
  p.mouth = 2;
  plant(p);
  return p;
}

// The 25 x 50 pose of a row and column of the play sheet (facing right;
// the rows for the left are mirrors).
Pose playPose(int rowPair, int col) {
  switch (rowPair) {
    case 0: return idle(col);
    case 1: return walk(col);
    case 2: return air(col);
    case 3: {
      if (col == 1) return throwPose();
      Pose p = standing();
      p.leg[0][0] = -12, p.leg[1][0] = 12;
      holdArms(p);
      plant(p);
      return p;
    }
    case 4: {
      Pose p = standing();
      carryArms(p);
      plant(p);
      return p;
    }
    case 7: {
      Pose p = walk(col);
      holdArms(p);
      return p;
    }
    case 8: {
      Pose p = air(col);
      holdArms(p);
      p.eyes = EYES_OPEN;
      return p;
    }
    case 9: {
      Pose p = walk(col);
      p.lean = 0;
      carryArms(p);
      return p;
    }
    case 10: {
      Pose p = air(col);
      carryArms(p);
      p.eyes = EYES_OPEN;
      return p;
    }
  }
  return standing();
}

// Little helpers for the miss and menu pictures.
void drawStar(Canvas& c, float x, float y, float r, uint32_t col) {
  std::vector<Pt> pts;
  for (int k = 0; k < 10; ++k) {
    float a = (-90 + 36 * k) * DEG, rr = (k % 2) ? r * 0.45f : r;
    pts.push_back({x + rr * std::cos(a), y + rr * std::sin(a)});
  }
  Canvas tmp(c.w, c.h, c.key);
  fillPolygon(tmp, pts, col);
  outlineOpaque(tmp, INK);
  pasteKeyed(c, tmp, 0, 0);
}
void drawSmokePuff(Canvas& c, float x, float y, float r) {
  Canvas tmp(c.w, c.h, c.key);
  fillCircle(tmp, x, y, r, rgb(0x9a, 0x98, 0xa6));
  fillCircle(tmp, x + r * 0.8f, y + r * 0.3f, r * 0.75f, rgb(0x9a, 0x98, 0xa6));
  fillCircle(tmp, x - r * 0.2f, y - r * 0.3f, r * 0.55f, rgb(0xc4, 0xc2, 0xcc));
  outlineOpaque(tmp, INK);
  pasteKeyed(c, tmp, 0, 0);
}

// 50 x 50 pictures. Facing right the figure keeps to the left half; the
// pictures for the left are whole mirrors.
Canvas missFall(int k, bool flip) {
  Canvas c(50, 50);
  if (k == 0) {
    Pose p = standing();
    p.arm[1][0] = 150, p.arm[1][1] = 175;
    p.arm[0][0] = -150, p.arm[0][1] = -175;
    p.eyes = EYES_WIDE, p.mouth = 2;
    plant(p);
    p.bob -= 1;
    drawHero(c, 12.5f, 33, 0, flip, p);
    return c;
  }
  Pose p;
  p.eyes = EYES_X, p.mouth = 2, p.soot = true;
  if (k == 1) {
    p.leg[1][0] = 60, p.leg[1][1] = 20;
    p.leg[0][0] = 20, p.leg[0][1] = -20;
    p.arm[1][0] = 160, p.arm[1][1] = 200;
    p.arm[0][0] = -140, p.arm[0][1] = -190;
    drawHero(c, 28, 33, -55, flip, p);
    drawSmokePuff(c, flip ? 50 - 44.f : 44.f, 40, 4.0f);
  } else {
    p.leg[1][0] = 20, p.leg[1][1] = 10;
    p.leg[0][0] = -10, p.leg[0][1] = -20;
    p.arm[1][0] = 150, p.arm[1][1] = 120;
    p.arm[0][0] = -150, p.arm[0][1] = -120;
    drawHero(c, 31.5f, 38, -88, flip, p);
    drawSmokePuff(c, flip ? 50 - 12.f : 12.f, 17, 4);
    drawSmokePuff(c, flip ? 50 - 18.f : 18.f, 9, 2.5f);
  }
  return c;
}

Canvas menuPose(int f) {
  Canvas c(50, 50);
  Pose p;
  p.leg[1][0] = 75, p.leg[1][1] = 100;
  p.leg[0][0] = 85, p.leg[0][1] = 95;
  p.arm[1][0] = 25, p.arm[1][1] = 5;
  p.arm[0][0] = -35, p.arm[0][1] = -20;
  p.eyes = EYES_X, p.soot = true, p.mouth = 2;
  p.headDy = (f % 2) ? 0.5f : 0;
  p.scarf = f;
  // Three stars circle the head; the ones behind are drawn first.
  Pt head{17.4f, 44 - 22.0f};
  auto star = [&](bool front) {
    for (int k = 0; k < 3; ++k) {
      float a = 2 * 3.14159265f * (f / 7.0f + k / 3.0f);
      bool isFront = std::sin(a) > 0;
      if (isFront != front) continue;
      drawStar(c, head.x + 12.5f * std::cos(a), head.y - 5 + 3.5f * std::sin(a), 3.4f,
               k == 0   ? rgb(0xff, 0xe0, 0x40)
               : k == 1 ? rgb(0xff, 0xa0, 0x40)
                        : rgb(0x80, 0xe0, 0xff));
    }
  };
  star(false);
  drawHero(c, 16.5f, 44, 0, false, p);
  star(true);
  return c;
}

Canvas standUp(int k, bool flip) {
  Canvas c(50, 50);
  Pose p = standing();
  if (k == 0) {
    p.leg[1][0] = 75, p.leg[1][1] = -20;
    p.leg[0][0] = 40, p.leg[0][1] = -60;
    p.arm[1][0] = 60, p.arm[1][1] = 10;
    p.arm[0][0] = 30, p.arm[0][1] = 0;
    p.lean = 20, p.eyes = EYES_SHUT, p.soot = true;
    plant(p);
  } else if (k == 1) {
    p.arm[1][0] = 40, p.arm[1][1] = 120;
    p.arm[0][0] = -40, p.arm[0][1] = -100;
    p.eyes = EYES_SHUT, p.mouth = 1;
    plant(p);
  } else {
    p.arm[1][0] = 165, p.arm[1][1] = 185;
    p.arm[0][0] = -20, p.arm[0][1] = 20;
    p.eyes = EYES_HAPPY, p.mouth = 2;
    plant(p);
  }
  drawHero(c, 12.5f, 33, 0, flip, p);
  return c;
}

}  // namespace

Canvas drawPlayerSheet() {
  Canvas sheet(350, 1450);
  // Row pairs: (left row, right row) and the number of columns.
  struct RowPair {
    int left, right, columns, kind;
  };
  const RowPair rows[] = {{0, 1, 3, 0},   {2, 3, 7, 1},   {4, 5, 3, 2},
                          {6, 7, 2, 3},   {8, 9, 1, 4},   {14, 15, 7, 7},
                          {16, 17, 3, 8}, {18, 19, 7, 9}, {20, 21, 3, 10}};
  for (const RowPair& r : rows)
    for (int col = 0; col < r.columns; ++col) {
      Pose p = playPose(r.kind, col);
      for (int side = 0; side < 2; ++side) {
        Canvas cell(25, 50);
        drawHero(cell, 12.0f, 33, 0, side == 0, p);
        paste(sheet, cell, 25 * col, 50 * (side == 0 ? r.left : r.right));
      }
    }
  for (int k = 0; k < 3; ++k) {
    paste(sheet, missFall(k, false), 50 * k, 1200);
    paste(sheet, missFall(k, true), 50 * k, 1250);
    paste(sheet, standUp(k, false), 50 * k, 1350);
    paste(sheet, standUp(k, true), 50 * k, 1400);
  }
  for (int f = 0; f < 7; ++f) paste(sheet, menuPose(f), 50 * f, 1300);
  return sheet;
}

Canvas drawEndingWalker(const Canvas& player) { return crop(player, 0, 0, 175, 200); }

Canvas drawSpareSheet(const Canvas& player) { return crop(player, 0, 50, 25, 50); }

// Vanishing: a flash swallows the hero, a beam narrows and the sparks rise
// away. Played backwards it is the arrival.
Canvas drawWarpEffect(const Canvas& player) {
  Canvas sheet(800, 50);
  Canvas hero = crop(player, 0, 50, 25, 50);
  for (int f = 0; f < 16; ++f) {
    Canvas c(50, 50);
    float t = f / 15.0f;
    // Beam: opens wide over the first frames, then narrows to a thread.
    const float widths[16] = {3, 7, 11, 14, 15, 14, 12, 10, 8, 6, 4.5f, 3, 2, 1.2f, 0.7f, 0};
    float bw = widths[f];
    if (bw > 0.5f)
      for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 50; ++x) {
          float d = std::abs(x + 0.5f - 21.5f) / bw;
          if (d > 1) continue;
          float fade = std::min(1.0f, (y + 4) / 18.0f);
          if (hashNoise(x, y + f * 50, 3) > fade * 0.9f + 0.1f) continue;
          c.set(x, y,
                d < 0.35f ? rgb(0xf4, 0xfe, 0xff)
                          : mix(rgb(0xa0, 0xf0, 0xff), rgb(0x30, 0xa8, 0xf0), d));
        }
    // The hero, whitening and dissolving, in front of the beam.
    if (f < 7)
      for (int y = 0; y < 41; ++y)
        for (int x = 0; x < 25; ++x) {
          uint32_t p = hero.get(x, y);
          if (p == KEY_WHITE || hashNoise(x, y, 7) < f / 7.0f) continue;
          c.set(x + 9, y + 9, mix(p, rgb(0xd0, 0xf8, 0xff), f / 7.0f));
        }
    // Sparks rising in a spiral.
    for (int k = 0; k < 9; ++k) {
      float a = k * 2.4f + t * 7;
      float rise = std::fmod(k * 9.0f + t * 60, 60.0f);
      float rad = (1 - t) * 15 + 3;
      float x = 21.5f + std::cos(a) * rad, y = 48 - rise;
      float r = (1 - t) * 3.5f + 1.5f;
      if (y < 2) continue;
      drawSparkle(c, x, y, r, k % 2 ? rgb(0x60, 0xd8, 0xff) : rgb(0xff, 0xe0, 0x60),
                  rgb(0xfa, 0xfe, 0xff));
    }
    paste(sheet, c, 50 * f, 0);
  }
  return sheet;
}

// A soft oval: the middle columns dark all the way down, the ends thin.
Canvas drawShadow() {
  Canvas c(20, 5);
  for (int x = 0; x < 20; ++x) {
    float u = (x + 0.5f - 10) / 10.0f;
    float half = 2.5f * std::sqrt(std::max(0.0f, 1 - u * u));
    for (int y = 0; y < 5; ++y) {
      float v = std::abs(y + 0.5f - 2.5f);
      if (v <= std::max(half, 0.5f))
        c.set(x, y, mix(rgb(0x14, 0x10, 0x1c), rgb(0x30, 0x2a, 0x3a), v / 2.5f));
    }
  }
  return c;
}
