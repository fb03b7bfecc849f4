// Every rectangle of every picture that the game copies from, with the key
// colour of the copy. The picture generator outlines them on its contact
// sheet; the tests check that each lies inside its picture and shows
// something.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum CellRule {
  CELL_SHOWS_SOMETHING,  // at least one pixel differs from the key
  CELL_OPAQUE,           // no pixel equals the key (covers, backdrops)
  CELL_BLANK_ALLOWED,    // addressed, but meant to show nothing
};

struct PictureCell {
  std::string file;  // relative to the data folder
  int x, y, w, h;
  uint32_t key;  // COLORREF 0x00BBGGRR, as the game passes it
  CellRule rule;
  std::string what;
};

constexpr uint32_t CELL_KEY_WHITE = 0xFFFFFF;
constexpr uint32_t CELL_KEY_BLACK = 0x000000;
constexpr uint32_t CELL_KEY_BLUE = 0xFF0000;    // pure blue as a COLORREF
constexpr uint32_t CELL_KEY_ORANGE = 0x2B92FF;  // backdrop decorations

// Sizes the generator draws at (every cell lies inside).
struct PictureSize {
  const char* file;
  int w, h;
};
inline const std::vector<PictureSize>& pictureSizes() {
  static const std::vector<PictureSize> sizes = {
      {"image/boxs.bmp", 1200, 1750},       {"image/mchara.bmp", 350, 1450},
      {"image/bombs.bmp", 500, 250},        {"image/Prediction.bmp", 3, 3},
      {"image/mapback.bmp", 640, 480},      {"image/title.bmp", 1280, 480},
      {"image/Booom.bmp", 3250, 250},       {"image/tchara.bmp", 25, 50},
      {"image/kuro.bmp", 640, 480},         {"image/titleback.bmp", 1464, 480},
      {"image/shadow.bmp", 20, 5},          {"image/QWE.bmp", 300, 100},
      {"image/allow.bmp", 60, 60},          {"image/title23.bmp", 640, 170},
      {"image/title22.bmp", 640, 170},      {"image/BlockCrush.bmp", 5000, 500},
      {"image/GAMEOVER.bmp", 1280, 480},    {"image/title24.bmp", 640, 160},
      {"image/warp.bmp", 800, 50},          {"image/result1.bmp", 640, 480},
      {"image/result.bmp", 450, 202},       {"image/pimlet.bmp", 640, 4800},
      {"image/\xE5\xBA\x8A.bmp", 100, 200},  // 床
      {"image/mchara00.bmp", 175, 200},
  };
  return sizes;
}

// A front-edge strip and a tile whose right-hand 10 x 50 pixels it repeats.
struct EdgeStripTwin {
  int stripX, stripY;
  int tileX, tileY;
};
inline std::vector<EdgeStripTwin> edgeStripTwins() {
  std::vector<EdgeStripTwin> t = {
      {90, 0, 50, 0},       {140, 0, 100, 0},  {190, 0, 150, 0},   {240, 0, 200, 0},
      {340, 50, 300, 0},    {390, 50, 350, 0}, {90, 50, 0, 450},   {190, 50, 50, 450},
      {290, 50, 100, 450},  {40, 100, 0, 100}, {90, 100, 50, 100}, {140, 100, 100, 100},
      {190, 100, 150, 100},
  };
  for (int p = 0; p < 4; ++p) {  // a switch that is up pulses, its edge does not
    t.push_back({40, 50, 150 * p, 400});
    t.push_back({140, 50, 150 * p + 50, 400});
    t.push_back({240, 50, 150 * p + 100, 400});
  }
  return t;
}

inline std::vector<PictureCell> pictureCells() {
  std::vector<PictureCell> c;
  auto add = [&](const char* file, int x, int y, int w, int h, uint32_t key, std::string what,
                 CellRule rule = CELL_SHOWS_SOMETHING) {
    c.push_back({file, x, y, w, h, key, rule, std::move(what)});
  };
  auto n = [](const char* s, int i) { return std::string(s) + " " + std::to_string(i); };
  const uint32_t W = CELL_KEY_WHITE;

  // Stage tiles and objects: 50 x 50 tiles drawn at 31 x 31.
  const char* box = "image/boxs.bmp";
  add(box, 50, 0, 50, 50, W, "wall");
  for (int k = 0; k < 3; ++k) add(box, 100 + 50 * k, 0, 50, 50, W, n("block", 2 + k));
  add(box, 300, 0, 50, 50, W, "weight switch up");
  add(box, 350, 0, 50, 50, W, "weight switch pressed");
  for (int k = 0; k < 3; ++k) {
    for (int p = 0; p < 4; ++p) add(box, 150 * p + 50 * k, 400, 50, 50, W, n("switch up", p));
    add(box, 50 * k, 450, 50, 50, W, n("switch pressed", k));
  }
  for (int p = 0; p < 4; ++p) add(box, 150 * p + 600, 400, 50, 50, W, n("timed switch up", p));
  add(box, 600, 450, 50, 50, W, "timed switch pressed");
  for (int k = 0; k < 4; ++k) add(box, 50 * k, 100, 50, 50, W, n("hazard", k));
  const int gateY[3] = {150, 1350, 1550};
  for (int g = 0; g < 3; ++g)
    for (int p = 0; p < 4; ++p) {
      add(box, 250 * p, gateY[g], 50, 190, W, n("vertical gate", g + 1));
      add(box, 250 * p + 50, gateY[g], 190, 50, W, n("horizontal gate", g + 1));
      add(box, 250 * p, gateY[g] + 120, 50, 50, W, n("vertical gate part", g + 1));
      add(box, 250 * p + 150, gateY[g], 50, 50, W, n("horizontal gate part", g + 1));
    }
  for (int f = 0; f < 8; ++f) add(box, 150 * f, 700, 150, 150, W, n("warp", f));
  for (int f = 0; f < 8; ++f) add(box, 150 * f, 1200, 150, 150, W, n("stage door", f));
  for (int p = 0; p < 4; ++p) add(box, 50 * p, 550, 50, 50, W, n("crusher switch up", p));
  add(box, 200, 550, 50, 50, W, "crusher switch pressed");
  for (int f = 0; f < 4; ++f) add(box, 200 + 50 * f, 100, 50, 50, W, n("platform", f));
  add(box, 0, 325, 50, 50, W, "bomb chest closed");
  add(box, 50, 325, 50, 50, W, "bomb chest open");
  for (int k = 0; k < 8; ++k) add(box, 150 * k, 850, 150, 50, W, n("goal chest", k));
  for (int s = 0; s < 8; ++s) add(box, 150 * s, 900, 150, 150, W, n("goal glitter", s));
  for (int s = 0; s < 8; ++s) add(box, 150 * s, 1050, 150, 150, W, n("chest glitter", s));
  for (int g = 0; g < 5; ++g) add(box, 100 * g, 600, 100, 100, W, n("backdrop glow", g));
  for (int d = 0; d < 5; ++d)
    add(box, 25 * d, 500, 25, 50, CELL_KEY_ORANGE, n("backdrop decoration", d));
  // Front edges: 10 x 50 strips repeated in front of objects.
  const int strips[][2] = {
      {90, 0},    {140, 0},   {190, 0},   {240, 0},   {340, 50},  {390, 50},  {40, 50},
      {140, 50},  {240, 50},  {90, 50},   {190, 50},  {290, 50},  {40, 100},  {90, 100},
      {140, 100}, {190, 100}, {260, 150}, {480, 150}, {700, 150}, {260, 276}, {480, 276},
      {700, 276}, {310, 150}, {530, 150}, {750, 150}, {430, 156}, {650, 156}, {870, 156},
      {260, 200}, {480, 200}, {700, 200}, {360, 150}, {580, 150}, {800, 150},
  };
  // The closed orange vertical gate's edge falls just right of the second
  // blue horizontal gate, where nothing may be drawn: it stays empty.
  for (auto& s : strips)
    add(box, s[0], s[1], 10, 50, W, "front edge",
        s[0] == 480 && s[1] == 150 ? CELL_BLANK_ALLOWED : CELL_SHOWS_SOMETHING);

  // The player: 25 x 50 cells by row (play poses), then the 50 x 50
  // pictures of the miss and result screens.
  const char* hero = "image/mchara.bmp";
  const int columns[22] = {3, 3, 7, 7, 3, 3, 2, 2, 1, 1, 0, 0, 0, 0, 7, 7, 3, 3, 7, 7, 3, 3};
  for (int row = 0; row < 22; ++row)
    for (int col = 0; col < columns[row]; ++col)
      add(hero, 25 * col, 50 * row, 25, 50, W, n("player row", row));
  for (int k = 0; k < 3; ++k) {
    add(hero, 50 * k, 1200, 50, 50, W, n("miss fall right", k));
    if (k > 0) add(hero, 50 * k, 1250, 50, 50, W, n("miss fall left", k));
    add(hero, 50 * k, 1350, 50, 50, W, n("standing right", k));
    add(hero, 50 * k, 1400, 50, 50, W, n("standing left", k));
  }
  add(hero, 25, 1250, 25, 50, W, "miss fall left 0");
  for (int k = 0; k < 7; ++k) add(hero, 50 * k, 1300, 50, 50, W, n("menu pose", k));

  // Bombs.
  const char* bombs = "image/bombs.bmp";
  for (int k = 0; k < 10; ++k) add(bombs, 50 * k + 10, 10, 40, 40, W, n("ready count", k));
  add(bombs, 0, 50, 50, 50, W, "thrown bomb right");
  add(bombs, 50, 50, 50, 50, W, "thrown bomb left");
  for (int r = 0; r < 2; ++r)
    for (int f = 0; f < 4; ++f) add(bombs, 50 * f, 100 + 50 * r, 50, 50, W, n("rolling bomb", f));
  add(bombs, 0, 200, 50, 50, W, "barrel bomb");
  add(bombs, 50, 200, 50, 50, W, "barrel bomb blink");

  // Explosion: nine frames; the title plays frames up to 12, the last four
  // of which are left black (nothing shown).
  for (int f = 0; f < 13; ++f)
    add("image/Booom.bmp", 250 * f, 0, 250, 250, CELL_KEY_BLACK, n("explosion", f),
        f < 9 ? CELL_SHOWS_SOMETHING : CELL_BLANK_ALLOWED);
  for (int f = 0; f < 16; ++f) add("image/warp.bmp", 50 * f, 0, 50, 50, W, n("warp effect", f));
  for (int d = 0; d < 10; ++d) add("image/result.bmp", 25 * d, 0, 25, 33, W, n("digit", d));
  for (int g = 0; g < 5; ++g) add("image/result.bmp", 60 * g, 33, 60, 70, W, n("small grade", g));
  for (int g = 0; g < 5; ++g) add("image/result.bmp", 90 * g, 102, 90, 100, W, n("large grade", g));
  add("image/result1.bmp", 0, 0, 640, 480, W, "result panel");
  add("image/title.bmp", 0, 0, 640, 480, W, "title");
  add("image/title.bmp", 640, 0, 640, 480, W, "title second frame");
  add("image/titleback.bmp", 0, 0, 1464, 480, W, "title backdrop", CELL_OPAQUE);
  for (const char* f : {"image/title22.bmp", "image/title23.bmp"}) {
    add(f, 0, 50, 640, 50, W, "start item");
    add(f, 0, 115, 640, 55, W, "quit item");
  }
  add("image/title24.bmp", 0, 50, 640, 43, W, "start highlight");
  add("image/title24.bmp", 0, 115, 640, 43, W, "quit highlight");
  add("image/GAMEOVER.bmp", 0, 0, 640, 480, W, "miss menu retry");
  add("image/GAMEOVER.bmp", 640, 0, 640, 480, W, "miss menu title");
  for (int k = 0; k < 3; ++k) add("image/QWE.bmp", 100 * k, 0, 100, 100, W, n("key icon", k));
  for (int i = 0; i < 20; ++i) add("image/shadow.bmp", i, 0, 1, 5, W, n("shadow column", i));
  add("image/kuro.bmp", 0, 0, 640, 480, W, "fade cover", CELL_OPAQUE);
  for (int k = 0; k < 3; ++k)
    add("image/kuro.bmp", 100 * k, 0, 100, 100, W, n("bomb display backing", k), CELL_OPAQUE);
  add("image/allow.bmp", 0, 0, 60, 60, W, "door arrow");
  for (int f = 0; f < 10; ++f)
    add("image/BlockCrush.bmp", 500 * f, 0, 500, 500, W, n("block crush", f));
  add("image/Prediction.bmp", 0, 0, 3, 3, W, "aim dot");
  add("image/mapback.bmp", 0, 0, 640, 480, W, "stage backdrop", CELL_OPAQUE);
  add("image/tchara.bmp", 0, 0, 25, 50, W, "spare");

  // The ending.
  add("image/pimlet.bmp", 0, 0, 640, 4795, CELL_KEY_BLUE, "ending scroll", CELL_OPAQUE);
  for (int f = 0; f < 5; ++f)
    add("image/\xE5\xBA\x8A.bmp", 0, 40 * f, 100, 40, CELL_KEY_BLACK, n("ending floor", f));
  for (int f = 0; f < 7; ++f)
    add("image/mchara00.bmp", 25 * f, 150, 25, 50, W, n("ending walk", f));
  return c;
}
