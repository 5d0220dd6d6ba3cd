// The menu frame by frame without a device: the selection moving and settling, the Esc of each
// screen, and the animations that go with the drawn frames (the demonstration figure, the cursor).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/menu_harness.h"

namespace zt {
namespace {

using testing::MenuHarness;

TEST(MenuStep, TheSelectionMovesAgainOnlyOnceItsSlabHasGrown) {
  MenuHarness h;
  h.Step({DIK_DOWN});
  EXPECT_EQ(h.menu.MenuItem, 2);
  EXPECT_EQ(h.menu.PrevMenuItem, 1);
  EXPECT_FALSE(h.menu.SelectionSettled);
  EXPECT_EQ(h.mixer.TakePlayedSounds(), std::vector<std::string>{"menumove.ogg"});

  h.Step();
  h.Step({DIK_DOWN});  // 120 ms after the move: refused, though the slab has grown in this frame
  EXPECT_EQ(h.menu.MenuItem, 2);
  EXPECT_TRUE(h.menu.SelectionSettled);
  EXPECT_EQ(h.menu.ItemScale, kSelectedItemWidth);
  EXPECT_EQ(h.menu.PrevItemScale, kItemWidth);
  EXPECT_GT(h.menu.ItemBrightness, kItemBrightness);  // the light comes up more slowly
  EXPECT_LT(h.menu.ItemBrightness, kSelectedItemBrightness);
  EXPECT_LT(h.menu.PrevItemBrightness, kSelectedItemBrightness);
  EXPECT_TRUE(h.mixer.TakePlayedSounds().empty());

  h.Step();
  h.Step({DIK_UP});
  EXPECT_EQ(h.menu.MenuItem, 1);
  EXPECT_EQ(h.menu.PrevMenuItem, 2);
  EXPECT_FLOAT_EQ(h.menu.ItemScale, 8.16f) << "the new selection starts at 8 and grows 0.004 per ms";
  EXPECT_FLOAT_EQ(h.menu.PrevItemScale, 8.24f);
  h.Step();
  h.Step({DIK_UP});
  EXPECT_EQ(h.menu.MenuItem, 1) << "not settled yet";
  for (int frame = 0; frame < 4; ++frame) h.Step();
  h.Step({DIK_UP});
  EXPECT_EQ(h.menu.MenuItem, 5) << "up from the first item wraps to the last";
}

TEST(MenuStep, EscGoesBackOneScreenAtATimeAndOnTheMainScreenToExit) {
  MenuHarness h;
  const auto esc = [&h] {
    h.Step();  // let go first: Esc acts on its press
    h.Step({DIK_ESCAPE});
  };
  h.menu.MenuScreen = kOptionsScreen;
  h.menu.MenuItem = 4;
  esc();
  EXPECT_EQ(h.menu.MenuScreen, kMainScreen);
  EXPECT_EQ(h.menu.MenuItem, 2) << "Options stays selected: the main screen's Esc waits for the next press";
  EXPECT_EQ(h.mixer.TakePlayedSounds(), std::vector<std::string>{"menuenter.ogg"});
  esc();
  EXPECT_EQ(h.menu.MenuItem, 5);
  EXPECT_EQ(h.menu.PrevMenuItem, 2);
  EXPECT_EQ(h.mixer.TakePlayedSounds().size(), 1u);
  esc();
  EXPECT_EQ(h.menu.MenuScreen, kMainScreen);
  EXPECT_EQ(h.menu.MenuItem, 5);
  EXPECT_FALSE(h.menu.ExitRequested) << "Esc only selects Exit";
  EXPECT_TRUE(h.mixer.TakePlayedSounds().empty());

  h.menu.MenuScreen = kGameTypeScreen;
  h.menu.MenuItem = 4;
  esc();
  EXPECT_EQ(h.menu.MenuScreen, kMainScreen);
  EXPECT_EQ(h.menu.MenuItem, 1);

  for (const uint8_t page : {kHelpScreen, kHighScoresScreen}) {
    h.menu.MenuScreen = page;
    h.menu.MenuItem = 3;
    esc();
    EXPECT_EQ(h.menu.MenuScreen, kMainScreen) << int{page};
    EXPECT_EQ(h.menu.MenuItem, 3) << int{page};
  }

  ASSERT_TRUE(InsertNewScore(h.scores, kTorvane, 50, 1));
  h.menu.MenuScreen = kHighScoresScreen;
  esc();
  EXPECT_EQ(h.menu.MenuScreen, kHighScoresScreen) << "a name being typed keeps the table";
}

TEST(MenuStep, TheDemoFigureRestsThreeHundredMsShownAtRestBeforeEachTurn) {
  MenuHarness h;
  h.menu.MenuScreen = kOptionsScreen;
  h.menu.MenuItem = 3;
  for (int frame = 0; frame < 7; ++frame) h.Step();  // 280 ms of rest
  EXPECT_FALSE(h.menu.DemoTurnDue);
  h.Step();
  EXPECT_TRUE(h.menu.DemoTurnDue);
  EXPECT_FALSE(h.menu.DemoFigure.Turning) << "the frame that ends the rest still shows the figure at rest";
  EXPECT_EQ(h.menu.DemoTimer, 0);
  h.Step();
  EXPECT_TRUE(h.menu.DemoFigure.Turning);
  EXPECT_FALSE(h.menu.DemoTurnDue);
  EXPECT_GT(h.menu.DemoFigure.TurnAngle, 0.0f);
  while (h.menu.DemoFigure.Turning) h.Step();
  EXPECT_EQ(h.menu.DemoFigure.Turn, TurnAfter(1, h.settings.RotationClockwise)) << "one quarter";

  h.menu.MenuItem = 2;
  h.Step();
  EXPECT_EQ(h.menu.DemoTimer, -100) << "back on Rotation, the figure waits 400 ms";
}

TEST(MenuStep, TheCursorBlinksOnlyOnThePageThatShowsTheNameBeingTyped) {
  MenuHarness h;
  ASSERT_TRUE(InsertNewScore(h.scores, kTorvane, 50, 1));
  h.menu.MenuScreen = kHighScoresScreen;
  h.scores.ShownHighScoreType = kTorvane;
  std::string seen;
  for (int frame = 0; frame < 12; ++frame) {
    h.Step({}, 100);
    seen += h.scores.NameCursor.empty() ? '_' : '|';
  }
  EXPECT_EQ(seen, "||||____||||");  // toggles once the 300 ms have run below zero
  const int32_t timer = h.scores.NameCursorTimer;
  h.scores.ShownHighScoreType = kRetro;
  h.Step({}, 100);
  EXPECT_EQ(h.scores.NameCursorTimer, timer);
  h.scores.ShownHighScoreType = kTorvane;
  h.menu.MenuScreen = kMainScreen;
  h.Step({}, 100);
  EXPECT_EQ(h.scores.NameCursorTimer, timer);
}

}  // namespace
}  // namespace zt
