// The shipped brick palettes, measured as players with each kind of colour vision see them.
#include <gtest/gtest.h>

#include <set>

#include "palette_check.h"
#include "render/brick_emboss.h"

namespace zt {
namespace {

TEST(ColourDifference, MatchesThePublishedCiede2000Pairs) {
  // Sharma, Wu and Dalal's test data: hue wrap-around, a colour without chroma, the blue
  // region's rotation term and dark colours.
  struct Case {
    Lab First, Second;
    double DeltaE;
  } cases[] = {
      {{50, 2.6772, -79.7751}, {50, 0, -82.7485}, 2.0425},
      {{50, -1.3802, -84.2814}, {50, 0, -82.7485}, 1.0000},
      {{50, 0, 0}, {50, -1, 2}, 2.3669},
      {{50, 2.49, -0.001}, {50, -2.49, 0.0009}, 7.1792},
      {{50, 2.49, -0.001}, {50, -2.49, 0.0011}, 7.2195},
      {{50, 2.5, 0}, {73, 25, -18}, 27.1492},
      {{60.2574, -34.0099, 36.2677}, {60.4626, -34.1751, 39.4387}, 1.2644},
      {{22.7233, 20.0904, -46.694}, {23.0331, 14.973, -42.5619}, 2.0373},
      {{90.9257, -0.5406, -0.9208}, {88.6381, -0.8985, -0.7239}, 1.5381},
      {{2.0776, 0.0795, -1.135}, {0.9033, -0.0636, -0.5514}, 0.9082},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(Ciede2000(c.First, c.Second), c.DeltaE, 5e-5) << c.First.L << " " << c.First.A << " " << c.First.B;
    EXPECT_NEAR(Ciede2000(c.Second, c.First), c.DeltaE, 5e-5) << "the difference is symmetric";
  }
  const Lab white = LabOf({1, 1, 1});
  EXPECT_NEAR(white.L, 100, 1e-3);
  EXPECT_NEAR(white.A, 0, 1e-3);
  EXPECT_NEAR(white.B, 0, 1e-3);
}

TEST(ColourDifference, EachSimulationLosesItsOwnAxisOnly) {
  const Rgb red{1, 0, 0}, green{0, 1, 0}, blue{0, 0, 1}, grey{0.5, 0.5, 0.5};
  EXPECT_GT(SeenDifference(red, green, Vision::kNormal), 60);
  for (Vision redGreenBlind : {Vision::kProtanopia, Vision::kDeuteranopia}) {
    const double redGreen = SeenDifference(red, green, redGreenBlind);
    EXPECT_LT(redGreen, SeenDifference(red, green, Vision::kNormal) / 2) << VisionName(redGreenBlind);
    EXPECT_GT(SeenDifference(blue, grey, redGreenBlind), 30) << "blue stays apart";
  }
  // Tritanopes tell red from green but lose blue against green's light.
  EXPECT_GT(SeenDifference(red, green, Vision::kTritanopia), 40);
  EXPECT_LT(SeenDifference(Rgb{0, 0.5, 1}, Rgb{0, 0.6, 0.6}, Vision::kTritanopia),
            SeenDifference(Rgb{0, 0.5, 1}, Rgb{0, 0.6, 0.6}, Vision::kNormal) / 2);
  // Greys look the same to everyone.
  for (Vision vision : kVisions)
    EXPECT_NEAR(SeenDifference(grey, Rgb{0.8, 0.8, 0.8}, vision),
                SeenDifference(grey, {0.8, 0.8, 0.8}, Vision::kNormal), 0.5)
        << VisionName(vision);
}

TEST(ShippedPalette, TheSetsAreThoseTheGameTypesShow) {
  const std::vector<ColourSet> sets = CheckedColourSets();
  ASSERT_EQ(sets.size(), 7u);
  for (size_t i = 0; i < 5; ++i) EXPECT_EQ(sets[i].Colours.size(), 7u) << sets[i].Name;
  EXPECT_EQ(sets[5].Colours.size(), 34u) << "every figure of the Redara table";
  EXPECT_EQ(sets[6].Colours.size(), 8u);
  EXPECT_EQ(sets[6].Colours.back(), kAddedLineColor);
}

TEST(ShippedPalette, TheGameTintsAreApartOnlyForNormalVision) {
  const SetMeasure seven = MeasurePalette(kBrickTints).front();
  EXPECT_GE(seven.Closest[0].DeltaE, seven.Set.Needed);
  for (size_t v = 1; v < kVisions.size(); ++v)
    EXPECT_LT(seven.Closest[v].DeltaE, seven.Set.Needed) << VisionName(kVisions[v]);
}

TEST(ShippedPalette, TheColourBlindTintsAreApartForEveryVision) {
  for (const SetMeasure& measure : MeasurePalette(kColourBlindTints))
    for (size_t v = 0; v < kVisions.size(); ++v)
      EXPECT_GE(measure.Closest[v].DeltaE, measure.Set.Needed)
          << measure.Set.Name << " under " << VisionName(kVisions[v]) << ": colours " << measure.Closest[v].First
          << " and " << measure.Closest[v].Second;
}

TEST(ShippedPalette, EveryFigureOfAGameTypeHasItsOwnPattern) {
  const std::vector<ColourSet> sets = CheckedColourSets();
  for (size_t i = 0; i < 5; ++i) {
    std::set<BrickEmboss> patterns;
    for (int32_t colour : sets[i].Colours) patterns.insert(kColourBlindEmbosses[static_cast<size_t>(colour - 1)]);
    EXPECT_EQ(patterns.size(), sets[i].Colours.size()) << sets[i].Name;
  }
  const std::vector<int32_t>& retro = sets[6].Colours;
  std::set<BrickEmboss> patterns;
  for (int32_t colour : retro) patterns.insert(kColourBlindEmbosses[static_cast<size_t>(colour - 1)]);
  EXPECT_EQ(patterns.size(), retro.size()) << "added lines' bricks have a pattern of their own";
}

}  // namespace
}  // namespace zt
