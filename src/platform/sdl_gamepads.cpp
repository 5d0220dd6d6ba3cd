#include "platform/sdl_gamepads.h"

#include <SDL.h>

#include <algorithm>

namespace zt {

namespace {

SDL_GameControllerButton SdlButton(SdlGamepads::Button button) { return static_cast<SDL_GameControllerButton>(button); }

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
      if (event.cbutton.button < kButtonCount) pad->Tapped[event.cbutton.button] = true;
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

std::array<uint8_t, SdlGamepads::kButtonCount> SdlGamepads::ButtonKeys() const {
  std::array<uint8_t, kButtonCount> keys{};
  keys[kDpadUp] = DIK_UP;
  keys[kDpadDown] = DIK_DOWN;
  keys[kDpadLeft] = DIK_LEFT;
  keys[kDpadRight] = DIK_RIGHT;
  keys[kBack] = DIK_ESCAPE;
  switch (mode_) {
    case PadMode::kGame:
      keys[kA] = DIK_UP;
      keys[kB] = DIK_SPACE;
      keys[kX] = DIK_LCONTROL;
      keys[kStart] = DIK_P;
      break;
    case PadMode::kMenu:
      keys[kA] = keys[kStart] = DIK_RETURN;
      keys[kB] = DIK_SPACE;
      keys[kX] = DIK_LCONTROL;
      keys[kY] = DIK_TAB;  // the high scores' statistics
      break;
    case PadMode::kAbortQuestion:
      keys[kA] = DIK_Y;
      keys[kB] = DIK_N;
      return keys;
    case PadMode::kNameEntry:
      keys[kA] = DIK_RIGHT;
      keys[kB] = DIK_LEFT;
      keys[kStart] = DIK_RETURN;
      return keys;
  }
  // A bound action's own buttons give it no longer; the buttons bound to it do.
  for (size_t action = 0; action < kGameActionCount; ++action) {
    if (bound_[action].empty()) continue;
    std::replace(keys.begin(), keys.end(), ActionKeyCode(action), uint8_t{0});
  }
  for (size_t action = 0; action < kGameActionCount; ++action)
    for (const BoundInput& button : bound_[action])
      if (button.Code >= 0 && button.Code < kButtonCount)
        keys[static_cast<size_t>(button.Code)] = ActionKeyCode(action);
  return keys;
}

void SdlGamepads::AddKeys(KeySnapshot& state) {
  auto press = [&state](uint8_t key) { state[key] = 0x80; };
  const std::array<uint8_t, kButtonCount> buttonKeys = ButtonKeys();
  for (Pad& pad : pads_) {
    LeanStick(pad, false, sources_.LeftStick(pad.Handle, false));
    LeanStick(pad, true, sources_.LeftStick(pad.Handle, true));
    auto leant = [&pad](size_t direction) { return pad.StickHeld[direction] || pad.StickTapped[direction]; };
    bool used = false;
    for (int button = 0; button < kButtonCount; ++button) {
      if (buttonKeys[button] == 0) continue;
      if (!pad.Tapped[button] && !sources_.Pressed(pad.Handle, static_cast<Button>(button))) continue;
      used = true;
      press(buttonKeys[button]);
    }
    constexpr std::array<uint8_t, 4> kStickKeys = {DIK_LEFT, DIK_RIGHT, DIK_UP, DIK_DOWN};
    for (size_t direction = 0; direction < kStickKeys.size(); ++direction) {
      if (!leant(direction)) continue;
      used = true;
      press(kStickKeys[direction]);
    }
    if (used) press(DIK_PADINPUT);
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
