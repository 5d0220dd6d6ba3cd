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
                 return static_cast<int32_t>(
                     SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(static_cast<SDL_GameController*>(handle))));
               },
               [](void* handle, Button button) {
                 return SDL_GameControllerGetButton(static_cast<SDL_GameController*>(handle), SdlButton(button)) != 0;
               },
               [](void* handle, bool vertical) {
                 return SDL_GameControllerGetAxis(static_cast<SDL_GameController*>(handle),
                                                  vertical ? SDL_CONTROLLER_AXIS_LEFTY : SDL_CONTROLLER_AXIS_LEFTX);
               }} {}

SdlGamepads::~SdlGamepads() {
  for (const Pad& pad : pads_) sources_.Close(pad.Handle);
}

void SdlGamepads::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: {
      void* handle = sources_.Open(event.cdevice.which);  // a device index
      if (handle == nullptr) return;
      const int32_t id = sources_.InstanceId(handle);
      if (FindPad(id) != pads_.end()) {  // SDL counts opens: give back the one just taken
        sources_.Close(handle);
        return;
      }
      pads_.push_back(Pad{handle, id, {}, {}, {}});
      return;
    }
    case SDL_CONTROLLERDEVICEREMOVED: {
      const auto gone = FindPad(event.cdevice.which);  // an instance id
      if (gone == pads_.end()) return;
      sources_.Close(gone->Handle);
      pads_.erase(gone);
      return;
    }
    case SDL_CONTROLLERBUTTONDOWN: {
      const auto pad = FindPad(event.cbutton.which);
      if (pad == pads_.end()) return;
      for (int button = 0; button < kButtonCount; ++button)
        if (SdlButton(static_cast<Button>(button)) == event.cbutton.button) pad->Tapped[button] = true;
      return;
    }
    case SDL_CONTROLLERAXISMOTION: {
      const auto pad = FindPad(event.caxis.which);
      if (pad == pads_.end()) return;
      if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX || event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY)
        LeanStick(*pad, event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY, event.caxis.value);
      return;
    }
    default:
      return;
  }
}

void SdlGamepads::LeanStick(Pad& pad, bool vertical, int32_t value) {
  const size_t negative = vertical ? 2 : 0;  // left or up; the direction after it is right or down
  for (const size_t direction : {negative, negative + 1}) {
    const bool held = StickDirection(direction == negative ? -value : value, pad.StickHeld[direction]);
    if (held && !pad.StickHeld[direction]) pad.StickTapped[direction] = true;
    pad.StickHeld[direction] = held;
  }
}

std::vector<SdlGamepads::Pad>::iterator SdlGamepads::FindPad(int32_t instanceId) {
  return std::find_if(pads_.begin(), pads_.end(),
                      [instanceId](const Pad& pad) { return pad.InstanceId == instanceId; });
}

void SdlGamepads::AddKeys(KeySnapshot& state) {
  auto press = [&state](uint8_t key) { state[key] = 0x80; };
  for (Pad& pad : pads_) {
    LeanStick(pad, false, sources_.LeftStick(pad.Handle, false));
    LeanStick(pad, true, sources_.LeftStick(pad.Handle, true));
    auto pressed = [&](Button button) { return pad.Tapped[button] || sources_.Pressed(pad.Handle, button); };
    auto leant = [&pad](size_t direction) { return pad.StickHeld[direction] || pad.StickTapped[direction]; };

    if (pressed(kDpadLeft) || leant(0)) press(DIK_LEFT);
    if (pressed(kDpadRight) || leant(1)) press(DIK_RIGHT);
    if (pressed(kDpadUp) || leant(2)) press(DIK_UP);
    if (pressed(kDpadDown) || leant(3)) press(DIK_DOWN);
    if (pressed(kA)) press(menuMode_ ? DIK_RETURN : DIK_UP);
    if (pressed(kB)) press(DIK_SPACE);
    if (pressed(kX)) press(DIK_LCONTROL);
    if (pressed(kStart)) press(DIK_P);
    if (pressed(kBack)) press(DIK_ESCAPE);
  }
  DropPendingPresses();
}

void SdlGamepads::DropPendingPresses() {
  for (Pad& pad : pads_) {
    pad.Tapped.fill(false);
    pad.StickTapped.fill(false);
  }
}

}  // namespace zt
