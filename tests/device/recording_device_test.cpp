#include "device/recording_device.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace zt {
namespace {

void FillQuad(VertexBuffer& buffer, uint32_t offset, D3DCOLOR colour, float u) {
  const std::array<TexColourVertex, 4> quad = {{{-0.5f, 0.5f, 0, colour, 0, 0},
                                                {0.5f, 0.5f, 0, colour, u, 0},
                                                {-0.5f, -0.5f, 0, colour, 0, 1},
                                                {0.5f, -0.5f, 0, colour, u, 1}}};
  ASSERT_EQ(WriteVertices(buffer, offset, quad), D3D_OK);
}

TEST(VertexFormats, TheGameFormatsHaveTheirSizesAndOffsets) {
  const VertexLayout mesh = DescribeFvf(kFvfMesh);
  EXPECT_TRUE(mesh.Valid);
  EXPECT_EQ(mesh.Stride, 24);
  EXPECT_EQ(mesh.Normal, 12);
  EXPECT_EQ(mesh.Diffuse, -1);
  const VertexLayout texMesh = DescribeFvf(kFvfTexMesh);
  EXPECT_EQ(texMesh.Stride, 36);
  EXPECT_EQ(texMesh.Diffuse, 24);
  EXPECT_EQ(texMesh.TexCoord, 28);
  EXPECT_EQ(DescribeFvf(kFvfTexColour).Stride, 24);
  EXPECT_EQ(DescribeFvf(kFvfTexColour).TexCoord, 16);
  EXPECT_EQ(DescribeFvf(kFvfColour).Stride, 16);
  EXPECT_EQ(kFvfTexMesh, 0x152u);
  EXPECT_EQ(kFvfColour, 0x42u);
  EXPECT_FALSE(DescribeFvf(0x004).Valid);  // pre-transformed positions are not drawn
  EXPECT_FALSE(DescribeFvf(0x040).Valid);  // no position
}

TEST(VertexBuffers, LocksStayInsideTheBufferOneAtATime) {
  VertexBuffer buffer(192, kFvfTexColour, D3DPOOL_DEFAULT);
  uint8_t* data = nullptr;
  ASSERT_EQ(buffer.Lock(96, 96, &data), D3D_OK);
  EXPECT_EQ(data, buffer.Data() + 96);
  EXPECT_EQ(buffer.Lock(0, 0, &data), D3DERR_INVALIDCALL);  // already locked
  EXPECT_EQ(buffer.Unlock(), D3D_OK);
  EXPECT_EQ(buffer.Unlock(), D3DERR_INVALIDCALL);
  EXPECT_EQ(buffer.Lock(96, 97, &data), D3DERR_INVALIDCALL);  // one byte past the end
  EXPECT_EQ(buffer.Lock(193, 0, &data), D3DERR_INVALIDCALL);
  EXPECT_EQ(buffer.Lock(0xFFFFFFF0u, 0x20, &data), D3DERR_INVALIDCALL);  // wraps around
  // Size 0 locks to the end, as the model loader does.
  ASSERT_EQ(buffer.Lock(48, 0, &data), D3D_OK);
  data[143] = 7;
  buffer.Unlock();
  EXPECT_EQ(buffer.Data()[191], 7);
  uint32_t begin = 0, end = 0;
  buffer.TakeChangedRange(begin, end);
  EXPECT_EQ(begin, 48u);  // the two locks above, merged
  EXPECT_EQ(end, 192u);
  buffer.TakeChangedRange(begin, end);
  EXPECT_EQ(begin, end);
}

TEST(VertexBuffers, HoldOnlyTheBytesWrittenOrRead) {
  VertexBuffer big(300000 * 36, kFvfTexMesh, D3DPOOL_DEFAULT);
  EXPECT_EQ(big.HeldBytes(), 0u);
  const std::array<ColourVertex, 2> two = {{{1, 2, 3, 0xAA}, {4, 5, 6, 0xBB}}};
  ASSERT_EQ(WriteVertices(big, 64, two), D3D_OK);
  EXPECT_EQ(big.HeldBytes(), 96u);
  EXPECT_EQ(big.Length(), 300000u * 36);
  const uint8_t* bytes = big.Data(200);  // read past what was written: zeros
  EXPECT_EQ(big.HeldBytes(), 200u);
  EXPECT_TRUE(std::all_of(bytes + 96, bytes + 200, [](uint8_t b) { return b == 0; }));
  EXPECT_EQ(bytes[64 + 12], 0xAA) << "what was written stays";
  big.Data(big.Length() + 100);
  EXPECT_EQ(big.HeldBytes(), big.Length()) << "never more than the buffer";
}

TEST(VertexBuffers, WritingVerticesStopsAtTheBufferEndAndNeverLeavesItLocked) {
  VertexBuffer buffer(40, kFvfColour, D3DPOOL_DEFAULT);  // two and a half vertices
  const std::array<ColourVertex, 3> three = {{{1, 2, 3, 0xAA}, {4, 5, 6, 0xBB}, {7, 8, 9, 0xCC}}};
  ASSERT_EQ(WriteVertices(buffer, 0, three), D3D_OK);
  ColourVertex second;
  std::memcpy(&second, buffer.Data() + 16, sizeof second);
  EXPECT_EQ(second.Colour, 0xBBu);
  float thirdY = 0;  // the last whole field that fits
  std::memcpy(&thirdY, buffer.Data() + 36, sizeof thirdY);
  EXPECT_EQ(thirdY, 8.0f);
  uint32_t begin = 0, end = 0;
  buffer.TakeChangedRange(begin, end);
  EXPECT_EQ(end, 40u);
  EXPECT_EQ(WriteVertices(buffer, 40, three), D3DERR_INVALIDCALL);
  EXPECT_EQ(WriteVertices(buffer, 0, std::vector<ColourVertex>{}), D3D_OK);
  buffer.TakeChangedRange(begin, end);
  EXPECT_EQ(begin, end) << "nothing written";
  uint8_t* data = nullptr;
  ASSERT_EQ(buffer.Lock(0, 0, &data), D3D_OK);
  EXPECT_EQ(WriteVertices(buffer, 0, three), D3DERR_INVALIDCALL);  // the lock's own answer
  buffer.Unlock();
  EXPECT_EQ(WriteVertices(buffer, 16, three), D3D_OK) << "unlocked after every write";
}

TEST(Textures, LevelsLockWholeAndCarryTheirFormat) {
  RecordingDevice device;
  TexturePtr texture;
  ASSERT_EQ(device.CreateTexture(64, 16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture), D3D_OK);
  EXPECT_EQ(texture->GetLevelCount(), 7u);  // 64x16 down to 1x1
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(0, locked), D3D_OK);
  EXPECT_EQ(locked.Pitch, 256);
  // The last row of the picture, as the brick textures are written upside down.
  const uint32_t texel = 0xFF4D264D;
  std::memcpy(static_cast<uint8_t*>(locked.pBits) + 15 * locked.Pitch + 4 * 3, &texel, 4);
  EXPECT_EQ(texture->LockRect(0, locked), D3DERR_INVALIDCALL);
  const uint32_t before = texture->Version(0);
  ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
  EXPECT_GT(texture->Version(0), before);
  EXPECT_EQ(texture->TexelArgb(0, 3, 15), texel);
  EXPECT_EQ(texture->LockRect(7, locked), D3DERR_INVALIDCALL);

  TexturePtr small;
  ASSERT_EQ(device.CreateTexture(3, 3, 1, 0, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, small), D3D_OK);
  ASSERT_EQ(small->LockRect(0, locked), D3D_OK);
  EXPECT_EQ(locked.Pitch, 6);
  const uint16_t brick = 0x0424;  // alpha bits left 0
  std::memcpy(locked.pBits, &brick, 2);
  small->UnlockRect(0);
  EXPECT_EQ(small->TexelArgb(0, 0, 0), 0x00442244u);
  EXPECT_EQ(device.CreateTexture(8, 8, 0, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, small), D3DERR_INVALIDCALL);
}

// The headless run's device: texels are let go at each unlock, so a game's pictures take no
// memory there, while every lock still works and the format and size stay.
TEST(Textures, ADeviceThatKeepsNoTexelsLetsEachLevelGoOnceWritten) {
  RecordingDirect3D d3d;
  d3d.KeepTexels = false;
  DevicePtr device;
  ASSERT_EQ(d3d.CreateDevice(0, D3DDEVTYPE_HAL, 0, PresentParameters(64, 64, D3DFMT_X8R8G8B8, true), device), D3D_OK);
  TexturePtr texture;
  ASSERT_EQ(device->CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture), D3D_OK);
  for (int pass = 0; pass < 2; ++pass) {
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(0, locked), D3D_OK);
    std::memset(locked.pBits, 0xAB, 4 * 16);
    EXPECT_TRUE(texture->HoldsBytes(0));
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_FALSE(texture->HoldsBytes(0));
    EXPECT_EQ(texture->TexelArgb(0, 3, 3), 0u);
  }
  EXPECT_EQ(texture->Version(0), 2u);
  EXPECT_EQ(texture->Width(1), 2u);

  RecordingDirect3D keeping;
  ASSERT_EQ(keeping.CreateDevice(0, D3DDEVTYPE_HAL, 0, PresentParameters(64, 64, D3DFMT_X8R8G8B8, true), device),
            D3D_OK);
  ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture), D3D_OK);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(0, locked), D3D_OK);
  std::memset(locked.pBits, 0xAB, 4 * 16);
  texture->UnlockRect(0);
  EXPECT_EQ(texture->TexelArgb(0, 3, 3), 0xABABABABu);
}

class RecordingDeviceDraws : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(device_.CreateVertexBuffer(192, 0, kFvfTexColour, D3DPOOL_DEFAULT, quads_), D3D_OK);
    ASSERT_EQ(device_.CreateTexture(4, 4, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture_), D3D_OK);
    texture_->SourceFile = "textures/motionblur.tga";
  }
  RecordingDevice device_;
  VertexBufferPtr quads_;
  TexturePtr texture_;
};

TEST_F(RecordingDeviceDraws, StartsFromDirect3DsDefaultStates) {
  const DeviceState& s = device_.State();
  EXPECT_EQ(s.RenderState(D3DRS_CULLMODE), D3DCULL_CCW);
  EXPECT_EQ(s.RenderState(D3DRS_LIGHTING), 1u);
  EXPECT_EQ(s.RenderState(D3DRS_ZENABLE), D3DZB_TRUE);
  EXPECT_EQ(s.RenderState(D3DRS_ALPHABLENDENABLE), 0u);
  EXPECT_EQ(s.RenderState(D3DRS_SPECULARENABLE), 0u);
  EXPECT_EQ(s.RenderState(D3DRS_DIFFUSEMATERIALSOURCE), D3DMCS_COLOR1);
  EXPECT_EQ(s.StageState(0, D3DTSS_COLOROP), D3DTOP_MODULATE);
  EXPECT_EQ(s.StageState(0, D3DTSS_ALPHAOP), D3DTOP_SELECTARG1);
  EXPECT_EQ(s.StageState(0, D3DTSS_ALPHAARG2), D3DTA_CURRENT);
  EXPECT_EQ(s.StageState(1, D3DTSS_COLOROP), D3DTOP_DISABLE);
  EXPECT_EQ(s.StageState(0, D3DTSS_MIPFILTER), D3DTEXF_NONE);
}

TEST_F(RecordingDeviceDraws, EachDrawKeepsItsStatesAndTheVerticesItRead) {
  device_.Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x000555A5, 1.0f, 0);
  ASSERT_EQ(device_.BeginScene(), D3D_OK);
  device_.SetRenderState(D3DRS_LIGHTING, 0);
  device_.SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device_.SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_.SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  device_.SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device_.SetStreamSource(0, quads_, 24);
  device_.SetVertexShader(kFvfTexColour);
  device_.SetTexture(0, texture_);
  D3DMATRIX world = kIdentityMatrix;
  for (int particle = 0; particle < 3; ++particle) {  // one 4-vertex buffer rewritten per draw
    FillQuad(*quads_, 0, D3DCOLOR_ARGB(100 + particle, 255, 255, 255), 1);
    world.m[3][0] = static_cast<float>(particle);
    device_.SetTransform(D3DTS_WORLD, world);
    ASSERT_EQ(device_.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
  }
  device_.SetTexture(0, nullptr);
  device_.SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
  device_.EndScene();
  device_.Present();

  ASSERT_EQ(device_.Draws.size(), 3u);
  for (int particle = 0; particle < 3; ++particle) {
    const DrawRecord& draw = device_.Draws[particle];
    EXPECT_EQ(draw.Type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(draw.PrimitiveCount, 2u);
    EXPECT_EQ(draw.RenderState(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(draw.RenderState(D3DRS_SRCBLEND), D3DBLEND_ONE);
    EXPECT_EQ(draw.RenderState(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(draw.StageState(D3DTSS_ALPHAOP), D3DTOP_MODULATE);
    EXPECT_EQ(draw.TextureFile, "textures/motionblur.tga");
    EXPECT_EQ(draw.TextureUsed, texture_.get());
    EXPECT_EQ(draw.State.World.m[3][0], static_cast<float>(particle));
    ASSERT_EQ(draw.Vertices.size(), 96u);
    TexColourVertex first;
    std::memcpy(&first, draw.Vertices.data(), sizeof first);
    EXPECT_EQ(first.Colour >> 24, 100u + particle);  // the bytes at the draw, not the last ones written
  }
  EXPECT_EQ(device_.LastClearColor, 0x000555A5u);
  EXPECT_EQ(device_.Presents, 1);
  // Records hold no references: releasing the texture frees it.
  Release(texture_);
  EXPECT_EQ(device_.LiveTextures(), 0);
  EXPECT_EQ(device_.ReadBackBuffer().At(10, 10), 0xFF0555A5u);
}

TEST_F(RecordingDeviceDraws, DrawsOutsideASceneOrPastTheBufferAreRefused) {
  device_.SetStreamSource(0, quads_, 24);
  device_.SetVertexShader(kFvfTexColour);
  EXPECT_EQ(device_.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);  // no BeginScene
  device_.BeginScene();
  EXPECT_EQ(device_.DrawPrimitive(D3DPT_TRIANGLESTRIP, 4, 2), D3D_OK);  // vertices 4..7: the bar quad
  EXPECT_EQ(device_.DrawPrimitive(D3DPT_TRIANGLESTRIP, 5, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_.DrawPrimitive(D3DPT_TRIANGLELIST, 0, 3), D3DERR_INVALIDCALL);  // 9 vertices of 8
  device_.SetStreamSource(0, quads_, 16);
  EXPECT_EQ(device_.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);  // stride below the format's
  device_.SetStreamSource(0, nullptr, 24);
  EXPECT_EQ(device_.DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3DERR_INVALIDCALL);
  EXPECT_EQ(device_.Draws.size(), 1u);
  EXPECT_EQ(device_.BeginScene(), D3DERR_INVALIDCALL);  // scenes do not nest
}

TEST_F(RecordingDeviceDraws, LightsKeepTheirSlotsAndEnableStates) {
  D3DLIGHT8 point;
  point.Type = D3DLIGHT_POINT;
  point.Range = 10;
  point.Attenuation0 = 1;
  point.Attenuation1 = 0.5f;
  EXPECT_EQ(device_.SetLight(4, point), D3D_OK);
  EXPECT_EQ(device_.LightEnable(4, true), D3D_OK);
  EXPECT_EQ(device_.LightEnable(1, true), D3D_OK);  // never set: Direct3D's white default light
  EXPECT_EQ(device_.LightEnable(4, false), D3D_OK);
  const DeviceState& s = device_.State();
  EXPECT_FALSE(s.Lights[4].Enabled);
  EXPECT_EQ(s.Lights[4].Light.Attenuation1, 0.5f);
  EXPECT_TRUE(s.Lights[1].Enabled);
  EXPECT_EQ(s.Lights[1].Light.Type, D3DLIGHT_DIRECTIONAL);
  EXPECT_EQ(s.Lights[1].Light.Diffuse.r, 1.0f);
  EXPECT_EQ(device_.SetLight(kLightSlots, point), D3DERR_INVALIDCALL);
  point.Type = 0;
  EXPECT_EQ(device_.SetLight(2, point), D3DERR_INVALIDCALL);
}

TEST(RecordingDirect3D, AnswersFromItsFormatListsAndKeepsTheCreation) {
  RecordingDirect3D d3d;
  d3d.DisplayFormats = {D3DFMT_R5G6B5};
  d3d.TextureFormats = {D3DFMT_A4R4G4B4};
  EXPECT_EQ(d3d.CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, false), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d.CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DFMT_R5G6B5, false), D3D_OK);
  EXPECT_EQ(d3d.CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8),
            D3DERR_NOTAVAILABLE);
  EXPECT_EQ(d3d.CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_TEXTURE, D3DFMT_A4R4G4B4), D3D_OK);
  D3DPRESENT_PARAMETERS parameters;
  parameters.BackBufferWidth = 800;
  parameters.BackBufferHeight = 600;
  DevicePtr device;
  ASSERT_EQ(d3d.CreateDevice(0, D3DDEVTYPE_HAL, D3DCREATE_SOFTWARE_VERTEXPROCESSING, parameters, device), D3D_OK);
  EXPECT_EQ(device->ReadBackBuffer().Width, 800);
  EXPECT_FALSE(d3d.LastDevice.expired());
  Release(device);
  EXPECT_TRUE(d3d.LastDevice.expired());
  d3d.CreateDeviceResult = D3DERR_NOTAVAILABLE;
  EXPECT_EQ(d3d.CreateDevice(0, D3DDEVTYPE_HAL, 0, parameters, device), D3DERR_NOTAVAILABLE);
  EXPECT_EQ(device, nullptr);
  EXPECT_EQ(d3d.CreatedWith.size(), 2u);
}

}  // namespace
}  // namespace zt
