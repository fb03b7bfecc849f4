// The SDL2 back end: window, presentation, keyboard, mouse, joysticks,
// message boxes and the clock. Audio lives in sdl_audio.cpp, settings in
// sdl_settings.cpp, pads and bindings in sdl_input.cpp, the pause in
// sdl_pause.cpp.
#include <langinfo.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/os.h"
#include "platform/sdl/sdl_backend.h"

SdlState sdl;

namespace {

constexpr uint64_t CURSOR_IDLE_MS = 2000;  // a still cursor hides in a window
constexpr int VOLUME_STEP = 10;
constexpr uint64_t NOTICE_MS = 1500;
constexpr Uint8 PAUSED_LEVEL = 80;  // of 255: the paused picture's brightness

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
  sdl.window = SDL_CreateWindow("", 0, 0, 3, 3, SDL_WINDOW_HIDDEN | SDL_WINDOW_ALLOW_HIGHDPI);
  if (!sdl.window) {
    std::fprintf(stderr, "puxten: cannot open a window: %s\n", SDL_GetError());
    std::exit(2);
  }
  // The picture is made in our own surfaces; the window only needs a
  // plain copy, scaled. The software renderer does that without loading a
  // whole GL stack into the game.
  sdl.renderer = SDL_CreateRenderer(sdl.window, -1, SDL_RENDERER_SOFTWARE);
  if (!sdl.renderer) sdl.renderer = SDL_CreateRenderer(sdl.window, -1, 0);
}

// Full screen on the desktop's own mode. Cover the whole desktop first, so
// that full screen also holds where no window manager answers the request.
bool enterFullScreen() {
  SDL_DisplayMode desktop;
  int index = SDL_GetWindowDisplayIndex(sdl.window);
  if (SDL_GetDesktopDisplayMode(index < 0 ? 0 : index, &desktop) != 0) return false;
  SDL_SetWindowBordered(sdl.window, SDL_FALSE);
  SDL_SetWindowSize(sdl.window, desktop.w, desktop.h);
  SDL_SetWindowPosition(sdl.window, 0, 0);
  if (SDL_SetWindowFullscreen(sdl.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) return false;
  sdl.fullScreen = 1;
  return true;
}

void leaveFullScreen(int x, int y, bool bordered) {
  SDL_SetWindowFullscreen(sdl.window, 0);
  sdl.fullScreen = 0;
  SDL_SetWindowBordered(sdl.window, bordered ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowResizable(sdl.window, bordered ? SDL_TRUE : SDL_FALSE);
  int scale = bordered ? sdl.settings.windowScale : 1;
  SDL_SetWindowSize(sdl.window, sdl.pictureW * scale, sdl.pictureH * scale);
  SDL_SetWindowPosition(sdl.window, x, y);
}

// The whole multiple the window shows the picture at now.
int windowScale() {
  int w = 0, h = 0;
  SDL_GetWindowSize(sdl.window, &w, &h);
  int sx = w / (sdl.pictureW > 0 ? sdl.pictureW : 1),
      sy = h / (sdl.pictureH > 0 ? sdl.pictureH : 1);
  int s = sx < sy ? sx : sy;
  return s < 1 ? 1 : s;
}

void updateCursor() {
  bool idle = SDL_GetTicks64() - sdl.lastMouseMotion > CURSOR_IDLE_MS;
  bool show = sdl.gameWantsCursor && !sdl.fullScreen && !idle;
  if (show != sdl.cursorShown) SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
  sdl.cursorShown = show;
}

void changeMusicVolume(int step) {
  if (step == 0) return;
  int v = sdl.settings.musicVolume + step;
  v = v < 0 ? 0 : v > MAX_VOLUME ? MAX_VOLUME : v;
  sdl.settings.musicVolume = v;
  sdlSetVolumes(v, sdl.settings.effectsVolume);
  std::snprintf(sdl.notice, sizeof sdl.notice, "%s %d%%", sdlText("音楽の音量"), v);
  sdl.noticeUntil = SDL_GetTicks64() + NOTICE_MS;
  sdlRememberSetting("music_volume", v);
}

// - and + by the character they type (where + sits differs by layout),
// or by the US keyboard's = key and the keypad.
int volumeStep(const SDL_Keysym& key) {
  if (key.sym == SDLK_MINUS || key.sym == SDLK_KP_MINUS) return -VOLUME_STEP;
  if (key.sym == SDLK_PLUS || key.sym == SDLK_KP_PLUS || key.scancode == SDL_SCANCODE_EQUALS)
    return VOLUME_STEP;
  return 0;
}

bool isAltEnter(const SDL_KeyboardEvent& key) {
  return (key.keysym.scancode == SDL_SCANCODE_RETURN ||
          key.keysym.scancode == SDL_SCANCODE_KP_ENTER) &&
         (key.keysym.mod & KMOD_ALT);
}

// One event for the back end itself; *pause is set when the game should
// pause (1 by key, 2 by losing focus), cleared when focus comes back.
void handleEvent(const SDL_Event& ev, OsEvents* events, int* pause) {
  switch (ev.type) {
    case SDL_QUIT: events->closeRequested = 1; break;
    case SDL_JOYDEVICEADDED:
    case SDL_JOYDEVICEREMOVED: events->deviceChanged = 1; break;
    case SDL_MOUSEMOTION: sdl.lastMouseMotion = SDL_GetTicks64(); break;
    case SDL_WINDOWEVENT:
      if (ev.window.event == SDL_WINDOWEVENT_CLOSE) events->closeRequested = 1;
      if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST && sdl.settings.pauseOnFocusLoss && !*pause)
        *pause = 2;
      if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED && *pause == 2) *pause = 0;
      if (ev.window.event == SDL_WINDOWEVENT_SIZE_CHANGED ||
          ev.window.event == SDL_WINDOWEVENT_EXPOSED)
        sdlShowPicture();
      break;
    case SDL_KEYDOWN:
      if (ev.key.repeat) break;
      if (isAltEnter(ev.key) || ev.key.keysym.scancode == SDL_SCANCODE_F11) sdlToggleFullScreen();
      if (ev.key.keysym.scancode == SDL_SCANCODE_P || ev.key.keysym.scancode == SDL_SCANCODE_PAUSE)
        *pause = 1;
      changeMusicVolume(volumeStep(ev.key.keysym));
      break;
    default: sdlHandlePadEvent(ev); break;
  }
}

}  // namespace

// The picture at the largest whole multiple that fits, centred on black.
void sdlUseSharpScaling(int pictureW, int pictureH) {
  sdl.pictureW = pictureW;
  sdl.pictureH = pictureH;
  SDL_RenderSetLogicalSize(sdl.renderer, pictureW, pictureH);
  SDL_RenderSetIntegerScale(sdl.renderer, SDL_TRUE);
}

// Starts SDL on whatever video driver it finds; 0 when it cannot.
int sdlStartOn() {
  useUtf8Locale();
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_JOYSTICK | SDL_INIT_GAMECONTROLLER | SDL_INIT_TIMER) !=
      0) {
    std::fprintf(stderr, "puxten: no display available: %s\n", SDL_GetError());
    return 0;
  }
  sdl.startNs = sdlMonotonicNs();
  sdlLoadSettings();
  sdlResolveBindings();
  sdlSetVolumes(sdl.settings.musicVolume, sdl.settings.effectsVolume);
  makeWindow();
  return 1;
}

// Called once by main before the game starts: a real display or nothing.
int sdlStartVideo() {
  if (!sdlStartOn()) return 0;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || !std::strcmp(driver, "offscreen") || !std::strcmp(driver, "dummy")) {
    std::fprintf(stderr, "puxten: no display available (no X11 or Wayland display found)\n");
    SDL_Quit();
    return 0;
  }
  return 1;
}

void sdlToggleFullScreen() {
  if (!sdl.window || sdl.pictureW < 64) return;  // not before the game's window exists
  if (sdl.fullScreen)
    leaveFullScreen(SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, true);
  else
    enterFullScreen();
  updateCursor();
  sdlShowPicture();
}

void sdlShowPicture() {
  if (!sdl.renderer) return;
  SDL_SetRenderDrawColor(sdl.renderer, 0, 0, 0, 255);
  SDL_RenderClear(sdl.renderer);
  if (sdl.texture && !(sdl.question && sdl.question->onBlack)) {
    // The paused picture is shown darker, behind the pause screen.
    Uint8 level = sdl.paused || sdl.question ? PAUSED_LEVEL : 255;
    SDL_SetTextureColorMod(sdl.texture, level, level, level);
    SDL_RenderCopy(sdl.renderer, sdl.texture, nullptr, nullptr);
  }
  sdlDrawOverlay();
  SDL_RenderPresent(sdl.renderer);
}

constexpr int64_t NS_PER_MS = 1000000;
constexpr int64_t NS_PER_SECOND = 1000000000;

uint64_t sdlMonotonicNs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (uint64_t)now.tv_sec * NS_PER_SECOND + (uint64_t)now.tv_nsec;
}

// Milliseconds since the start, less the time spent paused.
static int64_t unpausedMs() {
  return (int64_t)((sdlMonotonicNs() - sdl.startNs - sdl.pausedNs) / NS_PER_MS);
}

// One sleep to the very moment the unpaused clock reaches the deadline:
// whole-millisecond sleeps end late (the game ran at 24.3 frames a
// second), and short naps woke the processor some twenty times a frame.
static void waitUntil(int64_t deadline) {
  const int64_t at = (int64_t)(sdl.startNs + sdl.pausedNs) + deadline * NS_PER_MS;
  if (at <= 0) return;
  const timespec when = {(time_t)(at / NS_PER_SECOND), (long)(at % NS_PER_SECOND)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &when, nullptr) == EINTR) {
  }
}

int32_t osNowMs() { return sdl.gameNowMs; }

// Waits until ms have passed since the clock last moved (the gap to a
// demo's next reading while one plays), then moves the game's clock by the
// time that really passed (to the demo's reading). Differences wrap, so the
// clock may run for months.
void osSleepMs(int32_t ms) {
  int32_t target = (int32_t)((uint32_t)sdl.gameNowMs + (uint32_t)(ms > 0 ? ms : 0));
  bool fromDemo = sdlDemoNextClock(&target);
  int64_t wanted = (int32_t)((uint32_t)target - (uint32_t)sdl.gameNowMs);
  waitUntil(sdl.clockMovedAt + wanted);
  int64_t now = unpausedMs();
  uint32_t passed = fromDemo ? (uint32_t)wanted : (uint32_t)(now - sdl.clockMovedAt);
  sdl.gameNowMs = (int32_t)((uint32_t)sdl.gameNowMs + passed);
  sdl.clockMovedAt = now;
}

int64_t osCalendarSeconds() { return (int64_t)time(nullptr); }

int osKeyHeld(int vk) {
  if (sdl.demo.playing) return sdlDemoKeyHeld(vk);
  if (vk == 1) return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_LMASK) ? 1 : 0;
  if (vk == 2) return (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON_RMASK) ? 1 : 0;
  // Alt+Enter belongs to the full-screen toggle, not to the game.
  if (vk == 13 && (SDL_GetModState() & KMOD_ALT)) return 0;
  bool bound = false;
  if (sdlActionHeld(vk, &bound)) return 1;
  if (bound) return 0;
  const Uint8* keys = SDL_GetKeyboardState(nullptr);
  SDL_Scancode sc = scancodeFor(vk);
  return sc != SDL_SCANCODE_UNKNOWN && keys[sc] ? 1 : 0;
}

int osPlaceWindow(int mode, int x, int y, int clientW, int clientH, const char* title,
                  int borderless) {
  makeWindow();
  if (mode == 2) sdl.demo.answerYes = 1;
  SDL_SetWindowTitle(sdl.window, title);
  sdlUseSharpScaling(clientW, clientH);
  if (mode == 2) {
    if (!enterFullScreen()) return 0;
    SDL_ShowWindow(sdl.window);
    return 1;
  }
  // Scale mode 1 already doubles the picture: the window holds it 1:1.
  leaveFullScreen(x, y, !borderless);
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
  sdlShowPicture();
  sdlDemoPresented();
}

void osSetCursorVisible(int visible) {
  sdl.gameWantsCursor = visible != 0;
  updateCursor();
}

void osMousePosition(int* x, int* y) {
  int wx = 0, wy = 0;
  SDL_GetMouseState(&wx, &wy);
  // Window points to picture pixels, whatever the window's scale.
  float lx = (float)wx, ly = (float)wy;
  if (sdl.renderer) SDL_RenderWindowToLogical(sdl.renderer, wx, wy, &lx, &ly);
  *x = (int)lx;
  *y = (int)ly;
}

int osMouseButtons() {
  Uint32 b = SDL_GetMouseState(nullptr, nullptr);
  return ((b & SDL_BUTTON_LMASK) ? 1 : 0) | ((b & SDL_BUTTON_RMASK) ? 2 : 0);
}

void osWarpMouse(int x, int y) {
  if (!sdl.window) return;
  int scale = sdl.fullScreen ? 1 : windowScale();
  SDL_WarpMouseInWindow(sdl.window, x * scale, y * scale);
}

// A box with an OK button for now: the game waits until it is closed.
void osShowNotice(const char* text) { osMessageBox(text, "PUXTEN", 0); }

void osPollEvents(OsEvents* events) {
  *events = OsEvents{};
  int pause = 0;
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) handleEvent(ev, events, &pause);
  if (pause && !events->closeRequested) sdlRunPause(pause == 2, events);
  updateCursor();
  if (sdl.noticeUntil && SDL_GetTicks64() >= sdl.noticeUntil) {
    sdl.noticeUntil = 0;
    sdlShowPicture();  // the notice goes even if the game shows nothing new
  }
}

// Handles the pause loop's events; returns false when the pause ends.
bool sdlPauseEvent(const SDL_Event& ev, bool byFocus, OsEvents* events) {
  int pause = byFocus ? 2 : 1;
  handleEvent(ev, events, &pause);
  if (events->closeRequested) return false;
  if (ev.type == SDL_KEYDOWN && !ev.key.repeat &&
      (ev.key.keysym.scancode == SDL_SCANCODE_P || ev.key.keysym.scancode == SDL_SCANCODE_PAUSE))
    return false;
  return pause != 0;
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

std::string osExecutableDataDir() {
  char* base = SDL_GetBasePath();
  std::string dir = std::string(base ? base : "./") + "data";
  SDL_free(base);
  return dir;
}

void osBeforeFirstFrame() {}

void osTerminate(int exitCode) {
  if (sdl.window && !sdl.fullScreen && sdl.pictureW >= 320) {
    int scale = windowScale();
    if (scale != sdl.settings.windowScale) sdlRememberSetting("window_scale", scale);
  }
  if (sdl.window) SDL_DestroyWindow(sdl.window);
  SDL_Quit();
  std::exit(exitCode);
}
