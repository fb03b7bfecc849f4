// Where a bomb's box lies on the grid, whether its edges touch something
// solid, and how two boxes meet. Pure functions: nothing here changes state.
#include "bombs/bomb_state.h"
#include "stage/stage_state.h"

int truncToInt(float v) {
  // Positions stay far inside this range in play; the clamp only keeps a
  // damaged value from turning into undefined behaviour.
  if (!(v > -1.0e9f)) return -1000000000;
  if (!(v < 1.0e9f)) return 1000000000;
  return (int)v;
}

static int cellRowOrCol(float v) { return truncToInt(v / 25.0f); }

int cellBlocksBomb(int row, int col, int mode) {
  const MapCell& c = cellAt(row, col);
  int k = c.kind;
  if (k > 32) return 1;
  switch (k) {
    case EMPTY:
    case WARP:
    case GOAL_CHEST:
    case CHEST_ROLLING_BOMB:
    case CHEST_BARREL_BOMB:
    case STAGE_DOOR:
    case CHEST_THROWN_BOMB: return 0;
    case SWITCH_A:
    case SWITCH_B:
    case SWITCH_C:
    case CRUSHER_SWITCH:
    case TIMED_SWITCH:
      // Barrels roll over switches; the small bombs stop on one until it is down.
      if (mode == PROBE_BARREL) return 0;
      return c.state == 0 ? 1 : 0;
    default: return 1;
  }
}

void cellSpan(float x, float y, int mode, int* topRow, int* bottomRow, int* leftCol, int* rightCol,
              int* centreCol, int* centreRow) {
  int s, h;
  if (mode == PROBE_THROWN) {
    s = 15, h = 7;
  } else if (mode == PROBE_BARREL || mode == PROBE_ROLLING) {
    s = 20, h = 10;
  } else {
    return;
  }
  *topRow = cellRowOrCol(y);
  *bottomRow = cellRowOrCol(y + s - 1);
  *leftCol = cellRowOrCol(x);
  *rightCol = cellRowOrCol(x + s - 1);
  *centreCol = cellRowOrCol(x + h);
  *centreRow = cellRowOrCol(y + h);
}

enum Edge { EDGE_BELOW, EDGE_LEFT, EDGE_RIGHT, EDGE_ABOVE };

// Whether any cell of rows r0 .. r1, columns c0 .. c1 stops the bomb.
static int anyCellBlocks(int r0, int r1, int c0, int c1, int mode) {
  for (int r = r0; r <= r1; r++)
    for (int c = c0; c <= c1; c++)
      if (cellBlocksBomb(r, c, mode)) return 1;
  return 0;
}

static int edgeBlocked(float x, float y, int mode, Edge edge) {
  if (mode != PROBE_THROWN && mode != PROBE_BARREL && mode != PROBE_ROLLING) return 0;
  int top, bottom, left, right, cc, cr;
  cellSpan(x, y, mode, &top, &bottom, &left, &right, &cc, &cr);
  if (mode == PROBE_THROWN) {
    // The small bomb looks at the one cell in the middle of each edge.
    switch (edge) {
      case EDGE_BELOW: return cellBlocksBomb(bottom, cc, mode);
      case EDGE_LEFT: return cellBlocksBomb(cr, left, mode);
      case EDGE_RIGHT: return cellBlocksBomb(cr, right, mode);
      case EDGE_ABOVE: return cellBlocksBomb(top, cc, mode);
    }
    return 0;
  }
  switch (edge) {
    case EDGE_BELOW: return anyCellBlocks(bottom, bottom, left, right, mode);
    case EDGE_LEFT: return anyCellBlocks(top, bottom, left, left, mode);
    case EDGE_RIGHT: return anyCellBlocks(top, bottom, right, right, mode);
    case EDGE_ABOVE: return anyCellBlocks(top, top, left, right, mode);
  }
  return 0;
}

int blockedBelow(float x, float y, int mode) { return edgeBlocked(x, y, mode, EDGE_BELOW); }
int blockedLeft(float x, float y, int mode) { return edgeBlocked(x, y, mode, EDGE_LEFT); }
int blockedRight(float x, float y, int mode) { return edgeBlocked(x, y, mode, EDGE_RIGHT); }
int blockedAbove(float x, float y, int mode) { return edgeBlocked(x, y, mode, EDGE_ABOVE); }

int restsOnTop(float ax, float ay, float bx, float by, int mode) {
  float w, h;
  if (mode == PROBE_BARREL || mode == PROBE_ROLLING) {
    w = 20.0f, h = 20.0f;
  } else if (mode == PROBE_PLAYER) {
    w = 25.0f, h = 50.0f;
  } else {
    return 0;
  }
  return (bx + 20 > ax && ax + w > bx && ay + h > by && by + 20 > ay + h) ? 1 : 0;
}

int overlapsFromRight(float ax, float ay, float bx, float by, int mode) {
  if (mode != PROBE_BARREL) return 0;
  return (bx + 20 > ax && ax > bx && ay + 20 > by && by + 20 > ay) ? 1 : 0;
}

int overlapsFromLeft(float ax, float ay, float bx, float by, int mode) {
  if (mode != PROBE_BARREL) return 0;
  return (bx + 20 > ax + 20 && ax + 20 > bx && ay + 20 > by && by + 20 > ay) ? 1 : 0;
}

int overlapsFromBelow(float ax, float ay, float bx, float by, int mode) {
  if (mode != PROBE_BARREL) return 0;
  return (bx + 20 > ax && ax + 20 > bx && ay > by && by + 20 > ay) ? 1 : 0;
}
