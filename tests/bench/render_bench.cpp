// Timings of a busy game: one game step, the submission of one frame to the recording
// device, and one real frame on the OpenGL device (offscreen, software renderer) at
// 720 x 540, without and with smooth edges, with what each frame asks of OpenGL: the game's
// draws, the GL draws after merging, the textures bound and the uniform uploads.
//
//   SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 build/tests/bench_render
//
// Two scenes, both with high-detail bricks, the figure falling above the rows, the preview,
// the bonus clock and both bars, a message with its bonus and the trail: the busy scene, 18
// rows of bricks (each with one gap, so nothing clears) and 500 sparks over the glass, and a
// game frame, 14 rows and 40 sparks.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "device/recording_device.h"
#include "platform/gl_device.h"
#include "platform/sdl_window.h"
#include "support/game_harness.h"
#include "support/hidden_gl_device.h"
#include "support/scene_fixture.h"

namespace zt {
namespace {

struct SceneSize {
  int FilledRows;
  int Sparks;
};
constexpr SceneSize kBusyScene{18, 500};
constexpr SceneSize kGameFrame{14, 40};
constexpr int32_t kHighBricks = 2;

void SetUpScene(GameState& game, ParticleLists& particles, SceneSize size) {
  testing::SetUpBusyGame(game, particles, kTorvane, size.FilledRows);
  game.CurrentFigure.PosY = 20;
  game.CurrentFigure.CellY = 20;
  game.Trail.Trail[1].Y = game.Trail.Trail[2].Y = static_cast<float>(size.FilledRows) + 1.0f;
  ClearAllParticles(particles);
  for (int i = 0; i < size.Sparks; ++i)
    Particle_Add(particles, 1, 1, 150 + i % 80, 1.0f + static_cast<float>(i % 10), 2.0f + static_cast<float>(i % 17),
                 static_cast<float>(i % 7 - 3) * 40.0f, static_cast<float>(i % 5) * 30.0f);
}

void BM_GameStep(benchmark::State& bench) {
  testing::GameHarness harness(kTorvane);
  harness.shapes = testing::ShippedShapes();
  SetUpScene(harness.state, harness.particles, kBusyScene);
  harness.state.Time.LastTick = harness.clock.Now();
  const GameState start = harness.state;
  const ParticleLists startParticles = harness.particles;
  for (auto _ : bench) {
    bench.PauseTiming();
    harness.state = start;
    harness.particles = startParticles;
    harness.clock.Advance(16);
    bench.ResumeTiming();
    GameStep(harness.game);
    benchmark::DoNotOptimize(harness.state.Score);
  }
}
BENCHMARK(BM_GameStep);

struct SceneBench {
  RenderResources Resources;
  FigureShapes Shapes = testing::ShippedShapes();
  GameState Game;
  ParticleLists Particles;
  Settings Config;
  HighScoreState Scores;
  MenuState Menu;
  StatisticsState Statistics;
  FrameView View{Game, Particles, Shapes, Config, Scores, Menu, Statistics};

  SceneBench(Device& device, SceneSize size) {
    testing::LoadRenderResources(device, Resources);
    Scores.Table = testing::BusyTable();
    Config.BrickQuality = kHighBricks;
    SetUpScene(Game, Particles, size);
  }
};

SceneSize SizeOf(const benchmark::State& bench) {
  return bench.range(0) == kBusyScene.FilledRows ? kBusyScene : kGameFrame;
}

void BM_SubmitFrameToRecordingDevice(benchmark::State& bench) {
  RecordingDevice device(720, 540);
  SceneBench scene(device, kBusyScene);
  for (auto _ : bench) RenderFrame(device, scene.Resources, scene.View);
  bench.counters["draws"] = static_cast<double>(device.Draws.size());
}
BENCHMARK(BM_SubmitFrameToRecordingDevice)->Unit(benchmark::kMicrosecond);

void BM_FrameOnGlDevice(benchmark::State& bench) {
  const testing::HiddenGlDevice gl =
      testing::OpenHiddenGlDevice(HiddenWindowOptions(720, 540), 720, 540, bench.range(2) != 0);
  if (!gl.Device) {
    bench.SkipWithError("no OpenGL 3.3 window");
    return;
  }
  SceneBench scene(*gl.Device, SizeOf(bench));
  for (auto _ : bench) {
    RenderFrame(*gl.Device, scene.Resources, scene.View);
    // Waits for the frame to be finished: the back buffer is read once it is complete.
    if (bench.range(1) != 0) benchmark::DoNotOptimize(gl.Device->ReadBackBuffer().Argb.data());
  }
  const GlFrameCounts counts = LastFrameCounts(*gl.Device);
  bench.counters["draws"] = counts.DrawPrimitiveCalls;
  bench.counters["gl_draws"] = counts.GlDrawCalls;
  bench.counters["texture_binds"] = counts.TextureBinds;
  bench.counters["uniform_calls"] = counts.UniformCalls;
  scene.Resources = RenderResources();
}
BENCHMARK(BM_FrameOnGlDevice)
    ->ArgNames({"rows", "read_back", "smooth"})
    ->Args({kBusyScene.FilledRows, 1, 0})
    ->Args({kGameFrame.FilledRows, 1, 0})
    ->Args({kBusyScene.FilledRows, 0, 0})
    ->Args({kBusyScene.FilledRows, 1, 1})
    ->Args({kGameFrame.FilledRows, 1, 1})
    ->Args({kBusyScene.FilledRows, 0, 1})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace zt
