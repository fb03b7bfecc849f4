// The game above the platform, as a back end's main() starts it (the way
// SDL's main calls SDL_main); the scene code defines these.
#pragma once
#include <cstdint>
#include <span>
#include <string>

// Exit statuses: a quit the player chose is a success; a game that cannot
// go on (a picture it cannot read) is a failure.
constexpr int EXIT_CHOSEN_QUIT = 0;
constexpr int EXIT_GAME_FAILURE = 1;

int runStartup();  // the whole program: start-up, frame loop, shutdown

// Where the progress files go (the saves code defines it; default "save").
void setSaveFolder(const char* folder);
const char* saveFolderPath();
// The names of the files in the save folder that hold a run, the progress
// file first; and their removal (false, naming the file and why, when one
// stays).
std::span<const char* const> savedRunFiles();
bool clearSavedRun(std::string* problem);

// Checks, before anything is shown, that the data folder (the working
// directory) holds every file the game needs to start: true when every
// picture's header reads and every sound, tune and the first stage is
// there and not empty. Otherwise names the first file that failed and why.
bool checkGameData(std::string* failedFile, std::string* reason);
// The first of the game's pictures whose header is missing or damaged
// (with the reason in *error), or nullptr.
const char* firstDamagedPicture(const char** error);

// A short check of the game's state after a picture: demos carry it so
// that a replay which drifts from the recorded game is caught at once.
uint32_t stateCheck();
