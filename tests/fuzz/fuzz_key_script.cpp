// The runner's input scripts: parsed; a script that parses gives the keys
// of its first pictures and its length.
#include <string>
#include <vector>

#include "runner/replay.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<InputStep> steps;
  std::string error;
  if (!parseInputScript(std::string((const char*)data, size), &steps, &error)) {
    if (error.empty()) __builtin_trap();  // a refusal always says why
    return 0;
  }
  int length = scriptLength(steps);
  for (int n : {1, 2, length, length + 1}) keysForPicture(steps, n);
  return 0;
}
