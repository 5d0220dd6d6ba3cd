#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "device/image_file.h"
#include "device/recording_device.h"
#include "support/picture_files.h"
#include "support/temp_folder.h"

namespace zt {
namespace {

class TextureLoading : public ::testing::Test {
 protected:
  std::string Path(const std::string& name) const { return temp_.File(name); }

  HRESULT Load(const std::string& path, D3DCOLOR key, TexturePtr& out, D3DFORMAT format = D3DFMT_A8R8G8B8) {
    return device_.LoadTextureFromFile(path, 0, 0, 0, 0, format, D3DPOOL_MANAGED, D3DX_FILTER_TRIANGLE, D3DX_DEFAULT,
                                       key, out);
  }

  testing::TempFolder temp_;
  const std::filesystem::path folder_ = temp_.Path();
  RecordingDevice device_;
};

// 3 x 2: an odd width, so every 24-bit row carries padding.
const std::vector<uint32_t> kPicture = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF, 0xFF102030, 0xFFFEFFFF};

TEST_F(TextureLoading, BitmapsDecodeTopRowFirstAndOpaque) {
  testing::WriteBmp(Path("p24.bmp"), 3, 2, kPicture, 24);
  Image image;
  std::string error;
  ASSERT_TRUE(ReadImageFile(Path("p24.bmp"), image, error)) << error;
  EXPECT_EQ(image.Width, 3);
  EXPECT_EQ(image.Height, 2);
  EXPECT_EQ(image.Argb, kPicture);

  // A 32-bit bitmap whose fourth bytes are all zero is opaque, not invisible.
  std::vector<uint32_t> noAlpha;
  for (uint32_t p : kPicture) noAlpha.push_back(p & 0x00FFFFFF);
  testing::WriteBmp(Path("p32.bmp"), 3, 2, noAlpha, 32);
  ASSERT_TRUE(ReadImageFile(Path("p32.bmp"), image, error)) << error;
  EXPECT_EQ(image.Argb, kPicture);
}

TEST_F(TextureLoading, TargaKeepsItsAlpha) {
  const std::vector<uint32_t> glyphs = {0x00FFFFFF, 0x80FFFFFF, 0xFF123456, 0x40000000};
  testing::WriteTga(Path("font.tga"), 2, 2, glyphs);
  Image image;
  std::string error;
  ASSERT_TRUE(ReadImageFile(Path("font.tga"), image, error)) << error;
  EXPECT_EQ(image.Argb, glyphs);

  TexturePtr texture;
  ASSERT_EQ(Load(Path("font.tga"), 0, texture), D3D_OK);
  EXPECT_EQ(texture->TexelArgb(0, 1, 0), 0x80FFFFFFu);
  EXPECT_EQ(texture->TexelArgb(0, 0, 1), 0xFF123456u);
}

TEST_F(TextureLoading, ColourKeyMakesOnlyExactMatchesTransparentBlack) {
  testing::WriteBmp(Path("cw.bmp"), 3, 2, kPicture, 24);
  TexturePtr keyed, plain;
  ASSERT_EQ(Load(Path("cw.bmp"), 0xFFFFFFFF, keyed), D3D_OK);
  ASSERT_EQ(Load(Path("cw.bmp"), 0, plain), D3D_OK);
  EXPECT_EQ(keyed->TexelArgb(0, 0, 1), 0x00000000u);  // opaque white
  EXPECT_EQ(keyed->TexelArgb(0, 2, 1), 0xFFFEFFFFu);  // almost white stays
  EXPECT_EQ(keyed->TexelArgb(0, 0, 0), 0xFFFF0000u);
  EXPECT_EQ(plain->TexelArgb(0, 0, 1), 0xFFFFFFFFu);

  Image image;
  image.Width = 2;
  image.Height = 1;
  image.Argb = {0xFFFFFFFF, 0x00FFFFFF};
  ApplyColourKey(image, 0xFFFFFFFF);
  EXPECT_EQ(image.Argb, (std::vector<uint32_t>{0, 0x00FFFFFF}));  // alpha counts in the comparison
}

TEST_F(TextureLoading, LowerLevelsAreMadeFromTheLevelAboveOnlyWhenRead) {
  testing::WriteBmp(Path("mips.bmp"), 4, 2,
                    {0xFF800000, 0xFF000000, 0xFF000000, 0xFF000000, 0xFF000040, 0xFF008000, 0xFF000000, 0xFF000000},
                    24);
  TexturePtr texture;
  ASSERT_EQ(Load(Path("mips.bmp"), 0, texture), D3D_OK);
  ASSERT_EQ(texture->GetLevelCount(), 3u);
  EXPECT_TRUE(texture->HoldsBytes(0));
  EXPECT_FALSE(texture->HoldsBytes(1)) << "nothing has read the lower levels yet";
  EXPECT_FALSE(texture->HoldsBytes(2));
  EXPECT_EQ(texture->TexelArgb(1, 0, 0), 0xFF202010u);
  EXPECT_EQ(texture->TexelArgb(1, 1, 0), 0xFF000000u);
  EXPECT_EQ(texture->TexelArgb(2, 0, 0), 0xFF101008u) << "halved from level 1";
  EXPECT_TRUE(texture->HoldsBytes(1));

  // A locked lower level holds what it was made of; a created texture's levels read as zeros.
  D3DLOCKED_RECT locked;
  ASSERT_EQ(texture->LockRect(1, locked), D3D_OK);
  uint32_t first = 0;
  std::memcpy(&first, locked.pBits, 4);
  EXPECT_EQ(first, 0xFF202010u);
  texture->UnlockRect(1);
  TexturePtr created;
  ASSERT_EQ(device_.CreateTexture(8, 8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, created), D3D_OK);
  EXPECT_FALSE(created->HoldsBytes(0));
  EXPECT_EQ(created->TexelArgb(3, 0, 0), 0u);
}

TEST_F(TextureLoading, FullMipChainHalvesDownToOneTexelWithABoxFilter) {
  testing::WriteBmp(Path("wide.bmp"), 5, 3, std::vector<uint32_t>(15, 0xFF808080), 24);
  TexturePtr texture;
  ASSERT_EQ(Load(Path("wide.bmp"), 0, texture), D3D_OK);
  ASSERT_EQ(texture->GetLevelCount(), 3u);
  D3DSURFACE_DESC desc;
  texture->GetLevelDesc(1, desc);
  EXPECT_EQ(desc.Width, 2u);
  EXPECT_EQ(desc.Height, 1u);
  texture->GetLevelDesc(2, desc);
  EXPECT_EQ(desc.Width, 1u);
  EXPECT_EQ(desc.Height, 1u);
  EXPECT_EQ(FullMipChainLength(256, 64), 9u);
  EXPECT_EQ(FullMipChainLength(1, 1), 1u);

  Image square;
  square.Width = square.Height = 2;
  square.Argb = {0xFF000000, 0xFFFF0000, 0x00FFFFFF, 0xFF00FF01};
  const Image half = HalveImage(square);
  ASSERT_EQ(half.Width, 1);
  ASSERT_EQ(half.Height, 1);
  // Per channel: a (255*3+0)/4 = 191.25, r 510/4 = 127.5 (rounds up), g 510/4, b 256/4 = 64.
  EXPECT_EQ(half.Argb[0], 0xBF808040u);

  Image line;
  line.Width = 1;
  line.Height = 4;
  line.Argb = {0xFF000000, 0xFF0000FF, 0xFF000000, 0xFF000000};
  const Image column = HalveImage(line);
  EXPECT_EQ(column.Width, 1);
  EXPECT_EQ(column.Height, 2);
  EXPECT_EQ(column.Argb[0], 0xFF000080u);  // a 1-wide picture averages vertically only
}

TEST_F(TextureLoading, TexelsAreStoredInTheAskedFormat) {
  const std::vector<uint32_t> grey = {0xFF4D264D};
  testing::WriteBmp(Path("one.bmp"), 1, 1, grey, 24);
  TexturePtr texture;
  ASSERT_EQ(Load(Path("one.bmp"), 0, texture, D3DFMT_A4R4G4B4), D3D_OK);
  EXPECT_EQ(texture->Format(), D3DFMT_A4R4G4B4);
  uint16_t texel = 0;
  std::memcpy(&texel, texture->Bits(0), 2);
  EXPECT_EQ(texel, 0xF424);
  // No format at all: the loader picks 32-bit ARGB.
  ASSERT_EQ(Load(Path("one.bmp"), 0, texture, D3DFMT_UNKNOWN), D3D_OK);
  EXPECT_EQ(texture->Format(), D3DFMT_A8R8G8B8);
  EXPECT_EQ(texture->TexelArgb(0, 0, 0), 0xFF4D264Du);
  EXPECT_EQ(texture->SourceFile, Path("one.bmp"));
}

TEST_F(TextureLoading, MissingOrBrokenFilesLeaveTheTextureEmpty) {
  TexturePtr texture;
  EXPECT_TRUE(Failed(Load(Path("missing.bmp"), 0, texture)));
  EXPECT_EQ(texture, nullptr);
  testing::WriteBytes(Path("broken.bmp"), std::vector<uint8_t>{'B', 'M', 1, 2, 3});
  EXPECT_TRUE(Failed(Load(Path("broken.bmp"), 0, texture)));
  EXPECT_EQ(texture, nullptr);
  EXPECT_EQ(device_.LiveTextures(), 0);

  // Backslashes are folder separators, as the game writes its texture names.
  std::filesystem::create_directories(folder_ / "textures");
  testing::WriteBmp(Path("textures/intro.bmp"), 3, 2, kPicture, 24);
  EXPECT_EQ(Load((folder_ / "textures").string() + "\\intro.bmp", 0, texture), D3D_OK);
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(device_.LiveTextures(), 1);
  Release(texture);
  EXPECT_EQ(texture, nullptr);
  Release(texture);  // releasing an empty reference does nothing
  EXPECT_EQ(device_.LiveTextures(), 0);
}

// As a missing picture, one that cannot be read leaves its texture empty: a folder, a pipe
// nobody writes to (nothing waits for one), a read error (a link to the process's own
// memory, whose reading fails with EIO).
TEST_F(TextureLoading, PicturesThatCannotBeReadLeaveTheTextureEmpty) {
  std::filesystem::create_directory(Path("folder.bmp"));
  ASSERT_EQ(::mkfifo(Path("pipe.bmp").c_str(), 0600), 0);
  std::filesystem::create_symlink("/proc/self/mem", Path("unreadable.bmp"));
  TexturePtr texture;
  for (const char* name : {"folder.bmp", "pipe.bmp", "unreadable.bmp"}) {
    EXPECT_TRUE(Failed(Load(Path(name), 0, texture))) << name;
    EXPECT_EQ(texture, nullptr) << name;
  }
  EXPECT_EQ(device_.LiveTextures(), 0);
  Image image;
  std::string error;
  EXPECT_FALSE(ReadImageFile(Path("unreadable.bmp"), image, error));
  EXPECT_NE(error.find("Input/output error"), std::string::npos) << error;
}

TEST_F(TextureLoading, EmptyPngDataChunksAddNothingToThePicture) {
  ASSERT_TRUE(WritePngFile(Path("p.png"), Image{3, 2, kPicture}));
  std::ifstream file(Path("p.png"), std::ios::binary);
  std::vector<uint8_t> png{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  // An empty IDAT chunk (length 0, type, a check the decoder does not verify) before the
  // data and another after it.
  const std::vector<uint8_t> emptyData = {0, 0, 0, 0, 'I', 'D', 'A', 'T', 0xAE, 0x42, 0x60, 0x82};
  const auto chunkAt = [&png](const char* type) {
    return std::search(png.begin(), png.end(), type, type + 4) - png.begin() - 4;
  };
  const auto firstData = chunkAt("IDAT");
  const auto end = chunkAt("IEND");
  ASSERT_GT(firstData, 0);
  ASSERT_GT(end, firstData);
  png.insert(png.begin() + end, emptyData.begin(), emptyData.end());
  png.insert(png.begin() + firstData, emptyData.begin(), emptyData.end());

  Image image;
  std::string error;
  ASSERT_TRUE(DecodeImage(png.data(), png.size(), image, error)) << error;
  EXPECT_EQ(image.Width, 3);
  EXPECT_EQ(image.Argb, kPicture);
}

TEST(PictureDecoding, RefusedPicturesSayWhy) {
  const auto refusal = [](const std::vector<uint8_t>& bytes) {
    Image image;
    std::string error;
    EXPECT_FALSE(DecodeImage(bytes.data(), bytes.size(), image, error));
    return error;
  };
  // A PNG whose unknown critical chunk has a type starting with a zero byte: the decoder's
  // own reason, built from the type, is an empty text.
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  testing::Put32(png, 0x0D000000);  // big-endian 13
  png.insert(png.end(), {'I', 'H', 'D', 'R', 0, 0, 0, 1, 0, 0, 0, 1, 8, 2, 0, 0, 0, /* CRC */ 0, 0, 0, 0});
  png.insert(png.end(), {0, 0, 0, 0, 0, 'X', 'Y', 'Z', /* CRC */ 0, 0, 0, 0});
  EXPECT_FALSE(refusal(png).empty());

  // A picture wider than any texture the game loads is refused before it is decoded.
  std::vector<uint8_t> bmp = {'B', 'M'};
  testing::Put32(bmp, 0);
  testing::Put32(bmp, 0);
  testing::Put32(bmp, 54);
  testing::Put32(bmp, 40);
  testing::Put32(bmp, kMaxPictureSide + 1);
  testing::Put32(bmp, 1);
  testing::Put16(bmp, 1);
  testing::Put16(bmp, 24);
  for (int i = 0; i < 6; ++i) testing::Put32(bmp, 0);
  EXPECT_EQ(refusal(bmp), "too large");

  // A bitmap that claims no rows is no picture: its size would be 0, and its first mip
  // level would read a row it does not have.
  bmp[18] = 8;  // 8 x 0
  bmp[19] = bmp[20] = 0;
  bmp[22] = 0;
  EXPECT_EQ(refusal(bmp), "the picture has no pixels");

  // Only the kinds of picture the game ships are read.
  const std::string gif = "GIF89a\x01\x00\x01\x00\x00\x00\x00;";
  EXPECT_FALSE(refusal(std::vector<uint8_t>(gif.begin(), gif.end())).empty());
}

}  // namespace
}  // namespace zt
