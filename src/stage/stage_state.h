// The stage grid, its three lists and the stage globals.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr int TILE_SIZE = 25;
constexpr int GRID_SIZE = 256;
// The longest par time a map may give; longer ones are read as this.
constexpr int MAX_PAR_MINUTES = 9999;
constexpr size_t MAP_READ_BUFFER_BYTES = 1 << 16;

enum TileKind : int {
  EMPTY = 0,
  WALL = 1,
  BLOCK_WEAK = 2,
  BLOCK_MEDIUM = 3,
  BLOCK_STRONG = 4,
  WEIGHT_SWITCH = 5,
  SWITCH_A = 10,
  SWITCH_B = 12,
  SWITCH_C = 14,
  HAZARD_A = 16,
  HAZARD_B = 17,
  HAZARD_C = 18,
  HAZARD_D = 19,
  GATE_VERTICAL = 20,
  GATE_HORIZONTAL = 21,
  WARP = 22,
  PLATFORM_ORIGIN = 23,
  CRUSHER_SWITCH = 24,
  GOAL_CHEST = 25,
  TIMED_SWITCH = 26,
  CHEST_ROLLING_BOMB = 29,
  CHEST_BARREL_BOMB = 30,
  STAGE_DOOR = 31,
  CHEST_THROWN_BOMB = 32,
  GATE_VERTICAL_PART = 100,
  GATE_HORIZONTAL_PART = 101,
};

struct MapCell {
  int8_t kind;
  int32_t linkRow;
  int32_t linkCol;
  int8_t state;
  int32_t progress;
  int32_t gateColour;
};

struct MovingPlatform {
  float x, y;
  float xStart, yStart;
  float xEnd, yEnd;
  int32_t direction;
  int32_t axis;  // 0 horizontal, 1 vertical
  MovingPlatform* next;
};

struct CrushEffect {
  float x, y;
  float age;
  CrushEffect* next;
};

struct SwitchTimer {
  int32_t row, col;
  int32_t startMs;
  SwitchTimer* next;
};

struct StageState {
  MapCell grid[GRID_SIZE][GRID_SIZE];
  MapCell outsideCell;  // what cellAt gives for positions outside the array
  int32_t stageRows;
  int32_t stageCols;
  MovingPlatform* platforms;
  CrushEffect* crushEffects;
  SwitchTimer* switchTimers;
  int32_t playerStartX, playerStartY;
  int32_t parMinutes, parSeconds;
  int32_t currentStage;
  int32_t homeStage;
  int32_t blocksTotal;
  int32_t blocksCrushed;
  int32_t rollingBombFound;
  int32_t barrelBombFound;
  // Saves.
  int32_t lastSavedX, lastSavedY;
  // The map file being read, a block at a time.
  uint8_t mapReadBuffer[MAP_READ_BUFFER_BYTES];
};
extern StageState stage;

// Back to the state at program start (lists freed, grid zero).
void resetStageState();

// True when (row, col) lies inside the 256 x 256 array.
inline bool inGrid(int row, int col) {
  return row >= 0 && row < GRID_SIZE && col >= 0 && col < GRID_SIZE;
}
// The cell, or a shared empty cell for positions outside the array, so
// that no probe ever reads or writes outside it.
MapCell& cellAt(int row, int col);

// The low byte of a stored 32-bit word, as the signed byte a cell keeps.
inline int8_t lowByte(int32_t v) { return (int8_t)(uint8_t)((uint32_t)v & 0xFFu); }

// Clears kind, linkRow, linkCol, state and (unless kept) progress of all
// cells: loading a map keeps each cell's progress as it was.
void clearStageGrid(bool keepProgress = false);

// Lists.
void addMovingPlatform(float xStart, float yStart, float xEnd, float yEnd);
void freeMovingPlatforms();
void addCrushEffect(float x, float y);
void removeCrushEffect(CrushEffect* record);
void freeCrushEffects();
void addSwitchTimer(int32_t row, int32_t col);
void removeSwitchTimer(SwitchTimer* record);
void freeSwitchTimers();
int countSwitchTimers();
int countCrushEffects();

inline int32_t holdBetween(int32_t v, int32_t low, int32_t high) {
  return v < low ? low : v > high ? high : v;
}
// A cell row or column held to the stage's used rectangle.
int32_t rowInStage(int32_t row);
int32_t colInStage(int32_t col);

// Map files. loadStage reads "./map/map<n>.map"; false when the file is
// missing, cannot be read or gives no usable stage size, with the file's
// name and the reason written to `problem` (when given).
bool loadStage(int32_t n, char* problem = nullptr, size_t problemSize = 0);
// True when "./map/map<n>.map" can be read and is not empty.
bool stageHasMap(int32_t n);
void setUpStage();

// Platforms, weight switches and switch timers.
constexpr int PLATFORM_SPEED = 3;
constexpr int SWITCH_HOLD_MS = 6000;
void updateStageTimers();
void closeLinkedGate(int32_t row, int32_t col);

// Saves.
// The one place that says where saves go ("save" in the working folder
// unless set); the folder is made when missing.
void setSaveFolder(const char* folder);
const char* saveFolderPath();
void resetSavesState();  // forgets the checkpoint kept in memory, keeps the folder
// Each save ends with the record that names the files of the checkpoint;
// saveCheckpoint writes both files and then the record once.
void saveProgress(int32_t x, int32_t y);
void saveStageSnapshot();
void saveCheckpoint(int32_t x, int32_t y);
void loadSaves(float* outX, float* outY);
