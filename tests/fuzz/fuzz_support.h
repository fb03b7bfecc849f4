// Shared by the fuzz targets: a scratch data folder that borrows the
// build's pictures, sounds and maps, the game started once with its
// pictures, and frames played with a fixed rotation of keys.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

// Makes a scratch folder under /tmp (removed at exit), links the build's
// image/, SE/ and bgm/ into it (and map/ unless ownMaps, in which case an
// empty map/ is made), enters it and returns its path.
std::string enterFuzzFolder(bool ownMaps);

// Writes bytes to a file; false when it cannot.
bool writeBytes(const std::string& path, const uint8_t* data, size_t size);

// The game as the runner starts it: state reset, tables filled, the
// 640 x 480 view and every picture loaded. Call once.
void startFuzzGame();

// Back to a fresh game (pictures kept), as at the start of a run.
void resetFuzzGame();

// Runs n frames of the game, holding a different set of keys every two
// frames (all of them within 24 frames) so that moving, jumping, warps and
// all three bombs are tried.
void playFuzzFrames(int n);
