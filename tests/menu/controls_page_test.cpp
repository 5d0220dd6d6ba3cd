// The controls page through the menu poll and step, as the program runs them; the press the
// platform reports for the frame is handed in as the frame does.
#include <gtest/gtest.h>

#include "menu/menu.h"
#include "support/game_harness.h"

namespace zt {
namespace {

constexpr InputPress kQ{false, {20, "Q"}};
constexpr int32_t kSpaceScancode = 44;

struct ControlsHarness : testing::GameHarness {
  MenuState menu;
  HighScoreState scores;
  MenuContext context{menu, scores, game, settings};

  ControlsHarness() {
    state.Mode.InMenu = true;
    menu.MenuScreen = kOptionsScreen;
    MoveSelection(menu, 3);
    Step();
  }
  void Step(std::initializer_list<uint8_t> keys = {}, std::optional<InputPress> press = std::nullopt) {
    clock.Advance(40);
    keyboardDevice.ReleaseAll();
    for (uint8_t key : keys) keyboardDevice.Press(key);
    PollMenuKeys(state.Keys, keyboard, settings.SidewaysKeyDelay);
    menu.Controls.Press = press;
    MenuStep(context);
  }
  void Open() {
    Step({DIK_LCONTROL});
    ASSERT_EQ(menu.MenuScreen, kControlsScreen);
    Step();
  }
  void Tap(uint8_t key, std::optional<InputPress> press = std::nullopt) {
    Step({key}, press);
    Step();
  }
  // Down to the row, Enter, then the press.
  void Bind(int32_t row, const InputPress& press) {
    while (menu.Controls.Row != row) Tap(DIK_DOWN);
    Tap(DIK_RETURN);
    ASSERT_TRUE(menu.Controls.Waiting);
    Step({}, press);
  }
};

TEST(ControlsPage, CtrlOpensItFromTheOptionsAndEscGoesBackToTheSameItemOnly) {
  ControlsHarness h;
  h.menu.MenuScreen = kMainScreen;
  h.Tap(DIK_LCONTROL);  // on the other screens Ctrl does nothing
  EXPECT_EQ(h.menu.MenuScreen, kMainScreen);
  h.menu.MenuScreen = kOptionsScreen;
  h.menu.Controls.Bindings.Keys[kActionLeft] = {kQ.Input};  // the game's bindings
  h.Open();
  EXPECT_EQ(h.menu.Controls.Row, 0);
  EXPECT_EQ(h.menu.Controls.Bindings.Keys[kActionLeft].size(), 1u);
  h.Tap(DIK_UP);
  EXPECT_EQ(h.menu.Controls.Row, kResetRow);  // round from the top
  h.Tap(DIK_LEFT);                            // the Options screen's keys do nothing here
  EXPECT_EQ(h.settings.SoundVolume, 9);
  h.Step({DIK_ESCAPE});
  EXPECT_EQ(h.menu.MenuScreen, kOptionsScreen);
  EXPECT_EQ(h.menu.MenuItem, 3);
  h.Step({DIK_ESCAPE});  // still held: the Options screen waits its second
  EXPECT_EQ(h.menu.MenuScreen, kOptionsScreen);
}

TEST(ControlsPage, TheNextPressBindsTheRowsActionAndEscGivesUpWithoutLeaving) {
  ControlsHarness h;
  h.Open();
  h.Bind(kActionDown, kQ);
  EXPECT_FALSE(h.menu.Controls.Waiting);
  ASSERT_EQ(h.menu.Controls.Bindings.Keys[kActionDown].size(), 1u);
  EXPECT_EQ(h.menu.Controls.Bindings.Keys[kActionDown][0].Name, "Q");

  h.Tap(DIK_RETURN);  // waiting again; the Enter itself is not taken as the new key
  EXPECT_TRUE(h.menu.Controls.Waiting);
  h.Step({DIK_ESCAPE}, InputPress{false, {41, "Escape"}});
  EXPECT_FALSE(h.menu.Controls.Waiting);
  EXPECT_EQ(h.menu.MenuScreen, kControlsScreen);
  EXPECT_EQ(h.menu.Controls.Bindings.Keys[kActionDown][0].Name, "Q");

  h.Step();
  h.Tap(DIK_RETURN);
  h.Step({}, InputPress{false, {54, ","}});  // a name config.ini could not keep
  EXPECT_EQ(h.menu.Controls.Bindings.Keys[kActionDown][0].Name, "Q");
  h.Tap(DIK_RETURN);
  h.Step({}, InputPress{true, {3, "y"}});  // a button binds beside the keys
  EXPECT_EQ(h.menu.Controls.Bindings.Buttons[kActionDown].size(), 1u);
  EXPECT_EQ(h.menu.Controls.Bindings.Keys[kActionDown].size(), 1u);
}

TEST(ControlsPage, AKeyAnotherActionHasIsOfferedForASwap) {
  ControlsHarness h;
  h.Open();
  const InputPress space{false, {kSpaceScancode, "Space"}};
  h.Bind(kActionTurn, space);  // Drop's key
  ASSERT_TRUE(h.menu.Controls.Offer);
  EXPECT_EQ(h.menu.Controls.OfferOwner, kActionDrop);
  EXPECT_TRUE(h.menu.Controls.Bindings.Keys[kActionTurn].empty());  // nothing bound yet
  h.Tap(DIK_ESCAPE);
  EXPECT_FALSE(h.menu.Controls.Offer);
  EXPECT_EQ(h.menu.MenuScreen, kControlsScreen);

  h.Tap(DIK_RETURN);
  h.Step({}, space);
  h.Step();
  h.Tap(DIK_RETURN);  // swap
  EXPECT_FALSE(h.menu.Controls.Offer);
  const KeyBindings& bindings = h.menu.Controls.Bindings;
  EXPECT_EQ(ActionOfKey(bindings, kSpaceScancode), kActionTurn);
  EXPECT_EQ(ActionOfKey(bindings, DefaultKeys(kActionTurn)[0].Code), kActionDrop);
}

TEST(ControlsPage, ThePaletteAndSmoothEdgesRowsToggleAndTheResetGivesBackTheGamesKeys) {
  ControlsHarness h;
  h.Open();
  h.Bind(kActionLeft, kQ);
  while (h.menu.Controls.Row != kPaletteRow) h.Tap(DIK_DOWN);
  h.Tap(DIK_RETURN);
  EXPECT_EQ(h.settings.Palette, 1);
  h.Tap(DIK_SPACE);
  EXPECT_EQ(h.settings.Palette, 0);
  // Left to the renderer, the first toggle turns off what this run draws with.
  h.settings.AntialiasingInUse = true;
  h.Tap(DIK_DOWN);
  h.Tap(DIK_RETURN);
  EXPECT_EQ(h.settings.Antialiasing, kAntialiasingOff);
  h.Tap(DIK_RETURN);
  EXPECT_EQ(h.settings.Antialiasing, kAntialiasingOn);
  EXPECT_TRUE(h.settings.AntialiasingInUse) << "the run draws on as it started";
  h.Tap(DIK_DOWN);
  h.Tap(DIK_RETURN);
  for (size_t action = 0; action < kGameActionCount; ++action)
    EXPECT_FALSE(KeysRemapped(h.menu.Controls.Bindings, action)) << ActionName(action);
}

}  // namespace
}  // namespace zt
