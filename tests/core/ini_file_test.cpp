#include "core/ini_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/safe_save.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(ParseIniInteger, OnlyWholeDecimalNumbersWithinThirtyTwoBits) {
  EXPECT_EQ(ParseIniInteger("7"), 7);
  EXPECT_EQ(ParseIniInteger(" 7 "), 7);
  EXPECT_EQ(ParseIniInteger("-3"), -3);
  EXPECT_EQ(ParseIniInteger("+3"), 3);
  EXPECT_EQ(ParseIniInteger("007"), 7);
  EXPECT_EQ(ParseIniInteger("2147483647"), 2147483647);
  EXPECT_EQ(ParseIniInteger("-2147483648"), INT32_MIN);
  for (const char* notANumber : {"", " ", "-", "+", "12abc", "abc", "0x10", "1.5", "1 000", "--1", "+-1", "2147483648",
                                 "-2147483649", "99999999999999999999999"})
    EXPECT_FALSE(ParseIniInteger(notANumber)) << '"' << notANumber << '"';
}

TEST(IniFile, ReadsKeysOfAnyCaseWithDefaultsForMissingOrMalformedValues) {
  const IniFile ini = IniFile::Parse(
      "top=1\r\n"
      "; comment=5\r\n"
      "[Options]\r\n"
      "  FullScreen = 1  \r\n"
      "Resolution=12abc\r\n"
      "Quoted=\"4\"\r\n"
      "Empty=\r\n"
      "[options]\r\n"
      "FullScreen=0\r\n"
      "[Settings]\r\n"
      "Music volume=8\r\n"
      "music VOLUME=2\r\n"
      "Last=9");
  EXPECT_EQ(ini.ReadInteger("OPTIONS", "fullscreen"), 1) << "the first section of a name wins";
  EXPECT_EQ(ini.ReadInteger("Options", "Resolution"), 0);
  EXPECT_EQ(ini.ReadInteger("Options", "Resolution", -1), -1);
  EXPECT_EQ(ini.ReadInteger("Options", "Quoted"), 4);
  EXPECT_EQ(ini.ReadInteger("Options", "Empty", 6), 6);
  EXPECT_EQ(ini.ReadInteger("Options", "Missing"), 0);
  EXPECT_EQ(ini.ReadInteger("Options", "comment"), 0) << "comments hold no keys";
  EXPECT_EQ(ini.ReadInteger("Options", "top"), 0) << "keys before any section belong to none";
  EXPECT_EQ(ini.ReadInteger("Settings", "Music volume"), 8) << "the first key of a name wins";
  EXPECT_EQ(ini.ReadInteger("Settings", "Last"), 9);
  EXPECT_EQ(ini.ReadInteger("Nowhere", "Last"), 0);
}

TEST(IniFile, WritingKeepsEverythingElseAsItWas) {
  const std::string original =
      "\xEF\xBB\xBF; written by hand\r\n"
      "[Options]\r\n"
      "FullScreen=1\r\n"
      "\r\n"
      "[Settings]\n"
      "Zebra=1\n"
      "Music Volume =  3\n"
      "; about the next section\n"
      "\n"
      "[Extra]\r\n"
      "Key=text with = sign";
  IniFile ini = IniFile::Parse(original);
  EXPECT_EQ(ini.Text(), original) << "an untouched file is saved byte for byte";

  ini.WriteInteger("settings", "music volume", 7);
  ini.WriteInteger("Settings", "Brick Quality", -2);
  ini.WriteInteger("Options", "Resolution", 4);
  ini.WriteString("New", "First", "x");
  EXPECT_EQ(ini.Text(),
            "\xEF\xBB\xBF; written by hand\r\n"
            "[Options]\r\n"
            "FullScreen=1\r\n"
            "Resolution=4\r\n"
            "\r\n"
            "[Settings]\n"
            "Zebra=1\n"
            "Music Volume =  7\n"
            "Brick Quality=-2\n"
            "; about the next section\n"
            "\n"
            "[Extra]\r\n"
            "Key=text with = sign\r\n"
            "[New]\r\n"
            "First=x\r\n");
  EXPECT_EQ(ini.ReadInteger("Settings", "Music volume"), 7);
  EXPECT_EQ(ini.ReadString("Extra", "Key"), "text with = sign");
}

// A last line ending in a bare CR keeps it as part of its value when a line is added after
// it: a plain LF would turn the two into one CR LF end, and the value would change.
TEST(IniFile, ABareCarriageReturnEndingTheFileStaysInItsLine) {
  IniFile ini = IniFile::Parse("[Options]\nFullScreen=1\r");
  EXPECT_EQ(ini.ReadInteger("Options", "FullScreen"), 0) << "\"1\\r\" is not a number";
  ini.WriteInteger("Settings", "Rotation", 1);
  EXPECT_EQ(ini.Text(), "[Options]\nFullScreen=1\r\r\n[Settings]\nRotation=1\n");
  const IniFile saved = IniFile::Parse(ini.Text());
  EXPECT_EQ(saved.ReadString("Options", "FullScreen"), "1\r");
  EXPECT_EQ(saved.ReadInteger("Options", "FullScreen"), 0);
  EXPECT_EQ(saved.ReadInteger("Settings", "Rotation"), 1);
}

TEST(IniFile, NewFileAndLfOnlyFile) {
  IniFile fresh;
  fresh.WriteInteger("Settings", "A", 1);
  fresh.WriteInteger("Settings", "B", 2);
  EXPECT_EQ(fresh.Text(), "[Settings]\r\nA=1\r\nB=2\r\n");

  IniFile unix = IniFile::Parse("[Settings]\nA=1\n");
  unix.WriteInteger("Settings", "B", 2);
  unix.WriteInteger("Other", "C", 3);
  EXPECT_EQ(unix.Text(), "[Settings]\nA=1\nB=2\n[Other]\nC=3\n") << "new lines follow the file's own line ends";
}

TEST(IniFile, MissingFileIsEmptyButAnUnreadableOneIsNothing) {
  TempFolder folder;
  EXPECT_EQ(IniFile::Read(folder.File("config.ini")).value().Text(), "");
  EXPECT_FALSE(IniFile::Read(folder.Path().string())) << "saving over it would lose what it holds";
}

TEST(SaveFileSafely, FailedSaveKeepsTheOldFile) {
  TempFolder folder;
  const std::string path = folder.File("owned.dat");
  WriteBytes(path, "old contents");
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);

  // The rename cannot replace a folder that is not empty; the temporary file goes away.
  const std::string blocked = folder.File("blocked");
  std::filesystem::create_directories(blocked + "/inside");
  EXPECT_FALSE(SaveFileSafely(blocked, "new"));
  EXPECT_TRUE(std::filesystem::is_directory(blocked));
  EXPECT_EQ(testing::FilesIn(folder.Path()), 2u) << "no temporary file is left behind";
  EXPECT_EQ(ReadBytes(path), "old contents");

  EXPECT_FALSE(SaveFileSafely(folder.File("no/such/folder/file"), "new"));

  ASSERT_TRUE(SaveFileSafely(path, "new"));
  EXPECT_EQ(ReadBytes(path), "new");
  EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write)
      << "a saved file keeps its permissions";
}

TEST(SaveFileSafely, ReplacesTheTargetOfALink) {
  TempFolder folder;
  const std::string real = folder.File("real.ini");
  const std::string link = folder.File("link.ini");
  WriteBytes(real, "old");
  std::filesystem::create_symlink(real, link);
  ASSERT_TRUE(SaveFileSafely(link, "new"));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(real), "new");
}

}  // namespace
}  // namespace zt
