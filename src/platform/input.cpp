// Keys, mouse and joysticks, polled from the back end.
#include "platform/input.h"

#include <cstring>

#include "platform/display.h"
#include "platform/os.h"

InputState input;

void resetInputState() { std::memset(input.joystickIds, 0xFF, sizeof input.joystickIds); }

int isKeyDown(int vk) { return osKeyHeld(vk) ? 1 : 0; }

int isAnyKeyDown() {
  for (int vk = 'A'; vk <= 'Z'; vk++)
    if (isKeyDown(vk)) return 1;
  for (int vk = '0'; vk <= '9'; vk++)
    if (isKeyDown(vk)) return 1;
  const int others[] = {VK_SPACE, VK_UP, VK_DOWN, VK_LEFT, VK_RIGHT, VK_RETURN};
  for (int vk : others)
    if (isKeyDown(vk)) return 1;
  return 0;
}

// One look at the wait set; later checks overwrite earlier findings.
static int findWaitKey() {
  int found = 0;
  for (int vk = 'A'; vk <= 'Z'; vk++)
    if (isKeyDown(vk)) {
      found = vk + 32;  // lower-case character code
      break;
    }
  for (int vk = '0'; vk <= '9'; vk++)
    if (isKeyDown(vk)) {
      found = vk;
      break;
    }
  // Arrows answer with the classic PC scan codes.
  const int keys[][2] = {{VK_SPACE, 32}, {VK_UP, 72},     {VK_DOWN, 80},  {VK_LEFT, 75},
                         {VK_RIGHT, 77}, {VK_RETURN, 13}, {VK_ESCAPE, 27}};
  for (auto& k : keys)
    if (isKeyDown(k[0])) found = k[1];
  return found;
}

int waitKey() {
  for (;;) {
    int key = findWaitKey();
    if (key) return key;
    OsEvents ev;
    osPollEvents(&ev);  // lets the back end read the keyboard
  }
}

int waitKeyPaced(int ms) {
  osSleepMs(ms / 2);
  int key = waitKey();
  osSleepMs(ms / 2);
  return key;
}

void getMouseButtons(int* buttons) { *buttons = osMouseButtons() & 3; }

void getMousePos(int* x, int* y) {
  osMousePosition(x, y);
  if (display.scaleMode == 1) {
    *x /= 2;
    *y /= 2;
  }
}

void setMousePos(int x, int y) {
  if (display.scaleMode == 1) {
    x *= 2;
    y *= 2;
  }
  osWarpMouse(x, y);
}

void setCursorVisible(int mode) {
  if (mode == 0 || mode == 1) osSetCursorVisible(mode);
}

int scanJoysticks() {
  std::memset(input.joystickIds, 0xFF, sizeof input.joystickIds);
  int count = 0;
  for (int id = 0; id < 16; id++) {
    uint32_t x, y, b;
    if (osJoystickQuery(id, &x, &y, &b)) input.joystickIds[count++] = (uint16_t)id;
  }
  return count;
}

static int queryJoystick(int n, uint32_t* x, uint32_t* y, uint32_t* buttons) {
  if (n < 0 || n >= 16 || input.joystickIds[n] == 0xFFFF) return 0;
  return osJoystickQuery(input.joystickIds[n], x, y, buttons);
}

// Whether stick n leans to the low or the high end of one of its axes.
static int joyLeans(int n, bool vertical, bool high) {
  uint32_t x, y, b;
  if (!queryJoystick(n, &x, &y, &b)) return 0;
  uint32_t v = vertical ? y : x;
  return high ? v >= 49152 : v < 16383;
}

int joyUp(int n) { return joyLeans(n, true, false); }
int joyDown(int n) { return joyLeans(n, true, true); }
int joyLeft(int n) { return joyLeans(n, false, false); }
int joyRight(int n) { return joyLeans(n, false, true); }
int joyButton(int n, int b) {
  uint32_t x, y, buttons;
  if (!queryJoystick(n, &x, &y, &buttons)) return 0;
  return (buttons >> ((unsigned)(b - 1) % 32)) & 1;
}
