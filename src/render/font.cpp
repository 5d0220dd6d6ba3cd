#include "render/font.h"

#include <cassert>

#include "render/render_states.h"
#include "render/scene_resources.h"
#include "render/text_layout.h"

namespace zt {

namespace {

// Glyphs are laid out up to this far beyond the picture's right edge, so no rounding between
// the layout and the device ever cuts a glyph that shows (world units).
constexpr float kClipMargin = 1.0f;

// Writes the unit glyph quad with the glyph's texture rectangle and the text's opacity.
void FillGlyphQuad(VertexBuffer& buffer, const GlyphRect& rect, int alpha) {
  const D3DCOLOR colour = D3DCOLOR_ARGB(static_cast<uint32_t>(alpha), 255, 255, 255);
  const std::array<TexColourVertex, 4> quad = {{
      {0, 0.5f, 0, colour, rect.ULeft, rect.VTop},
      {1, 0.5f, 0, colour, rect.URight, rect.VTop},
      {0, -0.5f, 0, colour, rect.ULeft, rect.VBottom},
      {1, -0.5f, 0, colour, rect.URight, rect.VBottom},
  }};
  WriteVertices(buffer, 0, quad);
}

}  // namespace

std::string FontTextureFile(int font) { return "data/fonts/font" + std::to_string(font) + ".tga"; }

HRESULT InitFontVB(FontResources& fonts, Device& device) {
  Release(fonts.FontVB);
  return device.CreateVertexBuffer(kFontVBBytes, 0, kFvfTexColour, D3DPOOL_DEFAULT, fonts.FontVB);
}

void InitTexturesFont(FontResources& fonts, Device& device, D3DFORMAT textureFormat,
                      const std::filesystem::path& gameDir) {
  for (int font = 1; font <= kFontCount; ++font) {
    TexturePtr& texture = fonts.Textures[font - 1];
    Release(texture);
    device.LoadTextureFromFile((gameDir / FontTextureFile(font)).string(), 0, 0, 0, 0, textureFormat, D3DPOOL_MANAGED,
                               D3DX_FILTER_TRIANGLE, D3DX_DEFAULT, 0, texture);
  }
}

void DrawString(Device& device, FontResources& fonts, int font, int size, const std::string& text, float x, float y,
                float z, int alpha) {
  assert(font >= 1 && font <= kFontCount && alpha >= 0 && alpha <= 255);
  if (font < 1 || font > kFontCount) return;
  TextureTimesDiffuseAlpha(device);
  AlphaBlend(device);
  device.SetStreamSource(0, fonts.FontVB, sizeof(TexColourVertex));
  device.SetVertexShader(kFvfTexColour);
  MatTranslation(fonts.TextPen, x, y, z);
  device.SetRenderState(D3DRS_LIGHTING, 0);
  device.SetTexture(0, fonts.Textures[font - 1]);

  if (fonts.FontVB) {
    const TextLayout layout = LayOutText(fonts.Metrics, size, text, x, y, PictureRightEdge(z) + kClipMargin);
    for (const GlyphQuad& quad : layout.Quads) {
      FillGlyphQuad(*fonts.FontVB, fonts.Metrics.Rect(quad.Glyph), alpha);
      device.SetTransform(D3DTS_WORLD, GlyphWorldMatrix(quad, z));
      device.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    }
    fonts.TextPen(4, 1) = layout.EndX;
  }

  device.SetTexture(0, nullptr);
  device.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device.SetRenderState(D3DRS_LIGHTING, 1);
}

void DrawCentredString(Device& device, FontResources& fonts, int font, int size, const std::string& text, float centreX,
                       float y, float z, int alpha) {
  const float width = LayOutText(fonts.Metrics, size, text, 0, 0).EndX;
  DrawString(device, fonts, font, size, text, centreX - width / 2, y, z, alpha);
}

void FreeFont(FontResources& fonts) {
  for (TexturePtr& texture : fonts.Textures) Release(texture);
  Release(fonts.FontVB);
}

}  // namespace zt
