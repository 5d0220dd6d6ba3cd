#include "render/brick_textures.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "core/file_read.h"
#include "core/load_error.h"
#include "device/image_file.h"
#include "render/brick_emboss.h"

namespace zt {

const BrickTints kBrickTints = {{
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

// Brick colours 35..41 and 42..48 repeat colours 1..7, as the game's own tints do: a table
// holds the 35 colours of their own (1..34 and 49) and this fills in the repeats.
constexpr BrickTints WithRepeatedFigureColours(const std::array<BrickTint, 35>& own) {
  BrickTints tints{};
  for (size_t i = 0; i < 34; ++i) tints[i] = own[i];
  for (size_t k = 0; k < 7; ++k) tints[34 + k] = tints[41 + k] = own[k];
  tints[48] = own[34];
  return tints;
}

}  // namespace

// Found by a search that keeps the seven figure colours of every game type CIEDE2000 20 apart and
// every colour of one glass 8 apart under normal vision and simulated protanopia, deuteranopia
// and tritanopia, while staying near the game's own tints; tools/palette/measure_palette shows
// the result.
const BrickTints kColourBlindTints = WithRepeatedFigureColours({{
    {0.849f, 1, 0.896f},      {0.715f, 0.244f, 0.033f}, {0.054f, 0.666f, 0.485f}, {0, 0.071f, 0.555f},
    {0.884f, 0.833f, 0.244f}, {0.471f, 0.401f, 0.497f}, {0.666f, 0.653f, 0.769f}, {0.378f, 0.54f, 0.499f},
    {0.665f, 0.362f, 0.411f}, {0.954f, 1, 0},           {0.402f, 0.004f, 0.887f}, {0.816f, 0.471f, 0},
    {0.901f, 0, 0.62f},       {0.815f, 0.798f, 0.788f}, {0.458f, 0, 0.321f},      {0.458f, 0.067f, 0.096f},
    {0.64f, 0, 0.004f},       {0.587f, 0.738f, 0.955f}, {0.511f, 0.436f, 0.678f}, {0.714f, 0.706f, 0.239f},
    {0.526f, 0.569f, 0.777f}, {0.771f, 0.518f, 0.622f}, {0.952f, 0.946f, 0.966f}, {0, 0.393f, 0.988f},
    {0.024f, 0.966f, 0.675f}, {0.69f, 0.781f, 0.496f},  {0.843f, 0.441f, 1},      {0.897f, 1, 0.559f},
    {0.732f, 0.827f, 0.887f}, {0.578f, 0.237f, 0.312f}, {0.913f, 0, 0.262f},      {0, 0.799f, 0.619f},
    {0.301f, 0.319f, 0.448f}, {0.188f, 0.489f, 0.202f}, {0.207f, 0.247f, 0.539f},
}});

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

const BrickTints& BrickTintsOf(int32_t palette) {
  return palette == kColourBlindPalette ? kColourBlindTints : kBrickTints;
}

namespace {

// Tints each colour's texture in a palette: from the picture itself, or in the colour-blind
// palette from the picture with the colour's pattern raised on it.
class BrickPainter {
 public:
  explicit BrickPainter(const BrickSource& source) : face_(source.Face), tints_(BrickTintsOf(source.Palette)) {
    if (source.Palette != kColourBlindPalette) return;
    for (int emboss = 0; emboss < kBrickEmbossCount; ++emboss)
      embossed_.push_back(EmbossedBrick(face_, static_cast<BrickEmboss>(emboss)));
  }
  void Paint(int colour, Texture& texture) const {
    const size_t index = static_cast<size_t>(colour - 1);
    const BrickPicture& face = embossed_.empty() ? face_ : embossed_[static_cast<size_t>(kColourBlindEmbosses[index])];
    WriteBrickTexels(face, tints_[index], texture);
  }

 private:
  const BrickPicture& face_;
  const BrickTints& tints_;
  std::vector<BrickPicture> embossed_;  // by pattern
};

}  // namespace

void InitBrickTextures(Device& device, SceneResources& scene, BrickSource& source, int32_t palette) {
  source.Face = ReadBrickPicture(scene.PathOf(kBrickPictureFile), kBrickPictureFile);
  source.Palette = palette;
  const BrickPainter painter(source);
  for (int c = 1; c <= kBrickColors; ++c) {
    TexturePtr& texture = scene.BrickTextures[static_cast<size_t>(c)];
    Release(texture);
    device.CreateTexture(static_cast<uint32_t>(source.Face.Width), static_cast<uint32_t>(source.Face.Height), 0, 0,
                         scene.TextureFormat, D3DPOOL_MANAGED, texture);
    if (texture) painter.Paint(c, *texture);
  }
}

void FollowBrickPalette(SceneResources& scene, BrickSource& source, int32_t palette) {
  if (palette == source.Palette) return;
  source.Palette = palette;
  const BrickPainter painter(source);
  for (int c = 1; c <= kBrickColors; ++c)
    if (const TexturePtr& texture = scene.BrickTextures[static_cast<size_t>(c)]) painter.Paint(c, *texture);
}

}  // namespace zt
