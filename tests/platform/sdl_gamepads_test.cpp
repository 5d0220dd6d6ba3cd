#include "platform/sdl_gamepads.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "platform/sdl_keyboard.h"

namespace zt {
namespace {

// Controllers the test plugs in and moves by hand; a handle is the device's address.
struct FakeControllers {
  struct Device {
    int32_t id = 0;
    bool openable = true;
    int opens = 0;  // open handles, as SDL counts them
    std::array<bool, SdlGamepads::kButtonCount> buttons{};
    int16_t x = 0, y = 0;
  };
  std::vector<Device> devices;  // by device index

  explicit FakeControllers(int count) : devices(static_cast<size_t>(count)) {
    for (int n = 0; n < count; ++n) devices[static_cast<size_t>(n)].id = 100 + n;
  }
  SdlGamepads::Sources Sources() {
    return {[this](int index) -> void* {
              if (index < 0 || index >= static_cast<int>(devices.size()) || !devices[index].openable) return nullptr;
              ++devices[index].opens;
              return &devices[index];
            },
            [](void* handle) { --static_cast<Device*>(handle)->opens; },
            [](void* handle) { return static_cast<Device*>(handle)->id; },
            [](void* handle, SdlGamepads::Button button) { return static_cast<Device*>(handle)->buttons[button]; },
            [](void* handle, bool vertical) {
              const Device* device = static_cast<Device*>(handle);
              return vertical ? device->y : device->x;
            }};
  }
};

SDL_Event Added(int deviceIndex) {
  SDL_Event event{};
  event.type = SDL_CONTROLLERDEVICEADDED;
  event.cdevice.which = deviceIndex;
  return event;
}

SDL_Event Removed(int32_t instanceId) {
  SDL_Event event{};
  event.type = SDL_CONTROLLERDEVICEREMOVED;
  event.cdevice.which = instanceId;
  return event;
}

SDL_Event ButtonDown(int32_t instanceId, SDL_GameControllerButton button) {
  SDL_Event event{};
  event.type = SDL_CONTROLLERBUTTONDOWN;
  event.cbutton.which = instanceId;
  event.cbutton.button = static_cast<uint8_t>(button);
  return event;
}

SDL_Event AxisMotion(int32_t instanceId, SDL_GameControllerAxis axis, double part) {
  SDL_Event event{};
  event.type = SDL_CONTROLLERAXISMOTION;
  event.caxis.which = instanceId;
  event.caxis.axis = static_cast<uint8_t>(axis);
  event.caxis.value = static_cast<int16_t>(part * 32767);
  return event;
}

// The codes set in a snapshot the controllers alone filled; the mark of a controller in use
// comes with any of them.
std::vector<int> KeysDown(SdlGamepads& pads) {
  KeySnapshot state{};
  pads.AddKeys(state);
  std::vector<int> down;
  for (int key = 0; key < DIK_PADINPUT; ++key) {
    if (state[key] == 0x80)
      down.push_back(key);
    else
      EXPECT_EQ(state[key], 0) << key;
  }
  EXPECT_EQ(state[DIK_PADINPUT], down.empty() ? 0 : 0x80);
  return down;
}

using Keys = std::vector<int>;

TEST(GamepadButtons, EachButtonHoldsItsKeyAndAIsUpInTheGameButEnterInTheMenus) {
  FakeControllers fake(1);
  SdlGamepads pads(fake.Sources());
  pads.HandleEvent(Added(0));
  auto& buttons = fake.devices[0].buttons;
  EXPECT_EQ(KeysDown(pads), Keys{});

  pads.SetMode(PadMode::kGame);
  const std::pair<SdlGamepads::Button, int> inGame[] = {
      {SdlGamepads::kDpadUp, DIK_UP},       {SdlGamepads::kDpadDown, DIK_DOWN}, {SdlGamepads::kDpadLeft, DIK_LEFT},
      {SdlGamepads::kDpadRight, DIK_RIGHT}, {SdlGamepads::kA, DIK_UP},          {SdlGamepads::kB, DIK_SPACE},
      {SdlGamepads::kX, DIK_LCONTROL},      {SdlGamepads::kStart, DIK_P},       {SdlGamepads::kBack, DIK_ESCAPE}};
  for (const auto& [button, key] : inGame) {
    buttons.fill(false);
    buttons[button] = true;
    EXPECT_EQ(KeysDown(pads), Keys{key}) << "button " << button;
  }

  pads.SetMode(PadMode::kMenu);
  buttons.fill(false);
  buttons[SdlGamepads::kA] = true;
  EXPECT_EQ(KeysDown(pads), Keys{DIK_RETURN});  // Enter only: no turn of the menu's selection
  buttons[SdlGamepads::kDpadUp] = true;
  EXPECT_EQ(KeysDown(pads), (Keys{DIK_RETURN, DIK_UP}));

  // Held together they all come through, and the keyboard's own keys stay.
  pads.SetMode(PadMode::kGame);
  buttons.fill(true);
  KeySnapshot state{};
  state[DIK_Y] = 0x80;
  pads.AddKeys(state);
  for (int key : {DIK_UP, DIK_DOWN, DIK_LEFT, DIK_RIGHT, DIK_SPACE, DIK_LCONTROL, DIK_P, DIK_ESCAPE, DIK_Y})
    EXPECT_EQ(state[key], 0x80) << key;
  EXPECT_EQ(state[DIK_RETURN], 0);
}

TEST(GamepadButtons, TheAbortQuestionAndTheNameEntryGiveTheButtonsTheirOwnMeaning) {
  FakeControllers fake(1);
  SdlGamepads pads(fake.Sources());
  pads.HandleEvent(Added(0));
  auto& buttons = fake.devices[0].buttons;
  const auto only = [&buttons](SdlGamepads::Button button) {
    buttons.fill(false);
    buttons[button] = true;
  };
  pads.SetMode(PadMode::kMenu);
  only(SdlGamepads::kStart);
  EXPECT_EQ(KeysDown(pads), Keys{DIK_RETURN});  // Start confirms in the menus as A does
  only(SdlGamepads::kY);
  EXPECT_EQ(KeysDown(pads), Keys{DIK_TAB});  // the high scores' statistics, as Tab shows them

  pads.SetMode(PadMode::kAbortQuestion);
  only(SdlGamepads::kA);
  EXPECT_EQ(KeysDown(pads), Keys{DIK_Y});
  only(SdlGamepads::kB);
  EXPECT_EQ(KeysDown(pads), Keys{DIK_N});
  only(SdlGamepads::kBack);
  EXPECT_EQ(KeysDown(pads), Keys{DIK_ESCAPE});

  pads.SetMode(PadMode::kNameEntry);
  const std::pair<SdlGamepads::Button, int> picking[] = {{SdlGamepads::kA, DIK_RIGHT},
                                                         {SdlGamepads::kB, DIK_LEFT},
                                                         {SdlGamepads::kStart, DIK_RETURN},
                                                         {SdlGamepads::kDpadUp, DIK_UP},
                                                         {SdlGamepads::kX, 0}};
  for (const auto& [button, key] : picking) {
    only(button);
    EXPECT_EQ(KeysDown(pads), key == 0 ? Keys{} : Keys{key}) << "button " << button;
  }
}

TEST(GamepadButtons, ButtonsBoundToAnActionGiveItsKeyInTheGameAndTheMenusInsteadOfItsOwnButtons) {
  FakeControllers fake(1);
  SdlGamepads pads(fake.Sources());
  pads.HandleEvent(Added(0));
  auto& buttons = fake.devices[0].buttons;
  std::array<InputList, kGameActionCount> bound{};
  bound[kActionDrop] = {{SdlGamepads::kA, "a"}};
  bound[kActionTurn] = {{SdlGamepads::kY, "y"}, {SdlGamepads::kRightShoulder, "rightshoulder"}};
  pads.UseButtons(bound);
  for (PadMode mode : {PadMode::kGame, PadMode::kMenu}) {
    pads.SetMode(mode);
    buttons.fill(false);
    buttons[SdlGamepads::kA] = true;
    EXPECT_EQ(KeysDown(pads), Keys{DIK_SPACE});
    buttons[SdlGamepads::kB] = buttons[SdlGamepads::kDpadUp] = true;  // Drop's and Turn's own buttons
    EXPECT_EQ(KeysDown(pads), Keys{DIK_SPACE});
    buttons[SdlGamepads::kRightShoulder] = true;
    EXPECT_EQ(KeysDown(pads), (Keys{DIK_SPACE, DIK_UP}));
  }
  // The abort question keeps A and B for its answers.
  pads.SetMode(PadMode::kAbortQuestion);
  buttons.fill(false);
  buttons[SdlGamepads::kA] = true;
  EXPECT_EQ(KeysDown(pads), Keys{DIK_Y});
}

TEST(GamepadStick, LeansPastTheDeadZoneAndLetsGoOnlyWellInsideIt) {
  FakeControllers fake(1);
  SdlGamepads pads(fake.Sources());
  pads.HandleEvent(Added(0));
  auto& device = fake.devices[0];
  const auto at = [](double part) { return static_cast<int16_t>(part * 32767); };

  device.x = at(0.30);  // resting drift inside the dead zone
  EXPECT_EQ(KeysDown(pads), Keys{});
  device.x = at(0.45);
  EXPECT_EQ(KeysDown(pads), Keys{DIK_RIGHT});
  device.x = at(0.30);  // sagging back a little keeps it held
  EXPECT_EQ(KeysDown(pads), Keys{DIK_RIGHT});
  device.x = at(0.20);
  EXPECT_EQ(KeysDown(pads), Keys{});
  device.x = at(0.35);  // coming back needs the full lean again
  EXPECT_EQ(KeysDown(pads), Keys{});

  device.x = -32768;  // the far end of the other side
  EXPECT_EQ(KeysDown(pads), Keys{DIK_LEFT});
  device.x = 0;
  device.y = at(-0.9);  // SDL's up is negative
  EXPECT_EQ(KeysDown(pads), Keys{DIK_UP});
  device.y = at(0.9);
  EXPECT_EQ(KeysDown(pads), Keys{DIK_DOWN});  // straight from up to down: up let go at once
  device.x = at(0.5);
  EXPECT_EQ(KeysDown(pads), (Keys{DIK_RIGHT, DIK_DOWN}));  // a diagonal holds both

  // The edge of the dead zone itself is still inside it.
  device.x = device.y = 0;
  KeysDown(pads);
  device.x = at(0.40);
  EXPECT_EQ(KeysDown(pads), Keys{});
}

TEST(GamepadHotPlug, ControllersComeAndGoWithTheirEvents) {
  FakeControllers fake(3);
  fake.devices[2].openable = false;
  {
    SdlGamepads pads(fake.Sources());
    pads.SetMode(PadMode::kGame);
    fake.devices[0].buttons[SdlGamepads::kB] = true;
    fake.devices[1].buttons[SdlGamepads::kX] = true;
    EXPECT_EQ(KeysDown(pads), Keys{});  // nothing plugged in yet

    pads.HandleEvent(Added(0));
    pads.HandleEvent(Added(1));
    pads.HandleEvent(Added(2));  // cannot be opened: left out
    EXPECT_EQ(pads.Count(), 2u);
    EXPECT_EQ(KeysDown(pads), (Keys{DIK_LCONTROL, DIK_SPACE}));

    pads.HandleEvent(Added(0));  // told twice about the same controller
    EXPECT_EQ(pads.Count(), 2u);
    EXPECT_EQ(fake.devices[0].opens, 1);

    pads.HandleEvent(Removed(fake.devices[0].id));
    EXPECT_EQ(pads.Count(), 1u);
    EXPECT_EQ(fake.devices[0].opens, 0);
    EXPECT_EQ(KeysDown(pads), Keys{DIK_LCONTROL});
    pads.HandleEvent(Removed(999));  // not ours
    pads.HandleEvent(Removed(fake.devices[0].id));
    EXPECT_EQ(pads.Count(), 1u);

    pads.HandleEvent(Added(0));  // plugged in again
    EXPECT_EQ(KeysDown(pads), (Keys{DIK_LCONTROL, DIK_SPACE}));
    SDL_Event other{};
    other.type = SDL_KEYDOWN;
    pads.HandleEvent(other);
    EXPECT_EQ(pads.Count(), 2u);
  }
  EXPECT_EQ(fake.devices[0].opens, 0);  // closed when the unit goes
  EXPECT_EQ(fake.devices[1].opens, 0);
}

TEST(GamepadHotPlug, TheKeyboardSnapshotCarriesTheControllersWhileTheWindowHasTheFocus) {
  std::array<uint8_t, SDL_NUM_SCANCODES> keys{};
  bool focus = true;
  SdlKeyboard keyboard(SdlKeyboard::Sources{[&](int& count) {
                                              count = SDL_NUM_SCANCODES;
                                              return static_cast<const uint8_t*>(keys.data());
                                            },
                                            [&] { return focus; }});
  FakeControllers fake(1);
  SdlGamepads pads(fake.Sources());
  keyboard.SetGamepads(&pads);
  ASSERT_EQ(keyboard.CreateInput(), DI_OK);
  ASSERT_EQ(keyboard.CreateKeyboard(), DI_OK);
  ASSERT_EQ(keyboard.Acquire(), DI_OK);

  pads.HandleEvent(Added(0));
  pads.SetMode(PadMode::kGame);
  fake.devices[0].buttons[SdlGamepads::kStart] = true;
  keys[SDL_SCANCODE_LEFT] = 1;
  KeySnapshot state{};
  ASSERT_EQ(keyboard.GetDeviceState(state), DI_OK);
  EXPECT_EQ(state[DIK_P], 0x80);
  EXPECT_EQ(state[DIK_LEFT], 0x80);

  fake.devices[0].buttons[SdlGamepads::kStart] = false;  // a button let go is gone from the next read
  ASSERT_EQ(keyboard.GetDeviceState(state), DI_OK);
  EXPECT_EQ(state[DIK_P], 0);

  // Presses let go before the read are in it once, unless the keyboard drops them with its own.
  pads.HandleEvent(ButtonDown(fake.devices[0].id, SDL_CONTROLLER_BUTTON_B));
  ASSERT_EQ(keyboard.GetDeviceState(state), DI_OK);
  EXPECT_EQ(state[DIK_SPACE], 0x80);
  pads.HandleEvent(ButtonDown(fake.devices[0].id, SDL_CONTROLLER_BUTTON_B));
  pads.HandleEvent(AxisMotion(fake.devices[0].id, SDL_CONTROLLER_AXIS_LEFTX, 1));
  keyboard.DropPendingPresses();
  ASSERT_EQ(keyboard.GetDeviceState(state), DI_OK);
  EXPECT_EQ(state[DIK_SPACE], 0);
  EXPECT_EQ(state[DIK_RIGHT], 0);

  focus = false;  // another window has the input: no keys, from the controllers either
  fake.devices[0].buttons[SdlGamepads::kBack] = true;
  state.fill(0);
  EXPECT_EQ(keyboard.GetDeviceState(state), DIERR_INPUTLOST);
  EXPECT_EQ(state[DIK_ESCAPE], 0);
}

TEST(GamepadTaps, AButtonLetGoBeforeThePollReadsDownInItOnceAsTheModeOfThePollSays) {
  FakeControllers fake(1);
  SdlGamepads pads(fake.Sources());
  pads.HandleEvent(Added(0));
  const int32_t id = fake.devices[0].id;
  pads.SetMode(PadMode::kGame);
  pads.HandleEvent(ButtonDown(id, SDL_CONTROLLER_BUTTON_B));
  pads.HandleEvent(ButtonDown(id, SDL_CONTROLLER_BUTTON_DPAD_LEFT));
  EXPECT_EQ(KeysDown(pads), (Keys{DIK_SPACE, DIK_LEFT}));
  EXPECT_EQ(KeysDown(pads), Keys{});

  pads.SetMode(PadMode::kMenu);
  pads.HandleEvent(ButtonDown(id, SDL_CONTROLLER_BUTTON_A));
  EXPECT_EQ(KeysDown(pads), Keys{DIK_RETURN});
  pads.HandleEvent(ButtonDown(id, SDL_CONTROLLER_BUTTON_A));  // tapped in the menu, polled in the game
  pads.SetMode(PadMode::kGame);
  EXPECT_EQ(KeysDown(pads), Keys{DIK_UP});

  // Buttons without a key, and controllers that are not open, leave nothing.
  pads.HandleEvent(ButtonDown(id, SDL_CONTROLLER_BUTTON_Y));
  pads.HandleEvent(ButtonDown(id, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER));
  pads.HandleEvent(ButtonDown(999, SDL_CONTROLLER_BUTTON_B));
  EXPECT_EQ(KeysDown(pads), Keys{});
}

TEST(GamepadTaps, AStickFlickedPastTheDeadZoneAndBackBeforeThePollReadsDownInItOnce) {
  FakeControllers fake(1);
  SdlGamepads pads(fake.Sources());
  pads.HandleEvent(Added(0));
  auto& device = fake.devices[0];
  const int32_t id = device.id;
  pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_LEFTX, 0.9));
  pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_LEFTX, 0));
  pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_LEFTY, -0.9));
  pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_LEFTY, 0));
  EXPECT_EQ(KeysDown(pads), (Keys{DIK_UP, DIK_RIGHT}));
  EXPECT_EQ(KeysDown(pads), Keys{});

  pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_LEFTX, -0.35));  // inside the dead zone
  pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_LEFTX, 0));
  pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_RIGHTX, 1));       // the right stick and the
  pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_TRIGGERLEFT, 1));  // triggers are no keys
  EXPECT_EQ(KeysDown(pads), Keys{});

  // The stick leant down and read as held by a poll, then moved back to `between`, leant down
  // again and let go before the next poll.
  const auto leanDownThroughAPoll = [&](double between) {
    device.y = static_cast<int16_t>(0.9 * 32767);
    pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_LEFTY, 0.9));
    EXPECT_EQ(KeysDown(pads), Keys{DIK_DOWN});
    pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_LEFTY, between));
    pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_LEFTY, 0.9));
    pads.HandleEvent(AxisMotion(id, SDL_CONTROLLER_AXIS_LEFTY, 0));
    device.y = 0;
  };
  // Sagging and leaning again before it is let go: no new press...
  leanDownThroughAPoll(0.3);
  EXPECT_EQ(KeysDown(pads), Keys{});
  // ...but let go and leant again is one.
  leanDownThroughAPoll(0.1);
  EXPECT_EQ(KeysDown(pads), Keys{DIK_DOWN});
  EXPECT_EQ(KeysDown(pads), Keys{});
}

TEST(GamepadHotPlug, OnSdlADeviceThatIsNoControllerIsLeftOut) {
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) GTEST_SKIP() << SDL_GetError();
  {
    SdlGamepads pads;
    SDL_Event event{};
    while (SDL_PollEvent(&event) != 0) pads.HandleEvent(event);  // whatever is plugged in here
    const size_t present = pads.Count();
    pads.HandleEvent(Added(SDL_NumJoysticks() + 5));  // no such device
    EXPECT_EQ(pads.Count(), present);
    KeySnapshot state{};
    if (present == 0) {
      pads.AddKeys(state);
      EXPECT_EQ(state, KeySnapshot{});
    }
  }
  SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

}  // namespace
}  // namespace zt
