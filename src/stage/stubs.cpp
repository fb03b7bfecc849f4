// Placeholders until each operation is written; remove as they land.
#include "stage/stage_state.h"

StageState stage;
void resetStageState() {}
static MapCell outsideCell;
MapCell& cellAt(int row, int col) {
  if (!inGrid(row, col)) { outsideCell = MapCell{}; return outsideCell; }
  return stage.grid[row][col];
}
void clearStageGrid() {}
void addMovingPlatform(float, float, float, float) {}
void freeMovingPlatforms() {}
void addCrushEffect(float, float) {}
void removeCrushEffect(CrushEffect*) {}
void freeCrushEffects() {}
void addSwitchTimer(int32_t, int32_t) {}
void removeSwitchTimer(SwitchTimer*) {}
void freeSwitchTimers() {}
int countSwitchTimers() { return 0; }
int countCrushEffects() { return 0; }
void loadStage(int32_t) {}
void setUpStage() {}
void updateStageTimers() {}
void closeLinkedGate(int32_t, int32_t) {}
void setSaveFolder(const char*) {}
void saveProgress(int32_t, int32_t) {}
void saveStageSnapshot() {}
void loadSaves(float*, float*) {}
