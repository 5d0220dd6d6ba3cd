#include "app/frame.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "app/loading_sequence.h"
#include "app/program_frames.h"
#include "app/shutdown.h"
#include "device/hresult.h"
#include "device/recording_device.h"
#include "game/auto_player.h"
#include "platform/sdl_keyboard.h"

namespace zt {
namespace {

TEST_F(ProgramFrames, LeavingTheOptionsKeepsTheSettingsAtOnce) {
  program_.Menu.MenuScreen = kOptionsScreen;
  program_.Config.SoundVolume = 7;
  Frame();
  EXPECT_FALSE(std::filesystem::exists(folder_ / "config.ini"));
  Frame({DIK_ESCAPE});
  ASSERT_EQ(program_.Menu.MenuScreen, kMainScreen);
  std::ifstream file(folder_ / "config.ini");
  const std::string text((std::istreambuf_iterator<char>(file)), {});
  EXPECT_NE(text.find("Sound volume=7"), std::string::npos) << text;
  EXPECT_EQ(program_.Menu.Notice, SaveNotice::kNone);  // a save that worked has nothing to tell
}

TEST_F(ProgramFrames, LeavingTheControlsPageMakesItsKeysTheGamesAndKeepsThemAtOnce) {
  program_.Menu.MenuScreen = kOptionsScreen;
  Frame();
  Frame({DIK_LCONTROL});
  ASSERT_EQ(program_.Menu.MenuScreen, kControlsScreen);
  program_.Menu.Controls.Bindings.Keys[kActionPause] = {{20, "Q"}};
  Frame();
  EXPECT_FALSE(KeysRemapped(program_.Bindings, kActionPause));  // not while the page is open
  Frame({DIK_ESCAPE});
  ASSERT_EQ(program_.Menu.MenuScreen, kOptionsScreen);
  EXPECT_TRUE(KeysRemapped(program_.Bindings, kActionPause));
  std::ifstream file(folder_ / "config.ini");
  const std::string text((std::istreambuf_iterator<char>(file)), {});
  EXPECT_NE(text.find("[Keys]\r\nPause=Q"), std::string::npos) << text;
  EXPECT_EQ(text.find("Palette"), std::string::npos) << text;
}

TEST_F(ProgramFrames, ANamePickedOnAControllerIsTypedAndKeptWhenStartEndsIt) {
  LoadHighScores(program_.Scores, program_.HighScorePath, program_.Log);
  ASSERT_TRUE(InsertNewScore(program_.Scores, 1, 700, 1));
  program_.Menu.MenuScreen = kHighScoresScreen;
  for (const auto& keys : std::vector<std::vector<uint8_t>>{{},
                                                            {DIK_UP},
                                                            {},
                                                            {DIK_RIGHT},
                                                            {},
                                                            {DIK_RIGHT},
                                                            {},
                                                            {DIK_LEFT},
                                                            {},
                                                            {DIK_DOWN},
                                                            {},
                                                            {DIK_RIGHT},
                                                            {},
                                                            {DIK_RETURN}}) {
    clock_.Advance(16);
    keys_.ReleaseAll();
    keys_.Press(DIK_PADINPUT);
    for (uint8_t key : keys) keys_.Press(key);
    IdleFrame(program_);
  }
  EXPECT_FALSE(program_.Scores.NameEntryActive);
  HighScoreState saved;
  LoadHighScores(saved, program_.HighScorePath, program_.Log);
  EXPECT_EQ(saved.Table[0][0], (HighScoreEntry{"BA", 700}));
}

TEST_F(ProgramFrames, ReplaysAndDemosLeaveThePlayersFilesAlone) {
  program_.SaveOnExit = false;
  program_.Menu.MenuScreen = kOptionsScreen;
  Frame({DIK_ESCAPE});
  EXPECT_FALSE(std::filesystem::exists(folder_ / "config.ini"));
}

TEST_F(ProgramFrames, ANameIsSavedWhenItsEntryEndsAndAtShutdownAsTyped) {
  LoadHighScores(program_.Scores, program_.HighScorePath, program_.Log);
  const auto savedFirstRow = [this] {
    HighScoreState saved;
    LoadHighScores(saved, program_.HighScorePath, program_.Log);
    return saved.Table[0][0];
  };
  ASSERT_TRUE(InsertNewScore(program_.Scores, 1, 700, 1));
  for (const char c : std::string("Al\r")) TypeCharacter(program_, static_cast<uint8_t>(c));
  EXPECT_EQ(savedFirstRow(), (HighScoreEntry{"Al", 700}));

  ASSERT_TRUE(InsertNewScore(program_.Scores, 1, 900, 1));
  for (const char c : std::string("Jo")) TypeCharacter(program_, static_cast<uint8_t>(c));
  EXPECT_EQ(savedFirstRow(), (HighScoreEntry{"Al", 700})) << "not before the entry ends";
  FormDestroy(program_);
  EXPECT_EQ(savedFirstRow(), (HighScoreEntry{"Jo", 900}));
}

TEST_F(ProgramFrames, NoFrameRunsBeforeLoadingOrWhileInactive) {
  program_.AppActive = false;
  Frame({DIK_DOWN});
  EXPECT_EQ(program_.Menu.MenuItem, 1);
  program_.AppActive = true;
  program_.Loaded = false;
  Frame({DIK_DOWN});
  EXPECT_EQ(program_.Menu.MenuItem, 1);
  program_.Loaded = true;
  Frame({DIK_DOWN});
  EXPECT_EQ(program_.Menu.MenuItem, 2);
}

TEST_F(ProgramFrames, TheMenuAnimatesOnlyInTheFramesItIsDrawn) {
  Frame({DIK_DOWN});
  ASSERT_EQ(program_.Menu.MenuItem, 2);
  for (int frame = 0; frame < 10; ++frame) Frame();  // no device: nothing is drawn
  EXPECT_EQ(program_.Menu.ItemScale, kItemWidth);
  Frame({DIK_DOWN});
  EXPECT_EQ(program_.Menu.MenuItem, 2) << "a selection that never showed has not settled";

  program_.Graphics.D3DDevice = std::make_shared<RecordingDevice>();
  for (int frame = 0; frame < 7; ++frame) Frame();  // 112 ms drawn
  EXPECT_EQ(program_.Menu.ItemScale, kSelectedItemWidth);
  Frame({DIK_DOWN});
  EXPECT_EQ(program_.Menu.MenuItem, 3);
  const float growing = program_.Menu.ItemScale;
  program_.CloseRequested = true;  // a closing window draws no more
  Frame();
  EXPECT_EQ(program_.Menu.ItemScale, growing);
}

// The particle quad is still locked when the frame draws the sparks, so their lock fails. The
// report comes once the frame is over, and only then is everything released: the sanitized run
// catches a device or a particle list used after that.
TEST_F(ProgramFrames, AFailedLockWhileDrawingIsReportedAfterTheFrameAndEndsThePlay) {
  auto device = std::make_shared<RecordingDevice>();
  const std::weak_ptr<RecordingDevice> watched = device;
  program_.Graphics.D3DDevice = std::move(device);
  ASSERT_EQ(Particle_InitVB(program_.Render.Particles, *program_.Graphics.D3DDevice), D3D_OK);
  program_.Game.Mode.InMenu = false;
  program_.Game.GameType = kTorvane;
  for (int kind = 1; kind <= 4; ++kind) Particle_Add(program_.Particles, kind, kind, 200, 5, 10, 0, 0);
  const VertexBufferPtr quad = program_.Render.Particles.VB;
  uint8_t* held = nullptr;
  ASSERT_EQ(quad->Lock(0, 0, &held), D3D_OK);

  DrawFrame(program_);
  quad->Unlock();
  ASSERT_EQ(messages_.Shown.size(), 1u);
  EXPECT_EQ(messages_.Shown[0].Caption, "FD3DVBParticles.Lock");
  EXPECT_EQ(messages_.Shown[0].Text, D3DErrorText(D3DERR_INVALIDCALL));
  EXPECT_FALSE(program_.AppActive);
  EXPECT_TRUE(watched.expired());
  for (const ParticleList& list : program_.Particles) EXPECT_TRUE(list.Empty());
  Frame();  // no more frames run, and nothing is drawn with what was released
  EXPECT_EQ(messages_.Shown.size(), 1u);
}

TEST_F(ProgramFrames, ALoadingThatStopsShortSaysWhyAndReleasesEverything) {
  auto device = std::make_shared<RecordingDevice>();
  const std::weak_ptr<RecordingDevice> watched = device;
  program_.Graphics.D3DDevice = std::move(device);
  program_.Render.Scene.GameDir = folder_;  // an empty folder: the first data file is missing
  const std::optional<LoadingFailure> failure = LoadGame(program_, LoadingOptions{7});
  ASSERT_TRUE(failure.has_value());
  EXPECT_NE(failure->Message.find("textures/intro.jpg"), std::string::npos) << failure->Message;
  EXPECT_EQ(failure->ExitStatus, 1);
  EXPECT_FALSE(program_.AppActive);
  EXPECT_TRUE(watched.expired());
  EXPECT_TRUE(messages_.Shown.empty()) << "the message is the caller's to show";
}

// The saves below cannot be made: the folder their files should go to is not there.
TEST_F(ProgramFrames, SettingsThatCannotBeSavedAreToldOnTheScreenShownNext) {
  program_.ConfigFile.Path = (folder_ / "gone" / "config.ini").string();
  program_.Menu.MenuScreen = kOptionsScreen;
  Frame();
  EXPECT_EQ(program_.Menu.Notice, SaveNotice::kNone);
  Frame({DIK_ESCAPE});
  ASSERT_EQ(program_.Menu.MenuScreen, kMainScreen);
  EXPECT_EQ(program_.Menu.Notice, SaveNotice::kSettings);
  Frame();
  EXPECT_EQ(program_.Menu.Notice, SaveNotice::kSettings);
  EXPECT_TRUE(messages_.Shown.empty());  // during play the screen tells, not a message box
}

TEST_F(ProgramFrames, ANewEntryThatCannotBeSavedIsToldOnTheTableUntilItIsLeft) {
  program_.HighScorePath = (folder_ / "gone" / kHighScoreFileName).string();
  program_.Scores.Table = DefaultHighScoreTable();
  program_.Scores.HighScoresLoaded = true;
  ASSERT_TRUE(InsertNewScore(program_.Scores, kRedara, 500, 1));
  program_.Menu.MenuScreen = kHighScoresScreen;
  Frame();
  TypeCharacter(program_, 'A');
  EXPECT_EQ(program_.Menu.Notice, SaveNotice::kNone);  // nothing is saved before Enter
  TypeCharacter(program_, '\r');
  EXPECT_EQ(program_.Menu.Notice, SaveNotice::kHighScores);
  Frame();
  EXPECT_EQ(program_.Menu.Notice, SaveNotice::kHighScores);
  Frame({DIK_ESCAPE});
  ASSERT_EQ(program_.Menu.MenuScreen, kMainScreen);
  EXPECT_EQ(program_.Menu.Notice, SaveNotice::kNone);
}

TEST_F(ProgramFrames, ANewEntryInATableThatCouldNotBeReadIsToldAndTriedAgainAtTheClose) {
  const std::filesystem::path table = folder_ / kHighScoreFileName;
  std::filesystem::create_symlink("/proc/self/mem", table);  // every read fails
  LoadHighScores(program_.Scores, table.string(), program_.Log);
  ASSERT_FALSE(program_.Scores.ReadError.empty());
  program_.HighScorePath = table.string();
  ASSERT_TRUE(InsertNewScore(program_.Scores, kRedara, 500, 1));
  program_.Menu.MenuScreen = kHighScoresScreen;
  Frame();
  TypeCharacter(program_, 'A');
  TypeCharacter(program_, '\r');
  EXPECT_EQ(program_.Menu.Notice, SaveNotice::kHighScores);
  FormDestroy(program_);
  ASSERT_EQ(messages_.Shown.size(), 1u);
  EXPECT_NE(messages_.Shown[0].Text.find("The high scores could not be saved"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_symlink(table)) << "the unreadable file is left as it is";
}

TEST_F(ProgramFrames, SavesThatFailAtTheCloseAreToldInOneMessageBox) {
  const std::string config = (folder_ / "gone" / "config.ini").string();
  const std::string table = (folder_ / "gone" / kHighScoreFileName).string();
  program_.ConfigFile.Path = config;
  program_.HighScorePath = table;
  program_.Scores.HighScoresLoaded = true;
  FormDestroy(program_);
  ASSERT_EQ(messages_.Shown.size(), 1u);
  const std::string& text = messages_.Shown[0].Text;
  EXPECT_EQ(messages_.Shown[0].Caption, "Zellory Torvane");
  EXPECT_NE(text.find("The high scores could not be saved to " + table), std::string::npos) << text;
  EXPECT_NE(text.find("The settings could not be saved to " + config), std::string::npos) << text;
}

TEST_F(ProgramFrames, ACloseThatSavesOrMustNotSaveSaysNothing) {
  program_.Scores.HighScoresLoaded = true;
  FormDestroy(program_);
  EXPECT_TRUE(std::filesystem::exists(folder_ / kHighScoreFileName));
  EXPECT_TRUE(messages_.Shown.empty());

  program_.SaveOnExit = false;  // a replay or a demo in the window
  program_.ConfigFile.Path = (folder_ / "gone" / "config.ini").string();
  FormDestroy(program_);
  EXPECT_TRUE(messages_.Shown.empty());
}

// A game played by the automatic player, then let fall to its game over; an aborted one; one of
// a replay. Each counts once, the player's reach the file at once, with what the game showed.
TEST_F(ProgramFrames, EveryGameCountsOnceWhenItEndsAndOnlyThePlayersAreKept) {
  program_.Shapes = LoadFigImages(std::string(ZT_GAME_DIR) + "/data/figimages/images.dat");
  const auto until = [this](const std::function<bool()>& done, const std::function<std::vector<uint8_t>()>& keys) {
    for (int frames = 0; !done() && frames < 40000; ++frames) {
      clock_.Advance(16);
      keys_.ReleaseAll();
      for (uint8_t key : keys()) keys_.Press(key);
      IdleFrame(program_);
    }
    ASSERT_TRUE(done());
  };
  const auto none = [] { return std::vector<uint8_t>{}; };
  const GameState& game = program_.Game;
  const auto startKids = [&] {
    StartGameOfType(program_, kKids);
    until([&] { return !game.Mode.InMenu && !game.Mode.InputLocked; }, none);
  };
  const auto savedKids = [this] {
    StatisticsState saved;
    LoadStatistics(saved, program_.StatisticsPath, program_.Log);
    return saved.Table[kKids - 1];
  };

  startKids();
  AutoPlayer player;
  until([&] { return game.FiguresLanded >= 40; },
        [&] { return AutoPlayerKeys(player, game, program_.Shapes, program_.Config); });
  until([&] { return game.Mode.GameOver; }, [] { return std::vector<uint8_t>{DIK_LCONTROL}; });
  const GameRecord played = RecordOf(game);
  ASSERT_GT(played.Clears[0] + played.Clears[1] + played.Clears[2] + played.Clears[3], 0);
  EXPECT_EQ(played.Clears[0] + 2 * played.Clears[1] + 3 * played.Clears[2] + 4 * played.Clears[3], game.Lines);
  until([&] { return game.Mode.InMenu; }, [] { return std::vector<uint8_t>{DIK_SPACE}; });
  TypeCharacter(program_, '\r');  // the new entry's name
  TypeStatistics kids = savedKids();
  EXPECT_EQ(kids.Games, 1);
  EXPECT_EQ(kids.LastGame, played);
  EXPECT_EQ(kids.Clears, played.Clears);

  startKids();
  until([&] { return game.Time.GameSeconds >= 2; }, none);
  until([&] { return game.Mode.AbortAsked; }, [] { return std::vector<uint8_t>{DIK_ESCAPE}; });
  const GameRecord aborted = RecordOf(game);
  EXPECT_EQ(aborted.Clears, (std::array<int32_t, kClearSizes>{})) << "a new game counts afresh";
  until([&] { return game.Mode.InMenu; }, [] { return std::vector<uint8_t>{DIK_Y}; });
  kids = savedKids();
  EXPECT_EQ(kids.Games, 2);
  EXPECT_EQ(kids.Figures, played.Figures + aborted.Figures);
  EXPECT_EQ(kids.LastGame, aborted);
  EXPECT_EQ(kids.BestLevel, played.Level);

  program_.SavesStatistics = false;  // a replay's or the demo's game
  startKids();
  FormDestroy(program_);
  EXPECT_EQ(program_.Stats.Table[kKids - 1].Games, 3) << "counted while it runs at the close";
  EXPECT_EQ(savedKids(), kids);
}

// Keys tapped on the SDL keyboard during the fade into a game: each press is let go before
// the next frame's poll, so only the kept key-down events can reach the game.
TEST_F(ProgramFrames, KeysTappedDuringTheFadeIntoAGameHaveNoEffectInIt) {
  program_.Shapes = LoadFigImages(std::string(ZT_GAME_DIR) + "/data/figimages/images.dat");
  const std::array<uint8_t, SDL_NUM_SCANCODES> nothingHeld{};
  SdlKeyboard device(SdlKeyboard::Sources{[&](int& count) {
                                            count = SDL_NUM_SCANCODES;
                                            return static_cast<const uint8_t*>(nothingHeld.data());
                                          },
                                          [] { return true; }});
  DIFree(program_.Input);
  program_.Input.Device = &device;
  ASSERT_TRUE(DIInit(program_.Input) && DICreateKeyboard(program_.Input) && DIAcquireKeyboard(program_.Input, true));
  const auto tap = [&device](SDL_Scancode scancode) {
    SDL_Event event{};
    event.type = SDL_KEYDOWN;
    event.key.keysym.scancode = scancode;
    device.HandleEvent(event);
  };
  program_.Menu.MenuScreen = kGameTypeScreen;
  program_.Menu.MenuItem = 1;

  tap(SDL_SCANCODE_RETURN);
  Frame();
  ASSERT_TRUE(program_.Game.Mode.FadeOut);  // the tap chose the game
  int frames = 0;
  while ((program_.Game.Mode.InMenu || program_.Game.Mode.InputLocked) && ++frames < 200) {
    if (frames == 2) tap(SDL_SCANCODE_RETURN);            // the second press of a double Enter
    if (program_.Game.Mode.FadeIn) tap(SDL_SCANCODE_UP);  // a turn asked for too early
    Frame();
  }
  ASSERT_FALSE(program_.Game.Mode.InputLocked);
  ASSERT_FALSE(program_.Game.Mode.InMenu);
  Frame();
  EXPECT_FALSE(program_.Game.Keys.KeyEnter);
  EXPECT_FALSE(program_.Game.Keys.KeyUp);
  EXPECT_FALSE(program_.Game.CurrentFigure.Turning);

  tap(SDL_SCANCODE_UP);  // once the game has the keys, a tap turns the figure
  Frame();
  EXPECT_TRUE(program_.Game.Keys.KeyUp);
  EXPECT_TRUE(program_.Game.CurrentFigure.Turning);
}

}  // namespace
}  // namespace zt
