#include "platform/data_path.h"

#include <sys/stat.h>
#include <unistd.h>

#include "platform/os.h"
#include "puxten_version.h"

bool holdsGameData(const std::string& dir) {
  struct stat st;
  return stat((dir + "/" PUXTEN_DATA_MARKER).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> dataFolderCandidates() {
  std::string beside = osExecutableDataDir();
  std::string exeDir = beside.substr(0, beside.find_last_of('/') + 1);
  if (exeDir.empty()) exeDir = "./";
  char cwd[4096];
  std::string here = getcwd(cwd, sizeof cwd) ? cwd : ".";
  return {here, beside, exeDir + "../share/" PUXTEN_APP_FOLDER};
}

bool enterDataFolder(const char* preferred) {
  if (preferred && *preferred) return chdir(preferred) == 0;
  for (const std::string& dir : dataFolderCandidates())
    if (holdsGameData(dir)) return chdir(dir.c_str()) == 0;
  return false;
}
