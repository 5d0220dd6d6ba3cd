// Where the program finds its data and keeps the player's files.
//
// Run from its game folder (the folder holding data/models.dat, or the program's own folder
// when the working folder is not one), config.ini lives beside the program and
// highscores.dat, debug.txt and result.txt in the game folder. Installed, the data is read
// from share/zellory-torvane beside the program's bin/ folder, config.ini is kept in
// $XDG_CONFIG_HOME/zellory-torvane and the rest in $XDG_DATA_HOME/zellory-torvane. The data
// folder's default-config.ini becomes the player's config.ini at a first start (first_start.h).
#pragma once

#include <string>

namespace zt {

struct GamePaths {
  bool Found = false;      // the data was found (and the working folder is now its folder)
  bool Installed = false;  // the data came from share/zellory-torvane
  std::string ConfigPath;  // config.ini
  std::string PlayerDir;   // highscores.dat, debug.txt, result.txt; empty: the working folder
  std::string PlayerFile(const std::string& name) const { return PlayerDir.empty() ? name : PlayerDir + "/" + name; }
};

std::string ExecutableFolder();
// Finds the data, changes the working folder to it and settles where the player's files go
// (creating the player's folders when installed).
GamePaths EnterGameFolder();

}  // namespace zt
