// Timings of a busy game: one game step, the submission of one frame to the recording
// device, and one real frame on the OpenGL device (offscreen, software renderer) at
// 720 x 540 with the number of draws per frame before and after merging.
//
//   SDL_VIDEODRIVER=offscreen LIBGL_ALWAYS_SOFTWARE=1 build/tests/bench_render
//
// The game: 18 rows of bricks, each with one gap so nothing clears, a figure falling above
// them, the preview, the bonus clock and both bars, a message with its bonus, the trail,
// and 500 sparks over the glass.
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

constexpr int kFilledRows = 18;
constexpr int kParticles = 500;

void SetUpBusierGame(GameState& game, ParticleLists& particles) {
  testing::SetUpBusyGame(game, particles, kTorvane, kFilledRows);
  game.CurrentFigure.PosY = 20;
  game.CurrentFigure.CellY = 20;
  game.Trail.Trail[1].Y = game.Trail.Trail[2].Y = kFilledRows + 1.0f;
  ClearAllParticles(particles);
  for (int i = 0; i < kParticles; ++i)
    Particle_Add(particles, 1, 1, 150 + i % 80, 1.0f + static_cast<float>(i % 10), 2.0f + static_cast<float>(i % 17),
                 static_cast<float>(i % 7 - 3) * 40.0f, static_cast<float>(i % 5) * 30.0f);
}

void BM_GameStep(benchmark::State& bench) {
  testing::GameHarness harness(kTorvane);
  harness.shapes = testing::ShippedShapes();
  SetUpBusierGame(harness.state, harness.particles);
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
  FrameView View{Game, Particles, Shapes, Config, Scores, Menu};

  explicit SceneBench(Device& device) {
    testing::LoadRenderResources(device, Resources);
    Scores.Table = testing::BusyTable();
    SetUpBusierGame(Game, Particles);
  }
};

void BM_SubmitFrameToRecordingDevice(benchmark::State& bench) {
  RecordingDevice device(720, 540);
  SceneBench scene(device);
  for (auto _ : bench) RenderFrame(device, scene.Resources, scene.View);
  bench.counters["draws"] = static_cast<double>(device.Draws.size());
}
BENCHMARK(BM_SubmitFrameToRecordingDevice)->Unit(benchmark::kMicrosecond);

void BM_FrameOnGlDevice(benchmark::State& bench) {
  const testing::HiddenGlDevice gl = testing::OpenHiddenGlDevice(720, 540);
  if (!gl.Device) {
    bench.SkipWithError("no OpenGL 3.3 window");
    return;
  }
  SceneBench scene(*gl.Device);
  for (auto _ : bench) {
    RenderFrame(*gl.Device, scene.Resources, scene.View);
    // Waits for the frame to be finished: the back buffer is read once it is complete.
    if (bench.range(0) != 0) benchmark::DoNotOptimize(gl.Device->ReadBackBuffer().Argb.data());
  }
  const GlFrameCounts counts = LastFrameCounts(*gl.Device);
  bench.counters["draws"] = counts.DrawPrimitiveCalls;
  bench.counters["gl_draws"] = counts.GlDrawCalls;
  scene.Resources = RenderResources();
}
BENCHMARK(BM_FrameOnGlDevice)->Arg(0)->Arg(1)->ArgName("read_back")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace zt
