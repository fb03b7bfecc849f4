// The SDL2 back end: window, presentation, keyboard, mouse, joysticks,
// message boxes and the clock. Audio lives in sdl_audio.cpp.
#include <SDL.h>
#include <langinfo.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/os.h"

namespace {

struct SdlState {
  SDL_Window* window = nullptr;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int textureW = 0, textureH = 0;
  int fullScreen = 0;
  uint64_t startTicks = 0;
  SDL_Joystick* joysticks[16] = {};
};
SdlState sdl;

// Virtual-key codes to physical keys, so that every layout plays alike.
SDL_Scancode scancodeFor(int vk) {
  if (vk >= 'A' && vk <= 'Z') return (SDL_Scancode)(SDL_SCANCODE_A + (vk - 'A'));
  if (vk >= '1' && vk <= '9') return (SDL_Scancode)(SDL_SCANCODE_1 + (vk - '1'));
  switch (vk) {
    case '0': return SDL_SCANCODE_0;
    case 13: return SDL_SCANCODE_RETURN;
    case 27: return SDL_SCANCODE_ESCAPE;
    case 32: return SDL_SCANCODE_SPACE;
    case 37: return SDL_SCANCODE_LEFT;
    case 38: return SDL_SCANCODE_UP;
    case 39: return SDL_SCANCODE_RIGHT;
    case 40: return SDL_SCANCODE_DOWN;
    default: return SDL_SCANCODE_UNKNOWN;
  }
}

// Message boxes draw their text with the locale's fonts: make sure it is
// a UTF-8 locale so that Japanese text shows.
void useUtf8Locale() {
  if (std::setlocale(LC_ALL, "") && std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0) return;
  if (!std::setlocale(LC_ALL, "C.UTF-8")) std::setlocale(LC_ALL, "C.utf8");
}

void makeWindow() {
  if (sdl.window) return;
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  sdl.window = SDL_CreateWindow("", 0, 0, 3, 3, SDL_WINDOW_HIDDEN);
  if (!sdl.window) {
    std::fprintf(stderr, "puxten: cannot open a window: %s\n", SDL_GetError());
    std::exit(2);
  }
  // The picture is made in our own surfaces; the window only needs a
  // plain copy (scaled in full screen). The software renderer does that
  // without loading a whole GL stack into the game.
  sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_SOFTWARE);
  if (!sdl.renderer) sdl.renderer = SDL_CreateRenderer(sdl.window, -1, 0);
}

}  // namespace

// Called once by main before the game starts.
int sdlStartVideo() {
  useUtf8Locale();
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "puxten: no display available: %s\n", SDL_GetError());
    return 0;
  }
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || !std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy")) {
    std::fprintf(stderr, "puxten: no display available (no X11 or Wayland display found)\n");
    SDL_Quit();
    return 0;
  }
  sdl.startTicks = SDL_GetTicks64();
  makeWindow();
  return 1;
}

int32_t osNowMs() { return (int32_t)(SDL_GetTicks64() - sdl.startTicks); }

void osSleepMs(int32_t ms) {
  if (ms > 0) SDL_Delay((Uint32)ms);
}

int64_t osCalendarSeconds() { return (int64_t)time(nullptr); }

int osKeyHeld(int vk) {
  if (vk == 1) return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) ? 1 : 0;
  if (vk == 2) return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_RMASK) ? 1 : 0;
  const Uint8* keys = SDL_GetKeyboardState(nullptr);
  if (vk == 13 && keys[SDL_SCANCODE_KP_ENTER]) return 1;
  SDL_Scancode sc = scancodeFor(vk);
  return sc != SDL_SCANCODE_UNKNOWN && keys[sc] ? 1 : 0;
}

int osPlaceWindow(int mode, int x, int y, int clientW, int clientH, const char* title,
                  int borderless) {
  makeWindow();
  if (mode == 2) {
    // Full screen on the desktop's own mode, the picture scaled up sharp
    // and letterboxed: today's displays rarely offer 640 x 480 themselves.
    // Cover the whole desktop first, so that full screen also holds where
    // no window manager answers the full-screen request.
    SDL_DisplayMode desktop;
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return 0;
    SDL_SetWindowBordered(sdl.window, SDL_FALSE);
    SDL_SetWindowSize(sdl.window, desktop.w, desktop.h);
    SDL_SetWindowPosition(sdl.window, 0, 0);
    if (SDL_SetWindowFullscreen(sdl.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return 0;
    SDL_SetWindowTitle(sdl.window, title);
    SDL_RenderSetLogicalSize(sdl.renderer, clientW, clientH);
    // Whole multiples keep every pixel the same size wherever one fits.
    bool whole = desktop.w >= 2 * clientW && desktop.h >= 2 * clientH;
    SDL_RenderSetIntegerScale(sdl.renderer, whole ? SDL_TRUE : SDL_FALSE);
    SDL_ShowWindow(sdl.window);
    sdl.fullScreen = 1;
    return 1;
  }
  if (sdl.fullScreen) {
    SDL_SetWindowFullscreen(sdl.window, 0);
    sdl.fullScreen = 0;
  }
  SDL_SetWindowTitle(sdl.window, title);
  SDL_SetWindowBordered(sdl.window, borderless ? SDL_FALSE : SDL_TRUE);
  SDL_SetWindowResizable(sdl.window, SDL_FALSE);
  SDL_SetWindowSize(sdl.window, clientW, clientH);
  SDL_SetWindowPosition(sdl.window, x, y);
  SDL_RenderSetIntegerScale(sdl.renderer, SDL_FALSE);
  SDL_RenderSetLogicalSize(sdl.renderer, clientW, clientH);
  SDL_ShowWindow(sdl.window);
  return 1;
}

void osSetWindowTitle(const char* title) {
  if (sdl.window) SDL_SetWindowTitle(sdl.window, title);
}

void osPresent(const uint32_t* pixels, int width, int height) {
  if (!sdl.renderer) return;
  if (!sdl.texture || sdl.textureW != width || sdl.textureH != height) {
    if (sdl.texture) SDL_DestroyTexture(sdl.texture);
    sdl.texture = SDL_CreateTexture(sdl.renderer, SDL_PIXELFORMAT_RGB888,
                                    SDL_TEXTUREACCESS_STREAMING, width, height);
    sdl.textureW = width;
    sdl.textureH = height;
  }
  SDL_UpdateTexture(sdl.texture, nullptr, pixels, width * 4);
  SDL_SetRenderDrawColor(sdl.renderer, 0, 0, 0, 255);
  SDL_RenderClear(sdl.renderer);
  SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, nullptr);
  SDL_RenderPresent(sdl.renderer);
}

void osSetCursorVisible(int visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

void osMousePosition(int* x, int* y) { SDL_GetMouseState(x, y); }

int osMouseButtons() {
  Uint32 b = SDL_GetMouseState(nullptr, nullptr);
  return ((b & SDL_BUTTON_LMASK) ? 1 : 0) | ((b & SDL_BUTTON_RMASK) ? 2 : 0);
}

void osWarpMouse(int x, int y) {
  if (sdl.window) SDL_WarpMouseInWindow(sdl.window, x, y);
}

int osMessageBox(const char* text, const char* caption, unsigned flags) {
  const int IDOK = 1, IDYES = 6, IDNO = 7;
  SDL_MessageBoxButtonData yesNo[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, "はい(Y)"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, "いいえ(N)"},
  };
  SDL_MessageBoxButtonData ok[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
       "OK"},
  };
  bool askYesNo = (flags & 0x0F) == 0x04;
  SDL_MessageBoxData box = {};
  box.flags = ((flags & 0x10) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION) |
              SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  // The start-up question comes while the window is a 1 x 1 placeholder:
  // the box then stands on its own.
  int w = 0, h = 0;
  if (sdl.window) SDL_GetWindowSize(sdl.window, &w, &h);
  box.window = (sdl.window && w > 8) ? sdl.window : nullptr;
  box.title = caption;
  box.message = text;
  box.numbuttons = askYesNo ? 2 : 1;
  box.buttons = askYesNo ? yesNo : ok;
  int answer = askYesNo ? IDNO : IDOK;
  if (SDL_ShowMessageBox(&box, &answer) != 0) return askYesNo ? IDNO : IDOK;
  if (answer < 0) answer = askYesNo ? IDNO : IDOK;  // closed without a button
  return answer;
}

void osPollEvents(OsEvents* events) {
  *events = OsEvents{};
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) {
    if (ev.type == SDL_QUIT) events->closeRequested = 1;
    if (ev.type == SDL_WINDOWEVENT && ev.window.event == SDL_WINDOWEVENT_CLOSE)
      events->closeRequested = 1;
    if (ev.type == SDL_JOYDEVICEADDED || ev.type == SDL_JOYDEVICEREMOVED) events->deviceChanged = 1;
  }
}

int osJoystickQuery(int id, uint32_t* x, uint32_t* y, uint32_t* buttons) {
  if (id < 0 || id >= 16 || id >= SDL_NumJoysticks()) return 0;
  if (!sdl.joysticks[id] || !SDL_JoystickGetAttached(sdl.joysticks[id]))
    sdl.joysticks[id] = SDL_JoystickOpen(id);
  SDL_Joystick* j = sdl.joysticks[id];
  if (!j) return 0;
  // Axes as the classic joystick interface reports them: 0 .. 65535.
  *x = (uint32_t)(SDL_JoystickGetAxis(j, 0) + 32768);
  *y = (uint32_t)(SDL_JoystickGetAxis(j, 1) + 32768);
  uint32_t mask = 0;
  int n = SDL_JoystickNumButtons(j);
  for (int b = 0; b < n && b < 32; b++)
    if (SDL_JoystickGetButton(j, b)) mask |= 1u << b;
  *buttons = mask;
  return 1;
}

const char* osExecutableDataDir() {
  static char dir[4096];
  char* base = SDL_GetBasePath();
  std::snprintf(dir, sizeof dir, "%sdata", base ? base : "./");
  SDL_free(base);
  return dir;
}

void osBeforeFirstFrame() {}

void osTerminate(int exitCode) {
  if (sdl.window) SDL_DestroyWindow(sdl.window);
  SDL_Quit();
  std::exit(exitCode);
}
