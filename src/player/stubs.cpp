// Placeholders until each operation is written; remove as they land.
#include "player/player_state.h"

PlayerState player;
void resetPlayerState() {}
void playerCellSpan(float, float, int*, int*, int*, int*) {}
void updatePlayerActions(float*, float*, int32_t*) {}
void updatePlayerMovement(float*, float*, const float*, const float*, const int32_t*,
                          int32_t*) {}
int checkLeftColumn(float, float) { return 0; }
int checkRightColumn(float, float) { return 0; }
int checkFeetRow(float, float) { return 0; }
int checkHeadRow(float, float) { return 0; }
void drawPlayer(float, float, int32_t*, int, int, int, int, int, const int32_t*,
                const int32_t*, const int32_t*) {}
void updateLocalWarp(float*, float*, float, float) {}
void flyLocalWarp(float*, float*, int32_t, int32_t) {}
void updateStageWarp(float*, float*, float, float) {}
int angleBetween(float, float, float, float) { return 270; }
