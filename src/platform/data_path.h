// Where the game's data lives: "image/", "map/", "SE/", "bgm/", "save/".
#pragma once
#include <string>

// Chooses the data folder: the working directory when it holds "image/",
// else the folder beside the executable. Then makes it the working
// directory, so every relative path of the game resolves inside it.
// Returns false when the preferred folder cannot be entered.
bool enterDataFolder(const char* preferred);
