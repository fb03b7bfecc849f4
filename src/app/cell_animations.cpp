// Gates sliding open and shut, the goal chest opening, and the bomb chests
// that lift their bomb out, fade it and hand it to the player.
#include "app/app_state.h"
#include "app/stage_drawing.h"
#include "bombs/bomb_state.h"
#include "stage/stage_state.h"

namespace {

constexpr uint32_t KEY_WHITE = 0xFFFFFF;
constexpr int GATE_SLIDE_STEP = 15;
constexpr int GATE_SLIDE_MAX = 75;  // three cells' worth of the picture
constexpr int MAX_STOCK = 9;

// The touch or the blast only flips the gate's state; the picture follows
// at 15 px per drawn frame.
void slideGate(MapCell& cell) {
  if (cell.gateColour < 1 || cell.gateColour > 3) return;
  if (cell.state != 0 && cell.progress < GATE_SLIDE_MAX) {
    cell.progress += GATE_SLIDE_STEP;
  } else if (cell.state == 0 && cell.progress > 0) {
    cell.progress -= GATE_SLIDE_STEP;
  }
}

// The goal is a 150 x 50 picture spanning six cells, two left of the goal
// cell to three right of it.
void animateGoalChest(int row, int col, MapCell& cell) {
  const int x = TILE_SIZE * col - 50;
  const int y = (int)(TILE_SIZE * row - 15.625);
  const SheetCell chest = goalChestFrame(cell.state == 0 ? 0 : cell.progress);
  blitKeyedStretched(assets.stageSurface, x, y, 150, 50, assets.tileSheet, chest.x, chest.y,
                     chest.w, chest.h, KEY_WHITE);
  if (cell.state == 0) {
    if (isEvenFrame()) advanceSparkleFrame();
    return;
  }
  const SheetCell glitter = goalGlitterFrame(stageDraw.sparkleFrame);
  blitKeyedBlended(assets.stageSurface, x, (int)(TILE_SIZE * row - 50 - 6.25), 150, 150,
                   assets.tileSheet, glitter.x, glitter.y, glitter.w, glitter.h, 50, KEY_WHITE);
  if (isEvenFrame()) {
    if (cell.progress < 7) cell.progress += 1;
    advanceSparkleFrame();
  }
}

void giveChestReward(int kind) {
  int32_t* count = nullptr;
  if (kind == CHEST_ROLLING_BOMB) {
    stage.rollingBombFound = 1;
    count = &bombs.rollingBombCount;
  } else if (kind == CHEST_BARREL_BOMB) {
    stage.barrelBombFound = 1;
    count = &bombs.barrelBombCount;
  } else {
    count = &bombs.thrownBombCount;
  }
  // A full stock empties the chest for nothing, and nothing is saved.
  if (*count >= MAX_STOCK) return;
  *count += 1;
  saveCheckpoint(-1, -1);
}

// Bomb chest states: 0 closed, 1 item rising, 2 item fading, 3 emptied. The
// rising item's position is shared by all chests: every closed chest drawn
// sets it to its own.
void animateBombChest(int row, int col, MapCell& cell) {
  StageDrawState& d = stageDraw;
  const int x = TILE_SIZE * col, y = TILE_SIZE * row;
  const SheetCell chest = bombChestTile(cell.state != 0);
  blitKeyedStretched(assets.stageSurface, x, y, 31, 31, assets.tileSheet, chest.x, chest.y, chest.w,
                     chest.h, KEY_WHITE);
  if (cell.state == 0) {
    d.chestItemX = (float)(x + 4);
    d.chestItemY = (float)(y - 10);
    return;
  }
  if (cell.state >= 3) return;

  const int glitterRise = cell.kind == CHEST_ROLLING_BOMB ? 30 : 40;
  const SheetCell glitter = chestGlitterFrame(d.sparkleFrame);
  blitKeyedBlended(assets.stageSurface, (int)(d.chestItemX - 40), (int)(d.chestItemY - glitterRise),
                   100, 100, assets.tileSheet, glitter.x, glitter.y, glitter.w, glitter.h,
                   50 - d.chestFade / 2, KEY_WHITE);
  SheetCell item = thrownBombFrame(1);
  if (cell.kind == CHEST_ROLLING_BOMB) item = rollingBombFrame(0, 0);
  if (cell.kind == CHEST_BARREL_BOMB) item = barrelBombFrame(false);
  blitKeyedBlended(assets.stageSurface, (int)d.chestItemX, (int)d.chestItemY, 25, 25,
                   assets.bombSheet, item.x, item.y, item.w, item.h, 100 - d.chestFade, KEY_WHITE);
  if (isEvenFrame()) advanceSparkleFrame();

  if (cell.state == 1) {
    // 16 steps of 4 px, one every second frame.
    if (isEvenFrame()) {
      d.chestItemY -= 4;
      d.chestRise += 1;
    }
    if (d.chestRise > 15) {
      d.chestFade = 0;
      d.chestRise = 0;
      cell.state = 2;
    }
  } else if (cell.state == 2) {
    d.chestFade += 10;
    if (d.chestFade > 100) {
      d.chestFade = 0;
      cell.state = 3;
      giveChestReward(cell.kind);
    }
  }
}

}  // namespace

void animateCell(int row, int col) {
  if (!inGrid(row, col)) return;
  MapCell& cell = stage.grid[row][col];
  switch (cell.kind) {
    case GATE_VERTICAL:
    case GATE_HORIZONTAL: slideGate(cell); break;
    case GOAL_CHEST: animateGoalChest(row, col, cell); break;
    case CHEST_ROLLING_BOMB:
    case CHEST_BARREL_BOMB:
    case CHEST_THROWN_BOMB: animateBombChest(row, col, cell); break;
    default: break;
  }
}
