#include "render/menu_pages.h"

#include <algorithm>
#include <array>
#include <string>

#include "game/glass.h"
#include "render/menu_drawing.h"
#include "render/model_drawing.h"

namespace zt {

namespace {

constexpr float kCx = kGlassCenterX;
constexpr float kCy = kGlassCenterY;
constexpr int kNoticeFont = 4;
constexpr int kNoticeSize = 5;
constexpr float kRowTop = kCy + 5.2f;  // the table's rows i = 1..10 at kRowTop - kRowStep * i
constexpr float kRowStep = 1.2f;
constexpr float kNoticeY = kCy - 8.3f;  // below the Exit slab and the table's last row, above its footer

// The chart of clears by size: a column of bricks for each size from the left, its count and
// label under it.
constexpr float kChartX = kCx + 3.6f;
constexpr float kChartColumnStep = 2.0f;
constexpr float kChartBaseY = kCy - 0.4f;  // the lowest brick's centre
constexpr float kChartBrickStep = 0.75f;
constexpr float kChartBrickSize = 0.62f;
constexpr std::array<int32_t, kClearSizes> kChartColors = {3, 4, 5, 2};  // green, blue, yellow, red

float ChartColumnX(int size) { return kChartX + kChartColumnStep * static_cast<float>(size - 1); }  // 1..4

// Hours, minutes and seconds: "12:03:09".
std::string PlayTimeText(int32_t seconds) {
  return std::to_string(seconds / 3600) + ":" + GameTimeText(seconds % 3600);
}

std::string ClearsText(const std::array<int32_t, kClearSizes>& clears) {
  static constexpr std::array<const char*, kClearSizes> kSizes = {"one", "two", "three", "four"};
  std::string text = "Lines at once:";
  for (int n = 0; n < kClearSizes; ++n)
    text += std::string(n == 0 ? " " : ", ") + kSizes[n] + " " + std::to_string(clears[n]);
  return text;
}

void DrawTexts(Device& device, FontResources& fonts, const std::vector<HudText>& texts) {
  for (const HudText& t : texts) DrawString(device, fonts, t.Font, t.Size, t.Text, t.X, t.Y, 0.0f, 255);
}

std::string JoinedNames(const InputList& inputs) {
  if (inputs.empty()) return "None";
  std::string text;
  for (const BoundInput& input : inputs) text += (text.empty() ? "" : "/") + input.Name;
  return text;
}

// A text that names an action's key by the game's name for it: the bound keys' names instead
// when the player rebound the action.
std::string WithKeyNames(std::string text, const std::string& gameName, const KeyBindings& bindings, size_t action) {
  if (!KeysRemapped(bindings, action)) return text;
  const size_t at = text.find(gameName);
  return text.replace(at, gameName.size(), JoinedNames(EffectiveKeys(bindings, action)));
}

struct HelpKeyLine {
  size_t Line;  // in the help page's lines
  size_t Action;
  const char* GameName;
};

constexpr HelpKeyLine kHelpKeyLines[] = {
    {9, kActionLeft, "Left arrow"},  {10, kActionRight, "Right arrow"}, {11, kActionTurn, "Up arrow"},
    {12, kActionDown, "Down arrow"}, {13, kActionDrop, "Space"},        {14, kActionInstantDrop, "Ctrl"},
    {15, kActionAbort, "Esc"},       {16, kActionAbort, "Esc"},
};

constexpr float kControlsRowsTop = kCy + 4.5f;
constexpr float kControlsRowStep = 0.8f;

// On or Off; a choice this run does not draw with yet says when it takes effect.
std::string AntialiasingValue(const Settings& settings) {
  const bool next = AntialiasingNextStart(settings);
  return std::string(next ? "On" : "Off") + (next != settings.AntialiasingInUse ? " from the next start" : "");
}

std::string ControlsRowValue(const ControlsPage& page, const Settings& settings, int32_t row) {
  if (row == kPaletteRow) return settings.Palette == kColourBlindPalette ? "Colour-blind" : "Standard";
  if (row == kAntialiasingRow) return AntialiasingValue(settings);
  if (row == kResetRow) return "";
  if (page.Waiting && row == page.Row) return "...";
  const auto action = static_cast<size_t>(row);
  std::string text = JoinedNames(EffectiveKeys(page.Bindings, action));
  if (!page.Bindings.Buttons[action].empty()) text += " / Pad " + JoinedNames(page.Bindings.Buttons[action]);
  return text;
}

std::string ControlsRowName(int32_t row) {
  if (row == kPaletteRow) return "Palette";
  if (row == kAntialiasingRow) return "Antialiasing";
  if (row == kResetRow) return "Reset to the game's keys";
  return ActionName(static_cast<size_t>(row));
}

std::string ControlsStatus(const ControlsPage& page) {
  if (page.Waiting) return std::string("Press the new key or button for ") + ActionName(static_cast<size_t>(page.Row));
  if (page.Offer)
    return page.Offer->Input.Name + " is " + ActionName(page.OfferOwner) + "'s: Enter swaps, Esc keeps it";
  return "Enter - Change     Esc - Return";
}

}  // namespace

std::vector<HudText> HelpLines(const KeyBindings& bindings) {
  std::vector<HudText> lines = HelpLines();
  for (const HelpKeyLine& key : kHelpKeyLines)
    lines[key.Line].Text = WithKeyNames(lines[key.Line].Text, key.GameName, bindings, key.Action);
  return lines;
}

HudText OptionsHint(const KeyBindings& bindings) {
  return {2, 5, WithKeyNames("Ctrl - Controls", "Ctrl", bindings, kActionInstantDrop), kCx, kCy - 9.6f};
}

void DrawOptionsHint(Device& device, FontResources& fonts, const KeyBindings& bindings) {
  const HudText hint = OptionsHint(bindings);
  DrawCentredString(device, fonts, hint.Font, hint.Size, hint.Text, hint.X, hint.Y, 0.0f, 255);
}

std::vector<HudText> ControlsPageTexts(const ControlsPage& page, const Settings& settings) {
  std::vector<HudText> texts = {{4, 6, "Controls", kCx - 2.6f, kCy + 5.6f}};
  for (int32_t row = 0; row < kControlsRows; ++row) {
    const int font = row == page.Row ? 1 : 2;
    const float y = kControlsRowsTop - kControlsRowStep * static_cast<float>(row);
    texts.push_back({font, 4, ControlsRowName(row), kCx - 10, y});
    if (std::string value = ControlsRowValue(page, settings, row); !value.empty())
      texts.push_back({font, 4, std::move(value), kCx - 2, y});
  }
  texts.push_back({2, 4, ControlsStatus(page), kCx - 10, kCy - 7.3f});
  return texts;
}

void DrawControlsPage(Device& device, FontResources& fonts, const SceneResources& scene, const ControlsPage& page,
                      const Settings& settings) {
  DrawBackdrop(device, scene);
  DrawTexts(device, fonts, ControlsPageTexts(page, settings));
}

const std::vector<HudText>& HelpLines() {
  static const std::vector<HudText> kLines = {
      {4, 6, "Game Help", kCx - 2.9f, kCy + 5.6f},
      {2, 4, "The rules of Zellory Torvane are similar to those", kCx - 10, kCy + 4.6f},
      {2, 4, "of a regular zellory game, however here you will", kCx - 10, kCy + 3.8f},
      {2, 4, "have to deal with somewhat unusually shaped", kCx - 10, kCy + 3.0f},
      {2, 4, "blocks and interesting bonuses. Your result will", kCx - 10, kCy + 2.2f},
      {2, 4, "depend to a great extent not only on your skill but", kCx - 10, kCy + 1.4f},
      {2, 4, "also your speed. If you don't believe us, see for", kCx - 10, kCy + 0.6f},
      {2, 4, "yourself!", kCx - 10, kCy - 0.2f},
      {4, 5, "Control Keys:", kCx - 10, kCy - 1.5f},
      {2, 4, "Left arrow - Move left", kCx - 10, kCy - 2.5f},
      {2, 4, "Right arrow - Move right", kCx - 10, kCy - 3.3f},
      {2, 4, "Up arrow - Rotate", kCx - 10, kCy - 4.1f},
      {2, 4, "Down arrow - Move down", kCx - 10, kCy - 4.9f},
      {2, 4, "Space - Drops it faster", kCx - 10, kCy - 5.7f},
      {2, 4, "Ctrl - Turbo drop", kCx - 10, kCy - 6.5f},
      {2, 4, "Esc - Exit or return", kCx - 10, kCy - 7.3f},
      {2, 7, "Press Esc to return", kCx - 6.2f, kCy - 9.6f},
  };
  return kLines;
}

void DrawHelpScreen(Device& device, FontResources& fonts, const SceneResources& scene, const KeyBindings& bindings) {
  DrawBackdrop(device, scene);
  DrawTexts(device, fonts, HelpLines(bindings));
}

std::vector<HudText> HighScoreScreenTexts(const HighScoreState& scores, int32_t gameType) {
  std::vector<HudText> texts;
  if (gameType < 1 || gameType > kGameTypes) return texts;
  static constexpr std::array<float, kGameTypes> kTitleOffsets = {-3.2f, -2.1f, -2.5f, -1.3f, -1.7f};
  texts.push_back({4, 7, GameTypeName(gameType), kCx + kTitleOffsets[gameType - 1], kCy + 5.5f});
  const bool naming = ShowsNameEntry(scores, gameType);
  for (int i = 1; i <= kHighScoreRows; ++i) {
    const HighScoreEntry& entry = scores.Table[gameType - 1][i - 1];
    const float y = kRowTop - kRowStep * static_cast<float>(i);
    const bool named = naming && i == scores.NameEntryRow;
    const int font = named ? (i <= 3 ? 2 : 1) : (i <= 3 ? 4 : 2);
    texts.push_back({font, 6, named ? entry.EntryName + NameEntryTail(scores) : entry.EntryName, kCx - 10, y});
    texts.push_back({font, 6, std::to_string(entry.EntryScore), kCx + 6.7f, y});
  }
  texts.push_back({2, 7, scores.NameEntryActive ? "Enter your name" : "Press Esc to exit", kCx - 5.5f, kCy - 9.6f});
  return texts;
}

namespace {

// The mark shown beside an entry, by RecordMark: no replay, verifying, verified, failed.
constexpr std::array<const char*, 4> kMarkTexts{"-", "?", "+", "x"};

const char* MarkText(RecordMark mark) { return kMarkTexts[static_cast<size_t>(mark)]; }

}  // namespace

std::string HighScoreHint() { return "PgDn/X choose, Enter/A watch, Tab/Y statistics"; }

std::vector<HudText> RecordReplayTexts(const HighScoreState& scores, int32_t gameType) {
  std::vector<HudText> texts;
  if (gameType < 1 || gameType > kGameTypes) return texts;
  for (int i = 1; i <= kHighScoreRows; ++i) {
    const float y = kRowTop - kRowStep * static_cast<float>(i);
    texts.push_back({2, 4, MarkText(scores.Marks[gameType - 1][i - 1]), kCx + 6.05f, y});
    if (i == scores.ChosenRow) texts.push_back({4, 6, ">", kCx - 10.8f, y});
  }
  if (!scores.NameEntryActive) texts.push_back({2, 4, HighScoreHint(), kCx - 5.5f, kCy - 10.15f});
  return texts;
}

void DrawHighScoreScreen(Device& device, FontResources& fonts, const SceneResources& scene,
                         const HighScoreState& scores, int32_t gameType) {
  DrawBackdrop(device, scene);
  DrawTexts(device, fonts, HighScoreScreenTexts(scores, gameType));
  DrawTexts(device, fonts, RecordReplayTexts(scores, gameType));
}

std::vector<HudText> StatisticsPageTexts(const TypeStatistics& statistics, int32_t gameType) {
  std::vector<HudText> texts;
  if (gameType < 1 || gameType > kGameTypes) return texts;
  texts.push_back({4, 7, GameTypeName(gameType) + " statistics", kCx - 10, kCy + 5.5f});
  const std::array<std::pair<const char*, std::string>, 5> lifetime = {{
      {"Games", std::to_string(statistics.Games)},
      {"Time played", PlayTimeText(statistics.SecondsPlayed)},
      {"Figures", std::to_string(statistics.Figures)},
      {"Best level", std::to_string(statistics.BestLevel)},
      {"Best figures a minute", std::to_string(statistics.BestFiguresPerMinute)},
  }};
  for (size_t i = 0; i < lifetime.size(); ++i) {
    const float y = kCy + 3.8f - 1.0f * static_cast<float>(i);
    texts.push_back({2, 4, lifetime[i].first, kCx - 10, y});
    texts.push_back({1, 4, lifetime[i].second, kCx - 0.8f, y});
  }
  texts.push_back({4, 4, "Lines at once", kChartX - 0.4f, kCy + 3.8f});
  for (int size = 1; size <= kClearSizes; ++size) {
    const float x = ChartColumnX(size) - 0.3f;
    texts.push_back({1, 4, std::to_string(statistics.Clears[size - 1]), x, kChartBaseY - 1.1f});
    texts.push_back({2, 4, std::to_string(size), x, kChartBaseY - 1.9f});
  }
  texts.push_back({4, 5, "Last game", kCx - 10, kCy - 3.6f});
  const GameRecord& last = statistics.LastGame;
  if (statistics.Games == 0) {
    texts.push_back({2, 4, "None of this type yet", kCx - 10, kCy - 4.7f});
  } else {
    texts.push_back({2, 4,
                     "Figures " + std::to_string(last.Figures) + ", level " + std::to_string(last.Level) + ", " +
                         std::to_string(last.FiguresPerMinute) + " figures a minute",
                     kCx - 10, kCy - 4.7f});
    texts.push_back({2, 4, ClearsText(last.Clears), kCx - 10, kCy - 5.6f});
  }
  texts.push_back({2, 7, "Press Esc to return", kCx - 6.2f, kCy - 9.6f});
  return texts;
}

std::array<int, kClearSizes> ChartColumnHeights(const std::array<int32_t, kClearSizes>& clears) {
  const int64_t largest = *std::max_element(clears.begin(), clears.end());
  std::array<int, kClearSizes> heights{};
  if (largest <= 0) return heights;
  for (int n = 0; n < kClearSizes; ++n)
    heights[n] = static_cast<int>((int64_t{std::max(clears[n], 0)} * kChartBricks + largest - 1) / largest);
  return heights;
}

void DrawStatisticsScreen(Device& device, FontResources& fonts, const SceneResources& scene,
                          const StatisticsState& statistics, int32_t gameType, int32_t brickQuality) {
  DrawBackdrop(device, scene);
  if (gameType < 1 || gameType > kGameTypes) return;
  const TypeStatistics& shown = statistics.Table[gameType - 1];
  DrawTexts(device, fonts, StatisticsPageTexts(shown, gameType));
  device.SetRenderState(D3DRS_AMBIENT, D3DCOLOR_ARGB(0, kItemBrightness, kItemBrightness, kItemBrightness));
  const std::array<int, kClearSizes> heights = ChartColumnHeights(shown.Clears);
  for (int size = 1; size <= kClearSizes; ++size)
    for (int i = 0; i < heights[size - 1]; ++i) {
      TBrick brick;
      brick.Color = kChartColors[size - 1];
      brick.Matrix = ScaledAt(kChartBrickSize, kChartBrickSize, kChartBrickSize, ChartColumnX(size),
                              kChartBaseY + kChartBrickStep * static_cast<float>(i), 0);
      Draw(device, scene, brick, brickQuality);
    }
}

std::string SaveNoticeText(SaveNotice notice) {
  switch (notice) {
    case SaveNotice::kHighScores:
      return "The high scores could not be saved";
    case SaveNotice::kSettings:
      return "The settings could not be saved";
    case SaveNotice::kStatistics:
      return "The statistics could not be saved";
    case SaveNotice::kNone:
      break;
  }
  return "";
}

void DrawSaveNotice(Device& device, FontResources& fonts, SaveNotice notice) {
  const std::string text = SaveNoticeText(notice);
  if (!text.empty()) DrawCentredString(device, fonts, kNoticeFont, kNoticeSize, text, kCx, kNoticeY, 0.0f, 255);
}

}  // namespace zt
