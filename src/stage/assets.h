// The pictures and music every layer of the game draws and plays, loaded
// once at start-up by the scene code and kept for the whole run.
#pragma once
#include <cstdint>

#include "platform/sheet_layout.h"
#include "platform/sound.h"
#include "platform/sprite.h"

// Pictures and music kept for the whole run, and the stage surfaces.
constexpr int32_t NO_DEPTH = INT32_MIN;

struct Assets {
  Sprite backBufferDC = nullptr;
  Sprite tileSheet = nullptr, playerSheet = nullptr, bombSheet = nullptr, aimSheet = nullptr,
         stageBackdrop = nullptr, titleSheet = nullptr, blastSheet = nullptr, spareSheet = nullptr,
         blackSheet = nullptr, titleBackdrop = nullptr, shadowSheet = nullptr,
         keyIconSheet = nullptr, arrowSprite = nullptr, menuDimSheet = nullptr,
         menuLitSheet = nullptr, crushSheet = nullptr, missMenuSheet = nullptr,
         menuGlowSheet = nullptr, warpSheet = nullptr, resultPanel = nullptr, resultSheet = nullptr;
  Sprite stageSurface = nullptr;
  // The stage backdrop darkened for darkBackdropDepth (NO_DEPTH: not yet).
  Sprite darkBackdrop = nullptr;
  int32_t darkBackdropDepth = NO_DEPTH;
  MusicTrack mainMusic, titleMusic, bossMusic;
};
extern Assets assets;
