// Inside the save files: the scrambling generator and the progress words,
// open to the tests so that known keys can be checked byte for byte.
#pragma once
#include <cstdint>

constexpr int PROGRESS_FILE_BYTES = 44;

// The generator that draws the two keys: C's rand() as the game was built
// with it (seeded state, values 0 .. 32767), owned by the saves alone so
// that nothing else can shift the sequence.
void seedSaveRandom(uint32_t seed);
int32_t nextSaveRandom();

// saveProgress with the keys given instead of drawn.
void saveProgressWithKeys(int32_t x, int32_t y, int32_t k1, int32_t k2);
