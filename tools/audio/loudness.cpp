// Measures a sound for the audio generator: integrated loudness (K-weighted, gated, in
// LUFS), sample peak and 4x-oversampled true peak (dBFS), RMS (dBFS) and length.
//
//   g++ -O2 -std=c++20 -o loudness loudness.cpp
//   sox FILE -t f32 -c 2 -r 44100 - | ./loudness
//
// Prints one line: "lufs=-16.02 peak=-1.83 truepeak=-1.61 rms=-19.40 seconds=112.35 tail=-80.1",
// tail being the peak of the last 2 ms (a sound that ends in a click shows it here).
// Loudness of a sound shorter than one 400 ms block is taken over the whole sound.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr double kRate = 44100.0;
constexpr double kPi = 3.14159265358979323846;

struct Biquad {
  double b0, b1, b2, a1, a2;
  double z1 = 0, z2 = 0;
  double Run(double x) {
    double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
  }
};

// The two stages of the K weighting: a high shelf of +4 dB above about 1.7 kHz (the
// head's effect) and a high pass at about 38 Hz.
Biquad Shelf() {
  const double gainDb = 3.99984385397, fc = 1681.974450955533, q = 0.7071752369554196;
  const double a = std::pow(10.0, gainDb / 40.0), w = 2 * kPi * fc / kRate;
  const double alpha = std::sin(w) / (2 * q), c = std::cos(w), s = 2 * std::sqrt(a) * alpha;
  const double a0 = (a + 1) - (a - 1) * c + s;
  return {a * ((a + 1) + (a - 1) * c + s) / a0, -2 * a * ((a - 1) + (a + 1) * c) / a0,
          a * ((a + 1) + (a - 1) * c - s) / a0, 2 * ((a - 1) - (a + 1) * c) / a0, ((a + 1) - (a - 1) * c - s) / a0};
}

Biquad HighPass() {
  const double fc = 38.13547087602444, q = 0.5003270373238773;
  const double w = 2 * kPi * fc / kRate, alpha = std::sin(w) / (2 * q), c = std::cos(w);
  const double a0 = 1 + alpha;
  return {(1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0};
}

double Db(double power) { return power > 0 ? 10 * std::log10(power) : -200.0; }

}  // namespace

int main() {
  std::vector<float> left, right;
  float frame[2];
  while (std::fread(frame, sizeof(float), 2, stdin) == 2) {
    left.push_back(frame[0]);
    right.push_back(frame[1]);
  }
  const size_t n = left.size();
  if (n == 0) {
    std::printf("empty\n");
    return 1;
  }

  // K-weighted squares, summed per 100 ms step.
  const size_t step = static_cast<size_t>(kRate / 10);
  std::vector<double> stepPower;
  Biquad shelf[2] = {Shelf(), Shelf()}, pass[2] = {HighPass(), HighPass()};
  double acc = 0, total = 0, peak = 0, squares = 0;
  for (size_t i = 0; i < n; ++i) {
    const float in[2] = {left[i], right[i]};
    for (int ch = 0; ch < 2; ++ch) {
      const double y = pass[ch].Run(shelf[ch].Run(in[ch]));
      acc += y * y;
      total += y * y;
      peak = std::max(peak, static_cast<double>(std::fabs(in[ch])));
      squares += static_cast<double>(in[ch]) * in[ch];
    }
    if ((i + 1) % step == 0) {
      stepPower.push_back(acc);
      acc = 0;
    }
  }

  // 400 ms blocks overlapping by 75 %, gated at -70 LUFS and then 10 LU below the mean.
  std::vector<double> blocks;
  for (size_t b = 0; b + 4 <= stepPower.size(); ++b)
    blocks.push_back((stepPower[b] + stepPower[b + 1] + stepPower[b + 2] + stepPower[b + 3]) / (4.0 * step));
  double lufs;
  if (blocks.empty()) {
    lufs = -0.691 + Db(total / n);
  } else {
    auto gated = [&](double threshold) {
      double sum = 0;
      int count = 0;
      for (double p : blocks)
        if (-0.691 + Db(p) > threshold) sum += p, ++count;
      return count ? sum / count : 0.0;
    };
    const double absolute = gated(-70.0);
    lufs = -0.691 + Db(gated(-0.691 + Db(absolute) - 10.0));
  }

  // True peak: 4x oversampling with a windowed-sinc interpolator (24 taps per phase).
  double truePeak = peak;
  const int taps = 24;
  for (const std::vector<float>* channel : {&left, &right}) {
    for (int phase = 1; phase < 4; ++phase) {
      std::vector<double> kernel(taps);
      for (int k = 0; k < taps; ++k) {
        const double t = (k - taps / 2 + 1) - phase / 4.0;
        const double sinc = std::sin(kPi * t) / (kPi * t);
        const double window = 0.5 + 0.5 * std::cos(kPi * t / (taps / 2));
        kernel[k] = sinc * window;
      }
      for (size_t i = taps; i + taps < n; ++i) {
        double v = 0;
        for (int k = 0; k < taps; ++k) v += kernel[k] * (*channel)[i + k - taps / 2 + 1];
        truePeak = std::max(truePeak, std::fabs(v));
      }
    }
  }

  double tail = 0;
  for (size_t i = n - std::min<size_t>(n, 88); i < n; ++i)
    tail = std::max({tail, static_cast<double>(std::fabs(left[i])), static_cast<double>(std::fabs(right[i]))});

  std::printf("lufs=%.2f peak=%.2f truepeak=%.2f rms=%.2f seconds=%.2f tail=%.1f\n", lufs,
              20 * std::log10(std::max(peak, 1e-10)), 20 * std::log10(std::max(truePeak, 1e-10)),
              Db(squares / (2.0 * n)), n / kRate, 20 * std::log10(std::max(tail, 1e-10)));
  return 0;
}
