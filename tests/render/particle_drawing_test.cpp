// Drawing the particle lists: one quad per particle, newest first, sized and placed by the
// particle, its life as opacity, the list's depth and blending taken from its head.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/recording_device.h"
#include "render/particle_draw.h"
#include "support/drawn_vertices.h"

namespace zt {
namespace {

using testing::Vertex;
using testing::VerticesOf;

class ParticleDrawingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Particle_InitVB(particles_, device_), D3D_OK);
    for (TexturePtr& t : particles_.Textures) device_.CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, t);
    device_.BeginScene();
  }
  ParticleResources particles_;
  ParticleLists lists_;
  RecordingDevice device_;
};

TEST_F(ParticleDrawingTest, EachParticleIsAQuadOfItsSizeAtItsPlaceNewestFirst) {
  Particle_Add(lists_, 2, 2, 200, 3.0f, 4.0f, 0, 0);   // older
  Particle_Add(lists_, 2, 2, 77, -1.5f, 12.0f, 0, 0);  // newer: drawn first
  lists_[2].Storage()[0].SX = 1.25f;
  lists_[2].Storage()[0].SY = 0.5f;
  Particle_Draw(particles_, device_, lists_[2]);
  ASSERT_EQ(device_.Draws.size(), 2u);

  const DrawRecord& newest = device_.Draws[0];
  EXPECT_FLOAT_EQ(newest.State.World(4, 1), -1.5f);
  EXPECT_FLOAT_EQ(newest.State.World(4, 2), 12.0f);
  EXPECT_FLOAT_EQ(newest.State.World(4, 3), -0.655f);  // the explosion's depth
  EXPECT_FLOAT_EQ(newest.State.World(1, 1), 2.9f);
  EXPECT_FLOAT_EQ(newest.State.World(2, 2), 2.9f);
  for (const Vertex& v : VerticesOf(newest)) EXPECT_EQ(v.Colour, 0x4D4D4D4Du);  // life 77, additive

  const DrawRecord& oldest = device_.Draws[1];
  EXPECT_FLOAT_EQ(oldest.State.World(4, 1), 3.0f);
  EXPECT_FLOAT_EQ(oldest.State.World(1, 1), 1.25f);
  EXPECT_FLOAT_EQ(oldest.State.World(2, 2), 0.5f);
  EXPECT_FLOAT_EQ(oldest.State.World(3, 3), 1.0f);
  const std::vector<Vertex> v = VerticesOf(oldest);
  ASSERT_EQ(v.size(), 4u);
  EXPECT_EQ(v[0].Colour, 0xC8C8C8C8u);
  // A unit square around the centre, drawn as a strip.
  EXPECT_FLOAT_EQ(v[0].X, -0.5f);
  EXPECT_FLOAT_EQ(v[0].Y, 0.5f);
  EXPECT_FLOAT_EQ(v[3].X, 0.5f);
  EXPECT_FLOAT_EQ(v[3].Y, -0.5f);
  EXPECT_FLOAT_EQ(v[0].V, 1.0f);
  EXPECT_FLOAT_EQ(v[3].U, 1.0f);
  EXPECT_EQ(oldest.Type, D3DPT_TRIANGLESTRIP);
  EXPECT_EQ(oldest.PrimitiveCount, 2u);
  EXPECT_EQ(oldest.TextureUsed, particles_.Textures[3].get());  // explosion.tga
}

TEST_F(ParticleDrawingTest, TheHeadDecidesDepthAndBlendingOfTheWholeList) {
  // Sparks blend additively at -0.505.
  Particle_Add(lists_, 1, 1, 100, 0, 0, 0, 0);
  Particle_Draw(particles_, device_, lists_[1]);
  ASSERT_EQ(device_.Draws.size(), 1u);
  EXPECT_EQ(device_.Draws[0].RenderState(D3DRS_SRCBLEND), D3DBLEND_ONE);
  EXPECT_EQ(device_.Draws[0].RenderState(D3DRS_DESTBLEND), D3DBLEND_ONE);
  EXPECT_FLOAT_EQ(device_.Draws[0].State.World(4, 3), -0.505f);

  // A list whose head is smoke blends by alpha, even over an explosion particle behind it.
  ParticleLists mixed;
  Particle_Add(mixed, 3, 2, 100, 0, 0, 0, 0);
  Particle_Add(mixed, 3, 3, 100, 0, 0, 0, 0);
  device_.EndScene();
  device_.BeginScene();
  Particle_Draw(particles_, device_, mixed[3]);
  ASSERT_EQ(device_.Draws.size(), 2u);
  for (const DrawRecord& draw : device_.Draws) {
    EXPECT_EQ(draw.RenderState(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(draw.RenderState(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
    EXPECT_EQ(draw.RenderState(D3DRS_DESTBLEND), D3DBLEND_INVSRCALPHA);
    EXPECT_FLOAT_EQ(draw.State.World(4, 3), -0.505f);
    EXPECT_EQ(draw.RenderState(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(draw.StageState(D3DTSS_ALPHAOP), D3DTOP_MODULATE);
    EXPECT_EQ(draw.StageState(D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
    EXPECT_EQ(draw.StageState(D3DTSS_ALPHAARG2), D3DTA_DIFFUSE);
  }
  // Each particle keeps its own kind's texture.
  EXPECT_EQ(device_.Draws[0].TextureUsed, particles_.Textures[4].get());  // smoke
  EXPECT_EQ(device_.Draws[1].TextureUsed, particles_.Textures[3].get());  // explosion
  // Afterwards: no texture, lighting on, blending off.
  EXPECT_EQ(device_.State().Textures[0], nullptr);
  EXPECT_EQ(device_.State().RenderState(D3DRS_LIGHTING), 1u);
  EXPECT_EQ(device_.State().RenderState(D3DRS_ALPHABLENDENABLE), 0u);
}

// Added light ignores alpha: the additive kinds must carry their life in their colour, or a
// spark stays at full brightness until it vanishes. Smoke keeps white and fades by alpha.
TEST_F(ParticleDrawingTest, AdditiveParticlesDimWithTheirLifeAndSmokeFadesByAlphaAlone) {
  const auto drawnColour = [this](int kind, int32_t life) {
    device_.Draws.clear();
    ParticleLists lists;
    Particle_Add(lists, kind, static_cast<uint8_t>(kind), life, 0, 0, 0, 0);
    Particle_Draw(particles_, device_, lists[kind]);
    EXPECT_EQ(device_.Draws.size(), 1u);
    EXPECT_EQ(device_.Draws.at(0).StageState(D3DTSS_COLOROP), D3DTOP_MODULATE) << "the colour tints the texture";
    const std::vector<Vertex> quad = VerticesOf(device_.Draws.at(0));
    for (const Vertex& v : quad) EXPECT_EQ(v.Colour, quad.at(0).Colour);
    return quad.at(0).Colour;
  };
  const auto red = [](D3DCOLOR c) { return (c >> 16) & 0xFFu; };
  const auto alpha = [](D3DCOLOR c) { return c >> 24; };
  for (const int kind : {0, 1, 2, 4}) {
    SCOPED_TRACE(kind);
    const D3DCOLOR young = drawnColour(kind, 234), old = drawnColour(kind, 30);
    EXPECT_EQ(red(young), 234u);
    EXPECT_EQ(red(old), 30u);
    EXPECT_EQ(young & 0xFFFFFFu, red(young) * 0x010101u) << "grey: the texture keeps its own hue";
    EXPECT_EQ(alpha(old), 30u);
  }
  const D3DCOLOR youngSmoke = drawnColour(3, 234), oldSmoke = drawnColour(3, 30);
  EXPECT_EQ(youngSmoke, 0xEAFFFFFFu);
  EXPECT_EQ(oldSmoke, 0x1EFFFFFFu);
}

TEST_F(ParticleDrawingTest, KindsUseTheirOwnTexturesAndTheFuseSparklesTheSecondSparkle) {
  EXPECT_EQ(ParticleTextureOfKind(0), 0);
  EXPECT_EQ(ParticleTextureOfKind(1), 0);
  EXPECT_EQ(std::string(kParticleTextureFiles[ParticleTextureOfKind(2)]), "textures/explosion.tga");
  EXPECT_EQ(std::string(kParticleTextureFiles[ParticleTextureOfKind(3)]), "textures/smoke.tga");
  EXPECT_EQ(std::string(kParticleTextureFiles[ParticleTextureOfKind(4)]), "textures/sparkle2.tga");
}

TEST_F(ParticleDrawingTest, AFailedLockEndsTheListAndComesBack) {
  Particle_Add(lists_, 4, 4, 100, 0, 0, 0, 0);
  Particle_Add(lists_, 4, 4, 100, 1, 0, 0, 0);
  uint8_t* held = nullptr;
  ASSERT_EQ(particles_.VB->Lock(0, 0, &held), D3D_OK);  // a lock still open makes the next one fail
  EXPECT_EQ(Particle_Draw(particles_, device_, lists_[4]), D3DERR_INVALIDCALL);
  particles_.VB->Unlock();
  EXPECT_TRUE(device_.Draws.empty());
  EXPECT_EQ(device_.State().RenderState(D3DRS_ALPHABLENDENABLE), 0u);
  EXPECT_EQ(Particle_Draw(particles_, device_, lists_[4]), D3D_OK);
  EXPECT_EQ(device_.Draws.size(), 2u);
}

TEST(ParticleResourcesTest, LoadsTheFiveShippedTexturesAndReleasesEverything) {
  RecordingDevice device;
  ParticleResources particles;
  ASSERT_EQ(Particle_InitVB(particles, device), D3D_OK);
  EXPECT_TRUE(testing::HoldsOneQuad(*particles.VB));
  device.CreateVertexBufferResult = E_OUTOFMEMORY;
  EXPECT_EQ(Particle_InitVB(particles, device), E_OUTOFMEMORY);
  device.CreateVertexBufferResult = D3D_OK;
  ASSERT_EQ(Particle_InitVB(particles, device), D3D_OK);
  Particle_InitTextures(particles, device, D3DFMT_A8R8G8B8, ZT_GAME_DIR);
  for (int i = 0; i < kParticleTextureCount; ++i) {
    ASSERT_NE(particles.Textures[i], nullptr) << kParticleTextureFiles[i];
    EXPECT_NE(particles.Textures[i]->SourceFile.find(kParticleTextureFiles[i]), std::string::npos);
  }
  Particle_Free(particles);
  EXPECT_EQ(device.LiveTextures(), 0);
  EXPECT_EQ(device.LiveVertexBuffers(), 0);
}

}  // namespace
}  // namespace zt
