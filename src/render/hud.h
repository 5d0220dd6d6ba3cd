// What the game scene shows besides the glass, worked out from the game state alone:
// the text panels left and right of the glass, the game time, the bonus bars with their
// labels and fill, the swing of the interruption picture and the floating message.
// Nothing here touches the device; the game scene draws what these functions return.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/high_score_table.h"
#include "game/game_state.h"

namespace zt {

// One DrawString call: font 1..4, size, text, and the position in world units.
struct HudText {
  int Font = 1;
  int Size = 4;
  std::string Text;
  float X = 0, Y = 0;
  bool operator==(const HudText&) const = default;
};

// Whole seconds of play as minutes and seconds, each at least two digits: 125 -> "02:05".
std::string GameTimeText(int32_t gameSeconds);

// The text panels of a running game, in drawing order (z 0, alpha 255). The best-score
// look-ups read the table of GameType, which must be 1..5.
std::vector<HudText> HudTexts(const GameState& state, const HighScoreTable& table);

// The time bar's fill while the bonus clock runs: empty at 60000 ms to go, full at 0 and below.
float BonusTimeFraction(int32_t bonusCountdown);
// The time bar's fill in a "Retro" game: how much of the 45 s to the next added line has passed.
float RetroTimeFraction(int32_t retroSecondsLeft);
// The power bar's fill: for "Torvane" half full at 1500 points and full at 3150,
// for the other game types full at 2550.
float PowerFraction(int32_t gameType, int32_t shownPowerPoints);

enum class BarKind { kBar, kPowerBar };  // the bar with texture pair 2, or with pair 3

struct HudBar {
  BarKind Kind = BarKind::kBar;
  float YOffset = 0;   // from the glass centre
  float Fraction = 0;  // 0..1 of the bar filled
  bool operator==(const HudBar&) const = default;
};

// One bar of the frame with its labels (font 2, size 3), drawn labels first.
struct HudBarGroup {
  std::vector<HudText> Labels;
  HudBar Bar;
};
// The time bar (while the bonus clock runs, or in a running "Retro" game) and the power
// bar (while the bonus clock runs), in drawing order.
std::vector<HudBarGroup> HudBarsOf(const GameState& state);

// The swing of the interruption picture: a rocking about the vertical axis between -3 and
// +3 degrees at 15 degrees per second, advanced only in the frames that show the picture.
struct SwingState {
  float SwingAngle = 0;        // radians, where the swing has got to
  int32_t SwingDirection = 1;  // +1 or -1
  float ShownAngle = 0;        // radians, the angle the picture of this frame stands at
};
// One frame of the swing: the frame shows the angle the swing had reached, which then moves on
// by frameMs for the next frame.
void AdvanceSwing(SwingState& swing, uint32_t frameMs);

// Which interruption picture stands over the scene: 0 none, 1 game over, 2 pause, 3 abort question.
int StatePictureKind(const ModeFlags& mode);

// The floating message's opacity as drawn (nearest integer, halves to even), or -1 while
// it is hidden (alpha 10 and below).
int MessageDrawAlpha(float alpha);

}  // namespace zt
