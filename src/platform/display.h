// Window and display mode, and the logical screen size the blits scale by.
#pragma once
#include "platform/sprite.h"

struct DisplayState {
  int scaleMode = 1;  // 0: window 1:1, 1: window 2:1, 2: full screen
  int screenWidth = 320;
  int screenHeight = 200;
  int windowX = 0;
  int windowY = 0;
  char title[256] = "タイトルです";
  int borderless = 0;
  Sprite windowDC = nullptr;  // the window's client area
};
extern DisplayState display;

// Device pixels per logical pixel: 2 in scale mode 1, else 1.
inline int scaleFactor() { return display.scaleMode == 1 ? 2 : 1; }

void resetDisplayState();
void setDisplayMode(int x, int y, int width, int height, int mode, const char* title);
void flushDrawing();
// The window's client surface, made to the current size (scaled) on demand.
Sprite windowSurface();
