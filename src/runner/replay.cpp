#include "runner/replay.h"

#include <cstdarg>
#include <cstring>
#include <map>
#include <sstream>

#include "app/app_state.h"
#include "app/stage_drawing.h"
#include "bombs/bomb_state.h"
#include "platform/demo_file.h"
#include "platform/headless/headless.h"
#include "platform/headless/headless_audio.h"
#include "platform/input.h"
#include "platform/key_names.h"
#include "platform/os.h"
#include "platform/sound.h"
#include "player/player_state.h"
#include "stage/assets.h"
#include "stage/stage_state.h"

TraceState traceState;

namespace {

bool parseKeys(const std::string& word, std::vector<int>* keys) {
  unsigned mask = 0;
  if (!parseKeyMask(word, &mask)) return false;
  for (int i = 0; i < GAME_KEY_COUNT; i++)
    if (mask & (1u << i)) keys->push_back(GAME_KEYS[i].vk);
  return true;
}

// Floats with enough digits to read back exactly, the same on every run.
void putFloat(std::string& out, float v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.9g", (double)v);
  out += buf;
}

void putInt(std::string& out, long long v) { out += std::to_string(v); }

void field(std::string& out, const char* name) {
  if (out.back() != '{') out += ',';
  out += '"';
  out += name;
  out += "\":";
}

void fieldInt(std::string& out, const char* name, long long v) {
  field(out, name);
  putInt(out, v);
}

void fieldFloat(std::string& out, const char* name, float v) {
  field(out, name);
  putFloat(out, v);
}

// Named numbers written in order, for the objects and groups of a line.
struct IntField {
  const char* name;
  long long value;
};
void fieldInts(std::string& out, std::initializer_list<IntField> fields) {
  for (const IntField& f : fields) fieldInt(out, f.name, f.value);
}

// One element of a list: "{", or ",{" after another.
void openElement(std::string& out) {
  if (out.back() != '[') out += ',';
  out += '{';
}

void bombList(std::string& out, const char* name, const BombArrays& b, int count) {
  field(out, name);
  out += '[';
  if (count > 10) count = 10;
  for (int i = 0; i < count; i++) {
    openElement(out);
    fieldFloat(out, "x", b.x[i]);
    fieldFloat(out, "y", b.y[i]);
    fieldInt(out, "state", b.state[i]);
    out += '}';
  }
  out += ']';
}

void platformList(std::string& out) {
  field(out, "platforms");
  out += '[';
  for (MovingPlatform* p = stage.platforms; p; p = p->next) {
    openElement(out);
    fieldFloat(out, "x", p->x);
    fieldFloat(out, "y", p->y);
    fieldInts(out, {{"direction", p->direction}, {"axis", p->axis}});
    out += '}';
  }
  out += ']';
}

void intArray(std::string& out, const char* name, const int32_t* v, int n) {
  field(out, name);
  out += '[';
  for (int i = 0; i < n; i++) {
    if (i) out += ',';
    putInt(out, v[i]);
  }
  out += ']';
}

void quoted(std::string& out, const std::string& text) {
  out += '"';
  for (char ch : text) {
    if (ch == '"' || ch == '\\') out += '\\';
    out += ch;
  }
  out += '"';
}

// The sound effects started in this picture, by file, in order: one-shot
// waves and plays of the sound channels (the music is listed apart).
void soundList(std::string& out, const std::vector<std::string>& audioLog) {
  field(out, "sounds");
  out += '[';
  bool first = true;
  for (const std::string& line : audioLog) {
    std::string started;
    if (line.rfind("open ", 0) == 0) {
      size_t space = line.find(' ', 5);
      if (space != std::string::npos)
        traceState.audioFiles[std::atoi(line.c_str() + 5)] = line.substr(space + 1);
    } else if (line.rfind("wave ", 0) == 0) {
      started = line.substr(5);
    } else if (line.rfind("play ", 0) == 0) {
      auto file = traceState.audioFiles.find(std::atoi(line.c_str() + 5));
      if (file != traceState.audioFiles.end() && file->second.rfind("SE/", 0) == 0)
        started = file->second;
    }
    if (started.empty()) continue;
    if (!first) out += ',';
    first = false;
    quoted(out, started);
  }
  out += ']';
}

// Every open music track: playing or not, volume and position.
void musicList(std::string& out) {
  const struct {
    const char* name;
    const MusicTrack* track;
  } TRACKS[] = {
      {"title", &assets.titleMusic}, {"main", &assets.mainMusic}, {"boss", &assets.bossMusic}};
  field(out, "music");
  out += '[';
  for (const auto& t : TRACKS) {
    int id = t.track->deviceId;
    if (!id) continue;
    openElement(out);
    field(out, "name");
    out += '"';
    out += t.name;
    out += '"';
    fieldInts(out, {{"playing", headlessAudioPlaying(id)},
                    {"volume", t.track->volume},
                    {"positionMs", osAudioPositionMs(id)}});
    out += '}';
  }
  out += ']';
}

void group(std::string& out, const char* name) {
  field(out, name);
  out += '{';
}

void intGroup(std::string& out, const char* name, std::initializer_list<IntField> fields) {
  group(out, name);
  fieldInts(out, fields);
  out += '}';
}

// Per-picture fields beyond the shared ones, grouped by subsystem.
void pictureGroups(std::string& out) {
  group(out, "player");
  fieldFloat(out, "speedX", player.speedX);
  fieldFloat(out, "speedY", player.speedY);
  fieldInt(out, "jumpLock", player.jumpLock);
  out += '}';
  intGroup(out, "warp",
           {{"localWarpPhase", player.localWarpPhase},
            {"stageWarpPhase", player.stageWarpPhase},
            {"warpFrame", player.warpFrame},
            {"warpUpLatch", player.warpUpLatch},
            {"previousStage", player.previousStage},
            {"lastSavedX", stage.lastSavedX},
            {"lastSavedY", stage.lastSavedY}});
  intGroup(out, "counters",
           {{"frameCount", app.frameCount},
            {"stageTick", stageDraw.stageTick},
            {"pulseFrame", stageDraw.pulseFrame},
            {"portalFrame", stageDraw.portalFrame},
            {"arrowBob", stageDraw.arrowBob},
            {"stageStartMs", app.stageStartMs},
            {"stageMinutes", app.stageMinutes},
            {"stageSeconds", app.stageSeconds}});
}

// The title menu: its phase, cursor, the fades of logo, menu and cover,
// and where the walking hero is.
void titleGroup(std::string& out) {
  const TitleMenuState& t = app.title;
  group(out, "title");
  fieldInts(out, {{"phase", t.phase},
                  {"cursor", t.cursor},
                  {"leaving", t.leaving},
                  {"logoOpacity", t.logoOpacity},
                  {"menuOpacity", t.menuOpacity},
                  {"coverOpacity", t.coverOpacity}});
  fieldFloat(out, "heroX", t.heroX);
  fieldFloat(out, "heroY", t.heroY);
  fieldInts(out, {{"walkFrame", t.walkFrame}, {"backdropX", t.backdropX}});
  out += '}';
}

void missGroup(std::string& out) {
  const GameSession& s = app.session;
  group(out, "miss");
  fieldInts(out, {{"darkness", s.darkness},
                  {"missStep", s.missStep},
                  {"missPose", s.missPose},
                  {"missAngle", s.missAngle}});
  fieldFloat(out, "missStepX", s.missStepX);
  fieldFloat(out, "missStepY", s.missStepY);
  fieldInt(out, "missCursor", s.missCursor);
  out += '}';
}

void resultGroup(std::string& out) {
  const GameSession& s = app.session;
  group(out, "result");
  fieldInts(
      out,
      {{"darkness", s.darkness}, {"panelY", s.panelY}, {"restY", s.restY}, {"percent", s.percent}});
  intArray(out, "percentDigits", s.percentDigits, 3);
  intArray(out, "missDigits", s.missDigits, 3);
  intArray(out, "timeDigits", s.timeDigits, 4);
  out += '}';
}

void endingGroup(std::string& out) {
  const EndingState& e = app.ending;
  intGroup(out, "ending",
           {{"scroll", e.scroll},
            {"rise", e.rise},
            {"walkFrame", e.walkFrame},
            {"floorFrame", e.floorFrame}});
}

// The group of the screen being shown, if it has one of its own.
void sceneGroup(std::string& out) {
  if (app.ending.running)
    endingGroup(out);
  else if (app.scene == SCENE_TITLE_ENTER || app.scene == SCENE_TITLE)
    titleGroup(out);
  else if (app.scene == SCENE_MISS)
    missGroup(out);
  else if (app.scene == SCENE_RESULT)
    resultGroup(out);
}

// The used rectangle of the grid: kind, state and progress of each cell.
void gridFields(std::string& out) {
  int rows = stage.stageRows < 0 ? 0 : stage.stageRows > 256 ? 256 : stage.stageRows;
  int cols = stage.stageCols < 0 ? 0 : stage.stageCols > 256 ? 256 : stage.stageCols;
  group(out, "grid");
  for (int which = 0; which < 3; which++) {
    field(out, which == 0 ? "kind" : which == 1 ? "state" : "progress");
    out += '[';
    for (int r = 0; r < rows; r++) {
      if (r) out += ',';
      out += '[';
      for (int c = 0; c < cols; c++) {
        if (c) out += ',';
        const MapCell& cell = stage.grid[r][c];
        putInt(out, which == 0 ? cell.kind : which == 1 ? cell.state : cell.progress);
      }
      out += ']';
    }
    out += ']';
  }
  out += '}';
}

// Fields shared by the trace lines and the final state.
void commonFields(std::string& out) {
  const GameSession& s = app.session;
  fieldInt(out, "nowMs", osNowMs());
  fieldInt(out, "scene", app.scene);
  fieldFloat(out, "playerX", s.playerX);
  fieldFloat(out, "playerY", s.playerY);
  fieldFloat(out, "cameraX", s.cameraX);
  fieldFloat(out, "cameraY", s.cameraY);
  fieldFloat(out, "screenX", s.screenX);
  fieldFloat(out, "screenY", s.screenY);
  fieldInt(out, "facing", s.facing);
  fieldInt(out, "verticalState", s.verticalState);
  fieldInt(out, "fadeState", app.fadeState);
  fieldInt(out, "fadeLevel", s.fadeLevel);
  fieldInt(out, "currentStage", stage.currentStage);
  fieldInt(out, "homeStage", stage.homeStage);
  platformList(out);
  fieldInt(out, "switchTimers", countSwitchTimers());
  fieldInt(out, "crushEffects", countCrushEffects());
  bombList(out, "thrown", s.thrown, bombs.thrownBombCount);
  bombList(out, "barrel", s.barrel, bombs.barrelBombCount);
  bombList(out, "rolling", s.rolling, bombs.rollingBombCount);
  fieldInt(out, "thrownBombCount", bombs.thrownBombCount);
  fieldInt(out, "barrelBombCount", bombs.barrelBombCount);
  fieldInt(out, "rollingBombCount", bombs.rollingBombCount);
  fieldInt(out, "blocksCrushed", stage.blocksCrushed);
  fieldInt(out, "missCount", app.missCount);
}

}  // namespace

bool parseInputScript(const std::string& text, std::vector<InputStep>* steps, std::string* error) {
  int lines = forEachWordLine(
      text, [&](int lineNo, const std::string& countWord, std::istringstream& words) {
        InputStep step;
        std::string keysWord, extra;
        char* end = nullptr;
        long count = std::strtol(countWord.c_str(), &end, 10);
        if (*end || count < 0 || count > 10000000 || !(words >> keysWord) || (words >> extra) ||
            !parseKeys(keysWord, &step.keys)) {
          *error = "line " + std::to_string(lineNo) + ": expected 'COUNT KEYS' (keys: " +
                   "Left Right Up Down Space Enter Esc Q W E joined by '+', or '-')";
          return false;
        }
        step.count = (int)count;
        steps->push_back(step);
        return true;
      });
  return lines >= 0;
}

const std::vector<int>* keysForPicture(const std::vector<InputStep>& steps, int n) {
  int first = 1;
  for (const InputStep& s : steps) {
    if (n < first + s.count) return &s.keys;
    first += s.count;
  }
  return nullptr;
}

int scriptLength(const std::vector<InputStep>& steps) {
  long total = 0;
  for (const InputStep& s : steps) total += s.count;
  return total > 2000000000 ? 2000000000 : (int)total;
}

std::string traceLine(int picture, const std::vector<std::string>& audioLog, bool withGrid) {
  std::string out = "{";
  fieldInt(out, "picture", picture);
  commonFields(out);
  if (app.scene == SCENE_RESULT) {
    fieldInt(out, "resultStep", app.session.resultStep);
    intArray(out, "grades", app.session.grades, 4);
  }
  soundList(out, audioLog);
  musicList(out);
  pictureGroups(out);
  sceneGroup(out);
  if (withGrid) gridFields(out);
  out += "}";
  return out;
}

std::string stateJson() {
  const GameSession& s = app.session;
  std::string out = "{";
  fieldInt(out, "frameCount", app.frameCount);
  commonFields(out);
  fieldInt(out, "playerAnim", s.playerAnim);
  fieldInt(out, "keyQ", s.keyQ);
  fieldInt(out, "keyW", s.keyW);
  fieldInt(out, "keyE", s.keyE);
  intArray(out, "countdown", s.barrel.extra, 10);
  fieldInt(out, "missAngle", s.missAngle);
  fieldInt(out, "missStep", s.missStep);
  fieldInt(out, "missCursor", s.missCursor);
  fieldInt(out, "darkness", s.darkness);
  fieldInt(out, "resultStep", s.resultStep);
  fieldInt(out, "panelY", s.panelY);
  fieldInt(out, "percent", s.percent);
  intArray(out, "grades", s.grades, 4);
  fieldInt(out, "stageRows", stage.stageRows);
  fieldInt(out, "stageCols", stage.stageCols);
  fieldInt(out, "blocksTotal", stage.blocksTotal);
  fieldInt(out, "barrelBombFound", stage.barrelBombFound);
  fieldInt(out, "rollingBombFound", stage.rollingBombFound);
  fieldInt(out, "stageElapsedMs", app.stageElapsedMs);
  fieldInt(out, "parTimeSeconds", app.parTimeSeconds);
  gridFields(out);
  out += "}\n";
  return out;
}
