// The game's ten keys by the names that input scripts and demos use.
#pragma once
#include <string>

struct GameKey {
  const char* name;
  int vk;  // virtual-key code
};
constexpr int GAME_KEY_COUNT = 10;
extern const GameKey GAME_KEYS[GAME_KEY_COUNT];

// "Left+Space" to a mask with bit i for GAME_KEYS[i]; "-" is no key.
// False when a name is not one of the game's keys.
bool parseKeyMask(const std::string& word, unsigned* mask);
// The mask back to "Left+Space", or "-".
std::string keyMaskName(unsigned mask);
