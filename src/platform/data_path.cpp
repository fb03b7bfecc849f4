#include "platform/data_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/os.h"

static bool holdsImages(const std::string& dir) {
  struct stat st;
  return stat((dir + "/image").c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void enterDataFolder(const char* preferred) {
  if (preferred && *preferred) {
    if (chdir(preferred) != 0) return;
    return;
  }
  if (holdsImages(".")) return;
  std::string beside = osExecutableDataDir();
  if (holdsImages(beside)) {
    if (chdir(beside.c_str()) != 0) return;
  }
}
