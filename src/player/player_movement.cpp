// Running, jumping, falling and the player's contacts with the grid.
#include "bombs/bomb_state.h"
#include "platform/input.h"
#include "player/player_state.h"
#include "stage/stage_state.h"

PlayerState player;
PlayerHooks playerHooks;

void resetPlayerState() {
  player = PlayerState{};
  player.jumpLock = 1;  // no jump before the player has stood with space up
  player.neverThrown = 1;
}

void playerCellSpan(float x, float y, int* topRow, int* bottomRow, int* leftCol, int* rightCol) {
  *topRow = truncToInt(y / 25.0f);
  *bottomRow = truncToInt((y + 49.0f) / 25.0f);
  *leftCol = truncToInt(x / 25.0f);
  *rightCol = truncToInt((x + 24.0f) / 25.0f);
}

// The narrowed box (6.25 px in from each side) against cell (row, col).
bool touchesStrict(float x, float y, int row, int col) {
  float left = (float)(col * TILE_SIZE), top = (float)(row * TILE_SIZE);
  float right = left + TILE_SIZE, bottom = top + TILE_SIZE;
  return right > x + contactInset && x + (PLAYER_WIDTH - contactInset) > left && bottom > y &&
         y + PLAYER_HEIGHT > top;
}

bool touchesInclusive(float x, float y, int row, int col) {
  float left = (float)(col * TILE_SIZE), top = (float)(row * TILE_SIZE);
  float right = left + TILE_SIZE, bottom = top + TILE_SIZE;
  return right >= x + contactInset && x + (PLAYER_WIDTH - contactInset) >= left && bottom >= y &&
         y + PLAYER_HEIGHT >= top;
}

static bool isHazard(int kind) { return kind >= HAZARD_A && kind <= HAZARD_D; }

static bool passesVertically(int kind) {
  switch (kind) {
    case EMPTY:
    case WARP:
    case STAGE_DOOR:
    case SWITCH_A:
    case SWITCH_B:
    case SWITCH_C:
    case CRUSHER_SWITCH:
    case TIMED_SWITCH:
    case GOAL_CHEST:
    case CHEST_ROLLING_BOMB:
    case CHEST_BARREL_BOMB:
    case CHEST_THROWN_BOMB: return true;
    default: return false;
  }
}

// Walks one side column from top to bottom; switches, chests, the goal and
// hazards act as the walk passes them, the first blocking cell ends it.
static int checkColumn(float x, float y, int topRow, int bottomRow, int col) {
  for (int row = topRow; row <= bottomRow; row++) {
    if (sideCellContact(x, y, row, col)) return 1;
  }
  return 0;
}

int checkLeftColumn(float x, float y) {
  int topRow, bottomRow, leftCol, rightCol;
  playerCellSpan(x, y, &topRow, &bottomRow, &leftCol, &rightCol);
  return checkColumn(x, y, topRow, bottomRow, leftCol);
}

int checkRightColumn(float x, float y) {
  int topRow, bottomRow, leftCol, rightCol;
  playerCellSpan(x, y, &topRow, &bottomRow, &leftCol, &rightCol);
  return checkColumn(x, y, topRow, bottomRow, rightCol);
}

int checkFeetRow(float x, float y) {
  int topRow, bottomRow, leftCol, rightCol;
  playerCellSpan(x, y, &topRow, &bottomRow, &leftCol, &rightCol);
  for (int col = leftCol; col <= rightCol; col++) {
    int kind = cellAt(bottomRow, col).kind;
    if (isHazard(kind)) {
      if (touchesInclusive(x, y, bottomRow, col)) runPlayerHook(playerHooks.touchedHazard);
    } else if (!passesVertically(kind)) {
      return 1;
    }
  }
  return 0;
}

int checkHeadRow(float x, float y) {
  int topRow, bottomRow, leftCol, rightCol;
  playerCellSpan(x, y, &topRow, &bottomRow, &leftCol, &rightCol);
  for (int col = leftCol; col <= rightCol; col++) {
    int kind = cellAt(topRow, col).kind;
    if (kind == WARP || kind == STAGE_DOOR) {
      // An entry ends the walk; it is never taken for a ceiling.
      if (warpContact(x, y, topRow, col)) return 0;
    } else if (isHazard(kind)) {
      if (touchesInclusive(x, y, topRow, col)) runPlayerHook(playerHooks.touchedHazard);
    } else if (!passesVertically(kind)) {
      return 1;
    }
  }
  return 0;
}

void updatePlayerActions(float* x, float* y, int32_t* facing) {
  if (isKeyDown(VK_RIGHT)) {
    *facing = 1;
    player.speedX += RUN_STEP;
    if (player.speedX > MAX_RUN_SPEED) player.speedX = MAX_RUN_SPEED;
  } else if (player.speedX > 0) {
    player.speedX -= 1;
  }
  if (isKeyDown(VK_LEFT)) {
    *facing = -1;
    player.speedX -= RUN_STEP;
    if (player.speedX < -MAX_RUN_SPEED) player.speedX = -MAX_RUN_SPEED;
  } else if (player.speedX < 0) {
    player.speedX += 1;
  }
  // Both keys held brake like no key at all (the player then faces left).
  if (isKeyDown(VK_RIGHT) && isKeyDown(VK_LEFT)) {
    if (player.speedX > 0)
      player.speedX -= 1;
    else if (player.speedX < 0)
      player.speedX += 1;
  }

  *x += player.speedX;
  float maxX = (float)(stage.stageCols * TILE_SIZE - PLAYER_WIDTH);
  if (*x > maxX) *x = maxX;
  if (*x < 0) *x = 0;

  int topRow, bottomRow, leftCol, rightCol;
  playerCellSpan(*x, *y, &topRow, &bottomRow, &leftCol, &rightCol);
  if (checkRightColumn(*x, *y)) {
    player.speedX = 0;
    *x = (float)(rightCol * TILE_SIZE - PLAYER_WIDTH);
  }
  if (checkLeftColumn(*x, *y)) {
    player.speedX = 0;
    *x = (float)(leftCol * TILE_SIZE + TILE_SIZE);
  }
}

// The first platform in list order whose 25 px height holds the feet; under
// a barrel the platform may lie up to 60 px below the feet.
static MovingPlatform* platformUnder(float x, float y, bool belowBarrel) {
  for (MovingPlatform* p = stage.platforms; p; p = p->next) {
    float reach = belowBarrel ? y + 110 : y + PLAYER_HEIGHT;
    if (p->x + TILE_SIZE > x && x + PLAYER_WIDTH > p->x && p->y + TILE_SIZE > y + PLAYER_HEIGHT &&
        reach > p->y)
      return p;
  }
  return nullptr;
}

void updatePlayerMovement(float* x, float* y, const float* barrelX, const float* barrelY,
                          const int32_t* barrelState, int32_t* airState) {
  *airState = ON_GROUND;
  bool spaceHeld = isKeyDown(VK_SPACE) != 0;
  if (spaceHeld && player.jumpLock == 0) {
    player.speedY = JUMP_SPEED;
    player.jumpLock = 1;
  }
  player.speedY += FALL_STEP;
  *y += player.speedY;
  // The cap only limits the next frame's move.
  if (player.speedY > MAX_FALL_SPEED) player.speedY = MAX_FALL_SPEED;

  if (*y < 0) {
    *y = 0;
    player.speedY = 0;
  }
  if (*y > (float)(stage.stageRows * TILE_SIZE - PLAYER_HEIGHT)) {
    *x = RESPAWN_X;
    *y = RESPAWN_Y;
    player.speedY = 0;
  }

  int topRow, bottomRow, leftCol, rightCol;
  playerCellSpan(*x, *y, &topRow, &bottomRow, &leftCol, &rightCol);
  checkHeadRow(*x, *y);  // only for its contacts: hazards, warps and doors

  if (player.speedY >= 0) {
    if (checkFeetRow(*x, *y)) {
      player.speedY = FALL_STEP;
      *y = (float)(bottomRow * TILE_SIZE - PLAYER_HEIGHT);
      if (!spaceHeld) player.jumpLock = 0;
    } else {
      *airState = FALLING;
      player.jumpLock = 1;
    }

    if (MovingPlatform* p = platformUnder(*x, *y, false)) {
      *y = p->y - PLAYER_HEIGHT;
      if (p->axis == 1) {
        // The feet end 0.125 px inside a rising platform and 0.125 px above
        // a sinking one, before the platform's own step.
        if (p->direction == -1)
          *y += PLATFORM_SPEED * p->direction + 3.125f;
        else
          *y += PLATFORM_SPEED * p->direction - 3.125f;
      } else {
        *x += PLATFORM_SPEED * p->direction;
      }
      if (!spaceHeld) player.jumpLock = 0;
      *airState = ON_GROUND;
    }

    const int count = slotLimit(bombs.barrelBombCount);
    for (int i = 0; i < count; i++) {
      if (barrelState[i] != BOMB_LIVE || !restsOnTop(*x, *y, barrelX[i], barrelY[i], PROBE_PLAYER))
        continue;
      *y = barrelY[i] - PLAYER_HEIGHT;
      // A barrel riding a horizontal platform carries the player along.
      MovingPlatform* p = platformUnder(*x, *y, true);
      if (p && p->axis == 0) *x += PLATFORM_SPEED * p->direction;
      if (!spaceHeld) player.jumpLock = 0;
      *airState = ON_GROUND;
      break;
    }

    if (checkHeadRow(*x, *y)) {
      *y = (float)(topRow * TILE_SIZE + TILE_SIZE);
      player.speedY = FALL_STEP;
    }
  } else {
    *airState = RISING;
    if (checkHeadRow(*x, *y)) {
      *y = (float)(topRow * TILE_SIZE + TILE_SIZE);
      player.speedY = FALL_STEP;
    }
  }
}
