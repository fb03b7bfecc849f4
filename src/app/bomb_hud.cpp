// The bomb display in the top-left corner: one square per kind with its key
// and the number of bombs ready.
#include <algorithm>

#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "stage/stage_state.h"

// Bombs in stock, taken or held (not yet live) among the used slots; counts
// beyond the ten slots are held to the array.
static int readyCount(const int32_t* state, int32_t count) {
  int n = 0;
  for (int i = 0; i < slotLimit(count); i++)
    if (state[i] < BOMB_LIVE) n++;
  return n;
}

void drawBombHud(const int32_t* thrownState, const int32_t* barrelState,
                 const int32_t* rollingState) {
  int ready[3] = {readyCount(thrownState, bombs.thrownBombCount),
                  readyCount(barrelState, bombs.barrelBombCount),
                  readyCount(rollingState, bombs.rollingBombCount)};
  // A kind found again fades in from nothing.
  if (!stage.barrelBombFound) app.hudOpacity[1] = 0;
  if (!stage.rollingBombFound) app.hudOpacity[2] = 0;
  bool shown[3] = {true, stage.barrelBombFound != 0, stage.rollingBombFound != 0};
  for (int k = 0; k < BOMB_KINDS; k++) {
    const SheetCell back = hudBacking(k), icon = keyIcon(k), count = readyCountBadge(ready[k]);
    blitKeyedBlended(assets.backBufferDC, 20 + 60 * k, 20, 50, 50, assets.blackSheet, back.x,
                     back.y, back.w, back.h, 50, COLOR_WHITE);
    if (!shown[k]) continue;
    int32_t& opacity = app.hudOpacity[k];
    blitKeyedBlended(assets.backBufferDC, 20 + 60 * k, 20, 50, 50, assets.keyIconSheet, icon.x,
                     icon.y, icon.w, icon.h, opacity, COLOR_WHITE);
    blitKeyedBlended(assets.backBufferDC, 50 + 60 * k, 50, 20, 20, assets.bombSheet, count.x,
                     count.y, count.w, count.h, opacity, COLOR_WHITE);
    if (opacity < 100) opacity += 10;  // a newly found kind fades in over 10 frames
  }
}
