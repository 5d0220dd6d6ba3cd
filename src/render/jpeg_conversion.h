// The JPEG pictures of the textures folder turned into bitmaps the first time the game
// starts: a bitmap is written only where none exists, so an existing bitmap always wins.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace zt {

// A decoded picture: three bytes per pixel (red, green, blue), rows from the top.
struct RgbPicture {
  int Width = 0, Height = 0;
  std::vector<uint8_t> Rgb;
};

// Decodes a JPEG file (colour or grey) of at most kMaxPictureFileBytes. False, with the
// reason, when it cannot (not a regular file, a read error, not a JPEG picture), and when
// the picture is wider or taller than kMaxPictureSide: its bitmap could not be read.
bool DecodeJpegFile(const std::filesystem::path& path, RgbPicture& picture, std::string& error);
// The same for a file's bytes already in memory.
bool DecodeJpeg(const uint8_t* bytes, size_t size, RgbPicture& picture, std::string& error);
// Writes an uncompressed 24-bit Windows bitmap (bottom row first, rows padded to four
// bytes), through a temporary file renamed into place. False when it cannot be written.
bool WriteBmp24File(const std::filesystem::path& path, const RgbPicture& picture);
// The bytes of that bitmap; empty for a picture without pixels.
std::string EncodeBmp24(const RgbPicture& picture);

// When `bmpName` (under gameDir) is missing, decodes `jpgName` and writes it as `bmpName`.
// Throws LoadError naming the JPEG when the bitmap is missing and the JPEG is missing or
// unreadable, and naming the bitmap when it cannot be written.
void ConvertJpegToBmp(const std::filesystem::path& gameDir, const std::string& jpgName, const std::string& bmpName);

// textures/intro.jpg to textures/intro.bmp.
void ConvertIntroToBMP(const std::filesystem::path& gameDir);
// The menu background, the five game backgrounds and the help backdrop, in that order.
void ConvertPicturesToBMP(const std::filesystem::path& gameDir);

}  // namespace zt
