// Formatted text in one fixed-pitch font.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/sprite.h"

constexpr uint32_t TRANSPARENT_BACKGROUND = 0xFFFFFFFF;

struct FT_LibraryRec_;  // FreeType's own records, held by pointer
struct FT_FaceRec_;

struct TextGlyph {
  uint32_t cp;
  int cells;  // 1 or 2
};

struct TextState {
  int hasFont = 0;
  int cellWidth = 8;
  int cellHeight = 16;
  char face[64] = "";
  FT_LibraryRec_* ftLibrary = nullptr;
  FT_FaceRec_* ftFace = nullptr;
  int deviceCellW = 8;  // the cell in device pixels (doubled in scale mode 1)
  int deviceCellH = 16;
  int baseline = 14;              // from the top of a cell
  std::vector<TextGlyph> glyphs;  // the text being drawn, reused between calls
  std::string fontPath;           // the font file found first, opened again later
};
extern TextState textState;

void createTextFont(int cellWidth, int cellHeight, const char* face);
void releaseTextFont();
void resetTextState();  // releases the font and FreeType itself
void drawTextOnWindow(int x, int y, uint32_t colour, const char* format, ...);
void drawText(Sprite dc, int x, int y, uint32_t colour, uint32_t background, const char* format,
              ...);
void drawTextBox(Sprite dc, int x, int y, int w, int h, uint32_t colour, uint32_t background,
                 const char* format, ...);
// One line at device pixels, nothing presented and no messages pumped (the
// back end's own screens draw with it).
void drawTextLineQuietly(Sprite dc, int x, int y, uint32_t colour, const char* utf8);
