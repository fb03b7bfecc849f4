// The stage picture of one frame: backdrop, tiles, platforms, crumbling
// blocks and door arrows, and the front edges drawn over the objects.
#include "app/stage_drawing.h"

#include <algorithm>
#include <cmath>

#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "stage/stage_state.h"

StageDrawState stageDraw;

void resetStageDrawState() { stageDraw = StageDrawState{}; }

bool isEvenFrame() { return stageDraw.stageTick % 2 == 0; }

void advanceSparkleFrame() {
  stageDraw.sparkleFrame += 1;
  if (stageDraw.sparkleFrame > 7) stageDraw.sparkleFrame = 0;
}

namespace {

constexpr uint32_t KEY_WHITE = 0xFFFFFF;
constexpr uint32_t DECOR_KEY = 0x2B92FF;  // the decorations' orange background

// Tiles are 50 x 50 on the sheet and 31 x 31 on the stage: each overhangs its
// right and lower neighbours by 6 px, which gives the blocks their depth.
void drawTile(int row, int col, int sx, int sy) {
  blitKeyedStretched(assets.stageSurface, TILE_SIZE * col, TILE_SIZE * row, 31, 31,
                     assets.tileSheet, sx, sy, 50, 50, KEY_WHITE);
}

// Source row of a gate's picture set; 0 when the colour has no set.
int gateSheetY(int gateColour, int y1, int y2, int y3) {
  switch (gateColour) {
    case 1: return y1;
    case 2: return y2;
    case 3: return y3;
    default: return 0;
  }
}

void drawCellPicture(int row, int col, const MapCell& cell) {
  const int p = stageDraw.pulseFrame;
  const bool up = cell.state == 0;
  const int x = TILE_SIZE * col, y = TILE_SIZE * row;
  switch (cell.kind) {
    case WALL: drawTile(row, col, 50, 0); break;
    case BLOCK_WEAK: drawTile(row, col, 100, 0); break;
    case BLOCK_MEDIUM: drawTile(row, col, 150, 0); break;
    case BLOCK_STRONG: drawTile(row, col, 200, 0); break;
    case WEIGHT_SWITCH: drawTile(row, col, up ? 300 : 350, 0); break;
    case SWITCH_A: up ? drawTile(row, col, 150 * p, 400) : drawTile(row, col, 0, 450); break;
    case SWITCH_B: up ? drawTile(row, col, 150 * p + 50, 400) : drawTile(row, col, 50, 450); break;
    case SWITCH_C:
      up ? drawTile(row, col, 150 * p + 100, 400) : drawTile(row, col, 100, 450);
      break;
    case HAZARD_A: drawTile(row, col, 0, 100); break;
    case HAZARD_B: drawTile(row, col, 50, 100); break;
    case HAZARD_C: drawTile(row, col, 100, 100); break;
    case HAZARD_D: drawTile(row, col, 150, 100); break;
    case GATE_VERTICAL: {
      int sy = gateSheetY(cell.gateColour, 150, 1350, 1550);
      if (sy == 0) break;
      blitKeyedStretched(assets.stageSurface, x, y - cell.progress, 31, 117, assets.tileSheet,
                         250 * p, sy, 50, 190, KEY_WHITE);
      break;
    }
    case GATE_HORIZONTAL: {
      int sy = gateSheetY(cell.gateColour, 150, 1350, 1550);
      if (sy == 0) break;
      blitKeyedStretched(assets.stageSurface, x - cell.progress, y, 117, 31, assets.tileSheet,
                         250 * p + 50, sy, 190, 50, KEY_WHITE);
      break;
    }
    case WARP:
      blitKeyedStretched(assets.stageSurface, x - 15, y - 20, 62, 62, assets.tileSheet,
                         150 * stageDraw.portalFrame, 700, 150, 150, KEY_WHITE);
      break;
    case CRUSHER_SWITCH: up ? drawTile(row, col, 50 * p, 550) : drawTile(row, col, 200, 550); break;
    case TIMED_SWITCH:
      up ? drawTile(row, col, 150 * p + 600, 400) : drawTile(row, col, 600, 450);
      break;
    case STAGE_DOOR:
      blitKeyedStretched(assets.stageSurface, x - 15, y - 20, 62, 62, assets.tileSheet,
                         150 * stageDraw.portalFrame, 1200, 150, 150, KEY_WHITE);
      break;
    case GATE_VERTICAL_PART: {
      // Parts show only while their gate is shut; the open gate's picture
      // slides up over them instead.
      if (cellAt(cell.linkRow, cell.linkCol).state != 0) break;
      int sy = gateSheetY(cell.gateColour, 270, 1470, 1670);
      if (sy != 0) drawTile(row, col, 250 * p, sy);
      break;
    }
    case GATE_HORIZONTAL_PART: {
      if (cellAt(cell.linkRow, cell.linkCol).state != 0) break;
      int sy = gateSheetY(cell.gateColour, 150, 1350, 1550);
      if (sy != 0) drawTile(row, col, 250 * p + 150, sy);
      break;
    }
    default: break;  // goal and chests draw with their animation; the rest is invisible
  }
}

// A 32-bit counter that swings between lo and hi one step at a time.
void swing(int32_t* value, int32_t* step, int lo, int hi) {
  if (*value == lo || *value == hi) *step = -*step;
  *value += *step;
}

// The backdrop darkened for a depth: the deeper the camera, the darker,
// up to 80 % black. Kept until the depth changes.
void darkenBackdrop(int depth) {
  Sprite dark = assets.darkBackdrop;
  if (assets.darkBackdropDepth == depth) return;
  blitOpaque(dark, 0, 0, 640, 480, assets.stageBackdrop, 0, 0);
  blitKeyedBlended(dark, 0, 0, 640, 480, assets.blackSheet, 0, 0, 640, 480, depth, KEY_WHITE);
  assets.darkBackdropDepth = depth;
}

void drawBackdrop(int depth) {
  Sprite bd = assets.backdropSurface;
  darkenBackdrop(depth);
  blitOpaque(bd, 0, 0, 640, 480, assets.darkBackdrop, 0, 0);
  static const int points[4][2] = {{160, 120}, {480, 120}, {160, 360}, {480, 360}};
  for (const auto& pt : points) {
    const int px = pt[0], py = pt[1];
    // The glows appear only deep in a stage (opacity depth − 50); at zero
    // opacity or less the blend would leave the backdrop untouched, so it
    // is skipped, which also keeps the size positive above the stage.
    const int glowOpacity = depth - 50;
    if (glowOpacity > 0) {
      blitKeyedBlended(bd, px - depth / 2 - 15, py - depth / 2, depth + 50, depth + 50,
                       assets.tileSheet, 100 * stageDraw.glowFrame, 600, 100, 100, glowOpacity,
                       KEY_WHITE);
    }
    blitKeyedBlended(bd, px, py, 20, 40, assets.tileSheet, 25 * stageDraw.decorFrame, 500, 25, 50,
                     100, DECOR_KEY);
  }
}

void drawCrushEffects() {
  CrushEffect* e = stage.crushEffects;
  while (e) {
    blitKeyedBlended(assets.stageSurface, (int)(e->x - 35), (int)(e->y - 35), CRUSH_FRAME,
                     CRUSH_FRAME, assets.crushSheet, (int)(CRUSH_FRAME * e->age), 0, CRUSH_FRAME,
                     CRUSH_FRAME, (int)(100 - 5 * e->age), KEY_WHITE);
    e->age += 1;
    CrushEffect* next = e->next;
    if (e->age >= 10) removeCrushEffect(e);
    e = next;
  }
}

}  // namespace

void drawStage(float cameraX, float cameraY) {
  // Parallax offsets, the drawn window and how deep the camera is.
  const float ox = (float)(std::fmod((double)cameraX, 640.0) / 2);
  const float oy = (float)(std::fmod((double)cameraY, 480.0) / 2);
  const int c0 = (int)(cameraX / 25.0f);
  const int r0 = (int)(cameraY / 25.0f);
  const int depth = std::min(r0, 80);
  // The stage surface holds only the view.
  placeWindow(assets.stageSurface, (int)cameraX, (int)cameraY);

  // The backdrop and its decorations.
  drawBackdrop(depth);
  if (isEvenFrame()) stageDraw.decorFrame = (stageDraw.decorFrame + 1) % 5;
  if (stageDraw.stageTick % 3 == 0) stageDraw.glowFrame = (stageDraw.glowFrame + 1) % 5;

  // Four copies, so that the half-speed backdrop always fills the view.
  Sprite bd = assets.backdropSurface;
  blitOpaque(assets.stageSurface, (int)(cameraX - ox), (int)(cameraY - oy), 640, 480, bd, 0, 0);
  blitOpaque(assets.stageSurface, (int)(cameraX + 640 - ox), (int)(cameraY - oy), 640, 480, bd, 0,
             0);
  blitOpaque(assets.stageSurface, (int)(cameraX - ox), (int)(cameraY + 480 - oy), 640, 480, bd, 0,
             0);
  blitOpaque(assets.stageSurface, (int)(cameraX + 640 - ox), (int)(cameraY + 480 - oy), 640, 480,
             bd, 0, 0);

  // Cells, bottom row first and right to left, so that each overhang
  // lands on its right and lower neighbours.
  for (int row = r0 + 20; row >= r0 - 1; row--) {
    for (int col = c0 + 26; col >= c0 - 1; col--) {
      if (!inGrid(row, col)) continue;  // outside the array everything is EMPTY
      MapCell& cell = stage.grid[row][col];
      drawCellPicture(row, col, cell);
      animateCell(row, col);
    }
  }

  // Platforms, then the frame counters.
  for (MovingPlatform* m = stage.platforms; m; m = m->next) {
    blitKeyedStretched(assets.stageSurface, (int)m->x, (int)m->y, 31, 31, assets.tileSheet,
                       200 + 50 * stageDraw.platformFrame, 100, 50, 50, KEY_WHITE);
  }
  stageDraw.platformFrame = (stageDraw.platformFrame + 1) % 4;
  if (isEvenFrame()) stageDraw.portalFrame = (stageDraw.portalFrame + 1) % 8;
  if (stageDraw.stageTick % 3 == 0) swing(&stageDraw.pulseFrame, &stageDraw.pulseStep, 0, 3);

  // Crumbling blocks.
  drawCrushEffects();

  // Arrows over the doors the player stands at this frame.
  for (int row = r0 + 20; row >= r0 - 1; row--) {
    for (int col = c0 + 26; col >= c0 - 1; col--) {
      if (!inGrid(row, col)) continue;
      MapCell& cell = stage.grid[row][col];
      if ((cell.kind == WARP || cell.kind == STAGE_DOOR) && cell.state == 1) {
        drawDoorArrow((float)(TILE_SIZE * col), (float)(TILE_SIZE * row));
        cell.state = 0;
      }
    }
  }

  // The frame is done.
  stageDraw.stageTick += 1;
  if (stageDraw.stageTick > 99) stageDraw.stageTick = 0;
}

void drawDoorArrow(float x, float y) {
  blitKeyedStretched(assets.stageSurface, (int)(x + 3), (int)(y - 60 + stageDraw.arrowBob), 30, 30,
                     assets.arrowSprite, 0, 0, 60, 60, 0xFFFFFFFF);
  swing(&stageDraw.arrowBob, &stageDraw.arrowStep, 0, 15);
  app.frameCount += 1;
}

namespace {

// Source corner of a cell's right-hand edge strip (10 x 50); false when the
// kind has none.
bool edgeStrip(const MapCell& cell, int* sx, int* sy) {
  const bool up = cell.state == 0;
  const int g = cell.gateColour;
  const bool knownColour = g >= 1 && g <= 3;
  switch (cell.kind) {
    case WALL: *sx = 90, *sy = 0; return true;
    case BLOCK_WEAK: *sx = 140, *sy = 0; return true;
    case BLOCK_MEDIUM: *sx = 190, *sy = 0; return true;
    case BLOCK_STRONG: *sx = 240, *sy = 0; return true;
    case WEIGHT_SWITCH: *sx = up ? 340 : 390, *sy = 50; return true;
    case SWITCH_A: *sx = up ? 40 : 90, *sy = 50; return true;
    case SWITCH_B: *sx = up ? 140 : 190, *sy = 50; return true;
    case SWITCH_C: *sx = up ? 240 : 290, *sy = 50; return true;
    case HAZARD_A: *sx = 40, *sy = 100; return true;
    case HAZARD_B: *sx = 90, *sy = 100; return true;
    case HAZARD_C: *sx = 140, *sy = 100; return true;
    case HAZARD_D: *sx = 190, *sy = 100; return true;
    case GATE_VERTICAL:
      if (!knownColour) return false;
      *sx = 260 + 220 * (g - 1), *sy = up ? 150 : 276;
      return true;
    case GATE_HORIZONTAL:
      if (!knownColour) return false;
      *sx = up ? 310 + 220 * (g - 1) : 430 + 220 * (g - 1), *sy = up ? 150 : 156;
      return true;
    case GATE_VERTICAL_PART:
      if (!knownColour) return false;
      *sx = 260 + 220 * (g - 1), *sy = 200;
      return true;
    case GATE_HORIZONTAL_PART:
      if (!knownColour) return false;
      *sx = 360 + 220 * (g - 1), *sy = 150;
      return true;
    default: return false;
  }
}

}  // namespace

void drawFrontEdges(float cameraX, float cameraY, const float* barrelX) {
  // The columns whose edges are redrawn: left of each barrel bomb, and
  // left of the screen.
  int columns[MAX_BOMB_SLOTS + 1];
  int n = 0;
  const int barrels = slotLimit(bombs.barrelBombCount);
  for (int i = 0; i < barrels && barrelX; i++) columns[n++] = (int)(barrelX[i] / 25.0f) - 1;
  columns[n++] = (int)(cameraX / 25.0f) - 1;
  for (int i = 0; i < n; i++) columns[i] = std::max(columns[i], 0);

  // The strips go straight onto the screen, held to the stage as the stage
  // view is.
  if (!assets.stageSurface) return;
  const int vx = (int)cameraX, vy = (int)cameraY;
  Sprite screen = assets.backBufferDC;
  setClip(screen, -vx, -vy, logicalWidth(assets.stageSurface), logicalHeight(assets.stageSurface));
  // The strips, each the right-hand 6 px of a 31 px tile.
  const int firstRow = (int)(cameraY / 25.0f + 20);
  const float lastRow = cameraY / 25.0f - 1;
  for (int i = 0; i < n; i++) {
    const int c = columns[i];
    for (int row = firstRow; (float)row >= lastRow; row--) {
      int sx = 0, sy = 0;
      if (!edgeStrip(cellAt(row, c), &sx, &sy)) continue;
      blitKeyedStretched(screen, TILE_SIZE * c + 26 - vx, TILE_SIZE * row - vy, 5, 31,
                         assets.tileSheet, sx, sy, 10, 50, KEY_WHITE);
    }
  }
  clearClip(screen);
}
