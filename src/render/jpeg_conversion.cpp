#include "render/jpeg_conversion.h"

#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <system_error>

#include "core/file_read.h"
#include "core/load_error.h"
#include "core/safe_save.h"
#include "device/image_file.h"

namespace zt {

namespace {

// libjpeg reports a fatal error through error_exit, which must not return: it jumps
// back to the decoder with the message kept.
struct JpegErrorManager {
  jpeg_error_mgr Base;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ExitWithError(j_common_ptr info) {
  auto* manager = reinterpret_cast<JpegErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->Message);
  std::longjmp(manager->Jump, 1);
}

void IgnoreMessage(j_common_ptr) {}

// Kept free of objects with destructors between setjmp and the end, so the jump skips none.
bool Decode(const unsigned char* data, unsigned long size, RgbPicture& picture, JpegErrorManager& errors) {
  jpeg_decompress_struct info;
  info.err = jpeg_std_error(&errors.Base);
  errors.Base.error_exit = ExitWithError;
  errors.Base.output_message = IgnoreMessage;
  if (setjmp(errors.Jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, size);
  jpeg_read_header(&info, TRUE);
  // A header may claim up to 65500 pixels a side whatever the file's length; the game
  // refuses what its bitmap reader would refuse before anything is allocated for it.
  if (info.image_width > static_cast<unsigned>(kMaxPictureSide) ||
      info.image_height > static_cast<unsigned>(kMaxPictureSide)) {
    std::snprintf(errors.Message, sizeof(errors.Message), "is %ux%u pixels; at most %d a side are read",
                  info.image_width, info.image_height, kMaxPictureSide);
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  if (info.output_components != 3) {
    std::snprintf(errors.Message, sizeof(errors.Message), "has %d colour channels; 3 are needed",
                  info.output_components);
    jpeg_destroy_decompress(&info);
    return false;
  }
  picture.Width = static_cast<int>(info.output_width);
  picture.Height = static_cast<int>(info.output_height);
  picture.Rgb.resize(static_cast<size_t>(picture.Width) * picture.Height * 3);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = picture.Rgb.data() + static_cast<size_t>(info.output_scanline) * picture.Width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

void PutLittle(std::string& out, uint32_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

bool DecodeJpegFile(const std::filesystem::path& path, RgbPicture& picture, std::string& error) {
  const FileBytes read = ReadFileBytes(path, kMaxPictureFileBytes);
  if (!read.Ok()) {
    error = read.Error;
    return false;
  }
  return DecodeJpeg(reinterpret_cast<const uint8_t*>(read.Bytes.data()), read.Bytes.size(), picture, error);
}

bool DecodeJpeg(const uint8_t* bytes, size_t size, RgbPicture& picture, std::string& error) {
  if (size == 0) {
    error = "is empty";
    return false;
  }
  JpegErrorManager errors{};
  if (!Decode(bytes, static_cast<unsigned long>(size), picture, errors)) {
    error = std::string("is not a readable JPEG picture: ") + errors.Message;
    picture = RgbPicture{};
    return false;
  }
  return true;
}

std::string EncodeBmp24(const RgbPicture& picture) {
  if (picture.Width <= 0 || picture.Height <= 0) return {};
  const size_t rowBytes = static_cast<size_t>(picture.Width) * 3;
  const size_t stride = (rowBytes + 3) / 4 * 4;
  const auto imageSize = static_cast<uint32_t>(stride * static_cast<size_t>(picture.Height));
  std::string out;
  out.reserve(54 + imageSize);
  out += "BM";
  PutLittle(out, 54 + imageSize, 4);  // file size
  PutLittle(out, 0, 4);               // reserved
  PutLittle(out, 54, 4);              // pixel data offset
  PutLittle(out, 40, 4);              // BITMAPINFOHEADER
  PutLittle(out, static_cast<uint32_t>(picture.Width), 4);
  PutLittle(out, static_cast<uint32_t>(picture.Height), 4);  // positive: the bottom row first
  PutLittle(out, 1, 2);                                      // planes
  PutLittle(out, 24, 2);                                     // bits per pixel
  PutLittle(out, 0, 4);                                      // BI_RGB
  PutLittle(out, imageSize, 4);
  PutLittle(out, 2835, 4);  // 72 dots per inch
  PutLittle(out, 2835, 4);
  PutLittle(out, 0, 4);
  PutLittle(out, 0, 4);
  for (int y = picture.Height - 1; y >= 0; --y) {
    const uint8_t* row = picture.Rgb.data() + static_cast<size_t>(y) * rowBytes;
    for (int x = 0; x < picture.Width; ++x) {
      out.push_back(static_cast<char>(row[x * 3 + 2]));
      out.push_back(static_cast<char>(row[x * 3 + 1]));
      out.push_back(static_cast<char>(row[x * 3 + 0]));
    }
    out.append(stride - rowBytes, '\0');
  }
  return out;
}

bool WriteBmp24File(const std::filesystem::path& path, const RgbPicture& picture) {
  const std::string out = EncodeBmp24(picture);
  return !out.empty() && ReplaceFileSafely(path.string(), out);
}

void ConvertJpegToBmp(const std::filesystem::path& gameDir, const std::string& jpgName, const std::string& bmpName) {
  const auto under = [&gameDir](const std::string& name) {
    return gameDir.empty() ? std::filesystem::path(name) : gameDir / name;
  };
  std::error_code ignored;
  if (std::filesystem::exists(under(bmpName), ignored)) return;
  if (!std::filesystem::exists(under(jpgName), ignored))
    throw LoadError(jpgName, "is missing, and so is " + bmpName + " made from it");
  RgbPicture picture;
  std::string error;
  if (!DecodeJpegFile(under(jpgName), picture, error)) throw LoadError(jpgName, error);
  if (!WriteBmp24File(under(bmpName), picture)) throw LoadError(bmpName, "cannot be written");
}

void ConvertIntroToBMP(const std::filesystem::path& gameDir) {
  ConvertJpegToBmp(gameDir, "textures/intro.jpg", "textures/intro.bmp");
}

void ConvertPicturesToBMP(const std::filesystem::path& gameDir) {
  static constexpr const char* kPictures[] = {"background", "bkgrgame",  "bkgrgame2", "bkgrgame3",
                                              "bkgrgame4",  "bkgrgame5", "backhelp"};
  for (const char* picture : kPictures)
    ConvertJpegToBmp(gameDir, std::string("textures/") + picture + ".jpg", std::string("textures/") + picture + ".bmp");
}

}  // namespace zt
