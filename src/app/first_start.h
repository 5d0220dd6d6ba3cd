// A first start in play: a player without a config.ini gets the game's default-config.ini
// (in the data folder) as theirs, so the first game has music, sound and clockwise turns
// instead of the rules' own defaults (everything 0). Replays, headless runs and screenshots
// never make one; without default-config.ini the rules' defaults hold as they always did.
#pragma once

#include <string>

#include "app/program.h"

namespace zt {

constexpr const char* kDefaultConfigFileName = "default-config.ini";  // in the data folder

enum class FirstStartOutcome {
  ConfigPresent,       // the player's config.ini is there (or appeared meanwhile): left as it is
  NoDefaults,          // there is no default-config.ini: nothing written
  DefaultsUnreadable,  // default-config.ini cannot be read (a folder, no permission): nothing written
  Copied,              // config.ini is now a byte-for-byte copy of default-config.ini
  CopyFailed,          // config.ini cannot be created (its folder is not writable)
};

// Copies `defaultsPath` to `configPath` when nothing is at `configPath`, through a temporary
// file that is flushed and renamed, never over a file that appears meanwhile.
FirstStartOutcome CopyDefaultConfig(const std::string& defaultsPath, const std::string& configPath);

// Makes the program's config.ini on a first start, before anything reads it. When it cannot
// be created, this run reads its settings from `defaultsPath` (saves still go to config.ini)
// and keeps a line for debug.txt, which InitApplication writes once the log is started.
void PrepareFirstStart(Program& program, const std::string& defaultsPath = kDefaultConfigFileName);

}  // namespace zt
