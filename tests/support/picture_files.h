// Small BMP and TGA files written byte by byte, for the picture and texture tests.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace zt::testing {

inline void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A Windows bitmap, 24 or 32 bits per pixel, rows stored bottom first and padded to
// four bytes. `argb` holds the rows top first; the 32-bit file keeps the alpha byte.
inline void WriteBmp(const std::string& path, int width, int height, const std::vector<uint32_t>& argb, int bits) {
  const int bytesPerPixel = bits / 8;
  const int rowSize = (width * bytesPerPixel + 3) / 4 * 4;
  std::vector<uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 54 + rowSize * height);
  Put32(out, 0);
  Put32(out, 54);
  Put32(out, 40);
  Put32(out, width);
  Put32(out, height);
  Put16(out, 1);
  Put16(out, bits);
  Put32(out, 0);  // no compression
  Put32(out, rowSize * height);
  Put32(out, 2835);
  Put32(out, 2835);
  Put32(out, 0);
  Put32(out, 0);
  for (int y = height - 1; y >= 0; --y) {
    size_t start = out.size();
    for (int x = 0; x < width; ++x) {
      const uint32_t p = argb[static_cast<size_t>(y) * width + x];
      out.push_back(static_cast<uint8_t>(p));
      out.push_back(static_cast<uint8_t>(p >> 8));
      out.push_back(static_cast<uint8_t>(p >> 16));
      if (bytesPerPixel == 4) out.push_back(static_cast<uint8_t>(p >> 24));
    }
    while (out.size() - start < static_cast<size_t>(rowSize)) out.push_back(0);
  }
  WriteBytes(path, out);
}

// An uncompressed 32-bit TGA with alpha, rows stored bottom first.
inline void WriteTga(const std::string& path, int width, int height, const std::vector<uint32_t>& argb) {
  std::vector<uint8_t> out = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  Put16(out, width);
  Put16(out, height);
  out.push_back(32);
  out.push_back(8);  // eight alpha bits, bottom-left origin
  for (int y = height - 1; y >= 0; --y)
    for (int x = 0; x < width; ++x) Put32(out, argb[static_cast<size_t>(y) * width + x]);
  WriteBytes(path, out);
}

}  // namespace zt::testing
