#include "render/model_drawing.h"

#include <algorithm>
#include <optional>

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

namespace {

struct CellPoint {
  float X = 0, Y = 0;  // cells right of grid cell (0, 0) and up from it
};

// The middle of a shape's filled cells; none for an empty shape.
std::optional<CellPoint> MiddleOf(const FigureGrid& shape) {
  CellPoint sum;
  int count = 0;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      if (shape[static_cast<size_t>(i)][static_cast<size_t>(j)] == 0) continue;
      sum.X += static_cast<float>(j);
      sum.Y -= static_cast<float>(i);
      ++count;
    }
  if (count == 0) return std::nullopt;
  return CellPoint{sum.X / static_cast<float>(count), sum.Y / static_cast<float>(count)};
}

}  // namespace

TurnPivot PivotOfTurn(const FigureGrid& from, const FigureGrid& to, bool clockwise) {
  const std::optional<CellPoint> start = MiddleOf(from), end = MiddleOf(to);
  if (!start || !end) return {};
  // The quarter turn R about p carries the one middle onto the other: to = p + R (from - p),
  // so p = (I - R)^-1 (to - R from). Clockwise R (x, y) = (y, -x); the other way (-y, x).
  if (clockwise) {
    const float vx = end->X - start->Y, vy = end->Y + start->X;
    return {(vx + vy) / 2, (vy - vx) / 2};
  }
  const float vx = end->X + start->Y, vy = end->Y - start->X;
  return {(vx - vy) / 2, (vx + vy) / 2};
}

D3DMATRIX FigureBrickMatrix(const TFigure& figure, const TurnPivot& pivot, int i, int j) {
  const float scale = figure.Scale;
  D3DMATRIX matrix = figure.ScaleMatrix;
  matrix(4, 3) = figure.Matrix(4, 3);
  if (figure.Turning) {
    // The brick's offset from the pivot, turned, and the pivot added back below.
    const float dx = (static_cast<float>(j) - pivot.X) * scale;
    const float dy = (-static_cast<float>(i) - pivot.Y) * scale;
    matrix(4, 1) += dx;
    matrix(4, 2) += dy;
    D3DMATRIX turned;
    MatMultiply(figure.TurnMatrix, matrix, turned);
    matrix = turned;
    matrix(4, 1) -= dx;
    matrix(4, 2) -= dy;
  }
  matrix(4, 1) += figure.PosX + static_cast<float>(j) * scale + (1 - scale) * 2;
  matrix(4, 2) += figure.PosY - static_cast<float>(i) * scale - (1 - scale) * 2;
  return matrix;
}

void Draw(Device& device, const SceneResources& scene, const TFigure& figure, const FigureShapes& shapes,
          bool clockwise, int32_t brickQuality) {
  if (figure.Color < 1 || figure.Color > kFigureCount || figure.Turn < 1 || figure.Turn > kTurnCount) return;
  const FigureGrid& shape = shapes.Shape(figure.Color, figure.Turn);
  const TurnPivot pivot =
      figure.Turning ? PivotOfTurn(shape, shapes.Shape(figure.Color, TurnAfter(figure.Turn, clockwise)), clockwise)
                     : TurnPivot{};
  TBrick brick;
  brick.Color = figure.Color;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) {
      if (shape[static_cast<size_t>(i)][static_cast<size_t>(j)] == 0) continue;
      brick.Matrix = FigureBrickMatrix(figure, pivot, i, j);
      Draw(device, scene, brick, brickQuality);
    }
}

}  // namespace zt
