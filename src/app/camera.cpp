// The camera that follows the player, the stage surfaces and the copy of
// the visible part of the stage to the back buffer.
#include <algorithm>

#include "app/app_state.h"
#include "stage/stage_state.h"

// The player stays at (300, 300) on the screen except near the stage's
// edges: there the camera stops, and the player's screen position moves by
// the part of the motion the camera did not take. So the screen position
// always equals the player's position minus the camera.
void updateCamera(float px, float py, float* cx, float* cy, float* sx, float* sy) {
  *cx = px - 300;
  *cy = py - 300;
  // The leftmost column is never shown.
  if (*cx < 25) {
    *cx = 25;
    *sx = *sx + (px - app.lastPlayerX) - (*cx - app.lastCameraX);
  } else if (*cx > stage.stageCols * 25 - 650) {
    *cx = (float)(stage.stageCols * 25 - 650);
    if (*cx < 0) *cx = 0;
    *sx = *sx + (px - app.lastPlayerX) - (*cx - app.lastCameraX);
  } else {
    *sx = 300;
  }
  // Bottom first: on a short stage the bottom wins and the camera may sit
  // above the top of the stage.
  if (*cy > stage.stageRows * 25 - 500) {
    *cy = (float)(stage.stageRows * 25 - 500);
    *sy = *sy + (py - app.lastPlayerY) - (*cy - app.lastCameraY);
  } else if (*cy < 50) {
    *cy = 50;
    *sy = *sy + (py - app.lastPlayerY) - (*cy - app.lastCameraY);
  } else {
    *sy = 300;
  }
  app.lastPlayerX = px;
  app.lastCameraX = *cx;
  app.lastPlayerY = py;
  app.lastCameraY = *cy;
}

// The stage's size comes from its map; it is held to the grid so that a
// damaged header cannot ask for an absurd surface.
static int stagePixels(int32_t cells) { return std::clamp(cells, 0, GRID_SIZE) * TILE_SIZE; }

void createStageSurfaces() {
  holdStagePictures();
  freeStageSurfaces();  // a stage start never leaves the last stage's behind
  int w = stagePixels(stage.stageCols), h = stagePixels(stage.stageRows);
  // Only the view is kept: the rest of the stage is never shown before the
  // backdrop covers it again.
  assets.stageSurface = createWindowedSprite(w, h, VIEW_WIDTH, VIEW_HEIGHT);
  assets.darkBackdrop = createBlankSprite(640, 480);
  assets.darkBackdropDepth = NO_DEPTH;
}

static void freeSurface(Sprite* s) {
  if (*s) freeSprite(*s);
  *s = nullptr;
}

// Safe to call when the surfaces are already gone: several ways out of a
// stage free them.
void freeStageSurfaces() {
  freeSurface(&assets.stageSurface);
  freeSurface(&assets.darkBackdrop);
}

// A 650 x 500 window of the stage, white left out (only the low 24 bits of
// the key count) so that the black of the cleared back buffer shows through.
void presentStageView(float cx, float cy) {
  if (!assets.stageSurface) return;
  blitKeyed(assets.backBufferDC, 0, 0, 650, 500, assets.stageSurface, (int)cx, (int)cy,
            0xFFFFFFFFu);
}
