#include "platform/sdl_gamepads.h"

#include <SDL.h>

#include <algorithm>

namespace zt {

namespace {

SDL_GameControllerButton SdlButton(SdlGamepads::Button button) {
  switch (button) {
    case SdlGamepads::kA:
      return SDL_CONTROLLER_BUTTON_A;
    case SdlGamepads::kB:
      return SDL_CONTROLLER_BUTTON_B;
    case SdlGamepads::kX:
      return SDL_CONTROLLER_BUTTON_X;
    case SdlGamepads::kStart:
      return SDL_CONTROLLER_BUTTON_START;
    case SdlGamepads::kBack:
      return SDL_CONTROLLER_BUTTON_BACK;
    case SdlGamepads::kDpadUp:
      return SDL_CONTROLLER_BUTTON_DPAD_UP;
    case SdlGamepads::kDpadDown:
      return SDL_CONTROLLER_BUTTON_DPAD_DOWN;
    case SdlGamepads::kDpadLeft:
      return SDL_CONTROLLER_BUTTON_DPAD_LEFT;
    case SdlGamepads::kDpadRight:
      return SDL_CONTROLLER_BUTTON_DPAD_RIGHT;
    default:
      return SDL_CONTROLLER_BUTTON_INVALID;
  }
}

// One stick direction with its hysteresis: `value` is how far the stick leans that way.
bool StickDirection(int32_t value, bool held) { return held ? value >= kStickRelease : value > kStickPress; }

}  // namespace

SdlGamepads::SdlGamepads()
    : sources_{[](int deviceIndex) -> void* {
                 return SDL_IsGameController(deviceIndex) ? SDL_GameControllerOpen(deviceIndex) : nullptr;
               },
               [](void* handle) { SDL_GameControllerClose(static_cast<SDL_GameController*>(handle)); },
               [](void* handle) {
                 return static_cast<int32_t>(SDL_JoystickInstanceID(
                     SDL_GameControllerGetJoystick(static_cast<SDL_GameController*>(handle))));
               },
               [](void* handle, Button button) {
                 return SDL_GameControllerGetButton(static_cast<SDL_GameController*>(handle),
                                                    SdlButton(button)) != 0;
               },
               [](void* handle, bool vertical) {
                 return SDL_GameControllerGetAxis(
                     static_cast<SDL_GameController*>(handle),
                     vertical ? SDL_CONTROLLER_AXIS_LEFTY : SDL_CONTROLLER_AXIS_LEFTX);
               }} {}

SdlGamepads::~SdlGamepads() {
  for (const Pad& pad : pads_) sources_.Close(pad.Handle);
}

void SdlGamepads::HandleEvent(const SDL_Event& event) {
  if (event.type == SDL_CONTROLLERDEVICEADDED) {
    void* handle = sources_.Open(event.cdevice.which);  // a device index
    if (handle == nullptr) return;
    const int32_t id = sources_.InstanceId(handle);
    const bool known =
        std::any_of(pads_.begin(), pads_.end(), [id](const Pad& pad) { return pad.InstanceId == id; });
    if (known) {  // SDL counts opens: give back the one just taken
      sources_.Close(handle);
      return;
    }
    pads_.push_back(Pad{handle, id, {}});
  } else if (event.type == SDL_CONTROLLERDEVICEREMOVED) {
    const int32_t id = event.cdevice.which;  // an instance id
    auto gone =
        std::find_if(pads_.begin(), pads_.end(), [id](const Pad& pad) { return pad.InstanceId == id; });
    if (gone == pads_.end()) return;
    sources_.Close(gone->Handle);
    pads_.erase(gone);
  }
}

void SdlGamepads::AddKeys(KeySnapshot& state) {
  auto press = [&state](uint8_t key) { state[key] = 0x80; };
  for (Pad& pad : pads_) {
    auto pressed = [&](Button button) { return sources_.Pressed(pad.Handle, button); };
    const int32_t x = sources_.LeftStick(pad.Handle, false), y = sources_.LeftStick(pad.Handle, true);
    pad.StickHeld[0] = StickDirection(-x, pad.StickHeld[0]);
    pad.StickHeld[1] = StickDirection(x, pad.StickHeld[1]);
    pad.StickHeld[2] = StickDirection(-y, pad.StickHeld[2]);
    pad.StickHeld[3] = StickDirection(y, pad.StickHeld[3]);

    if (pressed(kDpadLeft) || pad.StickHeld[0]) press(DIK_LEFT);
    if (pressed(kDpadRight) || pad.StickHeld[1]) press(DIK_RIGHT);
    if (pressed(kDpadUp) || pad.StickHeld[2]) press(DIK_UP);
    if (pressed(kDpadDown) || pad.StickHeld[3]) press(DIK_DOWN);
    if (pressed(kA)) press(menuMode_ ? DIK_RETURN : DIK_UP);
    if (pressed(kB)) press(DIK_SPACE);
    if (pressed(kX)) press(DIK_LCONTROL);
    if (pressed(kStart)) press(DIK_P);
    if (pressed(kBack)) press(DIK_ESCAPE);
  }
}

}  // namespace zt
