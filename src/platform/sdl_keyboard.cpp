#include "platform/sdl_keyboard.h"

#include <SDL.h>

#include <algorithm>
#include <array>
#include <utility>

#include "platform/sdl_gamepads.h"

namespace zt {

namespace {

struct KeyPair {
  SDL_Scancode scancode;
  uint8_t dik;
};

constexpr KeyPair kKeys[] = {
    {SDL_SCANCODE_ESCAPE, 1},
    {SDL_SCANCODE_1, 2},
    {SDL_SCANCODE_2, 3},
    {SDL_SCANCODE_3, 4},
    {SDL_SCANCODE_4, 5},
    {SDL_SCANCODE_5, 6},
    {SDL_SCANCODE_6, 7},
    {SDL_SCANCODE_7, 8},
    {SDL_SCANCODE_8, 9},
    {SDL_SCANCODE_9, 10},
    {SDL_SCANCODE_0, 11},
    {SDL_SCANCODE_MINUS, 12},
    {SDL_SCANCODE_EQUALS, 13},
    {SDL_SCANCODE_BACKSPACE, 14},
    {SDL_SCANCODE_TAB, 15},
    {SDL_SCANCODE_Q, 16},
    {SDL_SCANCODE_W, 17},
    {SDL_SCANCODE_E, 18},
    {SDL_SCANCODE_R, 19},
    {SDL_SCANCODE_T, 20},
    {SDL_SCANCODE_Y, 21},
    {SDL_SCANCODE_U, 22},
    {SDL_SCANCODE_I, 23},
    {SDL_SCANCODE_O, 24},
    {SDL_SCANCODE_P, 25},
    {SDL_SCANCODE_LEFTBRACKET, 26},
    {SDL_SCANCODE_RIGHTBRACKET, 27},
    {SDL_SCANCODE_RETURN, 28},
    {SDL_SCANCODE_LCTRL, 29},
    {SDL_SCANCODE_A, 30},
    {SDL_SCANCODE_S, 31},
    {SDL_SCANCODE_D, 32},
    {SDL_SCANCODE_F, 33},
    {SDL_SCANCODE_G, 34},
    {SDL_SCANCODE_H, 35},
    {SDL_SCANCODE_J, 36},
    {SDL_SCANCODE_K, 37},
    {SDL_SCANCODE_L, 38},
    {SDL_SCANCODE_SEMICOLON, 39},
    {SDL_SCANCODE_APOSTROPHE, 40},
    {SDL_SCANCODE_GRAVE, 41},
    {SDL_SCANCODE_LSHIFT, 42},
    {SDL_SCANCODE_BACKSLASH, 43},
    {SDL_SCANCODE_Z, 44},
    {SDL_SCANCODE_X, 45},
    {SDL_SCANCODE_C, 46},
    {SDL_SCANCODE_V, 47},
    {SDL_SCANCODE_B, 48},
    {SDL_SCANCODE_N, 49},
    {SDL_SCANCODE_M, 50},
    {SDL_SCANCODE_COMMA, 51},
    {SDL_SCANCODE_PERIOD, 52},
    {SDL_SCANCODE_SLASH, 53},
    {SDL_SCANCODE_RSHIFT, 54},
    {SDL_SCANCODE_KP_MULTIPLY, 55},
    {SDL_SCANCODE_LALT, 56},
    {SDL_SCANCODE_SPACE, 57},
    {SDL_SCANCODE_CAPSLOCK, 58},
    {SDL_SCANCODE_F1, 59},
    {SDL_SCANCODE_F2, 60},
    {SDL_SCANCODE_F3, 61},
    {SDL_SCANCODE_F4, 62},
    {SDL_SCANCODE_F5, 63},
    {SDL_SCANCODE_F6, 64},
    {SDL_SCANCODE_F7, 65},
    {SDL_SCANCODE_F8, 66},
    {SDL_SCANCODE_F9, 67},
    {SDL_SCANCODE_F10, 68},
    {SDL_SCANCODE_NUMLOCKCLEAR, 69},
    {SDL_SCANCODE_SCROLLLOCK, 70},
    {SDL_SCANCODE_KP_7, 71},
    {SDL_SCANCODE_KP_8, 72},
    {SDL_SCANCODE_KP_9, 73},
    {SDL_SCANCODE_KP_MINUS, 74},
    {SDL_SCANCODE_KP_4, 75},
    {SDL_SCANCODE_KP_5, 76},
    {SDL_SCANCODE_KP_6, 77},
    {SDL_SCANCODE_KP_PLUS, 78},
    {SDL_SCANCODE_KP_1, 79},
    {SDL_SCANCODE_KP_2, 80},
    {SDL_SCANCODE_KP_3, 81},
    {SDL_SCANCODE_KP_0, 82},
    {SDL_SCANCODE_KP_PERIOD, 83},
    {SDL_SCANCODE_NONUSBACKSLASH, 86},
    {SDL_SCANCODE_F11, 87},
    {SDL_SCANCODE_F12, 88},
    {SDL_SCANCODE_F13, 100},
    {SDL_SCANCODE_F14, 101},
    {SDL_SCANCODE_F15, 102},
    {SDL_SCANCODE_KP_EQUALS, 141},
    {SDL_SCANCODE_KP_ENTER, 156},
    {SDL_SCANCODE_RCTRL, 157},
    {SDL_SCANCODE_MUTE, 160},
    {SDL_SCANCODE_VOLUMEDOWN, 174},
    {SDL_SCANCODE_VOLUMEUP, 176},
    {SDL_SCANCODE_KP_DIVIDE, 181},
    {SDL_SCANCODE_PRINTSCREEN, 183},
    {SDL_SCANCODE_RALT, 184},
    {SDL_SCANCODE_PAUSE, 197},
    {SDL_SCANCODE_HOME, 199},
    {SDL_SCANCODE_UP, 200},
    {SDL_SCANCODE_PAGEUP, 201},
    {SDL_SCANCODE_LEFT, 203},
    {SDL_SCANCODE_RIGHT, 205},
    {SDL_SCANCODE_END, 207},
    {SDL_SCANCODE_DOWN, 208},
    {SDL_SCANCODE_PAGEDOWN, 209},
    {SDL_SCANCODE_INSERT, 210},
    {SDL_SCANCODE_DELETE, 211},
    {SDL_SCANCODE_LGUI, 219},
    {SDL_SCANCODE_RGUI, 220},
    {SDL_SCANCODE_APPLICATION, 221},
    {SDL_SCANCODE_POWER, 222},
    {SDL_SCANCODE_SLEEP, 223},
};

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> MakeTable() {
  std::array<uint8_t, SDL_NUM_SCANCODES> table{};
  for (const KeyPair& key : kKeys) table[key.scancode] = key.dik;
  return table;
}

constexpr std::array<uint8_t, SDL_NUM_SCANCODES> kDikFromScancode = MakeTable();
static_assert(SDL_NUM_SCANCODES == kScancodeCount);

}  // namespace

uint8_t DikFromScancode(int scancode) {
  if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return 0;
  return kDikFromScancode[static_cast<size_t>(scancode)];
}

std::array<uint8_t, kScancodeCount> BoundKeyCodes(const KeyBindings& bindings) {
  std::array<uint8_t, kScancodeCount> codes = kDikFromScancode;
  for (size_t action = 0; action < kGameActionCount; ++action) {
    if (!KeysRemapped(bindings, action)) continue;
    for (uint8_t& code : codes)
      if (IsActionKeyCode(action, code)) code = 0;
  }
  for (size_t action = 0; action < kGameActionCount; ++action) {
    if (!KeysRemapped(bindings, action)) continue;
    for (const BoundInput& key : EffectiveKeys(bindings, action))
      if (key.Code >= 0 && key.Code < SDL_NUM_SCANCODES) codes[static_cast<size_t>(key.Code)] = ActionKeyCode(action);
  }
  return codes;
}

SdlKeyboard::SdlKeyboard(SDL_Window* window)
    : SdlKeyboard(Sources{
          [](int& count) { return static_cast<const uint8_t*>(SDL_GetKeyboardState(&count)); },
          [window] { return window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_INPUT_FOCUS) != 0; }}) {}

SdlKeyboard::SdlKeyboard(Sources sources) : sources_(std::move(sources)), keyCodes_(kDikFromScancode) {}

void SdlKeyboard::UseBindings(const KeyBindings& bindings) {
  bindings_ = bindings;
  keyCodes_ = BoundKeyCodes(bindings);
  if (gamepads_ != nullptr) gamepads_->UseButtons(bindings.Buttons);
}

void SdlKeyboard::SetGamepads(SdlGamepads* gamepads) {
  gamepads_ = gamepads;
  if (gamepads_ != nullptr) gamepads_->UseButtons(bindings_.Buttons);
}

std::optional<InputPress> SdlKeyboard::TakeLastPress() { return std::exchange(lastPress_, std::nullopt); }

HRESULT SdlKeyboard::CreateInput() {
  inputCreated_ = true;
  return DI_OK;
}

void SdlKeyboard::ReleaseInput() {
  ReleaseKeyboard();
  inputCreated_ = false;
}

HRESULT SdlKeyboard::CreateKeyboard() {
  if (!inputCreated_) return DIERR_GENERIC;
  keyboardCreated_ = true;
  acquired_ = false;
  return DI_OK;
}

void SdlKeyboard::ReleaseKeyboard() {
  keyboardCreated_ = false;
  acquired_ = false;
}

// Acquiring succeeds in the background too: a window that has not got the focus yet when the
// loading sequence acquires the keyboard must not end the game. Reads are what need the
// focus: without it every read reports lost input, so no key is taken from the background.
HRESULT SdlKeyboard::Acquire() {
  if (!keyboardCreated_) return DIERR_NOTACQUIRED;
  acquired_ = true;
  focusLost_ = false;
  // Only presses made since reach a poll. Losing the focus costs the acquisition, so a tap
  // from before the focus went is never read either.
  DropPendingPresses();
  return DI_OK;
}

HRESULT SdlKeyboard::Unacquire() {
  acquired_ = false;
  return DI_OK;
}

HRESULT SdlKeyboard::GetDeviceState(KeySnapshot& state) {
  if (!keyboardCreated_ || !acquired_) return DIERR_NOTACQUIRED;
  if (focusLost_ || !sources_.HasFocus()) {
    acquired_ = false;
    focusLost_ = false;
    return DIERR_INPUTLOST;
  }
  int count = 0;
  const uint8_t* keys = sources_.KeyState(count);
  state.fill(0);
  for (int scancode = 0; keys != nullptr && scancode < count && scancode < SDL_NUM_SCANCODES; ++scancode) {
    const uint8_t dik = keyCodes_[static_cast<size_t>(scancode)];
    if (dik != 0 && keys[scancode] != 0) state[dik] = 0x80;
  }
  for (size_t key = 0; key < state.size(); ++key) state[key] = ReadKey(key, state[key] != 0);
  if (gamepads_ != nullptr) gamepads_->AddKeys(state);
  return DI_OK;
}

// Each press since the last poll is one down reading, even when the key was let go again
// before the poll; presses that came quicker than the polls are read one a poll, with an up
// reading between them so that each is a press of its own.
uint8_t SdlKeyboard::ReadKey(size_t key, bool held) {
  uint8_t& presses = pendingPresses_[key];
  bool down = held;
  if (reportedDown_[key] && presses > 0) {
    down = false;  // let go and pressed again since the last poll: up first
  } else if (!reportedDown_[key] && presses > 0) {
    down = true;
    --presses;
  }
  reportedDown_[key] = down;
  return down ? 0x80 : 0;
}

void SdlKeyboard::DropPendingPresses() {
  pendingPresses_.fill(0);
  if (gamepads_ != nullptr) gamepads_->DropPendingPresses();
}

void SdlKeyboard::HandleEvent(const SDL_Event& event) {
  if (event.type == SDL_KEYDOWN && event.key.repeat == 0) {
    const SDL_Scancode scancode = event.key.keysym.scancode;
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return;
    lastPress_ = InputPress{false, {scancode, SDL_GetScancodeName(scancode)}};
    const uint8_t dik = keyCodes_[static_cast<size_t>(scancode)];
    if (dik != 0 && pendingPresses_[dik] < kMostPendingPresses) ++pendingPresses_[dik];
  } else if (event.type == SDL_CONTROLLERBUTTONDOWN) {
    const auto button = static_cast<SDL_GameControllerButton>(event.cbutton.button);
    const char* name = SDL_GameControllerGetStringForButton(button);
    if (name != nullptr) lastPress_ = InputPress{true, {button, name}};
  } else if (event.type == SDL_WINDOWEVENT &&
             (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST || event.window.event == SDL_WINDOWEVENT_MINIMIZED)) {
    focusLost_ = true;
  }
}

}  // namespace zt
