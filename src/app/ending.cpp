// The ending: a long picture scrolls by while the character walks on a
// floor that finally rises off the screen, until Esc. It runs its own loop,
// paced by a 10 ms wait per step rather than by the 40 ms frame.
#include "app/app_state.h"
#include "platform/display.h"
#include "platform/input.h"
#include "platform/os.h"

constexpr int ENDING_RISE_START = 3995;

void playEnding() {
  Sprite picture = loadSprite(ENDING_SCROLL.file);
  Sprite floorSheet = loadSprite(ENDING_FLOOR.file);
  Sprite walker = loadSprite(ENDING_WALKER.file);
  EndingState& e = app.ending;
  e = EndingState{};
  e.running = 1;
  while (!isKeyDown(VK_ESCAPE)) {
    // Pure blue in the picture leaves the back buffer as it was.
    const SheetCell view = endingScroll(e.scroll), f = endingFloor(e.floorFrame),
                    w = endingWalk(e.walkFrame);
    blitKeyed(assets.backBufferDC, 0, 0, view.w, view.h, picture, view.x, view.y, 0xFF0000);
    if (e.rise + 430 >= 0)
      blitKeyed(assets.backBufferDC, 100, 280 + e.rise, f.w, f.h, floorSheet, f.x, f.y, 0);
    if (e.rise + 400 >= 0)
      blitKeyed(assets.backBufferDC, 138, 250 + e.rise, w.w, w.h, walker, w.x, w.y, COLOR_WHITE);
    // For the last 320 steps of the scroll the floor and the character
    // rise off the screen; then the picture stands still.
    if (e.scroll < ENDING_SCROLL_END) e.scroll += 1;
    if (e.scroll >= ENDING_RISE_START && e.scroll < ENDING_SCROLL_END) e.rise -= 1;
    if (e.scroll % 5 == 0) e.walkFrame += 1;
    if (e.scroll % 20 == 0) e.floorFrame += 1;
    if (e.walkFrame >= ENDING_WALK_FRAMES) e.walkFrame = 0;
    if (e.floorFrame >= ENDING_FLOOR_FRAMES) e.floorFrame = 0;
    presentFrame(windowSurface(), assets.backBufferDC);
    pumpMessages();
    osSleepMs(10);
  }
  e.running = 0;
  freeSprite(picture);
  freeSprite(floorSheet);
  freeSprite(walker);
}
