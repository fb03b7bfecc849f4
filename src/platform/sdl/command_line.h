// The game's command line: one table of options (command_line.cpp) that
// every player-facing option is added to; --help lists the table.
#pragma once
#include <string>

// What the command line asked for. Add a field here and a row to the table.
struct CommandLine {
  int startupAnswer = 0;   // IDYES (full screen) or IDNO (window) given in advance; 0: ask
  std::string dataDir;     // --data DIR; empty: look for the data
  std::string recordDemo;  // --record FILE
  std::string playDemo;    // --play-demo FILE
  bool newGame = false;    // --new-game: offer to clear the saved run first
};

// Outcome of reading the command line: keep going, or end at once with
// exitCode (after --help, --version or a refused option).
struct CommandLineResult {
  bool run = true;
  int exitCode = 0;
};

// Reads argv into *out. Prints --help / --version on stdout and refusals
// (naming the option) on stderr; needs no display.
CommandLineResult parseCommandLine(int argc, char** argv, CommandLine* out);

// Exit status of a command line that was refused.
constexpr int EXIT_USAGE = 2;
