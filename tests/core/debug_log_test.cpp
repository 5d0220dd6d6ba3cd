#include "core/debug_log.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(DebugLog, AFreshRegularFileReplacesALinkAndNoLinkIsEverWrittenThrough) {
  TempFolder folder;
  const DebugLog log{folder.File("debug.txt")};
  const std::string victim = folder.File("victim");
  WriteBytes(victim, "precious");
  std::filesystem::create_symlink(victim, log.Path);

  ResetLog(log);
  WriteLog(log, "InitDI - done");
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(log.Path)));
  EXPECT_EQ(ReadBytes(log.Path), "InitDI - done\r\n");

  // A link planted while the game runs loses the line instead.
  std::filesystem::remove(log.Path);
  std::filesystem::create_symlink(victim, log.Path);
  WriteLog(log, "SaveHighScores - failed");
  EXPECT_EQ(ReadBytes(victim), "precious");
}

}  // namespace
}  // namespace zt
