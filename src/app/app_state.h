// The scene machine, the frame loop's own state and the run counters.
#pragma once
#include <cstdint>

#include "platform/sound.h"
#include "platform/sprite.h"

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
constexpr int MB_YESNO = 0x04;
constexpr int MB_ICONHAND = 0x10;
constexpr int MB_ICONQUESTION = 0x20;
constexpr int IDOK = 1;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

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

// Pictures and music kept for the whole run, and the stage surfaces.
constexpr int32_t NO_DEPTH = INT32_MIN;

struct Assets {
  Sprite backBufferDC = nullptr;
  Sprite tileSheet = nullptr, playerSheet = nullptr, bombSheet = nullptr, aimSheet = nullptr,
         stageBackdrop = nullptr, titleSheet = nullptr, blastSheet = nullptr, spareSheet = nullptr,
         blackSheet = nullptr, titleBackdrop = nullptr, shadowSheet = nullptr,
         keyIconSheet = nullptr, arrowSprite = nullptr, menuDimSheet = nullptr,
         menuLitSheet = nullptr, crushSheet = nullptr, missMenuSheet = nullptr,
         menuGlowSheet = nullptr, warpSheet = nullptr, resultPanel = nullptr, resultSheet = nullptr;
  Sprite stageSurface = nullptr, backdropSurface = nullptr;
  // The stage backdrop darkened for darkBackdropDepth (NO_DEPTH: not yet).
  Sprite darkBackdrop = nullptr;
  int32_t darkBackdropDepth = NO_DEPTH;
  MusicTrack mainMusic, titleMusic, bossMusic;
};

struct AppState {
  SceneId scene = SCENE_TITLE_ENTER;
  int32_t quitRequested = 0;
  int32_t frameCount = 0;
  int32_t fadeState = 0;
  int32_t missCount = 0;
  int32_t stageStartMs = 0;
  int32_t stageElapsedMs = 0, stageMinutes = 0, stageSeconds = 0;
  int32_t parTimeSeconds = 0;
  GameSession session;
  TitleMenuState title;
  // Camera memory and the bomb display.
  float lastPlayerX = 0, lastPlayerY = 0, lastCameraX = 0, lastCameraY = 0;
  int32_t hudOpacity[3] = {100, 0, 0};
};
extern AppState app;
extern Assets assets;

// Puts every subsystem back to its state at program start (assets stay).
void resetGame();

// Start-up and shutdown.
void askStartupMode();
void loadAssets();
void freeAssets();
void pumpMessages();
// Exit statuses: a quit the player chose is a success; a game that cannot
// go on (a picture it cannot read) is a failure.
constexpr int EXIT_CHOSEN_QUIT = 0;
constexpr int EXIT_GAME_FAILURE = 1;
[[noreturn]] void shutdownProgram(int exitCode);
int runStartup();  // the whole program: start-up, frame loop, shutdown

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
