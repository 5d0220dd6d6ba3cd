// Where the installed game keeps the player's files: the XDG folders, else their places
// under the home folder, which comes from $HOME or else from the user database.
#include "app/game_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace zt {
namespace {

// An environment of the test's own: its variables, and what the user database says.
struct FakeUser {
  std::map<std::string, std::string> Variables;
  std::optional<std::string> DatabaseHome;
  int DatabaseAsked = 0;

  UserEnvironment Environment() {
    return UserEnvironment{[this](const char* name) -> const char* {
                             const auto found = Variables.find(name);
                             return found == Variables.end() ? nullptr : found->second.c_str();
                           },
                           [this] {
                             ++DatabaseAsked;
                             return DatabaseHome;
                           }};
  }
  std::optional<PlayerFolders> Folders() { return InstalledPlayerFolders(Environment()); }
};

TEST(InstalledPlayerFolders, XdgFoldersFirstThenTheirPlacesUnderHome) {
  FakeUser user;
  user.Variables = {{"XDG_CONFIG_HOME", "/x/config"}, {"XDG_DATA_HOME", "/x/data"}, {"HOME", "/home/p"}};
  std::optional<PlayerFolders> folders = user.Folders();
  ASSERT_TRUE(folders);
  EXPECT_EQ(folders->ConfigFolder, "/x/config/zellory-torvane");
  EXPECT_EQ(folders->DataFolder, "/x/data/zellory-torvane");

  // Relative or empty XDG folders do not count.
  user.Variables = {{"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", ""}, {"HOME", "/home/p"}};
  folders = user.Folders();
  ASSERT_TRUE(folders);
  EXPECT_EQ(folders->ConfigFolder, "/home/p/.config/zellory-torvane");
  EXPECT_EQ(folders->DataFolder, "/home/p/.local/share/zellory-torvane");
  EXPECT_EQ(user.DatabaseAsked, 0);
}

TEST(InstalledPlayerFolders, WithoutHomeTheUserDatabaseSaysWhereHomeIs) {
  FakeUser user;
  user.DatabaseHome = "/var/lib/player";
  for (const std::map<std::string, std::string>& variables :
       {std::map<std::string, std::string>{}, {{"HOME", ""}}, {{"HOME", "player"}}}) {
    user.Variables = variables;
    const std::optional<PlayerFolders> folders = user.Folders();
    ASSERT_TRUE(folders);
    EXPECT_EQ(folders->ConfigFolder, "/var/lib/player/.config/zellory-torvane");
    EXPECT_EQ(folders->DataFolder, "/var/lib/player/.local/share/zellory-torvane");
  }
  // Each folder on its own: the one XDG folder set, the other under the database's home.
  user.Variables = {{"XDG_CONFIG_HOME", "/x/config"}};
  const std::optional<PlayerFolders> mixed = user.Folders();
  ASSERT_TRUE(mixed);
  EXPECT_EQ(mixed->ConfigFolder, "/x/config/zellory-torvane");
  EXPECT_EQ(mixed->DataFolder, "/var/lib/player/.local/share/zellory-torvane");
}

TEST(InstalledPlayerFolders, NoHomeAnywhereGivesNoFolders) {
  FakeUser user;
  EXPECT_FALSE(user.Folders());
  user.DatabaseHome = "relative/home";  // a database entry the game cannot use
  EXPECT_FALSE(user.Folders());
  user.Variables = {{"XDG_CONFIG_HOME", "/x/config"}};  // one folder alone is not enough
  EXPECT_FALSE(user.Folders());
  user.Variables["XDG_DATA_HOME"] = "/x/data";
  EXPECT_TRUE(user.Folders());
}

}  // namespace
}  // namespace zt
