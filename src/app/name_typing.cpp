#include "app/name_typing.h"

#include <SDL.h>

#include <algorithm>

#include "menu/name_characters.h"

namespace zt {

namespace {

constexpr SDL_Scancode kLeaveScancodes[] = {SDL_SCANCODE_SPACE,  SDL_SCANCODE_RETURN, SDL_SCANCODE_KP_ENTER,
                                            SDL_SCANCODE_ESCAPE, SDL_SCANCODE_LCTRL,  SDL_SCANCODE_RCTRL};

}  // namespace

int NameTyping::LeaveKeyOf(int scancode) {
  const auto* found = std::find(std::begin(kLeaveScancodes), std::end(kLeaveScancodes), scancode);
  return found == std::end(kLeaveScancodes) ? -1 : static_cast<int>(found - std::begin(kLeaveScancodes));
}

void NameTyping::Begin(const std::function<bool(int scancode)>& held) {
  for (int key = 0; key < kLeaveKeyCount; ++key) stillHeld_[key] = held(kLeaveScancodes[key]);
}

std::string NameTyping::Typed(const SDL_Event& event) {
  if (event.type == SDL_KEYUP) {
    if (const int key = LeaveKeyOf(event.key.keysym.scancode); key >= 0) stillHeld_[key] = false;
    return "";
  }
  if (event.type == SDL_TEXTINPUT) {
    std::string text = NameCharactersFromUtf8(event.text.text);
    if (stillHeld_[kSpace]) text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text;
  }
  if (event.type != SDL_KEYDOWN) return "";
  const int key = LeaveKeyOf(event.key.keysym.scancode);
  if (key >= 0 && stillHeld_[key]) return "";
  const bool repeat = event.key.repeat != 0;
  switch (event.key.keysym.sym) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
      return repeat ? "" : "\r";
    case SDLK_ESCAPE:
      return repeat ? "" : "\x1b";
    case SDLK_BACKSPACE:
      return "\b";
    default:
      return "";
  }
}

}  // namespace zt
