// Where the game's data lives: "image/", "map/", "SE/", "bgm/", "save/".
#pragma once
#include <string>
#include <vector>

// The file the build writes into a data folder once it holds the game's
// whole data (tools/CMakeLists.txt makes it).
#define PUXTEN_DATA_MARKER "puxten-data.txt"

// The folders the game looks in for its data, in order: the working
// directory, the "data/" folder beside the executable (a build), and
// "../share/puxten" from the executable's folder (an installed game, so a
// relocated prefix works too).
std::vector<std::string> dataFolderCandidates();

// True when dir holds the marker of the game's whole data: a folder that
// merely holds an "image/" folder of something else is not taken.
bool holdsGameData(const std::string& dir);

// Chooses the data folder and makes it the working directory, so every
// relative path of the game resolves inside it: the preferred one when
// given, else the first candidate holding the game's whole data. Returns
// false, the working directory unchanged, when the preferred folder cannot
// be entered or no candidate holds the data.
bool enterDataFolder(const char* preferred);
