#include "menu/settings_file.h"

#include <algorithm>
#include <array>
#include <functional>
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
constexpr std::array<ModeSize, 9> kResolutions{
    {{1600, 1200}, {1280, 960}, {1152, 864}, {1024, 768}, {800, 600}, {640, 480}, {512, 384}, {400, 300}, {320, 240}}};
// "Rotation Speed" codes 0..2: the turn animation's speed factor.
constexpr std::array<float, 3> kRotationSpeedFactors{0.75f, 1.15f, 1.55f};
// "Keys Sensetive" codes 0..2: ms before a held sideways key repeats.
constexpr std::array<int32_t, 3> kSidewaysKeyDelays{340, 250, 170};
// "Brick Quality" codes 1..3 are qualities 0..2; code 0 stands for medium.
constexpr std::array<int32_t, 4> kBrickQualities{1, 0, 1, 2};

// What a code of a table indexed by code stands for; nothing for an unknown code.
template <typename Value, size_t Count>
std::optional<Value> ByCode(const std::array<Value, Count>& table, int32_t code) {
  if (code < 0 || code >= static_cast<int32_t>(Count)) return std::nullopt;
  return table[code];
}

// An unreadable file reads like a missing one: every key is 0.
IniFile ReadOrEmpty(const std::string& path) { return IniFile::Read(path).value_or(IniFile()); }

// A missing key and any value but 0 and 1 leave the choice to the renderer.
int32_t ReadAntialiasing(const IniFile& ini) {
  const int32_t value = ini.ReadInteger(kOptions, kAntialiasingKey, kAntialiasingByRenderer);
  return value == kAntialiasingOff || value == kAntialiasingOn ? value : kAntialiasingByRenderer;
}

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
      const ModeSize mode = ByCode(kResolutions, ini.ReadInteger(kOptions, "Resolution")).value_or(ModeSize{0, 0});
      settings.ScreenWidth = mode.Width;
      settings.ScreenHeight = mode.Height;
    }
  }
  settings.FullScreenMode = ini.ReadInteger(kOptions, "FullScreen") == 1;

  // An unknown code turns at the slowest speed: a factor of 0 would freeze every turn animation.
  settings.RotationSpeedFactor =
      ByCode(kRotationSpeedFactors, ini.ReadInteger(kOptions, "Rotation Speed")).value_or(kRotationSpeedFactors[0]);

  settings.Palette = ini.ReadInteger(kOptions, "Palette") == kColourBlindPalette ? kColourBlindPalette : kGamePalette;
  settings.Antialiasing = ReadAntialiasing(ini);

  // An unknown code leaves the delay as it was (0 at start).
  settings.SidewaysKeyDelay =
      ByCode(kSidewaysKeyDelays, ini.ReadInteger(kOptions, "Keys Sensetive")).value_or(settings.SidewaysKeyDelay);
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
  // Missing and unknown codes: medium.
  settings.BrickQuality = ByCode(kBrickQualities, ini.ReadInteger(kSettings, "Brick Quality")).value_or(1);
  // "Music Number" is in the section too, but the music at start-up is always the menu's.
}

void WriteSettingsValues(IniFile& ini, const Settings& settings, uint8_t currentMusicTrack) {
  ini.WriteInteger(kSettings, "Music volume", settings.MusicVolume);
  ini.WriteInteger(kSettings, "Sound volume", settings.SoundVolume);
  ini.WriteInteger(kSettings, "Rotation", settings.RotationClockwise ? 1 : 0);
  ini.WriteInteger(kSettings, "Brick Quality", settings.BrickQuality + 1);
  ini.WriteInteger(kSettings, "Music Number", currentMusicTrack);
}

void WriteAntialiasingChoice(IniFile& ini, const Settings& settings) {
  if (settings.Antialiasing != kAntialiasingByRenderer)
    ini.WriteInteger(kOptions, kAntialiasingKey, settings.Antialiasing);
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
