// Drawing text through the device: one quad per glyph with the glyph's size, place, texture
// rectangle and the text's opacity, blanks and unknown characters, the states around a string.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/recording_device.h"
#include "render/font.h"
#include "render/text_layout.h"
#include "support/drawn_vertices.h"

namespace zt {
namespace {

using testing::Vertex;
using testing::VerticesOf;

// A vertex placed in the world by the draw's world matrix.
D3DVECTOR World(const DrawRecord& draw, const Vertex& v) {
  const D3DMATRIX& m = draw.State.World;
  return MakeVector(v.X * m(1, 1) + v.Y * m(2, 1) + v.Z * m(3, 1) + m(4, 1),
                    v.X * m(1, 2) + v.Y * m(2, 2) + v.Z * m(3, 2) + m(4, 2),
                    v.X * m(1, 3) + v.Y * m(2, 3) + v.Z * m(3, 3) + m(4, 3));
}

class TextDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Glyph g is 10 + g pixels wide in a texture of 10 rows of 10 glyphs.
    FontMetrics& m = fonts_.Metrics;
    for (int g = 1; g <= kMappedGlyphs; ++g) {
      m.GlyphWidths[g - 1] = 10 + g;
      const float row = static_cast<float>((g - 1) / 10);
      const float col = static_cast<float>((g - 1) % 10);
      m.GlyphTable[g - 1] = {col / 10, (row + 1) / 10, (col + 1) / 10, row / 10};
    }
    m.GlyphCount = kMappedGlyphs;
    ASSERT_EQ(InitFontVB(fonts_, device_), D3D_OK);
    for (int f = 1; f <= kFontCount; ++f)
      device_.CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, fonts_.Textures[f - 1]);
    device_.BeginScene();
  }

  FontResources fonts_;
  RecordingDevice device_;
};

TEST_F(TextDrawingTest, EachGlyphIsAQuadOfItsWidthAndFortyPixelsHighTimesSizeOver300) {
  DrawString(device_, fonts_, 2, 6, "A0", 1.0f, 2.0f, -1.5f, 255);
  ASSERT_EQ(device_.Draws.size(), 2u);
  const float scale = 6.0f / 300.0f;
  const float widthA = 21 * scale, width0 = 11 * scale;  // glyphs 11 and 1
  const float lefts[2] = {1.0f, 1.0f + widthA};
  const float widths[2] = {widthA, width0};
  for (int i = 0; i < 2; ++i) {
    const DrawRecord& draw = device_.Draws[i];
    EXPECT_EQ(draw.Type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(draw.PrimitiveCount, 2u);
    EXPECT_EQ(draw.StartVertex, 0u);
    const std::vector<Vertex> v = VerticesOf(draw);
    ASSERT_EQ(v.size(), 4u);
    const D3DVECTOR topLeft = World(draw, v[0]), topRight = World(draw, v[1]);
    const D3DVECTOR bottomLeft = World(draw, v[2]), bottomRight = World(draw, v[3]);
    EXPECT_NEAR(topLeft.x, lefts[i], 1e-5);
    EXPECT_NEAR(topRight.x - topLeft.x, widths[i], 1e-5);
    EXPECT_NEAR(bottomRight.x, topRight.x, 1e-5);
    EXPECT_NEAR(bottomLeft.x, topLeft.x, 1e-5);
    EXPECT_NEAR(topLeft.y, 2.0f + 20 * scale, 1e-5);  // centred on y, 40 * scale high
    EXPECT_NEAR(bottomLeft.y, 2.0f - 20 * scale, 1e-5);
    EXPECT_NEAR(topLeft.z, -1.5f, 1e-6);
    EXPECT_NEAR(bottomRight.z, -1.5f, 1e-6);
  }
  // The texture rectangles: 'A' is glyph 11 (row 1, column 0), '0' glyph 1 (row 0, column 0).
  const std::vector<Vertex> a = VerticesOf(device_.Draws[0]);
  EXPECT_FLOAT_EQ(a[0].U, 0.0f);
  EXPECT_FLOAT_EQ(a[0].V, 0.1f);  // top
  EXPECT_FLOAT_EQ(a[3].U, 0.1f);
  EXPECT_FLOAT_EQ(a[3].V, 0.2f);  // bottom
  const std::vector<Vertex> zero = VerticesOf(device_.Draws[1]);
  EXPECT_FLOAT_EQ(zero[1].V, 0.0f);
  EXPECT_FLOAT_EQ(zero[2].V, 0.1f);
}

TEST_F(TextDrawingTest, BlanksAdvanceUnknownCharactersVanishLowerCaseDrawsAsCapitals) {
  const float scale = 5.0f / 300.0f;
  DrawString(device_, fonts_, 1, 5, "a b", 0, 0, 0, 255);
  ASSERT_EQ(device_.Draws.size(), 2u);
  const D3DVECTOR secondLeft = World(device_.Draws[1], VerticesOf(device_.Draws[1])[0]);
  EXPECT_NEAR(secondLeft.x, (21 + 22) * scale, 1e-5);  // A's width plus a blank of 22
  const std::vector<Vertex> lowerB = VerticesOf(device_.Draws[1]);

  device_.EndScene();
  device_.BeginScene();
  DrawString(device_, fonts_, 1, 5, "A%&#B", 0, 0, 0, 255);
  ASSERT_EQ(device_.Draws.size(), 2u);  // %, & and # draw nothing and do not move the pen
  EXPECT_NEAR(World(device_.Draws[1], VerticesOf(device_.Draws[1])[0]).x, 21 * scale, 1e-5);
  const std::vector<Vertex> upperB = VerticesOf(device_.Draws[1]);
  EXPECT_FLOAT_EQ(upperB[0].U, lowerB[0].U);  // b and B are the same glyph
  EXPECT_FLOAT_EQ(upperB[3].V, lowerB[3].V);

  std::string caller = "keep me";
  device_.EndScene();
  device_.BeginScene();
  DrawString(device_, fonts_, 1, 5, caller, 0, 0, 0, 255);
  EXPECT_EQ(caller, "keep me");
  EXPECT_EQ(device_.Draws.size(), 6u);
}

TEST_F(TextDrawingTest, GlyphsCarryTheTextOpacityAndTheChosenFontTexture) {
  DrawString(device_, fonts_, 3, 4, "OK", 0, 0, 0, 128);
  ASSERT_EQ(device_.Draws.size(), 2u);
  for (const DrawRecord& draw : device_.Draws) {
    EXPECT_EQ(draw.TextureUsed, fonts_.Textures[2].get());
    for (const Vertex& v : VerticesOf(draw)) EXPECT_EQ(v.Colour, 0x80FFFFFFu);
  }
}

TEST_F(TextDrawingTest, AStringBlendsUnlitAndLeavesBlendingOffLightingOnAndNoTexture) {
  device_.SetRenderState(D3DRS_LIGHTING, 1);
  device_.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  device_.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
  device_.SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_CURRENT);
  DrawString(device_, fonts_, 4, 7, "X", 0, 0, 0, 255);
  ASSERT_EQ(device_.Draws.size(), 1u);
  const DrawRecord& draw = device_.Draws[0];
  EXPECT_EQ(draw.RenderState(D3DRS_LIGHTING), 0u);
  EXPECT_EQ(draw.RenderState(D3DRS_ALPHABLENDENABLE), 1u);
  EXPECT_EQ(draw.RenderState(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
  EXPECT_EQ(draw.RenderState(D3DRS_DESTBLEND), D3DBLEND_INVSRCALPHA);
  EXPECT_EQ(draw.StageState(D3DTSS_ALPHAOP), D3DTOP_MODULATE);
  EXPECT_EQ(draw.StageState(D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
  EXPECT_EQ(draw.StageState(D3DTSS_ALPHAARG2), D3DTA_DIFFUSE);
  EXPECT_EQ(draw.State.Fvf, kFvfTexColour);
  EXPECT_EQ(draw.State.StreamStride, 24u);
  EXPECT_EQ(draw.StreamUsed, fonts_.FontVB.get());

  const DeviceState& after = device_.State();
  EXPECT_EQ(after.RenderState(D3DRS_LIGHTING), 1u);
  EXPECT_EQ(after.RenderState(D3DRS_ALPHABLENDENABLE), 0u);
  EXPECT_EQ(after.Textures[0], nullptr);
  EXPECT_EQ(after.StageState(0, D3DTSS_ALPHAOP), D3DTOP_MODULATE);  // left as the string set it

  // An empty text draws nothing but still leaves the same states.
  device_.SetRenderState(D3DRS_LIGHTING, 0);
  device_.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  DrawString(device_, fonts_, 4, 7, "", 0, 0, 0, 255);
  EXPECT_EQ(device_.Draws.size(), 1u);
  EXPECT_EQ(device_.State().RenderState(D3DRS_LIGHTING), 1u);
  EXPECT_EQ(device_.State().RenderState(D3DRS_ALPHABLENDENABLE), 0u);
}

TEST(FontResourcesTest, LoadsTheFourShippedFontsAndReleasesEverything) {
  RecordingDevice device;
  FontResources fonts;
  ASSERT_EQ(InitFontVB(fonts, device), D3D_OK);
  EXPECT_TRUE(testing::HoldsOneQuad(*fonts.FontVB));
  ASSERT_EQ(InitFontVB(fonts, device), D3D_OK);  // after a restore: a new buffer, the old one gone
  EXPECT_NE(fonts.FontVB.get(), nullptr);
  EXPECT_EQ(device.LiveVertexBuffers(), 1);
  InitTexturesFont(fonts, device, D3DFMT_A8R8G8B8, ZT_GAME_DIR);
  for (int f = 1; f <= kFontCount; ++f) {
    ASSERT_NE(fonts.Textures[f - 1], nullptr) << f;
    EXPECT_NE(fonts.Textures[f - 1]->SourceFile.find("data/fonts/font" + std::to_string(f) + ".tga"),
              std::string::npos);
    EXPECT_GT(fonts.Textures[f - 1]->GetLevelCount(), 1u);  // a full mip chain
  }
  InitTexturesFont(fonts, device, D3DFMT_A8R8G8B8, "/nonexistent");
  for (const TexturePtr& t : fonts.Textures) EXPECT_EQ(t, nullptr);  // a missing file leaves the font empty
  InitTexturesFont(fonts, device, D3DFMT_A8R8G8B8, ZT_GAME_DIR);
  FreeFont(fonts);
  EXPECT_EQ(device.LiveTextures(), 0);
  EXPECT_EQ(device.LiveVertexBuffers(), 0);
}

}  // namespace
}  // namespace zt
