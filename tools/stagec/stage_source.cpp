// Parsing and checking of stage sources; the format is described in
// data/stages/README.md.
#include "stage_source.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "stage/stage_state.h"

namespace {

// What a target after "->" must be for each kind.
enum class Needs { NOTHING, GATE, CELL, PLATFORM_END, STAGE };

struct KindName {
  const char* name;
  int kind;
  Needs needs;
};

const KindName KIND_NAMES[] = {
    {"empty", EMPTY, Needs::NOTHING},
    {"mark", EMPTY, Needs::NOTHING},
    {"wall", WALL, Needs::NOTHING},
    {"weak", BLOCK_WEAK, Needs::NOTHING},
    {"medium", BLOCK_MEDIUM, Needs::NOTHING},
    {"strong", BLOCK_STRONG, Needs::NOTHING},
    {"weight", WEIGHT_SWITCH, Needs::GATE},
    {"switch_a", SWITCH_A, Needs::GATE},
    {"switch_b", SWITCH_B, Needs::GATE},
    {"switch_c", SWITCH_C, Needs::GATE},
    {"timed", TIMED_SWITCH, Needs::GATE},
    {"hazard_a", HAZARD_A, Needs::NOTHING},
    {"hazard_b", HAZARD_B, Needs::NOTHING},
    {"hazard_c", HAZARD_C, Needs::NOTHING},
    {"hazard_d", HAZARD_D, Needs::NOTHING},
    {"gate_v", GATE_VERTICAL, Needs::NOTHING},
    {"gate_h", GATE_HORIZONTAL, Needs::NOTHING},
    {"warp", WARP, Needs::CELL},
    {"platform", PLATFORM_ORIGIN, Needs::PLATFORM_END},
    {"crusher", CRUSHER_SWITCH, Needs::NOTHING},
    {"goal", GOAL_CHEST, Needs::NOTHING},
    {"chest_rolling", CHEST_ROLLING_BOMB, Needs::NOTHING},
    {"chest_barrel", CHEST_BARREL_BOMB, Needs::NOTHING},
    {"chest_thrown", CHEST_THROWN_BOMB, Needs::NOTHING},
    {"door", STAGE_DOOR, Needs::STAGE},
};

const KindName* findKind(const std::string& name) {
  for (const KindName& k : KIND_NAMES)
    if (name == k.name) return &k;
  return nullptr;
}

Needs needsOf(int kind) {
  for (const KindName& k : KIND_NAMES)
    if (k.kind == kind) return k.needs;
  return Needs::NOTHING;
}

// Kinds the game gives no behaviour: solid and invisible ("tile N").
bool isPlainKind(int k) {
  return (k >= 6 && k <= 9) || k == 11 || k == 13 || k == 15 || k == 27 || k == 28 ||
         (k >= 33 && k <= 99);
}

// The fixed one-character legend. 'S', ':' and '=' compile to empty cells.
bool fixedKind(char c, int* kind) {
  switch (c) {
    case '.':
    case ' ':
    case 'S':
    case ':':
    case '=': *kind = EMPTY; return true;
    case '#': *kind = WALL; return true;
    case '1': *kind = BLOCK_WEAK; return true;
    case '2': *kind = BLOCK_MEDIUM; return true;
    case '3': *kind = BLOCK_STRONG; return true;
    case '^': *kind = HAZARD_A; return true;
    case '*': *kind = HAZARD_B; return true;
    case '%': *kind = HAZARD_C; return true;
    case '&': *kind = HAZARD_D; return true;
    case '|': *kind = GATE_VERTICAL; return true;
    case '-': *kind = GATE_HORIZONTAL; return true;
    case '@': *kind = CRUSHER_SWITCH; return true;
    case '$': *kind = GOAL_CHEST; return true;
    case 'R': *kind = CHEST_ROLLING_BOMB; return true;
    case 'B': *kind = CHEST_BARREL_BOMB; return true;
    case 'T': *kind = CHEST_THROWN_BOMB; return true;
    default: return false;
  }
}

bool isLabelChar(char c) {
  int k;
  return std::isalnum((unsigned char)c) && !fixedKind(c, &k);
}

std::string trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace((unsigned char)s[a])) a++;
  while (b > a && std::isspace((unsigned char)s[b - 1])) b--;
  return s.substr(a, b - a);
}

// A whole decimal number, optionally signed, in a sane range.
bool parseNumber(const std::string& text, int* out) {
  std::string s = trim(text);
  if (s.empty()) return false;
  size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  if (s.size() > i + 9) return false;  // keeps every value inside 32 bits
  if (i == s.size()) return false;
  for (size_t j = i; j < s.size(); j++)
    if (!std::isdigit((unsigned char)s[j])) return false;
  *out = std::atoi(s.c_str());
  return true;
}

// "a,b" (or "(a,b)") into two numbers.
bool parsePair(const std::string& text, int* a, int* b) {
  std::string s = trim(text);
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') s = s.substr(1, s.size() - 2);
  size_t comma = s.find(',');
  if (comma == std::string::npos) return false;
  return parseNumber(s.substr(0, comma), a) && parseNumber(s.substr(comma + 1), b);
}

std::string quoted(char c) { return std::string("'") + c + "'"; }
std::string cellName(int r, int c) {
  return "(" + std::to_string(r) + "," + std::to_string(c) + ")";
}

struct Reporter {
  const std::string& file;
  std::vector<StageDiagnostic>& list;
  void operator()(int line, int column, const std::string& message) {
    list.push_back({file, line, column, message});
  }
};

}  // namespace

std::string formatDiagnostic(const StageDiagnostic& d) {
  std::string s = d.file;
  if (d.line > 0) s += ":" + std::to_string(d.line);
  if (d.line > 0 && d.column > 0) s += ":" + std::to_string(d.column);
  return s + ": " + d.message;
}

static void parseDefinition(const std::string& line, int lineNo, StageSource& out,
                            Reporter& error) {
  char label = line[0];
  std::string rest = trim(line.substr(line.find('=') + 1));
  if (!isLabelChar(label)) {
    int k;
    if (fixedKind(label, &k))
      error(lineNo, 0, quoted(label) + " is a fixed tile and cannot be given another meaning");
    else
      error(lineNo, 0, quoted(label) + " cannot be a label: use a letter or a digit");
    return;
  }
  if (out.labels.count(label)) {
    error(lineNo, 0,
          "label " + quoted(label) + " is defined twice (first at line " +
              std::to_string(out.labels[label].line) + ")");
    return;
  }
  LabelDefinition def;
  def.label = label;
  def.line = lineNo;
  std::string target;
  size_t arrow = rest.find("->");
  if (arrow != std::string::npos) {
    target = trim(rest.substr(arrow + 2));
    rest = trim(rest.substr(0, arrow));
  }
  size_t space = rest.find_first_of(" \t");
  std::string name = rest.substr(0, space);
  std::string argument = space == std::string::npos ? "" : trim(rest.substr(space));
  def.kindName = name;
  Needs needs = Needs::NOTHING;
  if (name == "tile") {
    if (!parseNumber(argument, &def.kind) || !isPlainKind(def.kind)) {
      error(lineNo, 0,
            "'tile' takes a kind number without behaviour (6..9, 11, 13, 15, 27, 28, "
            "33..99); got '" +
                argument + "'");
      return;
    }
  } else {
    const KindName* k = findKind(name);
    if (!k) {
      error(lineNo, 0, "unknown kind '" + name + "'");
      return;
    }
    if (!argument.empty()) {
      error(lineNo, 0, "unexpected '" + argument + "' after '" + name + "'");
      return;
    }
    def.kind = k->kind;
    needs = k->needs;
  }
  if (needs == Needs::NOTHING) {
    if (arrow != std::string::npos) {
      error(lineNo, 0, "'" + name + "' takes no link ('->')");
      return;
    }
  } else if (target.empty()) {
    error(lineNo, 0,
          "'" + name + "' needs a link: '-> " + (needs == Needs::STAGE ? "STAGE" : "LABEL") + "'" +
              (needs == Needs::STAGE ? "" : " or '-> ROW,COL'"));
    return;
  } else if (needs == Needs::STAGE) {
    if (!parseNumber(target, &def.targetStage) || def.targetStage < 0) {
      error(lineNo, 0, "a door leads to a stage number; got '" + target + "'");
      return;
    }
    def.target = TargetType::STAGE;
  } else if (target.size() == 1) {
    def.target = TargetType::LABEL;
    def.targetLabel = target[0];
  } else if (parsePair(target, &def.targetRow, &def.targetCol)) {
    def.target = TargetType::CELL;
  } else {
    error(lineNo, 0, "cannot read the link '" + target + "': write a label or ROW,COL");
    return;
  }
  out.labels[label] = def;
}

bool parseStageSource(const std::string& file, const std::string& text, StageSource& out,
                      std::vector<StageDiagnostic>& errors) {
  size_t before = errors.size();
  Reporter error{file, errors};
  out.file = file;
  bool inGrid = false, gridSeen = false;
  int lineNo = 0;
  size_t pos = 0;
  while (pos <= text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    std::string raw = text.substr(pos, end - pos);
    bool last = end == text.size();
    pos = end + 1;
    lineNo++;
    if (!raw.empty() && raw.back() == '\r') raw.pop_back();
    if (last && raw.empty()) break;

    if (inGrid) {
      if (trim(raw) == "end") {
        inGrid = false;
        continue;
      }
      // Trailing blanks are empty cells like the padding of short rows.
      while (!raw.empty() && (raw.back() == ' ')) raw.pop_back();
      if (raw.find('\t') != std::string::npos) {
        error(lineNo, (int)raw.find('\t') + 1, "tab in the grid: write '.' for empty cells");
        raw.assign(raw.size(), '.');
      }
      out.gridRows.push_back(raw);
      out.gridLines.push_back(lineNo);
      continue;
    }

    std::string line = raw;
    size_t hash = line.find('#');
    if (hash != std::string::npos) line = line.substr(0, hash);
    line = trim(line);
    if (line.empty()) continue;
    size_t space = line.find_first_of(" \t");
    std::string word = line.substr(0, space);
    std::string arg = space == std::string::npos ? "" : trim(line.substr(space));

    if (line.size() >= 2 && trim(line.substr(1)).rfind('=', 0) == 0 &&
        !(word == "stage" || word == "par" || word == "start" || word == "grid")) {
      parseDefinition(line, lineNo, out, error);
    } else if (word == "stage") {
      if (out.stageLine) {
        error(lineNo, 0, "a second 'stage' line");
      } else if (!parseNumber(arg, &out.stageNumber) || out.stageNumber < 0) {
        error(lineNo, 0, "'stage' needs a stage number 0 or more; got '" + arg + "'");
      }
      out.stageLine = lineNo;
    } else if (word == "par") {
      size_t colon = arg.find(':');
      if (out.hasPar) {
        error(lineNo, 0, "a second 'par' line");
      } else if (colon == std::string::npos ||
                 !parseNumber(arg.substr(0, colon), &out.parMinutes) ||
                 !parseNumber(arg.substr(colon + 1), &out.parSeconds) || out.parMinutes < 0 ||
                 out.parSeconds < 0 || out.parSeconds > 59 || out.parMinutes > MAX_PAR_MINUTES) {
        error(lineNo, 0,
              "'par' needs minutes:seconds (at most " + std::to_string(MAX_PAR_MINUTES) +
                  ":59), as in 'par 1:30'; got '" + arg + "'");
      }
      out.hasPar = true;
    } else if (word == "start") {
      if (out.hasStart) {
        error(lineNo, 0, "a second 'start' line");
      } else if (!parsePair(arg, &out.startX, &out.startY)) {
        error(lineNo, 0, "'start' needs pixel coordinates X,Y; got '" + arg + "'");
      }
      out.hasStart = true;
      out.startLine = lineNo;
    } else if (word == "grid" && arg.empty()) {
      if (gridSeen) error(lineNo, 0, "a second 'grid'");
      gridSeen = inGrid = true;
      out.gridLine = lineNo;
      if (!out.gridRows.empty()) out.gridRows.clear(), out.gridLines.clear();
    } else {
      error(lineNo, 0, "cannot read this line: '" + line + "'");
    }
  }
  if (inGrid) error(out.gridLine, 0, "the grid that starts here has no 'end' line");
  if (!out.stageLine) error(0, 0, "no 'stage N' line");
  if (!out.hasPar) error(0, 0, "no 'par M:SS' line");
  if (!gridSeen) error(0, 0, "no 'grid' section");
  return errors.size() == before;
}

bool compileStage(StageSource& s, const std::set<int>& knownStages,
                  std::vector<StageDiagnostic>& errors, std::vector<StageDiagnostic>& warnings) {
  size_t before = errors.size();
  Reporter error{s.file, errors};
  Reporter warn{s.file, warnings};

  int rows = (int)s.gridRows.size();
  int cols = 0;
  for (const std::string& r : s.gridRows) cols = std::max(cols, (int)r.size());
  if (rows < 1 || rows > GRID_SIZE || cols < 1 || cols > GRID_SIZE) {
    error(s.gridLine, 0,
          "the grid is " + std::to_string(cols) + " wide and " + std::to_string(rows) +
              " tall; both must be 1 .. 256");
    return false;
  }
  s.rows = rows;
  s.cols = cols;
  auto at = [&](int r, int c) -> char {
    return c < (int)s.gridRows[r].size() ? s.gridRows[r][c] : '.';
  };
  auto inside = [&](int r, int c) { return r >= 0 && r < rows && c >= 0 && c < cols; };
  auto lineOf = [&](int r) { return s.gridLines[r]; };

  // Kinds of every cell, and where each label and the start marker stand.
  std::vector<int> kinds((size_t)rows * cols, EMPTY);
  std::map<char, std::vector<std::pair<int, int>>> placed;
  std::vector<std::pair<int, int>> starts;
  for (int r = 0; r < rows; r++) {
    for (int c = 0; c < cols; c++) {
      char ch = at(r, c);
      int kind;
      if (fixedKind(ch, &kind)) {
        if (ch == 'S') starts.push_back({r, c});
      } else if (s.labels.count(ch)) {
        kind = s.labels[ch].kind;
        placed[ch].push_back({r, c});
      } else {
        error(lineOf(r), c + 1,
              "unknown character " + quoted(ch) +
                  (isLabelChar(ch)
                       ? ": define it below the grid, as in '" + std::string(1, ch) + " = wall'"
                       : ""));
        kind = EMPTY;
      }
      kinds[(size_t)r * cols + c] = kind;
    }
  }
  auto kindAt = [&](int r, int c) { return kinds[(size_t)r * cols + c]; };

  // Gates need their three part cells inside the stage and free of
  // anything but empty cells and part marks.
  std::vector<int> covered((size_t)rows * cols, 0);
  for (int r = 0; r < rows; r++) {
    for (int c = 0; c < cols; c++) {
      int kind = kindAt(r, c);
      if (kind != GATE_VERTICAL && kind != GATE_HORIZONTAL) continue;
      bool vertical = kind == GATE_VERTICAL;
      char mark = vertical ? ':' : '=';
      for (int k = 1; k <= 3; k++) {
        int pr = vertical ? r + k : r, pc = vertical ? c : c + k;
        if (!inside(pr, pc)) {
          error(lineOf(r), c + 1,
                std::string(vertical ? "vertical" : "horizontal") + " gate at " + cellName(r, c) +
                    " has no room for its parts: the 3 cells " +
                    (vertical ? "below" : "to the right") + " must lie inside the stage");
          break;
        }
        char ch = at(pr, pc);
        if (ch != '.' && ch != ' ' && ch != mark) {
          error(lineOf(pr), pc + 1,
                "cell " + cellName(pr, pc) + " holds " + quoted(ch) + " but is a part of the " +
                    (vertical ? "vertical" : "horizontal") + " gate at " + cellName(r, c) +
                    ": write " + quoted(mark) + " or '.'");
        }
        if (++covered[(size_t)pr * cols + pc] == 2)
          error(lineOf(pr), pc + 1, "cell " + cellName(pr, pc) + " is a part of two gates");
      }
    }
  }
  for (int r = 0; r < rows; r++) {
    for (int c = 0; c < cols; c++) {
      char ch = at(r, c);
      if ((ch == ':' || ch == '=') && !covered[(size_t)r * cols + c])
        error(lineOf(r), c + 1,
              quoted(ch) + " marks a gate part but no " +
                  (ch == ':' ? "vertical gate stands 1..3 cells above it"
                             : "horizontal gate stands 1..3 cells to its left"));
    }
  }

  // Start position: explicit pixels or the 'S' cell, which the player's
  // upper half fills (the player is one cell wide and two tall).
  if (starts.size() > 1) {
    error(lineOf(starts[1].first), starts[1].second + 1,
          "a second 'S': the first is at " + cellName(starts[0].first, starts[0].second));
  } else if (s.hasStart && !starts.empty()) {
    error(lineOf(starts[0].first), starts[0].second + 1,
          "'S' in the grid and a 'start' line at " + std::to_string(s.startLine) +
              ": keep one of them");
  } else if (s.hasStart) {
    if (s.startX < 0 || s.startY < 0 || s.startX > TILE_SIZE * cols - TILE_SIZE ||
        s.startY > TILE_SIZE * rows - 2 * TILE_SIZE)
      error(s.startLine, 0,
            "start " + std::to_string(s.startX) + "," + std::to_string(s.startY) +
                " puts the player (25 x 50 px) outside the stage of " +
                std::to_string(TILE_SIZE * cols) + " x " + std::to_string(TILE_SIZE * rows) +
                " px");
    s.playerStartX = s.startX;
    s.playerStartY = s.startY;
  } else if (starts.empty()) {
    error(0, 0, "no start: put 'S' in the grid or write 'start X,Y'");
  } else {
    int r = starts[0].first, c = starts[0].second;
    if (r + 1 >= rows)
      error(lineOf(r), c + 1,
            "'S' marks the player's upper half; the cell below it must be inside the stage");
    s.playerStartX = TILE_SIZE * c;
    s.playerStartY = TILE_SIZE * r;
  }

  // Links: every labelled cell with a target gets it resolved and checked.
  std::map<char, std::pair<int, int>> resolved;
  for (auto& [label, def] : s.labels) {
    if (!placed.count(label)) warn(def.line, 0, "label " + quoted(label) + " is not in the grid");
    if (def.target == TargetType::LABEL) {
      char t = def.targetLabel;
      int k;
      if (fixedKind(t, &k) || !s.labels.count(t)) {
        error(def.line, 0,
              "link to " + quoted(t) + ", which is not a label defined in this file" +
                  (needsOf(def.kind) == Needs::GATE ? " (a missing gate)" : ""));
        continue;
      }
      size_t n = placed.count(t) ? placed[t].size() : 0;
      if (n != 1) {
        error(def.line, 0,
              "link to " + quoted(t) + ", which stands " +
                  (n == 0 ? std::string("nowhere in the grid")
                          : std::to_string(n) + " times in the grid") +
                  "; a link target must be exactly one cell");
        continue;
      }
      resolved[label] = placed[t][0];
    } else if (def.target == TargetType::CELL) {
      resolved[label] = {def.targetRow, def.targetCol};
    }
  }

  s.cells.assign((size_t)rows * cols * 3, 0);
  for (int r = 0; r < rows; r++) {
    for (int c = 0; c < cols; c++) {
      int kind = kindAt(r, c);
      int32_t* cell = &s.cells[((size_t)r * cols + c) * 3];
      cell[0] = kind;
      char ch = at(r, c);
      if (!s.labels.count(ch)) continue;
      const LabelDefinition& def = s.labels[ch];
      Needs needs = needsOf(kind);
      if (def.kindName == "tile" || needs == Needs::NOTHING) continue;
      if (needs == Needs::STAGE) {
        if (!knownStages.count(def.targetStage))
          error(def.line, 0,
                "door " + quoted(ch) + " leads to stage " + std::to_string(def.targetStage) +
                    ", which is not among the stages compiled with it");
        cell[1] = def.targetStage;
        continue;
      }
      if (!resolved.count(ch)) continue;  // reported above
      auto [tr, tc] = resolved[ch];
      cell[1] = tr;
      cell[2] = tc;
      std::string what = def.kindName + " " + quoted(ch) + " at " + cellName(r, c);
      if (!inside(tr, tc)) {
        error(def.line, 0,
              what + " links to " + cellName(tr, tc) + ", outside the stage of " +
                  std::to_string(rows) + " rows and " + std::to_string(cols) + " columns");
        continue;
      }
      if (needs == Needs::GATE && kindAt(tr, tc) != GATE_VERTICAL &&
          kindAt(tr, tc) != GATE_HORIZONTAL) {
        error(def.line, 0, what + " links to " + cellName(tr, tc) + ", which is not a gate");
      } else if (needs == Needs::PLATFORM_END) {
        bool above = tc == c && tr < r;
        bool right = tr == r && tc > c;
        if (!above && !right)
          error(def.line, 0,
                what + " has its far end at " + cellName(tr, tc) +
                    "; it must be straight above (same column) or to the right (same row)");
      }
    }
  }
  return errors.size() == before;
}

std::string mapFileText(const StageSource& s) {
  std::string out = std::to_string(s.cols) + "," + std::to_string(s.rows) + ",0,0," +
                    std::to_string(s.playerStartX) + "," + std::to_string(s.playerStartY) + "," +
                    std::to_string(s.parMinutes) + "," + std::to_string(s.parSeconds) + "\n";
  for (int r = 0; r < s.rows; r++) {
    for (int c = 0; c < s.cols; c++) {
      const int32_t* cell = &s.cells[((size_t)r * s.cols + c) * 3];
      out += std::to_string(cell[0]) + "," + std::to_string(cell[1]) + "," +
             std::to_string(cell[2]) + ",";
    }
    out += "\n";
  }
  return out;
}
