// The window's place and mode, and the logical screen that every blit
// scales by.
#include "platform/display.h"

#include <cstring>

#include "platform/hooks.h"
#include "platform/os.h"
#include "platform/text.h"

DisplayState display;

void resetDisplayState() {
  freeSprite(display.windowDC);
  display = DisplayState{};
}

Sprite windowSurface() {
  int s = scaleFactor();
  int w = display.screenWidth * s, h = display.screenHeight * s;
  if (!display.windowDC) {
    display.windowDC = new SpriteSurface{};
    display.windowDC->isWindow = 1;
  }
  if (display.windowDC->width != w || display.windowDC->height != h) {
    display.windowDC->width = w;
    display.windowDC->height = h;
    display.windowDC->pixels.assign((size_t)w * h, 0);
  }
  return display.windowDC;
}

void setDisplayMode(int x, int y, int width, int height, int mode, const char* title) {
  int s = (mode % 2) + 1;
  display.windowX = x;
  display.windowY = y;
  display.screenWidth = width;
  display.screenHeight = height;
  display.scaleMode = mode;
  std::strncpy(display.title, title, sizeof display.title - 1);
  osSetWindowTitle(title);
  display.borderless = title[0] == 0 ? 1 : 0;
  createTextFont(8, 16, "ＭＳ 明朝");
  if (mode == 0 || mode == 1) {
    osPlaceWindow(mode, x, y, width * s, height * s, title, display.borderless);
    osSetCursorVisible(1);
  } else if (mode == 2) {
    if (osPlaceWindow(2, 0, 0, width, height, title, 0)) {
      osSetCursorVisible(0);
    } else {
      // Full screen refused: a plain window of the same size instead.
      display.scaleMode = 0;
      osPlaceWindow(0, x, y, width, height, title, display.borderless);
    }
  }
  windowSurface();
  flushDrawing();
}

void flushDrawing() {
  plotPixel(windowSurface(), -100, -100, 0x000001);
  runPumpMessagesHook();
}
