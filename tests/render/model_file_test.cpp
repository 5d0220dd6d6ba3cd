#include "render/model_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

#include "core/load_error.h"
#include "game/glass.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

// A scratch game folder per test, with its own debug.txt.
class ModelFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() / (std::string("zt_models_") + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_ / "data/models");
    log_.Path = (dir_ / "debug.txt").string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Write(const std::string& path, const std::string& text) { std::ofstream(dir_ / path, std::ios::binary) << text; }
  // Writes the file and loads it.
  void Load(const std::string& path, const std::string& text) {
    Write(path, text);
    LoadModel(models_, path, log_, dir_);
  }
  std::vector<std::string> LogLines() const { return testing::ReadLines(log_.Path); }
  bool Logged(const std::string& text) const {
    for (const std::string& line : LogLines())
      if (line == text) return true;
    return false;
  }

  std::filesystem::path dir_;
  DebugLog log_;
  ModelSet models_;
};

// One red triangle P=(0,0,0), Q=(0,1,0), R=(1,0,0): clockwise seen from -z.
const char* kTriangle =
    "Vertices\n3\n0 0 0\n0 1 0\n1 0 0\n"
    "Triangles\n1\n0 1 2\n"
    "MaterialList\n1\n"
    "Material\n1 0 0 1\n60\n0 0 0\n0 0 0\n";

// A cube whose eight corners are shared by its twelve triangles, wound outward.
std::string SharedCube() {
  return "Vertices\n8\n"
         "-0.5 -0.5 -0.5\n0.5 -0.5 -0.5\n0.5 0.5 -0.5\n-0.5 0.5 -0.5\n"
         "-0.5 -0.5 0.5\n0.5 -0.5 0.5\n0.5 0.5 0.5\n-0.5 0.5 0.5\n"
         "Triangles\n12\n"
         "0 3 2\n0 2 1\n"  // front, z = -0.5
         "4 5 6\n4 6 7\n"  // back
         "0 4 7\n0 7 3\n"  // left
         "1 2 6\n1 6 5\n"  // right
         "3 7 6\n3 6 2\n"  // top
         "0 1 5\n0 5 4\n"  // bottom
         "MaterialList\n1\nMaterial\n1 1 1 1\n0\n0 0 0\n0 0 0\n";
}

void ExpectVector(const MeshVertex& v, float nx, float ny, float nz) {
  EXPECT_FLOAT_EQ(v.NX, nx);
  EXPECT_FLOAT_EQ(v.NY, ny);
  EXPECT_FLOAT_EQ(v.NZ, nz);
}

TEST_F(ModelFileTest, NormalsFollowTheCornerOrderAndAverageSharedCorners) {
  Load("tri.mesh", kTriangle);
  ASSERT_EQ(models_.PlainVertices.size(), 3u);
  for (const MeshVertex& v : models_.PlainVertices) ExpectVector(v, 0, 0, -1);  // toward the camera

  Load("cube.mesh", SharedCube());
  ASSERT_EQ(models_.PlainVertices.size(), 3u + 36u);
  const float k = 1.0f / std::sqrt(3.0f);
  for (size_t i = 3; i < models_.PlainVertices.size(); ++i) {
    const MeshVertex& v = models_.PlainVertices[i];
    const float len = std::sqrt(v.NX * v.NX + v.NY * v.NY + v.NZ * v.NZ);
    EXPECT_NEAR(len, 1.0f, 1e-6f);
    EXPECT_GT(v.NX * v.X + v.NY * v.Y + v.NZ * v.Z, 0.5f) << "outward at vertex " << i;
  }
  // Corner 0 lies in both triangles of each of its three faces: the normalised sum of
  // the faces' normals points along the cube's diagonal.
  const MeshVertex& corner = models_.PlainVertices[3];  // first triangle, first corner
  ASSERT_FLOAT_EQ(corner.X, -0.5f);
  ASSERT_FLOAT_EQ(corner.Y, -0.5f);
  ASSERT_FLOAT_EQ(corner.Z, -0.5f);
  ExpectVector(corner, -k, -k, -k);
}

TEST_F(ModelFileTest, UnusedVertexAndDegenerateTriangleAddNothing) {
  Load("odd.mesh",
       "Vertices\n5\n0 0 0\n0 1 0\n1 0 0\n5 5 5\n9 9 9\n"
       "Triangles\n2\n0 1 2\n0 0 3\n"
       "MaterialList\n1\nMaterial\n1 1 1 1\n\n\n\n");
  ASSERT_EQ(models_.PlainVertices.size(), 6u);  // vertex 4 is never written
  for (int i = 0; i < 3; ++i) ExpectVector(models_.PlainVertices[static_cast<size_t>(i)], 0, 0, -1);
  ExpectVector(models_.PlainVertices[3], 0, 0, -1);  // vertex 0: the degenerate triangle adds zero
  ExpectVector(models_.PlainVertices[5], 0, 0, 0);   // vertex 3: only in the degenerate triangle
  EXPECT_FLOAT_EQ(models_.PlainVertices[5].X, 5.0f);
}

TEST_F(ModelFileTest, SmoothNormalsMatchTheSumOverEveryTriangleBitForBit) {
  // An irregular grid surface with shared vertices and a repeated-corner triangle.
  std::ostringstream file;
  const int n = 7;
  file << "Vertices\n" << n * n << "\n";
  for (int y = 0; y < n; ++y)
    for (int x = 0; x < n; ++x) file << x * 0.37 << " " << y * 0.41 << " " << std::sin(x * 1.3 + y * 0.7) * 0.6 << "\n";
  std::vector<std::array<int, 3>> triangles;
  for (int y = 0; y + 1 < n; ++y)
    for (int x = 0; x + 1 < n; ++x) {
      const int a = y * n + x;
      triangles.push_back({a, a + n, a + n + 1});
      triangles.push_back({a, a + n + 1, a + 1});
    }
  triangles.push_back({3, 10, 3});
  file << "Triangles\n" << triangles.size() << "\n";
  for (const auto& t : triangles) file << t[0] << " " << t[1] << " " << t[2] << "\n";
  file << "MaterialList\n1\nMaterial\n1 1 1 1\n\n\n\n";
  Load("grid.mesh", file.str());

  // Straight from the definition: per vertex, every triangle in order, counted once.
  // The positions as the loader read them, taken back from the written corners.
  std::vector<D3DVECTOR> positions(static_cast<size_t>(n * n));
  for (size_t t = 0; t < triangles.size(); ++t)
    for (int c = 0; c < 3; ++c) {
      const MeshVertex& v = models_.PlainVertices[t * 3 + static_cast<size_t>(c)];
      positions[static_cast<size_t>(triangles[t][static_cast<size_t>(c)])] = {v.X, v.Y, v.Z};
    }
  for (size_t vertex = 0; vertex < positions.size(); ++vertex) {
    D3DVECTOR sum{};
    for (const auto& t : triangles) {
      if (t[0] != static_cast<int>(vertex) && t[1] != static_cast<int>(vertex) && t[2] != static_cast<int>(vertex))
        continue;
      D3DVECTOR a, b, normal;
      VecSubtract(positions[static_cast<size_t>(t[0])], positions[static_cast<size_t>(t[1])], a);
      VecSubtract(positions[static_cast<size_t>(t[1])], positions[static_cast<size_t>(t[2])], b);
      VecCross(a, b, normal);
      float len = VecLength(normal);
      if (len == 0) len = 1;
      VecDivide(normal, normal, len);
      sum = {sum.x + normal.x, sum.y + normal.y, sum.z + normal.z};
    }
    if (VecLength(sum) != 0) VecNormalize(sum, sum);
    for (size_t t = 0; t < triangles.size(); ++t)
      for (int c = 0; c < 3; ++c)
        if (triangles[t][static_cast<size_t>(c)] == static_cast<int>(vertex)) {
          const MeshVertex& v = models_.PlainVertices[t * 3 + static_cast<size_t>(c)];
          EXPECT_EQ(v.NX, sum.x);
          EXPECT_EQ(v.NY, sum.y);
          EXPECT_EQ(v.NZ, sum.z);
        }
  }
}

TEST_F(ModelFileTest, MaterialsDecideTheDrawRuns) {
  Load("single.mesh", kTriangle);
  const TModelInfo& single = models_.ModelTable[0];
  EXPECT_TRUE(single.SingleMaterial);
  EXPECT_FALSE(single.Textured);
  EXPECT_FLOAT_EQ(single.Material.Diffuse.r, 1.0f);
  EXPECT_FLOAT_EQ(single.Material.Ambient.r, 1.0f);
  EXPECT_FLOAT_EQ(single.Material.Ambient.a, 1.0f);
  EXPECT_FLOAT_EQ(single.Material.Specular.r, 0.0f);
  EXPECT_FLOAT_EQ(single.Material.Power, 0.0f);
  ASSERT_EQ(single.Runs.size(), 1u);
  EXPECT_EQ(single.Runs[0].MaterialIndex, -1);
  EXPECT_EQ(single.Runs[0].FirstVertex, 0);
  EXPECT_EQ(single.Runs[0].TriangleCount, 1);

  Load("multi.mesh",
       "Vertices\n3\n0 0 0\n0 1 0\n1 0 0\n"
       "Triangles\n6\n0 1 2\n0 1 2\n0 1 2\n0 1 2\n0 1 2\n0 1 2\n"
       "MaterialList\n3\n6\n0\n0\n1\n1\n1\n2\n"
       "Material\n1 0 0 1\n\n\n\n"
       "Material\n0 1 0 1\n\n\n\n"
       "Material\n0 0 1 0.5\n\n\n\n");
  const TModelInfo& multi = models_.ModelTable[1];
  EXPECT_FALSE(multi.SingleMaterial);
  EXPECT_EQ(multi.FirstVertex, 3);  // right after the first model's last vertex
  EXPECT_EQ(multi.TriangleCount, 6);
  ASSERT_EQ(multi.Runs.size(), 3u);
  const int32_t expected[3][3] = {{0, 3, 2}, {1, 3 + 6, 3}, {2, 3 + 15, 1}};
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(multi.Runs[i].MaterialIndex, expected[i][0]);
    EXPECT_EQ(multi.Runs[i].FirstVertex, expected[i][1]);
    EXPECT_EQ(multi.Runs[i].TriangleCount, expected[i][2]);
  }
  EXPECT_FLOAT_EQ(multi.Materials[1].Diffuse.g, 1.0f);
  EXPECT_FLOAT_EQ(multi.Materials[2].Ambient.a, 0.5f);
  EXPECT_EQ(models_.PlainVertexCount(), 3 + 18);
  EXPECT_EQ(models_.NextModelIndex, 2);
}

TEST_F(ModelFileTest, TexturedModelsFillTheTexturedBufferCornerByCorner) {
  Load("plain.mesh", kTriangle);
  Load("tex.mesh",
       "Vertices\n4\n0 0 0\n0 1 0\n1 1 0\n1 0 0\n"
       "Triangles\n2\n0 1 2\n0 2 3\n"
       "Texture\n4\n0 1\n0 0\n1 0\n1 1\n"
       "TrianglesTex\n2\n0 1 2\n0 2 3\n"
       "TextureFileName\nbrick.bmp\n");
  const TModelInfo& info = models_.ModelTable[1];
  EXPECT_TRUE(info.Textured);
  EXPECT_EQ(info.FirstVertex, 0);  // the textured buffer counts on its own
  EXPECT_EQ(info.TextureName, "brick.bmp");
  EXPECT_EQ(info.TextureFile, "");  // bricks take the brick textures, not one of their own
  ASSERT_EQ(models_.TexturedVertices.size(), 6u);
  const float uv[6][2] = {{0, 1}, {0, 0}, {1, 0}, {0, 1}, {1, 0}, {1, 1}};
  for (size_t i = 0; i < 6; ++i) {
    const TexMeshVertex& v = models_.TexturedVertices[i];
    EXPECT_EQ(v.Diffuse, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(v.U, uv[i][0]);
    EXPECT_FLOAT_EQ(v.V, uv[i][1]);
    EXPECT_FLOAT_EQ(v.NZ, -1.0f);
  }
  ASSERT_EQ(info.Runs.size(), 1u);
  EXPECT_EQ(info.Runs[0].TriangleCount, 2);
  EXPECT_EQ(models_.PlainVertexCount(), 3);

  Load("wood.mesh",
       "Vertices\n3\n0 0 0\n0 1 0\n1 0 0\nTriangles\n1\n0 1 2\n"
       "Texture\n1\n0.5 0.5\nTrianglesTex\n1\n0 0 0\nTextureFileName\nwood.bmp\n");
  EXPECT_EQ(models_.ModelTable[2].TextureFile, "data/models/wood.bmp");
  EXPECT_EQ(models_.ModelTable[2].FirstVertex, 6);
}

TEST_F(ModelFileTest, TheLastOfTextureAndMaterialListDecides) {
  Load("late_list.mesh",
       "Vertices\n3\n0 0 0\n0 1 0\n1 0 0\nTriangles\n1\n0 1 2\n"
       "Texture\n1\n0 0\nTrianglesTex\n1\n0 0 0\n"
       "MaterialList\n1\nMaterial\n0.5 0.5 0.5 1\n\n\n\n");
  EXPECT_FALSE(models_.ModelTable[0].Textured);
  EXPECT_EQ(models_.PlainVertexCount(), 3);
  EXPECT_EQ(models_.TexturedVertexCount(), 0);
}

TEST_F(ModelFileTest, EmptyTriangleListDrawsNothing) {
  Load("empty.mesh", "Vertices\n2\n0 0 0\n1 1 1\nTriangles\n0\nMaterialList\n1\nMaterial\n1 1 1 1\n\n\n\n");
  EXPECT_EQ(models_.ModelTable[0].TriangleCount, 0);
  EXPECT_TRUE(models_.ModelTable[0].Runs.empty());
  EXPECT_EQ(models_.PlainVertexCount(), 0);
  Load("next.mesh", kTriangle);
  EXPECT_EQ(models_.ModelTable[1].FirstVertex, 0);
}

TEST_F(ModelFileTest, LogsEachSectionAndStepAndSkipsUnknownLines) {
  Load("log.mesh",
       "\nvertices\nVertices\n3\n0 0 0\n0 1 0\n1 0 0\n\n"
       "Triangles \nTriangles\n1\n0 1 2\n"
       "MaterialList\n1\nMaterial\n1 1 1 1\n\n\n\n\n\n");
  const std::vector<std::string> expected = {
      "Error of loading model",  // lower case is not the keyword
      "log.mesh Vertices done",
      "Error of loading model",  // a trailing blank is not the keyword either
      "log.mesh Triangles done",       "log.mesh MaterialList done",
      "log.mesh Material done",        "log.mesh model loads succesfuly",
      "log.mesh normals calculate ok", "log.mesh smooth normals calculate ok",
      "log.mesh fill VB - lock ok",    "log.mesh fill VB - done",
      "log.mesh fill VB - unlock ok",  "log.mesh load done!",
  };
  EXPECT_EQ(LogLines(), expected);
  EXPECT_EQ(models_.ModelTable[0].TriangleCount, 1);
}

TEST_F(ModelFileTest, NumbersCrossLineEndsAndIgnoreTheRestOfTheirLine) {
  Load("loose.mesh",
       "Vertices\r\n\r\n  3   vertices follow\r\n0 0 0 first\r\n0\t1e0 0\r\n1.0 -0e-3\r\n 0\r\n"
       "Triangles\r\n1\r\n+0 1 2 ; clockwise\r\n"
       "MaterialList\r\n1\r\nMaterial\r\n1 1 1 1\r\n\r\n\r\n\r\n");
  ASSERT_EQ(models_.PlainVertices.size(), 3u);
  EXPECT_FLOAT_EQ(models_.PlainVertices[1].Y, 1.0f);
  EXPECT_FLOAT_EQ(models_.PlainVertices[2].X, 1.0f);
  EXPECT_FLOAT_EQ(models_.PlainVertices[2].NZ, -1.0f);
}

TEST_F(ModelFileTest, UnreadableFilesFailNamingTheFileAndLine) {
  EXPECT_THROW(LoadModel(models_, "missing.mesh", log_, dir_), LoadError);
  Write("bad.mesh", "Vertices\n2\n0 0 0\n0 x 0\n");
  try {
    LoadModel(models_, "bad.mesh", log_, dir_);
    FAIL() << "a letter among the numbers must fail";
  } catch (const LoadError& e) {
    EXPECT_EQ(e.File(), "bad.mesh");
    EXPECT_EQ(e.Line(), 4);
  }
  Write("short.mesh", "Vertices\n3\n0 0 0\n");
  EXPECT_THROW(LoadModel(models_, "short.mesh", log_, dir_), LoadError);
  Write("negative.mesh", "Triangles\n-1\n");
  EXPECT_THROW(LoadModel(models_, "negative.mesh", log_, dir_), LoadError);
  Write("fraction.mesh", "Triangles\n1\n0 1.5 2\n");
  EXPECT_THROW(LoadModel(models_, "fraction.mesh", log_, dir_), LoadError);
  EXPECT_EQ(models_.NextModelIndex, 0);
}

// Meshes the drawing would read outside an array with: each is refused with a log line
// naming the file and the problem, and nothing of it reaches the table or the buffers.
TEST_F(ModelFileTest, InconsistentMeshesAreRejected) {
  const std::string head = "Vertices\n3\n0 0 0\n0 1 0\n1 0 0\n";
  const std::string one = "MaterialList\n1\nMaterial\n1 1 1 1\n\n\n\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"vertex_high", head + "Triangles\n1\n0 1 3\n" + one},
      {"vertex_negative", head + "Triangles\n1\n-1 1 2\n" + one},
      {"texcoord_high", head + "Triangles\n1\n0 1 2\nTexture\n2\n0 0\n1 1\nTrianglesTex\n1\n0 1 2\n"},
      {"texrows_missing", head + "Triangles\n2\n0 1 2\n0 2 1\nTexture\n1\n0 0\nTrianglesTex\n1\n0 0 0\n"},
      {"texrows_absent", head + "Triangles\n1\n0 1 2\nTexture\n1\n0 0\n"},
      {"material_high", head + "Triangles\n2\n0 1 2\n0 2 1\nMaterialList\n2\n2\n0\n2\n"},
      {"material_negative", head + "Triangles\n1\n0 1 2\nMaterialList\n2\n1\n-1\n"},
      {"too_many_materials", head + "Triangles\n1\n0 1 2\nMaterialList\n2\n1\n0\n" + "Material\n1 0 0 1\n\n\n\n" +
                                 "Material\n0 1 0 1\n\n\n\n" + "Material\n0 0 1 1\n\n\n\n"},
      {"no_material_list", head + "Triangles\n1\n0 1 2\nMaterial\n1 1 1 1\n\n\n\n"},
      {"face_list_short", head + "Triangles\n3\n0 1 2\n0 2 1\n1 2 0\nMaterialList\n2\n2\n0\n1\n"},
  };
  Load("good.mesh", kTriangle);
  for (const auto& [name, text] : cases) {
    const std::string path = name + ".mesh";
    Write(path, text);
    try {
      LoadModel(models_, path, log_, dir_);
      ADD_FAILURE() << name << " was accepted";
    } catch (const LoadError& e) {
      EXPECT_EQ(e.File(), path);
    }
    const std::vector<std::string> lines = LogLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back().rfind(path + " rejected: ", 0), 0u) << lines.back();
  }
  EXPECT_EQ(models_.NextModelIndex, 1);
  EXPECT_EQ(models_.PlainVertexCount(), 3);
  EXPECT_EQ(models_.TexturedVertexCount(), 0);
}

TEST_F(ModelFileTest, ABufferHoldsThreeHundredThousandVertices) {
  auto triangles = [](int count) {
    std::string text = "Vertices\n3\n0 0 0\n0 1 0\n1 0 0\nTriangles\n" + std::to_string(count) + "\n";
    for (int i = 0; i < count; ++i) text += "0 1 2\n";
    return text + "MaterialList\n1\nMaterial\n1 1 1 1\n\n\n\n";
  };
  Load("big.mesh", triangles(99999));
  EXPECT_EQ(models_.PlainVertexCount(), 299997);
  Write("two.mesh", triangles(2));
  EXPECT_THROW(LoadModel(models_, "two.mesh", log_, dir_), LoadError);
  EXPECT_TRUE(Logged("two.mesh rejected: its 2 triangles do not fit into the 300000 vertices of MeshVB"));
  EXPECT_EQ(models_.PlainVertexCount(), 299997);
  Load("one.mesh", triangles(1));  // exactly full
  EXPECT_EQ(models_.PlainVertexCount(), 300000);
  EXPECT_EQ(models_.ModelTable[1].FirstVertex, 299997);
}

TEST_F(ModelFileTest, InitModelsLoadsTheListInOrder) {
  Write("data/models/tri.mesh", kTriangle);
  Write("data/models/brick.mesh",
        "Vertices\n3\n0 0 0\n0 1 0\n1 0 0\nTriangles\n1\n0 1 2\n"
        "Texture\n1\n0 0\nTrianglesTex\n1\n0 0 0\nTextureFileName\nbrick.bmp\n");
  Write("data/models.dat",
        "data/models/brick.mesh\r\ndata/models/brick.mesh\n\ndata/models/brick.mesh\n   \n"
        "data/models/tri.mesh\ndata/models/tri.mesh\ndata/models/tri.mesh\ndata/models/tri.mesh\n");
  InitModels(models_, log_, dir_);
  EXPECT_EQ(models_.NextModelIndex, 5);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(models_.ModelTable[static_cast<size_t>(i)].FirstVertex, 3 * i);
  // A seventh mesh goes into the sixth record again; its vertices are appended.
  EXPECT_EQ(models_.ModelTable[5].FirstVertex, 9);
  EXPECT_EQ(models_.PlainVertexCount(), 12);
  const std::vector<std::string> lines = LogLines();
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "data/models/tri.mesh - done"), 4);
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "data/models/brick.mesh - done"), 3);
  EXPECT_EQ(lines.back(), "data/models/tri.mesh - done");
}

TEST_F(ModelFileTest, InitModelsRefusesListsTheGameCannotRunWith) {
  EXPECT_THROW(InitModels(models_, log_, dir_), LoadError);  // no list

  Write("data/models/tri.mesh", kTriangle);
  Write("data/models.dat", "data/models/tri.mesh\n");
  try {
    InitModels(models_, log_, dir_);
    FAIL() << "a plain brick mesh must be refused";
  } catch (const LoadError& e) {
    EXPECT_EQ(e.File(), "data/models/tri.mesh");
  }

  Write("data/models/brick.mesh",
        "Vertices\n3\n0 0 0\n0 1 0\n1 0 0\nTriangles\n1\n0 1 2\n"
        "Texture\n1\n0 0\nTrianglesTex\n1\n0 0 0\nTextureFileName\nbrick.bmp\n");
  Write("data/models.dat", "data/models/brick.mesh\ndata/models/brick.mesh\ndata/models/brick.mesh\n");
  ModelSet fresh;
  try {
    InitModels(fresh, log_, dir_);
    FAIL() << "three meshes are not enough";
  } catch (const LoadError& e) {
    EXPECT_EQ(e.File(), "data/models.dat");
  }
}

TEST(TModel, BrickStartsAsATranslation) {
  const TBrick model = TBrick::Create(7, 1.5f, -2.0f, 3.0f);
  EXPECT_EQ(model.Color, 7);
  EXPECT_EQ(model.Matrix(4, 1), 1.5f);
  EXPECT_EQ(model.Matrix(4, 2), -2.0f);
  EXPECT_EQ(model.Matrix(4, 3), 3.0f);
  EXPECT_EQ(model.Matrix(1, 1), 1.0f);
  EXPECT_EQ(model.Matrix(1, 4), 0.0f);
}

}  // namespace
}  // namespace zt
