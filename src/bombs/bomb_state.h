// The three bomb kinds: their slots, counts and per-slot fields.
#pragma once
#include <cstdint>

constexpr int MAX_BOMB_SLOTS = 10;
constexpr int BARREL_FUSE_MS = 5200;
constexpr int AIM_START_ANGLE = -45;
constexpr int THROW_SPEED = 57;
constexpr double GRAVITY = 9.8;

// Slot states (thrown and rolling; the barrel shares 0, 2, 3, 4).
constexpr int BOMB_SPENT = 0;
constexpr int BOMB_READY = 1;
constexpr int BOMB_HELD = 2;
constexpr int BOMB_LIVE = 3;
constexpr int BOMB_BLAST = 4;
constexpr int BARREL_IN_STOCK = -1;
constexpr int BARREL_TAKEN = 1;

// Key edges.
constexpr int KEY_UP = 0;
constexpr int KEY_RELEASED = 1;
constexpr int KEY_PRESSED = 2;
constexpr int KEY_HELD = 3;

enum ProbeMode : int {
  PROBE_THROWN = 0,
  PROBE_BARREL = 1,
  PROBE_ROLLING = 2,
  PROBE_PLAYER = 4,  // restsOnTop only: the player's 25 x 50 box
};

struct BlastAnimation {
  int32_t active;
  int32_t x, y;
  int32_t frame;
};

struct BombsState {
  int32_t thrownBombCount;
  int32_t barrelBombCount;
  int32_t rollingBombCount;
  // Thrown bombs: aim and flight.
  int32_t aimAngle[MAX_BOMB_SLOTS];
  int32_t throwDirX[MAX_BOMB_SLOTS];
  int32_t aimBase[MAX_BOMB_SLOTS];
  int32_t mirrorSign[MAX_BOMB_SLOTS];
  float startX[MAX_BOMB_SLOTS], startY[MAX_BOMB_SLOTS];
  float arcU[MAX_BOMB_SLOTS], arcRise[MAX_BOMB_SLOTS];
  float riseStep[MAX_BOMB_SLOTS];
  float throwRange[MAX_BOMB_SLOTS];
  float launchX[MAX_BOMB_SLOTS], launchY[MAX_BOMB_SLOTS];
  float fullRange;
  // Rolling bombs.
  int32_t rollDirection[MAX_BOMB_SLOTS];
  float rollFallSpeed[MAX_BOMB_SLOTS];
  // Barrel bombs.
  float barrelFallSpeed[MAX_BOMB_SLOTS];
  int32_t litMs[MAX_BOMB_SLOTS];
  int32_t burntMs[MAX_BOMB_SLOTS];
  int32_t fuseSoundPlayed[MAX_BOMB_SLOTS];
  // Drawing.
  int32_t facingColumn[MAX_BOMB_SLOTS];
  int32_t facingRow[MAX_BOMB_SLOTS];
  int32_t rollFrame[MAX_BOMB_SLOTS];
  int32_t blink[MAX_BOMB_SLOTS];
  int32_t blinkTimer[MAX_BOMB_SLOTS];
  BlastAnimation thrownBlast[MAX_BOMB_SLOTS];
  BlastAnimation barrelBlast[MAX_BOMB_SLOTS];
  BlastAnimation rollingBlast[MAX_BOMB_SLOTS];
};
extern BombsState bombs;

void resetBombsState();  // counts 3, 0, 0 and every slot field zero

// Grid probes.
void cellSpan(float x, float y, int mode, int* topRow, int* bottomRow, int* leftCol,
              int* rightCol, int* centreCol, int* centreRow);
int blockedBelow(float x, float y, int mode);
int blockedLeft(float x, float y, int mode);
int blockedRight(float x, float y, int mode);
int blockedAbove(float x, float y, int mode);
int restsOnTop(float ax, float ay, float bx, float by, int mode);
int overlapsFromRight(float ax, float ay, float bx, float by, int mode);
int overlapsFromLeft(float ax, float ay, float bx, float by, int mode);
int overlapsFromBelow(float ax, float ay, float bx, float by, int mode);

// Blasts.
void blastCell(int row, int col, int hardness);
void triggerSwitchTarget(int row, int col);

// Updates, called by the play frame.
void updateThrownBombs(float playerX, float playerY, float* x, float* y, int32_t* state,
                       int keyQ, int keyW, int keyE, int facing);
void steerThrownBombs(float playerX, float playerY, float* x, float* y, int32_t* state,
                      int keyQ, int keyW, int keyE, int facing);
void updateBarrelBombs(float playerX, float playerY, float* x, float* y, int32_t* state,
                       int keyQ, int keyW, int keyE, int facing, int32_t* countdown);
void runBarrelFuses(float playerX, float playerY, float* x, float* y, int32_t* state,
                    int keyQ, int keyW, int keyE, int facing, int32_t* countdown);
void updateRollingBombs(float playerX, float playerY, float* x, float* y, int32_t* state,
                        int keyQ, int keyW, int keyE, int facing, int32_t* extra);
void steerRollingBombs(float playerX, float playerY, float* x, float* y, int32_t* state,
                       int keyQ, int keyW, int keyE, int facing);

// Drawing.
void drawThrowPreview(const int32_t* state, int keyQ, float camX, float camY, int facing);
void drawBombsOnStage(const float* thrownX, const float* thrownY, const float* barrelX,
                      const float* barrelY, const float* rollingX, const float* rollingY,
                      const int32_t* countdown, float camX, float camY, int facing,
                      const int32_t* thrownState, const int32_t* rollingState);
void drawThrownBlasts(const float* x, const float* y, int32_t* state, float camX, float camY);
void drawRollingBlasts(const float* x, const float* y, int32_t* state, float camX, float camY);
void drawBarrelBlasts(const float* x, const float* y, int32_t* state, float camX, float camY);
