#include "app/replay_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <utility>

#include "app/start_line.h"
#include "app/state_json.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

TEST(ReplayFile, ReadsEveryCommandWithItsLine) {
  const ReplayFile file = ParseReplay(
      "# comment\n\nseed 42\ngame 3\nframe 16 left dik:30\nframes 5 100 space rctrl\r\n"
      "type Ab\\r\\b\\e\\\\x y\nstate\nexpect Current.CellX >= 4\n",
      "t.replay");
  ASSERT_EQ(file.Commands.size(), 7u);
  EXPECT_EQ(file.Commands[0].Seed, 42u);
  EXPECT_EQ(file.Commands[0].Line, 3);
  EXPECT_EQ(file.Commands[1].GameType, 3);
  EXPECT_EQ(file.Commands[2].Keys, (std::vector<uint8_t>{203, 30}));
  EXPECT_EQ(file.Commands[3].Count, 5u);
  EXPECT_EQ(file.Commands[3].Ms, 100u);
  EXPECT_EQ(file.Commands[3].Keys, (std::vector<uint8_t>{57, 157}));
  EXPECT_EQ(file.Commands[4].Text, std::string("Ab\r\b\x1b\\x y"));
  EXPECT_EQ(file.Commands[6].Path, "Current.CellX");
  EXPECT_EQ(file.Commands[6].Op, ">=");
  EXPECT_EQ(file.Commands[6].Value, "4");
}

// The line, second in its file, is refused naming the file and its line.
void ExpectMalformed(const std::string& line) {
  try {
    ParseReplay("state\n" + line + "\n", "bad.replay");
    ADD_FAILURE() << "accepted: " << line;
  } catch (const ReplayError& error) {
    EXPECT_NE(std::string(error.what()).find("bad.replay, line 2"), std::string::npos) << error.what();
  }
}

TEST(ReplayFile, MalformedLinesNameTheFileAndLine) {
  const char* bad[] = {
      "frame 0",          "frame 100001",    "frame 16 jump",       "game 6", "seed x",   "frames 0 16",
      "expect Score ~ 3", "expect Score ==", "expect Score == [1,", "fly",    "type \\q", "state now",
      "frame 16 dik:256"};
  for (const char* line : bad) ExpectMalformed(line);
}

// Every value the game itself gives a setting reads back from its option line; a value
// outside the setting's range, or not a finite number, makes the line malformed.
TEST(ReplayFile, OptionsTakeOnlyTheValuesTheirSettingsCanHave) {
  const std::pair<const char*, double> good[] = {{"RotationClockwise 0", 0},         {"RotationClockwise 1", 1},
                                                 {"RotationSpeedFactor 0.75", 0.75}, {"RotationSpeedFactor 1.15", 1.15},
                                                 {"RotationSpeedFactor 1.55", 1.55}, {"SidewaysKeyDelay 170", 170},
                                                 {"SidewaysKeyDelay 250", 250},      {"SidewaysKeyDelay 340", 340},
                                                 {"SidewaysKeyDelay 0", 0},          {"FullScreenMode 1", 1}};
  for (const auto& [line, value] : good) {
    const ReplayFile file = ParseReplay(std::string("option ") + line + "\n", "good.replay");
    ASSERT_EQ(file.Commands.size(), 1u) << line;
    EXPECT_EQ(file.Commands[0].OptionValue, value) << line;
  }
  const char* bad[] = {"SidewaysKeyDelay -5",       "SidewaysKeyDelay 1e300",  "SidewaysKeyDelay 250.5",
                       "SidewaysKeyDelay nan",      "SidewaysKeyDelay 1e400",  "RotationSpeedFactor inf",
                       "RotationSpeedFactor -inf",  "RotationSpeedFactor nan", "RotationSpeedFactor 0",
                       "RotationSpeedFactor 1e300", "RotationClockwise 2",     "RotationClockwise 0.5",
                       "FullScreenMode -1",         "MusicVolume 3",           "RotationSpeedFactor 1 2"};
  for (const char* line : bad) ExpectMalformed(std::string("option ") + line);
}

// A start line carries every field exactly, floats and the generator's 64-bit words included;
// a field missing or beyond what a game can leave behind makes it malformed.
TEST(ReplayFile, AStartLineCarriesWhatTheGameInheritsExactly) {
  InheritedState inherited;
  inherited.GameType = kRetro;
  inherited.Generator = {0xFFFFFFFFFFFFFFFFull, 12345};
  inherited.Flip.FlipActive = true;
  inherited.Flip.FlipCol = 10;
  inherited.Flip.FlipAngle = 0.1f + 1e-7f;
  inherited.Flip.FlipSavedMatrix(4, 2) = 19.0f / 3;
  inherited.Trail.Trail[3] = {true, 7.25f, -0.3f};
  inherited.RetroSecondsLeft = -4;
  inherited.MessageFadeDir = -1;
  inherited.ShiftDir = kShiftRight;
  inherited.Keys.DropKeyTimer = -1234;
  const nlohmann::json written = InheritedStateJson(inherited);
  const ReplayFile file = ParseReplay("start " + written.dump() + "\n", "start.replay");
  ASSERT_EQ(file.Commands.size(), 1u);
  EXPECT_EQ(InheritedStateJson(file.Commands[0].Start), written);

  for (const auto& [field, value] : std::initializer_list<std::pair<const char*, nlohmann::json>>{
           {"GameType", 6}, {"RedaraRows", 15}, {"MusicTrack", -1}, {"ShiftSpeed", "fast"}, {"Generator", {1}}}) {
    nlohmann::json bad = written;
    bad[field] = value;
    ExpectMalformed("start " + bad.dump());
  }
  nlohmann::json bad = written;
  bad.erase("FlipAngle");
  ExpectMalformed("start " + bad.dump());
  ExpectMalformed("start {");
}

// Only a regular file (or a link to one) is a replay; nothing waits on a pipe.
TEST(ReplayFile, WhatIsNoRegularFileIsRefusedNamingIt) {
  namespace fs = std::filesystem;
  testing::TempFolder folder;
  testing::WriteBytes(folder.File("game.replay"), "seed 3\n");
  fs::create_symlink(folder.File("game.replay"), folder.File("link.replay"));
  EXPECT_EQ(ReadReplayFile(folder.File("link.replay")).Commands.size(), 1u);

  fs::create_directory(folder.File("folder.replay"));
  ASSERT_EQ(::mkfifo(folder.File("pipe.replay").c_str(), 0600), 0);
  fs::create_symlink("/proc/self/mem", folder.File("unreadable.replay"));
  for (const char* name : {"folder.replay", "pipe.replay", "unreadable.replay", "missing.replay"}) {
    try {
      ReadReplayFile(folder.File(name));
      ADD_FAILURE() << "read: " << name;
    } catch (const ReplayError& error) {
      EXPECT_EQ(std::string(error.what()).rfind(folder.File(name) + ": ", 0), 0u) << error.what();
    }
  }
}

TEST(ReplayFile, KeyNamesRoundTripAndUnknownCodesUseDik) {
  for (int code = 0; code < 256; ++code) {
    const char* name = KeyNameForCode(static_cast<uint8_t>(code));
    if (name == nullptr) continue;
    uint8_t back = 0;
    ASSERT_TRUE(KeyCodeForName(name, back));
    EXPECT_EQ(back, code);
  }
  uint8_t code = 0;
  EXPECT_TRUE(KeyCodeForName("dik:255", code));
  EXPECT_EQ(code, 255);
  EXPECT_FALSE(KeyCodeForName("dik:", code));
  EXPECT_FALSE(KeyCodeForName("dik:-1", code));
}

TEST(StatePaths, FindObjectFieldsAndArrayElements) {
  const nlohmann::json state = nlohmann::json::parse(R"({"Current":{"CellX":4},"Glass":[[0,0,3],[1]],"Text":"a"})");
  ASSERT_NE(FindPath(state, "Current.CellX"), nullptr);
  EXPECT_EQ(*FindPath(state, "Current.CellX"), 4);
  EXPECT_EQ(*FindPath(state, "Glass.0.2"), 3);
  EXPECT_EQ(FindPath(state, "Glass.2"), nullptr);
  EXPECT_EQ(FindPath(state, "Glass.x"), nullptr);
  EXPECT_EQ(FindPath(state, "Current.CellX.deeper"), nullptr);
  EXPECT_EQ(FindPath(state, "Missing"), nullptr);
}

TEST(StatePaths, ComparesNumbersByValueAndRefusesMixedOrder) {
  using nlohmann::json;
  EXPECT_TRUE(CompareJson(json(5), "==", json(5.0)));
  EXPECT_TRUE(CompareJson(json(0.05f), "<", json(0.051)));
  EXPECT_TRUE(CompareJson(json("abc"), "<", json("abd")));
  EXPECT_FALSE(CompareJson(json("5"), "<", json(6)));
  EXPECT_TRUE(CompareJson(json::array({1, 2}), "==", json::parse("[1,2]")));
  EXPECT_TRUE(CompareJson(json(true), "!=", json(false)));
}

}  // namespace
}  // namespace zt
