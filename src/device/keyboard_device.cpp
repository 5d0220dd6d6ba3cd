#include "device/keyboard_device.h"

namespace zt {

bool DIInit(Keyboard& keyboard) {
  DIFree(keyboard);
  if (keyboard.Device == nullptr) return false;
  keyboard.InputCreated = Succeeded(keyboard.Device->CreateInput());
  return keyboard.InputCreated;
}

bool DICreateKeyboard(Keyboard& keyboard) {
  if (keyboard.KeyboardCreated) {
    keyboard.Device->ReleaseKeyboard();
    keyboard.KeyboardCreated = false;
  }
  if (!keyboard.InputCreated) return false;
  keyboard.KeyboardCreated = Succeeded(keyboard.Device->CreateKeyboard());
  return keyboard.KeyboardCreated;
}

bool DIAcquireKeyboard(Keyboard& keyboard, bool acquire) {
  if (!keyboard.KeyboardCreated) return false;
  return Succeeded(acquire ? keyboard.Device->Acquire() : keyboard.Device->Unacquire());
}

bool DIUpdateKeyboard(Keyboard& keyboard) {
  if (!keyboard.KeyboardCreated) return false;
  HRESULT result = keyboard.Device->GetDeviceState(keyboard.KeyState);
  if (result == DIERR_INPUTLOST) {
    result = keyboard.Device->Acquire();
    if (Succeeded(result)) result = keyboard.Device->GetDeviceState(keyboard.KeyState);
  }
  return Succeeded(result);
}

bool DIKeyDown(const Keyboard& keyboard, uint8_t key) { return (keyboard.KeyState[key] & 0x80) == 0x80; }

void DIDropPendingPresses(Keyboard& keyboard) {
  if (keyboard.KeyboardCreated) keyboard.Device->DropPendingPresses();
}

void DIFree(Keyboard& keyboard) {
  if (!keyboard.InputCreated) return;
  if (keyboard.KeyboardCreated) {
    keyboard.Device->Unacquire();
    keyboard.Device->ReleaseKeyboard();
    keyboard.KeyboardCreated = false;
  }
  keyboard.Device->ReleaseInput();
  keyboard.InputCreated = false;
}

HRESULT ScriptedKeyboard::Acquire() {
  if (acquireFails) return DIERR_GENERIC;
  acquired = true;
  return DI_OK;
}

HRESULT ScriptedKeyboard::GetDeviceState(KeySnapshot& state) {
  ++reads;
  if (inputLost) {
    inputLost = false;
    acquired = false;
    return DIERR_INPUTLOST;
  }
  if (!acquired) return DIERR_NOTACQUIRED;
  state = keys;
  return DI_OK;
}

}  // namespace zt
