// Small helpers shared by the tests that run the game's executables.
#pragma once
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/display.h"
#include "platform/headless/headless.h"
#include "temp_folder.h"
#include "test_paths.h"

// A temporary folder that lives until the test program ends.
inline std::string makeTempDir(const char* tag = "puxten-test") {
  static std::vector<std::unique_ptr<TempFolder>> folders;
  return folders.emplace_back(std::make_unique<TempFolder>(tag))->path();
}

inline std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Writes text to path, making its folders first.
inline void writeFile(const std::string& path, const std::string& text) {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << text;
}

inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  writeFile(path, std::string(bytes.begin(), bytes.end()));
}

// A fresh headless 640 x 480 screen drawn 1:1, so tests count logical pixels.
inline void resetHeadlessScreen() {
  headlessReset();
  display.scaleMode = 0;
  display.screenWidth = 640;
  display.screenHeight = 480;
}

inline bool fileExists(const std::string& path) { return std::filesystem::exists(path); }

// Runs a shell command; returns its exit code (-1 when it did not exit).
inline int runCommand(const std::string& command) {
  int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Runs a shell command and collects what it prints (standard output and
// errors); returns its exit code.
inline int runCapture(const std::string& command, std::string* output) {
  FILE* p = popen((command + " 2>&1").c_str(), "r");
  if (!p) return -1;
  char buf[512];
  size_t n;
  output->clear();
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) output->append(buf, n);
  int status = pclose(p);
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Runs the headless runner on the build's data with these arguments; returns
// its exit code, and what it printed in *output when given.
inline int runReplay(const std::string& args, std::string* output = nullptr) {
  std::string command = std::string(PUXTEN_REPLAY) + " --data '" + PUXTEN_DATA_DIR + "' " + args;
  return output ? runCapture(command, output) : runCommand(command + " >/dev/null 2>&1");
}

// The number after "key": in a JSON text (first occurrence), or fallback.
inline double jsonNumber(const std::string& json, const std::string& key, double fallback = -1e9) {
  size_t at = json.find("\"" + key + "\":");
  if (at == std::string::npos) return fallback;
  return std::strtod(json.c_str() + at + key.size() + 3, nullptr);
}

inline long jsonInt(const std::string& json, const std::string& key, long fallback = -999999) {
  return (long)jsonNumber(json, key, (double)fallback);
}

// The numbers of the (nested) array after "key": in a JSON line, in order.
inline std::vector<long> arrayAfter(const std::string& line, const std::string& key) {
  std::vector<long> values;
  size_t at = line.find("\"" + key + "\":[");
  if (at == std::string::npos) return values;
  const char* p = line.c_str() + at + key.size() + 3;
  for (int depth = 0; *p && (depth > 0 || *p == '[');) {
    if (*p == '[')
      depth++, p++;
    else if (*p == ']')
      depth--, p++;
    else if (*p == ',')
      p++;
    else
      values.push_back(std::strtol(p, const_cast<char**>(&p), 10));
  }
  return values;
}

// The lines of a text, without their line ends.
inline std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}
