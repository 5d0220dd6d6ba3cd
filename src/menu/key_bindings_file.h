// config.ini's "Keys" and "Pad" sections: for each action (Left, Right, Turn, Down, Drop,
// Instant Drop, Pause, Abort, Yes, No, Enter) the keys or controller buttons bound to it, by
// name, several comma-separated ("Left=Left,A"). A missing or empty entry keeps the game's
// keys for the action. "Keys"/"Repeat Delay" (10..1000 ms) replaces the sideways repeat
// delay of "Options"/"Keys Sensetive".
#pragma once

#include <string>

#include "core/debug_log.h"
#include "core/ini_file.h"
#include "core/key_bindings.h"
#include "core/settings.h"
#include "device/input_names.h"
#include "menu/settings_file.h"

namespace zt {

constexpr int32_t kShortestRepeatDelay = 10;   // ms
constexpr int32_t kLongestRepeatDelay = 1000;  // ms

// Reads both sections into `bindings` and the repeat delay into `settings`. A name the
// platform does not know, a key or button an earlier action already has, and a repeat
// delay out of its range are each ignored with one line in the log.
void ReadKeyBindings(const IniFile& ini, const InputNames& names, const DebugLog& log, KeyBindings& bindings,
                     Settings& settings);

// Puts the bindings into the file's contents: an action bound to other inputs than the
// game's gets their names; an action back at the game's keys gets an empty value where the
// file names it, and nothing where it does not, so a file gains entries only for what the
// player changed.
void WriteKeyBindings(IniFile& ini, const KeyBindings& bindings);

// What the controls page changes, into config.ini now (UpdateConfigFile): the two sections, and
// "Options"/"Palette" when it is not the game's palette or the file names it already, and
// "Options"/"Antialiasing" once chosen (WriteAntialiasingChoice).
bool SaveControls(const SettingsFile& file, const KeyBindings& bindings, const Settings& settings, const DebugLog& log);

}  // namespace zt
