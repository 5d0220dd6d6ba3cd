// What the game scene shows beside the glass: the panel texts by rank and game type, the
// game time, the bar fills at their edges, the swing of the interruption picture, the
// message opacity; and the texts of the help and high-score pages.
#include "render/hud.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "device/recording_device.h"
#include "render/menu_pages.h"
#include "render/text_layout.h"

namespace zt {
namespace {

const HudText* Find(const std::vector<HudText>& texts, const std::string& prefix) {
  for (const HudText& t : texts)
    if (t.Text.rfind(prefix, 0) == 0) return &t;
  return nullptr;
}

HighScoreTable RisingTable() {
  HighScoreTable table;
  for (int type = 0; type < kGameTypes; ++type)
    for (int row = 0; row < kHighScoreRows; ++row) table[type][row] = {"P", (type + 1) * 1000 + (10 - row) * 10};
  return table;
}

// A game of the type whose score would take that rank of its table (11: none).
GameState GameAtRank(int32_t gameType, int32_t position) {
  GameState state;
  state.GameType = gameType;
  state.Position = position;
  return state;
}

TEST(HudTextsTest, RankOneShowsThePlayersOwnScoreAsTheBest) {
  GameState state = GameAtRank(kVodoza, 1);
  state.Score = 4321;
  state.ShownScore = 4300;
  const std::vector<HudText> texts = HudTexts(state, RisingTable());
  ASSERT_NE(Find(texts, "You are the best! "), nullptr);
  EXPECT_EQ(Find(texts, "You are the best")->Text, "You are the best! ");
  EXPECT_EQ(Find(texts, "Best Score: ")->Text, "Best Score: 4321");
  EXPECT_EQ(Find(texts, "Best Score: ")->Font, 4);
  EXPECT_FLOAT_EQ(Find(texts, "Best Score: ")->X, 5.5f + 6.6f);
  EXPECT_EQ(Find(texts, "Next Score"), nullptr);
  EXPECT_EQ(Find(texts, "Position: ")->Text, "Position: 1");
  EXPECT_EQ(Find(texts, "Scores: ")->Text, "Scores: 4300");  // the counting-up score
}

TEST(HudTextsTest, LowerRanksShowTheEntryAboveAndTheTopEntryOfTheGameTypesTable) {
  const HighScoreTable table = RisingTable();
  GameState state = GameAtRank(kRedara, 4);
  std::vector<HudText> texts = HudTexts(state, table);
  EXPECT_EQ(Find(texts, "Position: ")->Text, "Position: 4");
  EXPECT_EQ(Find(texts, "Next Score: ")->Text, "Next Score: 2080");  // rank 3 of type 2
  EXPECT_EQ(Find(texts, "Best Score: ")->Text, "Best Score: 2100");
  EXPECT_EQ(Find(texts, "Next Score: ")->Font, 2);  // types 2 and 4 use font 2
  EXPECT_EQ(Find(texts, "You are"), nullptr);

  state.GameType = kRetro;
  state.Position = 11;  // not in the table: the next score to beat is rank 10
  texts = HudTexts(state, table);
  EXPECT_EQ(Find(texts, "Position: ")->Text, "Position: None");
  EXPECT_EQ(Find(texts, "Next Score: ")->Text, "Next Score: 5010");
  EXPECT_EQ(Find(texts, "Next Score: ")->Font, 1);
  EXPECT_FLOAT_EQ(Find(texts, "Next Score: ")->Y, 10.5f - 1.8f);

  state.Position = 2;
  EXPECT_EQ(Find(HudTexts(state, table), "Next Score: ")->Text, "Next Score: 5100");
}

TEST(HudTextsTest, GameTypeNameAndLinesAddedFollowTheGameType) {
  GameState state;
  const float offsets[5] = {7.0f, 7.82f, 7.75f, 8.33f, 8.06f};
  const char* names[5] = {"Torvane", "Redara", "Vodoza", "Kids", "Retro"};
  for (int type = 1; type <= 5; ++type) {
    state.GameType = type;
    state.LinesAdded = 3;
    const std::vector<HudText> texts = HudTexts(state, RisingTable());
    const HudText* name = Find(texts, names[type - 1]);
    ASSERT_NE(name, nullptr) << type;
    EXPECT_EQ(name->Font, 4);
    EXPECT_EQ(name->Size, 5);
    EXPECT_FLOAT_EQ(name->X, 5.5f + offsets[type - 1]);
    EXPECT_FLOAT_EQ(name->Y, 10.5f + 1.1f);
    EXPECT_EQ(Find(texts, "Lines Added: ") != nullptr, type == 5) << type;
  }
  EXPECT_EQ(Find(HudTexts(state, RisingTable()), "Lines Added: ")->Text, "Lines Added: 3");
}

TEST(HudTextsTest, PanelsComeInTableOrderWithTheirFontsSizesAndPlaces) {
  GameState state = GameAtRank(kTorvane, 11);
  state.Lines = 12;
  state.Level = 3;
  state.FiguresPerMinute = 41;
  state.Time.GameSeconds = 125;
  const std::vector<HudText> texts = HudTexts(state, RisingTable());
  const std::vector<HudText> head(texts.begin(), texts.begin() + 10);
  const std::vector<HudText> expected = {
      {2, 5, "Next:", 5.5f - 13.3f, 10.5f + 7.8f},      {4, 4, "Scores: 0", 5.5f - 13.3f, 10.5f + 3.0f},
      {4, 4, "Lines: 12", 5.5f - 13.3f, 10.5f + 1.8f},  {4, 4, "Level: 3", 5.5f - 13.3f, 10.5f + 0.6f},
      {2, 4, "Speed: 41", 5.5f - 13.3f, 10.5f - 1.8f},  {2, 4, "Position: None", 5.5f - 13.3f, 10.5f - 3.0f},
      {1, 5, "Game Time:", 5.5f + 7.02f, 10.5f + 7.8f}, {4, 5, "02:05", 5.5f + 8.35f, 10.5f + 6.6f},
      {1, 5, "Game Type:", 5.5f + 7.0f, 10.5f + 2.3f},  {4, 5, "Torvane", 5.5f + 7.0f, 10.5f + 1.1f},
  };
  EXPECT_EQ(head, expected);
}

TEST(HudTextsTest, GameTimeHasTwoDigitMinutesAndSecondsAtLeast) {
  EXPECT_EQ(GameTimeText(0), "00:00");
  EXPECT_EQ(GameTimeText(59), "00:59");
  EXPECT_EQ(GameTimeText(60), "01:00");
  EXPECT_EQ(GameTimeText(125), "02:05");
  EXPECT_EQ(GameTimeText(3599), "59:59");
  EXPECT_EQ(GameTimeText(6000), "100:00");
}

TEST(HudBarsTest, FillsAtTheirEdges) {
  EXPECT_FLOAT_EQ(BonusTimeFraction(60000), 0.0f);
  EXPECT_FLOAT_EQ(BonusTimeFraction(30000), 0.5f);
  EXPECT_FLOAT_EQ(BonusTimeFraction(0), 1.0f);
  EXPECT_FLOAT_EQ(BonusTimeFraction(-5), 1.0f);
  EXPECT_FLOAT_EQ(RetroTimeFraction(45), 0.0f);
  EXPECT_FLOAT_EQ(RetroTimeFraction(0), 1.0f);
  EXPECT_NEAR(RetroTimeFraction(30), 1.0f / 3.0f, 1e-6);
  EXPECT_FLOAT_EQ(PowerFraction(1, 750), 0.25f);
  EXPECT_FLOAT_EQ(PowerFraction(1, 1500), 0.5f);
  EXPECT_NEAR(PowerFraction(1, 2325), 0.75f, 1e-6);
  EXPECT_FLOAT_EQ(PowerFraction(1, 3150), 1.0f);
  EXPECT_FLOAT_EQ(PowerFraction(1, 9000), 1.0f);
  EXPECT_FLOAT_EQ(PowerFraction(2, 1275), 0.5f);
  EXPECT_FLOAT_EQ(PowerFraction(4, 2550), 1.0f);
  EXPECT_FLOAT_EQ(PowerFraction(3, 4000), 1.0f);
}

TEST(HudBarsTest, WhichBarsAndLabelsStandByBonusModeGameTypeAndInterruption) {
  GameState state;
  state.GameType = kTorvane;
  EXPECT_TRUE(HudBarsOf(state).empty());  // no bonus clock: no bars

  state.Bonus.BonusMode = true;
  state.Bonus.BonusCountdown = 15000;
  state.Bonus.ShownPowerPoints = 750;
  std::vector<HudBarGroup> bars = HudBarsOf(state);
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[0].Labels, (std::vector<HudText>{{2, 3, "Time", 5.5f + 8.9f, 10.5f - 6.0f}}));
  EXPECT_EQ(bars[0].Bar, (HudBar{BarKind::kBar, -5.5f, 0.75f}));
  EXPECT_EQ(bars[1].Labels, (std::vector<HudText>{{2, 3, "Bomb", 5.5f + 7.6f, 10.5f - 7.5f},
                                                  {2, 3, "Power", 5.5f + 10.18f, 10.5f - 7.5f}}));
  EXPECT_EQ(bars[1].Bar, (HudBar{BarKind::kPowerBar, -7.0f, 0.25f}));

  state.GameType = kKids;
  bars = HudBarsOf(state);
  ASSERT_EQ(bars.size(), 2u);
  EXPECT_EQ(bars[1].Labels, (std::vector<HudText>{{2, 3, "Bomb Power", 5.5f + 8.0f, 10.5f - 7.5f}}));
  EXPECT_EQ(bars[1].Bar.Kind, BarKind::kBar);
  EXPECT_FLOAT_EQ(bars[1].Bar.Fraction, 750.0f / 2550.0f);

  // "Retro" without the bonus clock: the time to the next added line, hidden while interrupted.
  state = GameState();
  state.GameType = kRetro;
  state.Bonus.RetroSecondsLeft = 9;
  bars = HudBarsOf(state);
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].Labels[0].Text, "Time");
  EXPECT_FLOAT_EQ(bars[0].Bar.Fraction, 0.8f);
  state.Mode.Paused = true;
  EXPECT_TRUE(HudBarsOf(state).empty());
  state.Mode.Paused = false;
  state.Mode.GameOver = true;
  EXPECT_TRUE(HudBarsOf(state).empty());
}

TEST(SwingTest, RocksBetweenMinusAndPlusThreeDegreesAtFifteenDegreesPerSecond) {
  const float limit = 3.0f * 3.14159265f / 180.0f;
  SwingState swing;
  AdvanceSwing(swing, 100);  // 1.5 degrees
  EXPECT_NEAR(swing.SwingAngle, limit / 2, 1e-6);
  EXPECT_EQ(swing.SwingDirection, 1);
  AdvanceSwing(swing, 101);  // passes 3 degrees: held there and turned back
  EXPECT_NEAR(swing.SwingAngle, limit, 1e-6);
  EXPECT_EQ(swing.SwingDirection, -1);
  float lowest = 0, highest = 0;
  for (int i = 0; i < 500; ++i) {
    AdvanceSwing(swing, 17);
    lowest = std::min(lowest, swing.SwingAngle);
    highest = std::max(highest, swing.SwingAngle);
  }
  EXPECT_NEAR(lowest, -limit, 1e-6);
  EXPECT_NEAR(highest, limit, 1e-6);
}

TEST(HudStateTest, InterruptionPictureAndMessageOpacity) {
  ModeFlags mode;
  EXPECT_EQ(StatePictureKind(mode), 0);
  mode.AbortAsked = true;
  EXPECT_EQ(StatePictureKind(mode), 3);
  mode.Paused = true;
  EXPECT_EQ(StatePictureKind(mode), 2);
  mode.GameOver = true;
  EXPECT_EQ(StatePictureKind(mode), 1);

  EXPECT_EQ(MessageDrawAlpha(10.0f), -1);
  EXPECT_EQ(MessageDrawAlpha(-40.0f), -1);
  EXPECT_EQ(MessageDrawAlpha(10.5f), 10);  // halves go to the even integer
  EXPECT_EQ(MessageDrawAlpha(11.5f), 12);
  EXPECT_EQ(MessageDrawAlpha(10.6f), 11);
  EXPECT_EQ(MessageDrawAlpha(255.0f), 255);
}

TEST(MenuPagesTest, HelpPageLines) {
  const std::vector<HudText>& lines = HelpLines();
  ASSERT_EQ(lines.size(), 17u);
  EXPECT_EQ(lines.front(), (HudText{4, 6, "Game Help", 5.5f - 2.9f, 10.5f + 5.6f}));
  EXPECT_EQ(lines[6].Text, "also your speed. If you don't believe us, see for");
  EXPECT_EQ(lines[8], (HudText{4, 5, "Control Keys:", 5.5f - 10, 10.5f - 1.5f}));
  EXPECT_EQ(lines.back(), (HudText{2, 7, "Press Esc to return", 5.5f - 6.2f, 10.5f - 9.6f}));
  // Body lines and key lines run 0.8 apart.
  for (size_t i = 2; i <= 7; ++i) EXPECT_NEAR(lines[i - 1].Y - lines[i].Y, 0.8f, 1e-5) << i;
  for (size_t i = 10; i <= 15; ++i) EXPECT_NEAR(lines[i - 1].Y - lines[i].Y, 0.8f, 1e-5) << i;
}

TEST(MenuPagesTest, TheHelpPageAndTheOptionsHintNameTheKeysOnlyOfReboundActions) {
  KeyBindings bindings;
  EXPECT_EQ(HelpLines(bindings), HelpLines());  // word for word at the game's keys
  EXPECT_EQ(OptionsHint(bindings).Text, "Ctrl - Controls");

  bindings.Keys[kActionLeft] = {{20, "Q"}, {4, "A"}};
  bindings.Keys[kActionTurn] = {{44, "Space"}};  // Drop's key: Drop is left with none
  bindings.Keys[kActionAbort] = {{41, "Escape"}, {53, "`"}};
  bindings.Keys[kActionInstantDrop] = {{229, "Right Shift"}};
  const std::vector<HudText> lines = HelpLines(bindings);
  EXPECT_EQ(lines[9].Text, "Q/A - Move left");
  EXPECT_EQ(lines[10].Text, "Right arrow - Move right");
  EXPECT_EQ(lines[11].Text, "Space - Rotate");
  EXPECT_EQ(lines[13].Text, "None - Drops it faster");
  EXPECT_EQ(lines[14].Text, "Right Shift - Turbo drop");
  EXPECT_EQ(lines[15].Text, "Escape/` - Exit or return");
  EXPECT_EQ(lines[16].Text, "Press Escape/` to return");
  EXPECT_EQ(lines[16].X, HelpLines()[16].X);
  EXPECT_EQ(OptionsHint(bindings).Text, "Right Shift - Controls");
}

TEST(MenuPagesTest, TheControlsPageShowsEveryActionsInputsAndWhatItWaitsFor) {
  ControlsPage page;
  page.Bindings.Keys[kActionDrop] = {{4, "A"}};
  page.Bindings.Buttons[kActionDrop] = {{3, "y"}};
  Settings settings;
  std::vector<HudText> texts = ControlsPageTexts(page, settings);
  ASSERT_EQ(texts.size(), 1u + 2 * kGameActionCount + 2 + 2 + 1 + 1);  // title, rows, palette, smooth edges,
                                                                       // reset, status
  EXPECT_EQ(texts[1].Text, "Left");
  EXPECT_EQ(texts[1].Font, 1);  // the chosen row
  EXPECT_EQ(texts[2].Text, "Left");
  EXPECT_EQ(texts[3].Font, 2);
  EXPECT_EQ(texts[1 + 2 * kActionDrop + 1].Text, "A / Pad y");
  EXPECT_EQ(texts[1 + 2 * kActionInstantDrop + 1].Text, "Left Ctrl/Right Ctrl");
  EXPECT_EQ(texts[1 + 2 * kGameActionCount + 1].Text, "Standard");
  EXPECT_EQ(texts[1 + 2 * kGameActionCount + 3].Text, "Off");
  EXPECT_EQ(texts.back().Text, "Enter - Change     Esc - Return");
  for (size_t i = 2; i < texts.size(); ++i) EXPECT_LE(texts[i].Y, texts[i - 1].Y) << i;  // top to bottom

  page.Row = kActionTurn;
  page.Waiting = true;
  settings.Palette = kColourBlindPalette;
  texts = ControlsPageTexts(page, settings);
  EXPECT_EQ(texts[1 + 2 * kActionTurn + 1].Text, "...");
  EXPECT_EQ(texts[1 + 2 * kGameActionCount + 1].Text, "Colour-blind");
  EXPECT_EQ(texts[1 + 2 * kGameActionCount + 3].Text, "Off");
  settings.Antialiasing = kAntialiasingOn;  // chosen now, drawn with from the next start
  EXPECT_EQ(ControlsPageTexts(page, settings)[1 + 2 * kGameActionCount + 3].Text, "On from the next start");
  settings.AntialiasingInUse = true;
  EXPECT_EQ(ControlsPageTexts(page, settings)[1 + 2 * kGameActionCount + 3].Text, "On");
  settings.Antialiasing = kAntialiasingByRenderer;
  EXPECT_EQ(ControlsPageTexts(page, settings)[1 + 2 * kGameActionCount + 3].Text, "On");
  EXPECT_EQ(texts.back().Text, "Press the new key or button for Turn");
  page.Waiting = false;
  page.Offer = InputPress{false, {4, "A"}};
  page.OfferOwner = kActionDrop;
  EXPECT_EQ(ControlsPageTexts(page, settings).back().Text, "A is Drop's: Enter swaps, Esc keeps it");
}

TEST(MenuPagesTest, HighScorePageRowsTitleFooterAndTheRowBeingNamed) {
  HighScoreState scores;
  scores.Table = RisingTable();
  std::vector<HudText> texts = HighScoreScreenTexts(scores, kKids);
  ASSERT_EQ(texts.size(), 22u);  // title, ten names and scores, footer
  EXPECT_EQ(texts[0], (HudText{4, 7, "Kids", 5.5f - 1.3f, 10.5f + 5.5f}));
  EXPECT_EQ(texts[1], (HudText{4, 6, "P", 5.5f - 10, 10.5f + 5.2f - 1.2f}));
  EXPECT_EQ(texts[2], (HudText{4, 6, "4100", 5.5f + 6.7f, 10.5f + 5.2f - 1.2f}));
  EXPECT_EQ(texts[7].Font, 2);  // row 4 on
  EXPECT_FLOAT_EQ(texts[20].Y, 10.5f + 5.2f - 12.0f);
  EXPECT_EQ(texts[21], (HudText{2, 7, "Press Esc to exit", 5.5f - 5.5f, 10.5f - 9.6f}));

  ASSERT_TRUE(InsertNewScore(scores, kKids, 4095, 2));
  ASSERT_EQ(FormKeyPress(scores, 'A'), NameKeyResult::Appended);
  texts = HighScoreScreenTexts(scores, kKids);
  EXPECT_EQ(texts[3], (HudText{2, 6, "A|", 5.5f - 10, 10.5f + 5.2f - 2.4f}));  // row 2, lighter font
  EXPECT_EQ(texts[4].Font, 2);
  EXPECT_EQ(texts[4].Text, "4095");
  EXPECT_EQ(texts[21].Text, "Enter your name");
  // Another game type's page shows no cursor.
  EXPECT_EQ(HighScoreScreenTexts(scores, kRetro)[3].Text, "P");

  scores.NameEntryRow = 5;
  EXPECT_EQ(HighScoreScreenTexts(scores, kKids)[9].Font, 1);
  EXPECT_TRUE(HighScoreScreenTexts(scores, 0).empty());
}

TEST(MenuPagesTest, StatisticsPageShowsHoursOfPlayAndTheLastGameOnceThereIsOne) {
  const auto shows = [](const std::vector<HudText>& texts, const std::string& text) {
    return std::any_of(texts.begin(), texts.end(), [&](const HudText& t) { return t.Text == text; });
  };
  TypeStatistics played;
  played.Games = 3;
  played.SecondsPlayed = 3 * 3600 + 61;
  played.LastGame = GameRecord{61, 30, {4, 1, 0, 2}, 3, 29};
  const std::vector<HudText> texts = StatisticsPageTexts(played, kRetro);
  EXPECT_EQ(texts.front().Text, "Retro statistics");
  EXPECT_TRUE(shows(texts, "3:01:01"));
  EXPECT_TRUE(shows(texts, "Lines at once: one 4, two 1, three 0, four 2"));
  EXPECT_TRUE(shows(StatisticsPageTexts(TypeStatistics{}, kRetro), "None of this type yet"));
  EXPECT_TRUE(StatisticsPageTexts(played, 6).empty());
}

TEST(MenuPagesTest, ChartColumnsScaleToTheLargestCountAndShowEveryCountButNone) {
  using Columns = std::array<int, kClearSizes>;
  EXPECT_EQ(ChartColumnHeights({0, 0, 0, 0}), (Columns{0, 0, 0, 0}));
  EXPECT_EQ(ChartColumnHeights({40, 20, 1, 0}), (Columns{kChartBricks, 3, 1, 0}));
  EXPECT_EQ(ChartColumnHeights({1, INT32_MAX, INT32_MAX / 2, 0}), (Columns{1, kChartBricks, 3, 0}));
}

// The draws of one frame of the Torvane page, its first row's name given.
std::vector<DrawRecord> PageDraws(const std::string& firstName) {
  RecordingDevice device;
  FontResources fonts;
  fonts.Metrics = LoadLetterTexCoords(ZT_GAME_DIR "/data/fonts/font.dat");
  EXPECT_EQ(InitFontVB(fonts, device), D3D_OK);
  SceneResources scene;
  HighScoreState scores;
  scores.Table[kTorvane - 1][0] = {firstName, 12345};
  device.BeginScene();
  DrawHighScoreScreen(device, fonts, scene, scores, kTorvane);
  device.EndScene();
  return device.Draws;
}

TEST(MenuPagesTest, ALongNameCostsOnlyTheGlyphsThatFitItsRow) {
  std::string name;
  while (name.size() < 60000) name += "Ace of [the] Table, ";
  const std::vector<DrawRecord> longPage = PageDraws(name);
  const std::vector<DrawRecord> shortPage = PageDraws(name.substr(0, 200));  // already past the edge
  // The same picture: draw for draw, the same glyphs in the same places.
  ASSERT_EQ(longPage.size(), shortPage.size());
  for (size_t i = 0; i < longPage.size(); ++i) {
    EXPECT_EQ(std::memcmp(&longPage[i].State.World, &shortPage[i].State.World, sizeof(D3DMATRIX)), 0) << i;
    EXPECT_EQ(longPage[i].Vertices, shortPage[i].Vertices) << i;
  }
  // And a bounded one: the name's glyphs end at the right edge of the picture.
  const size_t restOfPage = PageDraws("").size();
  EXPECT_LT(longPage.size() - restOfPage, 80u);
  for (size_t i = 0; i < longPage.size(); ++i)
    EXPECT_LT(longPage[i].State.World(4, 1), PictureRightEdge(0) + 1.0f) << i;
}

TEST(MenuPagesTest, TheSaveNoticeIsCentredLowAndWithoutOneNothingIsTouched) {
  RecordingDevice device;
  FontResources fonts;
  fonts.Metrics = LoadLetterTexCoords(ZT_GAME_DIR "/data/fonts/font.dat");
  ASSERT_EQ(InitFontVB(fonts, device), D3D_OK);
  device.BeginScene();
  const DeviceState before = device.State();
  DrawSaveNotice(device, fonts, SaveNotice::kNone);
  EXPECT_TRUE(device.Draws.empty());
  EXPECT_EQ(device.State().RenderState(D3DRS_LIGHTING), before.RenderState(D3DRS_LIGHTING));
  EXPECT_EQ(device.State().Textures[0], before.Textures[0]);

  DrawSaveNotice(device, fonts, SaveNotice::kSettings);
  const std::string text = SaveNoticeText(SaveNotice::kSettings);
  const TextLayout layout = LayOutText(fonts.Metrics, 5, text, 0, 0);
  ASSERT_EQ(device.Draws.size(), layout.Quads.size());
  // Centred on the picture, low: under the Exit slab and the table's last row, over its footer.
  const float left = device.Draws.front().State.World(4, 1);
  const float right = device.Draws.back().State.World(4, 1) + layout.Quads.back().Width;
  EXPECT_NEAR((left + right) / 2, 5.5f, 1e-4);
  const float y = device.Draws.front().State.World(4, 2);
  EXPECT_LT(y, 10.5f - 7.0f - 0.75f);
  EXPECT_GT(y, 10.5f - 9.6f + 0.5f);
}

}  // namespace
}  // namespace zt
