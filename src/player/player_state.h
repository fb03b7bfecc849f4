// The player's motion, drawing counters, warps and doors.
#pragma once
#include <cstdint>

constexpr int PLAYER_WIDTH = 25;
constexpr int PLAYER_HEIGHT = 50;
constexpr float RESPAWN_X = 20;
constexpr float RESPAWN_Y = 220;
constexpr float contactInset = 6.25f;

enum AirState : int { ON_GROUND = 0, RISING = 1, FALLING = 2 };

// Running and jumping, in pixels per frame.
constexpr float RUN_STEP = 1;  // speed gained or lost per frame
constexpr float MAX_RUN_SPEED = 6;
constexpr float JUMP_SPEED = -16;     // upward, at the press
constexpr float FALL_STEP = 1.5f;     // gravity per frame, and the speed kept on a floor
constexpr float MAX_FALL_SPEED = 12;  // caps the next frame's move, not this one's

struct PlayerState {
  float speedX;
  float speedY;
  int32_t jumpLock;
  // Drawing.
  int32_t drawCallCounter;
  int32_t throwPoseTimer;
  int32_t neverThrown;
  // Warps and doors.
  int32_t localWarpPhase;
  int32_t stageWarpPhase;
  int32_t stageChangePending;
  int32_t warpFrame;
  int32_t warpTargetX, warpTargetY;
  float warpStep;
  int32_t warpUpLatch;
  int32_t previousStage;
  // Frames of the current flight; a flight that cannot reach its target
  // (a damaged link far outside the stage) is ended after MAX_FLIGHT_FRAMES.
  int32_t flightFrames;
};
constexpr int MAX_FLIGHT_FRAMES = 90;
extern PlayerState player;

// What the player's contacts ask of the scene machine above this layer,
// registered by it at start-up; unset ones do nothing.
struct PlayerHooks {
  void (*touchedHazard)() = nullptr;    // the miss screen follows
  void (*openedGoal)() = nullptr;       // the result screen follows
  void (*leftHomeStage)() = nullptr;    // a new attempt: counters and stage clock restart
  void (*doorDarkens)() = nullptr;      // a stage door's flight starts the fade to black
  void (*doorFlightEnded)() = nullptr;  // the stage behind the door is entered
};
extern PlayerHooks playerHooks;
inline void runPlayerHook(void (*hook)()) {
  if (hook) hook();
}

void resetPlayerState();  // jumpLock 1, neverThrown 1, the rest 0

void playerCellSpan(float x, float y, int* topRow, int* bottomRow, int* leftCol, int* rightCol);
void updatePlayerActions(float* x, float* y, int32_t* facing);
void updatePlayerMovement(float* x, float* y, const float* barrelX, const float* barrelY,
                          const int32_t* barrelState, int32_t* airState);
int checkLeftColumn(float x, float y);
int checkRightColumn(float x, float y);
int checkFeetRow(float x, float y);
int checkHeadRow(float x, float y);

void drawPlayer(float drawX, float drawY, int32_t* playerAnim, int facing, int airState, int keyQ,
                int keyW, int keyE, const int32_t* barrelState, const int32_t* rollingState,
                const int32_t* thrownState);

void updateLocalWarp(float* x, float* y, float screenX, float screenY);
void flyLocalWarp(float* x, float* y, int32_t targetX, int32_t targetY);
void updateStageWarp(float* x, float* y, float screenX, float screenY);
int angleBetween(float x1, float y1, float x2, float y2);

// Contact of the narrowed box (6.25 px in from each side) with cell (row, col):
// strict for switches, inclusive for chests, the goal and hazards.
bool touchesStrict(float x, float y, int row, int col);
bool touchesInclusive(float x, float y, int row, int col);
// One cell of a side-column walk: switches, chests, the goal and hazards act;
// 1 when the cell blocks.
int sideCellContact(float x, float y, int row, int col);
// A WARP or STAGE_DOOR cell met in the head row; 1 when the player entered it.
int warpContact(float x, float y, int row, int col);

// The sheet cell drawPlayer shows. Reduces *playerAnim as the pose needs;
// 0 (nothing to draw) for a facing other than 1 or -1.
int choosePlayerCell(int32_t* playerAnim, int facing, int airState, int runKeyHeld, int carrying,
                     int holdingThrown, int throwPose, int* column, int* row);
