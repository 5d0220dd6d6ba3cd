// The text pages of the menu: the help page, the controls page, the high-score table of one
// game type with the name being typed and its blinking cursor, and the statistics of one game
// type with its chart of bricks, each over the translucent backdrop of the menu; the Options
// screen's hint line; and the notice of a save that failed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "device/device.h"
#include "menu/high_scores.h"
#include "menu/menu.h"
#include "menu/statistics.h"
#include "render/font.h"
#include "render/hud.h"
#include "render/scene_resources.h"

namespace zt {

// The lines of the help page in drawing order, with their fonts, sizes and positions.
const std::vector<HudText>& HelpLines();
// The same with the player's keys: the lines of an action the player rebound name its keys
// instead of the game's.
std::vector<HudText> HelpLines(const KeyBindings& bindings);

// The help page: the backdrop, then its lines (z 0, alpha 255).
void DrawHelpScreen(Device& device, FontResources& fonts, const SceneResources& scene, const KeyBindings& bindings);

// The line at the foot of the Options screen that tells the key of the controls page (the
// Ctrl keys, or the keys bound in their place); drawn centred.
HudText OptionsHint(const KeyBindings& bindings);
void DrawOptionsHint(Device& device, FontResources& fonts, const KeyBindings& bindings);

// The controls page's texts: its title, a row for each action with its keys (and its buttons
// when any are bound), the palette and the reset, the chosen row in the lighter font, and a line
// that says what the keys do now.
std::vector<HudText> ControlsPageTexts(const ControlsPage& page, const Settings& settings);
// The backdrop, then the texts; drawing changes nothing of the page.
void DrawControlsPage(Device& device, FontResources& fonts, const SceneResources& scene, const ControlsPage& page,
                      const Settings& settings);

// The texts of the high-score page of game type 1..5 in drawing order: the title, the
// name and score of rows 1..10 (the row being named, with the cursor after its name, in
// the lighter fonts) and the footer.
std::vector<HudText> HighScoreScreenTexts(const HighScoreState& scores, int32_t gameType);

// What the page adds about the records' replays: a small mark beside each score (verified "+",
// failed "x", being verified "?", no replay "-"), a pointer at the row chosen for watching, and
// the hint line of the page's keys beneath the footer (not while a name is typed).
std::vector<HudText> RecordReplayTexts(const HighScoreState& scores, int32_t gameType);
std::string HighScoreHint();

// The high-score page: the backdrop, then its texts.
void DrawHighScoreScreen(Device& device, FontResources& fonts, const SceneResources& scene,
                         const HighScoreState& scores, int32_t gameType);

// The texts of the statistics page of game type 1..5 in drawing order: the title, the lifetime
// numbers, the chart's caption, counts and labels, the last game and the footer.
std::vector<HudText> StatisticsPageTexts(const TypeStatistics& statistics, int32_t gameType);

constexpr int kChartBricks = 5;  // the tallest column of the chart
// How many bricks each column of the chart of clears by size stacks: the largest count a full
// column, every other count in proportion, rounded up so that any count but 0 shows.
std::array<int, kClearSizes> ChartColumnHeights(const std::array<int32_t, kClearSizes>& clears);

// The statistics page: the backdrop, the texts, then the chart's bricks.
void DrawStatisticsScreen(Device& device, FontResources& fonts, const SceneResources& scene,
                          const StatisticsState& statistics, int32_t gameType, int32_t brickQuality);

// What the notice of a failed save says; empty for none.
std::string SaveNoticeText(SaveNotice notice);
// The notice, centred low on any menu screen (between the last row of the table and its
// footer); nothing at all without one.
void DrawSaveNotice(Device& device, FontResources& fonts, SaveNotice notice);

}  // namespace zt
