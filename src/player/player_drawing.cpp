// The player's picture: one 25 x 50 cell of the sheet chosen by pose.
#include "bombs/bomb_state.h"
#include "platform/input.h"
#include "platform/sprite.h"
#include "player/player_state.h"
#include "stage/assets.h"

int choosePlayerCell(int32_t* playerAnim, int facing, int airState, int runKeyHeld, int carrying,
                     int holdingThrown, int throwPose, int* column, int* row) {
  if (facing != 1 && facing != -1) return 0;
  // Facing right uses the odd row of each pair.
  int side = facing == 1 ? 1 : 0;
  if (airState == RISING) {
    *column = 0;
    *row = carrying ? 20 : holdingThrown ? 16 : 4;
  } else if (airState == FALLING) {
    *playerAnim %= 2;
    *column = *playerAnim + 1;
    *row = carrying ? 20 : holdingThrown ? 16 : 4;
  } else if (runKeyHeld) {
    if (carrying) {
      *column = *playerAnim;
      *row = 18;
    } else if (holdingThrown) {
      *column = *playerAnim;
      *row = 14;
    } else if (throwPose) {
      *column = 1;
      *row = 6;
    } else {
      *column = *playerAnim;
      *row = 2;
    }
  } else {
    *playerAnim %= 3;
    if (carrying) {
      *column = 0;
      *row = 8;
    } else if (holdingThrown) {
      *column = 0;
      *row = 6;
    } else if (throwPose) {
      *column = 1;
      *row = 6;
    } else {
      *column = *playerAnim;
      *row = 0;
    }
  }
  *row += side;
  return 1;
}

static bool anyHeld(const int32_t* state, int count) {
  if (!state) return false;
  for (int i = 0; i < slotLimit(count); i++)
    if (state[i] == BOMB_HELD) return true;
  return false;
}

void drawPlayer(float drawX, float drawY, int32_t* playerAnim, int facing, int airState, int keyQ,
                int keyW, int keyE, const int32_t* barrelState, const int32_t* rollingState,
                const int32_t* thrownState) {
  // The animation advances once every three calls.
  if (player.drawCallCounter % 3 == 0) *playerAnim += 1;
  bool thrownHeld = anyHeld(thrownState, bombs.thrownBombCount);
  if (keyQ == KEY_RELEASED && thrownHeld) {
    player.neverThrown = 0;
    player.throwPoseTimer = 0;
  }
  int holdingThrown = keyQ == KEY_HELD && thrownHeld;
  int carrying = (keyW == KEY_HELD && anyHeld(barrelState, bombs.barrelBombCount)) ||
                 (keyE == KEY_HELD && anyHeld(rollingState, bombs.rollingBombCount));
  int throwPose = player.neverThrown == 0 && player.throwPoseTimer < 5;
  *playerAnim %= 7;

  int runKeyHeld = facing == 1 ? isKeyDown(VK_RIGHT) : facing == -1 ? isKeyDown(VK_LEFT) : 0;
  int column, row;
  if (choosePlayerCell(playerAnim, facing, airState, runKeyHeld, carrying, holdingThrown, throwPose,
                       &column, &row)) {
    const SheetCell c = playerPose(column, row);
    blitKeyed(assets.backBufferDC, (int)(drawX + 3.125f), (int)(drawY + 3.125f), c.w, c.h,
              assets.playerSheet, c.x, c.y, COLOR_WHITE);
  }
  // Wrap-safe counting; the pose timer only matters below 5.
  player.drawCallCounter = (int32_t)((uint32_t)player.drawCallCounter + 1u);
  if (player.throwPoseTimer < 1000) player.throwPoseTimer += 1;
}
