#include "render/hud.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "game/glass.h"

namespace zt {

namespace {

constexpr float kSwingRate = 0.00026179938779914946f;  // radians per ms, 15 degrees per second
constexpr float kSwingLimit = 0.05235987755982989f;    // 3 degrees

HudText Panel(int font, int size, std::string text, float dx, float dy) {
  return {font, size, std::move(text), kGlassCenterX + dx, kGlassCenterY + dy};
}

std::string TwoDigits(int32_t value) {
  std::string text = std::to_string(value);
  return text.size() == 1 ? "0" + text : text;
}

}  // namespace

std::string GameTimeText(int32_t gameSeconds) {
  const int32_t minutes = gameSeconds / 60;
  const int32_t seconds = gameSeconds - minutes * 60;
  return TwoDigits(minutes) + ":" + TwoDigits(seconds);
}

std::vector<HudText> HudTexts(const GameState& state, const HighScoreTable& table) {
  std::vector<HudText> texts;
  const int32_t type = state.GameType;
  texts.push_back(Panel(2, 5, "Next:", -13.3f, 7.8f));
  texts.push_back(Panel(4, 4, "Scores: " + std::to_string(state.ShownScore), -13.3f, 3.0f));
  texts.push_back(Panel(4, 4, "Lines: " + std::to_string(state.Lines), -13.3f, 1.8f));
  texts.push_back(Panel(4, 4, "Level: " + std::to_string(state.Level), -13.3f, 0.6f));
  texts.push_back(Panel(2, 4, "Speed: " + std::to_string(state.FiguresPerMinute), -13.3f, -1.8f));
  if (state.Position <= 10)
    texts.push_back(Panel(2, 4, "Position: " + std::to_string(state.Position), -13.3f, -3.0f));
  else
    texts.push_back(Panel(2, 4, "Position: None", -13.3f, -3.0f));
  texts.push_back(Panel(1, 5, "Game Time:", 7.02f, 7.8f));
  texts.push_back(Panel(4, 5, GameTimeText(state.Time.GameSeconds), 8.35f, 6.6f));
  texts.push_back(Panel(1, 5, "Game Type:", 7.0f, 2.3f));
  static constexpr std::array<float, 5> kNameOffsets = {7.0f, 7.82f, 7.75f, 8.33f, 8.06f};
  if (type >= 1 && type <= 5) texts.push_back(Panel(4, 5, GameTypeName(type), kNameOffsets[type - 1], 1.1f));
  if (state.Position <= 1) {
    texts.push_back(Panel(4, 4, "You are the best! ", 6.2f, -1.8f));
    texts.push_back(Panel(4, 4, "Best Score: " + std::to_string(state.Score), 6.6f, -3.0f));
  } else if (type >= 1 && type <= kGameTypes) {
    const auto& rows = table[type - 1];
    const int font = type == 2 || type == 4 ? 2 : 1;
    const int32_t above = std::clamp(state.Position - 1, 1, kHighScoreRows);
    texts.push_back(Panel(font, 4, "Next Score: " + std::to_string(rows[above - 1].EntryScore), 6.5f, -1.8f));
    texts.push_back(Panel(font, 4, "Best Score: " + std::to_string(rows[0].EntryScore), 6.5f, -3.0f));
  }
  if (type == 5) texts.push_back(Panel(1, 4, "Lines Added: " + std::to_string(state.LinesAdded), 7.0f, -6.75f));
  return texts;
}

float BonusTimeFraction(int32_t bonusCountdown) {
  if (bonusCountdown < 0) return 1.0f;
  return static_cast<float>(60000 - bonusCountdown) / 60000.0f;
}

float RetroTimeFraction(int32_t retroSecondsLeft) { return 1.0f - static_cast<float>(retroSecondsLeft) / 45.0f; }

float PowerFraction(int32_t gameType, int32_t shownPowerPoints) {
  const float p = static_cast<float>(shownPowerPoints);
  if (gameType == 1) {
    if (p < 1500.0f) return p / 3000.0f;
    return std::min(1.0f, (p - 1500.0f) / 1650.0f / 2.0f + 0.5f);
  }
  return std::min(1.0f, p / 2550.0f);
}

std::vector<HudBarGroup> HudBarsOf(const GameState& state) {
  std::vector<HudBarGroup> groups;
  const ModeFlags& mode = state.Mode;
  const BonusState& bonus = state.Bonus;
  const HudText timeLabel = Panel(2, 3, "Time", 8.9f, -6.0f);
  if (bonus.BonusMode)
    groups.push_back({{timeLabel}, {BarKind::kBar, -5.5f, BonusTimeFraction(bonus.BonusCountdown)}});
  else if (state.GameType == 5 && !mode.GameOver && !mode.Paused && !mode.AbortAsked)
    groups.push_back({{timeLabel}, {BarKind::kBar, -5.5f, RetroTimeFraction(bonus.RetroSecondsLeft)}});
  if (bonus.BonusMode) {
    const float fraction = PowerFraction(state.GameType, bonus.ShownPowerPoints);
    if (state.GameType == 1)
      groups.push_back({{Panel(2, 3, "Bomb", 7.6f, -7.5f), Panel(2, 3, "Power", 10.18f, -7.5f)},
                        {BarKind::kPowerBar, -7.0f, fraction}});
    else
      groups.push_back({{Panel(2, 3, "Bomb Power", 8.0f, -7.5f)}, {BarKind::kBar, -7.0f, fraction}});
  }
  return groups;
}

void AdvanceSwing(SwingState& swing, uint32_t frameMs) {
  swing.ShownAngle = swing.SwingAngle;
  swing.SwingAngle += static_cast<float>(swing.SwingDirection) * kSwingRate * static_cast<float>(frameMs);
  if (std::fabs(swing.SwingAngle) > kSwingLimit) {
    swing.SwingAngle = static_cast<float>(swing.SwingDirection) * kSwingLimit;
    swing.SwingDirection = -swing.SwingDirection;
  }
}

int StatePictureKind(const ModeFlags& mode) {
  if (mode.GameOver) return 1;
  if (mode.Paused) return 2;
  if (mode.AbortAsked) return 3;
  return 0;
}

int MessageDrawAlpha(float alpha) {
  if (!(alpha > 10.0f)) return -1;
  return static_cast<int>(std::nearbyint(alpha));
}

}  // namespace zt
