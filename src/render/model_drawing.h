// Drawing the meshes: the two mesh vertex buffers filled from the loaded model set, the
// meshes' own textures, and the Draw of a placed model, of a brick (in its colour, at the
// chosen brick quality) and of a figure (one brick per filled cell of its shape).
#pragma once

#include "device/device.h"
#include "game/figure.h"
#include "game/figure_shapes.h"
#include "render/scene_resources.h"

namespace zt {

// Copies every loaded mesh vertex into MeshVB and TexMeshVB (from vertex 0 on, in load
// order). Called after the meshes are read and again whenever the buffers are made anew.
void FillMeshBuffers(SceneResources& scene);
// Loads the texture of each mesh that names one of its own (from data/models/).
void LoadModelTextures(Device& device, SceneResources& scene);

// Mesh modelIndex of the model table at `world`: a textured mesh from TexMeshVB with `texture`,
// modulated, in the scene material; a plain mesh from MeshVB in its own material, or run by run
// in the material of each run. Render states besides these are the caller's.
void DrawMesh(Device& device, const SceneResources& scene, uint8_t modelIndex, const D3DMATRIX& world,
              const TexturePtr& texture);
// A model with its own texture (the glass frames, the bomb).
void Draw(Device& device, const SceneResources& scene, const TModel& model);
// A brick: the brick mesh of `brickQuality` (0..2), whatever its own model number, with
// BrickTextures[Color].
void Draw(Device& device, const SceneResources& scene, const TBrick& brick, int32_t brickQuality);
// The point a turning figure swings about, in cells right of grid cell (0, 0) and up from it
// (below it when negative): the one point about which a quarter turn carries the shape onto the
// shape it turns to, so that the turn ends exactly where the new turn is drawn.
struct TurnPivot {
  float X = 1.5f, Y = -1.5f;
};
TurnPivot PivotOfTurn(const FigureGrid& from, const FigureGrid& to, bool clockwise);

// A figure: one brick of its colour for every filled cell of FigureShapes[Color][Turn], scaled
// by Scale, swung by TurnMatrix about the pivot of its turn (`clockwise` or not) while turning,
// and kept centred on its 4 x 4 box when shrunken.
void Draw(Device& device, const SceneResources& scene, const TFigure& figure, const FigureShapes& shapes,
          bool clockwise, int32_t brickQuality);
// The world matrix of the brick of grid cell (i, j) of a figure, as Draw places it.
D3DMATRIX FigureBrickMatrix(const TFigure& figure, const TurnPivot& pivot, int i, int j);

}  // namespace zt
