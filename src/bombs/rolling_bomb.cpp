// The rolling bomb: carried while E is held, then rolls 8 px per frame,
// falls, rides platforms and goes off against the first wall it meets.
#include "bombs/bomb_state.h"
#include "stage/stage_state.h"

void steerRollingBombs(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                       int keyW, int keyE, int facing) {
  refillBombSlots(x, y, state, BOMB_READY, nullptr);
  int n = slotLimit(bombs.rollingBombCount);
  if (keyTakesBomb(keyE, keyQ, keyW)) takeReadySlot(state, n);
  for (int i = 0; i < n; i++) {
    if (state[i] == BOMB_HELD) {
      if (keyE == KEY_HELD) {
        if (facing == 1) {
          x[i] = playerX + 12;
          bombs.rollDirection[i] = 1;
        } else if (facing == -1) {
          x[i] = playerX - 2;
          bombs.rollDirection[i] = -1;
        }
        y[i] = playerY + 15;
      }
      // Let go: it starts rolling on the next frame.
      if (keyE == KEY_RELEASED) state[i] = BOMB_LIVE;
    } else if (state[i] == BOMB_LIVE) {
      x[i] += bombs.rollDirection[i] * 8;
    }
    if (state[i] == BOMB_BLAST) state[i] = BOMB_READY;
  }
}

// Carries a 20 x 20 box standing on the first platform under it; returns 1
// when one was found.
int carryOnPlatform(float* x, float* y) {
  for (MovingPlatform* p = stage.platforms; p; p = p->next) {
    if (p->x + 25 > *x && *x + 20 > p->x && p->y + 25 > *y + 20 && *y + 20 > p->y) {
      *y = p->y - 20;
      if (p->axis == 0) {
        *x += p->direction * 3;
      } else if (p->axis == 1) {
        double step = p->direction == -1 ? p->direction * 3 + 3.125 : p->direction * 3 - 3.125;
        *y = (float)((double)*y + step);
      }
      return 1;
    }
  }
  return 0;
}

void updateRollingBombs(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                        int keyW, int keyE, int facing, int32_t* /*extra*/) {
  steerRollingBombs(playerX, playerY, x, y, state, keyQ, keyW, keyE, facing);
  int n = slotLimit(bombs.rollingBombCount);
  float rightEdge = (float)((stage.stageCols - 1) * 25);
  float bottomEdge = (float)((stage.stageRows - 1) * 25);
  for (int i = 0; i < n; i++) {
    if (state[i] != BOMB_LIVE) continue;
    bombs.rollFallSpeed[i] += 1.0f;
    if (bombs.rollFallSpeed[i] > 10.0f) bombs.rollFallSpeed[i] = 10.0f;
    y[i] += bombs.rollFallSpeed[i];

    if (x[i] < 0 || x[i] + 20 > rightEdge || y[i] + 20 > bottomEdge) {
      bombs.rollFallSpeed[i] = 0;
      state[i] = BOMB_SPENT;
    }

    // The platform's speed is taken over, so the fall starts again from rest.
    float px = x[i], py = y[i];
    if (carryOnPlatform(&px, &py)) bombs.rollFallSpeed[i] = 0;
    x[i] = px;
    y[i] = py;

    if (blockedBelow(x[i], y[i], PROBE_ROLLING)) {
      int top, bottom, left, right, cc, cr;
      cellSpan(x[i], y[i], PROBE_ROLLING, &top, &bottom, &left, &right, &cc, &cr);
      y[i] = (float)(bottom * 25 - 20);
      bombs.rollFallSpeed[i] = 0;
    }

    int side = -1;
    if (blockedRight(x[i], y[i], PROBE_ROLLING))
      side = SIDE_RIGHT;
    else if (blockedLeft(x[i], y[i], PROBE_ROLLING))
      side = SIDE_LEFT;
    if (side >= 0) {
      bombs.rollFallSpeed[i] = 0;
      state[i] = BOMB_BLAST;
      rollingBombBlast(x[i], y[i], side);
    }
  }
}
