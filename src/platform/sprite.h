// Pictures and surfaces, and every copy between them. All coordinates are
// logical 640 x 480 pixels; in scale mode 1 each operation doubles them.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

struct SpriteSurface;

// A picture's pixels that are not its key, as runs per row: what a keyed
// copy writes, found once (prepareKeyRuns) instead of pixel by pixel.
struct KeyRuns {
  uint32_t key = 0;               // 0x00RRGGBB
  std::vector<int32_t> rowFirst;  // runs of row r: rowFirst[r] .. rowFirst[r + 1] - 1
  std::vector<int32_t> begin, end;
};

// A sheet's cells shrunk once to the size they are drawn at
// (prepareDrawnCells): cell (i, j) of cellW x cellH device pixels is
// drawn at drawnW x drawnH, the same pixels a stretched copy would pick.
// A cell is shrunk the first time it is drawn, so only cells in use are
// kept: one below the other on sheet, at row slot[j * across + i].
struct DrawnCells {
  int cellW = 0, cellH = 0, drawnW = 0, drawnH = 0, across = 0;
  std::vector<int32_t> slot;  // -1: not shrunk yet
  std::shared_ptr<SpriteSurface> sheet;
  std::shared_ptr<KeyRuns> runs;  // the sheet's, grown with it
};

// A picture or drawing surface. Pixels are 0x00RRGGBB (the byte order of a
// 32-bit device-independent bitmap), rows top-down.
struct SpriteSurface {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  int isWindow = 0;  // the window's own surface: presentFrame shows it
  // Every row is the first, so only it is kept (pixels holds one row):
  // one-colour pictures. Such a picture is never drawn on.
  bool sameRows = false;
  // Device pixels outside [clipX0, clipX1) x [clipY0, clipY1) are never
  // written (setClip); by default the whole surface.
  int clipX0 = 0, clipY0 = 0, clipX1 = INT32_MAX, clipY1 = INT32_MAX;
  // A windowed surface (createWindowedSprite) keeps only the part of a
  // fullWidth x fullHeight picture that placeWindow chose, at most
  // windowWidth x windowHeight: stored pixel (0, 0) is the picture's device
  // pixel (originX, originY). Other surfaces keep all of theirs (origin 0).
  bool windowed = false;
  int originX = 0, originY = 0, fullWidth = 0, fullHeight = 0, windowWidth = 0, windowHeight = 0;
  // Made once at load for pictures that are never drawn on afterwards.
  std::shared_ptr<const KeyRuns> keyRuns;
  std::shared_ptr<DrawnCells> drawnCells;
};
using Sprite = SpriteSurface*;

constexpr uint32_t COLOR_WHITE = 0xFFFFFF;
constexpr uint32_t NO_KEY = 0xFFFFFFFF;  // blitRotated: any key above 0xFFFFFF
constexpr uint32_t BLEND_CONSTANT_ALPHA = 0xFFFFFFFF;
constexpr uint32_t BLEND_ADDITIVE = 0xFFFFFFFE;

// COLORREF (0x00BBGGRR) to pixel (0x00RRGGBB) and back.
inline uint32_t colorRefToPixel(uint32_t c) {
  return ((c >> 16) & 0xFF) | (c & 0xFF00) | ((c & 0xFF) << 16);
}
inline uint32_t pixelToColorRef(uint32_t p) { return colorRefToPixel(p & 0xFFFFFF); }

// Bitmap files. readBitmapFile never reads past the end of the data; on a
// damaged file it returns false and says why in error.
bool decodeBitmap(const uint8_t* data, size_t size, SpriteSurface* out, const char** error);
bool readBitmapFile(const char* path, SpriteSurface* out, const char** error);
// Reads only the header: false when the file is not a whole bitmap this
// program reads (the pixels are not decoded).
bool checkBitmapFile(const char* path, const char** error);
// Keeps only the picture's top-left keepW x keepH pixels (0: all), scaled by
// den / num: kept pixel (c, r) is the picture's (c * num / den, r * num / den).
// The file is read a few rows at a time and rows not kept are not decoded.
bool readBitmapFileKept(const char* path, int num, int den, int keepW, int keepH,
                        SpriteSurface* out, const char** error);

// The game's operations.
Sprite loadSprite(const char* path);  // a failure ends the program
// A picture whose every use draws it at 1 / shrink of its size, kept at
// that size: a copy from it at its own size gives what a shrinking copy
// from the whole picture gives.
Sprite loadSpriteShrunk(const char* path, int shrink);
// A picture of which only the top-left w x h is ever drawn, kept at that size.
Sprite loadSpritePart(const char* path, int w, int h);
Sprite createBackBuffer();
Sprite createBlankSprite(int w, int h);
// A w x h picture of which at most a windowW x windowH window is kept:
// drawings and copies use the whole picture's coordinates, and what falls
// outside the window is neither written nor read. Memory follows the
// window, not the picture.
Sprite createWindowedSprite(int w, int h, int windowW, int windowH);
// Moves the window's corner to the logical point (x, y); the window is held
// to the picture. The pixels it holds afterwards are unspecified.
void placeWindow(Sprite s, int x, int y);
void freeSprite(Sprite s);
void freeBackBuffer(Sprite s);
// Limits every later drawing onto s to the logical rectangle (x, y, w, h),
// like a smaller surface seen through a window; clearClip lifts it.
void setClip(Sprite s, int x, int y, int w, int h);
void clearClip(Sprite s);
// Prepares a loaded picture for the way it is drawn; the results are
// pixel for pixel those of the plain copies. The picture must not be drawn
// on afterwards (drawing on it would leave the prepared forms behind).
void prepareKeyRuns(Sprite s, uint32_t key);  // key as COLORREF
void prepareDrawnCells(Sprite s, int cellW, int cellH, int drawnW, int drawnH, uint32_t key);
int logicalWidth(Sprite s);  // the whole picture's size in logical pixels (0 for none)
int logicalHeight(Sprite s);
void presentFrame(Sprite dst, Sprite src);
void clearScreen(Sprite dc, uint32_t colour);
void plotPixel(Sprite dc, int x, int y, uint32_t colour);
uint32_t readPixel(Sprite dc, int x, int y);
void drawRect(Sprite dc, int x, int y, int w, int h, int filled, uint32_t colour);
void drawLine(Sprite dc, int x1, int y1, int x2, int y2, uint32_t colour);
void drawHLine(Sprite dc, int x, int y, int length, uint32_t colour);
void drawVLine(Sprite dc, int x, int y, int length, uint32_t colour);
void drawCircle(Sprite dc, int cx, int cy, int r, uint32_t colour);
void blitCopy(Sprite dst, int x, int y, int w, int h, Sprite src);
void blitOpaque(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy);
void blitKeyed(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, uint32_t key);
void blitKeyedStretched(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, int sw,
                        int sh, uint32_t key);
void blitKeyedBlended(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, int sw,
                      int sh, int opacity, uint32_t key);
void blitRotated(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, int sw, int sh,
                 int angle, uint32_t key);
void blitRotatedPivot(Sprite dst, int x, int y, int w, int h, Sprite src, int sx, int sy, int sw,
                      int sh, int angle, uint32_t key, int px, int py);

// Writes a surface as a PNG (screenshots, contact sheets). Returns false on
// a write error.
bool writePng(const char* path, const SpriteSurface& s);
// Same with an alpha channel: pixels are 0xAARRGGBB, row by row (icons).
bool writePngWithAlpha(const char* path, int width, int height,
                       const std::vector<uint32_t>& pixels);
