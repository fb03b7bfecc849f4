#include "platform/sdl/command_line.h"

#include <cstdio>
#include <cstring>

#include "platform/os.h"
#include "puxten_version.h"

namespace {

constexpr int ANSWER_YES = IDYES;  // full screen
constexpr int ANSWER_NO = IDNO;    // window

enum OptionAction { ACT_RUN, ACT_HELP, ACT_VERSION };

// One option: its name, the name of its value (null: takes none), the line
// --help shows, and what it does.
struct OptionRow {
  const char* name;
  const char* valueName;
  const char* help;
  OptionAction (*apply)(CommandLine* out, const char* value);
};

OptionAction showHelp(CommandLine*, const char*) { return ACT_HELP; }
OptionAction showVersion(CommandLine*, const char*) { return ACT_VERSION; }
OptionAction startInWindow(CommandLine* out, const char*) {
  out->startupAnswer = ANSWER_NO;
  return ACT_RUN;
}
OptionAction startFullScreen(CommandLine* out, const char*) {
  out->startupAnswer = ANSWER_YES;
  return ACT_RUN;
}
OptionAction useDataFolder(CommandLine* out, const char* value) {
  out->dataDir = value;
  return ACT_RUN;
}

OptionAction recordDemo(CommandLine* out, const char* value) {
  out->recordDemo = value;
  return ACT_RUN;
}
OptionAction playDemo(CommandLine* out, const char* value) {
  out->playDemo = value;
  return ACT_RUN;
}
OptionAction offerNewGame(CommandLine* out, const char*) {
  out->newGame = true;
  return ACT_RUN;
}

const OptionRow OPTIONS[] = {
    {"--window", nullptr, "start in a 640 x 480 window without asking", startInWindow},
    {"--fullscreen", nullptr, "start full screen without asking", startFullScreen},
    {"--new-game", nullptr, "ask, then clear the saved run and start afresh", offerNewGame},
    {"--data", "DIR", "read the game's data (image/, map/, SE/, bgm/) from DIR", useDataFolder},
    {"--record", "FILE", "record everything played into the demo FILE", recordDemo},
    {"--play-demo", "FILE", "show the demo FILE at its recorded pace", playDemo},
    {"--version", nullptr, "print the version and exit", showVersion},
    {"--help", nullptr, "print this help and exit", showHelp},
};

void printHelp() {
  std::printf(
      "usage: puxten [OPTION]...\n"
      "Plays PUXTEN, a 2D action-puzzle platformer.\n\n"
      "Options:\n");
  for (const OptionRow& row : OPTIONS) {
    char left[64];
    std::snprintf(left, sizeof left, "%s%s%s", row.name, row.valueName ? " " : "",
                  row.valueName ? row.valueName : "");
    std::printf("  %-18s %s\n", left, row.help);
  }
  std::printf(
      "\nWithout --data the game looks for its data in the working directory,\n"
      "beside the executable and where it is installed. See puxten(6).\n");
}

const OptionRow* findOption(const char* name) {
  for (const OptionRow& row : OPTIONS)
    if (!std::strcmp(row.name, name)) return &row;
  return nullptr;
}

CommandLineResult refuse(const char* what, const char* option) {
  std::fprintf(stderr, "puxten: %s %s (puxten --help lists the options)\n", what, option);
  return {false, EXIT_USAGE};
}

}  // namespace

CommandLineResult parseCommandLine(int argc, char** argv, CommandLine* out) {
  for (int i = 1; i < argc; i++) {
    const OptionRow* row = findOption(argv[i]);
    if (!row) return refuse("unknown option", argv[i]);
    const char* value = nullptr;
    if (row->valueName) {
      if (i + 1 >= argc) return refuse("missing value after", argv[i]);
      value = argv[++i];
    }
    OptionAction action = row->apply(out, value);
    if (action == ACT_HELP) printHelp();
    if (action == ACT_VERSION) std::printf("puxten %s\n", PUXTEN_VERSION);
    if (action != ACT_RUN) return {false, 0};
  }
  return {};
}
