// The 49 brick textures: one picture of a brick face, data/models/brick.bmp, tinted once
// per brick colour at loading, so drawing a brick only selects its texture; in the colour-blind
// palette each colour's face carries its pattern as well. The picture is kept, so a change of
// palette tints the same textures again at once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/settings.h"
#include "device/device.h"
#include "render/scene_resources.h"

namespace zt {

constexpr const char* kBrickPictureFile = "data/models/brick.bmp";
constexpr int kBrickPictureMaxWidth = 2051;  // widest picture row the reader takes

struct BrickTint {
  float R, G, B;  // channel multipliers 0..1
};
// BrickTints[c - 1] belongs to brick colour c (1..49).
using BrickTints = std::array<BrickTint, kBrickColors>;
extern const BrickTints kBrickTints;        // the game's own
extern const BrickTints kColourBlindTints;  // told apart under protanopia, deuteranopia and tritanopia
const BrickTints& BrickTintsOf(int32_t palette);

// A 24-bit picture: three bytes per pixel (blue, green, red), rows from the top.
struct BrickPicture {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Bgr;  // Width * 3 bytes per row, Height rows, the top row first
};

// Reads an uncompressed 24-bit Windows bitmap. Throws LoadError naming `name` when the
// file is missing, is not a regular file, is larger than kMaxPictureFileBytes, cannot be
// read, is not such a bitmap, is cut short or is wider than 2051 pixels.
BrickPicture ReadBrickPicture(const std::string& path, const std::string& name);
// The same for the file's bytes already in memory.
BrickPicture DecodeBrickPicture(const std::string& bytes, const std::string& name);

// Writes level 0 of a texture of the picture's size with the picture tinted (each channel
// times its multiplier, rounded to nearest, halves to even) and turned upside down:
// picture row y goes to texture row height - 1 - y. A8R8G8B8: 0xFF, R, G, B; A4R4G4B4:
// the upper four bits of R, G, B with alpha 0; other formats are left unwritten.
void WriteBrickTexels(const BrickPicture& picture, const BrickTint& tint, Texture& texture);

struct BrickSource {
  BrickPicture Face;               // data/models/brick.bmp as loading read it
  int32_t Palette = kGamePalette;  // the palette BrickTextures show
};

// Creates BrickTextures[1..49] from data/models/brick.bmp in the palette and keeps the picture.
// Throws LoadError when the picture cannot be read.
void InitBrickTextures(Device& device, SceneResources& scene, BrickSource& source, int32_t palette);
// Tints the brick textures again from the kept picture when the palette is not the one they show.
void FollowBrickPalette(SceneResources& scene, BrickSource& source, int32_t palette);

}  // namespace zt
