// What a blast does to the grid: crushes blocks up to a hardness, presses
// switches and, through the switch's link, opens gates or fires a crusher.
#include "bombs/bomb_state.h"
#include "stage/stage_state.h"

static void crushCell(int row, int col) {
  addCrushEffect((float)(25 * col), (float)(25 * row));
  stage.grid[row][col].kind = EMPTY;
  stage.blocksCrushed += 1;
}

void blastCell(int row, int col, int hardness) {
  // A footprint may hang over the array's edge; those cells do not exist.
  if (!inGrid(row, col)) return;
  MapCell& cell = stage.grid[row][col];
  int k = cell.kind;
  if (k >= BLOCK_WEAK && k <= hardness) {
    crushCell(row, col);
  } else if (k == SWITCH_A || k == SWITCH_B || k == SWITCH_C || k == CRUSHER_SWITCH) {
    cell.state = 1;
    triggerSwitchTarget(cell.linkRow, cell.linkCol);
  } else if (k == TIMED_SWITCH) {
    cell.state = 1;
    addSwitchTimer(row, col);
    triggerSwitchTarget(cell.linkRow, cell.linkCol);
  }
}

static void clearGatePart(int row, int col) {
  if (inGrid(row, col)) stage.grid[row][col].kind = EMPTY;
}

void triggerSwitchTarget(int row, int col) {
  // A link read from a map may point anywhere; outside the array there is
  // nothing to open.
  if (!inGrid(row, col)) return;
  MapCell& target = stage.grid[row][col];
  switch (target.kind) {
    case GATE_VERTICAL:
      if (target.state != 1) {
        target.state = 1;
        for (int i = 1; i <= 3; i++) clearGatePart(row + i, col);
      }
      break;
    case GATE_HORIZONTAL:
      if (target.state != 1) {
        target.state = 1;
        for (int i = 1; i <= 3; i++) clearGatePart(row, col + i);
      }
      break;
    case CRUSHER_SWITCH:
      // A window 13 rows up, 9 down, 13 columns left and 12 right.
      for (int r = row - 13; r <= row + 9; r++) {
        for (int c = col - 13; c <= col + 12; c++) {
          if (r < 0 || r >= stage.stageRows || c < 0 || c >= stage.stageCols) continue;
          if (!inGrid(r, c)) continue;
          int k = stage.grid[r][c].kind;
          if (k >= BLOCK_WEAK && k <= BLOCK_STRONG) crushCell(r, c);
        }
      }
      break;
    default: break;
  }
}

void thrownBombBlast(float x, float y, int side) {
  int top, bottom, left, right, cc, cr;
  cellSpan(x, y, PROBE_THROWN, &top, &bottom, &left, &right, &cc, &cr);
  // Move the centre out of the cell the bomb ran into.
  if (side == SIDE_RIGHT && cc == right) cc -= 1;
  if (side == SIDE_LEFT && cc == left) cc += 1;
  if (side == SIDE_BELOW && cr == bottom) cr -= 1;
  if (side == SIDE_ABOVE && cr == top) cr += 1;
  for (int r = cr - 1; r <= cr + 1; r++)
    for (int c = cc - 1; c <= cc + 1; c++) blastCell(r, c, 3);
}

void barrelBombBlast(float x, float y) {
  int top, bottom, left, right, cc, cr;
  cellSpan(x, y, PROBE_BARREL, &top, &bottom, &left, &right, &cc, &cr);
  for (int r = cr - 2; r <= cr + 2; r++)
    for (int c = cc - 2; c <= cc + 2; c++) blastCell(r, c, 4);
}

void rollingBombBlast(float x, float y, int side) {
  int top, bottom, left, right, cc, cr;
  cellSpan(x, y, PROBE_ROLLING, &top, &bottom, &left, &right, &cc, &cr);
  int wallCol = side == SIDE_RIGHT ? right : left;
  // On a floor both passes hit the same cell: a timed switch gets two timers.
  blastCell(top, wallCol, 2);
  blastCell(bottom, wallCol, 2);
}
