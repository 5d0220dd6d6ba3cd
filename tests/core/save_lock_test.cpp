#include "core/save_lock.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <optional>
#include <thread>

#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

TEST(SaveLock, ASecondGameWaitsUntilTheFirstHasSaved) {
  TempFolder folder;
  const std::string path = folder.File("highscores.dat");
  std::optional<SaveLock> first(std::in_place, path);
  ASSERT_TRUE(first->Held());
  EXPECT_TRUE(std::filesystem::is_regular_file(path + ".lock"));

  std::atomic<bool> secondHeld = false;
  std::thread second([&] {
    const SaveLock lock(path);
    secondHeld = lock.Held();
  });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_FALSE(secondHeld) << "the lock is exclusive";
  first.reset();
  second.join();
  EXPECT_TRUE(secondHeld) << "and taken once the first game lets go";
  EXPECT_TRUE(SaveLock(path).Held()) << "the lock file left behind serves the next save";
}

TEST(SaveLock, OnlyARegularFileServesAsTheLockFile) {
  TempFolder folder;
  const std::string victim = folder.File("victim");
  WriteBytes(victim, "precious");
  std::filesystem::create_symlink(victim, folder.File("linked.lock"));
  std::filesystem::create_symlink(folder.File("nowhere"), folder.File("dangling.lock"));
  ASSERT_EQ(::mkfifo(folder.File("fifo.lock").c_str(), 0600), 0);
  std::filesystem::create_directory(folder.File("folder.lock"));

  for (const char* name : {"linked", "dangling", "fifo", "folder"})
    EXPECT_FALSE(SaveLock(folder.File(name)).Held()) << name;
  EXPECT_EQ(ReadBytes(victim), "precious");
  EXPECT_FALSE(std::filesystem::exists(folder.File("nowhere"))) << "not created through the link";

  // A file the player linked elsewhere is locked beside the file the link leads to.
  std::filesystem::create_directory(folder.File("dots"));
  std::filesystem::create_symlink(folder.File("dots/config.ini"), folder.File("config.ini"));
  EXPECT_TRUE(SaveLock(folder.File("config.ini")).Held());
  EXPECT_TRUE(std::filesystem::is_regular_file(folder.File("dots/config.ini.lock")));
  EXPECT_FALSE(std::filesystem::exists(folder.File("config.ini.lock")));
}

}  // namespace
}  // namespace zt
