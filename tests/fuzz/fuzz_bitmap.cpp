// Picture files: the bitmap decoder; a decoded picture is blitted once.
#include "platform/sprite.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  SpriteSurface picture;
  const char* error = nullptr;
  if (!decodeBitmap(data, size, &picture, &error)) return 0;
  if ((size_t)picture.width * picture.height != picture.pixels.size()) __builtin_trap();
  Sprite target = createBlankSprite(64, 64);
  blitKeyed(target, 0, 0, 64, 64, &picture, 0, 0, 0xFFFFFF);
  freeSprite(target);
  return 0;
}
