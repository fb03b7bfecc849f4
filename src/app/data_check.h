// Checks, before anything is shown, that the data folder (the working
// directory) holds every file the game needs to start.
#pragma once
#include <string>

// True when every picture reads and decodes and every sound, tune and the
// first stage is there and not empty. Otherwise names the first file that
// failed and why.
bool checkGameData(std::string* failedFile, std::string* reason);
