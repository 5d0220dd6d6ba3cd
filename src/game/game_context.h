// What a game step works with: the game state and the units it reads or feeds.
#pragma once

#include "audio/sounds.h"
#include "core/high_score_table.h"
#include "core/random.h"
#include "core/settings.h"
#include "device/clock.h"
#include "game/figure_shapes.h"
#include "game/game_state.h"
#include "game/particles.h"

namespace zt {

struct GameContext {
  GameState& State;
  const FigureShapes& Shapes;
  ParticleLists& Particles;
  Random& Rng;
  Clock& Time;
  Sounds& Audio;
  const Settings& Config;
  const HighScoreTable& HighScores;

  void PlaySound(SoundId sound) { Sound_Play(Audio, sound, Config.SoundVolume); }
  void ShowMessage(const char* text, float x, int32_t size, int32_t bonus);
};

}  // namespace zt
