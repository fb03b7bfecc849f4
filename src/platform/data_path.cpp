#include "platform/data_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/os.h"

static bool holdsImages(const std::string& dir) {
  struct stat st;
  return stat((dir + "/image").c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool enterDataFolder(const char* preferred) {
  if (preferred && *preferred) return chdir(preferred) == 0;
  if (holdsImages(".")) return true;
  std::string beside = osExecutableDataDir();
  // Without pictures anywhere the game stops at its first picture, saying so.
  if (holdsImages(beside)) return chdir(beside.c_str()) == 0;
  return true;
}
