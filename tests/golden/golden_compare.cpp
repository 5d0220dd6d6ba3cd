// golden_compare ACTUAL.png GOLDEN.png OUTPUT_DIR NAME: exit 0 when the pictures match
// within the golden tolerance, 1 otherwise (the pictures then go to OUTPUT_DIR).
#include <iostream>

#include "support/golden_image.h"

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "usage: golden_compare ACTUAL.png GOLDEN.png OUTPUT_DIR NAME\n";
    return 2;
  }
  zt::Image actual;
  std::string error;
  if (!zt::ReadImageFile(argv[1], actual, error)) {
    std::cerr << error << '\n';
    return 1;
  }
  const zt::testing::GoldenResult result = zt::testing::CompareWithGolden(actual, argv[2], argv[3], argv[4]);
  if (!result.Matches) std::cerr << result.Message << '\n';
  return result.Matches ? 0 : 1;
}
