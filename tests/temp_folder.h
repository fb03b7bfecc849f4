// Temporary folders for the tests. Each is made fresh by mkdtemp, so no one
// else can have made it first; when that fails the test fails and stops,
// and a folder is only ever removed by the code that made it.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

inline std::string systemTempDir() {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::temp_directory_path(ec);
  return ec ? "/tmp" : p.string();
}

// Makes parent/tag-XXXXXX and returns its path. On failure the test fails
// and the exception ends it (a fatal failure for gtest), so no test goes on
// with a folder it did not make.
inline std::string makeFreshFolder(const char* tag, const std::string& parent) {
  std::string pattern = parent + "/" + tag + "-XXXXXX";
  if (!mkdtemp(pattern.data())) {
    std::string why = "cannot make a temporary folder " + pattern + ": " + std::strerror(errno);
    ADD_FAILURE() << why;
    throw std::runtime_error(why);
  }
  return pattern;
}

// A folder that lives as long as this object and is removed with it.
class TempFolder {
 public:
  explicit TempFolder(const char* tag = "puxten-test", const std::string& parent = systemTempDir())
      : path_(makeFreshFolder(tag, parent)) {}
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};
