// The ending: a long picture scrolls by while the character walks on a
// floor that finally rises off the screen, until Esc. It runs its own loop,
// paced by a 10 ms wait per step rather than by the 40 ms frame.
#include "app/app_state.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/os.h"

constexpr int ENDING_SCROLL_END = 4315;
constexpr int ENDING_RISE_START = 3995;

void playEnding() {
  Sprite picture = loadSprite("image/pimlet.bmp");
  Sprite floorSheet = loadSprite("image/床.bmp");
  Sprite walker = loadSprite("image/mchara00.bmp");
  int scroll = 0, rise = 0, walk = 0, floor = 0;
  while (!isKeyDown(VK_ESCAPE)) {
    // Pure blue in the picture leaves the back buffer as it was.
    blitKeyed(assets.backBufferDC, 0, 0, 640, 480, picture, 0, scroll, 0xFF0000);
    if (rise + 430 >= 0)
      blitKeyed(assets.backBufferDC, 100, 280 + rise, 100, 40, floorSheet, 0, 40 * floor, 0);
    if (rise + 400 >= 0)
      blitKeyed(assets.backBufferDC, 138, 250 + rise, 25, 50, walker, 25 * walk, 150, COLOR_WHITE);
    // For the last 320 steps of the scroll the floor and the character
    // rise off the screen; then the picture stands still.
    if (scroll < ENDING_SCROLL_END) scroll += 1;
    if (scroll >= ENDING_RISE_START && scroll < ENDING_SCROLL_END) rise -= 1;
    if (scroll % 5 == 0) walk += 1;
    if (scroll % 20 == 0) floor += 1;
    if (walk >= 7) walk = 0;
    if (floor >= 5) floor = 0;
    presentFrame(windowSurface(), assets.backBufferDC);
    pumpMessages();
    osSleepMs(10);
  }
  freeSprite(picture);
  freeSprite(floorSheet);
  freeSprite(walker);
}
