// Every rectangle of every picture that the game copies from, named by the
// sheet layout, with the key colour of the copy. The picture generator
// outlines them on its contact sheet; the tests check that each lies inside
// its picture and shows something.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sheet_layout.h"

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
constexpr uint32_t CELL_KEY_BLUE = 0xFF0000;  // pure blue as a COLORREF

// A front-edge strip and the tile whose right-hand 10 x 50 pixels it repeats.
struct EdgeStripTwin {
  SheetCell strip, tile;
};
inline std::vector<EdgeStripTwin> edgeStripTwins() {
  std::vector<EdgeStripTwin> t;
  for (bool pressed : {false, true}) {
    t.push_back({rightEdgeOf(weightSwitchEdgeTile(pressed)), weightSwitchTile(pressed)});
    for (int k = 0; k < SWITCH_KINDS; ++k)  // a switch that is up pulses, its edge does not
      for (int p = 0; p < (pressed ? 1 : PULSE_FRAMES); ++p)
        t.push_back({rightEdgeOf(switchEdgeTile(k, pressed)), switchTile(k, p, pressed)});
  }
  return t;
}

inline std::vector<PictureCell> pictureCells() {
  std::vector<PictureCell> c;
  auto add = [&](const SheetFile& sheet, SheetCell r, std::string what,
                 uint32_t key = CELL_KEY_WHITE, CellRule rule = CELL_SHOWS_SOMETHING) {
    c.push_back({sheet.file, r.x, r.y, r.w, r.h, key, rule, std::move(what)});
  };
  auto n = [](const char* s, int i) { return std::string(s) + " " + std::to_string(i); };
  const SheetFile& box = TILE_SHEET;

  // Stage tiles and objects, with the front edge of each tile.
  auto tile = [&](SheetCell r, std::string what) {
    add(box, r, what);
    add(box, rightEdgeOf(r), what + " front edge");
  };
  tile(TILE_WALL, "wall");
  for (int k = 0; k < BLOCK_KINDS; ++k) tile(blockTile(k), n("block", k));
  for (int k = 0; k < HAZARD_KINDS; ++k) tile(hazardTile(k), n("hazard", k));
  for (bool pressed : {false, true}) {
    add(box, weightSwitchTile(pressed), "weight switch");
    add(box, rightEdgeOf(weightSwitchEdgeTile(pressed)), "weight switch front edge");
    add(box, timedSwitchTile(0, pressed), "timed switch");
    add(box, crusherSwitchTile(0, pressed), "crusher switch");
    add(box, bombChestTile(pressed), "bomb chest");
    for (int k = 0; k < SWITCH_KINDS; ++k) {
      add(box, rightEdgeOf(switchEdgeTile(k, pressed)), n("switch front edge", k));
      for (int p = 0; p < PULSE_FRAMES; ++p) add(box, switchTile(k, p, pressed), n("switch", k));
    }
  }
  for (int p = 0; p < PULSE_FRAMES; ++p) {
    add(box, timedSwitchTile(p, false), n("timed switch up", p));
    add(box, crusherSwitchTile(p, false), n("crusher switch up", p));
    for (int g = 0; g < GATE_COLOURS; ++g) {
      add(box, verticalGate(g, p), n("vertical gate", g));
      add(box, horizontalGate(g, p), n("horizontal gate", g));
      add(box, verticalGatePart(g, p), n("vertical gate part", g));
      add(box, horizontalGatePart(g, p), n("horizontal gate part", g));
    }
  }
  for (int g = 0; g < GATE_COLOURS; ++g)
    for (bool closed : {false, true}) {
      add(box, verticalGateEdge(g, closed), n("vertical gate front edge", g));
      add(box, horizontalGateEdge(g, closed), n("horizontal gate front edge", g));
      add(box, verticalGatePartEdge(g), n("vertical gate part front edge", g));
      add(box, horizontalGatePartEdge(g), n("horizontal gate part front edge", g));
    }
  for (int f = 0; f < PLATFORM_FRAMES; ++f) add(box, platformTile(f), n("platform", f));
  for (int f = 0; f < PORTAL_FRAMES; ++f) {
    add(box, warpFrame(f), n("warp", f));
    add(box, stageDoorFrame(f), n("stage door", f));
    add(box, goalChestFrame(f), n("goal chest", f));
    add(box, goalGlitterFrame(f), n("goal glitter", f));
    add(box, chestGlitterFrame(f), n("chest glitter", f));
  }
  for (int g = 0; g < GLOW_FRAMES; ++g) add(box, backdropGlow(g), n("backdrop glow", g));
  for (int d = 0; d < DECORATION_FRAMES; ++d)
    add(box, backdropDecoration(d), n("backdrop decoration", d), DECORATION_KEY);

  // The player: play poses, then the pictures of the miss and result screens.
  for (int row = 0; row < PLAYER_POSE_ROWS; ++row)
    for (int col = 0; col < PLAYER_POSE_COLUMNS[row]; ++col)
      add(PLAYER_SHEET, playerPose(col, row), n("player row", row));
  for (bool left : {false, true}) {
    for (int k = 0; k < MISS_FALL_POSES; ++k) add(PLAYER_SHEET, missFallPose(k, left), "miss fall");
    for (int k = 0; k < STANDING_POSES; ++k) add(PLAYER_SHEET, standingPose(k, left), "standing");
  }
  for (int k = 0; k < MENU_POSES; ++k) add(PLAYER_SHEET, menuPose(k), n("menu pose", k));

  // Bombs and blasts.
  for (int k = 0; k < READY_COUNTS; ++k) add(BOMB_SHEET, readyCountBadge(k), n("ready count", k));
  for (int col = 0; col < 2; ++col) {
    add(BOMB_SHEET, thrownBombFrame(col), "thrown bomb");
    add(BOMB_SHEET, barrelBombFrame(col), "barrel bomb");
    for (int f = 0; f < ROLLING_BOMB_FRAMES; ++f)
      add(BOMB_SHEET, rollingBombFrame(f, col), n("rolling bomb", f));
  }
  // The title plays the explosion on into blank frames (nothing shown).
  for (int f = 0; f < TITLE_BLAST_FRAMES; ++f)
    add(BLAST_SHEET, blastFrame(f), n("explosion", f), CELL_KEY_BLACK,
        f < BLAST_FRAMES ? CELL_SHOWS_SOMETHING : CELL_BLANK_ALLOWED);
  for (int f = 0; f < CRUSH_FRAMES; ++f) add(CRUSH_SHEET, crushFrame(f), n("block crush", f));
  add(AIM_SHEET, AIM_DOT, "aim dot");
  add(ARROW_SHEET, DOOR_ARROW, "door arrow");
  for (int f = 0; f < WARP_EFFECT_FRAMES; ++f) add(WARP_SHEET, warpEffectFrame(f), n("warp", f));
  for (int i = 0; i < SHADOW_COLUMNS; ++i) add(SHADOW_SHEET, shadowColumn(i), n("shadow", i));
  for (int k = 0; k < BOMB_KINDS; ++k) {
    add(KEY_ICON_SHEET, keyIcon(k), n("key icon", k));
    add(BLACK_SHEET, hudBacking(k), n("bomb display backing", k), CELL_KEY_WHITE, CELL_OPAQUE);
  }

  // Screens.
  for (int d = 0; d < 10; ++d) add(RESULT_SHEET, resultDigit(d), n("digit", d));
  for (int g = 0; g < GRADES; ++g) {
    add(RESULT_SHEET, smallGrade(g), n("small grade", g));
    add(RESULT_SHEET, largeGrade(g), n("large grade", g));
  }
  add(RESULT_PANEL, SCREEN_PICTURE, "result panel");
  add(TITLE_SHEET, SCREEN_PICTURE, "title");
  add(TITLE_BACKDROP, {0, 0, TITLE_BACKDROP.w, TITLE_BACKDROP.h}, "title backdrop", CELL_KEY_WHITE,
      CELL_OPAQUE);
  for (const SheetFile& f : {MENU_LIT_SHEET, MENU_DIM_SHEET}) {
    add(f, MENU_START_ITEM, "start item");
    add(f, MENU_QUIT_ITEM, "quit item");
  }
  add(MENU_GLOW_SHEET, MENU_START_HIGHLIGHT, "start highlight");
  add(MENU_GLOW_SHEET, MENU_QUIT_HIGHLIGHT, "quit highlight");
  for (int k = 0; k < 2; ++k) add(MISS_MENU_SHEET, missMenu(k), n("miss menu", k));
  add(BLACK_SHEET, SCREEN_PICTURE, "fade cover", CELL_KEY_WHITE, CELL_OPAQUE);
  add(STAGE_BACKDROP, SCREEN_PICTURE, "stage backdrop", CELL_KEY_WHITE, CELL_OPAQUE);
  add(SPARE_SHEET, {0, 0, SPARE_SHEET.w, SPARE_SHEET.h}, "spare");

  // The ending.
  const SheetCell last = endingScroll(ENDING_SCROLL_END);
  add(ENDING_SCROLL, {0, 0, last.w, last.y + last.h}, "ending scroll", CELL_KEY_BLUE, CELL_OPAQUE);
  for (int f = 0; f < ENDING_FLOOR_FRAMES; ++f)
    add(ENDING_FLOOR, endingFloor(f), n("ending floor", f), CELL_KEY_BLACK);
  for (int f = 0; f < ENDING_WALK_FRAMES; ++f)
    add(ENDING_WALKER, endingWalk(f), n("ending walk", f));
  return c;
}
