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
  EndingState& e = app.ending;
  e = EndingState{};
  e.running = 1;
  while (!isKeyDown(VK_ESCAPE)) {
    // Pure blue in the picture leaves the back buffer as it was.
    blitKeyed(assets.backBufferDC, 0, 0, 640, 480, picture, 0, e.scroll, 0xFF0000);
    if (e.rise + 430 >= 0)
      blitKeyed(assets.backBufferDC, 100, 280 + e.rise, 100, 40, floorSheet, 0, 40 * e.floorFrame,
                0);
    if (e.rise + 400 >= 0)
      blitKeyed(assets.backBufferDC, 138, 250 + e.rise, 25, 50, walker, 25 * e.walkFrame, 150,
                COLOR_WHITE);
    // For the last 320 steps of the scroll the floor and the character
    // rise off the screen; then the picture stands still.
    if (e.scroll < ENDING_SCROLL_END) e.scroll += 1;
    if (e.scroll >= ENDING_RISE_START && e.scroll < ENDING_SCROLL_END) e.rise -= 1;
    if (e.scroll % 5 == 0) e.walkFrame += 1;
    if (e.scroll % 20 == 0) e.floorFrame += 1;
    if (e.walkFrame >= 7) e.walkFrame = 0;
    if (e.floorFrame >= 5) e.floorFrame = 0;
    presentFrame(windowSurface(), assets.backBufferDC);
    pumpMessages();
    osSleepMs(10);
  }
  e.running = 0;
  freeSprite(picture);
  freeSprite(floorSheet);
  freeSprite(walker);
}
