// The pause and the back end's words over the picture: the dimmed pause
// screen with the controls, and a brief notice such as the music volume.
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/os.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/text.h"

namespace {

constexpr int LINE_PIXELS = 16;   // one line of the game's text font
constexpr int TITLE_SCALE = 4;    // "PAUSE" at four times the text size
constexpr Uint8 DIM_ALPHA = 170;  // how dark the band under a notice is
constexpr Uint32 WAIT_SLICE_MS = 500;

// What each action is called on the pause screen: Japanese, English.
constexpr const char* ACTION_LABELS[ACTION_COUNT][2] = {
    {"左", "Left"},
    {"右", "Right"},
    {"上", "Up"},
    {"下", "Down"},
    {"ジャンプ", "Jump"},
    {"投げ爆弾", "Thrown bomb"},
    {"タル爆弾", "Barrel bomb"},
    {"転がし爆弾", "Rolling bomb"},
    {"決定", "Enter"},
    {"戻る", "Escape"},
};

// A line of white text as a texture with its alpha taken from the glyphs.
SDL_Texture* textTexture(const char* utf8, int* w, int* h) {
  SpriteSurface s;
  s.width = 640;
  s.height = LINE_PIXELS;
  s.pixels.assign((size_t)s.width * s.height, 0);
  drawTextLineQuietly(&s, 0, 0, 0xFFFFFF, utf8);
  int right = 0;
  for (int y = 0; y < s.height; y++)
    for (int x = 0; x < s.width; x++) {
      uint32_t& p = s.pixels[(size_t)y * s.width + x];
      uint32_t level = p & 0xFF;
      p = (level << 24) | 0xFFFFFF;
      if (level && x + 1 > right) right = x + 1;
    }
  *w = right;
  *h = s.height;
  if (right == 0) return nullptr;
  SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(s.pixels.data(), s.width, s.height, 32,
                                                            s.width * 4, SDL_PIXELFORMAT_ARGB8888);
  SDL_Texture* t = surface ? SDL_CreateTextureFromSurface(sdl.renderer, surface) : nullptr;
  if (surface) SDL_FreeSurface(surface);
  if (t) SDL_SetTextureBlendMode(t, SDL_BLENDMODE_BLEND);
  return t;
}

std::string names(const char (&list)[BINDINGS_PER_ACTION][BINDING_NAME_BYTES]) {
  std::string out;
  for (const auto& n : list)
    if (n[0]) out += (out.empty() ? "" : ", ") + std::string(n);
  return out.empty() ? "-" : out;
}

// Darkens a band of the picture.
void dim(int y, int h) {
  SDL_SetRenderDrawBlendMode(sdl.renderer, SDL_BLENDMODE_BLEND);
  SDL_SetRenderDrawColor(sdl.renderer, 0, 0, 0, DIM_ALPHA);
  SDL_Rect band = {0, y, sdl.pictureW, h};
  SDL_RenderFillRect(sdl.renderer, &band);
}

// Over the picture, which sdlShowPicture already darkened.
void drawPauseScreen() {
  int top = sdl.pictureH / 2 - (ACTION_COUNT + 6) * LINE_PIXELS / 2 - 2 * LINE_PIXELS;
  sdlDrawText(sdlText("ポーズ"), -1, top, TITLE_SCALE);
  int y = top + (TITLE_SCALE + 1) * LINE_PIXELS;
  const int left = sdl.pictureW / 8;
  for (int a = 0; a < ACTION_COUNT; a++, y += LINE_PIXELS) {
    char line[160];
    std::snprintf(line, sizeof line, "%-14s %-20s %s", ACTION_LABELS[a][sdl.japanese ? 0 : 1],
                  names(sdl.settings.keys.names[a]).c_str(),
                  names(sdl.settings.padButtons.names[a]).c_str());
    sdlDrawText(line, left, y, 1);
  }
  y += LINE_PIXELS;
  sdlDrawText(sdl.japanese ? "P: 続ける  Alt+Enter/F11: フルスクリーン  -/+: 音楽の音量"
                           : "P: resume  Alt+Enter/F11: full screen  -/+: music volume",
              -1, y, 1);
}

}  // namespace

void sdlDrawText(const char* utf8, int x, int y, int scale) {
  int w = 0, h = 0;
  SDL_Texture* t = textTexture(utf8, &w, &h);
  if (!t) return;
  SDL_Rect from = {0, 0, w, h};
  SDL_Rect to = {x < 0 ? (sdl.pictureW - w * scale) / 2 : x, y, w * scale, h * scale};
  SDL_RenderCopy(sdl.renderer, t, &from, &to);
  SDL_DestroyTexture(t);
}

void sdlDrawOverlay() {
  if (sdl.paused) drawPauseScreen();
  if (sdl.question) sdlDrawQuestion();
  if (sdl.noticeUntil && SDL_GetTicks64() < sdl.noticeUntil) {
    dim(8, LINE_PIXELS + 8);
    sdlDrawText(sdl.notice, -1, 12, 1);
  }
}

void sdlRunPause(bool byFocus, OsEvents* events) {
  uint64_t from = sdlMonotonicNs();
  sdl.paused = true;
  sdlPauseAudio(true);
  sdlShowPicture();
  for (;;) {
    SDL_Event ev;
    if (!SDL_WaitEventTimeout(&ev, WAIT_SLICE_MS)) continue;
    if (!sdlPauseEvent(ev, byFocus, events)) break;
    sdlShowPicture();  // a notice or a new window size shows at once
  }
  sdl.paused = false;
  sdl.pausedNs += sdlMonotonicNs() - from;
  sdlPauseAudio(false);
  sdlShowPicture();
}
