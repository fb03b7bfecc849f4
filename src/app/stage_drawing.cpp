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

// Tiles are 50 x 50 on the sheet and 31 x 31 on the stage: each overhangs its
// right and lower neighbours by 6 px, which gives the blocks their depth.
void drawTile(int row, int col, SheetCell t) {
  blitKeyedStretched(assets.stageSurface, TILE_SIZE * col, TILE_SIZE * row, 31, 31,
                     assets.tileSheet, t.x, t.y, t.w, t.h, KEY_WHITE);
}

// A 62 x 62 picture (warp, stage door) centred over its cell.
void drawPortal(int x, int y, SheetCell f) {
  blitKeyedStretched(assets.stageSurface, x - 15, y - 20, 62, 62, assets.tileSheet, f.x, f.y, f.w,
                     f.h, KEY_WHITE);
}

bool knownGateColour(int gateColour) { return gateColour >= 1 && gateColour <= GATE_COLOURS; }

// The index of a switch kind (A, B, C as 0, 1, 2).
int switchIndex(int kind) { return kind == SWITCH_A ? 0 : kind == SWITCH_B ? 1 : 2; }

void drawCellPicture(int row, int col, const MapCell& cell) {
  const int p = stageDraw.pulseFrame;
  const bool up = cell.state == 0;
  const int x = TILE_SIZE * col, y = TILE_SIZE * row;
  const int g = cell.gateColour - 1;
  switch (cell.kind) {
    case WALL: drawTile(row, col, TILE_WALL); break;
    case BLOCK_WEAK:
    case BLOCK_MEDIUM:
    case BLOCK_STRONG: drawTile(row, col, blockTile(cell.kind - BLOCK_WEAK)); break;
    case WEIGHT_SWITCH: drawTile(row, col, weightSwitchTile(!up)); break;
    case SWITCH_A:
    case SWITCH_B:
    case SWITCH_C: drawTile(row, col, switchTile(switchIndex(cell.kind), p, !up)); break;
    case HAZARD_A:
    case HAZARD_B:
    case HAZARD_C:
    case HAZARD_D: drawTile(row, col, hazardTile(cell.kind - HAZARD_A)); break;
    case GATE_VERTICAL: {
      if (!knownGateColour(cell.gateColour)) break;
      SheetCell v = verticalGate(g, p);
      blitKeyedStretched(assets.stageSurface, x, y - cell.progress, 31, 117, assets.tileSheet, v.x,
                         v.y, v.w, v.h, KEY_WHITE);
      break;
    }
    case GATE_HORIZONTAL: {
      if (!knownGateColour(cell.gateColour)) break;
      SheetCell h = horizontalGate(g, p);
      blitKeyedStretched(assets.stageSurface, x - cell.progress, y, 117, 31, assets.tileSheet, h.x,
                         h.y, h.w, h.h, KEY_WHITE);
      break;
    }
    case WARP: drawPortal(x, y, warpFrame(stageDraw.portalFrame)); break;
    case CRUSHER_SWITCH: drawTile(row, col, crusherSwitchTile(p, !up)); break;
    case TIMED_SWITCH: drawTile(row, col, timedSwitchTile(p, !up)); break;
    case STAGE_DOOR: drawPortal(x, y, stageDoorFrame(stageDraw.portalFrame)); break;
    case GATE_VERTICAL_PART:
      // Parts show only while their gate is shut; the open gate's picture
      // slides up over them instead.
      if (cellAt(cell.linkRow, cell.linkCol).state != 0) break;
      if (knownGateColour(cell.gateColour)) drawTile(row, col, verticalGatePart(g, p));
      break;
    case GATE_HORIZONTAL_PART:
      if (cellAt(cell.linkRow, cell.linkCol).state != 0) break;
      if (knownGateColour(cell.gateColour)) drawTile(row, col, horizontalGatePart(g, p));
      break;
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

// One copy of the backdrop with its decorations, its corner at (x, y) of
// the stage and held to its own 640 x 480.
void drawBackdropCopy(int x, int y, int depth) {
  Sprite bd = assets.stageSurface;
  setClip(bd, x, y, 640, 480);
  blitOpaque(bd, x, y, 640, 480, assets.darkBackdrop, 0, 0);
  static const int points[4][2] = {{160, 120}, {480, 120}, {160, 360}, {480, 360}};
  for (const auto& pt : points) {
    const int px = x + pt[0], py = y + pt[1];
    // The glows appear only deep in a stage (opacity depth − 50); at zero
    // opacity or less the blend would leave the backdrop untouched, so it
    // is skipped, which also keeps the size positive above the stage.
    const int glowOpacity = depth - 50;
    if (glowOpacity > 0) {
      SheetCell glow = backdropGlow(stageDraw.glowFrame);
      blitKeyedBlended(bd, px - depth / 2 - 15, py - depth / 2, depth + 50, depth + 50,
                       assets.tileSheet, glow.x, glow.y, glow.w, glow.h, glowOpacity, KEY_WHITE);
    }
    SheetCell decor = backdropDecoration(stageDraw.decorFrame);
    blitKeyedBlended(bd, px, py, 20, 40, assets.tileSheet, decor.x, decor.y, decor.w, decor.h, 100,
                     DECORATION_KEY);
  }
  clearClip(bd);
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

  // Four copies of the backdrop and its decorations, so that the
  // half-speed backdrop always fills the view; each later one covers what
  // it shares with the earlier ones.
  darkenBackdrop(depth);
  drawBackdropCopy((int)(cameraX - ox), (int)(cameraY - oy), depth);
  drawBackdropCopy((int)(cameraX + 640 - ox), (int)(cameraY - oy), depth);
  drawBackdropCopy((int)(cameraX - ox), (int)(cameraY + 480 - oy), depth);
  drawBackdropCopy((int)(cameraX + 640 - ox), (int)(cameraY + 480 - oy), depth);
  if (isEvenFrame()) stageDraw.decorFrame = (stageDraw.decorFrame + 1) % 5;
  if (stageDraw.stageTick % 3 == 0) stageDraw.glowFrame = (stageDraw.glowFrame + 1) % 5;

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
    SheetCell t = platformTile(stageDraw.platformFrame);
    blitKeyedStretched(assets.stageSurface, (int)m->x, (int)m->y, 31, 31, assets.tileSheet, t.x,
                       t.y, t.w, t.h, KEY_WHITE);
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
  const SheetCell a = DOOR_ARROW;
  blitKeyedStretched(assets.stageSurface, (int)(x + 3), (int)(y - 60 + stageDraw.arrowBob), 30, 30,
                     assets.arrowSprite, a.x, a.y, a.w, a.h, 0xFFFFFFFF);
  swing(&stageDraw.arrowBob, &stageDraw.arrowStep, 0, 15);
  app.frameCount += 1;
}

namespace {

// A cell's right-hand edge strip (10 x 50); false when the kind has none.
bool edgeStrip(const MapCell& cell, SheetCell* strip) {
  const bool up = cell.state == 0;
  const int g = cell.gateColour - 1;
  switch (cell.kind) {
    case WALL: *strip = rightEdgeOf(TILE_WALL); return true;
    case BLOCK_WEAK:
    case BLOCK_MEDIUM:
    case BLOCK_STRONG: *strip = rightEdgeOf(blockTile(cell.kind - BLOCK_WEAK)); return true;
    case WEIGHT_SWITCH: *strip = rightEdgeOf(weightSwitchEdgeTile(!up)); return true;
    case SWITCH_A:
    case SWITCH_B:
    case SWITCH_C: *strip = rightEdgeOf(switchEdgeTile(switchIndex(cell.kind), !up)); return true;
    case HAZARD_A:
    case HAZARD_B:
    case HAZARD_C:
    case HAZARD_D: *strip = rightEdgeOf(hazardTile(cell.kind - HAZARD_A)); return true;
    case GATE_VERTICAL: *strip = verticalGateEdge(g, up); break;
    case GATE_HORIZONTAL: *strip = horizontalGateEdge(g, up); break;
    case GATE_VERTICAL_PART: *strip = verticalGatePartEdge(g); break;
    case GATE_HORIZONTAL_PART: *strip = horizontalGatePartEdge(g); break;
    default: return false;
  }
  return knownGateColour(cell.gateColour);  // the gates' strips
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
      SheetCell e;
      if (!edgeStrip(cellAt(row, c), &e)) continue;
      blitKeyedStretched(screen, TILE_SIZE * c + 26 - vx, TILE_SIZE * row - vy, 5, 31,
                         assets.tileSheet, e.x, e.y, e.w, e.h, KEY_WHITE);
    }
  }
  clearClip(screen);
}
