// Message boxes in the player's language (questions drawn by
// sdl_question.cpp once there is a window), the start-up question's
// answer given in advance (by the command line, else by the settings), and
// the question of --new-game.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "platform/display.h"
#include "platform/game.h"
#include "platform/os.h"
#include "platform/sdl/sdl_backend.h"

namespace {

constexpr const char* PICTURE_ERROR = "Bitmapロードエラー:";

// The box's own text in the player's language, into `out`.
const char* boxText(const char* text, char* out, size_t size) {
  size_t n = std::strlen(PICTURE_ERROR);
  if (!sdl.japanese && !std::strncmp(text, PICTURE_ERROR, n)) {
    std::snprintf(out, size, "Cannot load the picture %s", text + n);
    return out;
  }
  return sdlText(text);
}

bool runIsSaved() {
  std::error_code e;
  for (const char* name : savedRunFiles())
    if (std::filesystem::exists(std::string(saveFolderPath()) + "/" + name, e)) return true;
  return false;
}

}  // namespace

void sdlOfferNewGame() {
  if (!runIsSaved()) return;  // nothing to lose: no question
  // Asked in a small window of its own, as the start-up question is.
  setDisplayMode(0, 0, 1, 1, 0, "");
  if (osMessageBox("セーブデータを消して、最初から始めますか?", "新しいゲーム",
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  std::string problem;
  if (clearSavedRun(&problem)) return;
  problem = sdlText("セーブデータを消せませんでした: ") + problem;
  osMessageBox(problem.c_str(), "エラー", MB_ICONHAND);
}

void sdlSetStartupAnswer(int answer) { sdl.startupAnswer = answer; }

int osStartupAnswer() {
  if (sdl.startupAnswer) return sdl.startupAnswer;
  if (sdl.settings.display == DISPLAY_WINDOW) return IDNO;
  if (sdl.settings.display == DISPLAY_FULLSCREEN) return IDYES;
  return 0;
}

int osMessageBox(const char* text, const char* caption, unsigned flags) {
  // An error is said on the error stream too, where logs keep it.
  if (flags & MB_ICONHAND) std::fprintf(stderr, "%s: %s\n", caption, text);
  bool askYesNo = (flags & MB_BUTTONS) == MB_YESNO;
  char message[1400];
  if (askYesNo && sdl.renderer)
    return sdlAskYesNo(boxText(text, message, sizeof message), sdlText(caption));
  // SDL's boxes (for the notices) answer Return and Esc.
  SDL_MessageBoxButtonData yesNo[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, IDYES, sdlText("はい")},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDNO, sdlText("いいえ")},
  };
  SDL_MessageBoxButtonData ok[] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, IDOK,
       "OK"},
  };
  SDL_MessageBoxData box = {};
  box.flags = ((flags & MB_ICONHAND) ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION) |
              SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  // The start-up question comes while the window is a 1 x 1 placeholder:
  // the box then stands on its own.
  int w = 0, h = 0;
  if (sdl.window) SDL_GetWindowSize(sdl.window, &w, &h);
  box.window = (sdl.window && w > 8) ? sdl.window : nullptr;
  box.title = sdlText(caption);
  box.message = boxText(text, message, sizeof message);
  box.numbuttons = askYesNo ? 2 : 1;
  box.buttons = askYesNo ? yesNo : ok;  // a question before any window
  int answer = askYesNo ? IDNO : IDOK;
  if (SDL_ShowMessageBox(&box, &answer) != 0) return askYesNo ? IDNO : IDOK;
  if (answer < 0) answer = askYesNo ? IDNO : IDOK;  // closed without a button
  return answer;
}
