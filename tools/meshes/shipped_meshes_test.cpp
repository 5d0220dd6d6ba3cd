// The meshes the game ships with, loaded as the game loads them and checked against
// where the scene places them.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <tuple>

#include "render/model_file.h"

namespace zt {
namespace {

class ShippedMeshes : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    // One log per process: CTest runs the tests of this suite side by side.
    log_.Path =
        (std::filesystem::temp_directory_path() / ("zt_shipped_meshes_debug_" + std::to_string(getpid()) + ".txt"))
            .string();
    ResetLog(log_);
    models_ = new ModelSet;
    InitModels(*models_, log_, ZT_GAME_DIR);
  }
  static void TearDownTestSuite() {
    delete models_;
    std::filesystem::remove(log_.Path);
  }

  // Positions and normals of one model, in buffer order.
  static std::vector<MeshVertex> Vertices(int model) {
    const TModelInfo& info = models_->ModelTable[static_cast<size_t>(model)];
    std::vector<MeshVertex> out;
    for (int i = 0; i < 3 * info.TriangleCount; ++i) {
      const auto index = static_cast<size_t>(info.FirstVertex + i);
      if (info.Textured) {
        const TexMeshVertex& v = models_->TexturedVertices[index];
        out.push_back({v.X, v.Y, v.Z, v.NX, v.NY, v.NZ});
      } else {
        out.push_back(models_->PlainVertices[index]);
      }
    }
    return out;
  }

  static inline DebugLog log_;
  static inline ModelSet* models_ = nullptr;
};

D3DVECTOR Apply(const D3DMATRIX& m, float x, float y, float z) {
  return {x * m.m[0][0] + y * m.m[1][0] + z * m.m[2][0] + m.m[3][0],
          x * m.m[0][1] + y * m.m[1][1] + z * m.m[2][1] + m.m[3][1],
          x * m.m[0][2] + y * m.m[1][2] + z * m.m[2][2] + m.m[3][2]};
}

// The glass frame instance: scaled about the glass centre, 0.3 toward the camera.
D3DMATRIX GlassFrameMatrix() {
  D3DMATRIX place, scaling, out;
  MatTranslation(place, 5.5f, 10.5f, 0);
  MatScaling(scaling, 1.03f, 0.98f, 1);
  MatMultiply(place, scaling, out);
  out(4, 3) -= 0.3f;
  return out;
}

// The bomb instance, drawn for a current figure at (posX, posY).
D3DMATRIX BombMatrix(float posX, float posY) {
  D3DMATRIX rz, rx, s, a, b;
  MatRotationZ(rz, 1.2566371f);
  MatRotationX(rx, -1.5707964f);
  MatScaling(s, 0.058343057f, 0.0575374f, 0.0362713f);
  MatMultiply(rx, rz, a);
  MatMultiply(s, a, b);
  b(4, 1) = posX + 1.5f;
  b(4, 2) = posY - 1.03f;
  return b;
}

using Key = std::tuple<long, long, long>;
Key Quantised(const MeshVertex& v) { return {std::lround(v.X * 1e4), std::lround(v.Y * 1e4), std::lround(v.Z * 1e4)}; }

TEST_F(ShippedMeshes, ListNamesSixMeshesOfTheRightKinds) {
  EXPECT_EQ(models_->NextModelIndex, 5);
  for (int m = kBrickLowModel; m <= kBrickHighModel; ++m) {
    const TModelInfo& info = models_->ModelTable[static_cast<size_t>(m)];
    EXPECT_TRUE(info.Textured) << m;
    EXPECT_EQ(info.TextureName, "brick.bmp");
    EXPECT_EQ(info.TextureFile, "");
  }
  EXPECT_EQ(models_->ModelTable[kBrickLowModel].TriangleCount, 12);
  EXPECT_GT(models_->ModelTable[kBrickMediumModel].TriangleCount, 12);
  EXPECT_GT(models_->ModelTable[kBrickHighModel].TriangleCount, models_->ModelTable[kBrickMediumModel].TriangleCount);
  for (int m = kGlassFrameAModel; m <= kBombModel; ++m) {
    const TModelInfo& info = models_->ModelTable[static_cast<size_t>(m)];
    EXPECT_FALSE(info.Textured) << m;
    EXPECT_FALSE(info.SingleMaterial) << m;
    EXPECT_GE(info.Materials.size(), 3u) << m;
    EXPECT_LE(info.Runs.size(), info.Materials.size()) << "one draw per material for model " << m;
  }
  EXPECT_LE(models_->PlainVertexCount(), kModelBufferVertices);
  EXPECT_LE(models_->TexturedVertexCount(), kModelBufferVertices);
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(ZT_GAME_DIR) / "data/models/brick.bmp"));
}

TEST_F(ShippedMeshes, BricksAreClosedOutwardUnitCubes) {
  for (int m = kBrickLowModel; m <= kBrickHighModel; ++m) {
    SCOPED_TRACE("brick model " + std::to_string(m));
    const std::vector<MeshVertex> v = Vertices(m);
    // Every edge is met exactly once in each direction: closed and consistently wound.
    std::map<std::pair<Key, Key>, int> edges;
    for (size_t t = 0; t < v.size(); t += 3)
      for (size_t c = 0; c < 3; ++c) ++edges[{Quantised(v[t + c]), Quantised(v[t + (c + 1) % 3])}];
    for (const auto& [edge, count] : edges) {
      EXPECT_EQ(count, 1);
      const auto reverse = edges.find({edge.second, edge.first});
      EXPECT_TRUE(reverse != edges.end() && reverse->second == 1) << "open or doubled edge";
    }
    float lo[3] = {1, 1, 1}, hi[3] = {-1, -1, -1};
    for (size_t t = 0; t < v.size(); t += 3) {
      const D3DVECTOR p{v[t].X, v[t].Y, v[t].Z}, q{v[t + 1].X, v[t + 1].Y, v[t + 1].Z},
          r{v[t + 2].X, v[t + 2].Y, v[t + 2].Z};
      D3DVECTOR a, b, n;
      VecSubtract(p, q, a);
      VecSubtract(q, r, b);
      VecCross(a, b, n);
      const D3DVECTOR centre{(p.x + q.x + r.x) / 3, (p.y + q.y + r.y) / 3, (p.z + q.z + r.z) / 3};
      EXPECT_GT(VecDot(n, centre), 0.0f) << "triangle " << t / 3 << " faces inward";
    }
    for (const MeshVertex& x : v) {
      EXPECT_GT(x.NX * x.X + x.NY * x.Y + x.NZ * x.Z, 0.2f) << "vertex normal inward";
      const float c[3] = {x.X, x.Y, x.Z};
      for (int i = 0; i < 3; ++i) {
        lo[i] = std::min(lo[i], c[i]);
        hi[i] = std::max(hi[i], c[i]);
      }
    }
    for (int i = 0; i < 3; ++i) {
      EXPECT_FLOAT_EQ(lo[i], -0.5f);
      EXPECT_FLOAT_EQ(hi[i], 0.5f);
    }
    const TModelInfo& info = models_->ModelTable[static_cast<size_t>(m)];
    for (int i = 0; i < 3 * info.TriangleCount; ++i) {
      const TexMeshVertex& t = models_->TexturedVertices[static_cast<size_t>(info.FirstVertex + i)];
      EXPECT_TRUE(t.U >= 0 && t.U <= 1 && t.V >= 0 && t.V <= 1) << "texture coordinate outside the picture";
    }
  }
}

TEST_F(ShippedMeshes, GlassFramesStandOutsideTheBricks) {
  const D3DMATRIX world = GlassFrameMatrix();
  for (int m : {kGlassFrameAModel, kGlassFrameBModel}) {
    SCOPED_TRACE("frame model " + std::to_string(m));
    const std::vector<MeshVertex> v = Vertices(m);
    float leftInner = -100, rightInner = 100, floorTop = -100, leftTop = -100, rightTop = -100;
    for (size_t t = 0; t < v.size(); t += 3) {
      // Each triangle lies whole in the left wall, the right wall or the floor, so none
      // passes in front of a brick (the bricks fill x 0.5..10.5, y 0.5..20.5).
      bool left = true, right = true, floor = true;
      float highest = -100;
      for (size_t c = 0; c < 3; ++c) {
        const D3DVECTOR p = Apply(world, v[t + c].X, v[t + c].Y, v[t + c].Z);
        highest = std::max(highest, p.y);
        left = left && p.x <= 0.5f;
        right = right && p.x >= 10.5f;
        floor = floor && p.y <= 0.5f;
        if (p.x <= 0.5f && p.y > 0.5f) {
          leftInner = std::max(leftInner, p.x);
          leftTop = std::max(leftTop, p.y);
        }
        if (p.x >= 10.5f && p.y > 0.5f) {
          rightInner = std::min(rightInner, p.x);
          rightTop = std::max(rightTop, p.y);
        }
      }
      if (floor && !left && !right) floorTop = std::max(floorTop, highest);
      EXPECT_TRUE(left || right || floor) << "triangle " << t / 3 << " reaches into the glass";
    }
    EXPECT_GT(leftInner, 0.3f);  // walls close to the bricks
    EXPECT_LT(rightInner, 10.7f);
    EXPECT_GT(floorTop, 0.3f);
    EXPECT_GE(leftTop, 20.5f);  // and as high as the glass
    EXPECT_GE(rightTop, 20.5f);
  }
  EXPECT_NE(models_->ModelTable[kGlassFrameAModel].TriangleCount, models_->ModelTable[kGlassFrameBModel].TriangleCount);
}

TEST_F(ShippedMeshes, BombCoversItsCellsWithTheFuseTipWhereTheSparksStart) {
  const float posX = 4, posY = 15;
  const D3DMATRIX world = BombMatrix(posX, posY);
  const TModelInfo& info = models_->ModelTable[kBombModel];
  const int body = 0;
  const int ember = static_cast<int>(info.Materials.size()) - 1;
  float lo[2] = {100, 100}, hi[2] = {-100, -100}, top = -100;
  D3DVECTOR emberSum{};
  int emberCount = 0;
  for (const DrawRun& run : info.Runs)
    for (int i = 0; i < 3 * run.TriangleCount; ++i) {
      const MeshVertex& v = models_->PlainVertices[static_cast<size_t>(run.FirstVertex + i)];
      const D3DVECTOR p = Apply(world, v.X, v.Y, v.Z);
      top = std::max(top, p.y);
      if (run.MaterialIndex == body) {
        lo[0] = std::min(lo[0], p.x);
        hi[0] = std::max(hi[0], p.x);
        lo[1] = std::min(lo[1], p.y);
        hi[1] = std::max(hi[1], p.y);
      }
      if (run.MaterialIndex == ember) {
        emberSum = {emberSum.x + p.x, emberSum.y + p.y, emberSum.z + p.z};
        ++emberCount;
      }
    }
  // The body: about two cells wide, over grid cells (1..2, 1..2) of the bomb's figure,
  // which span x posX + 0.5 .. posX + 2.5 and y posY - 2.5 .. posY - 0.5.
  EXPECT_NEAR(hi[0] - lo[0], 2.0f, 0.1f);
  EXPECT_NEAR(hi[1] - lo[1], 2.0f, 0.1f);
  EXPECT_NEAR((lo[0] + hi[0]) / 2, posX + 1.5f, 0.05f);
  EXPECT_NEAR((lo[1] + hi[1]) / 2, posY - 1.5f, 0.05f);
  // The glowing end of the fuse sits where the fuse sparks come from.
  ASSERT_GT(emberCount, 0);
  EXPECT_NEAR(emberSum.x / emberCount, posX + 1.55f, 0.05f);
  EXPECT_NEAR(emberSum.y / emberCount, posY + 0.7f, 0.05f);
  EXPECT_NEAR(top, posY + 0.7f, 0.15f);
}

}  // namespace
}  // namespace zt
