// The soak: the automatic player plays seeded games of every game type without a window,
// frame by frame through the program's own frame (key poll, game step) on a hand-moved
// clock, while every step is checked and the process's memory is sampled.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

namespace zt::soak {

struct SoakOptions {
  int64_t Figures = 3000;     // stop once this many figures have locked, over all games
  int32_t GameFigures = 600;  // a game still running after this many figures is ended
  uint64_t Seed = 1;
  std::string GameDir;               // the game folder (its figure file is read)
  int64_t SampleFigures = 250;       // figures between two memory samples
  int64_t WarmupFigures = 1000;      // the first sample after this is the baseline
  int64_t MemoryMarginKb = 1024;     // growth allowed over the baseline
  bool VaryFrames = true;            // frame lengths, turn speed, key delay and direction change per game
  std::ostream* Progress = nullptr;  // a line per game when set
};

struct GameResult {
  int32_t GameType = 1;
  int32_t Figures = 0;
  int32_t Lines = 0;
  int32_t Score = 0;
  int32_t Level = 1;
  int32_t Bombs = 0;         // bombs that went off
  int32_t Superfigures = 0;  // superfigures that entered
  bool Ended = false;        // game over (else ended by the figure limit)
};

struct MemorySample {
  int64_t Figures = 0;
  int64_t RssKb = 0;
};

struct SoakReport {
  int64_t Figures = 0;
  int64_t Frames = 0;
  double PlayedSeconds = 0;  // game time on the hand-moved clock
  std::vector<GameResult> Games;
  int64_t ProblemCount = 0;
  std::vector<std::string> Problems;  // the first ones, with where they happened
  std::vector<MemorySample> Memory;
  int64_t BaselineRssKb = 0;
  int64_t LargestRssKb = 0;
  bool MemoryFlat = true;
  int64_t Plans = 0, Replans = 0, Fallbacks = 0;  // the automatic player's
};

// The resident memory of this process in KiB (VmRSS), 0 when it cannot be read.
int64_t ResidentKb();

SoakReport RunSoak(const SoakOptions& options);

// Plays `games` seeded games of the type to their end (or `figureLimit` figures) with
// 16 ms frames and the default settings; every step is checked all the same.
std::vector<GameResult> PlayToTheEnd(const std::string& gameDir, int32_t gameType, int32_t games, uint64_t seed,
                                     int32_t figureLimit, SoakReport& report);

void PrintReport(const SoakReport& report, std::ostream& out);

}  // namespace zt::soak
