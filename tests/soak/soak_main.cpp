// The soak program: `soak --figures 20000` plays and checks that many figures over all five
// game types; `soak --strength 10` plays ten seeded games of each type to their end and prints
// how far the automatic player gets.
#include <chrono>
#include <cstdlib>
#include <iostream>
#include <map>
#include <string>

#include "soak/soak_run.h"

namespace {

int Usage() {
  std::cerr << "usage: soak [--figures N] [--game-figures N] [--seed N] [--quiet]\n"
               "       soak --strength GAMES [--type 1..5] [--game-figures N] [--seed N]\n";
  return 2;
}

int Strength(int32_t games, int32_t figureLimit, uint64_t seed, int32_t onlyType) {
  zt::soak::SoakReport report;
  static const char* kNames[] = {"", "Torvane", "Redara", "Vodoza", "Kids", "Retro"};
  std::cout << "type      games  figures/game  lines/game  (fewest..most)  level  to the limit\n";
  for (int32_t type = 1; type <= 5; ++type) {
    if (onlyType != 0 && type != onlyType) continue;
    const auto results = zt::soak::PlayToTheEnd(ZT_GAME_DIR, type, games, seed, figureLimit, report);
    double figures = 0, lines = 0, level = 0;
    int32_t fewest = INT32_MAX, most = 0, limited = 0;
    for (const auto& game : results) {
      figures += game.Figures;
      lines += game.Lines;
      level += game.Level;
      fewest = std::min(fewest, game.Lines);
      most = std::max(most, game.Lines);
      limited += game.Ended ? 0 : 1;
    }
    const double n = static_cast<double>(results.size());
    std::printf("%-8s %6d %13.0f %11.0f  (%6d..%-6d) %6.1f %6d\n", kNames[type], games, figures / n, lines / n, fewest,
                most, level / n, limited);
    std::fflush(stdout);
  }
  std::cout << report.ProblemCount << " broken promises, " << report.Fallbacks << " figures dropped without a plan\n";
  for (const std::string& problem : report.Problems) std::cout << "  " << problem << '\n';
  return report.ProblemCount == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  zt::soak::SoakOptions options;
  options.GameDir = ZT_GAME_DIR;
  int32_t strengthGames = 0;
  int32_t onlyType = 0;
  bool quiet = false;
  bool limitGiven = false;
  for (int n = 1; n < argc; ++n) {
    const std::string arg = argv[n];
    auto value = [&](int64_t& out) {
      if (n + 1 >= argc) return false;
      char* end = nullptr;
      out = std::strtoll(argv[++n], &end, 10);
      return *end == '\0' && out > 0;
    };
    int64_t number = 0;
    if (arg == "--figures" && value(number)) {
      options.Figures = number;
    } else if (arg == "--game-figures" && value(number)) {
      options.GameFigures = static_cast<int32_t>(number);
      limitGiven = true;
    } else if (arg == "--seed" && value(number)) {
      options.Seed = static_cast<uint64_t>(number);
    } else if (arg == "--strength" && value(number)) {
      strengthGames = static_cast<int32_t>(number);
    } else if (arg == "--type" && value(number) && number <= 5) {
      onlyType = static_cast<int32_t>(number);
    } else if (arg == "--quiet") {
      quiet = true;
    } else {
      return Usage();
    }
  }
  if (strengthGames > 0)
    return Strength(strengthGames, limitGiven ? options.GameFigures : 100000, options.Seed, onlyType);

  if (!quiet) options.Progress = &std::cout;
  const auto started = std::chrono::steady_clock::now();
  const zt::soak::SoakReport report = zt::soak::RunSoak(options);
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  zt::soak::PrintReport(report, std::cout);
  std::cout << "took " << seconds << " s\n";
#if defined(__SANITIZE_ADDRESS__)
  // Under AddressSanitizer the process's memory grows with the sanitizer's quarantine of
  // freed blocks and its shadow pages, whatever the game does; leaks are reported by its
  // leak check at exit instead, so only the game's promises decide.
  constexpr bool kMemoryDecides = false;
#else
  constexpr bool kMemoryDecides = true;
#endif
  return report.ProblemCount == 0 && (report.MemoryFlat || !kMemoryDecides) ? 0 : 1;
}
