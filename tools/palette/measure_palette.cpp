// Prints how far apart the brick tints of both palettes look: for each set of colours that
// share a glass, the closest pair under normal vision and the three dichromat simulations,
// with the CIEDE2000 difference the set needs.
//
//   build/tools/measure_palette
#include <cstdio>

#include "palette_check.h"

namespace {

void PrintTable(const char* title, const zt::BrickTints& tints) {
  std::printf("%s\n\n| colours | needs |", title);
  for (zt::Vision vision : zt::kVisions) std::printf(" %s |", zt::VisionName(vision));
  std::printf("\n|---|---|");
  for (size_t v = 0; v < zt::kVisions.size(); ++v) std::printf("---|");
  std::printf("\n");
  for (const zt::SetMeasure& measure : zt::MeasurePalette(tints)) {
    std::printf("| %s | %.0f |", measure.Set.Name.c_str(), measure.Set.Needed);
    for (const zt::ClosestPair& pair : measure.Closest)
      std::printf(" %5.1f (%zu, %zu)%s |", pair.DeltaE, pair.First, pair.Second,
                  pair.DeltaE < measure.Set.Needed ? " too close" : "");
    std::printf("\n");
  }
  std::printf("\n");
}

}  // namespace

int main() {
  std::printf(
      "Smallest CIEDE2000 difference in each set (the pair of brick colours that gives it);\n"
      "dichromacy simulated with Machado et al. (2009), severity 1.0, on linear sRGB.\n\n");
  PrintTable("The game's own tints", zt::kBrickTints);
  PrintTable("The colour-blind palette (Palette=1)", zt::kColourBlindTints);
  return 0;
}
