#include "app/first_start.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "core/file_read.h"
#include "core/ini_file.h"
#include "core/safe_save.h"

namespace zt {

namespace fs = std::filesystem;

namespace {

// Anything at the path counts, a link to nowhere included: it is the player's.
bool SomethingAt(const std::string& path) {
  std::error_code error;
  return fs::exists(fs::symlink_status(path, error));
}

// The bytes of a readable regular file of a settings file's size; nothing otherwise.
std::optional<std::string> ReadDefaults(const std::string& path) {
  FileBytes read = ReadFileBytes(path, kMaxIniFileBytes);
  if (!read.Ok()) return std::nullopt;
  return std::move(read.Bytes);
}

}  // namespace

FirstStartOutcome CopyDefaultConfig(const std::string& defaultsPath, const std::string& configPath) {
  if (SomethingAt(configPath)) return FirstStartOutcome::ConfigPresent;
  if (!SomethingAt(defaultsPath)) return FirstStartOutcome::NoDefaults;
  const std::optional<std::string> bytes = ReadDefaults(defaultsPath);
  if (!bytes) return FirstStartOutcome::DefaultsUnreadable;
  if (CreateFileSafely(configPath, *bytes)) return FirstStartOutcome::Copied;
  return SomethingAt(configPath) ? FirstStartOutcome::ConfigPresent : FirstStartOutcome::CopyFailed;
}

void PrepareFirstStart(Program& program, const std::string& defaultsPath) {
  if (CopyDefaultConfig(defaultsPath, program.ConfigFile.Path) != FirstStartOutcome::CopyFailed) return;
  program.ConfigFile.ReadPath = defaultsPath;
  program.StartNote = "FirstStart - failed: " + program.ConfigFile.Path +
                      " could not be created, playing with the settings of " + defaultsPath;
}

}  // namespace zt
