// The game's three tunes, composed in code, rendered as seamless loops
// and encoded to MP3 with the lame encoder.
#pragma once
#include <string>

// Writes title.mp3, main.mp3 and boss.mp3 into bgmDir.
bool generateMusic(const std::string& bgmDir, const std::string& lame);
