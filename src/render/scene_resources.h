// The resources the game scene and the menu are drawn with: the fixed camera, the two
// lights and the one material, the shared vertex buffers (the quads, the trail, the
// dimming overlay and the two mesh buffers), the pictures of the loading screen, the
// bars, the trail, the interruption pictures, the game backgrounds, the 49 tinted brick
// textures, the menu pictures, the loaded meshes and the placed glass frames and bomb.
// Everything is made once during loading, step by step, and released piece by piece.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "core/high_score_table.h"
#include "device/device.h"
#include "game/glass.h"
#include "render/model_file.h"

namespace zt {

constexpr int kBrickColors = 49;   // brick colours 1..49
constexpr int kStatePictures = 3;  // 1 game over, 2 pause, 3 abort question
constexpr int kMenuPictureCount = 24;

// Camera: the eye in front of the glass centre, looking along +z.
constexpr float kCameraZ = -19.0f;
constexpr float kFieldOfView = 1.0f;  // radians
constexpr float kAspect = 0.75f;      // fixed: other than 4:3 back buffers stretch the picture
constexpr float kNearPlane = 1.0f;
constexpr float kFarPlane = 25.0f;
constexpr D3DCOLOR kSceneAmbient = 0x00454545;
constexpr D3DCOLOR kSceneClearColour = 0x000555A5;  // every frame (loading, menu, game) is cleared to it

constexpr uint32_t kQuadVBBytes = 192;     // 8 vertices: 0..3 the unit quad, 4..7 the bar quad
constexpr uint32_t kTrailVBBytes = 96;     // 4 vertices
constexpr uint32_t kShadeVBBytes = 64;     // 4 vertices
constexpr uint32_t kMenuQuadVBBytes = 96;  // 4 vertices
constexpr uint32_t kMeshVBBytes = kModelBufferVertices * kMeshStride;        // 7,200,000
constexpr uint32_t kTexMeshVBBytes = kModelBufferVertices * kTexMeshStride;  // 10,800,000

// Shows the loading bar at a fraction 0..1 while a loading step runs.
using LoadingProgress = std::function<void(float fraction)>;

struct SceneResources {
  std::filesystem::path GameDir;  // the game folder every file name is taken from; empty: the working directory
  D3DFORMAT TextureFormat = D3DFMT_A8R8G8B8;  // chosen by the device at loading

  D3DMATRIX View = kIdentityMatrix, Projection = kIdentityMatrix;
  D3DMATERIAL8 SceneMaterial{};

  VertexBufferPtr MeshVB, TexMeshVB;  // the meshes, filled from Models
  VertexBufferPtr QuadVB, TrailVB, ShadeVB;
  VertexBufferPtr MenuQuadVB;  // the translucent grey quad behind the help and high-score pages

  // The loading screen, the bars and the trail.
  TexturePtr Intro, LoadingBar, BarFrame2, BarFill2, BarFrame3, BarFill3, MotionBlur;
  std::array<TexturePtr, kStatePictures + 1> StateTextures;  // [1..3]; [0] unused
  std::array<TexturePtr, kGameTypes + 1> GameBackgrounds;    // [1..5] by game type; [0] unused
  std::array<TexturePtr, kBrickColors + 1> BrickTextures;    // [1..49] by brick colour; [0] unused
  std::array<TexturePtr, kMenuPictureCount> MenuPictures;    // [0..23], see menu_drawing.h

  ModelSet Models;                                    // the six meshes and their buffer contents
  std::array<TexturePtr, kModelCount> ModelTextures;  // a mesh's own texture, when it names one
  TModel GlassFrameA, GlassFrameB, Bomb;              // the placed glass frames and bomb

  // The file name under GameDir, with forward slashes.
  std::string PathOf(const std::string& file) const;
};

// One texture from a file: the picture's own size, a full mip chain, TextureFormat,
// the managed pool, triangle filter, colour key as given (0: none). A missing or
// unreadable file leaves the texture empty, and what is drawn with it is untextured.
void LoadSceneTexture(Device& device, const SceneResources& scene, const std::string& file, D3DCOLOR colorKey,
                      TexturePtr& out);

// The view and the projection of the fixed camera, kept and set on the device.
void SetupCamera(Device& device, SceneResources& scene);
// Where the fixed camera's picture ends on the right in the plane z (world units, z beyond the
// near plane): nothing wholly to the right of it shows, whatever the back buffer's size.
float PictureRightEdge(float z);
// The directional light 1 and the point light 4 over the glass, both enabled, and the ambient state.
void SetupLights(Device& device);
// The render states of the solid 3D scene the game and the menu both draw: culling, lighting,
// Gouraud shading, solid fill, dithering, depth test and linear texture filters.
void SetSolidSceneStates(Device& device, bool specular);
void InitSceneMaterial(SceneResources& scene);  // white, specular power 60

// Loading steps for the pictures of the scene.
void InitTexturesLoading(Device& device, SceneResources& scene);  // intro and loading bar
void InitBarTextures(Device& device, SceneResources& scene);      // bar frames and fills 2 and 3
void InitMotionBlurTexture(Device& device, SceneResources& scene);
void InitTexturesBreakGameStates(Device& device, SceneResources& scene);
// The five game backgrounds, with the loading bar shown after each (0.33, 0.34, 0.3567, 0.39, 0.49).
void InitTexturesBkGrGame(Device& device, SceneResources& scene, const LoadingProgress& progress);

// The vertex buffers. The mesh buffers' creation result is returned for the caller's report.
HRESULT CreateMeshBuffers(Device& device, SceneResources& scene);  // MeshVB, then TexMeshVB
void InitVBMenu(Device& device, SceneResources& scene);            // QuadVB with the unit quad in vertices 0..3
void CreateTrailVB(Device& device, SceneResources& scene);         // created and filled
void CreateShadeVB(Device& device, SceneResources& scene);         // created empty
// QuadVB vertices 4..7: the bar quad showing the left part f (0..1) of its texture unscaled.
void FillBarQuad(SceneResources& scene, float f);
// ShadeVB: the overlay in black at opacity a (0..255).
void SetShadeAlpha(SceneResources& scene, int32_t a);

// The placed meshes: the two glass frames (log "GlassFrame - done" follows) and the bomb
// (log "BombModel - done" follows; its translation is replaced each frame it is drawn).
void InitGlassFrames(SceneResources& scene);
void InitBombModel(SceneResources& scene);

// The pieces released by the shutdown and by a fatal device error, each reference only if
// present; the order of the calls is the caller's.
void ReleaseSceneTextures(SceneResources& scene);  // intro, loading bar, bar frames and fills, motion blur
void ReleaseBrickTextures(SceneResources& scene);
void ReleaseModelTextures(SceneResources& scene);
void ReleaseStateTextures(SceneResources& scene);
void ReleaseMeshBuffers(SceneResources& scene);  // MeshVB, TexMeshVB
void ReleaseGameBackgrounds(SceneResources& scene);
void ReleaseTrailAndShade(SceneResources& scene);  // TrailVB, ShadeVB
// The buffers a full-screen restore releases before it makes a new device (the font's
// buffer is the text drawing's): MeshVB, TexMeshVB, QuadVB, ShadeVB, MenuQuadVB.
void ReleaseBuffersForRestore(SceneResources& scene);

}  // namespace zt
