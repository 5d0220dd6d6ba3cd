#include "app/replay_runner.h"

#include <ostream>

#include "app/frame.h"
#include "app/state_json.h"
#include "game/auto_player.h"
#include "menu/name_characters.h"

namespace zt {

void ApplyReplayOption(Settings& settings, const std::string& name, double value) {
  if (name == "RotationClockwise") settings.RotationClockwise = value != 0;
  if (name == "RotationSpeedFactor") settings.RotationSpeedFactor = static_cast<float>(value);
  if (name == "SidewaysKeyDelay") settings.SidewaysKeyDelay = static_cast<int32_t>(value);
  if (name == "FullScreenMode") settings.FullScreenMode = value != 0;
  if (name == "Palette") settings.Palette = static_cast<int32_t>(value);
}

uint64_t ReplaySeed(const ReplayFile& file) {
  for (const ReplayCommand& command : file.Commands) {
    if (command.What == ReplayCommand::Kind::kFrames) break;
    if (command.What == ReplayCommand::Kind::kSeed) return command.Seed;
  }
  return 1;
}

int RunReplay(Program& program, ReplayDevices& devices, const ReplayFile& file, std::ostream& out, std::ostream& err) {
  uint64_t frames = 0;
  int status = 0;
  AutoPlayer player;
  auto runFrame = [&](uint32_t ms, const std::vector<uint8_t>& keys) {
    devices.Clock.Advance(ms);
    devices.Keys.ReleaseAll();
    for (uint8_t key : keys) devices.Keys.Press(key);
    IdleFrame(program);
    if (devices.DrawFrame) devices.DrawFrame();
    ++frames;
  };
  std::vector<std::string> sounds;
  auto takeSounds = [&] {
    for (std::string& sound : devices.Audio.TakePlayedSounds()) sounds.push_back(std::move(sound));
  };
  for (const ReplayCommand& command : file.Commands) {
    if (program.CloseRequested) break;  // Exit chosen in the menu: the window has closed
    switch (command.What) {
      case ReplayCommand::Kind::kSeed:
        if (frames > 0)
          throw ReplayError(file.Name + ", line " + std::to_string(command.Line) + ": seed after the first frame");
        program.Rng.Seed(command.Seed);
        break;
      case ReplayCommand::Kind::kOption:
        ApplyReplayOption(program.Config, command.Path, command.OptionValue);
        break;
      case ReplayCommand::Kind::kStart:
        ReachGameStart(program, command.Start);
        break;
      case ReplayCommand::Kind::kGame:
        StartGameOfType(program, command.GameType);
        break;
      case ReplayCommand::Kind::kFrames:
        for (uint32_t n = 0; n < command.Count && !program.CloseRequested; ++n) runFrame(command.Ms, command.Keys);
        break;
      case ReplayCommand::Kind::kAutoplay:
        for (uint32_t n = 0; n < command.Count && !program.CloseRequested; ++n) {
          const GameState& game = program.Game;
          const bool playing = !game.Mode.InMenu && !game.Mode.GameOver && !game.Mode.Paused && !game.Mode.AbortAsked;
          runFrame(command.Ms,
                   playing ? AutoPlayerKeys(player, game, program.Shapes, program.Config) : std::vector<uint8_t>{});
        }
        break;
      case ReplayCommand::Kind::kType:
        for (char c : NameCharactersFromUtf8(command.Text)) TypeCharacter(program, static_cast<uint8_t>(c));
        break;
      case ReplayCommand::Kind::kState:
        takeSounds();
        out << StateJson(program, frames, sounds).dump() << '\n';
        sounds.clear();
        break;
      case ReplayCommand::Kind::kExpect: {
        takeSounds();
        const nlohmann::json state = StateJson(program, frames, sounds);
        const nlohmann::json expected = nlohmann::json::parse(command.Value);  // checked when the file was read
        const nlohmann::json* actual = FindPath(state, command.Path);
        if (actual == nullptr || !CompareJson(*actual, command.Op, expected)) {
          err << file.Name << ", line " << command.Line << ": expected " << command.Path << ' ' << command.Op << ' '
              << expected.dump() << ", actual " << (actual ? actual->dump() : std::string("nothing")) << '\n';
          status = 1;
        }
        break;
      }
    }
  }
  return status;
}

}  // namespace zt
