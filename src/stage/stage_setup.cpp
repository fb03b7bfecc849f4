// Completes a freshly loaded grid: gate parts, gate colours, self-linked
// crusher switches, moving platforms and the count of crushable blocks.
#include <cstdint>

#include "stage/stage_state.h"

// The used rectangle, never wider than the array whatever set the sizes.
static int usedRows() { return stage.stageRows > GRID_SIZE ? GRID_SIZE : stage.stageRows; }
static int usedCols() { return stage.stageCols > GRID_SIZE ? GRID_SIZE : stage.stageCols; }

// Gives the gate a switch drives its picture set; the switch met last wins.
static void colourLinkedGate(const MapCell& sw, int32_t colour) {
  int32_t gr = sw.linkRow, gc = sw.linkCol;
  if (!inGrid(gr, gc)) return;  // a link outside the grid names no gate
  int kind = stage.grid[gr][gc].kind;
  if (kind != GATE_VERTICAL && kind != GATE_HORIZONTAL) return;
  for (int k = 0; k <= 3; k++) {
    int r = kind == GATE_VERTICAL ? gr + k : gr;
    int c = kind == GATE_VERTICAL ? gc : gc + k;
    if (inGrid(r, c)) stage.grid[r][c].gateColour = colour;
  }
}

// Lays the three part cells of a gate; parts that would fall past the
// last row or column of the array are left out.
static void layGateParts(int row, int col, bool vertical) {
  for (int k = 1; k <= 3; k++) {
    int r = vertical ? row + k : row;
    int c = vertical ? col : col + k;
    if (!inGrid(r, c)) continue;
    MapCell& part = stage.grid[r][c];
    part.kind = vertical ? GATE_VERTICAL_PART : GATE_HORIZONTAL_PART;
    part.linkRow = row;
    part.linkCol = col;
  }
}

// 25 * n in stage pixels, without integer overflow for hostile links.
static float cellPixels(int32_t n) { return (float)(TILE_SIZE * (int64_t)n); }

void setUpStage() {
  int rows = usedRows(), cols = usedCols();
  for (int row = 0; row < rows; row++) {
    for (int col = 0; col < cols; col++) {
      MapCell& cell = stage.grid[row][col];
      switch (cell.kind) {
        case BLOCK_WEAK:
        case BLOCK_MEDIUM:
        case BLOCK_STRONG: stage.blocksTotal += 1; break;
        case WEIGHT_SWITCH: colourLinkedGate(cell, 3); break;
        case SWITCH_A:
        case SWITCH_B:
        case SWITCH_C: colourLinkedGate(cell, 1); break;
        case TIMED_SWITCH: colourLinkedGate(cell, 2); break;
        case GATE_VERTICAL: layGateParts(row, col, true); break;
        case GATE_HORIZONTAL: layGateParts(row, col, false); break;
        case PLATFORM_ORIGIN:
          cell.kind = EMPTY;
          addMovingPlatform(cellPixels(col), cellPixels(row), cellPixels(cell.linkCol),
                            cellPixels(cell.linkRow));
          break;
        case CRUSHER_SWITCH:
          cell.linkRow = row;
          cell.linkCol = col;
          break;
        default: break;
      }
    }
  }
}
