// Draws every picture of the game into <out>/image and a contact sheet of
// all of them with each addressed cell outlined.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>

#include "assets.h"
#include "cells.h"
#include "draw_sheets.h"
#include "platform/sprite.h"

namespace {

struct Picture {
  std::string file;
  Canvas canvas;
};

// Scales a picture into a box of at most maxW x maxH, showing key pixels as
// a checkerboard so that transparency can be seen.
Canvas previewOf(const Canvas& src, float scale) {
  int w = std::max(1, int(src.w * scale)), h = std::max(1, int(src.h * scale));
  Canvas out(w, h, 0xFF000000u);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      int x0 = int(x / scale), x1 = std::max(x0 + 1, int((x + 1) / scale));
      int y0 = int(y / scale), y1 = std::max(y0 + 1, int((y + 1) / scale));
      long r = 0, g = 0, b = 0, n = 0, keys = 0;
      for (int j = y0; j < std::min(y1, src.h); ++j)
        for (int i = x0; i < std::min(x1, src.w); ++i) {
          uint32_t p = src.px[size_t(j) * src.w + i];
          if (p == src.key) {
            ++keys;
            continue;
          }
          r += redOf(p), g += greenOf(p), b += blueOf(p), ++n;
        }
      uint32_t col;
      if (n == 0 || keys > n)
        col = ((x / 4 + y / 4) % 2) ? rgb(0xd8, 0xd8, 0xdc) : rgb(0xb8, 0xb8, 0xc0);
      else
        col = rgb(int(r / n), int(g / n), int(b / n));
      out.px[size_t(y) * w + x] = col;
    }
  return out;
}

bool writeContactSheet(const std::string& path, const std::vector<Picture>& pictures) {
  const int sheetW = 2000, pad = 14, labelH = 18;
  struct Placed {
    const Picture* pic;
    float scale;
    int x, y, w, h;
  };
  std::vector<Placed> placed;
  int x = pad, y = pad, rowH = 0;
  for (const Picture& p : pictures) {
    float s = std::min({1.0f, 620.0f / p.canvas.w, 900.0f / p.canvas.h});
    if (p.canvas.w * s < 40) s = std::min(8.0f, 40.0f / p.canvas.w);
    int w = std::max(1, int(p.canvas.w * s)), h = std::max(1, int(p.canvas.h * s));
    if (x + std::max(w, 150) > sheetW - pad) x = pad, y += rowH + pad, rowH = 0;
    placed.push_back({&p, s, x, y + labelH, w, h});
    x += std::max(w, 150) + pad;
    rowH = std::max(rowH, h + labelH);
  }
  Canvas sheet(sheetW, y + rowH + pad, 0xFF000000u);
  sheet.clear(rgb(0x30, 0x30, 0x38));
  const uint32_t outline[3] = {rgb(0xff, 0x30, 0xc0), rgb(0x20, 0xf0, 0xff), rgb(0xff, 0xf0, 0x20)};
  std::vector<PictureCell> cells = pictureCells();
  for (const Placed& p : placed) {
    TextMask label = renderText(p.pic->file, 14);
    drawTextMask(sheet, label, p.x, p.y - labelH + 2, rgb(0xf0, 0xf0, 0xf0));
    paste(sheet, previewOf(p.pic->canvas, p.scale), p.x, p.y);
    int k = 0;
    for (const PictureCell& c : cells) {
      if (c.file != p.pic->file) continue;
      int x0 = p.x + int(c.x * p.scale), y0 = p.y + int(c.y * p.scale);
      int x1 = p.x + int((c.x + c.w) * p.scale), y1 = p.y + int((c.y + c.h) * p.scale);
      frameRect(sheet, x0, y0, std::max(1, x1 - x0), std::max(1, y1 - y0), outline[k++ % 3]);
    }
  }
  SpriteSurface s;
  s.width = sheet.w, s.height = sheet.h, s.pixels = sheet.px;
  return writePng(path.c_str(), s);
}

}  // namespace

bool generatePictures(const std::string& outDir) {
  auto start = std::chrono::steady_clock::now();
  std::vector<Picture> pictures;
  auto add = [&](const char* file, Canvas c) { pictures.push_back({file, std::move(c)}); };

  Canvas player = drawPlayerSheet();
  add(TILE_SHEET.file, drawTileSheet());
  add(PLAYER_SHEET.file, player);
  add(BOMB_SHEET.file, drawBombSheet());
  add(AIM_SHEET.file, drawAimDot());
  add(STAGE_BACKDROP.file, drawStageBackdrop());
  add(TITLE_SHEET.file, drawTitle());
  add(BLAST_SHEET.file, drawBlast());
  add(SPARE_SHEET.file, drawSpareSheet(player));
  add(BLACK_SHEET.file, drawBlackCover());
  add(TITLE_BACKDROP.file, drawTitleBackdrop());
  add(SHADOW_SHEET.file, drawShadow());
  add(KEY_ICON_SHEET.file, drawKeyIcons());
  add(ARROW_SHEET.file, drawDoorArrow());
  add(MENU_DIM_SHEET.file, drawMenuItems(false));
  add(MENU_LIT_SHEET.file, drawMenuItems(true));
  add(CRUSH_SHEET.file, drawBlockCrush());
  add(MISS_MENU_SHEET.file, drawMissMenu());
  add(MENU_GLOW_SHEET.file, drawMenuHighlight());
  add(WARP_SHEET.file, drawWarpEffect(player));
  add(RESULT_PANEL.file, drawResultPanel());
  add(RESULT_SHEET.file, drawResultSheet());
  add(ENDING_SCROLL.file, drawEndingScroll(player));
  add(ENDING_FLOOR.file, drawEndingFloor());
  add(ENDING_WALKER.file, drawEndingWalker(player));

  bool ok = true;
  std::map<std::string, const Picture*> byName;
  for (const Picture& p : pictures) byName[p.file] = &p;
  for (const SheetFile& s : ALL_SHEETS) {
    auto it = byName.find(s.file);
    if (it == byName.end() || it->second->canvas.w != s.w || it->second->canvas.h != s.h) {
      std::fprintf(stderr, "puxten-assets: %s is not drawn at %d x %d\n", s.file, s.w, s.h);
      ok = false;
    }
  }
  for (const Picture& p : pictures) {
    if (!writeBmp(outDir + "/" + p.file, p.canvas)) {
      std::fprintf(stderr, "puxten-assets: cannot write %s/%s\n", outDir.c_str(), p.file.c_str());
      ok = false;
    }
  }
  // The contact sheet is for people; a missing PNG writer is no failure.
  if (!writeContactSheet(outDir + "/contact_sheet.png", pictures))
    std::fprintf(stderr, "puxten-assets: contact sheet not written (no PNG writer)\n");
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                  start)
                .count();
  std::printf("puxten-assets: %zu pictures in %lld ms\n", pictures.size(), (long long)ms);
  return ok;
}
