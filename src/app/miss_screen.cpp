// The miss screen: the character falls while the stage darkens, flies to
// the middle of the screen, and a menu offers a retry from the last save or
// the way back to the title. The stage goes on being drawn underneath.
#include <cmath>

#include "app/app_state.h"
#include "app/stage_drawing.h"
#include "bombs/bomb_state.h"
#include "platform/input.h"
#include "player/player_state.h"
#include "stage/stage_state.h"

constexpr double PI = 3.14159265358979;

// The stage under the screen: drawn and its timers run, but neither the
// player nor the bombs move (blasts already started play to their end).
static void drawStageLayer(GameSession& s) {
  clearScreen(assets.backBufferDC, 0);
  drawStage(s.cameraX, s.cameraY);
  presentStageView(s.cameraX, s.cameraY);
  // The miss screen shows the front edges only once barrels were found.
  drawStageObjects(s, stage.barrelBombFound);
}

static void drawStandingPose(const GameSession& s, bool left) {
  const SheetCell c = standingPose(s.missPose, left);
  blitKeyed(assets.backBufferDC, (int)(s.playerX - (left ? 25 : 0)), (int)s.playerY, c.w, c.h,
            assets.playerSheet, c.x, c.y, COLOR_WHITE);
}

static void drawFallPose(const GameSession& s, bool left) {
  int n = s.missPose;
  const SheetCell c = missFallPose(n, left);
  blitKeyed(assets.backBufferDC, (int)(s.playerX - ((n > 0 && left) ? 25 : 0)), (int)s.playerY, c.w,
            c.h, assets.playerSheet, c.x, c.y, COLOR_WHITE);
}

static void resetMissSequence(GameSession& s) {
  s.missStepX = 0;
  s.missStepY = 0;
  s.missStep = 0;
  s.missAngle = -1;
  s.missCursor = 0;
}

static void retry(GameSession& s) {
  app.scene = SCENE_PLAY;
  s.darkness = 0;
  s.missStep = 0;
  s.missAngle = -1;
  s.missPose = 0;
  s.missPoseTick = 0;
  s.missStepX = 0;
  s.missStepY = 0;
  s.missCursor = 0;
  // Back to the position and the stage as last saved, every bomb reset;
  // the play scene brightens from black and moves the camera there.
  loadSaves(&s.playerX, &s.playerY);
  resetBombs();
  s.fadeLevel = 100;
  app.fadeState = FADE_BRIGHTENING;
}

// Esc from the menu: straight to the title, without saving and with the
// run's counters left as they are (the next run reloads the saves).
static void leaveToTitle(GameSession& s) {
  resetMissSequence(s);
  leaveStage(MUSIC_FADE_OUT);
  app.scene = SCENE_TITLE_ENTER;
}

static void runMenu(GameSession& s, bool left) {
  const SheetCell menu = missMenu(s.missCursor), pose = menuPose(s.menuPose);
  holdMissMenuPictures();
  blitKeyedStretched(assets.backBufferDC, 0, 0, 640, 480, assets.missMenuSheet, menu.x, menu.y,
                     menu.w, menu.h, COLOR_WHITE);
  blitKeyed(assets.backBufferDC, (int)(s.playerX + 12 - (left ? 50 : 0)), (int)s.playerY, pose.w,
            pose.h, assets.playerSheet, pose.x, pose.y, COLOR_WHITE);
  s.menuPose = s.menuPose >= MENU_POSES - 1 ? 0 : s.menuPose + 1;

  // First match only; a held key sounds once.
  if (isKeyDown(VK_DOWN)) {
    if (s.missKeyLatch == 0) playWave("SE/cursor2.wav");
    s.missKeyLatch = 1;
    s.missCursor = 1;
  } else if (isKeyDown(VK_UP)) {
    if (s.missKeyLatch == 0) playWave("SE/cursor1.wav");
    s.missKeyLatch = 1;
    s.missCursor = 0;
  } else if (isKeyDown(VK_RETURN) && s.missEnterLatch == 0) {
    s.missPose = 0;
    s.missPoseTick = 0;
    if (s.missKeyLatch == 0) playWave("SE/start.wav");
    if (s.missCursor == 0) {
      s.missStep = 3;
    } else if (s.missCursor == 1) {
      resetMissSequence(s);
      returnToTitle();
    }
  } else if (isKeyDown(VK_ESCAPE)) {
    leaveToTitle(s);
  } else {
    s.missKeyLatch = 0;
  }
}

static double distanceSquared(float x1, float y1, float x2, float y2) {
  double dx = (double)x1 - x2, dy = (double)y1 - y2;
  return dx * dx + dy * dy;
}

// A new picture every 6 frames; returns true once the third has had its turn.
static bool advancePose(GameSession& s) {
  if (s.missPoseTick > 5) {
    s.missPose += 1;
    s.missPoseTick = 0;
  }
  s.missPoseTick += 1;
  return s.missPose >= 3;
}

void missScreenFrame() {
  GameSession& s = app.session;
  bool left = s.facing == -1;
  if (s.missAngle == -1) {
    // From here on the pair holds screen coordinates.
    s.playerX = s.screenX;
    s.playerY = s.screenY;
    s.darkness = 0;
    s.missAngle = angleBetween(s.playerX, s.playerY, 295 + (left ? 25 : 0), 215);
    s.missStepX = (float)(std::cos(s.missAngle * PI / 180) * 10);
    s.missStepY = (float)(std::sin(s.missAngle * PI / 180) * 10);
    s.missEnterLatch = 0;
    app.missCount += 1;
  }

  drawStageLayer(s);
  if (s.missStep == 4) drawStandingPose(s, left);
  drawFadeCover(s.darkness);
  if (s.missStep < 3)
    drawFallPose(s, left);
  else if (s.missStep == 3)
    drawStandingPose(s, left);

  // Enter during the fall or the flight skips to the menu; the same press
  // must be released before it can choose there.
  if (isKeyDown(VK_RETURN)) {
    if (s.missStep <= 1 && s.missEnterLatch == 0) {
      s.missEnterLatch = 1;
      s.missPose = 2;
      s.missStep = 2;
      s.darkness = 50;
      s.playerX = (float)(295 + (left ? 25 : 0));
      s.playerY = 215;
    }
  } else {
    s.missEnterLatch = 0;
  }

  switch (s.missStep) {
    case 0:  // fall
      s.darkness += 3;
      if (advancePose(s)) {
        s.missStep = 1;
        s.missPose = 2;
      }
      break;
    case 1: {  // flight to the middle of the screen
      float targetX = (float)(295 + (left ? 25 : 0)), targetY = 215;
      double before = distanceSquared(s.playerX, s.playerY, targetX, targetY);
      s.playerX -= s.missStepX;
      s.playerY -= s.missStepY;
      if (s.playerY <= 215) {
        s.missStep = 2;
      } else if (distanceSquared(s.playerX, s.playerY, targetX, targetY) > before &&
                 (s.playerX < -50 || s.playerX > 690 || s.playerY > 530)) {
        // The direction is whole degrees: from just below the target's row
        // (or from the target itself) the flight can miss that row for good.
        // One that has passed the target and left the screen ends there.
        s.playerX = targetX;
        s.playerY = targetY;
        s.missStep = 2;
      }
      break;
    }
    case 2: runMenu(s, left); break;
    case 3:  // retry pose
      if (advancePose(s)) {
        s.missPose = 2;
        s.missStep = 4;
      }
      break;
    case 4:  // retry fade
      s.darkness += 3;
      if (s.darkness >= 100) retry(s);
      break;
  }
}
