// The stage compiler: reads stage sources (data/stages/*.stage), checks
// them and turns each into the comma-separated map file the game loads.
#pragma once
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

struct StageDiagnostic {
  std::string file;
  int line = 0;    // 1-based; 0 when the whole file is meant
  int column = 0;  // 1-based grid column, 0 when none
  std::string message;
};
std::string formatDiagnostic(const StageDiagnostic& d);

enum class TargetType { NONE, LABEL, CELL, STAGE };

// One label of the definitions: a grid character and what it stands for.
struct LabelDefinition {
  char label = 0;
  std::string kindName;
  int kind = 0;
  TargetType target = TargetType::NONE;
  char targetLabel = 0;
  int targetRow = 0, targetCol = 0;  // TargetType::CELL
  int targetStage = 0;               // TargetType::STAGE
  int line = 0;
};

struct StageSource {
  std::string file;
  int stageNumber = -1;
  int stageLine = 0;
  bool hasPar = false;
  int parMinutes = 0, parSeconds = 0;
  bool hasStart = false;
  int startX = 0, startY = 0, startLine = 0;
  std::vector<std::string> gridRows;
  std::vector<int> gridLines;  // file line of each grid row
  int gridLine = 0;
  std::map<char, LabelDefinition> labels;

  // Filled by compileStage.
  int cols = 0, rows = 0;
  int32_t playerStartX = 0, playerStartY = 0;
  std::vector<int32_t> cells;  // kind, linkRow, linkCol per cell, row-major
};

// Reads the text of one source. Returns false when it holds errors.
bool parseStageSource(const std::string& file, const std::string& text, StageSource& out,
                      std::vector<StageDiagnostic>& errors);

// Checks a parsed source against the stages given with it and builds its
// cells. Warnings (harmless oddities) go to `warnings`.
bool compileStage(StageSource& source, const std::set<int>& knownStages,
                  std::vector<StageDiagnostic>& errors, std::vector<StageDiagnostic>& warnings);

// The map file text: the header line, then one line of records per row.
std::string mapFileText(const StageSource& source);

// The command line: puxten-stagec [--check] [--out DIR] FILE...
int runStageCompiler(int argc, char** argv);
