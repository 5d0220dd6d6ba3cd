#include "app/name_typing.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstring>
#include <set>

namespace zt {
namespace {

SDL_Event Key(Uint32 type, SDL_Scancode scancode, SDL_Keycode sym, bool repeat = false) {
  SDL_Event event{};
  event.type = type;
  event.key.keysym.scancode = scancode;
  event.key.keysym.sym = sym;
  event.key.repeat = repeat ? 1 : 0;
  return event;
}

SDL_Event Text(const char* utf8) {
  SDL_Event event{};
  event.type = SDL_TEXTINPUT;
  std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
  return event;
}

struct Typist {
  NameTyping typing;
  std::string typed;
  void Begin(std::set<int> held) {
    typing.Begin([held](int scancode) { return held.count(scancode) != 0; });
  }
  void Send(const SDL_Event& event) { typed += typing.Typed(event); }
};

TEST(NameTyping, TheSpaceThatLeftTheGameOverPictureTypesNothingUntilLetGo) {
  Typist t;
  t.Begin({SDL_SCANCODE_SPACE});
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_SPACE, SDLK_SPACE, true));  // the window system's repeat
  t.Send(Text(" "));
  t.Send(Text("Z"));  // another key pressed meanwhile still types
  t.Send(Key(SDL_KEYUP, SDL_SCANCODE_SPACE, SDLK_SPACE));
  t.Send(Text("ed "));
  EXPECT_EQ(t.typed, "Zed ");
}

TEST(NameTyping, AHeldEnterEscOrCtrlNeitherFinishesNorTypes) {
  Typist t;
  t.Begin({SDL_SCANCODE_RETURN, SDL_SCANCODE_ESCAPE, SDL_SCANCODE_LCTRL});
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN, true));
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, true));
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_LCTRL, SDLK_LCTRL, true));
  EXPECT_EQ(t.typed, "");
  t.Send(Key(SDL_KEYUP, SDL_SCANCODE_RETURN, SDLK_RETURN));
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, SDLK_RETURN));  // pressed anew: Enter
  EXPECT_EQ(t.typed, "\r");
}

TEST(NameTyping, BackspaceRepeatsWithTheWindowSystemWhileEnterAndEscDoNot) {
  Typist t;
  t.Begin({});
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE));
  for (int i = 0; i < 3; ++i) t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, true));
  EXPECT_EQ(t.typed, "\b\b\b\b");
  t.typed.clear();
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE));
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, true));
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER));
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, true));
  EXPECT_EQ(t.typed, "\x1b\r");
}

TEST(NameTyping, TextKeepsWhatANameCanHold) {
  Typist t;
  t.Begin({});
  t.Send(Text("Müller"));
  t.Send(Text("東"));
  t.Send(Key(SDL_KEYDOWN, SDL_SCANCODE_A, SDLK_a));  // letters come as text, not as keys
  EXPECT_EQ(t.typed, "Muller");
}

}  // namespace
}  // namespace zt
