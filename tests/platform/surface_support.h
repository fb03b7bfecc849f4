// Surfaces that free themselves, for the tests of the pixel layer.
#pragma once
#include <algorithm>
#include <memory>

#include "platform/sprite.h"

struct SpriteDeleter {
  void operator()(SpriteSurface* s) const { freeSprite(s); }
};
using Owned = std::unique_ptr<SpriteSurface, SpriteDeleter>;

// A w x h surface filled with one pixel value (0x00RRGGBB).
inline Owned blank(int w, int h, uint32_t pixel) {
  Owned s(createBlankSprite(w, h));
  std::fill(s->pixels.begin(), s->pixels.end(), pixel);
  return s;
}

// The pixel at (x, y) of a surface's stored picture.
inline uint32_t& at(Sprite s, int x, int y) { return s->pixels[(size_t)y * s->width + x]; }
