#include "support/golden_image.h"

#include <algorithm>
#include <cstdlib>

namespace zt::testing {

namespace {

bool UpdateRequested() {
  const char* update = std::getenv("ZT_UPDATE_GOLDEN");
  return update != nullptr && std::string(update) == "1";
}

}  // namespace

GoldenResult CompareWithGolden(const Image& actual, const std::filesystem::path& golden,
                               const std::filesystem::path& outputDir, const std::string& name) {
  if (UpdateRequested()) {
    std::filesystem::create_directories(golden.parent_path());
    if (!WritePngFile(golden.string(), actual)) return {false, "cannot write " + golden.string()};
    return {true, "golden picture written"};
  }
  Image expected;
  std::string error;
  if (!ReadImageFile(golden.string(), expected, error)) return {false, error};
  if (expected.Width != actual.Width || expected.Height != actual.Height)
    return {false, golden.string() + " has another size"};
  Image diff = actual;
  size_t outside = 0;
  for (size_t i = 0; i < actual.Argb.size(); ++i) {
    int worst = 0;
    for (int shift : {16, 8, 0})
      worst = std::max(worst, std::abs(static_cast<int>((actual.Argb[i] >> shift) & 0xFF) -
                                       static_cast<int>((expected.Argb[i] >> shift) & 0xFF)));
    outside += worst > 2 ? 1 : 0;
    const uint32_t level = static_cast<uint32_t>(std::min(255, worst * 8));
    diff.Argb[i] = 0xFF000000u | (level << 16) | (level << 8) | level;
  }
  if (outside * 200 <= actual.Argb.size()) return {true, ""};
  std::filesystem::create_directories(outputDir);
  WritePngFile((outputDir / (name + ".actual.png")).string(), actual);
  WritePngFile((outputDir / (name + ".expected.png")).string(), expected);
  WritePngFile((outputDir / (name + ".diff.png")).string(), diff);
  return {false,
          std::to_string(outside) + " pixels differ from " + golden.string() + "; pictures in " + outputDir.string()};
}

}  // namespace zt::testing
