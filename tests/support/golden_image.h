// Comparing a drawn picture with its committed golden picture: at most 0.5 % of the pixels
// may differ by more than 2 in a channel. On a mismatch the actual, expected and difference
// pictures are written to an output folder; ZT_UPDATE_GOLDEN=1 writes the golden picture instead.
#pragma once

#include <filesystem>
#include <string>

#include "device/image_file.h"

namespace zt::testing {

struct GoldenResult {
  bool Matches = false;
  std::string Message;  // what differs and where the pictures went
};

GoldenResult CompareWithGolden(const Image& actual, const std::filesystem::path& golden,
                               const std::filesystem::path& outputDir, const std::string& name);

}  // namespace zt::testing
