// Placeholders until the stage drawing is written; remove as it lands.
#include "stage/stage_drawing.h"

StageDrawState stageDraw;
void resetStageDrawState() {}
void drawStage(float, float) {}
void drawDoorArrow(float, float) {}
void drawFrontEdges(float, float, const float*) {}
