// Placeholders until each operation is written; remove as they land.
#include "bombs/bomb_state.h"

BombsState bombs;
void resetBombsState() {}
void cellSpan(float, float, int, int*, int*, int*, int*, int*, int*) {}
int blockedBelow(float, float, int) { return 0; }
int blockedLeft(float, float, int) { return 0; }
int blockedRight(float, float, int) { return 0; }
int blockedAbove(float, float, int) { return 0; }
int restsOnTop(float, float, float, float, int) { return 0; }
int overlapsFromRight(float, float, float, float, int) { return 0; }
int overlapsFromLeft(float, float, float, float, int) { return 0; }
int overlapsFromBelow(float, float, float, float, int) { return 0; }
void blastCell(int, int, int) {}
void triggerSwitchTarget(int, int) {}
void updateThrownBombs(float, float, float*, float*, int32_t*, int, int, int, int) {}
void steerThrownBombs(float, float, float*, float*, int32_t*, int, int, int, int) {}
void updateBarrelBombs(float, float, float*, float*, int32_t*, int, int, int, int, int32_t*) {}
void runBarrelFuses(float, float, float*, float*, int32_t*, int, int, int, int, int32_t*) {}
void updateRollingBombs(float, float, float*, float*, int32_t*, int, int, int, int, int32_t*) {}
void steerRollingBombs(float, float, float*, float*, int32_t*, int, int, int, int) {}
void drawThrowPreview(const int32_t*, int, float, float, int) {}
void drawBombsOnStage(const float*, const float*, const float*, const float*, const float*,
                      const float*, const int32_t*, float, float, int, const int32_t*,
                      const int32_t*) {}
void drawThrownBlasts(const float*, const float*, int32_t*, float, float) {}
void drawRollingBlasts(const float*, const float*, int32_t*, float, float) {}
void drawBarrelBlasts(const float*, const float*, int32_t*, float, float) {}
