#include "device/image_file.h"

// The picture decoder is compiled here, private to this file and limited to the three kinds
// of picture the game reads, so that no other decoder is reachable from a texture file and
// the instrumented builds see into the one that is.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_MAX_DIMENSIONS zt::kMaxPictureSide  // a larger picture fails as "too large"
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#include <stb/stb_image.h>
#pragma GCC diagnostic pop
#include <stb/stb_image_write.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <vector>

#include "core/file_read.h"

namespace zt {

namespace {

constexpr uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool IsPng(const uint8_t* bytes, size_t size) {
  return size >= 8 && std::equal(kPngSignature, kPngSignature + 8, bytes);
}

uint32_t PngChunkLength(const uint8_t* chunk) {
  return (uint32_t{chunk[0]} << 24) | (uint32_t{chunk[1]} << 16) | (uint32_t{chunk[2]} << 8) | chunk[3];
}

bool IsEmptyPngDataChunk(const uint8_t* chunk) {
  return PngChunkLength(chunk) == 0 && std::equal(chunk + 4, chunk + 8, "IDAT");
}

// A PNG's chunks each declare their length; the decoder grows its buffers by those lengths
// before it reads the data, so a few bytes declaring gigabytes would exhaust the memory.
// Every chunk must lie within the bytes given.
bool PngChunksFit(const uint8_t* bytes, size_t size) {
  for (size_t at = 8; at + 8 <= size;) {
    // length, type, data, check
    const size_t chunkEnd = at + 12 + static_cast<size_t>(PngChunkLength(bytes + at));
    if (chunkEnd > size) return false;
    at = chunkEnd;
  }
  return true;
}

// The picture data is the joined contents of the IDAT chunks, so an empty one adds nothing;
// but when one comes first, the decoder copies its zero bytes to a buffer it has not made
// yet (a null pointer). The PNG is handed on without them. Call only once the chunks are
// known to fit.
std::vector<uint8_t> WithoutEmptyPngDataChunks(const uint8_t* bytes, size_t size) {
  std::vector<uint8_t> kept(bytes, bytes + 8);
  kept.reserve(size);
  size_t at = 8;
  for (; at + 8 <= size; at += 12 + PngChunkLength(bytes + at))
    if (!IsEmptyPngDataChunk(bytes + at))
      kept.insert(kept.end(), bytes + at, bytes + at + 12 + PngChunkLength(bytes + at));
  kept.insert(kept.end(), bytes + at, bytes + size);  // a trailing fragment the decoder judges for itself
  return kept;
}

using Pixels = std::unique_ptr<stbi_uc, void (*)(void*)>;

// The picture's pixels as the decoder hands them out: 4 bytes each, R G B A, the top row first.
// Empty (with the reason in `error`) when the bytes are no picture the game reads.
Pixels DecodeRgba(const uint8_t* bytes, size_t size, int& width, int& height, std::string& error) {
  Pixels none(nullptr, stbi_image_free);
  if (size > static_cast<size_t>(INT_MAX)) {
    error = "too large";
    return none;
  }
  std::vector<uint8_t> cleanedPng;
  if (IsPng(bytes, size)) {
    if (!PngChunksFit(bytes, size)) {
      error = "a PNG chunk runs past the end of the file";
      return none;
    }
    cleanedPng = WithoutEmptyPngDataChunks(bytes, size);
    bytes = cleanedPng.data();
    size = cleanedPng.size();
  }
  int channels = 0;
  Pixels pixels(stbi_load_from_memory(bytes, static_cast<int>(size), &width, &height, &channels, 4), stbi_image_free);
  if (!pixels) {
    // The decoder's reason can be empty: it names an unknown PNG chunk by its type's
    // bytes, which may begin with a zero.
    const char* reason = stbi_failure_reason();
    error = reason != nullptr && *reason != '\0' ? reason : "unreadable picture";
    return none;
  }
  // The decoder hands back a bitmap that claims no rows (or no columns) as a picture;
  // nothing can be drawn from it, and halving it would read texels it does not have.
  if (width <= 0 || height <= 0) {
    error = "the picture has no pixels";
    return none;
  }
  return pixels;
}

void StoreArgb(const stbi_uc* rgba, int width, int height, Image& image) {
  image.Width = width;
  image.Height = height;
  image.Argb.resize(static_cast<size_t>(width) * height);
  for (uint32_t& texel : image.Argb) {
    texel = (uint32_t{rgba[3]} << 24) | (uint32_t{rgba[0]} << 16) | (uint32_t{rgba[1]} << 8) | rgba[2];
    rgba += 4;
  }
}

}  // namespace

bool ReadImageFile(const std::string& path, Image& image, std::string& error) {
  FileBytes read = ReadFileBytes(path, kMaxPictureFileBytes);
  if (!read.Ok()) {
    error = read.Error;
    return false;
  }
  int width = 0, height = 0;
  const Pixels pixels =
      DecodeRgba(reinterpret_cast<const uint8_t*>(read.Bytes.data()), read.Bytes.size(), width, height, error);
  if (!pixels) return false;
  std::string().swap(read.Bytes);  // let go of the file before the picture is made
  StoreArgb(pixels.get(), width, height, image);
  return true;
}

bool DecodeImage(const uint8_t* bytes, size_t size, Image& image, std::string& error) {
  int width = 0, height = 0;
  const Pixels pixels = DecodeRgba(bytes, size, width, height, error);
  if (!pixels) return false;
  StoreArgb(pixels.get(), width, height, image);
  return true;
}

void ApplyColourKey(Image& image, uint32_t key) {
  if (key == 0) return;
  for (uint32_t& texel : image.Argb)
    if (texel == key) texel = 0;
}

Image HalveImage(const Image& image) {
  Image half;
  half.Width = image.Width > 1 ? image.Width / 2 : 1;
  half.Height = image.Height > 1 ? image.Height / 2 : 1;
  half.Argb.resize(static_cast<size_t>(half.Width) * half.Height);
  const int stepX = image.Width > 1 ? 2 : 1;
  const int stepY = image.Height > 1 ? 2 : 1;
  for (int y = 0; y < half.Height; ++y) {
    for (int x = 0; x < half.Width; ++x) {
      uint32_t sum[4] = {0, 0, 0, 0};
      int count = 0;
      for (int dy = 0; dy < stepY; ++dy) {
        for (int dx = 0; dx < stepX; ++dx) {
          const uint32_t texel = image.At(x * stepX + dx, y * stepY + dy);
          for (int c = 0; c < 4; ++c) sum[c] += (texel >> (8 * c)) & 0xFF;
          ++count;
        }
      }
      uint32_t out = 0;
      for (int c = 0; c < 4; ++c) out |= ((sum[c] + count / 2) / count) << (8 * c);
      half.Argb[static_cast<size_t>(y) * half.Width + x] = out;
    }
  }
  return half;
}

bool WritePngFile(const std::string& path, const Image& image) {
  if (image.Width <= 0 || image.Height <= 0) return false;
  std::vector<uint8_t> rgba(image.Argb.size() * 4);
  for (size_t i = 0; i < image.Argb.size(); ++i) {
    const uint32_t t = image.Argb[i];
    rgba[i * 4 + 0] = static_cast<uint8_t>(t >> 16);
    rgba[i * 4 + 1] = static_cast<uint8_t>(t >> 8);
    rgba[i * 4 + 2] = static_cast<uint8_t>(t);
    rgba[i * 4 + 3] = static_cast<uint8_t>(t >> 24);
  }
  return stbi_write_png(path.c_str(), image.Width, image.Height, 4, rgba.data(), image.Width * 4) != 0;
}

}  // namespace zt
