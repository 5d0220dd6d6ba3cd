#include "app/game_folder.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace zt {

namespace fs = std::filesystem;

namespace {

constexpr const char* kDataMarker = "data/models.dat";
constexpr const char* kFolderName = "zellory-torvane";

bool HoldsData(const fs::path& folder) {
  std::error_code error;
  return fs::exists(folder / kDataMarker, error);
}

// Only absolute folders count: a relative one would be taken from wherever the game runs.
std::optional<fs::path> AbsoluteFolder(const char* value) {
  if (value == nullptr || value[0] != '/') return std::nullopt;
  return fs::path(value);
}

// $HOME, else the user database's.
std::optional<fs::path> HomeFolder(const UserEnvironment& environment) {
  if (std::optional<fs::path> home = AbsoluteFolder(environment.Variable("HOME"))) return home;
  const std::optional<std::string> user = environment.UserHome();
  return user ? AbsoluteFolder(user->c_str()) : std::nullopt;
}

// $XDG_..._HOME, or its usual place under the home folder.
std::optional<fs::path> XdgFolder(const UserEnvironment& environment, const char* variable, const char* fallback) {
  if (std::optional<fs::path> folder = AbsoluteFolder(environment.Variable(variable))) return folder;
  const std::optional<fs::path> home = HomeFolder(environment);
  return home ? std::optional<fs::path>(*home / fallback) : std::nullopt;
}

std::optional<std::string> HomeOfThisUser() {
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 16384));
  passwd entry{};
  passwd* found = nullptr;
  while (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == ERANGE)
    buffer.resize(buffer.size() * 2);
  if (found == nullptr || found->pw_dir == nullptr) return std::nullopt;
  return std::string(found->pw_dir);
}

}  // namespace

UserEnvironment SystemEnvironment() {
  return UserEnvironment{[](const char* name) { return std::getenv(name); }, HomeOfThisUser};
}

std::optional<PlayerFolders> InstalledPlayerFolders(const UserEnvironment& environment) {
  const std::optional<fs::path> config = XdgFolder(environment, "XDG_CONFIG_HOME", ".config");
  const std::optional<fs::path> data = XdgFolder(environment, "XDG_DATA_HOME", ".local/share");
  if (!config || !data) return std::nullopt;
  return PlayerFolders{(*config / kFolderName).string(), (*data / kFolderName).string()};
}

std::string ExecutableFolder() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error) return fs::current_path(error).string();
  return exe.parent_path().string();
}

GamePaths EnterGameFolder(const UserEnvironment& environment) {
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
  paths.Found = true;
  paths.Installed = true;
  const std::optional<PlayerFolders> folders = InstalledPlayerFolders(environment);
  if (!folders) {
    paths.NoHome = true;  // nothing is to be written, least of all into share/
    return paths;
  }
  fs::create_directories(folders->ConfigFolder, error);
  fs::create_directories(folders->DataFolder, error);
  paths.ConfigPath = (fs::path(folders->ConfigFolder) / "config.ini").string();
  paths.PlayerDir = folders->DataFolder;
  return paths;
}

}  // namespace zt
