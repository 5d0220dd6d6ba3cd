#include "app/game_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace zt {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDataMarker = "data/models.dat";
constexpr const char* kFolderName = "zellory-torvane";

bool HoldsData(const fs::path& folder) {
  std::error_code error;
  return fs::exists(folder / kDataMarker, error);
}

// $XDG_..._HOME, or its usual place under the home folder.
fs::path XdgFolder(const char* variable, const char* fallback) {
  if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') return value;
  const char* home = std::getenv("HOME");
  return fs::path(home != nullptr ? home : ".") / fallback;
}

}  // namespace

std::string ExecutableFolder() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error) return fs::current_path(error).string();
  return exe.parent_path().string();
}

GamePaths EnterGameFolder() {
  GamePaths paths;
  const fs::path programFolder = ExecutableFolder();
  std::error_code error;
  bool inGameFolder = HoldsData(fs::current_path(error));
  if (!inGameFolder && HoldsData(programFolder)) {
    fs::current_path(programFolder, error);
    inGameFolder = !error;
  }
  if (inGameFolder) {
    paths.Found = true;
    paths.ConfigPath = (programFolder / "config.ini").string();
    return paths;
  }
  const fs::path shared = programFolder.parent_path() / "share" / kFolderName;
  if (!HoldsData(shared)) return paths;
  fs::current_path(shared, error);
  if (error) return paths;
  const fs::path configFolder = XdgFolder("XDG_CONFIG_HOME", ".config") / kFolderName;
  const fs::path dataFolder = XdgFolder("XDG_DATA_HOME", ".local/share") / kFolderName;
  fs::create_directories(configFolder, error);
  fs::create_directories(dataFolder, error);
  paths.Found = true;
  paths.Installed = true;
  paths.ConfigPath = (configFolder / "config.ini").string();
  paths.PlayerDir = dataFolder.string();
  return paths;
}

}  // namespace zt
