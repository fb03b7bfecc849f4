// Where the player's progress is kept: the player's own data folder
// (SDL_GetPrefPath: $XDG_DATA_HOME/puxten, ~/.local/share/puxten, %APPDATA%),
// or, in portable mode, "save/" inside the game's data folder.
#pragma once
#include <string>

// Called with the data folder as the working directory. Portable mode when
// it holds a file "portable". Moves saves found in the data folder's old
// "save/" into the player's folder once, saying so on stderr. Returns the
// save folder to hand to setSaveFolder.
std::string choosePlayerSaveFolder();
