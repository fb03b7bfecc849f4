// Whole runs of the headless runner, measured from outside (CPU time and
// peak memory of the process): a play frame of every recorded stage
// solution, start-up to the first picture, and a 256 x 256 stage holding
// 3937 moving platforms. Costs in screen memcpys measured in this run.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "baseline.h"

namespace {

struct RunCost {
  double cpuNs = 0;
  double peakMb = 0;
  bool ok = false;
};

// Runs the runner with these arguments, its output thrown away.
RunCost runRunner(const std::vector<std::string>& args) {
  std::vector<char*> argv;
  std::string exe = PUXTEN_REPLAY;
  argv.push_back(exe.data());
  std::vector<std::string> copy = args;
  for (std::string& a : copy) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid == 0) {
    int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    dup2(null, 2);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  RunCost cost;
  int status = 0;
  rusage ru{};
  if (pid < 0 || wait4(pid, &status, 0, &ru) != pid) return cost;
  cost.cpuNs = (ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) * 1e9 +
               (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e3;
  cost.peakMb = ru.ru_maxrss / 1024.0;
  cost.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return cost;
}

// The number of pictures an input script holds.
int scriptPictures(const std::string& path) {
  std::ifstream in(path);
  int total = 0;
  for (std::string line; std::getline(in, line);) total += std::atoi(line.c_str());
  return total;
}

// The cost of one frame of a run: the whole run less its first picture.
void frameCost(benchmark::State& state, std::vector<std::string> args, int frames) {
  RunCost whole, first;
  for (auto _ : state) {
    whole = runRunner(args);
    args.push_back("--frames");
    args.push_back("1");
    first = runRunner(args);
    args.resize(args.size() - 2);
  }
  if (!whole.ok || !first.ok || frames < 2) {
    state.SkipWithError("the runner failed");
    return;
  }
  state.counters["frame_memcpys"] = (whole.cpuNs - first.cpuNs) / (frames - 1) / screenMemcpyNs();
  state.counters["peak_MB"] = whole.peakMb;
}

void registerStageFrames() {
  std::string dir = std::string(PUXTEN_SOURCE_DIR) + "/data/replays/";
  std::vector<std::string> names;
  if (DIR* d = opendir(dir.c_str())) {
    while (dirent* e = readdir(d)) {
      std::string n = e->d_name;
      if (n.rfind("stage", 0) == 0 && n.size() > 10 && n.substr(n.size() - 5) == ".keys")
        names.push_back(n.substr(0, n.size() - 5));
    }
    closedir(d);
  }
  std::sort(names.begin(), names.end());
  for (const std::string& n : names) {
    std::vector<std::string> args = {"--data",    PUXTEN_DATA_DIR, "--stage",
                                     n.substr(5), "--input",       dir + n + ".keys"};
    int frames = scriptPictures(dir + n + ".keys");
    benchmark::RegisterBenchmark(
        ("BM_PlayFrame/" + n).c_str(),
        [args, frames](benchmark::State& s) { frameCost(s, args, frames); })
        ->Iterations(1)
        ->Unit(benchmark::kMillisecond);
  }
}
const int registered = (registerStageFrames(), 0);

// Start-up to the first picture (the title), the median of five runs.
void BM_StartupToFirstPicture(benchmark::State& state) {
  std::vector<double> cpu;
  RunCost c;
  for (auto _ : state) {
    for (int i = 0; i < 5; i++) {
      c = runRunner({"--data", PUXTEN_DATA_DIR, "--frames", "1"});
      cpu.push_back(c.cpuNs);
    }
  }
  std::sort(cpu.begin(), cpu.end());
  state.counters["memcpys"] = cpu[cpu.size() / 2] / screenMemcpyNs();
  state.counters["peak_MB"] = c.peakMb;
}
BENCHMARK(BM_StartupToFirstPicture)->Iterations(1)->Unit(benchmark::kMillisecond);

// A data folder whose stage 99 is 256 x 256 cells with 3937 platforms
// (each moving between its cell and the one two rows up), the rest linked
// to the build's data.
constexpr int BIG = 256, BIG_PLATFORMS = 3937, PLATFORM_KIND = 23, WALL_KIND = 1;

std::string makeBigStageData() {
  namespace fs = std::filesystem;
  char pattern[] = "/tmp/puxten-bench-XXXXXX";
  if (!mkdtemp(pattern)) return "";
  fs::path root = pattern, data = PUXTEN_DATA_DIR;
  for (const char* sub : {"image", "SE", "bgm"})
    fs::create_directory_symlink(data / sub, root / sub);
  fs::create_directory(root / "map");
  for (const auto& e : fs::directory_iterator(data / "map"))
    fs::create_symlink(e.path(), root / "map" / e.path().filename());
  std::ostringstream map;
  map << BIG << "," << BIG << ",0,0,50," << 25 * (BIG - 4) << ",9,0\n";
  int platforms = 0;
  for (int r = 0; r < BIG; r++) {
    for (int c = 0; c < BIG; c++) {
      bool edge = r == 0 || c == 0 || r >= BIG - 2 || c == BIG - 1;
      bool platform =
          !edge && r >= 4 && r % 4 == 0 && c % 4 == 2 && r < BIG - 4 && platforms < BIG_PLATFORMS;
      if (platform) {
        platforms++;
        map << PLATFORM_KIND << "," << r - 2 << "," << c << ",";
      } else {
        map << (edge ? WALL_KIND : 0) << ",0,0,";
      }
    }
    map << "\n";
  }
  std::ofstream(root / "map" / "map99.map") << map.str();
  if (platforms == BIG_PLATFORMS) return root.string();
  std::error_code ignored;
  fs::remove_all(root, ignored);
  return "";
}

void BM_BigStageFrame(benchmark::State& state) {
  std::string data = makeBigStageData();
  if (data.empty()) {
    state.SkipWithError("cannot make the big stage");
    return;
  }
  constexpr int FRAMES = 150;
  frameCost(state, {"--data", data, "--stage", "99", "--frames", std::to_string(FRAMES)}, FRAMES);
  std::error_code ignored;
  std::filesystem::remove_all(data, ignored);
}
BENCHMARK(BM_BigStageFrame)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
