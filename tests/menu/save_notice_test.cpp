// The notice of a failed save: it stays on the screen it was given on, whatever the player
// does there, and goes for good once they leave that screen.
#include <gtest/gtest.h>

#include "support/menu_harness.h"

namespace zt {
namespace {

using testing::MenuHarness;

TEST(SaveNotice, StaysOnTheMainScreenUntilThePlayerLeavesIt) {
  MenuHarness h;
  h.Step();
  PostSaveNotice(h.menu, SaveNotice::kSettings);
  for (int frame = 0; frame < 30; ++frame) h.Step({DIK_DOWN});
  EXPECT_EQ(h.menu.MenuScreen, kMainScreen);
  EXPECT_EQ(h.menu.Notice, SaveNotice::kSettings);  // moving between the items is no leaving

  MoveSelection(h.menu, 1);
  h.Step({DIK_RETURN});  // New game: the game-type screen
  ASSERT_EQ(h.menu.MenuScreen, kGameTypeScreen);
  EXPECT_EQ(h.menu.Notice, SaveNotice::kNone);
  h.Step();
  h.Step({DIK_ESCAPE});  // back on the main screen, which has nothing to tell any more
  ASSERT_EQ(h.menu.MenuScreen, kMainScreen);
  EXPECT_EQ(h.menu.Notice, SaveNotice::kNone);
}

TEST(SaveNotice, StaysOnTheTableWhileItsPagesTurnAndGoesWithEsc) {
  MenuHarness h;
  h.menu.MenuScreen = kHighScoresScreen;
  h.Step();
  PostSaveNotice(h.menu, SaveNotice::kHighScores);
  EXPECT_EQ(h.menu.NoticeScreen, kHighScoresScreen);
  h.Step({DIK_RIGHT});
  h.Step();
  h.Step({DIK_LEFT});
  EXPECT_EQ(h.scores.ShownHighScoreType, 1);
  EXPECT_EQ(h.menu.Notice, SaveNotice::kHighScores);
  h.Step({DIK_ESCAPE});
  ASSERT_EQ(h.menu.MenuScreen, kMainScreen);
  EXPECT_EQ(h.menu.Notice, SaveNotice::kNone);
}

}  // namespace
}  // namespace zt
