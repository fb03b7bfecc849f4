// Placeholder until the text layer is written; remove as it lands.
#include "platform/text.h"

TextState textState;
void createTextFont(int cellWidth, int cellHeight, const char*) {
  textState.cellWidth = cellWidth;
  textState.cellHeight = cellHeight;
}
void releaseTextFont() {}
void drawTextOnWindow(int, int, uint32_t, const char*, ...) {}
void drawText(Sprite, int, int, uint32_t, uint32_t, const char*, ...) {}
void drawTextBox(Sprite, int, int, int, int, uint32_t, uint32_t, const char*, ...) {}
