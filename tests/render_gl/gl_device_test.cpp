// Real drawing through the OpenGL device into its back buffer (Mesa's software
// renderer under SDL's offscreen driver), checked pixel by pixel against colours
// worked out from Direct3D's lighting and blending formulas.
#include "platform/gl_device.h"

#include <SDL.h>
#include <epoxy/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <span>
#include <vector>

#include "core/vecmath.h"
#include "support/hidden_gl_device.h"

namespace zt {
namespace {

constexpr int kSize = 64;

struct MeshVertex {  // 0x012
  float x, y, z, nx, ny, nz;
};
struct TexMeshVertex {  // 0x152
  float x, y, z, nx, ny, nz;
  D3DCOLOR colour;
  float u, v;
};

int Channel(uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

// A pixel within 2 of the expected 0..1 channels.
::testing::AssertionResult PixelNear(uint32_t argb, float r, float g, float b) {
  const int want[3] = {static_cast<int>(std::lround(r * 255)), static_cast<int>(std::lround(g * 255)),
                       static_cast<int>(std::lround(b * 255))};
  const int got[3] = {Channel(argb, 16), Channel(argb, 8), Channel(argb, 0)};
  for (int c = 0; c < 3; ++c)
    if (std::abs(want[c] - got[c]) > 2)
      return ::testing::AssertionFailure() << "pixel (" << got[0] << ", " << got[1] << ", " << got[2] << "), expected ("
                                           << want[0] << ", " << want[1] << ", " << want[2] << ")";
  return ::testing::AssertionSuccess();
}

class GlDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override { Open(true); }

  void Open(bool clipControl) {
    GlWindowOptions options = HiddenWindowOptions(kSize, kSize);
    options.AllowClipControl = clipControl;
    Open(options, kSize, kSize);
  }

  // A device on a window of these options; a side of 0 follows the window.
  void Open(const GlWindowOptions& options, uint32_t width, uint32_t height, bool smoothEdges = false) {
    buffers_.clear();
    gl_.Close();
    gl_ = testing::OpenHiddenGlDevice(options, width, height, smoothEdges);
    ASSERT_NE(gl_.Device, nullptr) << gl_.Error;
    device_ = gl_.Device.get();
    d3d_ = gl_.D3D.get();
    window_ = gl_.Window.get();
    D3DMATRIX view, projection;
    SetViewMatrix(view, MakeVector(0, 0, -5), MakeVector(0, 0, 0), MakeVector(0, 1, 0));
    SetProjectionMatrix(projection, 1.0f, 1.0f, 1.0f, 25.0f);
    device_->SetTransform(D3DTS_VIEW, view);
    device_->SetTransform(D3DTS_PROJECTION, projection);
    device_->SetTransform(D3DTS_WORLD, kIdentityMatrix);
  }

  void TearDown() override {
    buffers_.clear();
    gl_.Close();
  }

  template <typename Vertex>
  void Draw(const std::vector<Vertex>& vertices, uint32_t fvf, D3DPRIMITIVETYPE type) {
    VertexBufferPtr buffer;
    const auto bytes = static_cast<uint32_t>(vertices.size() * sizeof(Vertex));
    ASSERT_EQ(device_->CreateVertexBuffer(bytes, 0, fvf, D3DPOOL_DEFAULT, buffer), D3D_OK);
    uint8_t* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data), D3D_OK);
    std::memcpy(data, vertices.data(), bytes);
    buffer->Unlock();
    device_->SetStreamSource(0, buffer, sizeof(Vertex));
    device_->SetVertexShader(fvf);
    const auto count = static_cast<uint32_t>(vertices.size());
    ASSERT_EQ(device_->DrawPrimitive(type, 0, type == D3DPT_TRIANGLELIST ? count / 3 : count - 2), D3D_OK);
    buffers_.push_back(buffer);  // kept until the frame is read back
  }

  // The screen-filling square at depth z, facing the camera, clockwise on screen.
  static std::vector<MeshVertex> Square(float z, float half = 1) {
    return {
        {-half, half, z, 0, 0, -1}, {half, half, z, 0, 0, -1}, {-half, -half, z, 0, 0, -1}, {half, -half, z, 0, 0, -1}};
  }
  static std::vector<ColourVertex> ColourSquare(float z, D3DCOLOR colour, float half = 1) {
    return {{-half, half, z, colour}, {half, half, z, colour}, {-half, -half, z, colour}, {half, -half, z, colour}};
  }

  TexturePtr MakeTexture(uint32_t width, uint32_t height, const std::vector<uint32_t>& argb) {
    TexturePtr texture;
    EXPECT_EQ(device_->CreateTexture(width, height, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture), D3D_OK);
    D3DLOCKED_RECT locked;
    texture->LockRect(0, locked);
    for (uint32_t y = 0; y < height; ++y)
      std::memcpy(static_cast<uint8_t*>(locked.pBits) + y * locked.Pitch, &argb[y * width], width * 4);
    texture->UnlockRect(0);
    return texture;
  }

  void SceneLights() {  // the directional light of the scene, shining into the screen
    D3DLIGHT8 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Direction = {0, 0, 1};
    light.Diffuse = {0.6f, 0.6f, 0.6f, 0};
    light.Ambient = {0.1f, 0.1f, 0.1f, 0};
    light.Specular = {1, 1, 1, 0};
    device_->SetLight(1, light);
    device_->LightEnable(1, true);
    device_->SetRenderState(D3DRS_AMBIENT, 0x00202020);
    D3DMATERIAL8 material;
    material.Diffuse = {0.5f, 0.4f, 0.3f, 1};
    material.Ambient = {1, 1, 1, 1};
    material.Specular = {0.2f, 0.2f, 0.2f, 0};
    material.Power = 10;
    device_->SetMaterial(material);
  }

  Image Frame() {
    device_->EndScene();
    device_->Present();
    return device_->ReadBackBuffer();
  }

  void Begin(D3DCOLOR clear = 0) {
    device_->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, clear, 1.0f, 0);
    device_->BeginScene();
  }

  testing::HiddenGlDevice gl_;
  SdlGlWindow* window_ = nullptr;
  Direct3D* d3d_ = nullptr;
  Device* device_ = nullptr;
  std::vector<VertexBufferPtr> buffers_;
  static constexpr float kGlobalAmbient = 32.0f / 255.0f;
};

TEST_F(GlDeviceTest, ClearFillsTheBackBufferAndDesktopFormatsAreChosen) {
  Begin(0x000555A5);
  const Image image = Frame();
  ASSERT_EQ(image.Width, kSize);
  EXPECT_EQ(image.At(0, 0), 0xFF0555A5u);
  EXPECT_EQ(image.At(63, 63), 0xFF0555A5u);
  // The first full-screen candidate and the first texture format with alpha.
  EXPECT_EQ(d3d_->CheckDeviceType(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, false), D3D_OK);
  EXPECT_EQ(d3d_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_X8R8G8B8, 0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8), D3D_OK);
}

TEST_F(GlDeviceTest, DirectionalAndAmbientLightWithSpecularOnlyWhenEnabled) {
  SceneLights();
  device_->SetRenderState(D3DRS_LOCALVIEWER, 0);  // the same half-vector at every vertex
  const float ambient = kGlobalAmbient + 0.1f;
  // Ambient of the material times (global + light ambient), plus diffuse times N.L = 1.
  const float r = ambient + 0.5f * 0.6f, g = ambient + 0.4f * 0.6f, b = ambient + 0.3f * 0.6f;

  Begin();
  Draw(Square(0), kFvfMesh, D3DPT_TRIANGLESTRIP);
  EXPECT_TRUE(PixelNear(Frame().At(32, 32), r, g, b));

  device_->SetRenderState(D3DRS_SPECULARENABLE, 1);
  Begin();
  Draw(Square(0), kFvfMesh, D3DPT_TRIANGLESTRIP);
  // N.H = 1: the material's specular times the light's, added after texturing.
  EXPECT_TRUE(PixelNear(Frame().At(32, 32), r + 0.2f, g + 0.2f, b + 0.2f));

  device_->SetRenderState(D3DRS_LIGHTING, 0);
  device_->SetRenderState(D3DRS_SPECULARENABLE, 0);
  Begin();
  Draw(Square(0), kFvfMesh, D3DPT_TRIANGLESTRIP);
  EXPECT_TRUE(PixelNear(Frame().At(32, 32), 1, 1, 1));  // unlit without a vertex colour: white
}

TEST_F(GlDeviceTest, VertexColourIsTheDiffuseSourceUnlessTheMaterialIsChosen) {
  SceneLights();
  const D3DCOLOR colour = 0xFF40C080;
  std::vector<TexMeshVertex> square;
  for (const MeshVertex& v : Square(0)) square.push_back({v.x, v.y, v.z, v.nx, v.ny, v.nz, colour, 0, 0});
  const float ambient = kGlobalAmbient + 0.1f;

  Begin();
  Draw(square, kFvfTexMesh, D3DPT_TRIANGLESTRIP);  // no texture: the stage passes the lit colour on
  EXPECT_TRUE(PixelNear(Frame().At(32, 32), ambient + 0x40 / 255.0f * 0.6f, ambient + 0xC0 / 255.0f * 0.6f,
                        ambient + 0x80 / 255.0f * 0.6f));

  device_->SetRenderState(D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL);
  Begin();
  Draw(square, kFvfTexMesh, D3DPT_TRIANGLESTRIP);
  EXPECT_TRUE(PixelNear(Frame().At(32, 32), ambient + 0.3f, ambient + 0.24f, ambient + 0.18f));

  device_->SetRenderState(D3DRS_LIGHTING, 0);
  Begin();
  Draw(square, kFvfTexMesh, D3DPT_TRIANGLESTRIP);
  EXPECT_TRUE(PixelNear(Frame().At(32, 32), 0x40 / 255.0f, 0xC0 / 255.0f, 0x80 / 255.0f));
}

// Draws that change between the device's shader variants within one frame (lit, unlit, lit
// with other lights): each variant draws with the states of its own draw, even those that
// changed while another variant was drawing.
TEST_F(GlDeviceTest, DrawsThatSwitchVariantsEachShowTheirOwnStates) {
  SceneLights();
  const float ambient = kGlobalAmbient + 0.1f;
  auto place = [this](float x, float y) {
    D3DMATRIX world;
    MatTranslation(world, x, y, 0);
    device_->SetTransform(D3DTS_WORLD, world);
  };
  D3DMATERIAL8 red, green;
  red.Diffuse = {1, 0, 0, 1};
  green.Diffuse = {0, 1, 0, 1};
  red.Ambient = green.Ambient = {1, 1, 1, 1};

  Begin();
  device_->SetMaterial(red);
  place(-1, 1);
  Draw(Square(0, 0.5f), kFvfMesh, D3DPT_TRIANGLESTRIP);
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  place(1, 1);
  Draw(ColourSquare(0, 0xFF3366CC, 0.5f), kFvfColour, D3DPT_TRIANGLESTRIP);
  device_->SetRenderState(D3DRS_LIGHTING, 1);
  device_->SetMaterial(green);  // changed while the unlit variant was in use
  place(-1, -1);
  Draw(Square(0, 0.5f), kFvfMesh, D3DPT_TRIANGLESTRIP);
  device_->LightEnable(1, false);  // lit by the ambient state alone
  place(1, -1);
  Draw(Square(0, 0.5f), kFvfMesh, D3DPT_TRIANGLESTRIP);
  const Image image = Frame();

  EXPECT_TRUE(PixelNear(image.At(20, 20), ambient + 0.6f, ambient, ambient));
  EXPECT_TRUE(PixelNear(image.At(44, 20), 0x33 / 255.0f, 0x66 / 255.0f, 0xCC / 255.0f));
  EXPECT_TRUE(PixelNear(image.At(20, 44), ambient, ambient + 0.6f, ambient));
  EXPECT_TRUE(PixelNear(image.At(44, 44), kGlobalAmbient, kGlobalAmbient, kGlobalAmbient));
}

// Texture stage 0 with a texel (0.4, 0.2, 0.8, alpha 0.5) over the unlit vertex colour
// (0.5, 0.5, 0.5): what each operation and argument gives.
TEST_F(GlDeviceTest, StageOperationsArgumentsAndTheAlphaTest) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  device_->SetRenderState(D3DRS_TEXTUREFACTOR, 0xFF336699);
  const TexturePtr texture = MakeTexture(1, 1, {D3DCOLOR_ARGB(128, 102, 51, 204)});
  device_->SetTexture(0, texture);
  std::vector<TexColourVertex> quad;
  for (const ColourVertex& v : ColourSquare(0, 0xFF808080)) quad.push_back({v.X, v.Y, v.Z, v.Colour, 0, 0});
  const float t[3] = {0.4f, 0.2f, 0.8f}, d = 128 / 255.0f;
  struct Case {
    uint32_t Op, Arg1, Arg2;
    float R, G, B;
  };
  const Case cases[] = {
      {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, t[0], t[1], t[2]},
      {D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, d, d, d},
      {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_CURRENT, t[0] * d, t[1] * d, t[2] * d},
      {D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE, 2 * t[0] * d, 2 * t[1] * d, 2 * t[2] * d},
      {D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_DIFFUSE, 4 * t[0] * d, 4 * t[1] * d, 1},
      {D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, t[0] + d, t[1] + d, 1},
      {D3DTOP_SELECTARG1, D3DTA_TFACTOR, D3DTA_DIFFUSE, 0.2f, 0.4f, 0.6f},
      {D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT, D3DTA_DIFFUSE, 1 - t[0], 1 - t[1], 1 - t[2]},
      {D3DTOP_SELECTARG1, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE, D3DTA_DIFFUSE, d, d, d},
      {D3DTOP_DISABLE, D3DTA_TEXTURE, D3DTA_DIFFUSE, d, d, d},
  };
  for (const Case& c : cases) {
    device_->SetTextureStageState(0, D3DTSS_COLOROP, c.Op);
    device_->SetTextureStageState(0, D3DTSS_COLORARG1, c.Arg1);
    device_->SetTextureStageState(0, D3DTSS_COLORARG2, c.Arg2);
    Begin();
    Draw(quad, kFvfTexColour, D3DPT_TRIANGLESTRIP);
    EXPECT_TRUE(PixelNear(Frame().At(32, 32), c.R, c.G, c.B)) << "operation " << c.Op << ", " << c.Arg1;
  }

  // The texel's alpha (128) against the reference: drawn where the test passes, else the clear colour.
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  device_->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
  device_->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
  device_->SetRenderState(D3DRS_ALPHAREF, 0x80);
  for (const auto& [func, passes] : {std::pair{D3DCMP_GREATER, false},
                                     {D3DCMP_GREATEREQUAL, true},
                                     {D3DCMP_LESS, false},
                                     {D3DCMP_EQUAL, true},
                                     {D3DCMP_NEVER, false}}) {
    device_->SetRenderState(D3DRS_ALPHAFUNC, func);
    Begin(0x00FFFFFF);
    Draw(quad, kFvfTexColour, D3DPT_TRIANGLESTRIP);
    const Image image = Frame();
    EXPECT_TRUE(passes ? PixelNear(image.At(32, 32), t[0], t[1], t[2]) : PixelNear(image.At(32, 32), 1, 1, 1))
        << "compare function " << func;
  }
}

TEST_F(GlDeviceTest, PointLightFadesWithDistanceAndStopsAtItsRange) {
  D3DLIGHT8 light;
  light.Type = D3DLIGHT_POINT;
  light.Position = {0, 0, -2};
  light.Diffuse = {0.3f, 0.3f, 0.3f, 0};
  light.Ambient = {0.6f, 0.6f, 0.6f, 0};
  light.Range = 10;
  light.Attenuation0 = 1;
  light.Attenuation1 = 0.5f;
  device_->SetLight(4, light);
  device_->LightEnable(4, true);
  D3DMATERIAL8 white;
  white.Diffuse = white.Ambient = {1, 1, 1, 1};
  device_->SetMaterial(white);
  // Every corner of the square lies sqrt(6) from the light: one colour over the whole square.
  const float d = std::sqrt(6.0f), attenuation = 1 / (1 + 0.5f * d), nl = 2 / d;
  const float lit = attenuation * 0.6f + attenuation * nl * 0.3f;

  Begin();
  Draw(Square(0), kFvfMesh, D3DPT_TRIANGLESTRIP);
  Image image = Frame();
  EXPECT_TRUE(PixelNear(image.At(32, 32), lit, lit, lit));
  EXPECT_TRUE(PixelNear(image.At(24, 40), lit, lit, lit));

  light.Range = 2.4f;  // the corners are out of reach
  device_->SetLight(4, light);
  Begin(0x00FFFFFF);
  Draw(Square(0), kFvfMesh, D3DPT_TRIANGLESTRIP);
  EXPECT_TRUE(PixelNear(Frame().At(32, 32), 0, 0, 0));
}

// A cube whose faces run clockwise seen from outside, each face textured from its
// top-left corner (u 0, v 0) as seen from outside.
std::vector<TexMeshVertex> Cube(float h) {
  const MeshVertex front[4] = {
      {-h, h, -h, 0, 0, -1}, {h, h, -h, 0, 0, -1}, {-h, -h, -h, 0, 0, -1}, {h, -h, -h, 0, 0, -1}};
  const float uv[4][2] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
  D3DMATRIX turns[6];
  for (int i = 0; i < 4; ++i) MatRotationY(turns[i], 1.5707964f * i);
  MatRotationX(turns[4], 1.5707964f);
  MatRotationX(turns[5], -1.5707964f);
  std::vector<TexMeshVertex> out;
  for (const D3DMATRIX& m : turns) {
    TexMeshVertex face[4];
    for (int i = 0; i < 4; ++i) {
      const MeshVertex& v = front[i];
      auto row = [&](float x, float y, float z, int c) { return x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c]; };
      face[i] = {row(v.x, v.y, v.z, 0),
                 row(v.x, v.y, v.z, 1),
                 row(v.x, v.y, v.z, 2),
                 row(v.nx, v.ny, v.nz, 0),
                 row(v.nx, v.ny, v.nz, 1),
                 row(v.nx, v.ny, v.nz, 2),
                 0xFFFFFFFF,
                 uv[i][0],
                 uv[i][1]};
    }
    for (int corner : {0, 1, 2, 2, 1, 3}) out.push_back(face[corner]);
  }
  return out;
}

TEST_F(GlDeviceTest, LitTexturedCubeShowsItsFrontFaceTheRightWayUp) {
  SceneLights();
  device_->SetRenderState(D3DRS_NORMALIZENORMALS, 1);
  // Top row red, green; bottom row blue, white.
  TexturePtr texture = MakeTexture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
  device_->SetTexture(0, texture);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
  Begin();
  Draw(Cube(0.8f), kFvfTexMesh, D3DPT_TRIANGLELIST);
  const Image image = Frame();
  // White vertex colour lit head-on: ambient + diffuse, times the texel.
  const float lit = kGlobalAmbient + 0.1f + 0.6f;
  EXPECT_TRUE(PixelNear(image.At(27, 27), lit, 0, 0)) << "top left";
  EXPECT_TRUE(PixelNear(image.At(37, 27), 0, lit, 0)) << "top right";
  EXPECT_TRUE(PixelNear(image.At(27, 37), 0, 0, lit)) << "bottom left";
  EXPECT_TRUE(PixelNear(image.At(37, 37), lit, lit, lit)) << "bottom right";
  EXPECT_EQ(image.At(2, 2), 0xFF000000u);  // nothing around it

  // Select-argument-1 shows the texel alone, unlit.
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  Begin();
  Draw(Cube(0.8f), kFvfTexMesh, D3DPT_TRIANGLELIST);
  EXPECT_EQ(Frame().At(27, 37), 0xFF0000FFu);
}

TEST_F(GlDeviceTest, CounterClockwiseCullingKeepsClockwiseTriangles) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  const std::vector<ColourVertex> clockwise = {{-1, 1, 0, 0xFFFF0000}, {1, 1, 0, 0xFFFF0000}, {-1, -1, 0, 0xFFFF0000}};
  const std::vector<ColourVertex> counter = {{-1, 1, 0, 0xFF00FF00}, {-1, -1, 0, 0xFF00FF00}, {1, 1, 0, 0xFF00FF00}};
  struct Case {
    uint32_t cull;
    bool clockwiseShown, counterShown;
  };
  for (const Case& c :
       {Case{D3DCULL_CCW, true, false}, Case{D3DCULL_CW, false, true}, Case{D3DCULL_NONE, true, true}}) {
    device_->SetRenderState(D3DRS_CULLMODE, c.cull);
    Begin();
    Draw(clockwise, kFvfColour, D3DPT_TRIANGLELIST);
    EXPECT_EQ(Frame().At(24, 24) == 0xFFFF0000u, c.clockwiseShown) << "cull mode " << c.cull;
    Begin();
    Draw(counter, kFvfColour, D3DPT_TRIANGLELIST);
    EXPECT_EQ(Frame().At(24, 24) == 0xFF00FF00u, c.counterShown) << "cull mode " << c.cull;
  }
}

class GlDepthTest : public GlDeviceTest, public ::testing::WithParamInterface<bool> {};

TEST_P(GlDepthTest, DepthRunsFromTheNearToTheFarPlane) {
  Open(GetParam());  // with glClipControl, and with the shader's fix-up
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  // The eye stands at z = -5; near 1, far 25. A square at eye distance e lies at z = e - 5.
  auto shown = [this](float distance) {
    Begin();
    Draw(ColourSquare(distance - 5, 0xFFFF0000, distance), kFvfColour, D3DPT_TRIANGLESTRIP);
    return Frame().At(32, 32) == 0xFFFF0000u;
  };
  EXPECT_TRUE(shown(24.9f));
  EXPECT_FALSE(shown(25.1f));
  EXPECT_TRUE(shown(1.05f));
  EXPECT_FALSE(shown(0.95f));

  // The nearer square wins whatever the order; without the depth test the last one drawn.
  Begin();
  Draw(ColourSquare(0, 0xFF00FF00), kFvfColour, D3DPT_TRIANGLESTRIP);
  Draw(ColourSquare(1, 0xFFFF0000), kFvfColour, D3DPT_TRIANGLESTRIP);
  EXPECT_EQ(Frame().At(32, 32), 0xFF00FF00u);
  device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
  Begin();
  Draw(ColourSquare(0, 0xFF00FF00), kFvfColour, D3DPT_TRIANGLESTRIP);
  Draw(ColourSquare(1, 0xFFFF0000), kFvfColour, D3DPT_TRIANGLESTRIP);
  EXPECT_EQ(Frame().At(32, 32), 0xFFFF0000u);
}

INSTANTIATE_TEST_SUITE_P(ClipControl, GlDepthTest, ::testing::Values(true, false));

TEST_F(GlDeviceTest, AlphaAndAdditiveBlending) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  const float dr = 0x20 / 255.0f, dg = 0x40 / 255.0f, db = 0x80 / 255.0f;  // the clear colour behind
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  Begin(0x00204080);
  Draw(ColourSquare(0, D3DCOLOR_ARGB(128, 255, 0, 0)), kFvfColour, D3DPT_TRIANGLESTRIP);
  const float a = 128 / 255.0f;
  EXPECT_TRUE(PixelNear(Frame().At(32, 32), a + dr * (1 - a), dg * (1 - a), db * (1 - a)));

  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
  Begin(0x00204080);
  Draw(ColourSquare(0, D3DCOLOR_ARGB(255, 200, 100, 200)), kFvfColour, D3DPT_TRIANGLESTRIP);
  EXPECT_TRUE(PixelNear(Frame().At(32, 32), 200 / 255.0f + dr, 100 / 255.0f + dg, 1.0f));

  // Text and particles: texture alpha times vertex alpha.
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  TexturePtr glyph = MakeTexture(1, 1, {0x80FFFFFF});
  device_->SetTexture(0, glyph);
  std::vector<TexColourVertex> quad;
  for (const ColourVertex& v : ColourSquare(0, 0x80FF0000)) quad.push_back({v.X, v.Y, v.Z, v.Colour, 0, 0});
  Begin(0x00204080);
  Draw(quad, kFvfTexColour, D3DPT_TRIANGLESTRIP);
  const float both = a * a;
  EXPECT_TRUE(PixelNear(Frame().At(32, 32), both + dr * (1 - both), dg * (1 - both), db * (1 - both)));
}

// Hundreds of particles, each locking the one 4-vertex buffer and drawing 2 triangles:
// merged into one GL draw with the same picture as drawing them one by one.
TEST_F(GlDeviceTest, SmallDrawsAreMergedWithoutChangingThePicture) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
  device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
  device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
  device_->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
  device_->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
  TexturePtr first = MakeTexture(2, 2, {0xFFFFFFFF, 0x80FFFFFF, 0x40FFFFFF, 0xC0FFFFFF});
  TexturePtr twin = MakeTexture(2, 2, {0xFFFFFFFF, 0x80FFFFFF, 0x40FFFFFF, 0xC0FFFFFF});
  VertexBufferPtr quad;
  ASSERT_EQ(device_->CreateVertexBuffer(96, 0, kFvfTexColour, D3DPOOL_DEFAULT, quad), D3D_OK);
  device_->SetStreamSource(0, quad, 24);
  device_->SetVertexShader(kFvfTexColour);

  auto frame = [&](bool alternate) {
    Begin();
    for (int i = 0; i < 300; ++i) {
      uint8_t* data = nullptr;
      quad->Lock(0, 96, &data);
      const D3DCOLOR colour = D3DCOLOR_ARGB(60 + i % 190, (i * 37) & 255, (i * 91) & 255, (i * 13) & 255);
      const TexColourVertex v[4] = {{-0.5f, 0.5f, 0, colour, 0, 1},
                                    {0.5f, 0.5f, 0, colour, 1, 1},
                                    {-0.5f, -0.5f, 0, colour, 0, 0},
                                    {0.5f, -0.5f, 0, colour, 1, 0}};
      std::memcpy(data, v, sizeof v);
      quad->Unlock();
      D3DMATRIX world = kIdentityMatrix;
      world.m[0][0] = 0.2f + (i % 7) * 0.1f;
      world.m[1][1] = 0.3f;
      world.m[3][0] = -2.0f + (i % 17) * 0.25f;
      world.m[3][1] = -2.0f + (i / 17) * 0.25f;
      world.m[3][2] = -0.5f;
      device_->SetTransform(D3DTS_WORLD, world);
      device_->SetTexture(0, alternate && (i & 1) ? twin : first);
      device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
    }
    return Frame();
  };
  const Image merged = frame(false);
  const GlFrameCounts mergedCounts = LastFrameCounts(*device_);
  const Image oneByOne = frame(true);
  const GlFrameCounts oneByOneCounts = LastFrameCounts(*device_);
  EXPECT_EQ(mergedCounts.DrawPrimitiveCalls, 300);
  EXPECT_EQ(mergedCounts.GlDrawCalls, 1);
  EXPECT_EQ(oneByOneCounts.GlDrawCalls, 300);
  // A texture is bound only when the next draw needs another one: the first particle's is
  // still bound from the frame before, so each frame counts afresh.
  EXPECT_EQ(mergedCounts.TextureBinds, 1);
  EXPECT_EQ(oneByOneCounts.TextureBinds, 299);
  // Merged draws are placed in the world already: a change of texture between them sends no
  // uniform again.
  EXPECT_LE(oneByOneCounts.UniformCalls, mergedCounts.UniformCalls);
  int differing = 0, maxDifference = 0;
  for (size_t i = 0; i < merged.Argb.size(); ++i)
    for (int shift : {0, 8, 16}) {
      const int d = std::abs(Channel(merged.Argb[i], shift) - Channel(oneByOne.Argb[i], shift));
      maxDifference = std::max(maxDifference, d);
      if (d > 0) ++differing;
    }
  EXPECT_LE(maxDifference, 1);
  EXPECT_LT(differing, 10);
  EXPECT_NE(merged.At(32, 32), 0xFF000000u);  // the particles cover the middle
}

TEST_F(GlDeviceTest, TexturesLiveInGlOnceWrittenAndBuffersHoldWhatWasWritten) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  TexturePtr texture = MakeTexture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
  EXPECT_FALSE(texture->HoldsBytes(0)) << "the texels went to GL with the unlock";
  // Locked again, the level reads back what GL holds; the change shows in the next frame.
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(0, locked), D3D_OK);
  uint32_t texels[4];
  std::memcpy(texels, locked.pBits, sizeof texels);
  EXPECT_EQ(texels[1], 0xFF00FF00u);
  EXPECT_EQ(texels[2], 0xFF0000FFu);
  texels[3] = 0xFFFFFF00;
  std::memcpy(locked.pBits, texels, sizeof texels);
  texture->UnlockRect(0);
  device_->SetTexture(0, texture);

  // A buffer made for far more vertices than written: only the written square is held;
  // a second square further on grows the GL store, and both draw.
  VertexBufferPtr big;
  ASSERT_EQ(device_->CreateVertexBuffer(300000 * sizeof(TexColourVertex), 0, kFvfTexColour, D3DPOOL_DEFAULT, big),
            D3D_OK);
  auto square = [](float left, float u) {
    return std::vector<TexColourVertex>{{left, 1, 0, 0xFFFFFFFF, u, 0},
                                        {left + 1, 1, 0, 0xFFFFFFFF, u, 0},
                                        {left, -1, 0, 0xFFFFFFFF, u, 1},
                                        {left + 1, -1, 0, 0xFFFFFFFF, u, 1}};
  };
  ASSERT_EQ(WriteVertices(*big, 0, square(-1, 0.25f)), D3D_OK);
  EXPECT_EQ(big->HeldBytes(), 4 * sizeof(TexColourVertex));
  device_->SetStreamSource(0, big, sizeof(TexColourVertex));
  device_->SetVertexShader(kFvfTexColour);
  Begin();
  device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  Image image = Frame();
  EXPECT_EQ(image.At(26, 24), 0xFFFF0000u) << "top left texel";
  EXPECT_EQ(image.At(26, 40), 0xFF0000FFu) << "bottom left texel";
  EXPECT_EQ(image.At(38, 24), 0xFF000000u);

  ASSERT_EQ(WriteVertices(*big, 1000 * sizeof(TexColourVertex), square(0, 0.75f)), D3D_OK);
  Begin();
  device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2);
  device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 1000, 2);
  image = Frame();
  EXPECT_EQ(image.At(26, 24), 0xFFFF0000u);
  EXPECT_EQ(image.At(38, 24), 0xFF00FF00u) << "top right texel";
  EXPECT_EQ(image.At(38, 40), 0xFFFFFF00u) << "the texel written after the first upload";
  EXPECT_EQ(big->HeldBytes(), 1004 * sizeof(TexColourVertex));
}

// A grid of 8 x 8 squares over the middle of the picture (2 x 2 at z = 0) as a triangle list, each corner coloured by
// its place, so neighbouring squares repeat each other's corners.
std::vector<ColourVertex> ColouredGrid() {
  auto corner = [](int i, int j) {
    const auto x = static_cast<float>(i) / 4 - 1, y = 1 - static_cast<float>(j) / 4;
    return ColourVertex{x, y, 0, D3DCOLOR_ARGB(255, 30 * i, 30 * j, 240 - 15 * (i + j))};
  };
  std::vector<ColourVertex> grid;
  for (int j = 0; j < 8; ++j)
    for (int i = 0; i < 8; ++i)
      for (const auto& [di, dj] : {std::pair{0, 0}, {1, 0}, {0, 1}, {0, 1}, {1, 0}, {1, 1}})
        grid.push_back(corner(i + di, j + dj));
  return grid;
}

int MaxChannelDifference(const Image& a, const Image& b) {
  int most = 0;
  for (size_t i = 0; i < a.Argb.size(); ++i)
    for (int shift : {0, 8, 16}) most = std::max(most, std::abs(Channel(a.Argb[i], shift) - Channel(b.Argb[i], shift)));
  return most;
}

// A mesh buffer (large, written once) keeps each distinct vertex once and draws through
// indices: any range of its vertices, as a list or as a strip, and after part of it is
// written again, draws the pixels a small buffer of the same vertices draws.
TEST_F(GlDeviceTest, MeshBuffersDrawAnyRangeOfTheirVerticesAsASmallBufferDoes) {
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  std::vector<ColourVertex> vertices = ColouredGrid();
  const std::vector<ColourVertex> strip = {
      {-1, 1, 0, 0xFFFF0000},  {-0.5f, 1, 0, 0xFF00FF00},  {-1, 0, 0, 0xFF0000FF}, {-0.5f, 0, 0, 0xFFFF0000},
      {-1, -1, 0, 0xFF00FF00}, {-0.5f, -1, 0, 0xFF0000FF}, {-1, -1, 0, 0xFF00FF00}};  // at the left
  vertices.insert(vertices.end(), strip.begin(), strip.end());
  constexpr uint32_t kFirst = 1000;  // after zeros never written
  const auto stripStart = static_cast<uint32_t>(vertices.size() - strip.size());
  VertexBufferPtr mesh, small;
  ASSERT_EQ(device_->CreateVertexBuffer(300000 * sizeof(ColourVertex), 0, kFvfColour, D3DPOOL_DEFAULT, mesh), D3D_OK);
  ASSERT_EQ(device_->CreateVertexBuffer(static_cast<uint32_t>(vertices.size() * sizeof(ColourVertex)), 0, kFvfColour,
                                        D3DPOOL_DEFAULT, small),
            D3D_OK);
  auto write = [&](uint32_t first, uint32_t count) {
    const std::span part(vertices.data() + first, count);
    ASSERT_EQ(WriteVertices(*mesh, (kFirst + first) * sizeof(ColourVertex), part), D3D_OK);
    ASSERT_EQ(WriteVertices(*small, first * static_cast<uint32_t>(sizeof(ColourVertex)), part), D3D_OK);
  };
  write(0, static_cast<uint32_t>(vertices.size()));
  device_->SetVertexShader(kFvfColour);
  auto frame = [&](const VertexBufferPtr& buffer, uint32_t offset) {
    device_->SetStreamSource(0, buffer, sizeof(ColourVertex));
    Begin();
    device_->DrawPrimitive(D3DPT_TRIANGLELIST, offset + 2 * 48 + 6, 2 * 19);  // from the third row's second square
    device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, offset + stripStart + 1, 4);
    return Frame();
  };
  auto expectSame = [&](const char* what) {
    const Image fromMesh = frame(mesh, kFirst);
    const Image fromSmall = frame(small, 0);
    EXPECT_EQ(MaxChannelDifference(fromMesh, fromSmall), 0) << what;
    EXPECT_NE(fromMesh.At(36, 30), 0xFF000000u) << what << ": the grid is drawn";
    return fromMesh;
  };
  const Image first = expectSame("as written");
  EXPECT_EQ(first.At(36, 21), 0xFF000000u) << "the first rows are left out";

  for (size_t i = 3 * 48; i < 4 * 48; ++i) vertices[i].Colour = 0xFFFFFFFF;  // the fourth row turns white
  write(3 * 48, 48);
  const Image second = expectSame("the fourth row written again");
  EXPECT_NE(first.At(36, 30), 0xFFFFFFFFu);
  EXPECT_EQ(second.At(36, 30), 0xFFFFFFFFu);
}

// Bricks drawn as the game draws them: each its texture, the stage, the material, the stream
// and its world matrix, then the texture taken away again. A brick is the cube twice over
// (72 vertices, more than a small draw), in a mesh buffer or in a small buffer of its own.
class GlBrickRunTest : public GlDeviceTest {
 protected:
  void SetUp() override {
    GlDeviceTest::SetUp();
    SceneLights();
    device_->SetRenderState(D3DRS_NORMALIZENORMALS, 1);
    brick_ = Cube(0.3f);
    brick_.insert(brick_.end(), brick_.begin(), brick_.end());
    ASSERT_EQ(device_->CreateVertexBuffer(300000 * sizeof(TexMeshVertex), 0, kFvfTexMesh, D3DPOOL_DEFAULT, mesh_),
              D3D_OK);
    ASSERT_EQ(WriteVertices(*mesh_, kFirst * sizeof(TexMeshVertex), brick_), D3D_OK);
    textures_[0] = MakeTexture(2, 2, {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF});
    textures_[1] = MakeTexture(2, 2, {0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF, 0xFF808080});
    material_.Diffuse = {0.9f, 0.8f, 0.7f, 1};
    material_.Ambient = {1, 1, 1, 1};
  }

  // The world matrix of brick n: turned, stretched and placed on a 3 x 2 grid.
  static D3DMATRIX BrickWorld(int n) {
    D3DMATRIX turn, stretch, turned, place, world;
    MatRotationY(turn, 0.3f * static_cast<float>(n));
    MatScaling(stretch, 1.0f + 0.2f * static_cast<float>(n % 3), 0.8f, 1.0f);
    MatMultiply(turn, stretch, turned);
    MatTranslation(place, -1.2f + 1.2f * static_cast<float>(n % 3), n < 3 ? 0.7f : -0.7f, 0.0f);
    MatMultiply(place, turned, world);
    return world;
  }

  void DrawBrick(const VertexBufferPtr& buffer, uint32_t firstVertex, const TexturePtr& texture, int n) {
    device_->SetTexture(0, texture);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device_->SetMaterial(material_);
    device_->SetStreamSource(0, buffer, sizeof(TexMeshVertex));
    device_->SetVertexShader(kFvfTexMesh);
    device_->SetTransform(D3DTS_WORLD, BrickWorld(n));
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, firstVertex, static_cast<uint32_t>(brick_.size() / 3)),
              D3D_OK);
    device_->SetTexture(0, nullptr);
  }

  // Six bricks from the mesh buffer, brick n with the texture textureOf(n).
  template <typename TextureOf>
  Image BricksFromTheMesh(TextureOf textureOf) {
    Begin();
    for (int n = 0; n < 6; ++n) DrawBrick(mesh_, kFirst, textures_[textureOf(n)], n);
    return Frame();
  }

  // The same bricks each from a buffer of its own: each a GL draw of its own.
  template <typename TextureOf>
  Image BricksOneByOne(TextureOf textureOf) {
    std::vector<VertexBufferPtr> own(6);
    Begin();
    for (int n = 0; n < 6; ++n) {
      EXPECT_EQ(device_->CreateVertexBuffer(static_cast<uint32_t>(brick_.size() * sizeof(TexMeshVertex)), 0,
                                            kFvfTexMesh, D3DPOOL_DEFAULT, own[n]),
                D3D_OK);
      WriteVertices(*own[n], 0, brick_);
      DrawBrick(own[n], 0, textures_[textureOf(n)], n);
    }
    return Frame();
  }

  static constexpr uint32_t kFirst = 360;
  std::vector<TexMeshVertex> brick_;
  VertexBufferPtr mesh_;
  TexturePtr textures_[2];
  D3DMATERIAL8 material_;
};

// A run of bricks that differ only in their world matrix is one instanced draw, lit and
// placed as each brick drawn on its own; a texture changed in the run splits it.
TEST_F(GlBrickRunTest, BricksThatShareTheirStatesAreOneDrawWithThePictureOfEachDrawnAlone) {
  auto same = [](int) { return 0; };
  auto split = [](int n) { return n < 4 ? 0 : 1; };
  const Image oneByOne = BricksOneByOne(same);
  EXPECT_EQ(LastFrameCounts(*device_).GlDrawCalls, 6);
  const Image run = BricksFromTheMesh(same);
  GlFrameCounts counts = LastFrameCounts(*device_);
  EXPECT_EQ(counts.DrawPrimitiveCalls, 6);
  EXPECT_EQ(counts.GlDrawCalls, 1);
  EXPECT_LE(counts.TextureBinds, 1) << "the texture taken away between bricks is never bound";
  EXPECT_LE(MaxChannelDifference(run, oneByOne), 1);
  for (int n = 0; n < 6; ++n) {
    const int x = 32 + static_cast<int>(std::lround((-1.2f + 1.2f * static_cast<float>(n % 3)) * 11.7f));
    EXPECT_NE(run.At(x, n < 3 ? 24 : 40), 0xFF000000u) << "brick " << n;
  }

  const Image splitOneByOne = BricksOneByOne(split);
  const Image splitRun = BricksFromTheMesh(split);
  counts = LastFrameCounts(*device_);
  EXPECT_EQ(counts.GlDrawCalls, 2);
  EXPECT_LE(MaxChannelDifference(splitRun, splitOneByOne), 1);
  EXPECT_GT(MaxChannelDifference(splitRun, run), 16) << "the last two bricks show the second texture";
}

// Opaque bricks of alternating textures wait and are drawn one draw a texture, with the
// picture of each drawn alone; a translucent draw between them is drawn after the bricks
// before it and before the bricks after it.
TEST_F(GlBrickRunTest, OpaqueBricksAreDrawnOneDrawATextureBeforeWhatIsNotOpaque) {
  auto alternate = [](int n) { return n % 2; };
  const Image oneByOne = BricksOneByOne(alternate);
  const Image bucketed = BricksFromTheMesh(alternate);
  EXPECT_EQ(LastFrameCounts(*device_).GlDrawCalls, 2);
  EXPECT_LE(MaxChannelDifference(bucketed, oneByOne), 1);

  // A veil in front of the bricks, blended, writing no depth, between brick 2 and brick 3.
  Begin();
  for (int n = 0; n < 6; ++n) {
    if (n == 3) {
      device_->SetRenderState(D3DRS_LIGHTING, 0);
      device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
      device_->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
      device_->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
      device_->SetRenderState(D3DRS_ZWRITEENABLE, 0);
      device_->SetTransform(D3DTS_WORLD, kIdentityMatrix);
      Draw(ColourSquare(-1, D3DCOLOR_ARGB(128, 255, 255, 255), 3), kFvfColour, D3DPT_TRIANGLESTRIP);
      device_->SetRenderState(D3DRS_LIGHTING, 1);
      device_->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
      device_->SetRenderState(D3DRS_ZWRITEENABLE, 1);
    }
    DrawBrick(mesh_, kFirst, textures_[alternate(n)], n);
  }
  const Image veiled = Frame();
  EXPECT_EQ(LastFrameCounts(*device_).GlDrawCalls, 5);
  EXPECT_GT(Channel(veiled.At(18, 24), 0), Channel(bucketed.At(18, 24), 0) + 15) << "brick 0 under the veil";
  EXPECT_EQ(veiled.At(18, 40), bucketed.At(18, 40)) << "brick 3 over it";
}

// A mesh written again while its run waits: the bricks before the write keep what they were
// drawn with, and the run ends there.
TEST_F(GlBrickRunTest, BricksDrawnBeforeTheirMeshIsWrittenAgainKeepTheirVertices) {
  auto same = [](int) { return 0; };
  const Image before = BricksFromTheMesh(same);
  std::vector<TexMeshVertex> dark = brick_;
  for (TexMeshVertex& v : dark) v.colour = 0xFF000000;
  Begin();
  for (int n = 0; n < 6; ++n) {
    if (n == 3) {
      ASSERT_EQ(WriteVertices(*mesh_, kFirst * sizeof(TexMeshVertex), dark), D3D_OK);
    }
    DrawBrick(mesh_, kFirst, textures_[0], n);
  }
  const Image image = Frame();
  EXPECT_EQ(LastFrameCounts(*device_).GlDrawCalls, 2);
  EXPECT_EQ(image.At(18, 24), before.At(18, 24)) << "the first brick as it was";
  EXPECT_NE(image.At(18, 40), before.At(18, 40)) << "the fourth brick drawn dark";
  WriteVertices(*mesh_, kFirst * sizeof(TexMeshVertex), brick_);
}

// ---- the picture on the window ----

// The window is painted white before Present, so black bars were painted by Present.
TEST_F(GlDeviceTest, BackBufferIsFourByThreeAndPresentCentresItBetweenBlackBars) {
  struct Case {
    const char* what;
    int windowWidth, windowHeight;
    uint32_t width, height;  // asked for; 0 follows the window
    int backWidth, backHeight;
    PictureRect picture;
  };
  const Case cases[] = {
      {"16:9, following the window", 160, 90, 0, 0, 120, 90, {20, 0, 120, 90}},
      {"tall, following the window", 90, 160, 0, 0, 90, 68, {0, 46, 90, 68}},
      {"3:2, following the window", 150, 100, 0, 0, 133, 100, {8, 0, 133, 100}},
      {"16:9, a fixed size scaled up", 160, 90, 64, 48, 64, 48, {20, 0, 120, 90}},
  };
  bool windowReadable = true;
  for (const Case& c : cases) {
    Open(HiddenWindowOptions(c.windowWidth, c.windowHeight), c.width, c.height);
    Begin(0x00FF8000);
    device_->EndScene();
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    device_->Present();
    const Image image = device_->ReadBackBuffer();
    EXPECT_EQ(image.Width, c.backWidth) << c.what;
    EXPECT_EQ(image.Height, c.backHeight) << c.what;
    EXPECT_EQ(image.At(c.backWidth - 1, c.backHeight - 1), 0xFFFF8000u) << c.what << ": a bar in the back buffer";

    // What the window shows, bottom row first as GL keeps it.
    std::vector<uint32_t> shown(static_cast<size_t>(c.windowWidth * c.windowHeight));
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(0, 0, c.windowWidth, c.windowHeight, GL_BGRA, GL_UNSIGNED_BYTE, shown.data());
    auto at = [&](int x, int y) { return shown[static_cast<size_t>(y * c.windowWidth + x)]; };
    const bool pictureShown =
        std::any_of(shown.begin(), shown.end(), [](uint32_t pixel) { return (pixel & 0xFFFFFFu) == 0xFF8000u; });
    if (glGetError() != GL_NO_ERROR || !pictureShown) {
      windowReadable = false;  // the driver does not give the presented picture back
      continue;
    }
    int wrong = 0;
    for (int y = 0; y < c.windowHeight && wrong < 5; ++y)
      for (int x = 0; x < c.windowWidth && wrong < 5; ++x) {
        const bool inside = x >= c.picture.X && x < c.picture.X + c.picture.Width && y >= c.picture.Y &&
                            y < c.picture.Y + c.picture.Height;
        const bool good = inside ? PixelNear(at(x, y), 1, 0x80 / 255.0f, 0) : PixelNear(at(x, y), 0, 0, 0);
        wrong += good ? 0 : 1;
        EXPECT_TRUE(good) << c.what << ": pixel " << x << ", " << y << " (from the bottom) "
                          << (inside ? "in the picture" : "in a bar") << " is " << std::hex << at(x, y);
      }
  }
  if (!windowReadable) GTEST_SKIP() << "the window's pixels cannot be read back after Present here";
}

TEST_F(GlDeviceTest, ResizedWindowGetsANewBackBufferAndTheGamesTexturesLiveOn) {
  Open(HiddenWindowOptions(160, 90), 0, 0);
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  TexturePtr texture = MakeTexture(1, 1, {0xFF3060C0});
  device_->SetTexture(0, texture);
  device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
  std::vector<TexColourVertex> quad;
  for (const ColourVertex& v : ColourSquare(0, 0xFFFFFFFF)) quad.push_back({v.X, v.Y, v.Z, v.Colour, 0, 0});
  auto frame = [&] {
    Begin();
    Draw(quad, kFvfTexColour, D3DPT_TRIANGLESTRIP);
    return Frame();
  };
  Image image = frame();
  ASSERT_EQ(image.Width, 120);
  ASSERT_EQ(image.Height, 90);

  SDL_SetWindowSize(window_->Window(), 100, 200);
  if (window_->DrawableSize() != PixelSize{100, 200}) GTEST_SKIP() << "this video driver does not resize windows";
  frame();  // drawn at the old size; its Present makes the new one
  image = frame();
  EXPECT_EQ(image.Width, 100);
  EXPECT_EQ(image.Height, 75);
  // The square is drawn with the texture made before the resize, in the middle of the new
  // back buffer (about 37 % of its half-width and half-height), so the viewport is new too.
  for (int dx : {-15, 15}) EXPECT_EQ(image.At(50 + dx, 37), 0xFF3060C0u) << dx;
  for (int dx : {-22, 22}) EXPECT_EQ(image.At(50 + dx, 37), 0xFF000000u) << dx;
  for (int dy : {-10, 10}) EXPECT_EQ(image.At(50, 37 + dy), 0xFF3060C0u) << dy;
  for (int dy : {-17, 17}) EXPECT_EQ(image.At(50, 37 + dy), 0xFF000000u) << dy;

  // A fixed size stays as it is whatever the window does.
  Open(HiddenWindowOptions(160, 90), 64, 48);
  SDL_SetWindowSize(window_->Window(), 300, 100);
  frame();
  image = frame();
  EXPECT_EQ(image.Width, 64);
  EXPECT_EQ(image.Height, 48);
}

// A window that does not keep its frames: a frame of its size is drawn straight into it,
// depth test included, and Present copies nothing; another size, or frames read back, go
// through the device's own back buffer again.
TEST_F(GlDeviceTest, FramesOfTheWindowsSizeAreDrawnStraightIntoTheWindow) {
  GlWindowOptions options = HiddenWindowOptions(64, 48);
  options.KeepsFrames = false;
  options.Resizable = true;
  Open(options, 0, 0);
  if (!window_->DrawsFramesDirectly()) GTEST_SKIP() << "this window's buffer has no 24-bit depth";
  device_->SetRenderState(D3DRS_LIGHTING, 0);
  auto frame = [&](D3DCOLOR far) {
    Begin();
    Draw(ColourSquare(0, 0xFFFF0000, 0.5f), kFvfColour, D3DPT_TRIANGLESTRIP);
    Draw(ColourSquare(2, far, 5), kFvfColour, D3DPT_TRIANGLESTRIP);  // behind the first, drawn after it
    device_->EndScene();
  };
  auto windowPixel = [](int x, int y) {  // from the top left, as the back buffer is read
    uint32_t pixel = 0;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadPixels(x, 47 - y, 1, 1, GL_BGRA, GL_UNSIGNED_BYTE, &pixel);
    return pixel | 0xFF000000u;
  };

  frame(0xFF00FF00);
  EXPECT_EQ(windowPixel(32, 24), 0xFFFF0000u) << "the nearer square, though drawn first";
  EXPECT_EQ(windowPixel(2, 2), 0xFF00FF00u);
  device_->Present();
  EXPECT_EQ(LastFrameCounts(*device_).BackBufferCopies, 0);

  SDL_SetWindowSize(window_->Window(), 160, 90);
  if (window_->DrawableSize() != PixelSize{160, 90}) GTEST_SKIP() << "this video driver does not resize windows";
  frame(0xFF00FF00);  // drawn at the old size; its Present makes the back buffer 120 x 90
  device_->Present();
  frame(0xFF00FF00);
  device_->Present();
  EXPECT_EQ(LastFrameCounts(*device_).BackBufferCopies, 1) << "with bars beside it";

  SDL_SetWindowSize(window_->Window(), 64, 48);
  frame(0xFF00FF00);
  device_->Present();
  frame(0xFF0000FF);
  device_->Present();
  EXPECT_EQ(LastFrameCounts(*device_).BackBufferCopies, 0);
  device_->ReadBackBuffer();  // what the window holds after a swap; later frames are kept for reading
  frame(0xFF0000FF);
  device_->Present();
  EXPECT_EQ(LastFrameCounts(*device_).BackBufferCopies, 1);
  const Image image = device_->ReadBackBuffer();
  EXPECT_EQ(image.At(32, 24), 0xFFFF0000u);
  EXPECT_EQ(image.At(2, 2), 0xFF0000FFu);
}

TEST_F(GlDeviceTest, SoftwareRendererCapsTheShownWindowsBackBufferButNotAHiddenOnes) {
  const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
  if (renderer == nullptr || !IsSoftwareRenderer(renderer)) GTEST_SKIP() << "not a software renderer";
  GlWindowOptions shown = HiddenWindowOptions(1440, 1080);
  shown.CapSoftwareBackBuffer = true;  // as the player's window has it
  struct Case {
    const char* what;
    GlWindowOptions options;
    uint32_t width, height;
    int backWidth, backHeight;
  };
  const Case cases[] = {
      {"player's window, following it", shown, 0, 0, 720, 540},
      {"player's window, a resolution past the cap", shown, 1024, 768, 720, 540},
      {"player's window, a resolution within the cap", shown, 640, 480, 640, 480},
      {"hidden window", HiddenWindowOptions(1440, 1080), 0, 0, 1440, 1080},
  };
  for (const Case& c : cases) {
    Open(c.options, c.width, c.height);
    Begin(0x00204080);
    const Image image = Frame();
    EXPECT_EQ(image.Width, c.backWidth) << c.what;
    EXPECT_EQ(image.Height, c.backHeight) << c.what;
  }
}

// ---- smooth edges ----

class GlSmoothEdgesTest : public GlDeviceTest {
 protected:
  // A device of the window's 4:3 picture or of kSize x kSize, with smooth edges or without.
  void OpenSmooth(bool smooth, const GlWindowOptions& options = HiddenWindowOptions(kSize, kSize)) {
    Open(options, options.KeepsFrames ? kSize : 0, options.KeepsFrames ? kSize : 0, smooth);
    device_->SetRenderState(D3DRS_LIGHTING, 0);
    device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
  }

  // A presented frame of a white triangle on black whose long side runs across the pixels at a slant.
  void PresentSlantedTriangle() {
    Begin();
    Draw(
        std::vector<ColourVertex>{
            {-1.5f, 1.2f, 0, 0xFFFFFFFF}, {1.3f, 0.4f, 0, 0xFFFFFFFF}, {-1.0f, -1.5f, 0, 0xFFFFFFFF}},
        kFvfColour, D3DPT_TRIANGLELIST);
    device_->EndScene();
    device_->Present();
  }

  struct Shades {
    int Between = 0, White = 0;  // pixels neither black nor white (the red channel), white ones
  };
  static Shades ShadesOf(const std::vector<uint32_t>& pixels) {
    Shades shades;
    for (const uint32_t pixel : pixels) {
      const int red = Channel(pixel, 16);
      shades.Between += red > 16 && red < 239 ? 1 : 0;
      shades.White += red == 255 ? 1 : 0;
    }
    return shades;
  }

  // The square of `half` at depth 0 showing the whole of the bound texture, linearly filtered.
  void DrawPicture(float half) {
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    Draw(std::vector<TexColourVertex>{{-half, half, 0, 0xFFFFFFFF, 0, 0},
                                      {half, half, 0, 0xFFFFFFFF, 1, 0},
                                      {-half, -half, 0, 0xFFFFFFFF, 0, 1},
                                      {half, -half, 0, 0xFFFFFFFF, 1, 1}},
         kFvfTexColour, D3DPT_TRIANGLESTRIP);
  }

  // A 64 x 64 picture of one-texel white and black columns, as thin as a small letter's strokes.
  TexturePtr FineLines() {
    std::vector<uint32_t> texels(64 * 64);
    for (size_t i = 0; i < texels.size(); ++i) texels[i] = i % 2 == 0 ? 0xFFFFFFFFu : 0xFF000000u;
    return MakeTexture(64, 64, texels);
  }

  // The lowest and highest red along the middle row of the picture drawn at about half its size.
  static std::pair<int, int> RedRangeAcross(const Image& image) {
    int lowest = 255, highest = 0;
    for (int x = kSize / 2 - 12; x < kSize / 2 + 12; ++x) {
      lowest = std::min(lowest, Channel(image.At(x, kSize / 2), 16));
      highest = std::max(highest, Channel(image.At(x, kSize / 2), 16));
    }
    return {lowest, highest};
  }

  static constexpr float kHalfSize = 1.3f;  // the square is then 30 pixels wide, about half the picture's 64 texels
  static constexpr float kLargerThanTheScreen = 3.0f;
  static constexpr int kWindowHeight = kSize * 3 / 4;
};

// The edge of a multisampled frame takes the share of each pixel the triangle covers, as it is
// shown and as it is read back; without smooth edges every pixel is the triangle's or the
// background's.
TEST_F(GlSmoothEdgesTest, MultisampledFramesShadeTheirEdgesAndPlainFramesDoNot) {
  for (const bool smooth : {false, true}) {
    OpenSmooth(smooth);
    PresentSlantedTriangle();
    const Shades shades = ShadesOf(device_->ReadBackBuffer().Argb);
    EXPECT_GT(shades.White, 200) << "the triangle's inside, smooth " << smooth;
    if (smooth)
      EXPECT_GT(shades.Between, 20) << "the slanted edges";
    else
      EXPECT_EQ(shades.Between, 0);
    EXPECT_EQ(LastFrameCounts(*device_).BackBufferCopies, 1) << "the frame shown on the window";
  }
}

// A player's window, which a plain device of its size draws straight into, is shown the
// averaged frame of a smooth device.
TEST_F(GlSmoothEdgesTest, APlayersWindowIsShownTheAveragedFrame) {
  GlWindowOptions options = HiddenWindowOptions(kSize, kWindowHeight);  // 4:3, as the back buffer
  options.KeepsFrames = false;
  OpenSmooth(true, options);
  if (!window_->DrawsFramesDirectly()) GTEST_SKIP() << "this window's buffer has no 24-bit depth";
  PresentSlantedTriangle();
  EXPECT_EQ(LastFrameCounts(*device_).BackBufferCopies, 1);
  std::vector<uint32_t> shown(kSize * kWindowHeight);
  glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
  glReadPixels(0, 0, kSize, kWindowHeight, GL_BGRA, GL_UNSIGNED_BYTE, shown.data());
  const Shades shades = ShadesOf(shown);
  if (glGetError() != GL_NO_ERROR || shades.White == 0) GTEST_SKIP() << "the driver does not give the picture back";
  EXPECT_GT(shades.Between, 20);
}

// Fine lines drawn at half their size beat against the pixels when only the top level is
// sampled; the levels made for smooth edges give their even grey. Drawn larger than their size
// both devices show exactly the same picture.
TEST_F(GlSmoothEdgesTest, PicturesDrawnSmallerThanTheirSizeAreSampledFromTheirSmallerLevels) {
  Image larger[2];
  for (const bool smooth : {false, true}) {
    OpenSmooth(smooth);
    const TexturePtr lines = FineLines();
    device_->SetTexture(0, lines);
    Begin();
    DrawPicture(kHalfSize);
    const auto [lowest, highest] = RedRangeAcross(Frame());
    if (smooth) {
      EXPECT_GT(lowest, 110);
      EXPECT_LT(highest, 145);
    } else {
      EXPECT_GT(highest - lowest, 100) << "the lines alias";
    }
    Begin();
    DrawPicture(kLargerThanTheScreen);
    larger[smooth ? 1 : 0] = Frame();
  }
  EXPECT_EQ(larger[0].Argb, larger[1].Argb);
}

// The levels made for smooth edges follow a picture written anew, and a draw that asks for a mip
// filter of its own still reads the levels the game gave the texture.
TEST_F(GlSmoothEdgesTest, MadeLevelsFollowTheTopLevelAndTheGamesOwnLevelsStayTheGames) {
  OpenSmooth(true);
  TexturePtr texture;
  ASSERT_EQ(device_->CreateTexture(64, 64, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture), D3D_OK);
  auto fill = [&](uint32_t level, D3DCOLOR colour) {
    D3DLOCKED_RECT locked;
    ASSERT_EQ(texture->LockRect(level, locked), D3D_OK);
    std::fill_n(static_cast<uint32_t*>(locked.pBits), texture->Width(level) * texture->Height(level), colour);
    texture->UnlockRect(level);
  };
  fill(0, 0xFFFF0000);
  fill(1, 0xFF00FF00);
  device_->SetTexture(0, texture);
  auto middle = [&] {
    Begin();
    DrawPicture(kHalfSize / 2);
    return Frame().At(kSize / 2, kSize / 2);
  };
  EXPECT_TRUE(PixelNear(middle(), 1, 0, 0)) << "made from the red top level";
  fill(0, 0xFF0000FF);
  EXPECT_TRUE(PixelNear(middle(), 0, 0, 1)) << "made again from the blue one";
  device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_POINT);
  EXPECT_TRUE(PixelNear(middle(), 0, 1, 0)) << "the game's green second level";
  device_->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
  EXPECT_TRUE(PixelNear(middle(), 0, 0, 1));
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(1, locked), D3D_OK);
  EXPECT_EQ(*static_cast<uint32_t*>(locked.pBits), 0xFF00FF00u) << "the game reads the level it wrote";
  texture->UnlockRect(1);
}

}  // namespace
}  // namespace zt
