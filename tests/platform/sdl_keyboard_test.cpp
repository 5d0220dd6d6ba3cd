#include "platform/sdl_keyboard.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>
#include <vector>

namespace zt {
namespace {

// An SDL key state array and a focus flag the test moves by hand.
struct FakeSdl {
  std::array<uint8_t, SDL_NUM_SCANCODES> keys{};
  bool focus = true;
  SdlKeyboard::Sources Sources() {
    return {[this](int& count) {
              count = SDL_NUM_SCANCODES;
              return static_cast<const uint8_t*>(keys.data());
            },
            [this] { return focus; }};
  }
};

SDL_Event KeyDown(SDL_Scancode scancode, bool repeat = false) {
  SDL_Event event{};
  event.type = SDL_KEYDOWN;
  event.key.keysym.scancode = scancode;
  event.key.repeat = repeat ? 1 : 0;
  return event;
}

SDL_Event WindowEvent(SDL_WindowEventID what) {
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = static_cast<uint8_t>(what);
  return event;
}

// A keyboard created and acquired on the fake, polled through the game's wrapper.
struct PolledKeyboard {
  FakeSdl sdl;
  SdlKeyboard device{sdl.Sources()};
  Keyboard keyboard;
  PolledKeyboard() {
    keyboard.Device = &device;
    EXPECT_TRUE(DIInit(keyboard));
    EXPECT_TRUE(DICreateKeyboard(keyboard));
    EXPECT_TRUE(DIAcquireKeyboard(keyboard, true));
  }
  bool Poll(uint8_t key) {
    EXPECT_TRUE(DIUpdateKeyboard(keyboard));
    return DIKeyDown(keyboard, key);
  }
};

// Scan codes and the DirectInput codes they must read as.
struct KeyCode {
  SDL_Scancode Scancode;
  int Dik;
};
void ExpectCodes(std::initializer_list<KeyCode> codes) {
  for (const KeyCode& code : codes)
    EXPECT_EQ(DikFromScancode(code.Scancode), code.Dik) << SDL_GetScancodeName(code.Scancode);
}

TEST(SdlKeyboardMapping, EveryGameKeyHasItsDirectInputCode) {
  ExpectCodes({{SDL_SCANCODE_ESCAPE, DIK_ESCAPE},
               {SDL_SCANCODE_Y, DIK_Y},
               {SDL_SCANCODE_P, DIK_P},
               {SDL_SCANCODE_RETURN, DIK_RETURN},
               {SDL_SCANCODE_LCTRL, DIK_LCONTROL},
               {SDL_SCANCODE_N, DIK_N},
               {SDL_SCANCODE_SPACE, DIK_SPACE},
               {SDL_SCANCODE_RCTRL, DIK_RCONTROL},
               {SDL_SCANCODE_PAUSE, DIK_PAUSE},
               {SDL_SCANCODE_UP, DIK_UP},
               {SDL_SCANCODE_LEFT, DIK_LEFT},
               {SDL_SCANCODE_RIGHT, DIK_RIGHT},
               {SDL_SCANCODE_DOWN, DIK_DOWN}});
}

TEST(SdlKeyboardMapping, TheRestOfTheKeyboardFollowsTheScanCodeLayout) {
  ExpectCodes({{SDL_SCANCODE_1, 2},
               {SDL_SCANCODE_0, 11},
               {SDL_SCANCODE_Q, 16},
               {SDL_SCANCODE_A, 30},
               {SDL_SCANCODE_Z, 44},
               {SDL_SCANCODE_M, 50},
               {SDL_SCANCODE_F1, 59},
               {SDL_SCANCODE_F10, 68},
               {SDL_SCANCODE_F11, 87},
               {SDL_SCANCODE_F12, 88},
               {SDL_SCANCODE_KP_7, 71},
               {SDL_SCANCODE_KP_0, 82},
               {SDL_SCANCODE_KP_ENTER, 156},
               {SDL_SCANCODE_KP_DIVIDE, 181},
               {SDL_SCANCODE_RALT, 184},
               {SDL_SCANCODE_DELETE, 211}});
  // Each code is given to one key only, and keys without a code read as 0.
  std::array<int, 256> uses{};
  for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) ++uses[DikFromScancode(scancode)];
  for (int dik = 1; dik < 256; ++dik) EXPECT_LE(uses[dik], 1) << dik;
  EXPECT_EQ(DikFromScancode(SDL_SCANCODE_AUDIOPLAY), 0);
  EXPECT_EQ(DikFromScancode(-1), 0);
  EXPECT_EQ(DikFromScancode(SDL_NUM_SCANCODES), 0);
}

TEST(SdlKeyboardDevice, OneSnapshotPerReadWithBitSevenForHeldKeys) {
  FakeSdl sdl;
  SdlKeyboard device(sdl.Sources());
  KeySnapshot state{};
  EXPECT_EQ(device.GetDeviceState(state), DIERR_NOTACQUIRED);
  ASSERT_EQ(device.CreateKeyboard(), DIERR_GENERIC);  // no input object yet
  ASSERT_EQ(device.CreateInput(), DI_OK);
  ASSERT_EQ(device.CreateKeyboard(), DI_OK);
  EXPECT_EQ(device.GetDeviceState(state), DIERR_NOTACQUIRED);
  ASSERT_EQ(device.Acquire(), DI_OK);
  sdl.keys[SDL_SCANCODE_LEFT] = 1;
  sdl.keys[SDL_SCANCODE_RCTRL] = 1;
  state.fill(0x55);
  ASSERT_EQ(device.GetDeviceState(state), DI_OK);
  EXPECT_EQ(state[DIK_LEFT], 0x80);
  EXPECT_EQ(state[DIK_RCONTROL], 0x80);
  EXPECT_EQ(state[DIK_RIGHT], 0);  // the whole snapshot is rewritten
  sdl.keys[SDL_SCANCODE_LEFT] = 0;
  ASSERT_EQ(device.GetDeviceState(state), DI_OK);
  EXPECT_EQ(state[DIK_LEFT], 0);
}

TEST(SdlKeyboardDevice, FocusLossLosesTheInputUntilTheFocusComesBack) {
  FakeSdl sdl;
  SdlKeyboard device(sdl.Sources());
  Keyboard keyboard;
  keyboard.Device = &device;
  ASSERT_TRUE(DIInit(keyboard));
  ASSERT_TRUE(DICreateKeyboard(keyboard));
  ASSERT_TRUE(DIAcquireKeyboard(keyboard, true));
  sdl.keys[SDL_SCANCODE_SPACE] = 1;
  ASSERT_TRUE(DIUpdateKeyboard(keyboard));
  EXPECT_TRUE(DIKeyDown(keyboard, DIK_SPACE));

  // In the background: every read reports lost input, also right after re-acquiring, so no
  // key is read; acquiring itself succeeds (a game loading in the background goes on).
  sdl.focus = false;
  KeySnapshot state{};
  EXPECT_EQ(device.GetDeviceState(state), DIERR_INPUTLOST);
  EXPECT_EQ(device.Acquire(), DI_OK);
  EXPECT_EQ(device.GetDeviceState(state), DIERR_INPUTLOST);
  EXPECT_FALSE(DIUpdateKeyboard(keyboard));
  EXPECT_TRUE(DIAcquireKeyboard(keyboard, true));
  EXPECT_FALSE(DIUpdateKeyboard(keyboard));

  // Back in front: acquiring works again.
  sdl.focus = true;
  ASSERT_TRUE(DIAcquireKeyboard(keyboard, true));
  EXPECT_TRUE(DIUpdateKeyboard(keyboard));

  // A focus loss seen only as an event between two polls: the next poll re-acquires
  // inside the same call and still delivers a snapshot.
  SDL_Event event{};
  event.type = SDL_WINDOWEVENT;
  event.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
  device.HandleEvent(event);
  sdl.keys[SDL_SCANCODE_SPACE] = 0;
  sdl.keys[SDL_SCANCODE_P] = 1;
  EXPECT_TRUE(DIUpdateKeyboard(keyboard));
  EXPECT_TRUE(DIKeyDown(keyboard, DIK_P));
  EXPECT_FALSE(DIKeyDown(keyboard, DIK_SPACE));

  // The same seen directly: lost once, then not acquired until acquired again.
  device.FocusLost();
  EXPECT_EQ(device.GetDeviceState(state), DIERR_INPUTLOST);
  EXPECT_EQ(device.GetDeviceState(state), DIERR_NOTACQUIRED);

  DIFree(keyboard);
  EXPECT_EQ(device.Acquire(), DIERR_NOTACQUIRED);
}

TEST(SdlKeyboardTaps, AKeyLetGoBeforeThePollReadsDownInItOnce) {
  PolledKeyboard keys;
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_LEFT));       // pressed and let go within one frame
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_AUDIOPLAY));  // no code: nothing to keep
  EXPECT_TRUE(keys.Poll(DIK_LEFT));
  EXPECT_EQ(std::count(keys.keyboard.KeyState.begin(), keys.keyboard.KeyState.end(), 0x80), 1);
  EXPECT_FALSE(keys.Poll(DIK_LEFT));
}

TEST(SdlKeyboardTaps, TapsQuickerThanThePollsAreReadOneAPollWithAnUpBetween) {
  PolledKeyboard keys;
  for (int tap = 0; tap < 3; ++tap) keys.device.HandleEvent(KeyDown(SDL_SCANCODE_DOWN));
  std::string readings;
  for (int poll = 0; poll < 7; ++poll) readings += keys.Poll(DIK_DOWN) ? 'v' : '-';
  EXPECT_EQ(readings, "v-v-v--");

  // Held, let go and pressed again between two polls, and held on: a new press too.
  keys.sdl.keys[SDL_SCANCODE_LEFT] = 1;
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_LEFT));
  EXPECT_TRUE(keys.Poll(DIK_LEFT));
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_LEFT));
  readings.clear();
  for (int poll = 0; poll < 3; ++poll) readings += keys.Poll(DIK_LEFT) ? 'v' : '-';
  EXPECT_EQ(readings, "-vv");

  // No more than the device keeps.
  for (int tap = 0; tap < 100; ++tap) keys.device.HandleEvent(KeyDown(SDL_SCANCODE_UP));
  int presses = 0;
  for (int poll = 0; poll < 250; ++poll) presses += keys.Poll(DIK_UP) ? 1 : 0;
  EXPECT_EQ(presses, 16);
}

TEST(SdlKeyboardTaps, AHeldKeyReadsAsTheKeyStateSaysAndItsRepeatsAreNoTaps) {
  PolledKeyboard keys;
  keys.sdl.keys[SDL_SCANCODE_DOWN] = 1;
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_DOWN));
  EXPECT_TRUE(keys.Poll(DIK_DOWN));
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_DOWN, true));
  EXPECT_TRUE(keys.Poll(DIK_DOWN));
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_DOWN, true));  // the last repeat, then let go
  keys.sdl.keys[SDL_SCANCODE_DOWN] = 0;
  EXPECT_FALSE(keys.Poll(DIK_DOWN));  // let go after the polls that saw it: up at once
}

TEST(SdlKeyboardTaps, TapsAreForgottenWhenDroppedOrWhenTheFocusGoes) {
  PolledKeyboard keys;
  keys.sdl.keys[SDL_SCANCODE_UP] = 1;  // held keys are no taps: a drop leaves them
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_RETURN));
  DIDropPendingPresses(keys.keyboard);  // what a frame that skips its poll does
  EXPECT_FALSE(keys.Poll(DIK_RETURN));
  EXPECT_TRUE(DIKeyDown(keys.keyboard, DIK_UP));
  keys.sdl.keys[SDL_SCANCODE_UP] = 0;

  // Tapped, then the window loses the focus or is minimised before the poll, which
  // acquires the keyboard again and reads: the tap is gone, one made after it is not.
  for (const SDL_WindowEventID lost : {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_MINIMIZED}) {
    keys.device.HandleEvent(KeyDown(SDL_SCANCODE_ESCAPE));
    keys.device.HandleEvent(WindowEvent(lost));
    EXPECT_FALSE(keys.Poll(DIK_ESCAPE)) << static_cast<int>(lost);
    keys.device.HandleEvent(KeyDown(SDL_SCANCODE_ESCAPE));
    EXPECT_TRUE(keys.Poll(DIK_ESCAPE)) << static_cast<int>(lost);
  }
  // A tap while the keyboard was not acquired.
  ASSERT_TRUE(DIAcquireKeyboard(keys.keyboard, false));
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_P));
  ASSERT_TRUE(DIAcquireKeyboard(keys.keyboard, true));
  EXPECT_FALSE(keys.Poll(DIK_P));

  // Other window events keep them.
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_P));
  keys.device.HandleEvent(WindowEvent(SDL_WINDOWEVENT_MOVED));
  EXPECT_TRUE(keys.Poll(DIK_P));
}

// The codes down in one poll of the keyboard with only `held` held.
std::vector<int> CodesWhileHeld(PolledKeyboard& keys, std::initializer_list<SDL_Scancode> held) {
  keys.sdl.keys.fill(0);
  for (SDL_Scancode scancode : held) keys.sdl.keys[scancode] = 1;
  EXPECT_TRUE(DIUpdateKeyboard(keys.keyboard));
  std::vector<int> down;
  for (int code = 0; code < 256; ++code)
    if (DIKeyDown(keys.keyboard, static_cast<uint8_t>(code))) down.push_back(code);
  return down;
}

TEST(SdlKeyboardBindings, ABoundKeyGivesItsActionsCodeAndTheKeysItReplacedGiveNothing) {
  using Codes = std::vector<int>;
  PolledKeyboard keys;
  KeyBindings bindings;
  bindings.Keys[kActionLeft] = {{SDL_SCANCODE_Q, "Q"}, {SDL_SCANCODE_A, "A"}};
  bindings.Keys[kActionTurn] = {{SDL_SCANCODE_SPACE, "Space"}};  // Drop's own key
  keys.device.UseBindings(bindings);
  EXPECT_EQ(CodesWhileHeld(keys, {SDL_SCANCODE_Q}), Codes{DIK_LEFT});
  EXPECT_EQ(CodesWhileHeld(keys, {SDL_SCANCODE_A}), Codes{DIK_LEFT});
  EXPECT_EQ(CodesWhileHeld(keys, {SDL_SCANCODE_LEFT}), Codes{});
  EXPECT_EQ(CodesWhileHeld(keys, {SDL_SCANCODE_SPACE}), Codes{DIK_UP});
  EXPECT_EQ(CodesWhileHeld(keys, {SDL_SCANCODE_UP}), Codes{});
  // Keys of actions left alone keep their codes, both Ctrl keys and Pause included.
  EXPECT_EQ(CodesWhileHeld(keys, {SDL_SCANCODE_RCTRL, SDL_SCANCODE_PAUSE, SDL_SCANCODE_W}),
            (Codes{17, DIK_RCONTROL, DIK_PAUSE}));

  // A tap of a bound key between two polls is kept under its action's code.
  keys.sdl.keys.fill(0);
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_A));
  EXPECT_TRUE(keys.Poll(DIK_LEFT));
  EXPECT_FALSE(keys.Poll(DIK_LEFT));

  bindings.Keys[kActionInstantDrop] = {{SDL_SCANCODE_W, "W"}};
  keys.device.UseBindings(bindings);
  EXPECT_EQ(CodesWhileHeld(keys, {SDL_SCANCODE_LCTRL, SDL_SCANCODE_RCTRL}), Codes{});
  EXPECT_EQ(CodesWhileHeld(keys, {SDL_SCANCODE_W}), Codes{DIK_LCONTROL});
  keys.device.UseBindings(KeyBindings{});  // back to the game's keys
  EXPECT_EQ(CodesWhileHeld(keys, {SDL_SCANCODE_LEFT, SDL_SCANCODE_Q}), (Codes{16, DIK_LEFT}));
}

TEST(SdlKeyboardBindings, TheLastKeyOrButtonPressedIsTakenOnceWithItsName) {
  PolledKeyboard keys;
  EXPECT_FALSE(keys.device.TakeLastPress());
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_A));
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_KP_4));
  keys.device.HandleEvent(KeyDown(SDL_SCANCODE_A, true));  // a repeat is no press
  std::optional<InputPress> press = keys.device.TakeLastPress();
  ASSERT_TRUE(press);
  EXPECT_FALSE(press->FromPad);
  EXPECT_EQ(press->Input.Code, SDL_SCANCODE_KP_4);
  EXPECT_EQ(press->Input.Name, "Keypad 4");
  EXPECT_FALSE(keys.device.TakeLastPress());

  SDL_Event button{};
  button.type = SDL_CONTROLLERBUTTONDOWN;
  button.cbutton.button = SDL_CONTROLLER_BUTTON_Y;
  keys.device.HandleEvent(button);
  press = keys.device.TakeLastPress();
  ASSERT_TRUE(press);
  EXPECT_TRUE(press->FromPad);
  EXPECT_EQ(press->Input.Code, SDL_CONTROLLER_BUTTON_Y);
  EXPECT_EQ(press->Input.Name, "y");
}

}  // namespace
}  // namespace zt
