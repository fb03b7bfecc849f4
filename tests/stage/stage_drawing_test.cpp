// Stage drawing and the cell animations: which picture lands where, the
// frame counters, the gate slides, the chests' rewards and the front edges.
#include "app/stage_drawing.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "bombs/bomb_state.h"
#include "platform/display.h"
#include "platform/headless/headless.h"
#include "platform/sprite.h"
#include "stage/stage_state.h"
#include "temp_folder.h"

namespace fs = std::filesystem;

namespace {

constexpr int COLS = 60, ROWS = 40;  // the test stage: 1500 x 1000 pixels
constexpr uint32_t TILE_TAG = 0x07, BOMB_TAG = 0x09;
constexpr uint32_t ARROW_PIXEL = 0xA01020;
constexpr uint32_t BACKDROP_PIXEL = 0xFAFAFA;
constexpr uint32_t BACKDROP_MARK = 0x3060C0;

// Synthetic sheets whose pixels tell where on the sheet they were taken
// from: red = x / 10, green = y / 10, blue = a tag per sheet. No pixel is
// white or the decorations' key colour.
uint32_t sheetPixel(int x, int y, uint32_t tag) {
  return (uint32_t)(x / 10) << 16 | (uint32_t)(y / 10) << 8 | tag;
}

Sprite makeSheet(int w, int h, uint32_t tag) {
  Sprite s = createBlankSprite(w, h);
  for (int y = 0; y < h; y++)
    for (int x = 0; x < w; x++) s->pixels[(size_t)y * w + x] = sheetPixel(x, y, tag);
  return s;
}

Sprite makeFilled(int w, int h, uint32_t pixel) {
  Sprite s = createBlankSprite(w, h);
  for (auto& p : s->pixels) p = pixel;
  return s;
}

uint32_t pixelAt(Sprite s, int x, int y) { return colorRefToPixel(readPixel(s, x, y)); }

struct Source {
  int x, y;
  uint32_t tag;
};
// Where on which synthetic sheet the pixel at (x, y) of s came from, to
// the nearest 10 px.
Source sourceAt(Sprite s, int x, int y) {
  uint32_t p = pixelAt(s, x, y);
  return {(int)((p >> 16) & 0xFF) * 10, (int)((p >> 8) & 0xFF) * 10, p & 0xFF};
}

::testing::AssertionResult samePicture(const SpriteSurface& want, const SpriteSurface& got) {
  if (want.width != got.width || want.height != got.height)
    return ::testing::AssertionFailure() << "sizes differ";
  for (size_t i = 0; i < want.pixels.size(); i++) {
    if (want.pixels[i] != got.pixels[i]) {
      return ::testing::AssertionFailure()
             << "first difference at (" << i % want.width << ", " << i / want.width << "): want 0x"
             << std::hex << want.pixels[i] << ", got 0x" << got.pixels[i];
    }
  }
  return ::testing::AssertionSuccess();
}

void clearGrid() {
  for (auto& row : stage.grid)
    for (auto& c : row) c = MapCell{};
}

MapCell& put(int row, int col, int kind, int state = 0, int gateColour = 0) {
  MapCell& c = stage.grid[row][col];
  c = MapCell{};
  c.kind = (int8_t)kind;
  c.state = (int8_t)state;
  c.gateColour = gateColour;
  return c;
}

class StageDrawing : public ::testing::Test {
 public:
  void SetUp() override {
    resetDisplayState();
    display.scaleMode = 0;
    display.screenWidth = 640;
    display.screenHeight = 480;
    resetGame();
    headlessReset();
    clearGrid();
    stage.stageRows = ROWS;
    stage.stageCols = COLS;
    stage.crushEffects = nullptr;
    stage.platforms = nullptr;
    makeSurfaces(COLS * 25, ROWS * 25);
    assets.backBufferDC = createBackBuffer();
    useSyntheticSheets();
  }

  void TearDown() override {
    freeCrushEffects();
    stage.platforms = nullptr;
    Sprite* all[] = {&assets.stageSurface,  &assets.darkBackdrop, &assets.backdropSurface,
                     &assets.backBufferDC,  &assets.tileSheet,    &assets.bombSheet,
                     &assets.stageBackdrop, &assets.blackSheet,   &assets.arrowSprite,
                     &assets.crushSheet};
    for (Sprite* s : all) {
      freeSprite(*s);
      *s = nullptr;
    }
    clearGrid();
    if (saves) setSaveFolder("save");
  }

  void makeSurfaces(int w, int h) {
    freeSprite(assets.stageSurface);
    freeSprite(assets.darkBackdrop);
    freeSprite(assets.backdropSurface);
    assets.stageSurface = createBlankSprite(w, h);
    assets.darkBackdrop = createBlankSprite(640, 480);
    assets.darkBackdropDepth = NO_DEPTH;
    assets.backdropSurface = createBlankSprite(640, 480);
  }

  void useSyntheticSheets() {
    assets.tileSheet = makeSheet(1500, 1750, TILE_TAG);
    assets.bombSheet = makeSheet(500, 300, BOMB_TAG);
    assets.stageBackdrop = makeFilled(640, 480, BACKDROP_PIXEL);
    assets.stageBackdrop->pixels[0] = BACKDROP_MARK;
    assets.blackSheet = makeFilled(640, 480, 0);
    assets.arrowSprite = makeFilled(60, 60, ARROW_PIXEL);
    assets.crushSheet = createBlankSprite(5000, 500);
    for (int y = 0; y < 500; y++)
      for (int x = 0; x < 5000; x++)
        assets.crushSheet->pixels[(size_t)y * 5000 + x] =
            (uint32_t)(20 * (x / 500) + 10) << 16 | (uint32_t)(y / 2) << 8 | 0x03;
  }

  // A fresh folder for the save files of one test.
  void useTempSaveFolder() {
    saves = std::make_unique<TempFolder>("puxten-stagedraw");
    saveDir = saves->path();
    setSaveFolder(saveDir.c_str());
  }
  bool saveFileExists(const char* name) { return fs::exists(fs::path(saveDir) / name); }

  // Draws one frame twice from the same counters, first with `hide` undone
  // by `show` afterwards, and returns the first picture: the frame as it
  // would be without the thing under test.
  template <class Hide, class Show>
  SpriteSurface drawWithout(float cx, float cy, Hide hide, Show show) {
    StageDrawState before = stageDraw;
    int32_t frames = app.frameCount;
    hide();
    drawStage(cx, cy);
    SpriteSurface base = *assets.stageSurface;
    show();
    stageDraw = before;
    app.frameCount = frames;
    drawStage(cx, cy);
    return base;
  }
  // The same with one cell emptied for the first drawing.
  SpriteSurface drawWithoutCell(float cx, float cy, int row, int col) {
    MapCell saved = stage.grid[row][col];
    return drawWithout(
        cx, cy, [&] { stage.grid[row][col] = MapCell{}; }, [&] { stage.grid[row][col] = saved; });
  }

  std::unique_ptr<TempFolder> saves;
  std::string saveDir;
};

// ---------------------------------------------------------------------------
// The cell pictures.

struct Expected {
  int x, y, w, h, sx, sy, sw, sh;
};
struct CellCase {
  const char* name;
  int kind, state, gateColour;
  bool drawn;
  Expected e;
};

// Cell (8, 8) is drawn at (200, 200); pulseFrame is 1, portalFrame 0 in the
// first frame.
const CellCase CELL_CASES[] = {
    {"wall", WALL, 0, 0, true, {200, 200, 31, 31, 50, 0, 50, 50}},
    {"weight switch pressed", WEIGHT_SWITCH, 1, 0, true, {200, 200, 31, 31, 350, 0, 50, 50}},
    {"switch A up", SWITCH_A, 0, 0, true, {200, 200, 31, 31, 150, 400, 50, 50}},
    {"hazard D", HAZARD_D, 0, 0, true, {200, 200, 31, 31, 150, 100, 50, 50}},
    {"vertical gate 1", GATE_VERTICAL, 0, 1, true, {200, 200, 31, 117, 250, 150, 50, 190}},
    {"horizontal gate 2", GATE_HORIZONTAL, 0, 2, true, {200, 200, 117, 31, 300, 1350, 190, 50}},
    {"warp", WARP, 0, 0, true, {185, 180, 62, 62, 0, 700, 150, 150}},
    {"timed switch pressed", TIMED_SWITCH, 1, 0, true, {200, 200, 31, 31, 600, 450, 50, 50}},
    {"stage door", STAGE_DOOR, 0, 0, true, {185, 180, 62, 62, 0, 1200, 150, 150}},
    {"barrel chest emptied", CHEST_BARREL_BOMB, 3, 0, true, {200, 200, 31, 31, 50, 325, 50, 50}},
    {"vertical part 2", GATE_VERTICAL_PART, 0, 2, true, {200, 200, 31, 31, 250, 1470, 50, 50}},
    {"horizontal part 3", GATE_HORIZONTAL_PART, 0, 3, true, {200, 200, 31, 31, 400, 1550, 50, 50}},
    // Invisible: kinds without a picture and gates without a picture set.
    {"kind 7", 7, 0, 0, false, {}},
    {"negative kind", -5, 0, 0, false, {}},
    {"gate without colour", GATE_VERTICAL, 0, 0, false, {}},
    {"part colour 4", GATE_HORIZONTAL_PART, 0, 4, false, {}},
};

void checkCellPictures(StageDrawing& t) {
  for (const CellCase& c : CELL_CASES) {
    SCOPED_TRACE(c.name);
    resetStageDrawState();
    clearGrid();
    MapCell& cell = put(8, 8, c.kind, c.state, c.gateColour);
    cell.linkRow = 0;  // parts belong to a closed "gate" at (0, 0)
    cell.linkCol = 0;
    SpriteSurface want = t.drawWithoutCell(0, 0, 8, 8);
    if (c.drawn) {
      const Expected& e = c.e;
      blitKeyedStretched(&want, e.x, e.y, e.w, e.h, assets.tileSheet, e.sx, e.sy, e.sw, e.sh,
                         0xFFFFFF);
    }
    EXPECT_TRUE(samePicture(want, *assets.stageSurface));
  }
}

TEST_F(StageDrawing, EachKindDrawsItsTile) { checkCellPictures(*this); }

TEST_F(StageDrawing, EachKindDrawsItsTileFromTheGamesPictures) {
  const std::string dir = std::string(PUXTEN_DATA_DIR) + "/image/";
  const char* files[] = {"boxs.bmp", "bombs.bmp", "mapback.bmp",
                         "kuro.bmp", "allow.bmp", "BlockCrush.bmp"};
  for (const char* f : files)
    if (!fs::exists(dir + f)) GTEST_SKIP() << "no " << dir << f;
  Sprite* sheets[] = {&assets.tileSheet,  &assets.bombSheet,   &assets.stageBackdrop,
                      &assets.blackSheet, &assets.arrowSprite, &assets.crushSheet};
  for (int i = 0; i < 6; i++) {
    freeSprite(*sheets[i]);
    *sheets[i] = loadSprite((dir + files[i]).c_str());
  }
  checkCellPictures(*this);
}

TEST_F(StageDrawing, SwitchACyclesItsPictureEveryThirdFrame) {
  put(5, 8, SWITCH_A);
  std::vector<int> seen;
  for (int i = 0; i < 19; i++) {
    drawStage(0, 0);
    Source s = sourceAt(assets.stageSurface, 25 * 8 + 1, 25 * 5 + 1);
    ASSERT_EQ(s.tag, TILE_TAG);
    EXPECT_EQ(s.y, 400);
    seen.push_back(s.x);
  }
  const std::vector<int> want = {150, 300, 300, 300, 450, 450, 450, 300, 300, 300,
                                 150, 150, 150, 0,   0,   0,   150, 150, 150};
  EXPECT_EQ(seen, want);
}

TEST_F(StageDrawing, OnlyCellsOfTheDrawnWindowAreDrawn) {
  // Camera at (250, 500): the view (250 .. 889, 500 .. 979) shows the
  // corners of rows 20 .. 39 and columns 10 .. 35; nothing beyond it is drawn.
  const int inside[][2] = {{20, 10}, {20, 35}, {39, 10}, {39, 35}, {25, 20}};
  const int outside[][2] = {{18, 20}, {25, 8}, {25, 37}, {40, 20}};
  auto isWall = [](Source s) { return s.tag == TILE_TAG && s.x == 50 && s.y == 0; };
  makeSurfaces(2000, 2000);
  for (auto& rc : inside) put(rc[0], rc[1], WALL);
  for (auto& rc : outside) put(rc[0], rc[1], WALL);
  // Paint the surface over so that stale pixels cannot pass for tiles.
  for (auto& p : assets.stageSurface->pixels) p = 0;
  drawStage(250, 500);
  for (auto& rc : inside) {
    EXPECT_TRUE(isWall(sourceAt(assets.stageSurface, 25 * rc[1] + 1, 25 * rc[0] + 1)))
        << rc[0] << "," << rc[1];
  }
  for (auto& rc : outside) {
    EXPECT_FALSE(isWall(sourceAt(assets.stageSurface, 25 * rc[1] + 1, 25 * rc[0] + 1)))
        << rc[0] << "," << rc[1];
  }
}

TEST_F(StageDrawing, OverhangsLandOnTheRightAndLowerNeighbours) {
  put(8, 8, WALL);
  put(8, 9, BLOCK_WEAK);
  put(9, 8, BLOCK_STRONG);
  drawStage(0, 0);
  // The wall's 6 px overhang covers the top-left corners of both neighbours.
  EXPECT_EQ(sourceAt(assets.stageSurface, 226, 210).x / 50, 1);
  EXPECT_EQ(sourceAt(assets.stageSurface, 210, 226).x / 50, 1);
  EXPECT_EQ(sourceAt(assets.stageSurface, 232, 210).x / 50, 2);
  EXPECT_EQ(sourceAt(assets.stageSurface, 210, 232).x / 50, 4);
}

TEST_F(StageDrawing, PlatformsShowTheirFourFrames) {
  MovingPlatform m{};
  m.x = 100.7f;
  m.y = 200.2f;
  stage.platforms = &m;
  for (int i = 0; i < 5; i++) {
    drawStage(0, 0);
    Source s = sourceAt(assets.stageSurface, 101, 201);
    EXPECT_EQ(s.x, 200 + 50 * (i % 4));
    EXPECT_EQ(s.y, 100);
  }
  // Truncated to (100, 200).
  EXPECT_EQ(sourceAt(assets.stageSurface, 100, 200).tag, TILE_TAG);
  EXPECT_NE(sourceAt(assets.stageSurface, 99, 200).tag, TILE_TAG);
  EXPECT_NE(sourceAt(assets.stageSurface, 100, 199).tag, TILE_TAG);
}

// ---------------------------------------------------------------------------
// Counters.

TEST_F(StageDrawing, TickWrapsAfter99AndThirdFrameCountersStepTwice) {
  // Ticks 98 (even), 99 (a multiple of three) and 0 (both).
  stageDraw.stageTick = 98;
  for (int i = 0; i < 3; i++) drawStage(0, 0);
  EXPECT_EQ(stageDraw.stageTick, 1);
  EXPECT_EQ(stageDraw.pulseFrame, 3);
  EXPECT_EQ(stageDraw.glowFrame, 2);
  EXPECT_EQ(stageDraw.decorFrame, 2);
}

// ---------------------------------------------------------------------------
// Backdrop.

TEST_F(StageDrawing, BackdropDarkensWithDepth) {
  auto channel = [] { return (int)(pixelAt(assets.backdropSurface, 5, 5) & 0xFF); };
  drawStage(0, 0);
  EXPECT_EQ(channel(), 250);
  drawStage(0, 1000);  // row 40: 40 % black
  EXPECT_NEAR(channel(), 150, 1);
  drawStage(0, 5000);  // from row 80 on: as dark as it gets
  EXPECT_NEAR(channel(), 50, 1);
}

TEST_F(StageDrawing, GlowsShowOnlyFromRow51) {
  // Inside the top-left glow (around (160, 120)) but clear of the small
  // decoration at (160, 120) itself, against a plain part of the backdrop.
  auto glowShows = [] {
    return pixelAt(assets.backdropSurface, 125, 100) != pixelAt(assets.backdropSurface, 5, 5);
  };
  drawStage(0, 1250);  // row 50: opacity 0
  EXPECT_FALSE(glowShows());
  drawStage(0, 1275);  // row 51: opacity 1
  EXPECT_TRUE(glowShows());
}

TEST_F(StageDrawing, DecorationsUseTheirOwnKeyColour) {
  drawStage(0, 0);  // drawn with decorFrame 0
  for (auto pt : {std::pair{160, 120}, {480, 120}, {160, 360}, {480, 360}}) {
    Source s = sourceAt(assets.backdropSurface, pt.first + 1, pt.second + 1);
    EXPECT_EQ(s.tag, TILE_TAG);
    EXPECT_EQ(s.x, 0);
    EXPECT_EQ(s.y, 500);
    EXPECT_NE(sourceAt(assets.backdropSurface, pt.first + 20, pt.second).tag, TILE_TAG);
  }
  // Orange (0x2B92FF) source pixels are left out.
  for (int y = 500; y < 505; y++)
    for (int x = 25; x < 30; x++)
      assets.tileSheet->pixels[(size_t)y * 1500 + x] = colorRefToPixel(0x2B92FF);
  drawStage(0, 0);  // decorFrame 1: source (25, 500)
  EXPECT_EQ(pixelAt(assets.backdropSurface, 161, 121), BACKDROP_PIXEL);
  EXPECT_EQ(sourceAt(assets.backdropSurface, 161, 130).tag, TILE_TAG);
}

TEST_F(StageDrawing, BackdropRepeatsAtHalfTheCameraSpeed) {
  makeSurfaces(2000, 2000);
  // Camera (700, 1000): offsets (30, 20); copies start at x 670, 1310 and
  // y 980, 1460, of which the view (700 .. 1339, 1000 .. 1479) shows parts.
  drawStage(700, 1000);
  Sprite bd = assets.backdropSurface;
  const uint32_t mark = pixelAt(bd, 0, 0);
  ASSERT_NE(mark, pixelAt(bd, 1, 0));
  EXPECT_EQ(pixelAt(assets.stageSurface, 1310, 1460), mark);
  EXPECT_NE(pixelAt(assets.stageSurface, 1311, 1460), mark);
  EXPECT_NE(pixelAt(assets.stageSurface, 1310, 1461), mark);
  EXPECT_EQ(pixelAt(assets.stageSurface, 700, 1000), pixelAt(bd, 30, 20));
  EXPECT_EQ(pixelAt(assets.stageSurface, 1309, 1459), pixelAt(bd, 639, 479));
  // Fractions truncate: offsets (30.3, 20.25), corner at (670.3, 980.25).
  drawStage(700.6f, 1000.5f);
  EXPECT_EQ(pixelAt(assets.stageSurface, 1310, 1460), mark);
}

// ---------------------------------------------------------------------------
// Gates.

struct GateFixture {
  // A vertical gate at (10, 10) with its parts below it, driven by colour g.
  static void build(int g) {
    put(10, 10, GATE_VERTICAL, 0, g);
    for (int r = 11; r <= 13; r++) {
      MapCell& p = put(r, 10, GATE_VERTICAL_PART, 0, g);
      p.linkRow = 10;
      p.linkCol = 10;
    }
  }
  static void open() {
    stage.grid[10][10].state = 1;
    for (int r = 11; r <= 13; r++) stage.grid[r][10] = MapCell{};
  }
};

TEST_F(StageDrawing, OpenVerticalGateSlidesUp75PxInFiveFrames) {
  GateFixture::build(1);
  drawStage(0, 0);
  // Closed: the gate picture at its cell, over its parts.
  EXPECT_EQ(sourceAt(assets.stageSurface, 251, 251).y, 150);
  EXPECT_NE(sourceAt(assets.stageSurface, 251, 251 - 75).tag, TILE_TAG);  // backdrop
  EXPECT_EQ(stage.grid[10][10].progress, 0);

  GateFixture::open();
  for (int i = 1; i <= 6; i++) {
    int drawnAt = 250 - stage.grid[10][10].progress;
    drawStage(0, 0);
    EXPECT_EQ(stage.grid[10][10].progress, std::min(15 * i, 75));
    Source s = sourceAt(assets.stageSurface, 251, drawnAt + 1);
    EXPECT_EQ(s.tag, TILE_TAG);
    EXPECT_EQ(s.y, 150);
    EXPECT_NE(sourceAt(assets.stageSurface, 251, drawnAt - 1).tag, TILE_TAG);
  }
  // Fully open: the picture stands 75 px higher and its lower end no
  // longer reaches the old parts.
  EXPECT_EQ(sourceAt(assets.stageSurface, 251, 176).y, 150);
  EXPECT_NE(sourceAt(assets.stageSurface, 251, 301).tag, TILE_TAG);

  // Closing slides back in five frames.
  stage.grid[10][10].state = 0;
  for (int i = 1; i <= 6; i++) {
    drawStage(0, 0);
    EXPECT_EQ(stage.grid[10][10].progress, std::max(75 - 15 * i, 0));
  }
}

TEST_F(StageDrawing, PartsShowOnlyWhileTheirGateIsClosed) {
  GateFixture::build(3);
  // The gate's own picture covers its parts unless it has slid up.
  stage.grid[10][10].state = 1;  // parts still in place: they must not show
  for (int i = 0; i < 6; i++) drawStage(0, 0);
  ASSERT_EQ(stage.grid[10][10].progress, 75);
  EXPECT_NE(sourceAt(assets.stageSurface, 251, 326).tag, TILE_TAG);
  // Shut again: the parts are back at once, below the gate still sliding down.
  stage.grid[10][10].state = 0;
  drawStage(0, 0);
  Source part = sourceAt(assets.stageSurface, 251, 332);  // below the overhang of row 12
  EXPECT_EQ(part.tag, TILE_TAG);
  EXPECT_EQ(part.y, 1680);
}

TEST_F(StageDrawing, HorizontalGateSlidesLeftButGatesWithoutColourStay) {
  put(10, 10, GATE_HORIZONTAL, 1, 2);
  put(10, 20, GATE_VERTICAL, 1, 0);
  put(12, 20, GATE_HORIZONTAL, 1, 4);
  for (int i = 1; i <= 5; i++) {
    int drawnAt = 250 - stage.grid[10][10].progress;
    int p = stageDraw.pulseFrame;
    drawStage(0, 0);
    Source s = sourceAt(assets.stageSurface, drawnAt + 1, 251);
    EXPECT_EQ(s.x, 250 * p + 50);
    EXPECT_EQ(s.y, 1350);
  }
  EXPECT_EQ(stage.grid[10][10].progress, 75);
  EXPECT_EQ(stage.grid[10][20].progress, 0);
  EXPECT_EQ(stage.grid[12][20].progress, 0);
}

TEST_F(StageDrawing, GateOutsideTheWindowWaitsUntilSeen) {
  put(30, 5, GATE_VERTICAL, 1, 1);   // below the window of camera (0, 0)
  put(10, 40, GATE_VERTICAL, 1, 1);  // right of it
  for (int i = 0; i < 10; i++) drawStage(0, 0);
  EXPECT_EQ(stage.grid[30][5].progress, 0);
  EXPECT_EQ(stage.grid[10][40].progress, 0);
  std::vector<int> steps;
  for (int i = 0; i < 6; i++) {
    drawStage(0, 500);  // rows 19 .. 40
    steps.push_back(stage.grid[30][5].progress);
  }
  EXPECT_EQ(steps, (std::vector<int>{15, 30, 45, 60, 75, 75}));
  EXPECT_EQ(stage.grid[10][40].progress, 0);
}

// ---------------------------------------------------------------------------
// Crush effects.

TEST_F(StageDrawing, CrushEffectShowsTenFramesThenGoes) {
  addCrushEffect(500, 300);
  ASSERT_NE(stage.crushEffects, nullptr);
  for (int k = 0; k < 10; k++) {
    SCOPED_TRACE(k);
    CrushEffect* e = stage.crushEffects;
    SpriteSurface want = drawWithout(
        0, 0, [&] { stage.crushEffects = nullptr; }, [&] { stage.crushEffects = e; });
    blitKeyedBlended(&want, 465, 265, 100, 100, assets.crushSheet, 500 * k, 0, 500, 500,
                     100 - 5 * k, 0xFFFFFF);
    EXPECT_TRUE(samePicture(want, *assets.stageSurface));
    if (k < 9) {
      ASSERT_EQ(stage.crushEffects, e);
      EXPECT_EQ(e->age, k + 1);
    }
  }
  EXPECT_EQ(stage.crushEffects, nullptr);
  EXPECT_EQ(countCrushEffects(), 0);
  // The eleventh frame draws nothing of it.
  SpriteSurface want = drawWithout(
      0, 0, [] {}, [] {});
  EXPECT_TRUE(samePicture(want, *assets.stageSurface));
}

TEST_F(StageDrawing, ExpiredCrushEffectLeavesTheLaterOnes) {
  addCrushEffect(100, 100);
  for (int i = 0; i < 3; i++) drawStage(0, 0);
  addCrushEffect(200, 100);
  addCrushEffect(300, 100);
  for (int i = 0; i < 7; i++) drawStage(0, 0);
  ASSERT_EQ(countCrushEffects(), 2);
  EXPECT_EQ(stage.crushEffects->x, 200);
  EXPECT_EQ(stage.crushEffects->age, 7);
  for (int i = 0; i < 3; i++) drawStage(0, 0);
  EXPECT_EQ(countCrushEffects(), 0);
  EXPECT_EQ(stage.crushEffects, nullptr);
}

// ---------------------------------------------------------------------------
// Door arrows.

TEST_F(StageDrawing, ArrowBobsAboveTheDoorThePlayerStandsAt) {
  put(10, 12, WARP);
  std::vector<int> bob;
  for (int i = 0; i < 32; i++) {
    stage.grid[10][12].state = 1;  // the player's head test, each frame
    bob.push_back(stageDraw.arrowBob);
    drawStage(0, 0);
    EXPECT_EQ(stage.grid[10][12].state, 0);
  }
  // The arrow's top edge sits 60 px above the door, moved down by the bob.
  const int top = 250 - 60 + bob.back();
  EXPECT_EQ(pixelAt(assets.stageSurface, 303, top), ARROW_PIXEL);
  EXPECT_EQ(pixelAt(assets.stageSurface, 332, top + 29), ARROW_PIXEL);
  EXPECT_NE(pixelAt(assets.stageSurface, 303, top - 1), ARROW_PIXEL);
  const std::vector<int> want = {1,  2,  3,  4,  5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 14,
                                 13, 12, 11, 10, 9, 8, 7, 6, 5, 4,  3,  2,  1,  0,  1,  2};
  EXPECT_EQ(bob, want);
  // Each arrow drawn also counts as a frame.
  EXPECT_EQ(app.frameCount, 32);

  // No arrow without the player.
  drawStage(0, 0);
  EXPECT_EQ(app.frameCount, 32);
  EXPECT_EQ(stageDraw.arrowBob, 3);
}

TEST_F(StageDrawing, TwoDoorsInViewBobTwiceAsFast) {
  put(10, 12, WARP);
  put(10, 4, STAGE_DOOR);
  put(5, 40, STAGE_DOOR);  // out of view: no arrow, and its state stays
  stage.grid[5][40].state = 1;
  for (int i = 0; i < 5; i++) {
    stage.grid[10][12].state = 1;
    stage.grid[10][4].state = 1;
    drawStage(0, 0);
  }
  EXPECT_EQ(stageDraw.arrowBob, 11);
  EXPECT_EQ(app.frameCount, 10);
  EXPECT_EQ(stage.grid[5][40].state, 1);
  // The pass goes right to left: the door at column 4 got the later bob.
  EXPECT_EQ(pixelAt(assets.stageSurface, 103, 250 - 60 + 10), ARROW_PIXEL);
  EXPECT_NE(pixelAt(assets.stageSurface, 103, 250 - 60 + 9), ARROW_PIXEL);
  EXPECT_EQ(pixelAt(assets.stageSurface, 303, 250 - 60 + 9), ARROW_PIXEL);
}

// ---------------------------------------------------------------------------
// Goal chest.

TEST_F(StageDrawing, ClosedGoalChestStaysShut) {
  put(4, 10, GOAL_CHEST);
  SpriteSurface want = drawWithoutCell(0, 0, 4, 10);
  blitKeyedStretched(&want, 200, 84, 150, 50, assets.tileSheet, 0, 850, 150, 50, 0xFFFFFF);
  EXPECT_TRUE(samePicture(want, *assets.stageSurface));
  for (int i = 0; i < 14; i++) drawStage(0, 0);
  EXPECT_EQ(stage.grid[4][10].progress, 0);  // stays shut
}

TEST_F(StageDrawing, OpenedGoalChestOpensAndGlitters) {
  put(4, 10, GOAL_CHEST, 1);
  for (int i = 0; i < 18; i++) {
    SCOPED_TRACE(i);
    const int progress = stage.grid[4][10].progress;
    const int sparkle = stageDraw.sparkleFrame;
    EXPECT_EQ(progress, std::min((i + 1) / 2, 7));
    SpriteSurface want = drawWithoutCell(0, 0, 4, 10);
    blitKeyedStretched(&want, 200, 84, 150, 50, assets.tileSheet, 150 * progress, 850, 150, 50,
                       0xFFFFFF);
    blitKeyedBlended(&want, 200, 43, 150, 150, assets.tileSheet, 150 * sparkle, 900, 150, 150, 50,
                     0xFFFFFF);
    ASSERT_TRUE(samePicture(want, *assets.stageSurface));
  }
  EXPECT_EQ(stage.grid[4][10].progress, 7);
}

TEST_F(StageDrawing, GoalChestInTheTopRowTruncatesTowardZero) {
  // 25 * 0 - 15.625 truncates to -15, not -16: the picture's row 15 lands
  // on the surface's row 0.
  for (int y = 850; y < 900; y++)
    for (int x = 0; x < 150; x++)
      assets.tileSheet->pixels[(size_t)y * 1500 + x] = 0x100000u | (uint32_t)(y - 850);
  put(0, 10, GOAL_CHEST);
  drawStage(0, 0);
  EXPECT_EQ(pixelAt(assets.stageSurface, 210, 0), 0x100000u | 15);
  EXPECT_EQ(pixelAt(assets.stageSurface, 210, 34), 0x100000u | 49);
}

// ---------------------------------------------------------------------------
// Bomb chests.

TEST_F(StageDrawing, BarrelChestGivesItsBombAfterRiseAndFade) {
  useTempSaveFolder();
  bombs.barrelBombCount = 2;
  MapCell& chest = put(10, 10, CHEST_BARREL_BOMB);
  drawStage(0, 0);  // closed: the item waits above it
  EXPECT_EQ(stageDraw.chestItemX, 254);
  EXPECT_EQ(stageDraw.chestItemY, 240);

  chest.state = 1;  // the player's touch
  int frames = 0, evenFrames = 0;
  while (chest.state == 1 && frames < 100) {
    if (stageDraw.stageTick % 2 == 0) evenFrames++;
    if (frames == 10) {
      // Mid-rise: the open chest, a sparkle and the item fading out.
      const int fade = stageDraw.chestFade;
      const float itemY = stageDraw.chestItemY;
      const int sparkle = stageDraw.sparkleFrame;
      SpriteSurface want = drawWithoutCell(0, 0, 10, 10);
      blitKeyedStretched(&want, 250, 250, 31, 31, assets.tileSheet, 50, 325, 50, 50, 0xFFFFFF);
      blitKeyedBlended(&want, 214, (int)(itemY - 40), 100, 100, assets.tileSheet, 150 * sparkle,
                       1050, 150, 150, 50 - fade / 2, 0xFFFFFF);
      blitKeyedBlended(&want, 254, (int)itemY, 25, 25, assets.bombSheet, 0, 200, 50, 50, 100 - fade,
                       0xFFFFFF);
      ASSERT_TRUE(samePicture(want, *assets.stageSurface));
    } else {
      drawStage(0, 0);
    }
    frames++;
  }
  EXPECT_EQ(evenFrames, 16);
  EXPECT_EQ(stageDraw.chestItemY, 240 - 64);
  EXPECT_EQ(stageDraw.chestRise, 0);
  ASSERT_EQ(chest.state, 2);

  for (int i = 1; i <= 10; i++) drawStage(0, 0);
  EXPECT_EQ(chest.state, 2);
  EXPECT_EQ(stageDraw.chestFade, 100);
  EXPECT_EQ(bombs.barrelBombCount, 2);
  EXPECT_EQ(stage.barrelBombFound, 0);
  EXPECT_FALSE(saveFileExists("save1.dat"));
  EXPECT_FALSE(saveFileExists("mapsave.dat"));

  drawStage(0, 0);  // the eleventh fade frame
  EXPECT_EQ(chest.state, 3);
  EXPECT_EQ(stageDraw.chestFade, 0);
  EXPECT_EQ(bombs.barrelBombCount, 3);
  EXPECT_EQ(stage.barrelBombFound, 1);
  EXPECT_TRUE(saveFileExists("save1.dat"));
  EXPECT_TRUE(saveFileExists("mapsave.dat"));

  // Emptied: nothing more given or saved.
  fs::remove(fs::path(saveDir) / "save1.dat");
  for (int i = 0; i < 5; i++) drawStage(0, 0);
  EXPECT_EQ(bombs.barrelBombCount, 3);
  EXPECT_FALSE(saveFileExists("save1.dat"));
}

// Runs an opened chest until it is emptied; returns the frames it took.
int runChest(MapCell& chest) {
  chest.state = 1;
  int frames = 0;
  while (chest.state != 3 && frames < 200) {
    drawStage(0, 0);
    frames++;
  }
  return frames;
}

TEST_F(StageDrawing, ChestsGiveTheirBombOnlyWithRoomInTheStock) {
  // The rolling chest's flag is set even when the stock is full.
  struct Case {
    int kind, start, count, rollingFound;
    bool saved;
  } cases[] = {
      {CHEST_THROWN_BOMB, 9, 9, 0, false},
      {CHEST_THROWN_BOMB, 3, 4, 0, true},
      {CHEST_ROLLING_BOMB, 9, 9, 1, false},
      {CHEST_ROLLING_BOMB, 0, 1, 1, true},
  };
  useTempSaveFolder();
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " from " << c.start);
    fs::remove(fs::path(saveDir) / "save1.dat");
    fs::remove(fs::path(saveDir) / "mapsave.dat");
    stage.rollingBombFound = 0;
    int& stock = c.kind == CHEST_THROWN_BOMB ? bombs.thrownBombCount : bombs.rollingBombCount;
    stock = c.start;
    MapCell& chest = put(10, 10, c.kind);
    drawStage(0, 0);
    EXPECT_LT(runChest(chest), 200);
    EXPECT_EQ(stock, c.count);
    EXPECT_EQ(stage.rollingBombFound, c.rollingFound);
    EXPECT_EQ(stage.barrelBombFound, 0);
    EXPECT_EQ(saveFileExists("save1.dat"), c.saved);
    EXPECT_EQ(saveFileExists("mapsave.dat"), c.saved);
  }
}

TEST_F(StageDrawing, OpeningChestOutsideTheWindowWaitsUntilSeen) {
  useTempSaveFolder();
  bombs.barrelBombCount = 0;
  MapCell& chest = put(30, 10, CHEST_BARREL_BOMB, 1);
  for (int i = 0; i < 60; i++) drawStage(0, 0);
  EXPECT_EQ(chest.state, 1);
  EXPECT_EQ(stageDraw.chestRise, 0);
  EXPECT_EQ(bombs.barrelBombCount, 0);
  for (int i = 0; i < 60; i++) drawStage(0, 500);
  EXPECT_EQ(chest.state, 3);
  EXPECT_EQ(bombs.barrelBombCount, 1);
}

TEST_F(StageDrawing, OpeningChestTakesTheItemPlaceOfTheLastClosedChest) {
  MapCell& opening = put(10, 10, CHEST_THROWN_BOMB);
  put(10, 5, CHEST_THROWN_BOMB);  // drawn after it: the pass goes right to left
  drawStage(0, 0);
  EXPECT_EQ(stageDraw.chestItemX, 129);
  opening.state = 1;
  for (int i = 0; i < 4; i++) drawStage(0, 0);
  EXPECT_EQ(stageDraw.chestItemX, 129);
  EXPECT_EQ(stageDraw.chestItemY, 240);  // reset by the closed chest each frame
  EXPECT_EQ(stageDraw.chestRise, 2);
}

// ---------------------------------------------------------------------------
// Front edges.

class FrontEdges : public StageDrawing {
 protected:
  void SetUp() override {
    StageDrawing::SetUp();
    clearScreen(assets.backBufferDC, 0x0000FF);  // red
    bombs.barrelBombCount = 0;
    for (float& x : barrelX) x = -50;
  }
  // The sheet position of the strip at back-buffer (x, y), or tag 0.
  Source stripAt(int x, int y) {
    uint32_t p = pixelAt(assets.backBufferDC, x, y);
    if (p == 0xFF0000) return {0, 0, 0};
    return sourceAt(assets.backBufferDC, x, y);
  }
  float barrelX[MAX_BOMB_SLOTS];
};

TEST_F(FrontEdges, StripsOfTheScreensLeftColumnAndLeftOfEachBarrel) {
  put(12, 9, WALL);
  put(12, 19, BLOCK_WEAK);
  put(12, 30, WALL);
  barrelX[0] = 500;  // column 20: the strips of column 19
  drawFrontEdges(250, 250, barrelX);
  // No barrel counted: only the camera's column 9, at (25·9 + 26, 300).
  Source s = stripAt(1, 50);
  EXPECT_EQ(s.tag, TILE_TAG);
  EXPECT_EQ(s.x, 90);
  EXPECT_EQ(s.y, 0);
  EXPECT_EQ(stripAt(5, 80).tag, TILE_TAG);  // 5 x 31
  EXPECT_EQ(stripAt(6, 50).tag, 0u);
  EXPECT_EQ(stripAt(1, 81).tag, 0u);
  EXPECT_EQ(stripAt(251, 50).tag, 0u);
  EXPECT_EQ(stripAt(526, 50).tag, 0u);

  bombs.barrelBombCount = 1;
  clearScreen(assets.backBufferDC, 0x0000FF);
  drawFrontEdges(250, 250, barrelX);
  s = stripAt(251, 50);
  EXPECT_EQ(s.tag, TILE_TAG);
  EXPECT_EQ(s.x, 140);
  EXPECT_EQ(stripAt(526, 50).tag, 0u);  // column 30: no barrel beside it
}

TEST_F(FrontEdges, ColumnsLeftOfTheStageAreRaisedToZero) {
  put(12, 0, HAZARD_C);
  bombs.barrelBombCount = 3;  // barrels at -50: column -3, raised to 0
  drawFrontEdges(0, 0, barrelX);
  Source s = stripAt(26, 300);
  EXPECT_EQ(s.x, 140);
  EXPECT_EQ(s.y, 100);
}

TEST_F(FrontEdges, StripsFollowStateAndGateColour) {
  struct Case {
    int kind, state, g, sx, sy;
  } cases[] = {
      {BLOCK_MEDIUM, 0, 0, 190, 0},
      {WEIGHT_SWITCH, 1, 0, 390, 50},
      {SWITCH_B, 0, 0, 140, 50},
      {SWITCH_C, 1, 0, 290, 50},
      {HAZARD_D, 0, 0, 190, 100},
      {GATE_VERTICAL, 0, 1, 260, 150},
      {GATE_VERTICAL, 1, 2, 480, 270},
      {GATE_HORIZONTAL, 0, 1, 310, 150},
      {GATE_HORIZONTAL, 1, 3, 870, 150},
      {GATE_VERTICAL_PART, 0, 2, 480, 200},
      {GATE_VERTICAL_PART, 1, 3, 700, 200},
      {GATE_HORIZONTAL_PART, 0, 3, 800, 150},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << "kind " << c.kind << " state " << c.state << " g " << c.g);
    put(12, 9, c.kind, c.state, c.g);
    clearScreen(assets.backBufferDC, 0x0000FF);
    drawFrontEdges(250, 250, barrelX);
    Source s = stripAt(1, 50);
    EXPECT_EQ(s.tag, TILE_TAG);
    EXPECT_EQ(s.x, c.sx);
    EXPECT_EQ(s.y, c.sy);
  }
  // No strip: kinds without an edge, and gates without a picture set.
  const int none[][2] = {{EMPTY, 0}, {WARP, 0}, {GOAL_CHEST, 0},    {CHEST_BARREL_BOMB, 0},
                         {7, 0},     {-3, 0},   {GATE_VERTICAL, 0}, {GATE_VERTICAL, 4}};
  for (auto& kg : none) {
    put(12, 9, kg[0], 0, kg[1]);
    clearScreen(assets.backBufferDC, 0x0000FF);
    drawFrontEdges(250, 250, barrelX);
    EXPECT_EQ(stripAt(1, 50).tag, 0u) << kg[0] << " colour " << kg[1];
  }
}

// ---------------------------------------------------------------------------
// Grid edges: the pass and the strips never read or write outside the grid.

TEST_F(StageDrawing, CameraAtTheGridsEdgesStaysInsideTheGrid) {
  int i = 0;
  for (int r = 0; r < GRID_SIZE; r++) {
    for (int c = 0; c < GRID_SIZE; c++, i++) {
      // Every kind, known or not, with states 0..2 and colours 0..4.
      const int kind = i % 36 < 33 ? i % 36 : GATE_VERTICAL_PART + i % 2;
      MapCell& cell = put(r, c, kind, (i / 36) % 3, (i / 7) % 5);
      cell.linkRow = (i % 2) ? 1000 : -7;  // parts pointing far outside
      cell.linkCol = (i % 3) ? -1000 : 300;
    }
  }
  stage.stageRows = GRID_SIZE;
  stage.stageCols = GRID_SIZE;
  bombs.barrelBombCount = MAX_BOMB_SLOTS;
  float barrelX[MAX_BOMB_SLOTS];
  for (int k = 0; k < MAX_BOMB_SLOTS; k++) barrelX[k] = k % 2 ? 6399.0f : -500.0f;
  useTempSaveFolder();
  put(255, 255, GATE_VERTICAL, 1, 1);
  put(0, 0, GATE_HORIZONTAL, 1, 2);
  const float cameras[][2] = {{-100, -100}, {0, 0},       {25, 50},       {6375, 6375},
                              {5750, 5900}, {6500, 6500}, {-30, 6390.5f}, {6390.5f, -30}};
  for (auto& cam : cameras) {
    for (int f = 0; f < 40; f++) {
      drawStage(cam[0], cam[1]);
      drawFrontEdges(cam[0], cam[1], barrelX);
    }
  }
  // The fields behind the grid are untouched.
  EXPECT_EQ(stage.stageRows, GRID_SIZE);
  EXPECT_EQ(stage.stageCols, GRID_SIZE);
  // The corner cells were animated like any other cell.
  EXPECT_EQ(stage.grid[255][255].progress, 75);
  EXPECT_EQ(stage.grid[0][0].progress, 75);
}

TEST_F(StageDrawing, TopLeftCellsAnimateWithTheCameraAtTheOrigin) {
  useTempSaveFolder();
  bombs.thrownBombCount = 1;
  put(0, 0, GATE_VERTICAL, 1, 1);
  MapCell& chest = put(0, 1, CHEST_THROWN_BOMB);
  drawStage(-10, -10);  // window rows -1 .. 20
  runChest(chest);
  EXPECT_EQ(stage.grid[0][0].progress, 75);
  EXPECT_EQ(bombs.thrownBombCount, 2);
}

}  // namespace
