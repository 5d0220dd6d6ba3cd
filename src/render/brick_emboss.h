// The patterns pressed into the brick faces of the colour-blind palette, a cue that needs no
// colour: which brick colour carries which pattern, and the embossing of the brick picture.
#pragma once

#include <array>
#include <cstdint>

#include "render/brick_textures.h"

namespace zt {

enum class BrickEmboss : uint8_t { kDisc, kRing, kPlus, kSaltire, kBars, kFourDots, kTriangle, kNineDots };
constexpr int kBrickEmbossCount = 8;

// kColourBlindEmbosses[c - 1] belongs to brick colour c (1..49). The seven figures of a game
// type each have their own pattern; among the other colours, those that look most alike share
// none.
extern const std::array<BrickEmboss, kBrickColors> kColourBlindEmbosses;

// The picture with the pattern raised in the middle of its face: the pattern's top a little
// darker than the face, its rims lit and shaded like the brick's own bevel, so it shows in every
// tint. The pattern is upright where the picture is, its size in proportion to the picture's.
BrickPicture EmbossedBrick(const BrickPicture& face, BrickEmboss emboss);

}  // namespace zt
