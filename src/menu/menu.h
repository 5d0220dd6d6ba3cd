// The menu: five screens of picture items, the highlight moved with the arrows, Space or
// Enter selecting, Left/Right changing the options, Esc going back, and the fade into a game.
// Also the menu's animation values (item growth and roll, volume bricks, demo figure, name cursor).
#pragma once

#include <array>
#include <cstdint>

#include "game/game_context.h"
#include "game/game_step.h"
#include "menu/controls_page.h"
#include "menu/high_scores.h"

namespace zt {

// The screens numbered from 0, as the state dumps show them.
enum MenuScreenId : uint8_t {
  kMainScreen,
  kOptionsScreen,
  kHelpScreen,
  kHighScoresScreen,
  kGameTypeScreen,
  kControlsScreen,
  kStatisticsScreen  // reached from the high scores with Tab
};

constexpr int kMenuSlots = 6;
constexpr int kVolumeBricks = 9;
constexpr float kItemWidth = 8.0f;          // an item slab at rest
constexpr float kSelectedItemWidth = 8.4f;  // the selected slab, grown
constexpr int32_t kItemBrightness = 101;
constexpr int32_t kSelectedItemBrightness = 202;

// A save of the player's files that failed during play, told on the screen shown next.
enum class SaveNotice : uint8_t { kNone, kHighScores, kSettings, kStatistics };

struct MenuState {
  uint8_t MenuScreen = kMainScreen;
  int32_t MenuItem = 1;        // counted from 1
  int32_t PrevMenuItem = 100;  // 100: none
  bool SelectionSettled = true;
  float ItemScale = kSelectedItemWidth;
  float PrevItemScale = kItemWidth;
  int32_t ItemBrightness = kSelectedItemBrightness;
  int32_t PrevItemBrightness = kItemBrightness;
  std::array<float, kMenuSlots> ItemAngle{};  // roll of the slab in each slot, radians
  std::array<D3DMATRIX, 2> MenuBricks{};      // the spinning bricks beside the selection
  TFigure DemoFigure;                         // turns on the Options screen
  int32_t DemoTimer = 0;                      // ms since the demo figure last turned
  bool DemoTurnDue = false;  // its rest is over: the frame shows it at rest, the next step starts the turn
  std::array<std::array<float, kVolumeBricks>, 2> VolumeBrickSize{};  // [0] sound, [1] music
  bool ExitRequested = false;                                         // Exit chosen: the window closes
  SaveNotice Notice = SaveNotice::kNone;                              // shown while the menu stays on NoticeScreen
  uint8_t NoticeScreen = kMainScreen;
  ControlsPage Controls;  // while MenuScreen is kControlsScreen

  MenuState();
};

int MenuItemCount(uint8_t screen);

// What the menu step works with besides its own state.
struct MenuContext {
  MenuState& Menu;
  HighScoreState& Scores;
  GameContext& Game;
  Settings& Config;  // the options screen changes it
};

// One menu frame's step; a save notice goes once the player has left its screen.
void MenuStep(MenuContext& menu);
// A save failed: the screen the menu shows now tells the player until they leave it.
void PostSaveNotice(MenuState& menu, SaveNotice notice);
void MoveSelection(MenuState& menu, int32_t item);
void ResetItemTurns(MenuState& menu);

// Back in the menu after a game's fade to black: the high-score screen after a game over
// (with name entry when the score made the table), the main screen after an abort.
void EnterMenuAfterGame(MenuContext& menu, LeaveResult result);

// The animations advanced by the menu step.
void DemoFigureStep(MenuState& menu, const Settings& settings, const FigureShapes& shapes, uint32_t frameMs);
void UpdateItemTurns(MenuState& menu, uint32_t frameMs);
void UpdateVolumeBars(MenuState& menu, const Settings& settings, uint32_t frameMs);
void SpinMenuBricks(MenuState& menu, uint32_t frameMs);
void CreateVolumeBricks(MenuState& menu, const Settings& settings);

// The animations of the menu's picture, run in each frame that draws the menu, after the step and before the
// drawing: on the item screens the selected slab grows and brightens (settling the selection once grown) and
// the one that lost it shrinks and darkens; on the Options screen the demonstration figure's rest ends (once
// every 300 ms of rest while Rotation is selected); on the high-score page that shows the name being typed,
// the cursor blinks.
void MenuAnimationStep(MenuState& menu, HighScoreState& scores, uint32_t frameMs);

}  // namespace zt
