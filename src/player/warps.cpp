// Warps inside a stage, stage doors, their animations and angleBetween.
#include <cmath>
#include <cstdint>

#include "bombs/bomb_state.h"
#include "platform/input.h"
#include "platform/os.h"
#include "platform/sound.h"
#include "platform/sprite.h"
#include "player/player_state.h"
#include "stage/assets.h"
#include "stage/stage_state.h"

static void enterWarp(MapCell& cell) {
  cell.state = 0;
  // The target is held to the stage (a restored snapshot may name any
  // cell), so the flight's sums and conversions stay small.
  player.warpTargetY = TILE_SIZE * rowInStage(cell.linkRow);
  player.warpTargetX = TILE_SIZE * colInStage(cell.linkCol);
  player.warpUpLatch = 1;
  // The checkpoint is the destination, not the warp itself.
  saveCheckpoint(player.warpTargetX, player.warpTargetY);
  player.localWarpPhase = 1;
  playWave("SE/warp.wav");
}

static void enterStageDoor(MapCell& cell) {
  if (stage.currentStage < 10) {
    // Leaving a home stage starts a new attempt.
    runPlayerHook(playerHooks.leftHomeStage);
  }
  player.previousStage = stage.currentStage;
  stage.currentStage = cell.linkRow;
  cell.state = 0;
  player.warpUpLatch = 1;
  saveStageSnapshot();
  player.stageWarpPhase = 1;
  player.stageChangePending = 1;
  playWave("SE/warp.wav");
}

int warpContact(float x, float y, int row, int col) {
  MapCell& cell = cellAt(row, col);
  float left = (float)(col * TILE_SIZE), top = (float)(row * TILE_SIZE);
  float probeX = x + contactInset;
  bool inFront =
      left < probeX && probeX < left + TILE_SIZE && top + TILE_SIZE > y && y + PLAYER_HEIGHT > top;
  if (!inFront) {
    cell.state = 0;
    return 0;
  }
  cell.state = 1;  // the stage drawing shows the arrow above it
  if (!isKeyDown(VK_UP)) {
    player.warpUpLatch = 0;
    return 0;
  }
  // Up held since before arriving: it must be released here first.
  if (player.warpUpLatch) return 0;
  if (cell.kind == WARP)
    enterWarp(cell);
  else
    enterStageDoor(cell);
  return 1;
}

static void drawWarpCell(float screenX, float screenY) {
  int px = (int)(screenX - contactInset), py = (int)(screenY - contactInset);
  const SheetCell f = warpEffectFrame(player.warpFrame);
  blitKeyed(assets.backBufferDC, px, py, f.w, f.h, assets.warpSheet, f.x, f.y, COLOR_WHITE);
}

// One step of the player appearing out of a warp, the dissolve played
// backwards; true once it is over.
static bool warpAppears(float screenX, float screenY) {
  drawWarpCell(screenX, screenY);
  player.warpFrame -= 1;
  if (player.warpFrame >= 0) return false;
  player.warpFrame = 0;
  return true;
}

void updateLocalWarp(float* x, float* y, float screenX, float screenY) {
  if (player.localWarpPhase == 1) {
    drawWarpCell(screenX, screenY);
    player.warpFrame += 1;
    if (player.warpFrame > 14) {
      // The flight takes about 30 frames whatever its length.
      float dy = player.warpTargetY - *y;
      float dx = player.warpTargetX - *x;
      player.warpStep = (float)(std::sqrt((double)(dy * dy + dx * dx)) / 30);
      player.localWarpPhase = 2;
      player.flightFrames = 0;
    }
  } else if (player.localWarpPhase == 3 && warpAppears(screenX, screenY)) {
    player.localWarpPhase = 0;
    *x = (float)player.warpTargetX;
    *y = (float)player.warpTargetY;
  }
}

void flyLocalWarp(float* x, float* y, int32_t targetX, int32_t targetY) {
  float dy = targetY - *y;
  float dx = targetX - *x;
  double a = std::atan2((double)dy, (double)dx);
  *x += std::cos(a) * player.warpStep;
  *y += std::sin(a) * player.warpStep;
  player.flightFrames += 1;
  bool arrived = targetX + 12 > *x && *x + 12 > targetX && targetY + 12 > *y && *y + 12 > targetY;
  // A normal flight arrives within about 30 frames; one that never can is
  // cut short so that the appearing animation puts the player on the target.
  if (arrived || player.flightFrames >= MAX_FLIGHT_FRAMES) {
    player.localWarpPhase = 3;
    playWave("SE/warp.wav");
  }
}

void updateStageWarp(float* x, float* y, float screenX, float screenY) {
  if (player.stageWarpPhase == 1) {
    drawWarpCell(screenX, screenY);
    player.warpFrame += 1;
    if (player.warpFrame == 4) runPlayerHook(playerHooks.doorDarkens);
    if (player.warpFrame > 14) {
      *x = (float)player.warpTargetX;
      *y = (float)player.warpTargetY;
      player.stageWarpPhase = 2;
      if (player.stageChangePending == 1) {
        runPlayerHook(playerHooks.doorFlightEnded);
        player.stageChangePending = 0;
      }
    }
  } else if (player.stageWarpPhase == 2) {
    if (warpAppears(screenX, screenY)) player.stageWarpPhase = 0;
  }
}

int angleBetween(float x1, float y1, float x2, float y2) {
  if (x1 == x2 && y1 == y2) return 270;
  float dy = y1 - y2;
  float dx = x1 - x2;
  int d = (int)(std::atan2((double)dy, (double)dx) * 180 / 3.14159265358979);
  if (d < 0) d += 360;
  return d;
}
