#include "app/game_folder.h"

#include <filesystem>
#include <system_error>

namespace zt {

std::string ExecutableFolder() {
  std::error_code error;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error).string();
  return exe.parent_path().string();
}

bool EnterGameFolder() {
  std::error_code error;
  if (std::filesystem::exists("data/models.dat", error)) return true;
  std::filesystem::current_path(ExecutableFolder(), error);
  return !error && std::filesystem::exists("data/models.dat", error);
}

std::string ConfigPath() { return (std::filesystem::path(ExecutableFolder()) / "config.ini").string(); }

}  // namespace zt
