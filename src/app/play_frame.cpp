// One frame of play: keys, player, bombs, camera, then the stage and
// everything on it drawn in a fixed order, the bomb display on top and the
// fade cover over all.
#include <algorithm>

#include "app/app_state.h"
#include "app/stage_drawing.h"
#include "bombs/bomb_state.h"
#include "platform/input.h"
#include "platform/os.h"
#include "player/player_state.h"
#include "stage/stage_state.h"

// While either warp runs, neither keys nor gravity act on the player and
// the player is not drawn; asked afresh at each step because the warps
// start and end within the frame.
static bool isWarping() { return player.stageWarpPhase != 0 || player.localWarpPhase != 0; }

void updateKeyEdge(int key, int32_t* edge) {
  if (isKeyDown(key))
    *edge = *edge != KEY_UP ? KEY_HELD : KEY_PRESSED;
  else
    *edge = *edge == KEY_HELD ? KEY_RELEASED : KEY_UP;
}

void readBombKeys(int32_t* keyQ, int32_t* keyW, int32_t* keyE) {
  updateKeyEdge(VK_Q, keyQ);
  updateKeyEdge(VK_W, keyW);
  updateKeyEdge(VK_E, keyE);
}

void drawFadeCover(int opacity) {
  const SheetCell c = SCREEN_PICTURE;
  blitKeyedBlended(assets.backBufferDC, 0, 0, 640, 480, assets.blackSheet, c.x, c.y, c.w, c.h,
                   opacity, COLOR_WHITE);
}

// Counts beyond the ten slots of each kind are not supported; they are held
// to the arrays so that no write lands outside them.

static void resetKind(BombArrays& kind, int32_t count) {
  for (int i = 0; i < slotLimit(count); i++) {
    kind.x[i] = -50;
    kind.y[i] = -50;
    kind.state[i] = 0;
  }
}

void resetBombs() {
  GameSession& s = app.session;
  resetKind(s.thrown, bombs.thrownBombCount);
  resetKind(s.barrel, bombs.barrelBombCount);
  resetKind(s.rolling, bombs.rollingBombCount);
}

static void updateStageClock() {
  app.stageElapsedMs = osMsSince(app.stageStartMs);
  app.stageMinutes = app.stageElapsedMs / 60000;
  app.stageSeconds = app.stageElapsedMs / 1000 - app.stageMinutes * 60;
}

void drawStageObjects(GameSession& s, int frontEdges) {
  drawBombsOnStage(s.thrown.x, s.thrown.y, s.barrel.x, s.barrel.y, s.rolling.x, s.rolling.y,
                   s.barrel.extra, s.cameraX, s.cameraY, s.facing, s.thrown.state, s.rolling.state);
  if (frontEdges) drawFrontEdges(s.cameraX, s.cameraY, s.barrel.x);
  drawBarrelBlasts(s.barrel.x, s.barrel.y, s.barrel.state, s.cameraX, s.cameraY);
  drawThrownBlasts(s.thrown.x, s.thrown.y, s.thrown.state, s.cameraX, s.cameraY);
  drawRollingBlasts(s.rolling.x, s.rolling.y, s.rolling.state, s.cameraX, s.cameraY);
  drawBombHud(s.thrown.state, s.barrel.state, s.rolling.state);
  updateStageTimers();
}

void playFrame() {
  GameSession& s = app.session;
  if (!isWarping()) {
    updatePlayerActions(&s.playerX, &s.playerY, &s.facing);
    updatePlayerMovement(&s.playerX, &s.playerY, s.barrel.x, s.barrel.y, s.barrel.state,
                         &s.verticalState);
    readBombKeys(&s.keyQ, &s.keyW, &s.keyE);
  }
  if (stage.barrelBombFound)
    updateBarrelBombs(s.playerX, s.playerY, s.barrel.x, s.barrel.y, s.barrel.state, s.keyQ, s.keyW,
                      s.keyE, s.facing, s.barrel.extra);
  updateThrownBombs(s.playerX, s.playerY, s.thrown.x, s.thrown.y, s.thrown.state, s.keyQ, s.keyW,
                    s.keyE, s.facing);
  if (stage.rollingBombFound)
    updateRollingBombs(s.playerX, s.playerY, s.rolling.x, s.rolling.y, s.rolling.state, s.keyQ,
                       s.keyW, s.keyE, s.facing, s.rolling.extra);
  // While the screen darkens the camera stands still; while it brightens
  // it follows after the drawing (below).
  if (app.fadeState == FADE_NONE)
    updateCamera(s.playerX, s.playerY, &s.cameraX, &s.cameraY, &s.screenX, &s.screenY);

  clearScreen(assets.backBufferDC, 0);
  drawStage(s.cameraX, s.cameraY);
  if (!isWarping()) drawPlayerShadow(s.playerX, s.playerY);
  presentStageView(s.cameraX, s.cameraY);
  drawThrowPreview(s.thrown.state, s.keyQ, s.cameraX, s.cameraY, s.facing);
  if (player.localWarpPhase == 2)
    flyLocalWarp(&s.playerX, &s.playerY, player.warpTargetX, player.warpTargetY);
  updateStageWarp(&s.playerX, &s.playerY, s.screenX, s.screenY);
  updateLocalWarp(&s.playerX, &s.playerY, s.screenX, s.screenY);
  if (!isWarping())
    drawPlayer(s.screenX, s.screenY, &s.playerAnim, s.facing, s.verticalState, s.keyQ, s.keyW,
               s.keyE, s.barrel.state, s.rolling.state, s.thrown.state);
  drawStageObjects(s, 1);

  // Esc leaves the stage at once; the rest of the frame still runs.
  if (isKeyDown(VK_ESCAPE)) returnToTitle();

  if (app.fadeState == FADE_DARKENING) {
    drawFadeCover(s.fadeLevel);
    s.fadeLevel += 10;
    if (s.fadeLevel > 100) {
      s.fadeLevel = 100;
      app.fadeState = FADE_BRIGHTENING;
    }
  } else if (app.fadeState == FADE_BRIGHTENING) {
    drawFadeCover(s.fadeLevel);
    updateCamera(s.playerX, s.playerY, &s.cameraX, &s.cameraY, &s.screenX, &s.screenY);
    s.fadeLevel -= 10;
    if (s.fadeLevel < 0) {
      s.fadeLevel = 0;
      app.fadeState = FADE_NONE;
    }
  }
  updateStageClock();
}
