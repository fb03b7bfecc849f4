// The replay runner's pieces: scripted keys, and the state and trace it
// writes as JSON.
#pragma once
#include <cstdio>
#include <map>
#include <string>
#include <vector>

// One line of an input script: hold these keys for COUNT pictures.
struct InputStep {
  int count;
  std::vector<int> keys;  // virtual-key codes
};

// Parses an input script. On a bad line returns false and sets error to a
// message naming the line.
bool parseInputScript(const std::string& text, std::vector<InputStep>* steps, std::string* error);
// The keys of picture number n (from 1); empty after the script's end.
const std::vector<int>* keysForPicture(const std::vector<InputStep>& steps, int n);
int scriptLength(const std::vector<InputStep>& steps);

// What the trace remembers between pictures: the file behind each audio
// handle, from the sound log's "open" lines.
struct TraceState {
  std::map<int, std::string> audioFiles;
};
extern TraceState traceState;

// One trace line; audioLog is the sound log of this picture, withGrid adds
// the grid's cells (--trace-grid).
std::string traceLine(int picture, const std::vector<std::string>& audioLog, bool withGrid);
std::string stateJson();
