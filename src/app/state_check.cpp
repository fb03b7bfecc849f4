// A short check of the game's state, for demos.
#include <zlib.h>

#include <cstring>

#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "platform/game.h"
#include "player/player_state.h"
#include "stage/stage_state.h"

namespace {

// Adds a value's bytes as they are in memory: floats compare exactly.
template <typename T>
void add(uLong* crc, const T& value) {
  unsigned char bytes[sizeof value];
  std::memcpy(bytes, &value, sizeof value);
  *crc = crc32(*crc, bytes, sizeof value);
}

}  // namespace

uint32_t stateCheck() {
  const GameSession& s = app.session;
  uLong crc = crc32(0, nullptr, 0);
  for (int32_t v :
       {(int32_t)app.scene, app.frameCount, app.fadeState, app.missCount, app.stageStartMs,
        s.facing, s.verticalState, s.fadeLevel, s.playerAnim, stage.currentStage, stage.homeStage,
        stage.blocksCrushed, bombs.thrownBombCount, bombs.barrelBombCount, bombs.rollingBombCount,
        player.jumpLock, s.resultStep, s.missStep, app.title.cursor})
    add(&crc, v);
  for (float v : {s.playerX, s.playerY, s.cameraX, s.cameraY, player.speedX, player.speedY})
    add(&crc, v);
  return (uint32_t)crc;
}
