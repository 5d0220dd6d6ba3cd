// The game's meshes: the reader of the model files listed in data/models.dat, the
// table of the six loaded meshes, their vertices laid out exactly as the two shared
// mesh vertex buffers hold them, and the draw runs each mesh is drawn with.
// Nothing here talks to the graphics device: the drawing code uploads the vertex
// arrays into MeshVB and TexMeshVB, loads the named textures and issues the runs.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/debug_log.h"
#include "core/vecmath.h"

namespace zt {

constexpr int kModelCount = 6;                    // model numbers 0..5
constexpr int32_t kModelBufferVertices = 300000;  // room of MeshVB and of TexMeshVB
constexpr uint32_t kMeshFVF = 0x12;               // position, normal
constexpr uint32_t kTexMeshFVF = 0x152;           // position, normal, diffuse, u v
constexpr int kMeshStride = 24;                   // bytes per MeshVB vertex
constexpr int kTexMeshStride = 36;                // bytes per TexMeshVB vertex
constexpr const char* kModelListFile = "data/models.dat";
constexpr const char* kModelTextureFolder = "data/models/";
constexpr const char* kBrickTextureName = "brick.bmp";  // bricks take the 49 brick textures instead

// Model numbers the game relies on.
constexpr int kBrickLowModel = 0, kBrickMediumModel = 1, kBrickHighModel = 2;
constexpr int kGlassFrameAModel = 3, kGlassFrameBModel = 4, kBombModel = 5;

// One vertex of MeshVB (24 bytes).
struct MeshVertex {
  float X, Y, Z;
  float NX, NY, NZ;
};
// One vertex of TexMeshVB (36 bytes).
struct TexMeshVertex {
  float X, Y, Z;
  float NX, NY, NZ;
  uint32_t Diffuse;  // ARGB
  float U, V;
};
static_assert(sizeof(MeshVertex) == kMeshStride && offsetof(MeshVertex, NX) == 12);
static_assert(sizeof(TexMeshVertex) == kTexMeshStride && offsetof(TexMeshVertex, Diffuse) == 24 &&
              offsetof(TexMeshVertex, U) == 28);

// One DrawPrimitive of a mesh: a triangle list starting at FirstVertex of the mesh's buffer.
struct DrawRun {
  int32_t MaterialIndex;  // into Materials; -1: the model's single Material (or its texture)
  int32_t FirstVertex;
  int32_t TriangleCount;
};

struct TModelInfo {
  int32_t TriangleCount = 0;
  int32_t FirstVertex = 0;  // in TexMeshVB when Textured, else in MeshVB
  bool Textured = false;
  std::string TextureName;  // as written after "TextureFileName"
  std::string TextureFile;  // the texture file to load for the model; empty: none ("brick.bmp")
  bool SingleMaterial = false;
  D3DMATERIAL8 Material{};
  std::vector<D3DMATERIAL8> Materials;
  std::vector<int32_t> FaceMaterials;  // material number of each triangle
  // The draw calls of Draw, in triangle order: one for a textured or single-material
  // model, one per run of equal FaceMaterials otherwise. Worked out once at loading.
  std::vector<DrawRun> Runs;
};

// The loaded meshes and the contents of the two mesh vertex buffers.
struct ModelSet {
  std::array<TModelInfo, kModelCount> ModelTable{};
  uint8_t NextModelIndex = 0;                   // the record the next LoadModel fills
  std::vector<MeshVertex> PlainVertices;        // MeshVB from vertex 0; size = PlainVertexCount
  std::vector<TexMeshVertex> TexturedVertices;  // TexMeshVB from vertex 0; size = TexturedVertexCount
  int32_t PlainVertexCount() const { return static_cast<int32_t>(PlainVertices.size()); }
  int32_t TexturedVertexCount() const { return static_cast<int32_t>(TexturedVertices.size()); }
};

// Reads data/models.dat under gameDir (empty: the working directory) and loads each
// listed file, in order, into the next record, logging "<line> - done" after each.
// Blank lines are skipped. Throws LoadError when the list or a mesh is missing or
// malformed, when fewer than six meshes are listed, or when a brick mesh is not textured.
void InitModels(ModelSet& models, const DebugLog& log, const std::filesystem::path& gameDir = {});

// The same with the list's text already in memory (the meshes are still read from files).
void InitModelsFromList(ModelSet& models, const std::string& listText, const DebugLog& log,
                        const std::filesystem::path& gameDir = {});

// Loads one model file (path as written in the list, opened under gameDir) into
// ModelTable[NextModelIndex] and appends its vertices to its buffer. Throws LoadError
// naming the file when it cannot be read or is rejected; the set is then unchanged
// apart from the log.
void LoadModel(ModelSet& models, const std::string& path, const DebugLog& log,
               const std::filesystem::path& gameDir = {});

// The same for a model file's text already in memory; `path` only names it.
void LoadModelFromText(ModelSet& models, const std::string& path, const std::string& text, const DebugLog& log);

// The texture file a model's "TextureFileName" names, relative to the game folder;
// empty for "brick.bmp", which takes no texture of its own.
std::string LoadModelTexture(const std::string& name);

}  // namespace zt
