// Where the program finds its data and keeps its files.
#pragma once

#include <string>

namespace zt {

std::string ExecutableFolder();
// Runs from the game folder: when data/models.dat is not in the working folder, changes
// to the executable's folder. False when the data is in neither.
bool EnterGameFolder();
std::string ConfigPath();  // config.ini beside the executable

}  // namespace zt
