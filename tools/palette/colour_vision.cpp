#include "colour_vision.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

namespace zt {
namespace {

using Matrix = std::array<std::array<double, 3>, 3>;

struct Simulation {
  const char* Name;
  Matrix Seen;  // linear sRGB as seen, from linear sRGB
};

// By Vision. The dichromacies: Machado, Oliveira and Fernandes (2009), severity 1.0.
constexpr std::array<Simulation, kVisions.size()> kSimulations = {{
    {"normal vision", {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}}},
    {"protanopia",
     {{{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}}}},
    {"deuteranopia",
     {{{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}}}},
    {"tritanopia",
     {{{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}}},
}};

const Simulation& SimulationOf(Vision vision) { return kSimulations[static_cast<size_t>(vision)]; }

// Linear sRGB to CIE XYZ, D65.
constexpr Matrix kSrgbToXyz = {
    {{0.4124564, 0.3575761, 0.1804375}, {0.2126729, 0.7151522, 0.0721750}, {0.0193339, 0.1191920, 0.9503041}}};

std::array<double, 3> Times(const Matrix& m, const std::array<double, 3>& v) {
  std::array<double, 3> out{};
  for (size_t row = 0; row < 3; ++row) out[row] = m[row][0] * v[0] + m[row][1] * v[1] + m[row][2] * v[2];
  return out;
}

double Linear(double encoded) {
  return encoded <= 0.04045 ? encoded / 12.92 : std::pow((encoded + 0.055) / 1.055, 2.4);
}

double Encoded(double linear) {
  return linear <= 0.0031308 ? linear * 12.92 : 1.055 * std::pow(linear, 1 / 2.4) - 0.055;
}

std::array<double, 3> LinearOf(const Rgb& colour) { return {Linear(colour.R), Linear(colour.G), Linear(colour.B)}; }

double LabCurve(double ratio) {
  constexpr double kEpsilon = 216.0 / 24389.0, kKappa = 24389.0 / 27.0;
  return ratio > kEpsilon ? std::cbrt(ratio) : (kKappa * ratio + 16) / 116;
}

double Radians(double degrees) { return degrees * std::numbers::pi / 180; }
double Degrees(double radians) { return radians * 180 / std::numbers::pi; }

// The hue angle in degrees 0..360 (0 for a colour without chroma).
double HueAngle(double b, double a) {
  if (a == 0 && b == 0) return 0;
  const double angle = Degrees(std::atan2(b, a));
  return angle < 0 ? angle + 360 : angle;
}

double Pow7(double value) { return std::pow(value, 7); }

}  // namespace

const char* VisionName(Vision vision) { return SimulationOf(vision).Name; }

Rgb SimulatedColour(const Rgb& colour, Vision vision) {
  const std::array<double, 3> seen = Times(SimulationOf(vision).Seen, LinearOf(colour));
  auto channel = [&](size_t i) { return Encoded(std::clamp(seen[i], 0.0, 1.0)); };
  return {channel(0), channel(1), channel(2)};
}

Lab LabOf(const Rgb& colour) {
  const std::array<double, 3> xyz = Times(kSrgbToXyz, LinearOf(colour));
  const std::array<double, 3> white = Times(kSrgbToXyz, {1, 1, 1});
  const double fx = LabCurve(xyz[0] / white[0]), fy = LabCurve(xyz[1] / white[1]), fz = LabCurve(xyz[2] / white[2]);
  return {116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz)};
}

// Sharma, Wu and Dalal's statement of the formula, with kL = kC = kH = 1.
double Ciede2000(const Lab& first, const Lab& second) {
  const double meanChroma = (std::hypot(first.A, first.B) + std::hypot(second.A, second.B)) / 2;
  const double g = 0.5 * (1 - std::sqrt(Pow7(meanChroma) / (Pow7(meanChroma) + Pow7(25))));
  const double a1 = (1 + g) * first.A, a2 = (1 + g) * second.A;
  const double c1 = std::hypot(a1, first.B), c2 = std::hypot(a2, second.B);
  const double h1 = HueAngle(first.B, a1), h2 = HueAngle(second.B, a2);

  const bool achromatic = c1 * c2 == 0;
  double hueStep = achromatic ? 0 : h2 - h1;
  if (hueStep > 180) hueStep -= 360;
  if (hueStep < -180) hueStep += 360;
  const double dL = second.L - first.L;
  const double dC = c2 - c1;
  const double dH = 2 * std::sqrt(c1 * c2) * std::sin(Radians(hueStep) / 2);

  const double meanL = (first.L + second.L) / 2;
  const double meanC = (c1 + c2) / 2;
  double meanH = h1 + h2;
  if (!achromatic) meanH = std::abs(h1 - h2) <= 180 ? meanH / 2 : (meanH < 360 ? meanH + 360 : meanH - 360) / 2;

  const double t = 1 - 0.17 * std::cos(Radians(meanH - 30)) + 0.24 * std::cos(Radians(2 * meanH)) +
                   0.32 * std::cos(Radians(3 * meanH + 6)) - 0.20 * std::cos(Radians(4 * meanH - 63));
  const double rotation = 30 * std::exp(-std::pow((meanH - 275) / 25, 2));
  const double rc = 2 * std::sqrt(Pow7(meanC) / (Pow7(meanC) + Pow7(25)));
  const double sl = 1 + 0.015 * std::pow(meanL - 50, 2) / std::sqrt(20 + std::pow(meanL - 50, 2));
  const double sc = 1 + 0.045 * meanC;
  const double sh = 1 + 0.015 * meanC * t;
  const double rt = -std::sin(Radians(2 * rotation)) * rc;
  const double l = dL / sl, c = dC / sc, h = dH / sh;
  return std::sqrt(l * l + c * c + h * h + rt * c * h);
}

double SeenDifference(const Rgb& first, const Rgb& second, Vision vision) {
  return Ciede2000(LabOf(SimulatedColour(first, vision)), LabOf(SimulatedColour(second, vision)));
}

ClosestPair ClosestPairOf(const std::vector<Rgb>& colours, Vision vision) {
  assert(colours.size() >= 2);
  ClosestPair closest{INFINITY, 0, 1};
  for (size_t i = 0; i < colours.size(); ++i)
    for (size_t j = i + 1; j < colours.size(); ++j) {
      const double difference = SeenDifference(colours[i], colours[j], vision);
      if (difference < closest.DeltaE) closest = {difference, i, j};
    }
  return closest;
}

}  // namespace zt
