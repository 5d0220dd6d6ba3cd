#include "platform/sdl_input_names.h"

#include <SDL.h>

namespace zt {

std::optional<BoundInput> SdlInputNames::Key(const std::string& name) const {
  const SDL_Scancode scancode = SDL_GetScancodeFromName(name.c_str());
  if (scancode == SDL_SCANCODE_UNKNOWN) return std::nullopt;
  return BoundInput{scancode, SDL_GetScancodeName(scancode)};
}

std::optional<BoundInput> SdlInputNames::Button(const std::string& name) const {
  const SDL_GameControllerButton button = SDL_GameControllerGetButtonFromString(name.c_str());
  if (button == SDL_CONTROLLER_BUTTON_INVALID) return std::nullopt;
  return BoundInput{button, SDL_GameControllerGetStringForButton(button)};
}

}  // namespace zt
