// The command line of the stage compiler.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

#include "stage_source.h"

static void usage() {
  std::fprintf(stderr,
               "usage: puxten-stagec [--check] [--out DIR] FILE.stage...\n"
               "  --out DIR  write DIR/map<N>.map for every stage\n"
               "  --check    check the sources and write nothing\n");
}

static bool makeFolders(const std::string& path) {
  for (size_t i = 1; i <= path.size(); i++) {
    if (i < path.size() && path[i] != '/') continue;
    if (::mkdir(path.substr(0, i).c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

static bool readText(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  out = s.str();
  return true;
}

static bool writeText(const std::string& path, const std::string& text) {
  std::string temp = path + ".tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  ok = std::fclose(f) == 0 && ok;
  if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

int runStageCompiler(int argc, char** argv) {
  bool check = false;
  std::string outDir;
  std::vector<std::string> files;
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--check") {
      check = true;
    } else if (a == "--out" && i + 1 < argc) {
      outDir = argv[++i];
    } else if (a == "--help" || a == "-h") {
      usage();
      return 0;
    } else if (a.rfind("--", 0) == 0) {
      std::fprintf(stderr, "puxten-stagec: unknown option '%s'\n", a.c_str());
      usage();
      return 2;
    } else {
      files.push_back(a);
    }
  }
  if (!check && outDir.empty()) {
    std::fprintf(stderr, "puxten-stagec: give --out DIR or --check\n");
    usage();
    return 2;
  }

  std::vector<StageDiagnostic> errors, warnings;
  std::vector<StageSource> sources;
  for (const std::string& f : files) {
    std::string text;
    if (!readText(f, text)) {
      errors.push_back({f, 0, 0, std::string("cannot read the file: ") + std::strerror(errno)});
      continue;
    }
    StageSource s;
    parseStageSource(f, text, s, errors);
    sources.push_back(std::move(s));
  }

  // Stage numbers must be unique; doors may lead to any of them.
  std::set<int> known;
  std::map<int, const StageSource*> owner;
  for (const StageSource& s : sources) {
    if (s.stageNumber < 0) continue;
    if (owner.count(s.stageNumber)) {
      errors.push_back({s.file, s.stageLine, 0,
                        "stage " + std::to_string(s.stageNumber) + " is also defined in " +
                            owner[s.stageNumber]->file});
      continue;
    }
    owner[s.stageNumber] = &s;
    known.insert(s.stageNumber);
  }
  for (StageSource& s : sources) {
    if (s.gridLine) compileStage(s, known, errors, warnings);
  }

  for (const StageDiagnostic& d : warnings)
    std::fprintf(stderr, "%s (warning)\n", formatDiagnostic(d).c_str());
  for (const StageDiagnostic& d : errors) std::fprintf(stderr, "%s\n", formatDiagnostic(d).c_str());
  if (!errors.empty()) {
    std::fprintf(stderr, "puxten-stagec: %zu error%s; nothing written\n", errors.size(),
                 errors.size() == 1 ? "" : "s");
    return 1;
  }
  if (check) return 0;
  if (!makeFolders(outDir)) {
    std::fprintf(stderr, "puxten-stagec: cannot create %s\n", outDir.c_str());
    return 1;
  }
  for (const StageSource& s : sources) {
    std::string path = outDir + "/map" + std::to_string(s.stageNumber) + ".map";
    if (!writeText(path, mapFileText(s))) {
      std::fprintf(stderr, "puxten-stagec: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}
