// The barrel bomb once set down: it falls, is pushed out of walls, stacks on
// other barrels, presses weight switches and goes off when its fuse is out.
#include "bombs/bomb_state.h"
#include "stage/stage_state.h"

static void pressWeightSwitch(int row, int col) {
  MapCell& cell = cellAt(row, col);
  cell.state = 1;
  triggerSwitchTarget(cell.linkRow, cell.linkCol);
}

static void landBarrel(int i, float* x, float* y) {
  if (!blockedBelow(x[i], y[i], PROBE_BARREL)) return;
  int top, bottom, left, right, cc, cr;
  cellSpan(x[i], y[i], PROBE_BARREL, &top, &bottom, &left, &right, &cc, &cr);
  // Pressed again every frame it rests here, which keeps the gate open.
  if (cellAt(bottom, left).kind == WEIGHT_SWITCH)
    pressWeightSwitch(bottom, left);
  else if (cellAt(bottom, right).kind == WEIGHT_SWITCH)
    pressWeightSwitch(bottom, right);
  bombs.barrelFallSpeed[i] = 0;
  y[i] = (float)(bottom * 25 - 20);
}

static void pushOutOfWalls(int i, float* x, float* y) {
  int top, bottom, left, right, cc, cr;
  if (blockedLeft(x[i], y[i], PROBE_BARREL)) {
    cellSpan(x[i], y[i], PROBE_BARREL, &top, &bottom, &left, &right, &cc, &cr);
    x[i] = (float)((double)(left * 25 + 20) + 6.25);
  }
  if (blockedRight(x[i], y[i], PROBE_BARREL)) {
    cellSpan(x[i], y[i], PROBE_BARREL, &top, &bottom, &left, &right, &cc, &cr);
    x[i] = (float)(right * 25 - 20);
  }
}

void updateBarrelBombs(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                       int keyW, int keyE, int facing, int32_t* countdown) {
  runBarrelFuses(playerX, playerY, x, y, state, keyQ, keyW, keyE, facing, countdown);
  int n = slotLimit(bombs.barrelBombCount);
  float rightEdge = (float)((stage.stageCols - 1) * 25);
  float bottomEdge = (float)((stage.stageRows - 1) * 25);
  // Once any barrel rides a platform, barrels stop removing one another for
  // the rest of this frame.
  int onPlatform = 0;
  for (int i = 0; i < n; i++) {
    if (state[i] == BOMB_LIVE) {
      bombs.barrelFallSpeed[i] += 3.0f;
      if (bombs.barrelFallSpeed[i] > 15.0f) bombs.barrelFallSpeed[i] = 15.0f;
      y[i] += bombs.barrelFallSpeed[i];

      // Out of the stage: back to the stock next frame, without a blast.
      if (x[i] < 0 || x[i] + 20 > rightEdge || y[i] + 20 > bottomEdge) state[i] = BOMB_SPENT;

      landBarrel(i, x, y);
      pushOutOfWalls(i, x, y);

      for (int j = 0; j < n; j++) {
        if (state[j] != BOMB_LIVE) continue;
        float px = x[i], py = y[i];
        if (carryOnPlatform(&px, &py)) onPlatform = 1;
        x[i] = px;
        y[i] = py;
        if (restsOnTop(x[i], y[i], x[j], y[j], PROBE_BARREL)) {
          bombs.barrelFallSpeed[i] = 0;
          y[i] = y[j] - 20;
        } else if ((overlapsFromRight(x[i], y[i], x[j], y[j], PROBE_BARREL) ||
                    overlapsFromLeft(x[i], y[i], x[j], y[j], PROBE_BARREL)) &&
                   onPlatform == 0) {
          state[j] = BOMB_SPENT;
        }
        if (overlapsFromBelow(x[i], y[i], x[j], y[j], PROBE_BARREL) && onPlatform == 0)
          state[j] = BOMB_SPENT;
      }
    }
    if (state[i] == BOMB_BLAST) {
      barrelBombBlast(x[i], y[i]);
      bombs.barrelFallSpeed[i] = 0;
    }
  }
}
