// The game's four fonts on the device and DrawString: every text on screen is a row of
// textured glyph quads in the 3D scene, one locked-and-drawn quad per character.
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "device/device.h"
#include "render/font_file.h"

namespace zt {

constexpr int kFontCount = 4;          // font numbers 1..4, one texture each, one glyph layout
constexpr uint32_t kFontVBBytes = 96;  // one glyph quad: 4 vertices of 24 bytes

struct FontResources {
  FontMetrics Metrics;                          // from LoadLetterTexCoords
  VertexBufferPtr FontVB;                       // the one glyph quad, rewritten per glyph
  std::array<TexturePtr, kFontCount> Textures;  // [font - 1]; empty when a file failed to load
  D3DMATRIX TextPen = kIdentityMatrix;          // the pen of the string being drawn
};

// The font texture file of font 1..4, relative to the game folder.
std::string FontTextureFile(int font);

// Releases and re-creates the glyph quad buffer (96 bytes, format 0x142, default pool).
// Called at loading and again after the device is restored.
HRESULT InitFontVB(FontResources& fonts, Device& device);

// Releases and loads the four font textures from data/fonts under gameDir (empty: the
// working folder) in the chosen texture format. A file that fails leaves its font empty.
void InitTexturesFont(FontResources& fonts, Device& device, D3DFORMAT textureFormat,
                      const std::filesystem::path& gameDir = {});

// Draws text with font 1..4 at size `size` (glyphs 40 * size / 300 high), the first glyph's
// left edge at (x, y, z), vertically centred on y, with opacity alpha 0..255. Sets alpha
// blending and turns lighting off for the string; afterwards the texture is unset, blending
// off and lighting on again (the stage-0 alpha settings stay). Glyphs beyond the picture's
// right edge are neither laid out nor drawn.
void DrawString(Device& device, FontResources& fonts, int font, int size, const std::string& text, float x, float y,
                float z, int alpha);

// DrawString with the text's middle at centreX.
void DrawCentredString(Device& device, FontResources& fonts, int font, int size, const std::string& text, float centreX,
                       float y, float z, int alpha);

// Releases the four textures and the glyph buffer.
void FreeFont(FontResources& fonts);

}  // namespace zt
