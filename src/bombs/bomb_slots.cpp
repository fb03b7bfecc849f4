// The bomb slots of the three kinds: the stock, taking a bomb into the hand
// and the barrel's fuse.
#include <cstring>

#include "bombs/bomb_state.h"
#include "platform/os.h"
#include "platform/sound.h"

BombsState bombs;

void resetBombsState() {
  std::memset(&bombs, 0, sizeof bombs);
  bombs.thrownBombCount = 3;
  bombs.barrelBombCount = 0;
  bombs.rollingBombCount = 0;
}

void refillBombSlots(float* x, float* y, int32_t* state, int32_t stockState, int32_t* countdown) {
  for (int i = 0; i < MAX_BOMB_SLOTS; i++) {
    if (state[i] != BOMB_SPENT) continue;
    x[i] = -50;
    y[i] = -50;
    state[i] = stockState;
    if (countdown) countdown[i] = 0;
  }
}

int keyTakesBomb(int ownKey, int otherKey1, int otherKey2) {
  if (ownKey != KEY_PRESSED) return 0;
  if (otherKey1 == KEY_PRESSED || otherKey1 == KEY_HELD) return 0;
  if (otherKey2 == KEY_PRESSED || otherKey2 == KEY_HELD) return 0;
  return 1;
}

int takeReadySlot(int32_t* state, int count) {
  int n = slotLimit(count);
  // Only one bomb of a kind in the hand at a time.
  for (int i = 0; i < n; i++)
    if (state[i] == BOMB_HELD) return -1;
  for (int i = 0; i < n; i++) {
    if (state[i] == BOMB_READY) {
      state[i] = BOMB_HELD;
      return i;
    }
  }
  return -1;
}

void runBarrelFuses(float playerX, float playerY, float* x, float* y, int32_t* state, int keyQ,
                    int keyW, int keyE, int facing, int32_t* countdown) {
  refillBombSlots(x, y, state, BARREL_IN_STOCK, countdown);
  int n = slotLimit(bombs.barrelBombCount);

  // A barrel may be taken while another is carried.
  if (keyTakesBomb(keyW, keyQ, keyE)) {
    for (int i = 0; i < n; i++) {
      if (state[i] == BARREL_IN_STOCK) {
        state[i] = BARREL_TAKEN;
        break;
      }
    }
  }

  for (int i = 0; i < n; i++) {
    if (state[i] == BARREL_TAKEN && keyW == KEY_HELD) {
      bombs.litMs[i] = osNowMs();
      state[i] = BOMB_HELD;
    }
    if (state[i] == BOMB_HELD) {
      if (bombs.fuseSoundPlayed[i] == 0) {
        playSoundChannel("SE/TaruBomb.wav", i);
        bombs.fuseSoundPlayed[i] = 1;
      }
      if (keyW == KEY_HELD) {
        if (facing == 1)
          x[i] = (float)((double)(playerX + 25) - 6.25);
        else if (facing == -1)
          x[i] = (float)((double)(playerX - 20) + 6.25);
        y[i] = playerY + 50 - 20 - 1;
        bombs.burntMs[i] = osMsSince(bombs.litMs[i]);
        if (bombs.burntMs[i] > BARREL_FUSE_MS) {
          state[i] = BOMB_BLAST;
          bombs.fuseSoundPlayed[i] = 0;
        }
      } else if (keyW == KEY_RELEASED) {
        state[i] = BOMB_LIVE;
      }
    }
    if (state[i] == BOMB_LIVE) {
      bombs.burntMs[i] = osMsSince(bombs.litMs[i]);
      if (bombs.burntMs[i] > BARREL_FUSE_MS) {
        state[i] = BOMB_BLAST;
        bombs.fuseSoundPlayed[i] = 0;
      }
    }
    countdown[i] = 5 - bombs.burntMs[i] / 1000;
  }
}
