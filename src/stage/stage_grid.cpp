// The stage grid, the three stage lists and the reset of the stage state.
#include <cstdlib>
#include <cstring>

#include "platform/os.h"
#include "stage/stage_state.h"

StageState stage;

// Both counters start at 1 so that the result screen never divides by zero
// before the first stage has been set up.
static const bool stageStartValues = [] {
  stage.blocksTotal = 1;
  stage.blocksCrushed = 1;
  return true;
}();

void resetStageState() {
  (void)stageStartValues;
  freeMovingPlatforms();
  freeCrushEffects();
  freeSwitchTimers();
  // Zeroed in place: the grid alone is far too large for a temporary.
  std::memset(static_cast<void*>(&stage), 0, sizeof stage);
  stage.blocksTotal = 1;
  stage.blocksCrushed = 1;
  resetSavesState();
}

MapCell& cellAt(int row, int col) {
  if (!inGrid(row, col)) {
    // Whatever a caller wrote into it last time is forgotten.
    stage.outsideCell = MapCell{};
    return stage.outsideCell;
  }
  return stage.grid[row][col];
}

int32_t rowInStage(int32_t row) {
  return holdBetween(row, 0, holdBetween(stage.stageRows, 1, GRID_SIZE) - 1);
}
int32_t colInStage(int32_t col) {
  return holdBetween(col, 0, holdBetween(stage.stageCols, 1, GRID_SIZE) - 1);
}

void clearStageGrid(bool keepProgress) {
  for (int row = 0; row < GRID_SIZE; row++) {
    for (int col = 0; col < GRID_SIZE; col++) {
      MapCell& c = stage.grid[row][col];
      c.kind = 0;
      c.linkRow = 0;
      c.linkCol = 0;
      c.state = 0;
      if (!keepProgress) c.progress = 0;
      // gateColour stays: set-up rewrites it on every driven gate.
    }
  }
}

// Appends at the tail of a singly linked list whose records link by `next`.
template <typename Record>
static void appendRecord(Record*& head, Record* record) {
  record->next = nullptr;
  Record** link = &head;
  while (*link) link = &(*link)->next;
  *link = record;
}

template <typename Record>
static void unlinkAndFree(Record*& head, Record* record) {
  for (Record** link = &head; *link; link = &(*link)->next) {
    if (*link == record) {
      *link = record->next;
      std::free(record);
      return;
    }
  }
}

template <typename Record>
static void freeAll(Record*& head) {
  Record* r = head;
  while (r) {
    Record* next = r->next;
    std::free(r);
    r = next;
  }
  head = nullptr;
}

template <typename Record>
static int countAll(const Record* head) {
  int n = 0;
  for (const Record* r = head; r; r = r->next) n++;
  return n;
}

void addCrushEffect(float x, float y) {
  auto* r = static_cast<CrushEffect*>(std::malloc(sizeof(CrushEffect)));
  if (!r) return;
  r->x = x;
  r->y = y;
  r->age = 0;
  appendRecord(stage.crushEffects, r);
}

void removeCrushEffect(CrushEffect* record) { unlinkAndFree(stage.crushEffects, record); }
void freeCrushEffects() { freeAll(stage.crushEffects); }
int countCrushEffects() { return countAll(stage.crushEffects); }

void addMovingPlatform(float xStart, float yStart, float xEnd, float yEnd) {
  auto* r = static_cast<MovingPlatform*>(std::malloc(sizeof(MovingPlatform)));
  if (!r) return;
  r->xStart = xStart;
  r->yStart = yStart;
  r->xEnd = xEnd;
  r->yEnd = yEnd;
  r->x = xStart;
  r->y = yStart;
  if (xStart == xEnd) {
    r->axis = 1;  // same column: vertical, first up
    r->direction = -1;
  } else {
    r->axis = 0;  // horizontal, first right
    r->direction = 1;
  }
  appendRecord(stage.platforms, r);
}

void freeMovingPlatforms() { freeAll(stage.platforms); }

void addSwitchTimer(int32_t row, int32_t col) {
  auto* r = static_cast<SwitchTimer*>(std::malloc(sizeof(SwitchTimer)));
  if (!r) return;
  r->row = row;
  r->col = col;
  r->startMs = osNowMs();
  appendRecord(stage.switchTimers, r);
}

void removeSwitchTimer(SwitchTimer* record) { unlinkAndFree(stage.switchTimers, record); }
void freeSwitchTimers() { freeAll(stage.switchTimers); }
int countSwitchTimers() { return countAll(stage.switchTimers); }
