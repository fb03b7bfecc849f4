// The three bomb kinds: their slots, counts and per-slot fields.
#pragma once
#include <cstdint>

constexpr int MAX_BOMB_SLOTS = 10;
constexpr int BARREL_FUSE_MS = 5200;
constexpr int AIM_START_ANGLE = -45;
constexpr int THROW_SPEED = 57;
constexpr double GRAVITY = 9.8;
// The hand a bomb is thrown from, from the player's top-left corner; the
// bomb starts one pixel up and left of it.
constexpr int THROW_HAND_X = 12;
constexpr int THROW_HAND_Y = 25;
// Sideways offset of the aim preview's dots from the arc, by facing.
constexpr float PREVIEW_OFFSET_RIGHT = 19.0f;
constexpr float PREVIEW_OFFSET_LEFT = -10.0f;
constexpr int MAX_PREVIEW_DOTS = 4096;

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
  // The aim preview's dots of this frame, in screen pixels.
  int32_t previewDotX[MAX_PREVIEW_DOTS], previewDotY[MAX_PREVIEW_DOTS];
};
extern BombsState bombs;

void resetBombsState();  // counts 3, 0, 0 and every slot field zero

// How many slots of a kind take part: the count, kept inside the arrays.
inline int slotLimit(int count) {
  if (count < 0) return 0;
  return count > MAX_BOMB_SLOTS ? MAX_BOMB_SLOTS : count;
}

// Slots shared by the kinds. A spent slot goes back to the stock at
// (-50, -50); a barrel also gets countdown 0 (countdown may be null).
void refillBombSlots(float* x, float* y, int32_t* state, int32_t stockState, int32_t* countdown);
// 1 when this key was pressed this frame and neither other key is pressed or held.
int keyTakesBomb(int ownKey, int otherKey1, int otherKey2);
// Thrown and rolling: with no slot below count held, the lowest ready one is
// taken. Returns the slot taken, or -1.
int takeReadySlot(int32_t* state, int count);

// Puts a 20 x 20 box standing in the first moving platform it overlaps on
// top of it and moves it with the platform; 1 when a platform was found.
int carryOnPlatform(float* x, float* y);

// Grid probes.
void cellSpan(float x, float y, int mode, int* topRow, int* bottomRow, int* leftCol, int* rightCol,
              int* centreCol, int* centreRow);
int blockedBelow(float x, float y, int mode);
int blockedLeft(float x, float y, int mode);
int blockedRight(float x, float y, int mode);
int blockedAbove(float x, float y, int mode);
int restsOnTop(float ax, float ay, float bx, float by, int mode);
int overlapsFromRight(float ax, float ay, float bx, float by, int mode);
int overlapsFromLeft(float ax, float ay, float bx, float by, int mode);
int overlapsFromBelow(float ax, float ay, float bx, float by, int mode);
// 1 when the cell (row, col) stops a box of this mode; cells outside the
// array are empty and never stop anything.
int cellBlocksBomb(int row, int col, int mode);
// Truncation toward zero, clamped so that a wild value cannot overflow.
int truncToInt(float v);

// Blasts.
void blastCell(int row, int col, int hardness);
void triggerSwitchTarget(int row, int col);
// The side a thrown bomb ran into, in the order the flight tests ask.
enum BlastSide : int { SIDE_RIGHT = 0, SIDE_LEFT = 1, SIDE_BELOW = 2, SIDE_ABOVE = 3 };
void thrownBombBlast(float x, float y, int side);   // 3 x 3, hardness 3
void barrelBombBlast(float x, float y);             // 5 x 5, hardness 4
void rollingBombBlast(float x, float y, int side);  // the wall's two cells, hardness 2

// Updates, called by the play frame.
void updateThrownBombs(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                       int keyW, int keyE, int facing);
void steerThrownBombs(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                      int keyW, int keyE, int facing);
void updateBarrelBombs(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                       int keyW, int keyE, int facing, int32_t* countdown);
void runBarrelFuses(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                    int keyW, int keyE, int facing, int32_t* countdown);
void updateRollingBombs(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                        int keyW, int keyE, int facing, int32_t* extra);
void steerRollingBombs(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                       int keyW, int keyE, int facing);

// Drawing.
// Walks the preview arc of a held thrown bomb (slot) and writes the screen
// positions of its dots; returns how many there are (at most maxDots are
// written). Works on the slot's own arcU and arcRise, as the drawing does.
int computeThrowPreview(int slot, float camX, float camY, int facing, int* dotX, int* dotY,
                        int maxDots);
void drawThrowPreview(const int32_t* state, int keyQ, float camX, float camY, int facing);
void drawBombsOnStage(const float* thrownX, const float* thrownY, const float* barrelX,
                      const float* barrelY, const float* rollingX, const float* rollingY,
                      const int32_t* countdown, float camX, float camY, int facing,
                      const int32_t* thrownState, const int32_t* rollingState);
void drawThrownBlasts(const float* x, const float* y, int32_t* state, float camX, float camY);
void drawRollingBlasts(const float* x, const float* y, int32_t* state, float camX, float camY);
void drawBarrelBlasts(const float* x, const float* y, int32_t* state, float camX, float camY);
