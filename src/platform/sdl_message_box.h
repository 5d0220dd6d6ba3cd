// Message boxes shown by SDL, owned by the program's window when there is one.
#pragma once

#include "device/message_box.h"

struct SDL_Window;

namespace zt {

class SdlMessageBox final : public MessageBox {
 public:
  explicit SdlMessageBox(SDL_Window* owner = nullptr) : owner_(owner) {}
  void SetOwner(SDL_Window* owner) { owner_ = owner; }
  // Blocks until closed; without any display the text goes to the error output.
  void Show(const std::string& caption, const std::string& text) override;

 private:
  SDL_Window* owner_;
};

}  // namespace zt
