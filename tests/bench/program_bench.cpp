// Timings of the whole program: the loading (start-up to the first menu frame, without the
// one-second wait), the CPU time of a menu frame and of a busy game frame, frames per second
// on the software renderer at 720 x 540 and 1920 x 1080, the peak memory of a long game, and
// the verification of a ten-minute record's replay.
//
//   SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 build/tests/bench_program
//
// Run from anywhere: it works in the repository's game folder and keeps the player's files in
// a scratch folder, whose settings ask for high-detail bricks.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "app/frame.h"
#include "app/game_recorder.h"
#include "app/loading_sequence.h"
#include "app/record_verifier.h"
#include "app/shutdown.h"
#include "app/start_up.h"
#include "device/recording_device.h"
#include "game/auto_player.h"
#include "platform/gl_device.h"
#include "platform/sdl_window.h"

namespace zt {
namespace {

// A program on a hidden window of the given size, loaded, its clock and keys in our hands.
struct BenchProgram {
  ManualClock Clock{1000};
  ScriptedKeyboard Keys;
  RecordingMixer Mixer;
  RecordingMessageBox Messages;
  std::unique_ptr<SdlGlWindow> Window;
  std::unique_ptr<Program> Game = std::make_unique<Program>();
  AutoPlayer Player;

  BenchProgram(int width, int height, bool gl) {
    std::filesystem::current_path(ZT_GAME_DIR);
    const std::filesystem::path scratch = std::filesystem::temp_directory_path() / "zt_bench_program";
    std::filesystem::create_directories(scratch);
    std::ofstream(scratch / "config.ini") << "[Settings]\nBrick Quality=3\n";
    GamePaths paths;
    paths.Found = true;
    paths.ConfigPath = (scratch / "config.ini").string();
    paths.PlayerDir = scratch.string();
    ProgramDevices devices;
    devices.Time = &Clock;
    devices.Keys = &Keys;
    devices.Audio = &Mixer;
    devices.Messages = &Messages;
    if (gl) {
      std::string error;
      GlWindowOptions options = HiddenWindowOptions(width, height);
      options.KeepsFrames = false;  // frames drawn as on the player's window
      Window = SdlGlWindow::Create(options, error);
      devices.CreateDirect3D = [this] { return Window ? CreateGlDirect3D(*Window) : nullptr; };
    } else {
      devices.CreateDirect3D = [] { return std::make_shared<RecordingDirect3D>(); };
    }
    InitProgram(*Game, devices, paths);
    Game->SaveOnExit = false;
    if (!InitApplication(*Game)) return;
    Game->AppActive = true;
    RunLoadingSequence(*Game, LoadingOptions{7});
  }
  ~BenchProgram() {
    if (Game->Loaded) FormDestroy(*Game);
  }
  bool Ready() const { return Game->Loaded; }

  // One frame of 16 ms, steered by the automatic player in a game.
  void Frame() {
    Clock.Advance(16);
    Keys.ReleaseAll();
    const GameState& game = Game->Game;
    if (!game.Mode.InMenu && !game.Mode.GameOver)
      for (uint8_t key : AutoPlayerKeys(Player, game, Game->Shapes, Game->Config)) Keys.Press(key);
    IdleFrame(*Game);
  }
  // Into a game of the type, through the menu's fade, and on until the glass is busy.
  void PlayInto(int gameType, int frames) {
    StartGameOfType(*Game, gameType);
    for (int n = 0; n < frames; ++n) Frame();
  }
};

double ProcessCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// Start-up and the whole loading sequence, up to the first menu frame drawn (the shutdown
// after it is not timed).
void BM_LoadingToFirstMenuFrame(benchmark::State& bench) {
  for (auto _ : bench) {
    const auto start = std::chrono::steady_clock::now();
    BenchProgram program(720, 540, true);
    if (!program.Ready()) {
      bench.SkipWithError("no OpenGL 3.3 window");
      return;
    }
    program.Frame();
    program.Game->Graphics.D3DDevice->ReadBackBuffer();  // the frame is finished
    bench.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
}
BENCHMARK(BM_LoadingToFirstMenuFrame)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

// Frames on the real device: the real time per frame (1000 / ms gives frames per second) and
// the CPU time the program spends on it.
void FramesOnGl(benchmark::State& bench, bool inGame) {
  BenchProgram program(static_cast<int>(bench.range(0)), static_cast<int>(bench.range(1)), true);
  if (!program.Ready()) {
    bench.SkipWithError("no OpenGL 3.3 window");
    return;
  }
  if (inGame) program.PlayInto(kRedara, 1500);
  const double cpuStart = ProcessCpuSeconds();
  int64_t frames = 0;
  for (auto _ : bench) {
    program.Frame();
    ++frames;
  }
  program.Game->Graphics.D3DDevice->ReadBackBuffer();
  bench.counters["cpu_ms_per_frame"] = (ProcessCpuSeconds() - cpuStart) * 1000.0 / static_cast<double>(frames);
  const GlFrameCounts counts = LastFrameCounts(*program.Game->Graphics.D3DDevice);
  bench.counters["gl_draws"] = counts.GlDrawCalls;
  bench.counters["texture_binds"] = counts.TextureBinds;
  bench.counters["uniform_calls"] = counts.UniformCalls;
  bench.counters["brick_quality"] = program.Game->Config.BrickQuality;
  bench.counters["particles"] = static_cast<double>(program.Game->Particles[1].Size());
}
void BM_MenuFrame(benchmark::State& bench) { FramesOnGl(bench, false); }
void BM_BusyGameFrame(benchmark::State& bench) { FramesOnGl(bench, true); }
BENCHMARK(BM_MenuFrame)->Args({720, 540})->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);
BENCHMARK(BM_BusyGameFrame)
    ->Args({720, 540})
    ->Args({1920, 1080})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MinTime(3.0);

long PeakResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
  return 0;
}

// A long game without drawing cost: 60,000 frames of 16 ms (16 minutes of play) steered by the
// automatic player; games that end start again. Reports the process's peak memory.
void BM_LongGamePeakMemory(benchmark::State& bench) {
  for (auto _ : bench) {
    BenchProgram program(720, 540, false);
    program.PlayInto(kTorvane, 0);
    for (int n = 0; n < 60000; ++n) {
      program.Frame();
      const GameState& game = program.Game->Game;
      if (game.Mode.InMenu && !game.Mode.InputLocked) StartGameOfType(*program.Game, kTorvane);
      if (game.Mode.GameOver) program.Keys.Press(DIK_RETURN);
    }
  }
  bench.counters["peak_rss_mb"] = static_cast<double>(PeakResidentKilobytes()) / 1024.0;
}
BENCHMARK(BM_LongGamePeakMemory)->Unit(benchmark::kMillisecond)->Iterations(1);

// The verification of a record's replay (the work of the high-score screen's worker thread): a
// game of ten minutes and more, 16 ms frames steered by the automatic player for ten minutes and
// then left alone until it is lost, recorded as play records it; each iteration verifies it.
void BM_VerifyTenMinuteRecord(benchmark::State& bench) {
  BenchProgram program(720, 540, false);
  Program& game = *program.Game;
  game.Scores.Table = DefaultHighScoreTable();
  GameRecorder recorder;
  recorder.Start(game);
  auto frame = [&](bool steered) {
    program.Clock.Advance(16);
    program.Keys.ReleaseAll();
    if (steered && !game.Game.Mode.InMenu && !game.Game.Mode.GameOver)
      for (uint8_t key : AutoPlayerKeys(program.Player, game.Game, game.Shapes, game.Config)) program.Keys.Press(key);
    if (game.Game.Mode.GameOver) program.Keys.Press(DIK_RETURN);
    recorder.BeforeFrame(game);
    IdleFrame(game);
    recorder.AfterFrame(game, program.Clock.Now(), game.Input.KeyState);
  };
  StartGameOfType(game, kTorvane);
  constexpr int kTenMinutes = 10 * 60 * 1000 / 16;
  for (int n = 0; n < kTenMinutes && !game.Game.Mode.GameOver; ++n) frame(true);
  while (!game.Game.Mode.InMenu) frame(false);
  const std::string replay = game.Scores.NameEntryReplay;
  if (replay.empty() || game.Scores.Table[kTorvane - 1][0].EntryScore == 0) {
    bench.SkipWithError("the game ended before ten minutes or did not make the table");
    return;
  }
  bool held = true;
  for (auto _ : bench) held = VerifyReplay(replay, game.Shapes, game.Config).Held && held;
  if (!held) bench.SkipWithError("the replay did not verify");
  bench.counters["frames"] = static_cast<double>(std::count(replay.begin(), replay.end(), '\n'));
  bench.counters["replay_kib"] = static_cast<double>(replay.size()) / 1024.0;
}
BENCHMARK(BM_VerifyTenMinuteRecord)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
}  // namespace zt
