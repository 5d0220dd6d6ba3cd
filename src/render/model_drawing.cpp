#include "render/model_drawing.h"

#include <algorithm>

namespace zt {

void FillMeshBuffers(SceneResources& scene) {
  if (scene.MeshVB) WriteVertices(*scene.MeshVB, 0, scene.Models.PlainVertices);
  if (scene.TexMeshVB) WriteVertices(*scene.TexMeshVB, 0, scene.Models.TexturedVertices);
}

void LoadModelTextures(Device& device, SceneResources& scene) {
  for (int n = 0; n < kModelCount; ++n) {
    const TModelInfo& info = scene.Models.ModelTable[static_cast<size_t>(n)];
    TexturePtr& texture = scene.ModelTextures[static_cast<size_t>(n)];
    Release(texture);
    if (!info.TextureFile.empty()) LoadSceneTexture(device, scene, info.TextureFile, 0, texture);
  }
}

void DrawMesh(Device& device, const SceneResources& scene, uint8_t modelIndex, const D3DMATRIX& world,
              const TexturePtr& texture) {
  if (modelIndex >= kModelCount) return;
  const TModelInfo& info = scene.Models.ModelTable[modelIndex];
  if (info.Textured) {
    device.SetTexture(0, texture);
    device.SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device.SetMaterial(scene.SceneMaterial);
    device.SetStreamSource(0, scene.TexMeshVB, kTexMeshStride);
    device.SetVertexShader(kFvfTexMesh);
    device.SetTransform(D3DTS_WORLD, world);
    for (const DrawRun& run : info.Runs)
      device.DrawPrimitive(D3DPT_TRIANGLELIST, static_cast<uint32_t>(run.FirstVertex),
                           static_cast<uint32_t>(run.TriangleCount));
    device.SetTexture(0, nullptr);
    return;
  }
  device.SetStreamSource(0, scene.MeshVB, kMeshStride);
  device.SetVertexShader(kFvfMesh);
  device.SetTransform(D3DTS_WORLD, world);
  for (const DrawRun& run : info.Runs) {
    const bool own = run.MaterialIndex >= 0 && static_cast<size_t>(run.MaterialIndex) < info.Materials.size();
    device.SetMaterial(own ? info.Materials[static_cast<size_t>(run.MaterialIndex)] : info.Material);
    device.DrawPrimitive(D3DPT_TRIANGLELIST, static_cast<uint32_t>(run.FirstVertex),
                         static_cast<uint32_t>(run.TriangleCount));
  }
}

void Draw(Device& device, const SceneResources& scene, const TModel& model) {
  static const TexturePtr kNone;
  DrawMesh(device, scene, model.ModelIndex, model.Matrix,
           model.ModelIndex < kModelCount ? scene.ModelTextures[model.ModelIndex] : kNone);
}

void Draw(Device& device, const SceneResources& scene, const TBrick& brick, int32_t brickQuality) {
  const auto mesh = static_cast<uint8_t>(std::clamp(brickQuality, kBrickLowModel, kBrickHighModel));
  static const TexturePtr kNone;
  const bool known = brick.Color >= 1 && brick.Color <= kBrickColors;
  DrawMesh(device, scene, mesh, brick.Matrix, known ? scene.BrickTextures[static_cast<size_t>(brick.Color)] : kNone);
}

D3DMATRIX FigureBrickMatrix(const TFigure& figure, int i, int j) {
  D3DMATRIX matrix = figure.ScaleMatrix;
  matrix(4, 3) = figure.Matrix(4, 3);
  if (figure.Turning) {
    const float dx = static_cast<float>(j) - 1.5f;
    const float dy = 1.0f - static_cast<float>(i);
    matrix(4, 1) += dx;
    matrix(4, 2) += dy;
    D3DMATRIX turned;
    MatMultiply(figure.TurnMatrix, matrix, turned);
    matrix = turned;
    matrix(4, 1) -= dx;
    matrix(4, 2) -= dy;
  }
  const float scale = figure.Scale;
  matrix(4, 1) += figure.PosX + static_cast<float>(j) * scale + (1 - scale) * 2;
  matrix(4, 2) += figure.PosY - static_cast<float>(i) * scale - (1 - scale) * 2;
  return matrix;
}

void Draw(Device& device, const SceneResources& scene, const TFigure& figure, const FigureShapes& shapes,
          int32_t brickQuality) {
  if (figure.Color < 1 || figure.Color > kFigureCount || figure.Turn < 1 || figure.Turn > kTurnCount) return;
  const FigureGrid& shape = shapes.Shape(figure.Color, figure.Turn);
  TBrick brick;
  brick.Color = figure.Color;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      if (shape[static_cast<size_t>(i)][static_cast<size_t>(j)] == 0) continue;
      brick.Matrix = FigureBrickMatrix(figure, i, j);
      Draw(device, scene, brick, brickQuality);
    }
}

}  // namespace zt
