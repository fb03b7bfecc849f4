// Drawing of the stage onto the stage surfaces, and the cell animations.
#pragma once
#include <cstdint>

#include "platform/sheet_layout.h"

struct StageDrawState {
  int32_t stageTick = 0;
  int32_t pulseFrame = 1;
  int32_t pulseStep = 1;
  int32_t decorFrame = 0;
  int32_t glowFrame = 0;
  int32_t platformFrame = 0;
  int32_t portalFrame = 0;
  int32_t sparkleFrame = 0;
  int32_t arrowBob = 1;
  int32_t arrowStep = 1;
  float chestItemX = 0, chestItemY = 0;
  int32_t chestRise = 0;
  int32_t chestFade = 0;
};
extern StageDrawState stageDraw;

// The crumbling-block frames are drawn at 100 x 100, a fifth of their size
// in the sheet, and kept at that size once loaded.
constexpr int CRUSH_SHRINK = 5;
constexpr int CRUSH_FRAME = crushFrame(0).w / CRUSH_SHRINK;

void resetStageDrawState();
void drawStage(float cameraX, float cameraY);
void drawDoorArrow(float x, float y);
void drawFrontEdges(float cameraX, float cameraY, const float* barrelX);

// Cell animations, run by the cell pass of drawStage right after a cell's
// picture: gate slides, and the goal and bomb chests (which also draw
// their own pictures). Cells outside the drawn window stand still.
void animateCell(int row, int col);
// Frame tests and steps shared by the drawing and the animations.
bool isEvenFrame();  // stageTick even
void advanceSparkleFrame();
