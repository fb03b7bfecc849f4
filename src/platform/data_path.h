// Where the game's data lives: "image/", "map/", "SE/", "bgm/", "save/".
#pragma once
#include <string>
#include <vector>

// The folders the game looks in for its data, in order: the working
// directory, the "data/" folder beside the executable (a build), and
// "../share/puxten" from the executable's folder (an installed game, so a
// relocated prefix works too).
std::vector<std::string> dataFolderCandidates();

// Chooses the data folder: the preferred one when given, else the first
// candidate that holds "image/". Then makes it the working directory, so
// every relative path of the game resolves inside it. Returns false when
// the preferred folder cannot be entered.
bool enterDataFolder(const char* preferred);
