#include "menu/settings_file.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <optional>

#include "core/save_lock.h"

namespace zt {
namespace {

constexpr const char* kOptions = "Options";
constexpr const char* kSettings = "Settings";

struct ModeSize {
  int32_t Width;
  int32_t Height;
};

// "Resolution" codes 0..8.
constexpr ModeSize kResolutions[] = {{1600, 1200}, {1280, 960}, {1152, 864}, {1024, 768}, {800, 600},
                                     {640, 480},   {512, 384},  {400, 300},  {320, 240}};

// An unreadable file reads like a missing one: every key is 0.
IniFile ReadOrEmpty(const std::string& path) { return IniFile::Read(path).value_or(IniFile()); }

}  // namespace

bool FullScreenRequested(const std::string& configPath) {
  return ReadOrEmpty(configPath).ReadInteger(kOptions, "FullScreen") == 1;
}

void LoadDisplayOptions(const std::string& configPath, Settings& settings) {
  ReadDisplayOptions(ReadOrEmpty(configPath), settings);
}

void ReadDisplayOptions(const IniFile& ini, Settings& settings) {
  if (ini.ReadInteger(kOptions, "FullScreen") == 1) {
    if (ini.ReadInteger(kOptions, "Use desktop settings") == 1) {
      settings.ScreenWidth = 0;
      settings.ScreenHeight = 0;
    } else {
      const int32_t code = ini.ReadInteger(kOptions, "Resolution");
      const bool known = code >= 0 && code < static_cast<int32_t>(std::size(kResolutions));
      settings.ScreenWidth = known ? kResolutions[code].Width : 0;
      settings.ScreenHeight = known ? kResolutions[code].Height : 0;
    }
  }
  settings.FullScreenMode = ini.ReadInteger(kOptions, "FullScreen") == 1;

  switch (ini.ReadInteger(kOptions, "Rotation Speed")) {
    case 1:
      settings.RotationSpeedFactor = 1.15f;
      break;
    case 2:
      settings.RotationSpeedFactor = 1.55f;
      break;
    // 0, and any unknown code: a factor of 0 would freeze every turn animation.
    default:
      settings.RotationSpeedFactor = 0.75f;
      break;
  }

  settings.Palette = ini.ReadInteger(kOptions, "Palette") == kColourBlindPalette ? kColourBlindPalette : kGamePalette;

  switch (ini.ReadInteger(kOptions, "Keys Sensetive")) {
    case 0:
      settings.SidewaysKeyDelay = 340;
      break;
    case 1:
      settings.SidewaysKeyDelay = 250;
      break;
    case 2:
      settings.SidewaysKeyDelay = 170;
      break;
    default:
      break;  // an unknown code leaves the delay as it was (0 at start)
  }
}

void LoadSettings(SettingsFile& file, Settings& settings) {
  file.ReadError.clear();
  ReadSettingsSection(IniFile::Read(file.Source(), &file.ReadError).value_or(IniFile()), settings);
  file.Open = true;
}

void ReadSettingsSection(const IniFile& ini, Settings& settings) {
  settings.MusicVolume = std::clamp(ini.ReadInteger(kSettings, "Music volume"), 0, 9);
  settings.SoundVolume = std::clamp(ini.ReadInteger(kSettings, "Sound volume"), 0, 9);
  settings.RotationClockwise = ini.ReadInteger(kSettings, "Rotation") == 1;
  switch (ini.ReadInteger(kSettings, "Brick Quality")) {
    case 1:
      settings.BrickQuality = 0;
      break;
    case 2:
      settings.BrickQuality = 1;
      break;
    case 3:
      settings.BrickQuality = 2;
      break;
    default:
      settings.BrickQuality = 1;
      break;  // 0, missing and unknown codes: medium
  }
  // "Music Number" is in the section too, but the music at start-up is always the menu's.
}

void WriteSettingsValues(IniFile& ini, const Settings& settings, uint8_t currentMusicTrack) {
  ini.WriteInteger(kSettings, "Music volume", settings.MusicVolume);
  ini.WriteInteger(kSettings, "Sound volume", settings.SoundVolume);
  ini.WriteInteger(kSettings, "Rotation", settings.RotationClockwise ? 1 : 0);
  ini.WriteInteger(kSettings, "Brick Quality", settings.BrickQuality + 1);
  ini.WriteInteger(kSettings, "Music Number", currentMusicTrack);
}

bool UpdateConfigFile(const SettingsFile& file, const std::string& what, const std::function<void(IniFile&)>& write,
                      const DebugLog& log) {
  if (!file.ReadError.empty()) {
    WriteLog(log, what + " - skipped: " + file.Source() + " could not be read at loading (" + file.ReadError +
                      "), so it is kept as it is");
    return false;
  }
  // Under the file's lock, read it again: whatever was edited by hand or written by another game
  // in the folder meanwhile is kept, and only the keys written here take this run's values.
  const SaveLock lock(file.Path);
  if (!lock.Held()) {
    WriteLog(log, what + " - failed: " + file.Path + " could not be locked, settings not saved");
    return false;
  }
  std::optional<IniFile> ini = IniFile::Read(file.Path);
  if (!ini) {
    WriteLog(log, what + " - failed: " + file.Path + " could not be read, settings not saved");
    return false;
  }
  write(*ini);
  if (!ini->Save(file.Path)) {
    WriteLog(log, what + " - failed: " + file.Path + " could not be written, the old file is kept");
    return false;
  }
  return true;
}

bool WriteSettingsSection(const SettingsFile& file, const Settings& settings, uint8_t currentMusicTrack,
                          const DebugLog& log) {
  return UpdateConfigFile(
      file, "SaveSettings", [&](IniFile& ini) { WriteSettingsValues(ini, settings, currentMusicTrack); }, log);
}

bool SaveSettings(SettingsFile& file, const Settings& settings, uint8_t currentMusicTrack, const DebugLog& log) {
  if (!file.Open) return true;
  file.Open = false;
  return WriteSettingsSection(file, settings, currentMusicTrack, log);
}

}  // namespace zt
