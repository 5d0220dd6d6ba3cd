// The measure of a brick palette: for the colours each game type can show, the pair that looks
// most alike under each kind of colour vision, and how far apart it still looks.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "colour_vision.h"
#include "render/brick_textures.h"

namespace zt {

// Brick colours that share a glass, and the CIEDE2000 difference each pair of them needs.
struct ColourSet {
  std::string Name;
  std::vector<int32_t> Colours;  // brick colours 1..49, in ascending order
  double Needed;
};

// Each game type's seven figure colours (20 apart), every colour of Redara's whole pool and the
// colours of a Retro glass with its added lines (8 apart), gathered from the game's own choice of
// figures.
std::vector<ColourSet> CheckedColourSets();

struct SetMeasure {
  ColourSet Set;
  std::array<ClosestPair, kVisions.size()> Closest;  // by kVisions; the pair as brick colours
};

std::vector<SetMeasure> MeasurePalette(const BrickTints& tints);

}  // namespace zt
