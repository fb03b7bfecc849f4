// The scene machine, the frame loop's own state and the run counters.
#pragma once
#include <cstdint>

#include "platform/game.h"
#include "stage/assets.h"

enum SceneId : int32_t {
  SCENE_TITLE_ENTER = 0,
  SCENE_TITLE = 1,
  SCENE_NEW_RUN = 3,
  SCENE_PLAY = 4,
  SCENE_MISS = 6,
  SCENE_STAGE_ENTER = 8,
  SCENE_RESULT = 10,
};

constexpr int FRAME_MS = 40;
// The part of the stage the screen shows at once.
constexpr int VIEW_WIDTH = 640, VIEW_HEIGHT = 480;

// The play scene's fade of the black cover (fadeState).
enum FadeState : int32_t { FADE_NONE = 0, FADE_DARKENING = 1, FADE_BRIGHTENING = 2 };

// One bomb kind's slots as the frame loop keeps them.
struct BombArrays {
  float x[10];
  float y[10];
  int32_t state[10];
  int32_t extra[10];  // barrel: countdown; rolling: unused
};

struct GameSession {
  float playerX = 0, playerY = 0;
  float cameraX = 0, cameraY = 0;
  float screenX = 0, screenY = 0;
  int32_t playerAnim = 0;
  int32_t facing = 1;
  int32_t verticalState = 0;
  int32_t keyQ = 0, keyW = 0, keyE = 0;
  BombArrays thrown = {};
  BombArrays barrel = {};
  BombArrays rolling = {};
  int32_t fadeLevel = 100;
  // Miss screen.
  int32_t missAngle = -1;
  int32_t missStep = 0;
  int32_t missPose = 0, missPoseTick = 0;
  float missStepX = 0, missStepY = 0;
  int32_t missCursor = 0;
  int32_t menuPose = 0;
  int32_t missEnterLatch = 0;
  int32_t missKeyLatch = 0;
  int32_t darkness = 0;
  // Result screen.
  int32_t resultStep = -1;
  int32_t panelY = -480;
  int32_t restY = 0;
  int32_t bounceDir = -1, bounceTick = 0, bounceCount = 0;
  int32_t percent = 0;
  int32_t grades[4] = {0, 0, 0, 0};
  int32_t percentDigits[3] = {0, 0, 0};
  int32_t missDigits[3] = {0, 0, 0};
  int32_t timeDigits[4] = {0, 0, 0, 0};
  int32_t frameStartMs = 0;
};

struct TitleMenuState {
  int32_t needsReset = 1;
  int32_t phase = 0;
  int32_t cursor = 0;
  int32_t leaving = 0;
  float heroX = 0, heroY = 0;
  float heroStepX = 0, heroStepY = 0;
  int32_t heroWalksLeft = 0;
  int32_t heroIdle = 0;
  int32_t walkFrame = 0, walkTick = 0;
  int32_t idleFrame = 0;
  int32_t backdropX = 0;
  int32_t logoOpacity = 0, menuOpacity = 0, coverOpacity = 0;
  int32_t coverFadingIn = 0;
  int32_t blastState = 0, blastFrame = 0;
  int32_t wobble = 0, wobbleRising = 0;
  int32_t downLatch = 0, upLatch = 0;
  int32_t enterLatch = 1;
};

// The ending's own loop: where the picture has scrolled to, how far the
// floor has risen and which walking and floor pictures are shown.
struct EndingState {
  int32_t running = 0;
  int32_t scroll = 0, rise = 0;
  int32_t walkFrame = 0, floorFrame = 0;
};

struct AppState {
  SceneId scene = SCENE_TITLE_ENTER;
  int32_t quitRequested = 0;
  int32_t frameCount = 0;
  int32_t fadeState = FADE_NONE;
  int32_t missCount = 0;
  int32_t stageStartMs = 0;
  int32_t stageElapsedMs = 0, stageMinutes = 0, stageSeconds = 0;
  int32_t parTimeSeconds = 0;
  GameSession session;
  TitleMenuState title;
  EndingState ending;
  // Camera memory and the bomb display.
  float lastPlayerX = 0, lastPlayerY = 0, lastCameraX = 0, lastCameraY = 0;
  int32_t hudOpacity[3] = {100, 0, 0};
};
extern AppState app;

// Puts every subsystem back to its state at program start (assets stay).
void resetGame();
// Wires the lower layers' hooks to the scene code (called by resetGame).
void registerGameHooks();

// Start-up and shutdown.
void askStartupMode();
void loadAssets();
void holdTitlePictures();
void holdMissMenuPictures();
void holdStagePictures();
void holdResultPictures();
void freeAssets();
void pumpMessages();
[[noreturn]] void shutdownProgram(int exitCode);

// Frame loop and scenes.
void runFrameLoop();
void runFrame();  // one frame: music, scene work, present, pace, messages
void sceneNewRun();
void sceneStageEnter();
void returnToTitle();
// Every way out of a stage: its lists and surfaces go and its music ends
// (stage 42's boss music with this command, any other stage's fades out).
void leaveStage(int bossMusicCommand);
void resetRunCounters();
// Leaving a home stage: the counters and the stage clock start again.
void startNewAttempt();
// Starts the game on a stage as a door from home stage 0 would (stage 10
// or more), or as a new run on home stage n (0 .. 3).
void startOnStage(int n);
void advanceHome();

// Play frame.
void playFrame();
void updateKeyEdge(int key, int32_t* edge);
void readBombKeys(int32_t* keyQ, int32_t* keyW, int32_t* keyE);
void updateCamera(float px, float py, float* cx, float* cy, float* sx, float* sy);
void createStageSurfaces();
void freeStageSurfaces();
void presentStageView(float cx, float cy);
void drawPlayerShadow(float x, float y);
int isSolidForShadow(float x, float y);
void drawBombHud(const int32_t* thrownState, const int32_t* barrelState,
                 const int32_t* rollingState);
void resetBombs();
void drawFadeCover(int opacity);
// The bombs, the tiles' front edges, the blasts, the bomb display and the
// stage timers: the part of the stage layer that follows the player.
void drawStageObjects(GameSession& s, int frontEdges);

// Title, miss, result and ending.
void updateTitleMenu();
void missScreenFrame();
void resultScreenFrame();
void playEnding();
