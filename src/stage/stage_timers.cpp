// Things that change by themselves each frame: moving platforms, gates
// held by weight switches and gates reopened by timed switches.
#include <cstdint>

#include "platform/os.h"
#include "stage/stage_state.h"

void closeLinkedGate(int32_t row, int32_t col) {
  if (!inGrid(row, col)) return;
  const MapCell& sw = stage.grid[row][col];
  if (sw.kind != WEIGHT_SWITCH && sw.kind != TIMED_SWITCH) return;
  int32_t gr = sw.linkRow, gc = sw.linkCol;
  if (!inGrid(gr, gc)) return;  // a link outside the grid closes nothing
  MapCell& gate = stage.grid[gr][gc];
  if (gate.kind != GATE_VERTICAL && gate.kind != GATE_HORIZONTAL) return;
  bool vertical = gate.kind == GATE_VERTICAL;
  gate.state = 0;
  // The parts are solid at once; the picture slides shut over later frames.
  for (int k = 1; k <= 3; k++) {
    int r = vertical ? gr + k : gr;
    int c = vertical ? gc : gc + k;
    if (inGrid(r, c)) stage.grid[r][c].kind = vertical ? GATE_VERTICAL_PART : GATE_HORIZONTAL_PART;
  }
}

static void updateWeightSwitches() {
  int rows = stage.stageRows > GRID_SIZE ? GRID_SIZE : stage.stageRows;
  int cols = stage.stageCols > GRID_SIZE ? GRID_SIZE : stage.stageCols;
  for (int row = 0; row < rows; row++) {
    for (int col = 0; col < cols; col++) {
      MapCell& cell = stage.grid[row][col];
      if (cell.kind != WEIGHT_SWITCH) continue;
      // A barrel bomb resting on it pressed it earlier in this frame.
      if (cell.state == 0) closeLinkedGate(row, col);
      cell.state = 0;
    }
  }
}

static void movePlatforms() {
  for (MovingPlatform* p = stage.platforms; p; p = p->next) {
    // The turn is tested after the move: an end is overshot by up to 3 px.
    if (p->axis == 0) {
      p->x += (float)(PLATFORM_SPEED * p->direction);
      if (p->x > p->xEnd)
        p->direction = -1;
      else if (p->x < p->xStart)
        p->direction = 1;
    } else {
      p->y += (float)(PLATFORM_SPEED * p->direction);
      if (p->y < p->yEnd)
        p->direction = 1;
      else if (p->y > p->yStart)
        p->direction = -1;
    }
  }
}

static void expireSwitchTimers() {
  SwitchTimer* t = stage.switchTimers;
  while (t) {
    int32_t held = osMsSince(t->startMs);
    if (held < SWITCH_HOLD_MS) {
      t = t->next;
      continue;
    }
    closeLinkedGate(t->row, t->col);
    cellAt(t->row, t->col).state = 0;  // the switch pops up
    SwitchTimer* next = t->next;
    removeSwitchTimer(t);
    t = next;
  }
}

void updateStageTimers() {
  updateWeightSwitches();
  movePlatforms();
  expireSwitchTimers();
}
