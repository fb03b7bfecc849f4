// Placeholders until the blits are written; remove as they land.
#include "platform/sprite.h"

bool decodeBitmap(const uint8_t*, size_t, SpriteSurface*, const char**) { return false; }
bool readBitmapFile(const char*, SpriteSurface*, const char**) { return false; }
Sprite loadSprite(const char*) { return new SpriteSurface{}; }
Sprite createBackBuffer() { return new SpriteSurface{}; }
Sprite createBlankSprite(int, int) { return new SpriteSurface{}; }
void freeSprite(Sprite s) { delete s; }
void freeBackBuffer(Sprite s) { delete s; }
void presentFrame(Sprite, Sprite) {}
void clearScreen(Sprite, uint32_t) {}
void plotPixel(Sprite, int, int, uint32_t) {}
uint32_t readPixel(Sprite, int, int) { return 0; }
void drawRect(Sprite, int, int, int, int, int, uint32_t) {}
void drawLine(Sprite, int, int, int, int, uint32_t) {}
void drawHLine(Sprite, int, int, int, uint32_t) {}
void drawVLine(Sprite, int, int, int, uint32_t) {}
void drawCircle(Sprite, int, int, int, uint32_t) {}
void blitCopy(Sprite, int, int, int, int, Sprite) {}
void blitOpaque(Sprite, int, int, int, int, Sprite, int, int) {}
void blitKeyed(Sprite, int, int, int, int, Sprite, int, int, uint32_t) {}
void blitKeyedStretched(Sprite, int, int, int, int, Sprite, int, int, int, int, uint32_t) {}
void blitKeyedBlended(Sprite, int, int, int, int, Sprite, int, int, int, int, int, uint32_t) {}
void blitRotated(Sprite, int, int, int, int, Sprite, int, int, int, int, int, uint32_t) {}
void blitRotatedPivot(Sprite, int, int, int, int, Sprite, int, int, int, int, int, uint32_t,
                      int, int) {}
bool writePng(const char*, const SpriteSurface&) { return false; }
