// config.ini, beside the executable: the "Options" section (display and control, only
// ever read; edited by hand) and the "Settings" section (what the Options menu changes,
// read once at loading and written back at shutdown or when the player leaves the
// Options screen). Every value is an integer; a missing file, section or key, or a value
// that is not a number reads as 0.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/debug_log.h"
#include "core/ini_file.h"
#include "core/settings.h"

namespace zt {

constexpr const char* kConfigFileName = "config.ini";
constexpr const char* kAntialiasingKey = "Antialiasing";  // in "Options"

// Whether "Options"/"FullScreen" is 1: the main window is then created without a border.
bool FullScreenRequested(const std::string& configPath);

// The "Options" section: FullScreenMode, ScreenWidth/ScreenHeight (0 = the desktop
// size), RotationSpeedFactor, SidewaysKeyDelay, the palette ("Palette" 1: the colour-blind one) and
// the smooth edges' choice ("Antialiasing" 0 or 1; missing or any other value: the renderer's).
void LoadDisplayOptions(const std::string& configPath, Settings& settings);
void ReadDisplayOptions(const IniFile& ini, Settings& settings);  // the same from a file's contents

// The "Settings" section is written only by a program that has read it.
struct SettingsFile {
  std::string Path;         // config.ini beside the executable; every write goes here
  bool Open = false;        // LoadSettings has run and SaveSettings has not yet
  std::string ReadPath{};   // read instead of Path when set: a first start's default-config.ini
                            // that could not be copied to config.ini
  std::string ReadError{};  // why LoadSettings could not read the file, empty when it could; while
                            // set the settings in memory are not the file's, and nothing writes it
  const std::string& Source() const { return ReadPath.empty() ? Path : ReadPath; }  // what is read
};

// Reads "Settings" from the file's Source: the volumes (kept within 0..9), the turning
// direction and the brick quality. The stored music number is not applied: the music always
// starts with the menu track. A file that cannot be read gives the values of a missing one
// and sets ReadError.
void LoadSettings(SettingsFile& file, Settings& settings);
void ReadSettingsSection(const IniFile& ini, Settings& settings);  // the same from a file's contents

// "Options"/"Antialiasing" into the file's contents once the player (or the file) chose it; a file
// that leaves the choice to the renderer gains no key.
void WriteAntialiasingChoice(IniFile& ini, const Settings& settings);

// Puts the values of the "Settings" section into the file's contents.
void WriteSettingsValues(IniFile& ini, const Settings& settings, uint8_t currentMusicTrack);

// Writes the "Settings" section into config.ini now, keeping everything else of the
// file as it stands then: under the file's lock (SaveLock) it is read again, so the keys and
// sections another game or the player wrote meanwhile stay, and the last game to write sets
// the section. Creates the file with that section alone when it is missing. A failed write is
// logged and leaves the old file; the result says whether the write succeeded. Nothing is
// written while the file's ReadError is set.
bool WriteSettingsSection(const SettingsFile& file, const Settings& settings, uint8_t currentMusicTrack,
                          const DebugLog& log);

// Changes config.ini as `write` says, under the file's lock and on the file as it is read again
// then, so every other key stays as it stands. `what` names the save in the log's lines. False,
// and the old file kept, when it fails, or when the file could not be read at loading.
bool UpdateConfigFile(const SettingsFile& file, const std::string& what, const std::function<void(IniFile&)>& write,
                      const DebugLog& log);

// Shutdown: writes the "Settings" section if LoadSettings has run, then closes the file.
// True when there was nothing to write or the write succeeded.
bool SaveSettings(SettingsFile& file, const Settings& settings, uint8_t currentMusicTrack, const DebugLog& log);

}  // namespace zt
