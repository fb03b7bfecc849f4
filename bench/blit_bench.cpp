// Cost of the software blits of one frame, each beside a memcpy of the same
// number of bytes for scale.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "platform/display.h"
#include "platform/sprite.h"

namespace {

// A sheet with white (the key) in every fourth pixel, like a sprite sheet.
Sprite makeSheet(int w, int h) {
  Sprite s = createBlankSprite(w, h);
  for (size_t i = 0; i < s->pixels.size(); i++)
    s->pixels[i] = i % 4 == 0 ? 0xFFFFFF : (uint32_t)(i * 2654435761u) & 0xFFFFFF;
  return s;
}

void setUp() {
  display.scaleMode = 0;
  display.screenWidth = 640;
  display.screenHeight = 480;
}

void memcpyOf(benchmark::State& state, size_t pixels) {
  std::vector<uint32_t> a(pixels, 1), b(pixels, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), pixels * sizeof(uint32_t));
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
}

// A 50 x 50 tile cell drawn at 31 x 31, as the stage drawing does per tile.
void BM_TileKeyedStretched31(benchmark::State& state) {
  setUp();
  Sprite sheet = makeSheet(500, 500);
  Sprite dst = createBlankSprite(650, 500);
  int n = 0;
  for (auto _ : state) {
    int col = n % 10, row = (n / 10) % 10;
    blitKeyedStretched(dst, 31 * col, 31 * row, 31, 31, sheet, 50 * col, 50 * row, 50, 50,
                       0xFFFFFF);
    n++;
    benchmark::ClobberMemory();
  }
  freeSprite(sheet);
  freeSprite(dst);
}
BENCHMARK(BM_TileKeyedStretched31);
void BM_TileMemcpy31(benchmark::State& state) { memcpyOf(state, 31 * 31); }
BENCHMARK(BM_TileMemcpy31);

// The stage view onto the back buffer.
void BM_ScreenKeyed(benchmark::State& state) {
  setUp();
  Sprite src = makeSheet(640, 480);
  Sprite dst = createBackBuffer();
  for (auto _ : state) {
    blitKeyed(dst, 0, 0, 640, 480, src, 0, 0, 0xFFFFFF);
    benchmark::ClobberMemory();
  }
  freeSprite(src);
  freeSprite(dst);
}
BENCHMARK(BM_ScreenKeyed);

// The fade cover.
void BM_ScreenKeyedBlend50(benchmark::State& state) {
  setUp();
  Sprite src = makeSheet(640, 480);
  Sprite dst = createBackBuffer();
  for (auto _ : state) {
    blitKeyedBlended(dst, 0, 0, 640, 480, src, 0, 0, 640, 480, 50, 0xFFFFFF);
    benchmark::ClobberMemory();
  }
  freeSprite(src);
  freeSprite(dst);
}
BENCHMARK(BM_ScreenKeyedBlend50);
void BM_ScreenMemcpy(benchmark::State& state) { memcpyOf(state, 640 * 480); }
BENCHMARK(BM_ScreenMemcpy);

}  // namespace
