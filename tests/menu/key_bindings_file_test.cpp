#include "menu/key_bindings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

// A few of SDL's names, looked up without regard to case as SDL does.
class FakeNames final : public InputNames {
 public:
  std::optional<BoundInput> Key(const std::string& name) const override { return Find(keys_, name); }
  std::optional<BoundInput> Button(const std::string& name) const override { return Find(buttons_, name); }

 private:
  static std::optional<BoundInput> Find(const std::map<std::string, BoundInput>& table, const std::string& name) {
    const auto found = table.find(Lower(name));
    if (found == table.end()) return std::nullopt;
    return found->second;
  }
  std::map<std::string, BoundInput> keys_ = {{"left", {80, "Left"}},   {"a", {4, "A"}},    {"q", {20, "Q"}},
                                             {"space", {44, "Space"}}, {"up", {82, "Up"}}, {"w", {26, "W"}}};
  std::map<std::string, BoundInput> buttons_ = {{"a", {0, "a"}}, {"y", {3, "y"}}, {"dpleft", {13, "dpleft"}}};
};

struct BindingsFixture : ::testing::Test {
  TempFolder folder;
  DebugLog log{folder.File("debug.txt")};
  FakeNames names;
  KeyBindings bindings;
  Settings settings;

  void Read(const std::string& text) {
    settings.SidewaysKeyDelay = 340;  // as "Keys Sensetive" left it
    ReadKeyBindings(IniFile::Parse(text), names, log, bindings, settings);
  }
  std::string Log() const { return ReadBytes(log.Path); }
  static std::vector<int32_t> Codes(const InputList& inputs) {
    std::vector<int32_t> codes;
    for (const BoundInput& input : inputs) codes.push_back(input.Code);
    return codes;
  }
};

TEST_F(BindingsFixture, EachActionTakesItsNamesInOrderAndAMissingOrEmptyEntryKeepsTheGamesKeys) {
  Read("[Keys]\nLeft = left , A,a\nTurn=\nInstant Drop=W\n[Pad]\nRight=Y, dpLeft\n");
  EXPECT_EQ(Codes(bindings.Keys[kActionLeft]), (std::vector<int32_t>{80, 4}));  // a name given twice counts once
  EXPECT_EQ(bindings.Keys[kActionLeft][1].Name, "A");                           // kept as the platform spells it
  EXPECT_TRUE(bindings.Keys[kActionTurn].empty());
  EXPECT_EQ(Codes(bindings.Keys[kActionInstantDrop]), std::vector<int32_t>{26});
  EXPECT_EQ(Codes(bindings.Buttons[kActionRight]), (std::vector<int32_t>{3, 13}));
  for (size_t action : {kActionRight, kActionDown, kActionDrop, kActionEnter})
    EXPECT_TRUE(bindings.Keys[action].empty()) << ActionName(action);
  EXPECT_EQ(settings.SidewaysKeyDelay, 340);
  EXPECT_EQ(Log(), "");
}

TEST_F(BindingsFixture, UnknownNamesAndAKeyBoundToASecondActionAreLeftOutWithALineEach) {
  Read("[Keys]\nLeft=Left,Bogus\nRight=A\nDown=a,Space\nDrop=Left\n[Pad]\nTurn=a\nDown=A,Z\n");
  EXPECT_EQ(Codes(bindings.Keys[kActionLeft]), std::vector<int32_t>{80});
  EXPECT_EQ(Codes(bindings.Keys[kActionRight]), std::vector<int32_t>{4});
  EXPECT_EQ(Codes(bindings.Keys[kActionDown]), std::vector<int32_t>{44});
  EXPECT_TRUE(bindings.Keys[kActionDrop].empty());  // its only key was Left's
  EXPECT_EQ(Codes(bindings.Buttons[kActionTurn]), std::vector<int32_t>{0});
  EXPECT_TRUE(bindings.Buttons[kActionDown].empty());
  EXPECT_EQ(Log(),
            "Keys/Left: unknown name \"Bogus\" ignored\r\n"
            "Keys/Down: \"a\" is bound to another action already, ignored\r\n"
            "Keys/Drop: \"Left\" is bound to another action already, ignored\r\n"
            "Pad/Down: \"A\" is bound to another action already, ignored\r\n"
            "Pad/Down: unknown name \"Z\" ignored\r\n");
}

TEST_F(BindingsFixture, TheRepeatDelayReplacesTheSidewaysDelayWithinItsRange) {
  for (const auto& [value, delay] :
       std::vector<std::pair<std::string, int32_t>>{{"10", 10}, {"1000", 1000}, {"95", 95}}) {
    Read("[Keys]\nRepeat Delay=" + value + "\n");
    EXPECT_EQ(settings.SidewaysKeyDelay, delay) << value;
  }
  EXPECT_EQ(Log(), "");
  for (const char* value : {"9", "1001", "-5", "fast", ""}) {
    Read(std::string("[Keys]\nRepeat Delay=") + value + "\n");
    EXPECT_EQ(settings.SidewaysKeyDelay, 340) << value;
  }
  const std::string lines = Log();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 5);
  Read("[Options]\nRepeat Delay=50\n");  // only the Keys section's counts
  EXPECT_EQ(settings.SidewaysKeyDelay, 340);
}

TEST_F(BindingsFixture, WritingAddsOnlyWhatThePlayerChangedAndReadsBackTheSame) {
  IniFile untouched = IniFile::Parse("[Settings]\nRotation=1\n");
  WriteKeyBindings(untouched, KeyBindings{});
  EXPECT_EQ(untouched.Text(), "[Settings]\nRotation=1\n");

  IniFile ini = IniFile::Parse("[Keys]\nTurn=W\nRepeat Delay=80\n");
  KeyBindings changed;
  changed.Keys[kActionLeft] = {{20, "Q"}, {80, "Left"}};
  changed.Buttons[kActionPause] = {{3, "y"}};
  WriteKeyBindings(ini, changed);  // Turn is back at the game's keys
  EXPECT_EQ(ini.ReadString("Keys", "Turn"), "");
  EXPECT_EQ(ini.ReadString("Keys", "Left"), "Q,Left");
  EXPECT_EQ(ini.ReadString("Keys", "Repeat Delay"), "80");
  EXPECT_FALSE(ini.ReadString("Keys", "Drop"));

  Read(ini.Text());
  EXPECT_EQ(Codes(bindings.Keys[kActionLeft]), (std::vector<int32_t>{20, 80}));
  EXPECT_TRUE(bindings.Keys[kActionTurn].empty());
  EXPECT_EQ(Codes(bindings.Buttons[kActionPause]), std::vector<int32_t>{3});
  EXPECT_EQ(settings.SidewaysKeyDelay, 80);
}

TEST_F(BindingsFixture, TheControlsAreSavedIntoTheFileAsItIsThenAndThePaletteAndSmoothEdgesOnlyOnceChosen) {
  const std::string path = folder.File("config.ini");
  testing::WriteBytes(path, "[Settings]\r\nRotation=1\r\n");
  SettingsFile file{path};
  EXPECT_TRUE(SaveControls(file, KeyBindings{}, Settings{}, log));
  EXPECT_EQ(ReadBytes(path), "[Settings]\r\nRotation=1\r\n");  // nothing changed, nothing added

  KeyBindings changed;
  changed.Keys[kActionAbort] = {{20, "Q"}};
  settings.Palette = kColourBlindPalette;
  testing::WriteBytes(path, "[Settings]\r\nRotation=0\r\n");  // another game saved meanwhile
  EXPECT_TRUE(SaveControls(file, changed, settings, log));
  EXPECT_EQ(ReadBytes(path), "[Settings]\r\nRotation=0\r\n[Keys]\r\nAbort=Q\r\n[Options]\r\nPalette=1\r\n");
  settings.Palette = 0;
  EXPECT_TRUE(SaveControls(file, KeyBindings{}, settings, log));
  EXPECT_EQ(ReadBytes(path), "[Settings]\r\nRotation=0\r\n[Keys]\r\nAbort=\r\n[Options]\r\nPalette=0\r\n");
  settings.Antialiasing = kAntialiasingOn;
  EXPECT_TRUE(SaveControls(file, KeyBindings{}, settings, log));
  EXPECT_EQ(ReadBytes(path),
            "[Settings]\r\nRotation=0\r\n[Keys]\r\nAbort=\r\n[Options]\r\nPalette=0\r\nAntialiasing=1\r\n");

  file.ReadError = "unreadable";  // the file was not the game's to write
  EXPECT_FALSE(SaveControls(file, changed, settings, log));
  EXPECT_NE(Log().find("SaveControls - skipped"), std::string::npos);
}

}  // namespace
}  // namespace zt
