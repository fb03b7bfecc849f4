// The thrown bomb: aimed while Q is held, thrown in an arc on release, and
// set off as soon as its 15 x 15 box touches something solid.
#include <cmath>
#include <cstdlib>

#include "bombs/bomb_state.h"
#include "platform/input.h"
#include "platform/sprite.h"
#include "platform/trig.h"
#include "stage/assets.h"
#include "stage/stage_state.h"

// tan over -90 .. 89 degrees: the low table holds -90 .. -1, the high one 0 .. 89.
// The reach of a throw at full speed, computed once.
static const float FULL_RANGE =
    (float)(std::pow(THROW_SPEED, 2) * std::sin(-1.570796326794895) / GRAVITY);

static float tanOfDegrees(int phi) {
  if (phi < -90) phi = -90;
  if (phi > 89) phi = 89;
  return phi >= 0 ? trig.tanHigh[phi] : trig.tanLow[phi + 90];
}

static float cosOfDegrees(int phi) {
  int k = std::abs(phi);
  if (k > 180) k = 180;
  return trig.cosNeg[k];  // cos is even: the table's -k is +k
}

// Height of the arc above its origin at horizontal distance u.
static float arcHeight(int i, float u) {
  int phi = bombs.aimBase[i] - bombs.aimAngle[i];
  float rise = u * tanOfDegrees(phi);
  float speedCos = THROW_SPEED * cosOfDegrees(phi);
  return (float)((double)rise - GRAVITY / 2 * u * u / std::pow((double)speedCos, 2));
}

// Steeper throws carry less far per frame.
static double rangeFactor(int i) {
  int a = bombs.aimAngle[i];
  if (bombs.throwDirX[i] == 1) {
    if (a <= -79) return 0.8;
    if (a <= -70) return 1.0;
    return 1.15;
  }
  if (a >= -12) return 0.8;
  if (a >= -20) return 1.0;
  return 1.15;
}

static void aimSlot(int i, float playerX, float playerY, int facing) {
  if (facing == 1) {
    bombs.throwDirX[i] = 1;
    bombs.aimBase[i] = 0;
    bombs.mirrorSign[i] = -1;
  } else if (facing == -1) {
    bombs.throwDirX[i] = -1;
    bombs.aimBase[i] = -90;
    bombs.mirrorSign[i] = 1;
  }
  bombs.arcU[i] = 0;
  bombs.arcRise[i] = 0;
  bombs.startX[i] = playerX + THROW_HAND_X - 1;
  bombs.startY[i] = playerY + THROW_HAND_Y - 1;

  // Turning round keeps the elevation: mirror the angle to the new side.
  int m = -90 - bombs.aimAngle[i];
  if (bombs.mirrorSign[i] == -1 && bombs.aimAngle[i] > -45) bombs.aimAngle[i] = m;
  if (bombs.mirrorSign[i] == 1 && bombs.aimAngle[i] < -45) bombs.aimAngle[i] = m;

  if (isKeyDown(VK_DOWN)) {  // steeper, up to 79 degrees
    if (bombs.mirrorSign[i] == -1 && bombs.aimAngle[i] > -79) bombs.aimAngle[i] -= 2;
    if (bombs.mirrorSign[i] == 1 && bombs.aimAngle[i] < -11) bombs.aimAngle[i] += 2;
  }
  if (isKeyDown(VK_UP)) {  // flatter, down to 45 degrees
    if (bombs.mirrorSign[i] == -1 && bombs.aimAngle[i] < -45) bombs.aimAngle[i] += 2;
    if (bombs.mirrorSign[i] == 1 && bombs.aimAngle[i] > -45) bombs.aimAngle[i] -= 2;
  }
}

static void launchSlot(int i, float playerX, float playerY, int32_t* state) {
  state[i] = BOMB_LIVE;
  bombs.arcU[i] = 0;
  bombs.arcRise[i] = 0;
  int k = std::abs(2 * bombs.aimAngle[i]);
  if (k > 180) k = 180;
  bombs.throwRange[i] = (float)(std::pow(THROW_SPEED, 2) * trig.sinNeg[k] / GRAVITY);
  bombs.launchX[i] = playerX;
  bombs.launchY[i] = playerY;
}

static void flySlot(int i, float* x, float* y) {
  if (y[i] > bombs.launchY[i] + 50 - 1) {
    // Well below the thrower: carry on along a straight line.
    bombs.arcRise[i] += bombs.riseStep[i];
  } else {
    float old = bombs.arcRise[i];
    bombs.arcRise[i] = arcHeight(i, bombs.arcU[i]);
    bombs.riseStep[i] = bombs.arcRise[i] - old;
  }
  float q = (bombs.throwRange[i] - bombs.launchX[i]) / (FULL_RANGE - bombs.launchX[i]);
  bombs.arcU[i] =
      (float)((double)bombs.arcU[i] + (double)q * 10 * bombs.throwDirX[i] * rangeFactor(i));
  x[i] = bombs.arcU[i] + bombs.startX[i] - 7 - 1;
  y[i] = -bombs.arcRise[i] + bombs.startY[i] - 7 + 1;
}

void steerThrownBombs(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                      int keyW, int keyE, int facing) {
  refillBombSlots(x, y, state, BOMB_READY, nullptr);
  int n = slotLimit(bombs.thrownBombCount);
  if (keyTakesBomb(keyQ, keyW, keyE)) {
    int taken = takeReadySlot(state, n);
    if (taken >= 0) bombs.aimAngle[taken] = AIM_START_ANGLE;
  }
  for (int i = 0; i < n; i++) {
    if ((keyQ == KEY_PRESSED || keyQ == KEY_HELD) && state[i] == BOMB_HELD)
      aimSlot(i, playerX, playerY, facing);
    if (keyQ == KEY_RELEASED && state[i] == BOMB_HELD) launchSlot(i, playerX, playerY, state);
  }
  for (int i = 0; i < n; i++)
    if (state[i] == BOMB_LIVE) flySlot(i, x, y);
}

void updateThrownBombs(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                       int keyW, int keyE, int facing) {
  steerThrownBombs(playerX, playerY, x, y, state, keyQ, keyW, keyE, facing);
  int n = slotLimit(bombs.thrownBombCount);
  float rightEdge = (float)((stage.stageCols - 1) * 25);
  float bottomEdge = (float)((stage.stageRows - 1) * 25);
  for (int i = 0; i < n; i++) {
    if (state[i] != BOMB_LIVE) continue;
    // Out through the sides or the bottom: gone without a blast. Nothing
    // removes a bomb above the top; the probes read nothing there.
    if (x[i] < 0 || x[i] + 15 > rightEdge || y[i] + 15 > bottomEdge) state[i] = BOMB_SPENT;
    int side = -1;
    if (blockedRight(x[i], y[i], PROBE_THROWN))
      side = SIDE_RIGHT;
    else if (blockedLeft(x[i], y[i], PROBE_THROWN))
      side = SIDE_LEFT;
    else if (blockedBelow(x[i], y[i], PROBE_THROWN))
      side = SIDE_BELOW;
    else if (blockedAbove(x[i], y[i], PROBE_THROWN))
      side = SIDE_ABOVE;
    if (side >= 0) {
      state[i] = BOMB_BLAST;
      thrownBombBlast(x[i], y[i], side);
    }
  }
}

int computeThrowPreview(int i, float camX, float camY, int facing, int* dotX, int* dotY,
                        int maxDots) {
  if (i < 0 || i >= MAX_BOMB_SLOTS || bombs.throwDirX[i] == 0) return 0;
  float width = (float)(stage.stageCols * 25);
  float height = (float)(stage.stageRows * 25);
  float off = facing == 1 ? PREVIEW_OFFSET_RIGHT : PREVIEW_OFFSET_LEFT;
  float lastU = bombs.arcU[i];
  float lastRise = bombs.arcRise[i];
  int dots = 0;
  // The arc moves 3 px sideways each step, so it leaves the stage after at
  // most a few thousand steps; the cap only guards a damaged stage size.
  for (int step = 0; step < 100000; step++) {
    bombs.arcRise[i] = arcHeight(i, bombs.arcU[i]);
    if (std::abs(truncToInt(bombs.arcRise[i] - lastRise)) > 10 ||
        std::abs(truncToInt(bombs.arcU[i] - lastU)) > 15) {
      if (dots < maxDots) {
        dotX[dots] = truncToInt(bombs.arcU[i] + bombs.startX[i] - camX + off);
        dotY[dots] = truncToInt(-bombs.arcRise[i] + bombs.startY[i] - camY + 3);
      }
      dots++;
      lastU = bombs.arcU[i];
      lastRise = bombs.arcRise[i];
    }
    bombs.arcU[i] = (float)((double)bombs.arcU[i] + bombs.throwDirX[i] * 3.0);
    float px = bombs.arcU[i] + bombs.startX[i];
    float py = (float)((double)(-bombs.arcRise[i] + bombs.startY[i]) - 3.125);
    // The arc is only drawn over the stage itself.
    if (!(px >= 0 && px < width && py >= 0 && py < height)) break;
    if (blockedBelow(px, py, PROBE_THROWN) || blockedAbove(px, py, PROBE_THROWN) ||
        blockedLeft(px, py, PROBE_THROWN) || blockedRight(px, py, PROBE_THROWN))
      break;
  }
  return dots;
}

void drawThrowPreview(const int32_t* state, int keyQ, float camX, float camY, int facing) {
  if (keyQ != KEY_HELD) return;
  int n = slotLimit(bombs.thrownBombCount);
  int32_t* dotX = bombs.previewDotX;
  int32_t* dotY = bombs.previewDotY;
  for (int i = 0; i < n; i++) {
    if (state[i] != BOMB_HELD) continue;
    int dots = computeThrowPreview(i, camX, camY, facing, dotX, dotY, MAX_PREVIEW_DOTS);
    if (dots > MAX_PREVIEW_DOTS) dots = MAX_PREVIEW_DOTS;
    for (int d = 0; d < dots; d++)
      blitKeyedStretched(assets.backBufferDC, dotX[d], dotY[d], 3, 3, assets.aimSheet, AIM_DOT.x,
                         AIM_DOT.y, AIM_DOT.w, AIM_DOT.h, COLOR_WHITE);
  }
}
