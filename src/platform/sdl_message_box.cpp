#include "platform/sdl_message_box.h"

#include <SDL.h>

#include <cstdio>

namespace zt {

void SdlMessageBox::Show(const std::string& caption, const std::string& text) {
  if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_INFORMATION, caption.c_str(), text.c_str(), owner_) != 0)
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
}

}  // namespace zt
