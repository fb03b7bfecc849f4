// The picture sheets of the game, one drawing function each.
#pragma once
#include "draw.h"

// Shared look: outline ink and the bomb body.
constexpr uint32_t INK = rgb(0x24, 0x16, 0x2c);
constexpr uint32_t BOMB_BODY = rgb(0x2e, 0x30, 0x44);
constexpr uint32_t BOMB_SHINE = rgb(0x8a, 0x90, 0xb8);
constexpr uint32_t SPARK_HOT = rgb(0xff, 0xf4, 0xa0);
constexpr uint32_t SPARK_WARM = rgb(0xff, 0x9a, 0x2a);

// A round bomb with its fuse and spark: centre, radius, fuse direction
// (+1 up-right, -1 up-left).
void drawRoundBomb(Canvas& c, float cx, float cy, float r, int fuseSide, bool spark = true);
// The rolling bomb (centre, radius, turn) and the barrel bomb (top left,
// scale; 40 x 42 at scale 1).
void drawRollingBall(Canvas& c, float cx, float cy, float r, float turn);
void drawBarrel(Canvas& c, float x, float y, float s, bool blink);
// The controls as small icons: a strip of them (the title) and faint
// plaques on the stage backdrop.
void drawControlStrip(Canvas& c, int y);
void engraveControlPlaques(Canvas& backdrop);

// Stage tiles and objects ("image/boxs.bmp").
Canvas drawTileSheet();
// The player ("image/mchara.bmp") and what is made from it.
Canvas drawPlayerSheet();
Canvas drawEndingWalker(const Canvas& player);  // "image/mchara00.bmp"
Canvas drawSpareSheet(const Canvas& player);    // "image/tchara.bmp"
Canvas drawWarpEffect(const Canvas& player);    // "image/warp.bmp"
Canvas drawShadow();                            // "image/shadow.bmp"
// Bombs, blasts and the small interface pictures.
Canvas drawBombSheet();
Canvas drawBlast();
Canvas drawBlockCrush();
Canvas drawAimDot();
Canvas drawKeyIcons();
Canvas drawDoorArrow();
// Screens.
Canvas drawStageBackdrop();
Canvas drawBlackCover();
Canvas drawTitle();
Canvas drawTitleBackdrop();
Canvas drawMenuItems(bool lit);
Canvas drawMenuHighlight();
Canvas drawMissMenu();
Canvas drawResultSheet();
Canvas drawResultPanel();
Canvas drawEndingScroll(const Canvas& player);
Canvas drawEndingFloor();
