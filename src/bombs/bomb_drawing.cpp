// Bomb bodies on the stage and the blast animations, into the back buffer.
#include "bombs/bomb_state.h"
#include "platform/sound.h"
#include "platform/sprite.h"
#include "stage/assets.h"

static void drawBombCell(float x, float y, float camX, float camY, SheetCell c) {
  blitKeyedStretched(assets.backBufferDC, truncToInt(x - camX), truncToInt(y - camY), 25, 25,
                     assets.bombSheet, c.x, c.y, c.w, c.h, COLOR_WHITE);
}

void drawBombsOnStage(const float* thrownX, const float* thrownY, const float* barrelX,
                      const float* barrelY, const float* rollingX, const float* rollingY,
                      const int32_t* countdown, float camX, float camY, int facing,
                      const int32_t* thrownState, const int32_t* rollingState) {
  int nThrown = slotLimit(bombs.thrownBombCount);
  for (int i = 0; i < nThrown; i++) {
    // A bomb in flight keeps the facing it was thrown with.
    if (thrownState[i] == BOMB_HELD) bombs.facingColumn[i] = facing == 1 ? 0 : 1;
    drawBombCell(thrownX[i], thrownY[i], camX, camY, thrownBombFrame(bombs.facingColumn[i]));
  }

  int nRolling = slotLimit(bombs.rollingBombCount);
  for (int i = 0; i < nRolling; i++) {
    if (rollingState[i] == BOMB_HELD) bombs.facingRow[i] = facing == 1 ? 0 : 1;
    drawBombCell(rollingX[i], rollingY[i], camX, camY,
                 rollingBombFrame(bombs.rollFrame[i], bombs.facingRow[i]));
    bombs.rollFrame[i] = bombs.rollFrame[i] >= 3 ? 0 : bombs.rollFrame[i] + 1;
  }

  int nBarrel = slotLimit(bombs.barrelBombCount);
  for (int i = 0; i < nBarrel; i++) {
    int c = countdown[i];
    if (c >= 4) {
      bombs.blinkTimer[i] = 0;
      bombs.blink[i] = 0;
    }
    // Blinks faster as the fuse burns down: every 9, 5, then 2 frames.
    if ((c < 2 && bombs.blinkTimer[i] > 1) || (c == 2 && bombs.blinkTimer[i] > 4) ||
        (c == 3 && bombs.blinkTimer[i] > 8)) {
      bombs.blinkTimer[i] = 0;
      bombs.blink[i] = 1 - bombs.blink[i];
    }
    drawBombCell(barrelX[i], barrelY[i], camX, camY, barrelBombFrame(bombs.blink[i]));
  }
  // A barrel overlapping another from the left or from above is drawn over it.
  for (int i = 0; i < nBarrel; i++) {
    for (int j = 0; j < nBarrel; j++) {
      float dx = barrelX[j] + 25 - barrelX[i];
      if (barrelX[i] > barrelX[j] && dx >= 0 && dx <= 20)
        drawBombCell(barrelX[j], barrelY[j], camX, camY, barrelBombFrame(bombs.blink[j]));
      float dy = barrelY[j] + 25 - barrelY[i];
      if (barrelY[i] > barrelY[j] && dy >= 0 && dy <= 20)
        drawBombCell(barrelX[j], barrelY[j], camX, camY, barrelBombFrame(bombs.blink[j]));
    }
  }
  for (int i = 0; i < nBarrel; i++) bombs.blinkTimer[i] += 1;
}

// Starts the animation of every slot that went off this frame and draws one
// picture of every running animation.
static void drawBlasts(const float* x, const float* y, int32_t* state, int count,
                       BlastAnimation* anims, float camX, float camY, int size, int dx, int dy) {
  int n = slotLimit(count);
  for (int i = 0; i < n; i++) {
    BlastAnimation& a = anims[i];
    if (state[i] == BOMB_BLAST) {
      state[i] = BOMB_SPENT;
      a.x = truncToInt(x[i]);
      a.y = truncToInt(y[i]);
      a.active = 1;
      playWave("SE/Tbomb.wav");
    }
    if (!a.active) continue;
    if (a.frame < 0 || a.frame >= BLAST_FRAMES) a.frame = 0;
    const SheetCell f = blastFrame(a.frame);
    blitKeyedStretched(assets.backBufferDC, truncToInt((float)a.x - camX - dx),
                       truncToInt((float)a.y - camY - dy), size, size, assets.blastSheet, f.x, f.y,
                       f.w, f.h, 0);
    a.frame += 1;
    if (a.frame >= BLAST_FRAMES) {
      a.frame = 0;
      a.active = 0;
    }
  }
}

void drawThrownBlasts(const float* x, const float* y, int32_t* state, float camX, float camY) {
  drawBlasts(x, y, state, bombs.thrownBombCount, bombs.thrownBlast, camX, camY, 70, 28, 25);
}

void drawRollingBlasts(const float* x, const float* y, int32_t* state, float camX, float camY) {
  drawBlasts(x, y, state, bombs.rollingBombCount, bombs.rollingBlast, camX, camY, 40, 10, 10);
}

void drawBarrelBlasts(const float* x, const float* y, int32_t* state, float camX, float camY) {
  drawBlasts(x, y, state, bombs.barrelBombCount, bombs.barrelBlast, camX, camY, 125, 50, 50);
}
