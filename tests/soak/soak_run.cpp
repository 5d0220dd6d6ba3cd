#include "soak/soak_run.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <iomanip>
#include <memory>
#include <ostream>
#include <sstream>

#include "app/frame.h"
#include "app/program.h"
#include "game/auto_player.h"
#include "game/game_step.h"
#include "soak/soak_checks.h"

namespace zt::soak {

namespace {

constexpr size_t kKeptProblems = 40;
constexpr uint32_t kShortestFrameMs = 5;
constexpr int32_t kUndroppedFigures = 30;
constexpr uint32_t kTrackMs = 150000;  // a music track is ended after this long, so the next one starts

// How a game's frames come: a usual length with some jitter, and now and then a stall.
struct FrameProfile {
  uint32_t Ms = 16;
  uint32_t Jitter = 0;
  uint32_t StallOneIn = 0;  // 0: never
};

constexpr FrameProfile kProfiles[] = {{16, 2, 900}, {10, 3, 1500}, {33, 4, 600}, {20, 5, 1200}, {7, 2, 2000}};

// The program with test devices, set up as the loading sequence leaves it, without files but
// the figure file.
class Session {
 public:
  explicit Session(const std::string& gameDir) {
    ProgramDevices devices;
    devices.Time = &clock_;
    devices.Keys = &keyboard_;
    devices.Audio = &mixer_;
    program_ = std::make_unique<Program>();
    Program& p = *program_;
    InitProgram(p, devices, GamePaths{});
    p.Log.Enabled = false;
    p.SaveOnExit = false;
    p.Config.RotationSpeedFactor = 0.75f;
    p.Config.SidewaysKeyDelay = 340;
    p.Config.SoundVolume = 9;
    p.Config.MusicVolume = 9;
    p.Shapes = LoadFigImages(gameDir + "/data/figimages/images.dat");
    p.Scores.Table = DefaultHighScoreTable();
    DIInit(p.Input);
    DICreateKeyboard(p.Input);
    DIAcquireKeyboard(p.Input, true);
    p.Input.KeyboardReady = true;
    LoadAudio(p.Audio, &mixer_, p.Config, p.Log);
    p.Game.Time.LastTick = clock_.Now();
    p.AppActive = true;
    p.Loaded = true;
  }

  Program& program() { return *program_; }

  // One game from NewGame to its end or the figure limit, each step checked.
  GameResult Play(int32_t gameType, uint64_t seed, int32_t figureLimit, const FrameProfile& profile, AutoDrop drop,
                  int64_t figuresLeft, SoakReport& report, const std::function<void(int64_t)>& afterFigure) {
    Program& p = *program_;
    GameState& game = p.Game;
    Random frames(seed * 2654435761u + 17);
    p.Rng.Seed(seed);
    game.GameType = gameType;
    game.Mode.InMenu = false;
    game.Mode.GameOver = false;  // as leaving the game-over screen does
    game.Position = kNoPosition;
    GameContext context = p.Context();
    NewGame(context);
    AutoPlayer player;
    StepChecker checker(p.Shapes, p.Config.RotationClockwise, kShortestFrameMs);
    checker.Reset(game, clock_.Now());

    GameResult result;
    result.GameType = gameType;
    int32_t landed = 0;
    bool bombWas = false, superWas = false;
    while (!game.Mode.GameOver && game.FiguresLanded < figureLimit && landed < figuresLeft) {
      // Without drops a game is slow: the first figures only, which lets a "Torvane" game
      // gather few enough points for a superfigure.
      player.Drop = drop == AutoDrop::kNone && game.FiguresLanded >= kUndroppedFigures ? AutoDrop::kCtrl : drop;
      uint32_t ms = profile.Ms + (profile.Jitter ? frames.Next(2 * profile.Jitter + 1) : 0u) - profile.Jitter;
      if (profile.StallOneIn != 0 && frames.Next(static_cast<int32_t>(profile.StallOneIn)) == 0)
        ms = 100 + frames.Next(80);
      clock_.Advance(std::max(ms, kShortestFrameMs));

      const std::vector<uint8_t> keys = AutoPlayerKeys(player, game, p.Shapes, p.Config);
      keyboard_.ReleaseAll();
      for (uint8_t key : keys) keyboard_.Press(key);
      const bool stepRuns = !game.Mode.InMenu && !game.Mode.GameOver && !game.Mode.Paused && !game.Mode.AbortAsked;
      IdleFrame(p);
      ++report.Frames;
      DrainAudio();

      if (stepRuns) {
        for (std::string& problem : checker.AfterStep(game, p.Particles, clock_.Now())) {
          ++report.ProblemCount;
          std::ostringstream where;
          where << "game type " << gameType << ", seed " << seed << ", figure " << game.FiguresLanded << ": "
                << problem;
          if (where.str() == lastProblem_) continue;  // the same again a step later: listed once
          lastProblem_ = where.str();
          if (report.Problems.size() < kKeptProblems) report.Problems.push_back(lastProblem_);
        }
      }
      if (game.Bonus.BombActive && !bombWas) ++result.Bombs;
      bombWas = game.Bonus.BombActive;
      if (game.Bonus.SuperfigurePending && !superWas) ++result.Superfigures;
      superWas = game.Bonus.SuperfigurePending;
      if (game.FiguresLanded != landed) {
        landed = game.FiguresLanded;
        afterFigure(landed);
      }
    }
    result.Figures = game.FiguresLanded;
    result.Lines = game.Lines;
    result.Score = game.Score;
    result.Level = game.Level;
    result.Ended = game.Mode.GameOver;
    report.Plans += player.Plans;
    report.Replans += player.Replans;
    report.Fallbacks += player.Fallbacks;
    return result;
  }

  uint32_t Now() { return clock_.Now(); }

 private:
  // The recording mixer keeps every call; the soak lets them go each frame. A track that has
  // played long enough is ended, so the game moves on to its next one.
  void DrainAudio() {
    mixer_.calls.clear();
    mixer_.playedSounds.clear();
    Sounds& audio = program_->Audio;
    if (audio.CurrentMusicTrack != trackPlaying_) {
      trackPlaying_ = audio.CurrentMusicTrack;
      trackStarted_ = clock_.Now();
    } else if (clock_.Now() - trackStarted_ > kTrackMs) {
      mixer_.EndStream(audio.MusicStreams[audio.CurrentMusicTrack]);
      trackStarted_ = clock_.Now();
    }
  }

  ManualClock clock_{1000};
  ScriptedKeyboard keyboard_;
  RecordingMixer mixer_;
  std::unique_ptr<Program> program_;
  std::string lastProblem_;
  uint8_t trackPlaying_ = 0;
  uint32_t trackStarted_ = 1000;
};

}  // namespace

int64_t ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) != 0) continue;
    std::istringstream fields(line.substr(6));
    int64_t kb = 0;
    fields >> kb;
    return kb;
  }
  return 0;
}

SoakReport RunSoak(const SoakOptions& options) {
  SoakReport report;
  Session session(options.GameDir);
  const uint32_t started = session.Now();
  int64_t nextSample = options.SampleFigures;
  auto afterFigure = [&](int64_t landedInGame) {
    const int64_t total = report.Figures + landedInGame;
    if (total < nextSample) return;
    nextSample += options.SampleFigures;
    const int64_t rss = ResidentKb();
    report.Memory.push_back({total, rss});
    if (total < options.WarmupFigures) return;
    if (report.BaselineRssKb == 0) report.BaselineRssKb = rss;
    report.LargestRssKb = std::max(report.LargestRssKb, rss);
    if (rss > report.BaselineRssKb + options.MemoryMarginKb) report.MemoryFlat = false;
  };

  for (int64_t game = 0; report.Figures < options.Figures; ++game) {
    const int32_t gameType = static_cast<int32_t>(kTorvane + game % 5);
    const FrameProfile profile =
        options.VaryFrames ? kProfiles[(game / 5 + game) % std::size(kProfiles)] : FrameProfile{};
    Settings& config = session.program().Config;
    if (options.VaryFrames) {
      static constexpr float kTurnSpeeds[] = {0.75f, 1.15f, 1.55f};
      static constexpr int32_t kDelays[] = {340, 250, 170};
      config.RotationSpeedFactor = kTurnSpeeds[game % 3];
      config.SidewaysKeyDelay = kDelays[(game / 3) % 3];
      config.RotationClockwise = (game / 2) % 2 == 0;
    }
    const uint64_t seed = options.Seed * 1000 + static_cast<uint64_t>(game);
    // Every drop key in turn, the first game of each type starting with another one.
    const auto drop = options.VaryFrames ? static_cast<AutoDrop>((game + 3 + game / 5) % 4) : AutoDrop::kCtrl;
    const GameResult result = session.Play(gameType, seed, options.GameFigures, profile, drop,
                                           options.Figures - report.Figures, report, afterFigure);
    report.Games.push_back(result);
    report.Figures += result.Figures;
    if (options.Progress != nullptr)
      *options.Progress << "game " << game + 1 << ": type " << gameType << ", " << result.Figures << " figures, "
                        << result.Lines << " lines, level " << result.Level << (result.Ended ? ", game over" : "")
                        << ", " << report.Figures << " figures in all, " << ResidentKb() << " KiB" << std::endl;
  }
  report.PlayedSeconds = (session.Now() - started) / 1000.0;
  if (report.BaselineRssKb == 0) report.MemoryFlat = true;  // too short to judge
  return report;
}

std::vector<GameResult> PlayToTheEnd(const std::string& gameDir, int32_t gameType, int32_t games, uint64_t seed,
                                     int32_t figureLimit, SoakReport& report) {
  std::vector<GameResult> results;
  Session session(gameDir);
  for (int32_t game = 0; game < games; ++game) {
    const GameResult result = session.Play(gameType, seed + game, figureLimit, FrameProfile{}, AutoDrop::kCtrl,
                                           INT64_MAX, report, [](int64_t) {});
    report.Figures += result.Figures;
    results.push_back(result);
  }
  return results;
}

void PrintReport(const SoakReport& report, std::ostream& out) {
  out << report.Figures << " figures in " << report.Games.size() << " games, " << report.Frames << " frames, "
      << std::fixed << std::setprecision(0) << report.PlayedSeconds << " s of play\n";
  int32_t bombs = 0, superfigures = 0, overs = 0;
  for (const GameResult& game : report.Games) {
    bombs += game.Bombs;
    superfigures += game.Superfigures;
    overs += game.Ended ? 1 : 0;
  }
  out << overs << " games ended by game over, " << bombs << " bombs, " << superfigures << " superfigures\n";
  out << "automatic player: " << report.Plans << " plans, " << report.Replans << " plans remade, " << report.Fallbacks
      << " figures dropped without a plan\n";
  out << "memory (VmRSS KiB):";
  for (const MemorySample& sample : report.Memory) out << ' ' << sample.Figures << ':' << sample.RssKb;
  out << "\nbaseline " << report.BaselineRssKb << " KiB, largest " << report.LargestRssKb
      << " KiB: " << (report.MemoryFlat ? "flat" : "GROWING") << '\n';
  out << report.ProblemCount << " broken promises\n";
  for (const std::string& problem : report.Problems) out << "  " << problem << '\n';
}

}  // namespace zt::soak
