// The player's shadow: 20 one-pixel columns dropped onto whatever is solid
// below the player, fading with the height above it.
#include "app/shadow.h"

#include "app/app_state.h"
#include "stage/stage_state.h"

int isSolidForShadow(float x, float y) {
  // The cell of the player's lowest pixel row.
  int col = (int)(x / 25);
  int row = (int)((y + 50 - 1) / 25);
  switch (cellAt(row, col).kind) {
    case EMPTY:
    case SWITCH_A:
    case SWITCH_B:
    case SWITCH_C:
    case WARP:
    case GOAL_CHEST:
    case TIMED_SWITCH:
    case CHEST_ROLLING_BOMB:
    case CHEST_BARREL_BOMB:
    case STAGE_DOOR:
    case CHEST_THROWN_BOMB: return 0;
    default: return 1;
  }
}

static const MovingPlatform* platformUnder(float px, float py) {
  for (const MovingPlatform* p = stage.platforms; p; p = p->next)
    if (p->x < px && px < p->x + 25 && p->y < py + 50 && py + 50 < p->y + 25) return p;
  return nullptr;
}

// Positions this far from the stage are never a player's; they would only
// make the probe crawl (or, for huge values, stop moving at all).
constexpr float SHADOW_PROBE_LIMIT = 1e6f;

int shadowLanding(float px, float y, float* landingY) {
  if (!(px > -SHADOW_PROBE_LIMIT && px < SHADOW_PROBE_LIMIT && y > -SHADOW_PROBE_LIMIT &&
        y < SHADOW_PROBE_LIMIT))
    return 0;
  float py = y;
  bool found = false;
  while (!isSolidForShadow(px, py) && !found) {
    // Below the grid's last row there is nothing left to land on.
    if ((int)((py + 50 - 1) / 25) >= GRID_SIZE) return 0;
    py += 10;
    if (const MovingPlatform* p = platformUnder(px, py)) {
      py = p->y;
      found = true;
    }
  }
  if (!found) {
    int row = (int)((py + 49) / 25);
    py = (float)(row * 25);  // the top of the solid cell
  }
  *landingY = py;
  return 1;
}

void drawPlayerShadow(float x, float y) {
  if (!assets.stageSurface) return;
  for (int i = 0; i < SHADOW_COLUMNS; i++) {
    float py;
    if (!shadowLanding(x + i, y, &py)) continue;
    // Fully opaque on the ground, gone at 100 pixels above it.
    int d = (int)(py - y - 50);
    if (d < 0) d = 0;
    if (d > 100) d = 100;
    const SheetCell c = shadowColumn(i);
    blitKeyedBlended(assets.stageSurface, (int)(x + i + 3.125), (int)py, 1, 5, assets.shadowSheet,
                     c.x, c.y, c.w, c.h, 100 - d, COLOR_WHITE);
  }
}
