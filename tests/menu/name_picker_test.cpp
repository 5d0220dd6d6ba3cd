#include "menu/name_picker.h"

#include <gtest/gtest.h>

namespace zt {
namespace {

constexpr int32_t kDelay = 250;  // the sideways repeat delay

// The menu poll's flags for one frame: `down` held, a key newly down loading its timer.
struct PickerFixture : ::testing::Test {
  HighScoreState scores;
  GameKeys keys;
  PickerFixture() { scores.NameEntryActive = true; }

  std::string Frame(bool pad, std::initializer_list<bool GameKeys::*> down, uint32_t frameMs = 30) {
    keys.KeyPad = pad;
    Hold(&GameKeys::KeyUp, keys.UpKeyTimer, kUpKeyStart, down);
    Hold(&GameKeys::KeyDown, keys.DropKeyTimer, kDropKeyStart, down);
    Hold(&GameKeys::KeyLeft, keys.ShiftKeyTimer, kDelay, down);
    Hold(&GameKeys::KeyRight, keys.ShiftKeyTimer, kDelay, down);
    const bool enter = std::find(down.begin(), down.end(), &GameKeys::KeyEnter) != down.end();
    keys.KeySelect = keys.KeyEnter = enter;
    std::string typed = PickNameCharacters(scores, keys, kDelay);
    CountDown(keys.KeyUp, keys.UpKeyTimer, frameMs);  // as the menu step does after it
    CountDown(keys.KeyDown, keys.DropKeyTimer, frameMs);
    CountDown(keys.KeyLeft || keys.KeyRight, keys.ShiftKeyTimer, frameMs);
    return typed;
  }
  void Hold(bool GameKeys::*flag, int32_t& timer, int32_t start, std::initializer_list<bool GameKeys::*> down) {
    const bool held = std::find(down.begin(), down.end(), flag) != down.end();
    if (held && !(keys.*flag)) timer = start;
    keys.*flag = held;
  }
  char Letter() const { return kPickerLetters[static_cast<size_t>(scores.PickedLetter)]; }
};

TEST_F(PickerFixture, TheKeyboardsArrowsDoNothingUntilAControllerIsUsedForTheName) {
  EXPECT_EQ(Frame(false, {&GameKeys::KeyUp}), "");
  EXPECT_EQ(Frame(false, {&GameKeys::KeyRight}), "");
  EXPECT_FALSE(scores.PickingLetters);
  EXPECT_EQ(NameEntryTail(scores), "|");

  EXPECT_EQ(Frame(true, {&GameKeys::KeyRight}), "");  // held from before: brings the picker up only
  EXPECT_TRUE(scores.PickingLetters);
  EXPECT_EQ(Frame(true, {&GameKeys::KeyRight}), "");
  EXPECT_EQ(NameEntryTail(scores), "A");
  scores.NameCursor = "";  // the blink hides the letter as it hid the cursor
  EXPECT_EQ(NameEntryTail(scores), "");

  scores.NameEntryActive = false;  // the entry ended: the next one starts with the keyboard again
  Frame(true, {});
  EXPECT_FALSE(scores.PickingLetters);
}

TEST_F(PickerFixture, UpAndDownRunRoundTheLettersAndAHeldOneRepeatsAfterItsDelay) {
  Frame(true, {});
  Frame(true, {&GameKeys::KeyDown});
  EXPECT_EQ(Letter(), '@');  // from A back round to the end
  Frame(true, {});
  Frame(true, {&GameKeys::KeyUp});
  EXPECT_EQ(Letter(), 'A');
  for (int frame = 0; frame < 19; ++frame) Frame(true, {&GameKeys::KeyUp});  // 570 ms held
  EXPECT_EQ(Letter(), 'A');
  Frame(true, {&GameKeys::KeyUp});
  Frame(true, {&GameKeys::KeyUp});  // 630 ms: the repeat begins
  EXPECT_EQ(Letter(), 'B');
  for (int frame = 0; frame < 4; ++frame) Frame(true, {&GameKeys::KeyUp});  // 120 ms more
  EXPECT_EQ(Letter(), 'C');

  scores.PickedLetter = 35;  // '9'
  Frame(true, {});
  Frame(true, {&GameKeys::KeyUp});
  EXPECT_EQ(Letter(), ' ');
  EXPECT_EQ(NameEntryTail(scores), "|");  // a space shows as the cursor
}

TEST_F(PickerFixture, RightPutsTheLetterInLeftDeletesAndEnterEndsOnlyOnTheirPress) {
  scores.PickedLetter = 1;
  Frame(true, {});
  EXPECT_EQ(Frame(true, {&GameKeys::KeyRight}), "B");
  EXPECT_EQ(Frame(true, {&GameKeys::KeyRight}), "");  // held: no second letter
  EXPECT_EQ(Frame(true, {}), "");
  EXPECT_EQ(Frame(true, {&GameKeys::KeyRight}), "B");
  EXPECT_EQ(Frame(true, {&GameKeys::KeyLeft}), "\b");
  EXPECT_EQ(Frame(true, {&GameKeys::KeyLeft}), "");
  EXPECT_EQ(Frame(true, {&GameKeys::KeyEnter}), "\r");
}

}  // namespace
}  // namespace zt
