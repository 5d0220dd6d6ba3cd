#include "menu/menu.h"

#include <cmath>
#include <numbers>

#include "game/motion.h"

namespace zt {

namespace {

constexpr float kPi = std::numbers::pi_v<float>;
constexpr double kMenuBrickSpin = 0.0034906585;  // 0.2 degrees per ms

void PlayMenuSound(MenuContext& menu, SoundId sound) { menu.Game.PlaySound(sound); }

bool SelectPressed(const GameKeys& keys) { return keys.KeyEnter && keys.KeySelect; }

// The two pages that show one game type at a time, chosen with the arrows.
bool ShowsTablesByType(uint8_t screen) { return screen == kHighScoresScreen || screen == kStatisticsScreen; }

void GoToScreen(MenuState& menu, uint8_t screen, int32_t item) {
  menu.MenuScreen = screen;
  menu.MenuItem = item;
  ResetItemTurns(menu);
}

void ToggleRotation(MenuContext& menu) {
  PlayMenuSound(menu, SoundId::kMenuChange);
  menu.Config.RotationClockwise = !menu.Config.RotationClockwise;
  TFigure& demo = menu.Menu.DemoFigure;
  demo.TurnAngle = 2 * kPi - demo.TurnAngle;
}

void StepQuality(MenuContext& menu) {
  PlayMenuSound(menu, SoundId::kMenuChange);
  menu.Config.BrickQuality = menu.Config.BrickQuality >= 2 ? 0 : menu.Config.BrickQuality + 1;
}

void UpDownKeys(MenuContext& menu) {
  MenuState& state = menu.Menu;
  const GameKeys& keys = menu.Game.State.Keys;
  const int count = MenuItemCount(state.MenuScreen);
  if (count == 0) return;
  if (Fires(keys.KeyUp, keys.UpKeyTimer, kUpKeyStart) && state.SelectionSettled) {
    MoveSelection(state, state.MenuItem - 1 == 0 ? count : state.MenuItem - 1);
    state.SelectionSettled = false;
    PlayMenuSound(menu, SoundId::kMenuMove);
  }
  if (Fires(keys.KeyDown, keys.DropKeyTimer, kDropKeyStart) && state.SelectionSettled) {
    MoveSelection(state, state.MenuItem == count ? 1 : state.MenuItem + 1);
    state.SelectionSettled = false;
    PlayMenuSound(menu, SoundId::kMenuMove);
  }
}

void MainSelect(MenuContext& menu) {
  MenuState& state = menu.Menu;
  GameKeys& keys = menu.Game.State.Keys;
  if (state.MenuScreen != kMainScreen || !SelectPressed(keys)) return;
  PlayMenuSound(menu, SoundId::kMenuEnter);
  switch (state.MenuItem) {
    case 1:
      state.MenuScreen = kGameTypeScreen;
      menu.Game.State.Position = kNoPosition;
      ResetItemTurns(state);
      break;
    case 2:
      GoToScreen(state, kOptionsScreen, 1);
      break;
    case 3:
      state.MenuScreen = kHighScoresScreen;
      break;
    case 4:
      state.MenuScreen = kHelpScreen;
      break;
    default:
      state.ExitRequested = true;
      return;
  }
  keys.KeyEnter = false;
}

void OptionsKeys(MenuContext& menu) {
  MenuState& state = menu.Menu;
  GameKeys& keys = menu.Game.State.Keys;
  Settings& config = menu.Config;
  if (state.MenuScreen != kOptionsScreen) return;
  if (keys.KeyCtrlPressed) {
    PlayMenuSound(menu, SoundId::kMenuEnter);
    GoToScreen(state, kControlsScreen, state.MenuItem);
    state.Controls = OpenControlsPage(state.Controls.Bindings);
    return;
  }

  if (SelectPressed(keys)) {
    switch (state.MenuItem) {
      case 3:
        ToggleRotation(menu);
        keys.KeyEnter = false;
        break;
      case 4:
        StepQuality(menu);
        keys.KeyEnter = false;
        break;
      case 5:
        PlayMenuSound(menu, SoundId::kMenuEnter);
        GoToScreen(state, kMainScreen, 1);
        keys.KeyEnter = false;
        break;
      default:
        break;  // Sound and Music: the press stays pending
    }
  }
  // Left and Right act only on the frame of the press.
  const int32_t delay = config.SidewaysKeyDelay;
  const bool left = keys.KeyLeft && keys.ShiftKeyTimer == delay;
  const bool right = keys.KeyRight && keys.ShiftKeyTimer == delay;
  for (int step : {left ? -1 : 0, right ? +1 : 0}) {
    if (step == 0 || state.MenuScreen != kOptionsScreen) continue;
    switch (state.MenuItem) {
      case 1:
        if (config.SoundVolume + step < 0 || config.SoundVolume + step > 9) break;
        config.SoundVolume += step;
        PlayMenuSound(menu, SoundId::kMenuChange);  // at the new volume
        break;
      case 2:
        if (config.MusicVolume + step < 0 || config.MusicVolume + step > 9) break;
        config.MusicVolume += step;
        Music_SetVolume(menu.Game.Audio, config.MusicVolume);
        break;
      case 3:
        ToggleRotation(menu);
        break;
      case 4:
        StepQuality(menu);
        break;
      default:
        break;
    }
  }
  UpdateVolumeBars(state, config, menu.Game.State.Time.FrameMs);
}

void GameTypeSelect(MenuContext& menu) {
  MenuState& state = menu.Menu;
  GameState& game = menu.Game.State;
  GameKeys& keys = game.Keys;
  if (state.MenuScreen != kGameTypeScreen || !SelectPressed(keys)) return;
  if (state.MenuItem == 6) {
    PlayMenuSound(menu, SoundId::kMenuEnter);
    GoToScreen(state, kMainScreen, 1);
    keys.KeyEnter = false;
    return;
  }
  if (game.Mode.InputLocked) return;
  PlayMenuSound(menu, SoundId::kMenuEnter);
  game.Mode.FadeOut = true;
  game.Mode.InputLocked = true;
  game.GameType = state.MenuItem;
}

void HighScoreTableKeys(MenuContext& menu) {
  MenuState& state = menu.Menu;
  const GameKeys& keys = menu.Game.State.Keys;
  HighScoreState& scores = menu.Scores;
  if (!ShowsTablesByType(state.MenuScreen) || scores.NameEntryActive) return;
  const int32_t delay = menu.Config.SidewaysKeyDelay;
  const bool back =
      (keys.KeyLeft && keys.ShiftKeyTimer == delay) || (keys.KeyDown && keys.DropKeyTimer == kDropKeyStart);
  const bool forward = (keys.KeyRight && keys.ShiftKeyTimer == delay) || (keys.KeyUp && keys.UpKeyTimer == kUpKeyStart);
  if (back) {
    PlayMenuSound(menu, SoundId::kMenuChange);
    scores.ShownHighScoreType = scores.ShownHighScoreType == 1 ? 5 : scores.ShownHighScoreType - 1;
  }
  if (forward) {
    PlayMenuSound(menu, SoundId::kMenuChange);
    scores.ShownHighScoreType = scores.ShownHighScoreType == 5 ? 1 : scores.ShownHighScoreType + 1;
  }
}

// Tab, on the frame of its press: from the table to the statistics of its game type and back.
void StatisticsKey(MenuContext& menu) {
  MenuState& state = menu.Menu;
  const GameKeys& keys = menu.Game.State.Keys;
  if (!ShowsTablesByType(state.MenuScreen) || menu.Scores.NameEntryActive) return;
  if (!keys.KeyTab || keys.TabKeyTimer != kTabKeyStart) return;
  PlayMenuSound(menu, SoundId::kMenuEnter);
  state.MenuScreen = state.MenuScreen == kHighScoresScreen ? kStatisticsScreen : kHighScoresScreen;
}

void FadeIntoGame(MenuContext& menu) {
  ModeFlags& mode = menu.Game.State.Mode;
  const uint32_t frameMs = menu.Game.State.Time.FrameMs;
  FadeOutStep(mode, frameMs);
  if (mode.FadeOutDone) {
    mode.InMenu = false;
    mode.FadeOutDone = false;
    NewGame(menu.Game);
    mode.FadeIn = true;
    PlayMenuSound(menu, SoundId::kNewGame);
  }
  FadeInStep(mode, frameMs);
}

// Esc: each screen's action in turn, each seeing the screen the one before left.
void EscKeys(MenuContext& menu) {
  MenuState& state = menu.Menu;
  const GameKeys& keys = menu.Game.State.Keys;
  if (!Fires(keys.KeyEsc, keys.EscKeyTimer, kEscKeyStart)) return;
  if (state.MenuScreen == kMainScreen && state.MenuItem != 5) {
    PlayMenuSound(menu, SoundId::kMenuEnter);
    MoveSelection(state, 5);
  }
  if (state.MenuScreen == kOptionsScreen) {
    PlayMenuSound(menu, SoundId::kMenuEnter);
    GoToScreen(state, kMainScreen, 2);
  }
  if (state.MenuScreen == kGameTypeScreen) {
    PlayMenuSound(menu, SoundId::kMenuEnter);
    GoToScreen(state, kMainScreen, 1);
  }
  if (state.MenuScreen == kHighScoresScreen && !menu.Scores.NameEntryActive) {
    PlayMenuSound(menu, SoundId::kMenuEnter);
    state.MenuScreen = kMainScreen;
  }
  if (state.MenuScreen == kHelpScreen) {
    PlayMenuSound(menu, SoundId::kMenuEnter);
    state.MenuScreen = kMainScreen;
  }
  if (state.MenuScreen == kStatisticsScreen) {
    PlayMenuSound(menu, SoundId::kMenuEnter);
    state.MenuScreen = kHighScoresScreen;
  }
}

void GrowSelectedItem(MenuState& menu, uint32_t frameMs) {
  if (menu.ItemScale < kSelectedItemWidth) {
    menu.ItemScale = static_cast<float>(menu.ItemScale + 0.004 * frameMs);
    if (menu.ItemScale >= kSelectedItemWidth) {
      menu.ItemScale = kSelectedItemWidth;
      menu.SelectionSettled = true;
    }
  }
  if (menu.ItemBrightness < kSelectedItemBrightness) {
    menu.ItemBrightness += static_cast<int32_t>(std::nearbyint(0.4 * frameMs));
    if (menu.ItemBrightness > 201) menu.ItemBrightness = kSelectedItemBrightness;
  }
}

void ShrinkPreviousItem(MenuState& menu, uint32_t frameMs) {
  if (menu.PrevItemScale > kItemWidth)
    menu.PrevItemScale = std::max(static_cast<float>(menu.PrevItemScale - 0.004 * frameMs), kItemWidth);
  if (menu.PrevItemBrightness > kItemBrightness) {
    menu.PrevItemBrightness -= static_cast<int32_t>(std::nearbyint(0.4 * frameMs));
    if (menu.PrevItemBrightness <= kItemBrightness) menu.PrevItemBrightness = kItemBrightness;
  }
}

// The Rotation row's demonstration figure turns once every 300 ms of rest while the row is selected.
void EndDemoFigureRest(MenuState& menu) {
  if (menu.MenuItem != 3) {
    menu.DemoTimer = -100;
  } else if (menu.DemoTimer > 300 && !menu.DemoFigure.Turning) {
    menu.DemoTurnDue = true;
    menu.DemoTimer = 0;
  }
}

void ChooseControlsRow(MenuContext& menu) {
  ControlsPage& page = menu.Menu.Controls;
  if (page.Row == kPaletteRow) {
    menu.Config.Palette = menu.Config.Palette == kGamePalette ? kColourBlindPalette : kGamePalette;
    PlayMenuSound(menu, SoundId::kMenuChange);
  } else if (page.Row == kAntialiasingRow) {
    menu.Config.Antialiasing = AntialiasingNextStart(menu.Config) ? kAntialiasingOff : kAntialiasingOn;
    PlayMenuSound(menu, SoundId::kMenuChange);
  } else if (page.Row == kResetRow) {
    page.Bindings = KeyBindings{};
    PlayMenuSound(menu, SoundId::kMenuChange);
  } else {
    page.Waiting = true;
    page.Press.reset();  // that was the select key: the next press is the new one
    PlayMenuSound(menu, SoundId::kMenuEnter);
  }
  menu.Game.State.Keys.KeyEnter = false;
}

// Moving between the rows and choosing one, while the page waits for nothing.
void ControlsRowKeys(MenuContext& menu) {
  ControlsPage& page = menu.Menu.Controls;
  GameKeys& keys = menu.Game.State.Keys;
  if (menu.Menu.MenuScreen != kControlsScreen || page.Waiting || page.Offer) return;
  if (FiresRepeating(keys.KeyUp, keys.UpKeyTimer, kUpKeyStart, kControlsRepeatMs)) {
    page.Row = page.Row == 0 ? kControlsRows - 1 : page.Row - 1;
    PlayMenuSound(menu, SoundId::kMenuMove);
  }
  if (FiresRepeating(keys.KeyDown, keys.DropKeyTimer, kDropKeyStart, kControlsRepeatMs)) {
    page.Row = page.Row == kControlsRows - 1 ? 0 : page.Row + 1;
    PlayMenuSound(menu, SoundId::kMenuMove);
  }
  if (SelectPressed(keys)) ChooseControlsRow(menu);
}

// The new key or button, the answer to a swap, or Esc: after the Esc chain, so that the Esc that
// leaves the page is not taken by the Options screen in the same frame.
void ControlsAnswerKeys(MenuContext& menu) {
  MenuState& state = menu.Menu;
  ControlsPage& page = state.Controls;
  GameKeys& keys = menu.Game.State.Keys;
  if (state.MenuScreen != kControlsScreen) return;
  const bool esc = Fires(keys.KeyEsc, keys.EscKeyTimer, kEscKeyStart);
  if (page.Waiting && (esc || page.Press)) {
    page.Waiting = false;
    keys.KeyEnter = false;  // a press that binds selects nothing
    PlayMenuSound(menu, esc ? SoundId::kMenuEnter : SoundId::kMenuChange);
    if (!esc) BindPress(page, static_cast<size_t>(page.Row), *page.Press);
  } else if (page.Offer && SelectPressed(keys)) {
    keys.KeyEnter = false;
    PlayMenuSound(menu, SoundId::kMenuChange);
    SwapOffer(page, static_cast<size_t>(page.Row));
  } else if (page.Offer && esc) {
    PlayMenuSound(menu, SoundId::kMenuEnter);
    page.Offer.reset();
  } else if (!page.Waiting && !page.Offer && esc) {
    PlayMenuSound(menu, SoundId::kMenuEnter);
    GoToScreen(state, kOptionsScreen, state.MenuItem);
  }
}

}  // namespace

MenuState::MenuState() {
  for (D3DMATRIX& brick : MenuBricks) MatTranslation(brick, kGlassCenterX, kGlassCenterY, 0);
  DemoFigure.Place(7, 1, 1.0f, 0, 9, 14);
}

int MenuItemCount(uint8_t screen) {
  switch (screen) {
    case kMainScreen:
    case kOptionsScreen:
      return 5;
    case kGameTypeScreen:
      return 6;
    default:
      return 0;
  }
}

void MoveSelection(MenuState& menu, int32_t item) {
  menu.PrevItemScale = menu.ItemScale;
  menu.ItemScale = kItemWidth;
  menu.PrevItemBrightness = menu.ItemBrightness;
  menu.ItemBrightness = kItemBrightness;
  menu.PrevMenuItem = menu.MenuItem;
  menu.MenuItem = item;
}

void ResetItemTurns(MenuState& menu) { menu.ItemAngle.fill(0); }

void MenuStep(MenuContext& menu) {
  GameState& game = menu.Game.State;
  GameKeys& keys = game.Keys;
  TakeFrameTime(game.Time, menu.Game.Time);
  const uint32_t frameMs = game.Time.FrameMs;

  DemoFigureStep(menu.Menu, menu.Config, menu.Game.Shapes, frameMs);
  UpdateItemTurns(menu.Menu, frameMs);
  UpDownKeys(menu);
  MainSelect(menu);
  OptionsKeys(menu);
  ControlsRowKeys(menu);
  GameTypeSelect(menu);
  CountDown(keys.KeyEnter, keys.EnterKeyTimer, frameMs);
  HighScoreTableKeys(menu);
  StatisticsKey(menu);
  CountDown(keys.KeyTab, keys.TabKeyTimer, frameMs);
  CountDown(keys.KeyLeft || keys.KeyRight, keys.ShiftKeyTimer, frameMs);
  CountDown(keys.KeyUp, keys.UpKeyTimer, frameMs);
  CountDown(keys.KeyDown, keys.DropKeyTimer, frameMs);
  FadeIntoGame(menu);
  EscKeys(menu);
  ControlsAnswerKeys(menu);
  CountDown(keys.KeyEsc, keys.EscKeyTimer, frameMs);
  SpinMenuBricks(menu.Menu, frameMs);
  if (menu.Menu.MenuScreen != menu.Menu.NoticeScreen) menu.Menu.Notice = SaveNotice::kNone;
}

void PostSaveNotice(MenuState& menu, SaveNotice notice) {
  menu.Notice = notice;
  menu.NoticeScreen = menu.MenuScreen;
}

void EnterMenuAfterGame(MenuContext& menu, LeaveResult result) {
  GameState& game = menu.Game.State;
  if (result == LeaveResult::kLeftAfterGameOver) {
    if (InsertNewScore(menu.Scores, game.GameType, game.Score, game.Position)) NewGame(menu.Game);
    menu.Menu.MenuScreen = kHighScoresScreen;
    menu.Menu.MenuItem = 1;
    menu.Scores.ShownHighScoreType = game.GameType;
  } else if (result == LeaveResult::kLeftAfterAbort) {
    menu.Menu.MenuScreen = kMainScreen;
    menu.Menu.MenuItem = 1;
  }
}

void DemoFigureStep(MenuState& menu, const Settings& settings, const FigureShapes& shapes, uint32_t frameMs) {
  if (menu.DemoTurnDue) {
    static const Glass kNoGlass{};  // the turn in the menu tests no cells
    Rotate(menu.DemoFigure, kNoGlass, shapes, settings.RotationClockwise, true);
    menu.DemoTurnDue = false;
  }
  if (menu.DemoFigure.Turning)
    TurnStep(menu.DemoFigure, frameMs, settings.RotationSpeedFactor, settings.RotationClockwise, true);
  else
    menu.DemoTimer += static_cast<int32_t>(frameMs);
}

void UpdateItemTurns(MenuState& menu, uint32_t frameMs) {
  constexpr float kQuarter = kPi / 2;
  for (int slot = 1; slot <= kMenuSlots; ++slot) {
    float& angle = menu.ItemAngle[slot - 1];
    if (slot == menu.MenuItem) {
      angle = static_cast<float>(angle - 0.0017453293 * frameMs);
      if (angle < -kQuarter) angle += kQuarter;
    } else if (angle != 0) {
      angle = static_cast<float>(angle - 0.0031415927 * frameMs);
      if (angle < -kQuarter) angle = 0;
    }
  }
}

void UpdateVolumeBars(MenuState& menu, const Settings& settings, uint32_t frameMs) {
  const std::array<int32_t, 2> levels = {settings.SoundVolume, settings.MusicVolume};
  const float step = static_cast<float>(0.01 * frameMs);
  for (int row = 0; row < 2; ++row)
    for (int i = 1; i <= kVolumeBricks; ++i) {
      float& size = menu.VolumeBrickSize[row][i - 1];
      if (i <= levels[row])
        size = std::min(size + step, 0.74f);
      else
        size = std::max(size - step, 0.0f);
    }
}

void SpinMenuBricks(MenuState& menu, uint32_t frameMs) {
  for (int n = 0; n < 2; ++n) {
    D3DMATRIX rotation, spun;
    const float angle = static_cast<float>((n == 0 ? -kMenuBrickSpin : kMenuBrickSpin) * frameMs);
    MatRotationY(rotation, angle);
    MatMultiply(menu.MenuBricks[n], rotation, spun);
    menu.MenuBricks[n] = spun;
  }
}

void CreateVolumeBricks(MenuState& menu, const Settings& settings) {
  const std::array<int32_t, 2> levels = {settings.SoundVolume, settings.MusicVolume};
  for (int row = 0; row < 2; ++row)
    for (int i = 1; i <= kVolumeBricks; ++i) menu.VolumeBrickSize[row][i - 1] = levels[row] >= i ? 0.74f : 0.0f;
}

void MenuAnimationStep(MenuState& menu, HighScoreState& scores, uint32_t frameMs) {
  const int slots = MenuItemCount(menu.MenuScreen);
  if (menu.MenuItem >= 1 && menu.MenuItem <= slots) GrowSelectedItem(menu, frameMs);
  if (menu.PrevMenuItem >= 1 && menu.PrevMenuItem <= slots && menu.PrevMenuItem != menu.MenuItem)
    ShrinkPreviousItem(menu, frameMs);
  if (menu.MenuScreen == kOptionsScreen) EndDemoFigureRest(menu);
  if (menu.MenuScreen == kHighScoresScreen && ShowsNameEntry(scores, scores.ShownHighScoreType))
    StepNameCursor(scores, static_cast<int32_t>(frameMs));
}

}  // namespace zt
