// The title screen: backdrop, title picture and character over a two-item
// menu (start a run, quit). A choice sets off a double explosion beside the
// item, the character walks out while the picture fades, and once the
// screen is black the choice takes effect.
#include <cmath>

#include "app/app_state.h"
#include "platform/input.h"
#include "player/player_state.h"

constexpr double PI = 3.14159265358979;

static void resetTitle(TitleMenuState& t) {
  t.walkTick = 0;
  t.walkFrame = 0;
  t.leaving = 0;
  t.heroX = -40;
  t.heroY = 400;
  t.heroWalksLeft = 0;
  t.coverOpacity = 100;
  t.coverFadingIn = 1;
  t.backdropX = 0;
  t.cursor = 0;
  t.phase = 1;
  t.logoOpacity = 0;
  t.menuOpacity = 0;
  t.blastState = 0;
  t.blastFrame = 0;
  // The start item's walk-out heads up and to the right, away from (300, 350).
  int a = angleBetween(t.heroX, t.heroY, 300, 350);
  t.heroStepX = (float)(std::cos(a * PI / 180) * 6);
  t.heroStepY = (float)(std::sin(a * PI / 180) * 6);
  t.needsReset = 0;
}

static void drawHeroPose(const TitleMenuState& t, SheetCell c) {
  blitKeyed(assets.backBufferDC, (int)t.heroX, (int)t.heroY, c.w, c.h, assets.playerSheet, c.x, c.y,
            COLOR_WHITE);
}

static void drawHero(const TitleMenuState& t) {
  if (t.heroWalksLeft == 0 && t.heroIdle == 0)
    drawHeroPose(t, playerPose(t.walkFrame, TITLE_WALK_RIGHT_ROW));
  else if (t.heroWalksLeft == 1)
    drawHeroPose(t, playerPose(t.walkFrame, TITLE_WALK_LEFT_ROW));
  if (t.heroIdle == 1) drawHeroPose(t, playerPose(t.idleFrame, TITLE_IDLE_ROW));
}

// A cursor key moves the cursor once per press, with its sound.
static void cursorKey(int vk, int32_t* latch, const char* sound, int32_t* cursor, int item) {
  if (!isKeyDown(vk)) {
    *latch = 0;
    return;
  }
  if (*latch != 0) return;
  playWave(sound);
  *latch = 1;
  *cursor = item;
}

static void readMenuKeys(TitleMenuState& t) {
  cursorKey(VK_DOWN, &t.downLatch, "SE/cursor2.wav", &t.cursor, 1);
  cursorKey(VK_UP, &t.upLatch, "SE/cursor1.wav", &t.cursor, 0);
  if (isKeyDown(VK_RETURN)) {
    playWave("SE/start.wav");
    // An Enter held since before the menu opened (or since the last
    // choice) does not choose: it must be released first.
    if (t.enterLatch == 0) {
      t.enterLatch = 1;
      t.phase = 2;
      t.blastState = 1;
      t.heroIdle = 0;
      t.leaving = 1;
    }
  } else {
    t.enterLatch = 0;
  }
}

static void drawMenu(const TitleMenuState& t) {
  Sprite startSheet = t.cursor == 0 ? assets.menuLitSheet : assets.menuDimSheet;
  Sprite quitSheet = t.cursor == 0 ? assets.menuDimSheet : assets.menuLitSheet;
  const SheetCell start = MENU_START_ITEM, quit = MENU_QUIT_ITEM;
  blitKeyedBlended(assets.backBufferDC, 0, 330, start.w, start.h, startSheet, start.x, start.y,
                   start.w, start.h, t.menuOpacity, COLOR_WHITE);
  blitKeyedBlended(assets.backBufferDC, 0, 400, quit.w, quit.h, quitSheet, quit.x, quit.y, quit.w,
                   quit.h, t.menuOpacity, COLOR_WHITE);
  // The highlight is hidden from the choice on.
  if (t.blastState != 0) return;
  const SheetCell glow = t.cursor == 0 ? MENU_START_HIGHLIGHT : MENU_QUIT_HIGHLIGHT;
  blitRotated(assets.backBufferDC, 0, t.cursor == 0 ? 330 : 395, glow.w, glow.h,
              assets.menuGlowSheet, glow.x, glow.y, glow.w, glow.h, t.wobble, COLOR_WHITE);
}

static void runExplosion(TitleMenuState& t) {
  t.blastFrame += 1;
  if (t.blastFrame == 1) playWave("SE/Tbomb.wav");
  int y = t.cursor == 0 ? 320 : 385;
  int x1 = t.cursor == 0 ? 140 : 210, x2 = t.cursor == 0 ? 450 : 350;
  const SheetCell f = blastFrame(t.blastFrame);
  for (int x : {x1, x2})
    blitKeyedStretched(assets.backBufferDC, x, y, 70, 70, assets.blastSheet, f.x, f.y, f.w, f.h, 0);
  if (t.blastFrame >= TITLE_BLAST_FRAMES - 1) {
    t.blastFrame = 0;
    t.blastState = 2;
  }
}

static void walkOut(TitleMenuState& t) {
  t.menuOpacity -= 5;
  if (t.menuOpacity < 0) t.menuOpacity = 0;
  t.logoOpacity -= 5;
  // The cover closes once the character is past the middle (start) or off
  // the left edge (quit).
  bool closing = t.heroX < 0 || (t.heroX > 300 && t.menuOpacity == 0);
  if (closing) {
    t.coverOpacity += 3;
    // A cover still lifting would cancel the closing frame by frame and the
    // choice would never take effect (quit chosen in the title's first few
    // frames): the closing ends the lift.
    t.coverFadingIn = 0;
  }
  if (t.cursor == 0) {
    if (t.heroX < 330) {
      t.heroX -= t.heroStepX;
      t.heroY -= t.heroStepY;
    }
    t.heroWalksLeft = 0;
    if (t.coverOpacity > 100 && t.heroX > 300) {
      t.coverOpacity = 100;
      t.leaving = 2;
    }
  } else if (t.cursor == 1) {
    t.heroX -= 3;
    t.heroWalksLeft = 1;
    if (t.coverOpacity > 100 && t.heroX < 0) {
      t.coverOpacity = 100;
      t.leaving = 2;
    }
  }
}

void updateTitleMenu() {
  TitleMenuState& t = app.title;
  if (t.needsReset) resetTitle(t);

  holdTitlePictures();
  blitOpaque(assets.backBufferDC, t.backdropX, 0, TITLE_BACKDROP.w, TITLE_BACKDROP.h,
             assets.titleBackdrop, 0, 0);
  drawHero(t);
  const SheetCell logo = SCREEN_PICTURE;
  blitKeyedBlended(assets.backBufferDC, 0, 0, 640, 480, assets.titleSheet, logo.x, logo.y, logo.w,
                   logo.h, t.logoOpacity, COLOR_WHITE);
  drawFadeCover(t.coverOpacity);

  if (t.phase == 1) {
    t.backdropX = -824;
    t.heroIdle = 1;
    t.heroX = 50;
    t.logoOpacity = 100;
    t.menuOpacity += 3;
    readMenuKeys(t);
  } else if (t.phase == 2) {
    t.menuOpacity = 100;
    t.phase = 3;
  }
  if (t.phase >= 1 && t.phase <= 3) drawMenu(t);

  // The walking picture uses the tick of the previous frame.
  t.walkFrame = t.walkTick % 7;
  t.idleFrame = (app.frameCount / 5) % 3;
  t.walkTick = app.frameCount / 6;

  if (t.blastState == 1) runExplosion(t);

  if (t.wobbleRising == 0)
    t.wobble -= 1;
  else
    t.wobble += 1;
  if (t.wobble > 1) t.wobbleRising = 0;
  if (t.wobble < -1) t.wobbleRising = 1;

  // Esc is ignored for the first 20 frames of the title.
  if (isKeyDown(VK_ESCAPE) && app.frameCount >= 21) app.quitRequested = 1;

  if (t.coverFadingIn) {
    t.coverOpacity -= 3;
    if (t.coverOpacity < 0) {
      t.coverOpacity = 0;
      t.coverFadingIn = 0;
    }
  }

  if (t.leaving == 1) walkOut(t);
  if (t.leaving == 2) {
    musicCommand(MUSIC_FADE_OUT, &assets.titleMusic);
    if (t.cursor == 0) {
      app.scene = SCENE_NEW_RUN;
      t.needsReset = 1;
    } else if (t.cursor == 1) {
      app.quitRequested = 1;
    }
  }
}
