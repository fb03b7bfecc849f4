// Where the build put the data and programs the tests use. Defined in a
// file the build generates, so that no test's compile command names this
// checkout's folders and a compiler cache serves every checkout.
#pragma once

extern const char* const PUXTEN_DATA_DIR;
extern const char* const PUXTEN_SOURCE_DIR;
extern const char* const PUXTEN_BUILD_DIR;
extern const char* const PUXTEN_REPLAY;
extern const char* const PUXTEN_GAME;
extern const char* const PUXTEN_STAGEC;
extern const char* const PUXTEN_SAVE_STEPS;
