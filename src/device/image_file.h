// Pictures in memory (32-bit ARGB, rows top first) and the picture files the game
// reads and writes: BMP and TGA textures (PNG too, for golden images), the colour
// key of the texture loader, the box-filtered mip chain, and PNG screenshots.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zt {

struct Image {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Argb;  // 0xAARRGGBB, Width * Height, the top row first

  uint32_t At(int x, int y) const { return Argb[static_cast<size_t>(y) * Width + x]; }
};

// The widest and tallest picture read: four times the game's largest texture. A file that
// claims more is refused before anything is decoded, so no file can exhaust the memory.
constexpr int kMaxPictureSide = 4096;
// The largest picture file read: a picture of that size in 32-bit pixels, and room for
// its headers. A larger file is refused from its size, without being read.
constexpr std::uintmax_t kMaxPictureFileBytes = std::uintmax_t{kMaxPictureSide} * kMaxPictureSide * 4 + (1u << 20);

// Decodes a BMP, TGA or PNG file; pictures without alpha come out opaque.
// False (with the reason in `error`) when the file is missing, not a regular file, larger
// than kMaxPictureFileBytes, cannot be read, is not a picture of those kinds, is without
// pixels, or is larger than kMaxPictureSide either way.
bool ReadImageFile(const std::string& path, Image& image, std::string& error);

// The same for a file's bytes already in memory.
bool DecodeImage(const uint8_t* bytes, size_t size, Image& image, std::string& error);

// Every texel equal to `key` (all four channels) becomes transparent black. 0 = no key.
void ApplyColourKey(Image& image, uint32_t key);

// The next smaller level: half the size (at least 1), each texel the mean of the
// up to 2 x 2 texels it covers, per channel, rounded to nearest.
Image HalveImage(const Image& image);

// Writes the picture as a PNG file (with alpha). False on failure.
bool WritePngFile(const std::string& path, const Image& image);

}  // namespace zt
