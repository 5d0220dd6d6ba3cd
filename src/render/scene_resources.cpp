#include "render/scene_resources.h"

#include <algorithm>
#include <cmath>

namespace zt {

namespace {

constexpr D3DCOLOR kOpaqueWhite = 0xFFFFFFFFu;
constexpr D3DCOLOR kTrailColour = 0x91FFFFFFu;  // white at 145/255

// A quad strip from y = top down to y = top - 1, x from -0.5 to right, texture u to uRight.
std::array<TexColourVertex, 4> Quad(float top, float right, float uRight, D3DCOLOR colour) {
  return {{{-0.5f, top, 0, colour, 0, 0},
           {right, top, 0, colour, uRight, 0},
           {-0.5f, top - 1, 0, colour, 0, 1},
           {right, top - 1, 0, colour, uRight, 1}}};
}

}  // namespace

std::string SceneResources::PathOf(const std::string& file) const {
  std::string name = file;
  std::replace(name.begin(), name.end(), '\\', '/');
  return GameDir.empty() ? name : (GameDir / name).string();
}

void LoadSceneTexture(Device& device, const SceneResources& scene, const std::string& file, D3DCOLOR colorKey,
                      TexturePtr& out) {
  Release(out);
  device.LoadTextureFromFile(scene.PathOf(file), 0, 0, 0, 0, scene.TextureFormat, D3DPOOL_MANAGED, D3DX_FILTER_TRIANGLE,
                             D3DX_DEFAULT, colorKey, out);
}

void SetupCamera(Device& device, SceneResources& scene) {
  SetViewMatrix(scene.View, MakeVector(kGlassCenterX, kGlassCenterY, kCameraZ),
                MakeVector(kGlassCenterX, kGlassCenterY, 0), MakeVector(0, 1, 0));
  SetProjectionMatrix(scene.Projection, kFieldOfView, kAspect, kNearPlane, kFarPlane);
  device.SetTransform(D3DTS_VIEW, scene.View);
  device.SetTransform(D3DTS_PROJECTION, scene.Projection);
}

float PictureRightEdge(float z) { return kGlassCenterX + (z - kCameraZ) * std::tan(kFieldOfView / 2) / kAspect; }

void SetupLights(Device& device) {
  D3DLIGHT8 sun;
  InitDirectionalLight(MakeVector(0, -1, 1), sun, 0.4f, 0.4f, 0.4f, 0);
  sun.Specular = {0.3f, 0.3f, 0.3f, 0};
  sun.Ambient = {0.05f, 0.05f, 0.05f, 0};

  D3DLIGHT8 lamp;
  lamp.Type = D3DLIGHT_POINT;
  lamp.Diffuse = {0.3f, 0.3f, 0.3f, 0};
  lamp.Specular = {1, 1, 1, 0};
  lamp.Ambient = {0.6f, 0.6f, 0.6f, 0};
  lamp.Position = MakeVector(kGlassCenterX, kGlassCenterY, -2.0f);
  lamp.Range = 10;
  lamp.Attenuation0 = 1.0f;
  lamp.Attenuation1 = 0.5f;
  lamp.Attenuation2 = 0;

  device.SetLight(1, sun);
  device.LightEnable(1, true);
  device.SetLight(4, lamp);
  device.LightEnable(4, true);
  device.SetRenderState(D3DRS_AMBIENT, kSceneAmbient);
}

void InitSceneMaterial(SceneResources& scene) {
  InitMaterial(scene.SceneMaterial, 1, 1, 1, 0);
  scene.SceneMaterial.Specular = scene.SceneMaterial.Diffuse;
  scene.SceneMaterial.Power = 60.0f;
}

void InitTexturesLoading(Device& device, SceneResources& scene) {
  LoadSceneTexture(device, scene, "textures/intro.bmp", 0, scene.Intro);
  LoadSceneTexture(device, scene, "textures/loadingprogress.bmp", 0, scene.LoadingBar);
}

void InitBarTextures(Device& device, SceneResources& scene) {
  LoadSceneTexture(device, scene, "textures/loadingline2.bmp", 0, scene.BarFrame2);
  LoadSceneTexture(device, scene, "textures/progressline2.bmp", 0, scene.BarFill2);
  LoadSceneTexture(device, scene, "textures/loadingline3.tga", 0, scene.BarFrame3);
  LoadSceneTexture(device, scene, "textures/progressline3.tga", 0, scene.BarFill3);
}

void InitMotionBlurTexture(Device& device, SceneResources& scene) {
  LoadSceneTexture(device, scene, "textures/motionblur.tga", 0, scene.MotionBlur);
}

void InitTexturesBreakGameStates(Device& device, SceneResources& scene) {
  LoadSceneTexture(device, scene, "textures/gameover.bmp", 0, scene.StateTextures[1]);
  LoadSceneTexture(device, scene, "textures/pause.bmp", 0, scene.StateTextures[2]);
  LoadSceneTexture(device, scene, "textures/abortgame.bmp", 0, scene.StateTextures[3]);
}

void InitTexturesBkGrGame(Device& device, SceneResources& scene, const LoadingProgress& progress) {
  static constexpr const char* kFiles[kGameTypes] = {"textures/bkgrgame.bmp", "textures/bkgrgame2.bmp",
                                                     "textures/bkgrgame3.bmp", "textures/bkgrgame4.bmp",
                                                     "textures/bkgrgame5.bmp"};
  for (int t = 1; t <= kGameTypes; ++t) {
    LoadSceneTexture(device, scene, kFiles[t - 1], 0, scene.GameBackgrounds[static_cast<size_t>(t)]);
    if (progress) progress(0.2f / static_cast<float>(6 - t) + 0.29f);
  }
}

HRESULT CreateMeshBuffers(Device& device, SceneResources& scene) {
  Release(scene.MeshVB);
  Release(scene.TexMeshVB);
  HRESULT result = device.CreateVertexBuffer(kMeshVBBytes, 0, kFvfMesh, D3DPOOL_DEFAULT, scene.MeshVB);
  if (Failed(result)) return result;
  return device.CreateVertexBuffer(kTexMeshVBBytes, 0, kFvfTexMesh, D3DPOOL_DEFAULT, scene.TexMeshVB);
}

void InitVBMenu(Device& device, SceneResources& scene) {
  Release(scene.QuadVB);
  device.CreateVertexBuffer(kQuadVBBytes, 0, kFvfTexColour, D3DPOOL_DEFAULT, scene.QuadVB);
  if (scene.QuadVB) WriteVertices(*scene.QuadVB, 0, Quad(0.5f, 0.5f, 1, kOpaqueWhite));
}

void FillBarQuad(SceneResources& scene, float f) {
  if (scene.QuadVB) WriteVertices(*scene.QuadVB, 4 * sizeof(TexColourVertex), Quad(0.5f, f - 0.5f, f, kOpaqueWhite));
}

void CreateTrailVB(Device& device, SceneResources& scene) {
  Release(scene.TrailVB);
  device.CreateVertexBuffer(kTrailVBBytes, 0, kFvfTexColour, D3DPOOL_DEFAULT, scene.TrailVB);
  if (scene.TrailVB) WriteVertices(*scene.TrailVB, 0, Quad(1, 0.5f, 1, kTrailColour));
}

void CreateShadeVB(Device& device, SceneResources& scene) {
  Release(scene.ShadeVB);
  device.CreateVertexBuffer(kShadeVBBytes, 0, kFvfColour, D3DPOOL_DEFAULT, scene.ShadeVB);
}

void SetShadeAlpha(SceneResources& scene, int32_t a) {
  const D3DCOLOR colour = D3DCOLOR_ARGB(static_cast<uint32_t>(std::clamp(a, 0, 255)), 0, 0, 0);
  const std::array<ColourVertex, 4> vertices = {
      {{-0.5f, 0.5f, 0, colour}, {0.5f, 0.5f, 0, colour}, {-0.5f, -0.5f, 0, colour}, {0.5f, -0.5f, 0, colour}}};
  if (scene.ShadeVB) WriteVertices(*scene.ShadeVB, 0, vertices);
}

void InitGlassFrames(SceneResources& scene) {
  for (TModel* frame : {&scene.GlassFrameA, &scene.GlassFrameB}) {
    frame->ModelIndex = frame == &scene.GlassFrameA ? kGlassFrameAModel : kGlassFrameBModel;
    frame->Matrix = ScaledAt(1.03f, 0.98f, 1, kGlassCenterX, kGlassCenterY, 0);
    frame->Matrix(4, 3) -= 0.3f;
  }
}

void InitBombModel(SceneResources& scene) {
  scene.Bomb.ModelIndex = kBombModel;
  D3DMATRIX spin, tilt, scaling, translation, turned, sized;
  MatRotationZ(spin, 1.2566371f);
  MatRotationX(tilt, -1.5707964f);
  MatScaling(scaling, 0.058343057f, 0.0575374f, 0.0362713f);
  MatTranslation(translation, 0, 0, 0);
  MatMultiply(tilt, spin, turned);
  MatMultiply(scaling, turned, sized);
  MatMultiply(translation, sized, scene.Bomb.Matrix);
}

void ReleaseSceneTextures(SceneResources& scene) {
  for (TexturePtr* texture : {&scene.Intro, &scene.LoadingBar, &scene.BarFrame2, &scene.BarFrame3, &scene.BarFill2,
                              &scene.BarFill3, &scene.MotionBlur})
    Release(*texture);
}

void ReleaseBrickTextures(SceneResources& scene) {
  for (TexturePtr& texture : scene.BrickTextures) Release(texture);
}

void ReleaseModelTextures(SceneResources& scene) {
  for (TexturePtr& texture : scene.ModelTextures) Release(texture);
}

void ReleaseStateTextures(SceneResources& scene) {
  for (TexturePtr& texture : scene.StateTextures) Release(texture);
}

void ReleaseMeshBuffers(SceneResources& scene) {
  Release(scene.MeshVB);
  Release(scene.TexMeshVB);
}

void ReleaseGameBackgrounds(SceneResources& scene) {
  for (TexturePtr& texture : scene.GameBackgrounds) Release(texture);
}

void ReleaseTrailAndShade(SceneResources& scene) {
  Release(scene.TrailVB);
  Release(scene.ShadeVB);
}

void ReleaseBuffersForRestore(SceneResources& scene) {
  ReleaseMeshBuffers(scene);
  Release(scene.QuadVB);
  Release(scene.ShadeVB);
  Release(scene.MenuQuadVB);
}

void SetSolidSceneStates(Device& device, bool specular) {
  device.SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
  device.SetRenderState(D3DRS_LIGHTING, 1);
  device.SetRenderState(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
  device.SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
  device.SetRenderState(D3DRS_DITHERENABLE, 1);
  device.SetRenderState(D3DRS_SPECULARENABLE, specular ? 1 : 0);
  device.SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
  device.SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
  device.SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
}

}  // namespace zt
