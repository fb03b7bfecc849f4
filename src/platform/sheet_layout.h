// Where every picture sits on the game's picture sheets. The game copies
// from these rectangles, the asset generator draws into them and the tests
// check them, so each is written here and nowhere else.
#pragma once

struct SheetCell {
  int x, y, w, h;
};

// --- "image/boxs.bmp": stage tiles and stage objects ----------------------
// A tile is 50 x 50; its right-hand 10 x 50 pixels are the block's side,
// which the front edges repeat in front of the objects standing behind it.
constexpr int TILE_SHEET_W = 1200, TILE_SHEET_H = 1750;
constexpr int PULSE_FRAMES = 4;   // switches and gates glow in four steps
constexpr int PORTAL_FRAMES = 8;  // warps, doors, chest and glitter
constexpr int GATE_COLOURS = 3;
constexpr int SWITCH_KINDS = 3;  // SWITCH_A, SWITCH_B, SWITCH_C
constexpr int HAZARD_KINDS = 4;
constexpr int BLOCK_KINDS = 3;  // weak, medium, strong
constexpr int PLATFORM_FRAMES = 4;
constexpr int GLOW_FRAMES = 5;
constexpr int DECORATION_FRAMES = 5;

constexpr SheetCell tileAt(int x, int y) { return {x, y, 50, 50}; }
constexpr SheetCell rightEdgeOf(SheetCell tile) { return {tile.x + 40, tile.y, 10, 50}; }

constexpr SheetCell TILE_WALL = tileAt(50, 0);
constexpr SheetCell blockTile(int k) { return tileAt(100 + 50 * k, 0); }
constexpr SheetCell weightSwitchTile(bool pressed) { return tileAt(pressed ? 350 : 300, 0); }
// k: SWITCH_A, B, C as 0, 1, 2; p: the pulse of a switch that is up.
constexpr SheetCell switchTile(int k, int p, bool pressed) {
  return pressed ? tileAt(50 * k, 450) : tileAt(150 * p + 50 * k, 400);
}
constexpr SheetCell timedSwitchTile(int p, bool pressed) {
  return pressed ? tileAt(600, 450) : tileAt(150 * p + 600, 400);
}
constexpr SheetCell crusherSwitchTile(int p, bool pressed) {
  return pressed ? tileAt(200, 550) : tileAt(50 * p, 550);
}
constexpr SheetCell hazardTile(int k) { return tileAt(50 * k, 100); }
constexpr SheetCell platformTile(int f) { return tileAt(200 + 50 * f, 100); }
constexpr SheetCell bombChestTile(bool open) { return tileAt(open ? 50 : 0, 325); }

// Gates, g = colour - 1: a vertical (50 x 190) and a horizontal (190 x 50)
// picture per pulse frame, and the tiles their part cells show.
constexpr int gateRow(int g) { return g == 0 ? 150 : g == 1 ? 1350 : 1550; }
constexpr SheetCell verticalGate(int g, int p) { return {250 * p, gateRow(g), 50, 190}; }
constexpr SheetCell horizontalGate(int g, int p) { return {250 * p + 50, gateRow(g), 190, 50}; }
constexpr SheetCell verticalGatePart(int g, int p) { return tileAt(250 * p, gateRow(g) + 120); }
constexpr SheetCell horizontalGatePart(int g, int p) { return tileAt(250 * p + 150, gateRow(g)); }

// 150 x 150 frames (the goal chest is 150 x 50).
constexpr SheetCell frame150(int f, int y) { return {150 * f, y, 150, 150}; }
constexpr SheetCell warpFrame(int f) { return frame150(f, 700); }
constexpr SheetCell stageDoorFrame(int f) { return frame150(f, 1200); }
constexpr SheetCell goalChestFrame(int k) { return {150 * k, 850, 150, 50}; }
constexpr SheetCell goalGlitterFrame(int s) { return frame150(s, 900); }
constexpr SheetCell chestGlitterFrame(int s) { return frame150(s, 1050); }

// The deep backdrop's glows, and its decorations (keyed orange).
constexpr SheetCell backdropGlow(int g) { return {100 * g, 600, 100, 100}; }
constexpr SheetCell backdropDecoration(int d) { return {25 * d, 500, 25, 50}; }
constexpr unsigned DECORATION_KEY = 0x2B92FF;  // COLORREF of their orange background

// Front edges: the right-hand strip of the tile each kind shows. Switches
// that pulse keep a still edge, taken from copies in row 50.
constexpr SheetCell weightSwitchEdgeTile(bool pressed) { return tileAt(pressed ? 350 : 300, 50); }
constexpr SheetCell switchEdgeTile(int k, bool pressed) {
  return tileAt(100 * k + (pressed ? 50 : 0), 50);
}
// Gate edges, g = colour - 1, each a 10 x 50 strip.
constexpr SheetCell edgeStrip(int x, int y) { return {x, y, 10, 50}; }
constexpr SheetCell verticalGateEdge(int g, bool closed) {
  return edgeStrip(260 + 220 * g, closed ? 150 : 276);
}
constexpr SheetCell horizontalGateEdge(int g, bool closed) {
  return closed ? edgeStrip(310 + 220 * g, 150) : edgeStrip(430 + 220 * g, 156);
}
constexpr SheetCell verticalGatePartEdge(int g) { return edgeStrip(260 + 220 * g, 200); }
constexpr SheetCell horizontalGatePartEdge(int g) { return edgeStrip(360 + 220 * g, 150); }

// --- "image/bombs.bmp": bombs ------------------------------------------------
constexpr int BOMB_SHEET_W = 500, BOMB_SHEET_H = 250;
constexpr int READY_COUNTS = 10;  // badges 0 .. 9
constexpr SheetCell readyCountBadge(int n) { return {50 * n + 10, 10, 40, 40}; }
// column 0 faces right, 1 left.
constexpr SheetCell thrownBombFrame(int column) { return {50 * column, 50, 50, 50}; }
constexpr int ROLLING_BOMB_FRAMES = 4;
// row 0 rolls right, 1 left.
constexpr SheetCell rollingBombFrame(int f, int row) { return {50 * f, 100 + 50 * row, 50, 50}; }
constexpr SheetCell barrelBombFrame(int blink) { return {50 * blink, 200, 50, 50}; }

// --- "image/Booom.bmp": the explosion (key black) ---------------------------
constexpr int BLAST_FRAMES = 9;         // a bomb's blast
constexpr int TITLE_BLAST_FRAMES = 13;  // the title's plays on into blank frames
constexpr SheetCell blastFrame(int f) { return {250 * f, 0, 250, 250}; }

// --- "image/BlockCrush.bmp": a block bursting, ten 500 x 500 frames ---------
constexpr int CRUSH_FRAMES = 10;
constexpr SheetCell crushFrame(int f) { return {500 * f, 0, 500, 500}; }

// --- "image/mchara.bmp": the player -----------------------------------------
// Play poses: 25 x 50 cells by column and row; then the 50 x 50 pictures of
// the miss and result screens.
constexpr int PLAYER_POSE_ROWS = 22;
constexpr int PLAYER_POSE_COLUMNS[PLAYER_POSE_ROWS] = {3, 3, 7, 7, 3, 3, 2, 2, 1, 1, 0,
                                                       0, 0, 0, 7, 7, 3, 3, 7, 7, 3, 3};
constexpr SheetCell playerPose(int column, int row) { return {25 * column, 50 * row, 25, 50}; }
// Rows the title's character walks and idles in.
constexpr int TITLE_IDLE_ROW = 1, TITLE_WALK_LEFT_ROW = 2, TITLE_WALK_RIGHT_ROW = 3;
constexpr int MISS_FALL_POSES = 3;
// The first fall picture facing left is only its right half.
constexpr SheetCell missFallPose(int n, bool left) {
  return n == 0 && left ? SheetCell{25, 1250, 25, 50}
                        : SheetCell{50 * n, left ? 1250 : 1200, 50, 50};
}
constexpr int STANDING_POSES = 3;
constexpr SheetCell standingPose(int n, bool left) { return {50 * n, left ? 1400 : 1350, 50, 50}; }
constexpr int MENU_POSES = 7;
constexpr SheetCell menuPose(int n) { return {50 * n, 1300, 50, 50}; }

// --- "image/warp.bmp": the player dissolving in a warp ----------------------
constexpr int WARP_EFFECT_FRAMES = 16;
constexpr SheetCell warpEffectFrame(int f) { return {50 * f, 0, 50, 50}; }

// --- "image/shadow.bmp": the player's shadow, blended a column at a time ----
constexpr int SHADOW_COLUMNS = 20;
constexpr SheetCell shadowColumn(int i) { return {i, 0, 1, 5}; }

// --- The bomb display: black backings ("image/kuro.bmp"), key icons
// ("image/QWE.bmp") and the ready counts above.
constexpr int BOMB_KINDS = 3;  // thrown, barrel, rolling
constexpr SheetCell hudBacking(int k) { return {100 * k, 0, 100, 100}; }
constexpr SheetCell keyIcon(int k) { return {100 * k, 0, 100, 100}; }

// --- "image/result.bmp": digits and grades ----------------------------------
constexpr int GRADES = 5;
constexpr SheetCell resultDigit(int d) { return {25 * d, 0, 25, 33}; }
constexpr SheetCell smallGrade(int g) { return {60 * g, 33, 60, 70}; }
constexpr SheetCell largeGrade(int g) { return {90 * g, 102, 90, 100}; }

// --- Title and menus --------------------------------------------------------
// "image/title22.bmp" (lit) and "image/title23.bmp" (dim): the two items;
// "image/title24.bmp": their highlight.
constexpr SheetCell MENU_START_ITEM = {0, 50, 640, 50};
constexpr SheetCell MENU_QUIT_ITEM = {0, 115, 640, 55};
constexpr SheetCell MENU_START_HIGHLIGHT = {0, 50, 640, 43};
constexpr SheetCell MENU_QUIT_HIGHLIGHT = {0, 115, 640, 43};
// "image/GAMEOVER.bmp": the miss menu with retry (0) or title (1) chosen.
constexpr SheetCell missMenu(int cursor) { return {640 * cursor, 0, 640, 480}; }

// --- The ending -------------------------------------------------------------
constexpr int ENDING_FLOOR_FRAMES = 5;  // "image/床.bmp"
constexpr SheetCell endingFloor(int f) { return {0, 40 * f, 100, 40}; }
constexpr int ENDING_WALK_FRAMES = 7;  // "image/mchara00.bmp"
constexpr SheetCell endingWalk(int f) { return {25 * f, 150, 25, 50}; }
// "image/pimlet.bmp": the scroll, a screen's height of it at a time, from
// the top down to the last view.
constexpr int ENDING_SCROLL_END = 4315;
constexpr SheetCell endingScroll(int top) { return {0, top, 640, 480}; }

// --- Whole pictures ---------------------------------------------------------
constexpr SheetCell SCREEN_PICTURE = {0, 0, 640, 480};  // covers, backdrop, panels
constexpr SheetCell AIM_DOT = {0, 0, 3, 3};             // "image/Prediction.bmp"
constexpr SheetCell DOOR_ARROW = {0, 0, 60, 60};        // "image/allow.bmp"

// --- Every sheet the game loads, at the size it is drawn --------------------
struct SheetFile {
  const char* file;  // relative to the data folder
  int w, h;
};
constexpr SheetFile TILE_SHEET = {"image/boxs.bmp", TILE_SHEET_W, TILE_SHEET_H};
constexpr SheetFile PLAYER_SHEET = {"image/mchara.bmp", 350, 1450};
constexpr SheetFile BOMB_SHEET = {"image/bombs.bmp", BOMB_SHEET_W, BOMB_SHEET_H};
constexpr SheetFile AIM_SHEET = {"image/Prediction.bmp", 3, 3};
constexpr SheetFile STAGE_BACKDROP = {"image/mapback.bmp", 640, 480};
constexpr SheetFile TITLE_SHEET = {"image/title.bmp", 1280, 480};
constexpr SheetFile BLAST_SHEET = {"image/Booom.bmp", 250 * TITLE_BLAST_FRAMES, 250};
constexpr SheetFile SPARE_SHEET = {"image/tchara.bmp", 25, 50};
constexpr SheetFile BLACK_SHEET = {"image/kuro.bmp", 640, 480};
constexpr SheetFile TITLE_BACKDROP = {"image/titleback.bmp", 1464, 480};
constexpr SheetFile SHADOW_SHEET = {"image/shadow.bmp", SHADOW_COLUMNS, 5};
constexpr SheetFile KEY_ICON_SHEET = {"image/QWE.bmp", 300, 100};
constexpr SheetFile ARROW_SHEET = {"image/allow.bmp", 60, 60};
constexpr SheetFile MENU_DIM_SHEET = {"image/title23.bmp", 640, 170};
constexpr SheetFile MENU_LIT_SHEET = {"image/title22.bmp", 640, 170};
constexpr SheetFile CRUSH_SHEET = {"image/BlockCrush.bmp", 500 * CRUSH_FRAMES, 500};
constexpr SheetFile MISS_MENU_SHEET = {"image/GAMEOVER.bmp", 1280, 480};
constexpr SheetFile MENU_GLOW_SHEET = {"image/title24.bmp", 640, 160};
constexpr SheetFile WARP_SHEET = {"image/warp.bmp", 50 * WARP_EFFECT_FRAMES, 50};
constexpr SheetFile RESULT_PANEL = {"image/result1.bmp", 640, 480};
constexpr SheetFile RESULT_SHEET = {"image/result.bmp", 450, 202};
constexpr SheetFile ENDING_SCROLL = {"image/pimlet.bmp", 640, 4800};
constexpr SheetFile ENDING_FLOOR = {"image/\xE5\xBA\x8A.bmp", 100, 200};  // 床
constexpr SheetFile ENDING_WALKER = {"image/mchara00.bmp", 175, 200};
constexpr SheetFile ALL_SHEETS[] = {
    TILE_SHEET,  PLAYER_SHEET,   BOMB_SHEET,     AIM_SHEET,      STAGE_BACKDROP,  TITLE_SHEET,
    BLAST_SHEET, SPARE_SHEET,    BLACK_SHEET,    TITLE_BACKDROP, SHADOW_SHEET,    KEY_ICON_SHEET,
    ARROW_SHEET, MENU_DIM_SHEET, MENU_LIT_SHEET, CRUSH_SHEET,    MISS_MENU_SHEET, MENU_GLOW_SHEET,
    WARP_SHEET,  RESULT_PANEL,   RESULT_SHEET,   ENDING_SCROLL,  ENDING_FLOOR,    ENDING_WALKER,
};
