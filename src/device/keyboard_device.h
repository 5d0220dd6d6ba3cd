// The polled keyboard: one 256-byte snapshot per poll, indexed by DirectInput key
// codes (DIK), a key being down when bit 7 of its byte is set.
//
// KeyboardDevice is what a backend offers (create, acquire, read a snapshot);
// Keyboard is the wrapper the game polls through, with the retry-once rule for lost input.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/key_bindings.h"
#include "device/hresult.h"

namespace zt {

using KeySnapshot = std::array<uint8_t, 256>;

// A key or controller button as the player pressed it, before any binding.
struct InputPress {
  bool FromPad = false;
  BoundInput Input;
};

// DirectInput key codes the game reads.
enum Dik : uint8_t {
  DIK_ESCAPE = 1,
  DIK_TAB = 15,
  DIK_Y = 21,
  DIK_P = 25,
  DIK_RETURN = 28,
  DIK_LCONTROL = 29,
  DIK_N = 49,
  DIK_SPACE = 57,
  DIK_RCONTROL = 157,
  DIK_PAUSE = 197,
  DIK_UP = 200,
  DIK_LEFT = 203,
  DIK_RIGHT = 205,
  DIK_DOWN = 208,
  // No key: set in every snapshot in which a game controller presses or holds anything, so the
  // menus can tell that the player uses one.
  DIK_PADINPUT = 255,
};

class KeyboardDevice {
 public:
  virtual ~KeyboardDevice() = default;
  virtual HRESULT CreateInput() = 0;  // the input system object
  virtual void ReleaseInput() = 0;
  virtual HRESULT CreateKeyboard() = 0;  // device, data format, cooperative level
  virtual void ReleaseKeyboard() = 0;
  virtual HRESULT Acquire() = 0;
  virtual HRESULT Unacquire() = 0;
  virtual HRESULT GetDeviceState(KeySnapshot& state) = 0;
  // Forgets the presses kept for the next read: the frame skips its poll while a fade locks
  // the input, and keys pressed then must have no effect. A device without such presses
  // has nothing to forget.
  virtual void DropPendingPresses() {}
  // From now on the keys and buttons the player bound give their actions' key codes in the
  // snapshots. A device that plays back snapshots has them bound already.
  virtual void UseBindings(const KeyBindings&) {}
  // The last key or button pressed since the last call, then forgets it (the controls page
  // waits for one). A device that plays back snapshots has none.
  virtual std::optional<InputPress> TakeLastPress() { return std::nullopt; }
};

// The wrapper's state and operations. Every operation answers true on success.
struct Keyboard {
  KeyboardDevice* Device = nullptr;
  bool InputCreated = false;
  bool KeyboardCreated = false;
  KeySnapshot KeyState{};      // the last successful read
  bool KeyboardReady = false;  // set once created and acquired; never cleared
};

bool DIInit(Keyboard& keyboard);
bool DICreateKeyboard(Keyboard& keyboard);
bool DIAcquireKeyboard(Keyboard& keyboard, bool acquire);
bool DIUpdateKeyboard(Keyboard& keyboard);
bool DIKeyDown(const Keyboard& keyboard, uint8_t key);
void DIDropPendingPresses(Keyboard& keyboard);  // in place of a poll the frame skips
void DIFree(Keyboard& keyboard);

// A keyboard that plays back snapshots set by a test or a replay.
class ScriptedKeyboard final : public KeyboardDevice {
 public:
  HRESULT CreateInput() override { return createInputResult; }
  void ReleaseInput() override { ++inputReleases; }
  HRESULT CreateKeyboard() override { return createKeyboardResult; }
  void ReleaseKeyboard() override { ++keyboardReleases; }
  HRESULT Acquire() override;
  HRESULT Unacquire() override {
    acquired = false;
    return DI_OK;
  }
  HRESULT GetDeviceState(KeySnapshot& state) override;

  void Press(uint8_t key) { keys[key] = 0x80; }
  void ReleaseAll() { keys.fill(0); }

  KeySnapshot keys{};
  bool acquired = false;
  bool inputLost = false;  // the next read reports lost input
  bool acquireFails = false;
  HRESULT createInputResult = DI_OK;
  HRESULT createKeyboardResult = DI_OK;
  int inputReleases = 0;
  int keyboardReleases = 0;
  int reads = 0;
};

}  // namespace zt
