#include "render/brick_textures.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "core/file_read.h"
#include "core/load_error.h"
#include "device/image_file.h"

namespace zt {

const std::array<BrickTint, kBrickColors> kBrickTints = {{
    {1, 1, 1},          {1, 0, 0},          {0, 1, 0},          {0, 0, 1},          {1, 1, 0},
    {1, 0, 1},          {0, 1, 1},          {0.6f, 0.6f, 0.6f}, {0.6f, 0.3f, 0.6f}, {0.5f, 1, 0},
    {0.5f, 0, 1},       {1, 0.5f, 0},       {1, 0, 0.5f},       {0.8f, 0.8f, 0.8f}, {0, 0, 0.7f},
    {0, 0.7f, 0},       {0.7f, 0, 0},       {0.5f, 0.7f, 0.9f}, {0.9f, 0.5f, 0.7f}, {0.7f, 0.9f, 0.5f},
    {0.5f, 0.9f, 0.7f}, {0.9f, 0.7f, 0.5f}, {0.4f, 0.9f, 0.9f}, {0, 0.5f, 1},       {0, 1, 0.5f},
    {0.8f, 0.8f, 0.3f}, {1, 0.5f, 1},       {1, 1, 0.5f},       {0.5f, 1, 1},       {0.8f, 0.2f, 0},
    {0.8f, 0, 0.2f},    {0, 0.8f, 0.2f},    {0, 0.2f, 0.8f},    {0.2f, 0.8f, 0},    {1, 1, 1},
    {1, 0, 0},          {0, 1, 0},          {0, 0, 1},          {1, 1, 0},          {1, 0, 1},
    {0, 1, 1},          {1, 1, 1},          {1, 0, 0},          {0, 1, 0},          {0, 0, 1},
    {1, 1, 0},          {1, 0, 1},          {0, 1, 1},          {0.2f, 0.2f, 0.2f},
}};

namespace {

uint32_t Little(const std::string& bytes, size_t at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
  return value;
}

// The channel times its multiplier, to the nearest integer with halves to even (the
// product of a byte and a single is exact in double precision).
uint32_t Tinted(uint8_t channel, float multiplier) {
  const double value = std::nearbyint(static_cast<double>(channel) * static_cast<double>(multiplier));
  return static_cast<uint32_t>(std::clamp(value, 0.0, 255.0));
}

}  // namespace

BrickPicture ReadBrickPicture(const std::string& path, const std::string& name) {
  const FileBytes read = ReadFileBytes(path, kMaxPictureFileBytes);
  if (!read.Ok()) throw LoadError(name, read.Error);
  return DecodeBrickPicture(read.Bytes, name);
}

BrickPicture DecodeBrickPicture(const std::string& bytes, const std::string& name) {
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') throw LoadError(name, "is not a Windows bitmap");
  const uint32_t dataOffset = Little(bytes, 10, 4);
  const uint32_t headerSize = Little(bytes, 14, 4);
  if (headerSize < 40) throw LoadError(name, "has an old bitmap header; a 24-bit bitmap is needed");
  const auto width = static_cast<int32_t>(Little(bytes, 18, 4));
  const auto height = static_cast<int32_t>(Little(bytes, 22, 4));
  const uint32_t bits = Little(bytes, 28, 2);
  const uint32_t compression = Little(bytes, 30, 4);
  if (bits != 24 || compression != 0) throw LoadError(name, "is not an uncompressed 24-bit bitmap");
  if (width <= 0 || height == 0 || height == INT32_MIN) throw LoadError(name, "has no pixels");
  if (width > kBrickPictureMaxWidth)
    throw LoadError(name, "is " + std::to_string(width) + " pixels wide; at most 2051 are read");
  const bool bottomUp = height > 0;
  const int rows = bottomUp ? height : -height;
  const size_t rowBytes = static_cast<size_t>(width) * 3;
  const size_t stride = (rowBytes + 3) / 4 * 4;
  const uint64_t needed = uint64_t{dataOffset} + uint64_t{stride} * static_cast<uint64_t>(rows - 1) + rowBytes;
  if (needed > bytes.size()) throw LoadError(name, "is cut short");

  BrickPicture picture;
  picture.Width = width;
  picture.Height = rows;
  picture.Bgr.resize(rowBytes * static_cast<size_t>(rows));
  for (int y = 0; y < rows; ++y) {
    const int stored = bottomUp ? rows - 1 - y : y;  // bitmaps usually store the bottom row first
    bytes.copy(reinterpret_cast<char*>(picture.Bgr.data()) + rowBytes * static_cast<size_t>(y), rowBytes,
               dataOffset + stride * static_cast<size_t>(stored));
  }
  return picture;
}

void WriteBrickTexels(const BrickPicture& picture, const BrickTint& tint, Texture& texture) {
  const D3DFORMAT format = texture.Format();
  if (format != D3DFMT_A8R8G8B8 && format != D3DFMT_A4R4G4B4) return;
  if (texture.Width(0) != static_cast<uint32_t>(picture.Width) ||
      texture.Height(0) != static_cast<uint32_t>(picture.Height))
    return;
  D3DLOCKED_RECT locked;
  if (Failed(texture.LockRect(0, locked, 0))) return;
  for (int y = 0; y < picture.Height; ++y) {
    uint8_t* row = static_cast<uint8_t*>(locked.pBits) + static_cast<ptrdiff_t>(picture.Height - 1 - y) * locked.Pitch;
    const uint8_t* source = picture.Bgr.data() + static_cast<size_t>(y) * picture.Width * 3;
    for (int x = 0; x < picture.Width; ++x, source += 3) {
      const uint32_t r = Tinted(source[2], tint.R);
      const uint32_t g = Tinted(source[1], tint.G);
      const uint32_t b = Tinted(source[0], tint.B);
      if (format == D3DFMT_A8R8G8B8) {
        const uint32_t texel = 0xFF000000u + r * 65536 + g * 256 + b;
        std::memcpy(row + x * 4, &texel, 4);
      } else {
        const auto texel = static_cast<uint16_t>((r / 16) * 256 + (g / 16) * 16 + b / 16);
        std::memcpy(row + x * 2, &texel, 2);
      }
    }
  }
  texture.UnlockRect(0);
}

void InitBrickTextures(Device& device, SceneResources& scene) {
  const BrickPicture picture = ReadBrickPicture(scene.PathOf(kBrickPictureFile), kBrickPictureFile);
  for (int c = 1; c <= kBrickColors; ++c) {
    TexturePtr& texture = scene.BrickTextures[static_cast<size_t>(c)];
    Release(texture);
    device.CreateTexture(static_cast<uint32_t>(picture.Width), static_cast<uint32_t>(picture.Height), 0, 0,
                         scene.TextureFormat, D3DPOOL_MANAGED, texture);
    if (texture) WriteBrickTexels(picture, kBrickTints[static_cast<size_t>(c - 1)], *texture);
  }
}

}  // namespace zt
