// The scene's vertex buffers as bytes, the tinted brick texels, and the JPEG pictures
// turned into bitmaps the texture loader reads.
#include "render/scene_resources.h"

#include <gtest/gtest.h>
#include <jpeglib.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>

#include "core/load_error.h"
#include "device/image_file.h"
#include "device/recording_device.h"
#include "render/brick_textures.h"
#include "render/jpeg_conversion.h"
#include "render/menu_drawing.h"
#include "render/model_drawing.h"
#include "render/model_file.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

using testing::TempFolder;

template <typename Vertex>
Vertex VertexAt(const VertexBufferPtr& buffer, int index) {
  Vertex v;
  const auto end = static_cast<uint32_t>((index + 1) * sizeof(Vertex));
  std::memcpy(&v, buffer->Data(end) + index * sizeof(Vertex), sizeof(Vertex));
  return v;
}

TEST(SceneBuffers, BarQuadKeepsItsLeftEdgeAndShadeTakesTheFadeOpacity) {
  RecordingDevice device;
  SceneResources scene;
  InitVBMenu(device, scene);
  CreateShadeVB(device, scene);
  ASSERT_EQ(scene.QuadVB->Length(), 192u);
  ASSERT_EQ(scene.QuadVB->Fvf(), kFvfTexColour);

  FillBarQuad(scene, 1);  // the full bar is the unit quad
  EXPECT_EQ(std::memcmp(scene.QuadVB->Data(), scene.QuadVB->Data() + 96, 96), 0);
  FillBarQuad(scene, 0.25f);
  const TexColourVertex topRight = VertexAt<TexColourVertex>(scene.QuadVB, 5),
                        bottomLeft = VertexAt<TexColourVertex>(scene.QuadVB, 6);
  EXPECT_FLOAT_EQ(topRight.X, -0.25f);
  EXPECT_FLOAT_EQ(topRight.U, 0.25f);
  EXPECT_FLOAT_EQ(bottomLeft.X, -0.5f);
  EXPECT_FLOAT_EQ(bottomLeft.V, 1);
  EXPECT_EQ(topRight.Colour, 0xFFFFFFFFu);
  FillBarQuad(scene, 0);  // no width at all
  EXPECT_FLOAT_EQ(VertexAt<TexColourVertex>(scene.QuadVB, 7).X, -0.5f);
  EXPECT_FLOAT_EQ(VertexAt<TexColourVertex>(scene.QuadVB, 1).X, 0.5f) << "the unit quad stays";

  EXPECT_EQ(VertexAt<ColourVertex>(scene.ShadeVB, 0).Colour, 0u) << "empty until the first fade";
  SetShadeAlpha(scene, 255);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(VertexAt<ColourVertex>(scene.ShadeVB, i).Colour, 0xFF000000u);
  SetShadeAlpha(scene, 0);
  EXPECT_EQ(VertexAt<ColourVertex>(scene.ShadeVB, 3).Colour, 0u);
  EXPECT_FLOAT_EQ(VertexAt<ColourVertex>(scene.ShadeVB, 3).Y, -0.5f);
}

TEST(SceneBuffers, MeshBuffersHoldEveryMeshAndReportAFailedCreation) {
  RecordingDevice device;
  SceneResources scene;
  ASSERT_EQ(CreateMeshBuffers(device, scene), D3D_OK);
  EXPECT_EQ(scene.MeshVB->Length(), 300000u * DescribeFvf(kFvfMesh).Stride);
  EXPECT_EQ(scene.TexMeshVB->Length(), 300000u * DescribeFvf(kFvfTexMesh).Stride);
  const VertexLayout textured = DescribeFvf(kFvfTexMesh);
  EXPECT_EQ(textured.Diffuse, static_cast<int>(offsetof(TexMeshVertex, Diffuse)));
  EXPECT_EQ(textured.TexCoord, static_cast<int>(offsetof(TexMeshVertex, U)));
  device.CreateVertexBufferResult = E_OUTOFMEMORY;
  EXPECT_EQ(CreateMeshBuffers(device, scene), E_OUTOFMEMORY);
}

// A one-row-per-pixel-list bitmap with the given pixels (B, G, R), top row first.
std::string Bitmap(int width, const std::vector<std::vector<uint8_t>>& rowsTopFirst, bool topDown = false,
                   int bits = 24) {
  const int height = static_cast<int>(rowsTopFirst.size());
  const int stride = (width * 3 + 3) / 4 * 4;
  std::string b = "BM";
  const auto put = [&b](uint32_t v, int n) {
    for (int i = 0; i < n; ++i) b.push_back(static_cast<char>(v >> (8 * i)));
  };
  put(54 + stride * height, 4), put(0, 4), put(54, 4), put(40, 4), put(width, 4);
  put(topDown ? -height : height, 4), put(1, 2), put(bits, 2), put(0, 4), put(stride * height, 4);
  b.append(16, '\0');  // resolution and palette counts: zero
  for (int r = 0; r < height; ++r) {
    const auto& row = rowsTopFirst[topDown ? r : height - 1 - r];
    b.append(row.begin(), row.end());
    b.append(stride - row.size(), '\0');
  }
  return b;
}

TEST(BrickTextures, TintedTexelsRoundHalvesToEvenAndStandUpsideDown) {
  TempFolder folder;
  // Top row: mid grey and (R 79, G 77, B 255); bottom row: red, black. Bytes go B, G, R.
  testing::WriteBytes(folder.File("b.bmp"), Bitmap(2, {{128, 128, 128, 255, 77, 79}, {0, 0, 255, 0, 0, 0}}));
  const BrickPicture picture = ReadBrickPicture(folder.File("b.bmp"), "b.bmp");
  Texture argb(2, 2, 1, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
  WriteBrickTexels(picture, kBrickTints[9 - 1], argb);
  EXPECT_EQ(argb.TexelArgb(0, 0, 1), 0xFF4D264Du) << "76.8, 38.4, 76.8 rounded; the top row comes last";
  EXPECT_EQ(argb.TexelArgb(0, 0, 0), 0xFF990000u) << "255 x 0.6 = 153";
  Texture a4(2, 2, 1, D3DFMT_A4R4G4B4, D3DPOOL_MANAGED);
  WriteBrickTexels(picture, kBrickTints[9 - 1], a4);
  uint16_t texel;
  std::memcpy(&texel, a4.Bits(0) + a4.Pitch(0), 2);
  EXPECT_EQ(texel, 0x0424);
  // Colour 12 halves green: 77 x 0.5 = 38.5 goes down to 38; colour 11 halves red: 39.5 goes up to 40.
  WriteBrickTexels(picture, kBrickTints[12 - 1], argb);
  EXPECT_EQ(argb.TexelArgb(0, 1, 1), 0xFF4F2600u);
  WriteBrickTexels(picture, kBrickTints[11 - 1], argb);
  EXPECT_EQ(argb.TexelArgb(0, 1, 1), 0xFF2800FFu);
  Texture other(2, 2, 1, D3DFMT_X1R5G5B5, D3DPOOL_MANAGED);
  WriteBrickTexels(picture, kBrickTints[0], other);
  EXPECT_EQ(other.Bits(0)[0], 0) << "texels of other formats are not written";

  // Top-down bitmaps and padded rows read the same picture.
  testing::WriteBytes(folder.File("t.bmp"), Bitmap(2, {{128, 128, 128, 255, 77, 79}, {0, 0, 255, 0, 0, 0}}, true));
  EXPECT_EQ(ReadBrickPicture(folder.File("t.bmp"), "t.bmp").Bgr, picture.Bgr);
}

TEST(BrickTextures, OnlyA24BitBitmapUpTo2051PixelsWideIsRead) {
  TempFolder folder;
  const auto rejects = [&folder](const std::string& bytes) {
    testing::WriteBytes(folder.File("x.bmp"), bytes);
    try {
      ReadBrickPicture(folder.File("x.bmp"), "data/models/brick.bmp");
    } catch (const LoadError& error) {
      return error.File() == "data/models/brick.bmp";
    }
    return false;
  };
  EXPECT_TRUE(rejects(Bitmap(1, {{1, 2, 3, 4}}, false, 32)));
  EXPECT_TRUE(rejects(Bitmap(2052, {std::vector<uint8_t>(2052 * 3)})));
  EXPECT_FALSE(rejects(Bitmap(2051, {std::vector<uint8_t>(2051 * 3)})));
  EXPECT_TRUE(rejects(Bitmap(4, {std::vector<uint8_t>(12), std::vector<uint8_t>(12)}).substr(0, 70)));
  EXPECT_TRUE(rejects("BM"));
  EXPECT_THROW(ReadBrickPicture(folder.File("none.bmp"), "none.bmp"), LoadError);

  RecordingDevice device;
  SceneResources scene;
  scene.GameDir = ZT_GAME_DIR;
  BrickSource source;
  InitBrickTextures(device, scene, source, kGamePalette);
  EXPECT_EQ(device.LiveTextures(), kBrickColors);
  const uint32_t red = scene.BrickTextures[2]->TexelArgb(0, 64, 64);
  EXPECT_TRUE(red > 0xFF000000u && (red & 0xFFFF) == 0) << std::hex << red;
}

// A JPEG of a horizontal gradient: red rising to the right, blue falling downwards.
void WriteJpeg(const std::string& path, int width, int height) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  jpeg_stdio_dest(&info, file);
  info.image_width = width;
  info.image_height = height;
  info.input_components = 3;
  info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 100, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<uint8_t> row(static_cast<size_t>(width) * 3);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      row[x * 3] = static_cast<uint8_t>(x * 255 / (width - 1));
      row[x * 3 + 1] = 100;
      row[x * 3 + 2] = static_cast<uint8_t>(255 - y * 255 / (height - 1));
    }
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&info, &pointer, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::fclose(file);
}

TEST(JpegConversion, WritesABitmapTheLoaderReadsAndNeverOverwritesOne) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path() / "textures");
  WriteJpeg(folder.File("textures/intro.jpg"), 30, 17);  // an odd width: padded bitmap rows
  ConvertIntroToBMP(folder.Path());
  RecordingDevice device;
  TexturePtr texture;
  ASSERT_EQ(device.LoadTextureFromFile(folder.File("textures/intro.bmp"), 0, 0, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED,
                                       D3DX_FILTER_TRIANGLE, D3DX_DEFAULT, 0, texture),
            D3D_OK);
  ASSERT_EQ(texture->Width(0), 30u);
  ASSERT_EQ(texture->Height(0), 17u);
  // Within the JPEG's loss; a turned, mirrored or channel-swapped picture is off by far more.
  for (const auto& [x, y] : {std::pair{0, 0}, std::pair{29, 0}, std::pair{0, 16}, std::pair{15, 8}}) {
    const uint32_t t = texture->TexelArgb(0, x, y);
    EXPECT_NEAR(static_cast<int>((t >> 16) & 0xFF), x * 255 / 29, 12) << x << ", " << y;
    EXPECT_NEAR(static_cast<int>(t & 0xFF), 255 - y * 255 / 16, 12) << x << ", " << y;
  }

  // A newer JPEG does not replace the bitmap.
  const std::string before = testing::ReadBytes(folder.File("textures/intro.bmp"));
  WriteJpeg(folder.File("textures/intro.jpg"), 8, 8);
  ConvertIntroToBMP(folder.Path());
  EXPECT_EQ(testing::ReadBytes(folder.File("textures/intro.bmp")), before);

  // Pictures missing as both bitmap and JPEG, or unreadable, stop the loading naming the JPEG.
  for (const char* name : {"background", "bkgrgame", "bkgrgame2", "bkgrgame3", "bkgrgame4", "bkgrgame5"})
    WriteJpeg(folder.File(std::string("textures/") + name + ".jpg"), 8, 8);
  try {
    ConvertPicturesToBMP(folder.Path());
    FAIL() << "backhelp is missing";
  } catch (const LoadError& error) {
    EXPECT_EQ(error.File(), "textures/backhelp.jpg");
  }
  EXPECT_TRUE(std::filesystem::exists(folder.File("textures/bkgrgame5.bmp")));
  testing::WriteBytes(folder.File("textures/backhelp.jpg"), "not a picture");
  EXPECT_THROW(ConvertPicturesToBMP(folder.Path()), LoadError);
  EXPECT_FALSE(std::filesystem::exists(folder.File("textures/backhelp.bmp")));
}

// Whatever stands where a data file should be and cannot be read stops the loading with
// the loading failure's message naming the file: a folder, a pipe nobody writes to (it
// must not wait for one), or a read error (a link to the process's own memory, whose
// reading fails with EIO).
bool RefusedSaying(const std::function<void()>& load, const std::string& file, const std::string& words) {
  try {
    load();
  } catch (const LoadError& error) {
    EXPECT_EQ(error.File(), file);
    EXPECT_NE(std::string(error.what()).find(words), std::string::npos) << error.what();
    return true;
  }
  return false;
}

TEST(UnreadableData, StopsTheLoadingNamingTheFile) {
  namespace fs = std::filesystem;
  TempFolder folder;
  fs::create_directories(folder.Path() / "data/models");
  fs::create_directories(folder.Path() / "textures");
  RecordingDevice device;
  SceneResources scene;
  scene.GameDir = folder.Path();
  BrickSource source;
  const auto bricks = [&] { InitBrickTextures(device, scene, source, kGamePalette); };
  const auto pictures = [&] { ConvertPicturesToBMP(folder.Path()); };
  const std::string brick = folder.File("data/models/brick.bmp");
  const std::string background = folder.File("textures/background.jpg");

  fs::create_directory(brick);
  fs::create_directory(background);
  EXPECT_TRUE(RefusedSaying(bricks, "data/models/brick.bmp", "folder"));
  EXPECT_TRUE(RefusedSaying(pictures, "textures/background.jpg", "folder"));
  fs::remove(brick);
  fs::remove(background);
  fs::create_symlink("/proc/self/mem", brick);
  fs::create_symlink("/proc/self/mem", background);
  EXPECT_TRUE(RefusedSaying(bricks, "data/models/brick.bmp", "Input/output error"));
  EXPECT_TRUE(RefusedSaying(pictures, "textures/background.jpg", "Input/output error"));
  EXPECT_EQ(device.LiveTextures(), 0);

  ASSERT_EQ(::mkfifo(folder.File("data/models/pipe.mesh").c_str(), 0600), 0);
  ModelSet models;
  const DebugLog log{folder.File("debug.txt")};
  const auto mesh = [&] { LoadModel(models, "data/models/pipe.mesh", log, folder.Path()); };
  EXPECT_TRUE(RefusedSaying(mesh, "data/models/pipe.mesh", "pipe"));
  EXPECT_EQ(models.NextModelIndex, 0);
}

// A JPEG header may claim up to 65500 x 65500 pixels in a file of a few hundred bytes;
// what the bitmap reader would refuse is refused before its memory is taken.
TEST(JpegConversion, RefusesPicturesLargerThanTheBitmapReaderTakes) {
  TempFolder folder;
  std::filesystem::create_directory(folder.Path() / "textures");
  WriteJpeg(folder.File("textures/intro.jpg"), kMaxPictureSide, 2);
  ConvertIntroToBMP(folder.Path());
  Image image;
  std::string error;
  ASSERT_TRUE(ReadImageFile(folder.File("textures/intro.bmp"), image, error)) << error;
  EXPECT_EQ(image.Width, kMaxPictureSide);

  std::filesystem::remove(folder.File("textures/intro.bmp"));
  WriteJpeg(folder.File("textures/intro.jpg"), 2, kMaxPictureSide + 1);
  try {
    ConvertIntroToBMP(folder.Path());
    FAIL() << "a picture taller than the reader takes was converted";
  } catch (const LoadError& refused) {
    EXPECT_EQ(refused.File(), "textures/intro.jpg");
    EXPECT_NE(std::string(refused.what()).find("2x4097"), std::string::npos) << refused.what();
  }
  EXPECT_FALSE(std::filesystem::exists(folder.File("textures/intro.bmp")));
}

}  // namespace
}  // namespace zt

namespace zt {
namespace {

// The game folder as shipped: the bitmaps a first start converts from JPEG pictures are
// left out, whether or not a run of the game has made them in the developer's folder.
void LinkShippedGameFolder(const std::filesystem::path& to) {
  namespace fs = std::filesystem;
  const fs::path from = ZT_GAME_DIR;
  fs::create_directories(to / "textures");
  fs::create_directory_symlink(from / "data", to / "data");
  for (const fs::directory_entry& entry : fs::directory_iterator(from / "textures")) {
    const fs::path jpeg = fs::path(entry.path()).replace_extension(".jpg");
    const bool converted = entry.path().extension() == ".bmp" && fs::exists(jpeg);
    if (!converted) fs::create_symlink(entry.path(), to / "textures" / entry.path().filename());
  }
}

TEST(SceneRelease, ShutdownReleasesAllButTheKeyedMenuPicturesKeptToProgramEnd) {
  RecordingDevice device;
  SceneResources scene;
  TempFolder folder;
  LinkShippedGameFolder(folder.Path());
  scene.GameDir = folder.Path();  // the JPEG pictures stay unconverted: their textures stay empty
  InitTexturesLoading(device, scene);
  InitBarTextures(device, scene);
  InitMotionBlurTexture(device, scene);
  InitVBMenu(device, scene);
  ASSERT_EQ(CreateMeshBuffers(device, scene), D3D_OK);
  CreateShadeVB(device, scene);
  CreateTrailVB(device, scene);
  InitMenuQuadVB(device, scene);
  InitModels(scene.Models, DebugLog{"", false}, scene.GameDir);
  LoadModelTextures(device, scene);
  BrickSource bricks;
  InitBrickTextures(device, scene, bricks, kGamePalette);
  InitTexturesBreakGameStates(device, scene);
  std::vector<float> progress;
  InitTexturesBkGrGame(device, scene, [&progress](float f) { progress.push_back(f); });
  InitTexturesMenu(device, scene, [&progress](float f) { progress.push_back(f); });
  const std::vector<float> shown = {0.33f, 0.34f, 0.3567f, 0.39f, 0.49f, 0.54f, 0.59f, 0.64f};
  ASSERT_EQ(progress.size(), shown.size());
  for (size_t n = 0; n < shown.size(); ++n) EXPECT_NEAR(progress[n], shown[n], 1e-4) << n;
  // The intro, the menu background and the help backdrop are JPEG pictures, not converted here.
  EXPECT_EQ(device.LiveTextures(), 6 + 49 + 3 + 22);
  EXPECT_EQ(device.LiveVertexBuffers(), 6);

  ReleaseSceneTextures(scene);
  ReleaseBrickTextures(scene);
  ReleaseModelTextures(scene);
  ReleaseStateTextures(scene);
  FreeMenuResources(scene);
  ReleaseMeshBuffers(scene);
  ReleaseGameBackgrounds(scene);
  ReleaseTrailAndShade(scene);
  EXPECT_EQ(device.LiveTextures(), 6) << "cw, ccw, low, medium, high, stripe (backhelp is a JPEG picture)";
  EXPECT_EQ(device.LiveVertexBuffers(), 0);
}

}  // namespace
}  // namespace zt
