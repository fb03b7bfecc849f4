// The result screen after the goal chest: the character hops, the stage
// darkens, a panel slides in and three scores appear one by one (blocks
// crushed, time against par, misses), each with a grade, then the overall
// grade. Enter or Esc goes on to the home stage.
#include <cstdlib>

#include "app/app_state.h"
#include "app/stage_drawing.h"
#include "bombs/bomb_state.h"
#include "platform/input.h"
#include "platform/os.h"
#include "player/player_state.h"
#include "stage/stage_state.h"

// The stage under the screen, with the character hopping on it.
static void drawStageLayer(GameSession& s) {
  bool left = s.facing == -1;
  clearScreen(assets.backBufferDC, 0);
  drawStage(s.cameraX, s.cameraY);
  // On this screen playerY holds the character's screen y; the shadow is
  // drawn on the stage, so it gets the stage y back (screen = stage − camera).
  if (player.stageWarpPhase == 0) drawPlayerShadow(s.playerX, s.playerY + s.cameraY);
  presentStageView(s.cameraX, s.cameraY);
  drawThrowPreview(s.thrown.state, s.keyQ, s.cameraX, s.cameraY, s.facing);
  const SheetCell pose = standingPose(2, left);
  blitKeyed(assets.backBufferDC, (int)s.screenX, (int)(s.playerY + 5), pose.w, pose.h,
            assets.playerSheet, pose.x, pose.y, COLOR_WHITE);
  updateStageWarp(&s.playerX, &s.playerY, s.screenX, s.screenY);
  drawStageObjects(s, 1);
}

static void drawDigit(int x, int y, int d) {
  const SheetCell c = resultDigit(d);
  blitKeyedStretched(assets.backBufferDC, x, y, 25, 33, assets.resultSheet, c.x, c.y, c.w, c.h,
                     COLOR_WHITE);
}

static void drawSmallGrade(int y, int g) {
  const SheetCell c = smallGrade(g);
  blitKeyedStretched(assets.backBufferDC, 510, y, 48, 56, assets.resultSheet, c.x, c.y, c.w, c.h,
                     COLOR_WHITE);
}

static void drawOverlays(const GameSession& s) {
  if (s.resultStep >= 1) drawFadeCover(s.darkness);
  if (s.resultStep >= 2) {
    const SheetCell panel = SCREEN_PICTURE;
    blitKeyedStretched(assets.backBufferDC, 0, s.panelY, 640, 480, assets.resultPanel, panel.x,
                       panel.y, panel.w, panel.h, COLOR_WHITE);
  }
  if (s.resultStep >= 4) {
    for (int i = 0; i < 3; i++) drawDigit(325 + 25 * i, 152, s.percentDigits[i]);
    drawSmallGrade(140, s.grades[0]);
  }
  if (s.resultStep >= 5) {
    // Minutes and seconds with one digit's gap between them.
    for (int i = 0; i < 4; i++) drawDigit(325 + 25 * i + (i >= 2 ? 25 : 0), 218, s.timeDigits[i]);
    drawSmallGrade(205, s.grades[1]);
  }
  if (s.resultStep >= 6) {
    for (int i = 0; i < 3; i++) drawDigit(325 + 25 * i, 283, s.missDigits[i]);
    drawSmallGrade(270, s.grades[2]);
  }
  if (s.resultStep >= 7) {
    const SheetCell c = largeGrade(s.grades[3]);
    blitKeyedStretched(assets.backBufferDC, 410, 320, 90, 100, assets.resultSheet, c.x, c.y, c.w,
                       c.h, COLOR_WHITE);
  }
}

// Three decimal digits, hundreds first; each kept to 0..9 so that no
// value picks a picture outside the digit row.
static void threeDigits(int32_t v, int32_t* out) {
  int64_t a = std::llabs((int64_t)v);
  out[0] = (int32_t)(a / 100 % 10);
  out[1] = (int32_t)(a / 10 % 10);
  out[2] = (int32_t)(a % 10);
}

static void hop(GameSession& s) {
  s.playerY += s.bounceDir * 10;
  if (s.restY - s.playerY >= 30 && s.bounceDir == -1) {
    s.bounceDir = 1;
    s.playerY = (float)(s.restY - 30);
  } else if (s.restY - s.playerY <= 0 && s.bounceDir == 1) {
    s.bounceDir = 0;
    s.playerY = (float)s.restY;
    s.bounceTick = 0;
  } else if (s.bounceDir == 0 && s.bounceTick > 10) {
    s.bounceDir = -1;
    s.bounceCount += 1;
  }
  s.bounceTick += 1;
  if (s.bounceCount > 3) {
    s.bounceCount = 0;
    s.resultStep = 1;
  }
}

static int32_t stepAge() { return osMsSince(app.stageStartMs); }

static void nextScore(GameSession& s, int step) {
  s.resultStep = step;
  app.stageStartMs = osNowMs();
  playWave("SE/Tbomb.wav");
}

static void scoreBlocks(GameSession& s) {
  // A stage without blocks has nothing left to crush: it counts as all
  // crushed (100 percent, the best grade) rather than dividing by zero.
  s.percent = stage.blocksTotal != 0 ? stage.blocksCrushed * 100 / stage.blocksTotal : 100;
  if (s.percent <= 60)
    s.grades[0] = 4;
  else if (s.percent <= 70)
    s.grades[0] = 3;
  else if (s.percent <= 80)
    s.grades[0] = 2;
  else if (s.percent <= 90)
    s.grades[0] = 1;
  else if (s.percent <= 100)
    s.grades[0] = 0;
  // Above 100 percent the grade keeps its previous value.
  threeDigits(s.percent, s.percentDigits);
  nextScore(s, 4);
}

static void scoreTime(GameSession& s) {
  int32_t over = app.stageElapsedMs / 1000 - app.parTimeSeconds;
  if (over <= 30)
    s.grades[1] = 0;
  else if (over <= 60)
    s.grades[1] = 1;
  else if (over <= 90)
    s.grades[1] = 2;
  else if (over <= 120)
    s.grades[1] = 3;
  else
    s.grades[1] = 4;
  s.timeDigits[0] = app.stageMinutes / 10 % 10;
  s.timeDigits[1] = app.stageMinutes % 10;
  s.timeDigits[2] = app.stageSeconds / 10 % 10;
  s.timeDigits[3] = app.stageSeconds % 10;
  nextScore(s, 5);
}

static void scoreMisses(GameSession& s) {
  s.grades[2] = app.missCount >= 4 ? 4 : app.missCount;
  threeDigits(app.missCount, s.missDigits);
  nextScore(s, 6);
}

static void endResult(GameSession& s) {
  s.resultStep = -1;
  leaveStage(MUSIC_STOP);
  stage.parMinutes = 0;
  stage.parSeconds = 0;
  resetRunCounters();
  app.stageStartMs = osNowMs();
  app.scene = SCENE_STAGE_ENTER;
  app.fadeState = FADE_BRIGHTENING;
  advanceHome();  // may show the ending and send the game to the title
}

void resultScreenFrame() {
  GameSession& s = app.session;
  holdResultPictures();
  if (s.resultStep == -1) {
    s.darkness = 0;
    // The stage clock stops here.
    app.stageElapsedMs = osMsSince(app.stageStartMs);
    app.stageMinutes = app.stageElapsedMs / 60000;
    app.stageSeconds = app.stageElapsedMs / 1000 - app.stageMinutes * 60;
    s.resultStep = 0;
    s.playerY = s.screenY;  // from here on the character's screen y
    s.restY = (int32_t)s.screenY;
    s.panelY = -480;
  }

  drawStageLayer(s);
  drawOverlays(s);

  // The hop runs straight into the darkening in the same frame; every
  // later step waits for the next frame.
  if (s.resultStep == 0) hop(s);
  switch (s.resultStep) {
    case 1:
      s.darkness += 5;
      if (s.darkness >= 50) {
        s.darkness = 50;
        s.resultStep = 2;
      }
      break;
    case 2:
      s.panelY += 20;
      if (s.panelY >= 0) {
        s.panelY = 0;
        s.resultStep = 3;
        app.stageStartMs = osNowMs();  // from here on the time stamp of the steps
      }
      break;
    case 3:
      if (stepAge() >= 1000) scoreBlocks(s);
      break;
    case 4:
      if (stepAge() >= 1000) scoreTime(s);
      break;
    case 5:
      if (stepAge() >= 1000) scoreMisses(s);
      break;
    case 6:
      if (stepAge() >= 2000) {
        s.grades[3] = (s.grades[0] + s.grades[1] + s.grades[2]) / 3;
        s.resultStep = 7;
        playWave("SE/Tbomb.wav");
      }
      break;
    case 7:
      if (isKeyDown(VK_RETURN) || isKeyDown(VK_ESCAPE)) endResult(s);
      break;
  }
}
