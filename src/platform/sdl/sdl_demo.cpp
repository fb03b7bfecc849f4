// Demos in the real game: --record writes every picture's keys and clock
// as it is shown (flushed at once, so a crash keeps what came before);
// --play-demo shows a demo at its recorded pace, with its keys and clock.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/key_names.h"
#include "platform/os.h"
#include "platform/sdl/sdl_backend.h"
#include "puxten_version.h"

namespace {

// Exit status of a demo that went another way than it was recorded.
constexpr int EXIT_DEMO_DIVERGED = 3;

void stopRecording(const char* why) {
  if (why) std::fprintf(stderr, "puxten: cannot write the demo %s: %s\n", sdl.demo.outPath, why);
  std::fclose(sdl.demo.out);
  sdl.demo.out = nullptr;
}

void writeDemoText(const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), sdl.demo.out) != text.size() ||
      std::fflush(sdl.demo.out) != 0)
    stopRecording(std::strerror(errno));
}

// The run starts from the save files as they are before its first picture.
void writeDemoHeader() {
  Demo header;
  header.gameVersion = PUXTEN_VERSION;
  header.answerYes = sdl.demo.answerYes;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(sdl.demo.saveFolder, error)) {
    std::string name = entry.path().filename().string();
    if (!entry.is_regular_file(error) || !isPlainFileName(name)) continue;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    header.saves.push_back({name, bytes.str()});
  }
  writeDemoText(demoHeaderText(header));
}

unsigned heldKeys() {
  unsigned mask = 0;
  for (int i = 0; i < GAME_KEY_COUNT; i++)
    if (osKeyHeld(GAME_KEYS[i].vk)) mask |= 1u << i;
  return mask;
}

void recordPicture() {
  if (sdl.demo.presented == 1) writeDemoHeader();
  if (!sdl.demo.out) return;
  DemoPicture p;
  p.nowMs = sdl.gameNowMs;
  p.keys = heldKeys();
  p.hasCheck = sdl.demo.stateCheck != nullptr;
  if (p.hasCheck) p.check = sdl.demo.stateCheck();
  writeDemoText(demoPictureText(p));
}

void checkPlayedPicture() {
  const std::vector<DemoPicture>& pictures = sdl.demo.in.pictures;
  int n = sdl.demo.presented;
  if (n > (int)pictures.size()) return;
  const DemoPicture& p = pictures[n - 1];
  if (p.hasCheck && sdl.demo.stateCheck && p.check != sdl.demo.stateCheck()) {
    std::fprintf(stderr, "puxten: the demo diverges at picture %d\n", n);
    osTerminate(EXIT_DEMO_DIVERGED);
  }
  if (n == (int)pictures.size()) {
    std::fprintf(stderr, "puxten: the demo has ended (%d pictures)\n", n);
    osTerminate(0);
  }
}

}  // namespace

bool sdlRecordDemo(const char* path, const char* saveFolder) {
  sdl.demo.out = std::fopen(path, "wb");
  if (!sdl.demo.out) {
    std::fprintf(stderr, "puxten: cannot write the demo %s: %s\n", path, std::strerror(errno));
    return false;
  }
  std::snprintf(sdl.demo.outPath, sizeof sdl.demo.outPath, "%s", path);
  std::snprintf(sdl.demo.saveFolder, sizeof sdl.demo.saveFolder, "%s", saveFolder);
  return true;
}

void sdlPlayDemo(const Demo& demo) {
  sdl.demo.in = demo;
  sdl.demo.playing = true;
  if (!demo.pictures.empty()) sdl.gameNowMs = demo.pictures[0].nowMs;
}

void sdlSetStateCheck(uint32_t (*check)()) { sdl.demo.stateCheck = check; }

void sdlDemoPresented() {
  sdl.demo.presented += 1;
  if (sdl.demo.out) recordPicture();
  if (sdl.demo.playing) checkPlayedPicture();
}

int sdlDemoKeyHeld(int vk) {
  int n = sdl.demo.presented;  // the picture being made is n + 1
  if (n >= (int)sdl.demo.in.pictures.size()) return 0;
  for (int i = 0; i < GAME_KEY_COUNT; i++)
    if (GAME_KEYS[i].vk == vk) return (sdl.demo.in.pictures[n].keys >> i) & 1;
  return 0;
}

bool sdlDemoNextClock(int32_t* ms) {
  int n = sdl.demo.presented;
  if (!sdl.demo.playing || n >= (int)sdl.demo.in.pictures.size()) return false;
  *ms = sdl.demo.in.pictures[n].nowMs;
  return true;
}
