// Formatted text in one fixed-pitch font.
#pragma once
#include <cstdint>

#include "platform/sprite.h"

constexpr uint32_t TRANSPARENT_BACKGROUND = 0xFFFFFFFF;

struct TextState {
  int hasFont = 0;
  int cellWidth = 8;
  int cellHeight = 16;
  char face[64] = "";
};
extern TextState textState;

void createTextFont(int cellWidth, int cellHeight, const char* face);
void releaseTextFont();
void drawTextOnWindow(int x, int y, uint32_t colour, const char* format, ...);
void drawText(Sprite dc, int x, int y, uint32_t colour, uint32_t background, const char* format,
              ...);
void drawTextBox(Sprite dc, int x, int y, int w, int h, uint32_t colour, uint32_t background,
                 const char* format, ...);
// One line at device pixels, nothing presented and no messages pumped (the
// back end's own screens draw with it).
void drawTextLineQuietly(Sprite dc, int x, int y, uint32_t colour, const char* utf8);
