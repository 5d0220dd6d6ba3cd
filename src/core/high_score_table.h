// The ten best results of each game type. Kept in memory by the menu layer, which
// loads and saves highscores.dat; read by the rules to track the rank of a running game.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace zt {

struct HighScoreEntry {
  std::string EntryName;  // bytes; up to 18 characters when typed
  int32_t EntryScore = 0;
  bool operator==(const HighScoreEntry&) const = default;
};

constexpr int kGameTypes = 5;
constexpr int kHighScoreRows = 10;

// HighScoreTable[gameType - 1][row - 1]; row 1 is the best.
using HighScoreTable = std::array<std::array<HighScoreEntry, kHighScoreRows>, kGameTypes>;

}  // namespace zt
