// Keyboard, mouse and joystick, polled.
#pragma once
#include <cstdint>

constexpr int VK_LBUTTON = 1;
constexpr int VK_RBUTTON = 2;
constexpr int VK_RETURN = 13;
constexpr int VK_ESCAPE = 27;
constexpr int VK_SPACE = 32;
constexpr int VK_LEFT = 37;
constexpr int VK_UP = 38;
constexpr int VK_RIGHT = 39;
constexpr int VK_DOWN = 40;
constexpr int VK_E = 69;
constexpr int VK_Q = 81;
constexpr int VK_W = 87;

struct InputState {
  uint16_t joystickIds[16];
};
extern InputState input;

void resetInputState();
int isKeyDown(int vk);
int isAnyKeyDown();
int waitKey();
int waitKeyPaced(int ms);
void getMouseButtons(int* buttons);
void getMousePos(int* x, int* y);
void setMousePos(int x, int y);
void setCursorVisible(int mode);
int scanJoysticks();
int joyUp(int n);
int joyDown(int n);
int joyLeft(int n);
int joyRight(int n);
int joyButton(int n, int b);
