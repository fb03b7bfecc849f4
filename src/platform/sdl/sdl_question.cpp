// Yes/no questions drawn by the back end itself, so that they answer as
// their labels say: Y or Enter and a pad's A for yes, N or Esc and a pad's
// B for no, or a click on either button. The start-up question comes
// before the game's window exists and gets a small window of its own.
#include <cstring>

#include "platform/sdl/sdl_backend.h"

namespace {

constexpr int IDYES = 6, IDNO = 7;
constexpr int QUESTION_W = 480, QUESTION_H = 160;  // the start-up question's window
constexpr int BUTTON_W = 160, BUTTON_H = 28;
constexpr Uint32 WAIT_SLICE_MS = 500;

// Where the two buttons stand, in picture pixels.
SDL_Rect buttonRect(bool yes) {
  int boxBottom = sdl.question->onBlack ? QUESTION_H : sdl.pictureH / 2 + QUESTION_H / 2;
  int y = boxBottom - BUTTON_H - 16;
  int x = sdl.pictureW / 2 + (yes ? -BUTTON_W - 16 : 16);
  return {x, y, BUTTON_W, BUTTON_H};
}

void drawButton(bool yes) {
  SDL_Rect r = buttonRect(yes);
  SDL_SetRenderDrawColor(sdl.renderer, 255, 255, 255, 255);
  SDL_RenderDrawRect(sdl.renderer, &r);
  const char* label = sdl.japanese ? (yes ? "はい(Y)" : "いいえ(N)") : (yes ? "Yes (Y)" : "No (N)");
  int middle = r.x + r.w / 2 - (int)std::strlen(label) * 4;
  sdlDrawText(label, sdl.japanese ? middle + (yes ? 4 : 6) : middle, r.y + 6, 1);
}

// IDYES, IDNO, or 0 while the event does not answer.
int answerFor(const SDL_Event& ev) {
  switch (ev.type) {
    case SDL_QUIT: return IDNO;
    case SDL_WINDOWEVENT: return ev.window.event == SDL_WINDOWEVENT_CLOSE ? IDNO : 0;
    case SDL_KEYDOWN:
      switch (ev.key.keysym.scancode) {
        case SDL_SCANCODE_Y:
        case SDL_SCANCODE_RETURN:
        case SDL_SCANCODE_KP_ENTER: return IDYES;
        case SDL_SCANCODE_N:
        case SDL_SCANCODE_ESCAPE: return IDNO;
        default: return 0;
      }
    case SDL_CONTROLLERBUTTONDOWN:
      if (ev.cbutton.button == SDL_CONTROLLER_BUTTON_A) return IDYES;
      return ev.cbutton.button == SDL_CONTROLLER_BUTTON_B ? IDNO : 0;
    case SDL_MOUSEBUTTONDOWN: {
      SDL_Point at = {ev.button.x, ev.button.y};  // picture pixels already
      SDL_Rect yes = buttonRect(true), no = buttonRect(false);
      if (SDL_PointInRect(&at, &yes)) return IDYES;
      return SDL_PointInRect(&at, &no) ? IDNO : 0;
    }
    default: return 0;
  }
}

// The start-up question's own small window, centred on the screen.
void openQuestionWindow(const char* caption) {
  SDL_SetWindowTitle(sdl.window, caption);
  SDL_SetWindowBordered(sdl.window, SDL_TRUE);
  SDL_SetWindowSize(sdl.window, QUESTION_W, QUESTION_H);
  SDL_SetWindowPosition(sdl.window, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
  sdlUseSharpScaling(QUESTION_W, QUESTION_H);
  SDL_ShowWindow(sdl.window);
  SDL_RaiseWindow(sdl.window);
}

}  // namespace

void sdlDrawQuestion() {
  const Question& q = *sdl.question;
  int top = q.onBlack ? 0 : sdl.pictureH / 2 - QUESTION_H / 2;
  if (!q.onBlack) {
    SDL_Rect box = {sdl.pictureW / 2 - QUESTION_W / 2, top, QUESTION_W, QUESTION_H};
    SDL_SetRenderDrawColor(sdl.renderer, 0, 0, 0, 255);
    SDL_RenderFillRect(sdl.renderer, &box);
    SDL_SetRenderDrawColor(sdl.renderer, 255, 255, 255, 255);
    SDL_RenderDrawRect(sdl.renderer, &box);
    sdlDrawText(q.caption, -1, top + 12, 1);
  }
  sdlDrawText(q.text, -1, top + (q.onBlack ? 40 : 56), 1);
  drawButton(true);
  drawButton(false);
}

int sdlAskYesNo(const char* text, const char* caption) {
  int pictureW = sdl.pictureW, pictureH = sdl.pictureH;
  bool onBlack = pictureW < QUESTION_W;  // only the 1 x 1 placeholder so far
  Question q = {caption, text, onBlack};
  sdl.question = &q;
  if (onBlack) openQuestionWindow(caption);
  sdlShowPicture();
  int answer = 0;
  while (!answer) {
    SDL_Event ev;
    if (!SDL_WaitEventTimeout(&ev, WAIT_SLICE_MS)) continue;
    sdlHandlePadEvent(ev);  // pads may arrive while the question waits
    answer = answerFor(ev);
    if (ev.type == SDL_WINDOWEVENT) sdlShowPicture();
  }
  sdl.question = nullptr;
  if (onBlack) sdlUseSharpScaling(pictureW, pictureH);
  sdlShowPicture();
  return answer;
}
