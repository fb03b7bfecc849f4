#include "platform/key_names.h"

#include "platform/input.h"

const GameKey GAME_KEYS[GAME_KEY_COUNT] = {
    {"Left", VK_LEFT},   {"Right", VK_RIGHT},  {"Up", VK_UP},      {"Down", VK_DOWN},
    {"Space", VK_SPACE}, {"Enter", VK_RETURN}, {"Esc", VK_ESCAPE}, {"Q", VK_Q},
    {"W", VK_W},         {"E", VK_E}};

bool parseKeyMask(const std::string& word, unsigned* mask) {
  *mask = 0;
  if (word == "-") return true;
  size_t start = 0;
  for (;;) {
    size_t plus = word.find('+', start);
    std::string name = word.substr(start, plus == std::string::npos ? plus : plus - start);
    int found = -1;
    for (int i = 0; i < GAME_KEY_COUNT; i++)
      if (name == GAME_KEYS[i].name) found = i;
    if (found < 0) return false;
    *mask |= 1u << found;
    if (plus == std::string::npos) return true;
    start = plus + 1;
  }
}

std::string keyMaskName(unsigned mask) {
  std::string out;
  for (int i = 0; i < GAME_KEY_COUNT; i++) {
    if (!(mask & (1u << i))) continue;
    if (!out.empty()) out += '+';
    out += GAME_KEYS[i].name;
  }
  return out.empty() ? "-" : out;
}
