// Key bindings and game controllers. Both feed the virtual keys the game
// already reads: a bound key or pad button makes its action's key held.
#include "platform/sdl/sdl_backend.h"

namespace {

constexpr Sint16 STICK_DEAD_ZONE = 12000;  // of 32767: a resting stick drifts a little

SDL_GameController* activeController() {
  return sdl.activePad >= 0 ? SDL_GameControllerFromInstanceID(sdl.activePad) : nullptr;
}

void openPad(int deviceIndex) {
  if (!SDL_IsGameController(deviceIndex)) return;
  for (SDL_GameController*& slot : sdl.pads) {
    if (slot) continue;
    slot = SDL_GameControllerOpen(deviceIndex);
    if (slot && sdl.activePad < 0)
      sdl.activePad = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(slot));
    return;
  }
}

void closePad(SDL_JoystickID id) {
  for (SDL_GameController*& slot : sdl.pads) {
    if (!slot || SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(slot)) != id) continue;
    SDL_GameControllerClose(slot);
    slot = nullptr;
  }
  if (sdl.activePad != id) return;
  // Another pad still there takes over.
  sdl.activePad = -1;
  for (SDL_GameController* slot : sdl.pads)
    if (slot) sdl.activePad = SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(slot));
}

// The left stick as arrows, past the dead zone.
bool stickHeld(SDL_GameController* pad, int action) {
  Sint16 x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
  Sint16 y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
  switch (action) {
    case ACTION_LEFT: return x < -STICK_DEAD_ZONE;
    case ACTION_RIGHT: return x > STICK_DEAD_ZONE;
    case ACTION_UP: return y < -STICK_DEAD_ZONE;
    case ACTION_DOWN: return y > STICK_DEAD_ZONE;
    default: return false;
  }
}

bool actionHeld(int action) {
  const Uint8* keys = SDL_GetKeyboardState(nullptr);
  for (SDL_Scancode sc : sdl.keyScancodes[action])
    if (sc != SDL_SCANCODE_UNKNOWN && keys[sc]) return true;
  SDL_GameController* pad = activeController();
  if (!pad) return false;
  for (SDL_GameControllerButton b : sdl.padButtons[action])
    if (b != SDL_CONTROLLER_BUTTON_INVALID && SDL_GameControllerGetButton(pad, b)) return true;
  return stickHeld(pad, action);
}

}  // namespace

void sdlResolveBindings() {
  for (int a = 0; a < ACTION_COUNT; a++)
    for (int i = 0; i < BINDINGS_PER_ACTION; i++) {
      const char* key = sdl.settings.keys.names[a][i];
      const char* button = sdl.settings.padButtons.names[a][i];
      sdl.keyScancodes[a][i] = key[0] ? SDL_GetScancodeFromName(key) : SDL_SCANCODE_UNKNOWN;
      sdl.padButtons[a][i] =
          button[0] ? SDL_GameControllerGetButtonFromString(button) : SDL_CONTROLLER_BUTTON_INVALID;
    }
}

bool sdlActionHeld(int virtualKey, bool* bound) {
  bool held = false;
  for (int a = 0; a < ACTION_COUNT; a++) {
    if (actionInfo(a).virtualKey != virtualKey) continue;
    *bound = true;
    held = held || actionHeld(a);
  }
  return held;
}

void sdlHandlePadEvent(const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_CONTROLLERDEVICEADDED: openPad(ev.cdevice.which); break;
    case SDL_CONTROLLERDEVICEREMOVED: closePad(ev.cdevice.which); break;
    case SDL_CONTROLLERBUTTONDOWN: sdl.activePad = ev.cbutton.which; break;
    case SDL_CONTROLLERAXISMOTION:
      if (ev.caxis.value > STICK_DEAD_ZONE || ev.caxis.value < -STICK_DEAD_ZONE)
        sdl.activePad = ev.caxis.which;
      break;
    default: break;
  }
}
