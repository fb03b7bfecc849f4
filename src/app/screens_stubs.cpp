// Placeholders until each screen is written; remove as they land.
#include "app/app_state.h"

void playFrame() {}
void updateKeyEdge(int, int32_t*) {}
void readBombKeys(int32_t*, int32_t*, int32_t*) {}
void updateCamera(float, float, float*, float*, float*, float*) {}
void createStageSurfaces() {}
void freeStageSurfaces() {}
void presentStageView(float, float) {}
void drawPlayerShadow(float, float) {}
int isSolidForShadow(float, float) { return 1; }
void drawBombHud(const int32_t*, const int32_t*, const int32_t*) {}
void resetBombs() {}
void drawFadeCover(int) {}
void updateTitleMenu() {}
void missScreenFrame() {}
void resultScreenFrame() {}
void playEnding() {}
