// Where the program finds its data and keeps the player's files.
//
// Run from its game folder (the folder holding data/models.dat, or the program's own folder
// when the working folder is not one), config.ini lives beside the program and
// highscores.dat, debug.txt and result.txt in the game folder. Installed, the data is read
// from share/zellory-torvane beside the program's bin/ folder, config.ini is kept in
// $XDG_CONFIG_HOME/zellory-torvane and the rest in $XDG_DATA_HOME/zellory-torvane. The data
// folder's default-config.ini becomes the player's config.ini at a first start (first_start.h).
// The XDG folders default to ~/.config and ~/.local/share; without $HOME the home folder is the
// user database's, and with no home at all the installed game does not start rather than write
// into its data folder.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zt {

struct GamePaths {
  bool Found = false;      // the data was found (and the working folder is now its folder)
  bool Installed = false;  // the data came from share/zellory-torvane
  bool NoHome = false;     // installed, but no home folder to keep the player's files in
  std::string ConfigPath;  // config.ini
  std::string PlayerDir;   // highscores.dat, debug.txt, result.txt; empty: the working folder
  std::string PlayerFile(const std::string& name) const { return PlayerDir.empty() ? name : PlayerDir + "/" + name; }
};

// What the installed game asks the system about the player.
struct UserEnvironment {
  std::function<const char*(const char*)> Variable;      // an environment variable, null when unset
  std::function<std::optional<std::string>()> UserHome;  // the user database's home folder
};
UserEnvironment SystemEnvironment();  // getenv and getpwuid_r(getuid())

// The installed game's folders for config.ini and for the other player's files.
struct PlayerFolders {
  std::string ConfigFolder;
  std::string DataFolder;
};
// Absent when neither the XDG variables nor a home folder tell where they go.
std::optional<PlayerFolders> InstalledPlayerFolders(const UserEnvironment& environment);

std::string ExecutableFolder();
// Finds the data, changes the working folder to it and settles where the player's files go
// (creating the player's folders when installed).
GamePaths EnterGameFolder(const UserEnvironment& environment = SystemEnvironment());

// What the player is told when the installed game finds no home folder.
constexpr const char* kNoHomeMessage =
    "The player's folder cannot be made: HOME is not set and the user database knows no home folder. "
    "Set HOME (or XDG_CONFIG_HOME and XDG_DATA_HOME) and start the game again.";

}  // namespace zt
