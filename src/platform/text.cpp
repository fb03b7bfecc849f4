// Formatted text in one fixed-pitch font, drawn with FreeType. Characters
// take one cell (single-byte characters of the Japanese code page: ASCII,
// Latin-1, half-width katakana) or two cells (everything else, the
// East Asian wide and ambiguous characters).
#include "platform/text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/hooks.h"

TextState textState;

namespace {

constexpr size_t TEXT_BUFFER_BYTES = 2048;

// Every font file under the system's font folder, in name order.
std::vector<std::string> systemFonts() {
  std::vector<std::string> list;
  std::error_code ec;
  namespace fs = std::filesystem;
  fs::recursive_directory_iterator it("/usr/share/fonts",
                                      fs::directory_options::skip_permission_denied, ec);
  for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
    std::string ext = it->path().extension().string();
    if (ext == ".ttf" || ext == ".otf" || ext == ".TTF" || ext == ".OTF")
      list.push_back(it->path().string());
  }
  std::sort(list.begin(), list.end());
  return list;
}

bool tryFace(const std::string& path) {
  FT_Face f = nullptr;
  if (FT_New_Face(textState.ftLibrary, path.c_str(), 0, &f) != 0) return false;
  if (FT_Set_Pixel_Sizes(f, 0, (FT_UInt)textState.deviceCellH) != 0) {
    FT_Done_Face(f);
    return false;
  }
  textState.ftFace = f;
  textState.fontPath = path;
  // Share the cell between ascent and descent as the font's own ratio.
  long ascent = f->ascender, descent = -(long)f->descender;
  long total = ascent + descent > 0 ? ascent + descent : f->units_per_EM;
  long shared = (ascent * textState.deviceCellH * 2 + total) / (2 * total);  // rounded
  textState.baseline = (int)std::clamp<long>(shared, 1, textState.deviceCellH);
  return true;
}

// The font found before, else the Japanese fixed-pitch faces, else the
// first the system has: the font folder is searched at most once a run.
bool openFace() {
  if (!textState.ftLibrary && FT_Init_FreeType(&textState.ftLibrary) != 0) {
    textState.ftLibrary = nullptr;
    return false;
  }
  if (!textState.fontPath.empty() && tryFace(textState.fontPath)) return true;
  for (const char* path : {"/usr/share/fonts/opentype/ipafont-mincho/ipam.ttf",
                           "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf"})
    if (tryFace(path)) return true;
  for (const std::string& path : systemFonts())
    if (tryFace(path)) return true;
  return false;
}

// Decodes one UTF-8 character at s[*i]; a broken sequence yields '?' and
// moves on by one byte.
uint32_t nextCodepoint(const char* s, size_t n, size_t* i) {
  const uint8_t* p = (const uint8_t*)s + *i;
  size_t left = n - *i;
  uint32_t c = p[0];
  int len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || (size_t)len > left) {
    *i += 1;
    return '?';
  }
  uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
  for (int k = 1; k < len; k++) {
    if ((p[k] & 0xC0) != 0x80) {
      *i += 1;
      return '?';
    }
    cp = cp << 6 | (p[k] & 0x3F);
  }
  *i += len;
  return cp;
}

// Cells taken by a character: the single-byte characters of the Japanese
// code page take one, every other character two.
int cellsOf(uint32_t cp) {
  if (cp < 0x80) return 1;
  if (cp < 0x100) {
    // Latin-1 signs that the Japanese character set has only in full width.
    switch (cp) {
      case 0xA7:
      case 0xA8:
      case 0xB0:
      case 0xB1:
      case 0xB4:
      case 0xB6:
      case 0xD7:
      case 0xF7: return 2;
      default: return 1;
    }
  }
  if (cp == 0x203E) return 1;                  // overline (JIS-Roman 0x7E)
  if (cp >= 0xFF61 && cp <= 0xFF9F) return 1;  // half-width katakana
  if (cp >= 0xFFE8 && cp <= 0xFFEE) return 1;  // half-width forms
  return 2;
}

void decodeText(const char* text, std::vector<TextGlyph>* out) {
  out->clear();
  size_t n = std::strlen(text);
  for (size_t i = 0; i < n;) {
    uint32_t cp = nextCodepoint(text, n, &i);
    out->push_back({cp, cellsOf(cp)});
  }
}

// Draws one character with its cell's top-left at device (x, y), clipped.
void drawGlyph(Sprite dc, int x, int y, uint32_t cp, uint32_t pixel) {
  if (cp < 0x20 || cp == 0x7F) return;  // control characters leave their cell empty
  if (dc->sameRows) return;             // a one-colour picture is never drawn on
  FT_Face face = textState.ftFace;
  if (FT_Load_Char(face, cp, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) return;
  const FT_Bitmap& bm = face->glyph->bitmap;
  int left = x + face->glyph->bitmap_left;
  int top = y + textState.baseline - face->glyph->bitmap_top;
  for (unsigned r = 0; r < bm.rows; r++) {
    int py = top + (int)r;
    // Ink stays within its line; the neighbouring lines are other cells.
    if (py < y || py >= y + textState.deviceCellH || py < 0 || py >= dc->height) continue;
    const uint8_t* row = bm.buffer + (ptrdiff_t)r * bm.pitch;
    for (unsigned c = 0; c < bm.width; c++) {
      int px = left + (int)c;
      if (px < 0 || px >= dc->width) continue;
      bool on =
          bm.pixel_mode == FT_PIXEL_MODE_MONO ? (row[c >> 3] >> (7 - (c & 7))) & 1 : row[c] >= 128;
      if (on) dc->pixels[(size_t)py * dc->width + px] = pixel;
    }
  }
}

void fillCells(Sprite dc, int x, int y, int w, int h, uint32_t pixel) {
  int x0 = std::max(x, 0), y0 = std::max(y, 0);
  int x1 = std::min(x + w, dc->width), y1 = std::min(y + h, dc->height);
  for (int r = y0; r < y1; r++)
    std::fill(dc->pixels.begin() + (size_t)r * dc->width + x0,
              dc->pixels.begin() + (size_t)r * dc->width + x1, pixel);
}

// One line of textState.glyphs [from, to) at device (x, y), background first.
void drawLineOfGlyphs(Sprite dc, int x, int y, const std::vector<TextGlyph>& g, size_t from,
                      size_t to, uint32_t colour, uint32_t background) {
  int cells = 0;
  for (size_t k = from; k < to; k++) cells += g[k].cells;
  if (background != TRANSPARENT_BACKGROUND)
    fillCells(dc, x, y, cells * textState.deviceCellW, textState.deviceCellH,
              colorRefToPixel(background));
  uint32_t pixel = colorRefToPixel(colour);
  int penX = x;
  for (size_t k = from; k < to; k++) {
    drawGlyph(dc, penX, y, g[k].cp, pixel);
    penX += g[k].cells * textState.deviceCellW;
  }
}

// Makes sure a font exists; false when none can be had.
bool ensureFont() {
  if (!textState.hasFont) createTextFont(8, 16, "ＭＳ 明朝");
  return textState.hasFont != 0;
}

void drawFormatted(Sprite dc, int x, int y, uint32_t colour, uint32_t background,
                   const char* text) {
  if (!dc || !ensureFont()) return;
  decodeText(text, &textState.glyphs);
  int s = scaleFactor();
  drawLineOfGlyphs(dc, x * s, y * s, textState.glyphs, 0, textState.glyphs.size(), colour,
                   background);
}

}  // namespace

void createTextFont(int cellWidth, int cellHeight, const char* faceName) {
  releaseTextFont();
  textState.cellWidth = cellWidth;
  textState.cellHeight = cellHeight;
  std::snprintf(textState.face, sizeof textState.face, "%s", faceName ? faceName : "");
  int s = scaleFactor();
  textState.deviceCellW = std::max(1, cellWidth * s);
  textState.deviceCellH = std::max(1, cellHeight * s);
  textState.hasFont = openFace() ? 1 : 0;
}

void releaseTextFont() {
  if (textState.ftFace) FT_Done_Face(textState.ftFace);
  textState.ftFace = nullptr;
  textState.hasFont = 0;
}

void resetTextState() {
  releaseTextFont();
  if (textState.ftLibrary) FT_Done_FreeType(textState.ftLibrary);
  textState = TextState{};
}

void drawTextOnWindow(int x, int y, uint32_t colour, const char* format, ...) {
  char text[TEXT_BUFFER_BYTES];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  Sprite window = windowSurface();
  drawFormatted(window, x, y, colour, 0x000000, text);
  flushDrawing();
  runPumpMessagesHook();
}

void drawText(Sprite dc, int x, int y, uint32_t colour, uint32_t background, const char* format,
              ...) {
  char text[TEXT_BUFFER_BYTES];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  drawFormatted(dc, x, y, colour, background, text);
  flushDrawing();
}

void drawTextLineQuietly(Sprite dc, int x, int y, uint32_t colour, const char* utf8) {
  if (!dc || !ensureFont()) return;
  decodeText(utf8, &textState.glyphs);
  drawLineOfGlyphs(dc, x, y, textState.glyphs, 0, textState.glyphs.size(), colour,
                   TRANSPARENT_BACKGROUND);
}

void drawTextBox(Sprite dc, int x, int y, int w, int h, uint32_t colour, uint32_t background,
                 const char* format, ...) {
  (void)h;  // lines run on below the box: nothing is clipped to it
  char text[TEXT_BUFFER_BYTES];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (dc && ensureFont()) {
    decodeText(text, &textState.glyphs);
    int s = scaleFactor();
    int boxW = w * s, left = x * s, top = y * s;
    int line = 0;
    size_t n = textState.glyphs.size(), start = 0;
    while (start <= n) {
      // One paragraph: up to a line break (CR LF, LF or CR).
      size_t end = start;
      while (end < n && textState.glyphs[end].cp != '\n' && textState.glyphs[end].cp != '\r') end++;
      size_t i = start;
      do {
        // Greedy fill; breaks go after a run of spaces or between two wide
        // characters; a word wider than the box is cut between characters.
        size_t k = i, lastBreak = i;
        int width = 0;
        while (k < end) {
          int gw = textState.glyphs[k].cells * textState.deviceCellW;
          if (textState.glyphs[k].cp == ' ') {
            // Spaces may hang past the edge; the line can break after them.
            width += gw;
            k++;
            lastBreak = k;
            continue;
          }
          if (k > i && textState.glyphs[k].cells == 2 && textState.glyphs[k - 1].cells == 2)
            lastBreak = k;
          if (width + gw > boxW && k > i) break;
          width += gw;
          k++;
        }
        size_t lineEnd = k;
        if (k < end && lastBreak > i) lineEnd = lastBreak;
        // Spaces where the line breaks are not drawn.
        size_t drawEnd = lineEnd;
        if (lineEnd < end)
          while (drawEnd > i && textState.glyphs[drawEnd - 1].cp == ' ') drawEnd--;
        drawLineOfGlyphs(dc, left, top + line * textState.deviceCellH, textState.glyphs, i, drawEnd,
                         colour, background);
        line++;
        i = lineEnd;
        while (i < end && textState.glyphs[i].cp == ' ' && lineEnd < end) i++;
      } while (i < end);
      if (end >= n) break;
      start = end + 1;
      if (textState.glyphs[end].cp == '\r' && start < n && textState.glyphs[start].cp == '\n')
        start++;
    }
  }
  flushDrawing();
}
