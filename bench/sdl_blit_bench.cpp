// The game's blits beside SDL2's own on the game's real tile sheet: the
// keyed 640 x 480 copy (plain, through key runs, SDL colour key, SDL RLE),
// a tile shrunk from 50 x 50 to 31 x 31 (stretched, pre-shrunk,
// SDL_BlitScaled) and a half-opacity screen blend (SDL alpha mod).
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <string>

#include "baseline.h"
#include "platform/display.h"
#include "platform/sprite.h"

namespace {

constexpr uint32_t WHITE = 0xFFFFFF;

struct Sheets {
  Sprite plain = nullptr, prepared = nullptr, screen = nullptr;
  SDL_Surface *sdlSheet = nullptr, *sdlScreen = nullptr;
};

Sheets& sheets() {
  static Sheets s = [] {
    display.scaleMode = 0;
    display.screenWidth = 640;
    display.screenHeight = 480;
    Sheets r;
    r.plain = loadSprite((std::string(PUXTEN_DATA_DIR) + "/image/boxs.bmp").c_str());
    r.prepared = new SpriteSurface(*r.plain);
    prepareKeyRuns(r.prepared, WHITE);
    prepareDrawnCells(r.prepared, 50, 50, 31, 31, WHITE);
    r.screen = createBackBuffer();
    r.sdlSheet =
        SDL_CreateRGBSurfaceWithFormatFrom(r.plain->pixels.data(), r.plain->width, r.plain->height,
                                           32, r.plain->width * 4, SDL_PIXELFORMAT_XRGB8888);
    r.sdlScreen = SDL_CreateRGBSurfaceWithFormat(0, 640, 480, 32, SDL_PIXELFORMAT_XRGB8888);
    return r;
  }();
  return s;
}

void BM_KeyedScreen_Plain(benchmark::State& state) {
  Sheets& s = sheets();
  inMemcpys(state, [&] { blitKeyed(s.screen, 0, 0, 640, 480, s.plain, 0, 0, WHITE); });
}
BENCHMARK(BM_KeyedScreen_Plain);

void BM_KeyedScreen_KeyRuns(benchmark::State& state) {
  Sheets& s = sheets();
  inMemcpys(state, [&] { blitKeyed(s.screen, 0, 0, 640, 480, s.prepared, 0, 0, WHITE); });
}
BENCHMARK(BM_KeyedScreen_KeyRuns);

void sdlKeyed(benchmark::State& state, bool rle) {
  Sheets& s = sheets();
  SDL_SetColorKey(s.sdlSheet, SDL_TRUE, WHITE);
  SDL_SetSurfaceRLE(s.sdlSheet, rle ? 1 : 0);
  SDL_Rect from = {0, 0, 640, 480};
  SDL_Rect to = from;
  SDL_BlitSurface(s.sdlSheet, &from, s.sdlScreen, &to);  // RLE encodes on the first blit
  inMemcpys(state, [&] {
    SDL_Rect t = to;
    SDL_BlitSurface(s.sdlSheet, &from, s.sdlScreen, &t);
  });
  SDL_SetSurfaceRLE(s.sdlSheet, 0);
  SDL_SetColorKey(s.sdlSheet, SDL_FALSE, 0);
}
void BM_KeyedScreen_SdlColorKey(benchmark::State& state) { sdlKeyed(state, false); }
BENCHMARK(BM_KeyedScreen_SdlColorKey);
void BM_KeyedScreen_SdlRle(benchmark::State& state) { sdlKeyed(state, true); }
BENCHMARK(BM_KeyedScreen_SdlRle);

// One tile, 50 x 50 drawn at 31 x 31 (the 20 x 15 tiles of a screen per
// iteration, so that the numbers are in screen memcpys like the rest).
void tiles(benchmark::State& state, Sprite sheet) {
  Sheets& s = sheets();
  inMemcpys(state, [&] {
    for (int r = 0; r < 15; r++)
      for (int c = 0; c < 20; c++)
        blitKeyedStretched(s.screen, 31 * c, 31 * r, 31, 31, sheet, 50 * (c % 4 + 1), 0, 50, 50,
                           WHITE);
  });
}
void BM_ScreenOfTiles_Stretched(benchmark::State& state) { tiles(state, sheets().plain); }
BENCHMARK(BM_ScreenOfTiles_Stretched);
void BM_ScreenOfTiles_PreShrunk(benchmark::State& state) { tiles(state, sheets().prepared); }
BENCHMARK(BM_ScreenOfTiles_PreShrunk);
void BM_ScreenOfTiles_SdlBlitScaled(benchmark::State& state) {
  Sheets& s = sheets();
  SDL_SetColorKey(s.sdlSheet, SDL_TRUE, WHITE);
  inMemcpys(state, [&] {
    for (int r = 0; r < 15; r++)
      for (int c = 0; c < 20; c++) {
        SDL_Rect from = {50 * (c % 4 + 1), 0, 50, 50}, to = {31 * c, 31 * r, 31, 31};
        SDL_BlitScaled(s.sdlSheet, &from, s.sdlScreen, &to);
      }
  });
  SDL_SetColorKey(s.sdlSheet, SDL_FALSE, 0);
}
BENCHMARK(BM_ScreenOfTiles_SdlBlitScaled);

void BM_BlendScreen_Half(benchmark::State& state) {
  Sheets& s = sheets();
  inMemcpys(state, [&] {
    blitKeyedBlended(s.screen, 0, 0, 640, 480, s.plain, 0, 0, 640, 480, 50, WHITE);
  });
}
BENCHMARK(BM_BlendScreen_Half);
void BM_BlendScreen_SdlAlphaMod(benchmark::State& state) {
  Sheets& s = sheets();
  SDL_SetSurfaceBlendMode(s.sdlSheet, SDL_BLENDMODE_BLEND);
  SDL_SetSurfaceAlphaMod(s.sdlSheet, 128);
  SDL_SetColorKey(s.sdlSheet, SDL_TRUE, WHITE);
  inMemcpys(state, [&] {
    SDL_Rect from = {0, 0, 640, 480}, to = from;
    SDL_BlitSurface(s.sdlSheet, &from, s.sdlScreen, &to);
  });
  SDL_SetColorKey(s.sdlSheet, SDL_FALSE, 0);
  SDL_SetSurfaceAlphaMod(s.sdlSheet, 255);
  SDL_SetSurfaceBlendMode(s.sdlSheet, SDL_BLENDMODE_NONE);
}
BENCHMARK(BM_BlendScreen_SdlAlphaMod);

}  // namespace
