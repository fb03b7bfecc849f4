// Demos: a game recorded picture by picture, the keys held and the clock
// the game saw, so that it can be played again exactly.
//
//   PUXTEN-DEMO 1
//   game 0.2.0
//   start title              (or: start stage 13)
//   answer no                (the start-up question: yes is full screen)
//   save save1.dat 0a1b...   (each save file the run started from, in hex)
//   0 - c=1f2e3d4c           (one line per picture: nowMs, keys, state check)
//   40 Right+Space c=...
#pragma once
#include <cstdint>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

constexpr int DEMO_FORMAT = 1;

struct DemoSaveFile {
  std::string name;  // a plain file name inside the save folder
  std::string bytes;
};

struct DemoPicture {
  int32_t nowMs = 0;
  unsigned keys = 0;  // bit i: GAME_KEYS[i] held
  int hasCheck = 0;
  uint32_t check = 0;  // the game's state check after this picture
};

struct Demo {
  std::string gameVersion;
  int startStage = -1;  // -1: the title
  int answerYes = 0;
  std::vector<DemoSaveFile> saves;
  std::vector<DemoPicture> pictures;
};

// Walks the lines of a key script or demo: what follows '#' is dropped and
// blank lines are skipped; `line` gets each other line's number, its first
// word and a stream of the words after it, and stops the walk by returning
// false. Returns how many lines the text has, or -1 when stopped.
int forEachWordLine(const std::string& text,
                    const std::function<bool(int lineNo, const std::string& first,
                                             std::istringstream& words)>& line);

// True when the text starts as a demo does (else it is a key script).
bool looksLikeDemo(const std::string& text);
// On a bad line returns false with a message naming the line.
bool parseDemo(const std::string& text, Demo* demo, std::string* error);
std::string demoHeaderText(const Demo& demo);
std::string demoPictureText(const DemoPicture& picture);
// A save file's name as a demo may carry it: no folders, nothing hidden.
bool isPlainFileName(const std::string& name);
