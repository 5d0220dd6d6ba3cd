// How far apart two brick tints look to people with each kind of colour vision: the tint as an
// sRGB colour, the dichromat simulations of Machado, Oliveira and Fernandes (2009) at severity 1.0
// applied to linear sRGB, CIE L*a*b* under D65, and the CIEDE2000 colour difference.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

namespace zt {

struct Rgb {
  double R, G, B;  // sRGB 0..1, as a brick tint gives it
};

struct Lab {
  double L, A, B;
};

enum class Vision { kNormal, kProtanopia, kDeuteranopia, kTritanopia };
constexpr std::array<Vision, 4> kVisions = {Vision::kNormal, Vision::kProtanopia, Vision::kDeuteranopia,
                                            Vision::kTritanopia};
const char* VisionName(Vision vision);

// The colour as the given vision sees it, in sRGB 0..1 (the simulation clamped to the gamut).
Rgb SimulatedColour(const Rgb& colour, Vision vision);
Lab LabOf(const Rgb& colour);
double Ciede2000(const Lab& first, const Lab& second);
// The CIEDE2000 difference of the two colours as the given vision sees them.
double SeenDifference(const Rgb& first, const Rgb& second, Vision vision);

struct ClosestPair {
  double DeltaE = 0;
  size_t First = 0, Second = 0;  // indexes into the colours
};
// The two colours (at least two) that look most alike to the given vision.
ClosestPair ClosestPairOf(const std::vector<Rgb>& colours, Vision vision);

}  // namespace zt
