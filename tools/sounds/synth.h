// A tiny offline synthesiser for the game's sound effects: oscillators, envelopes,
// noise and a resonant filter, mixed into a mono buffer of floats.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace sfx {

constexpr int kRate = 22050;
constexpr double kTau = 6.283185307179586;

using Buffer = std::vector<double>;

inline Buffer Silence(double seconds) { return Buffer(size_t(seconds * kRate), 0.0); }

// Deterministic noise (xorshift), so every build makes the same bytes.
struct Noise {
  uint32_t s = 0x9E3779B9u;
  double Next() {
    s ^= s << 13;
    s ^= s >> 17;
    s ^= s << 5;
    return double(s) / 2147483648.0 - 1.0;
  }
};

// Adds a decaying partial: sine at freq (Hz), starting at t0 (s), with attack and decay times.
inline void AddTone(Buffer& b, double t0, double freq, double amp, double attack, double decay,
                    double length, double glide = 0.0) {
  size_t start = size_t(t0 * kRate), n = size_t(length * kRate);
  double phase = 0;
  for (size_t i = 0; i < n && start + i < b.size(); ++i) {
    double t = double(i) / kRate;
    double env = t < attack ? t / attack : std::exp(-(t - attack) / decay);
    double f = freq * (1.0 + glide * t / length);
    phase += kTau * f / kRate;
    b[start + i] += amp * env * std::sin(phase);
  }
}

// A brassy note: a few harmonics with a soft attack and a held body.
inline void AddBrass(Buffer& b, double t0, double freq, double amp, double length) {
  size_t start = size_t(t0 * kRate), n = size_t(length * kRate);
  for (size_t i = 0; i < n && start + i < b.size(); ++i) {
    double t = double(i) / kRate;
    double env = std::min(1.0, t / 0.03) * (t > length - 0.08 ? std::max(0.0, (length - t) / 0.08) : 1.0);
    double bright = 0.6 + 0.4 * std::min(1.0, t / 0.05);
    double v = 0;
    for (int h = 1; h <= 6; ++h) v += std::sin(kTau * freq * h * t) * std::pow(bright, h) / h;
    b[start + i] += amp * env * v * 0.6;
  }
}

// A short burst of noise through a resonant band-pass filter (wood, clicks).
inline void AddKnock(Buffer& b, double t0, double centre, double q, double amp, double decay, double length,
                     Noise& noise) {
  size_t start = size_t(t0 * kRate), n = size_t(length * kRate);
  double w = kTau * centre / kRate, alpha = std::sin(w) / (2 * q);
  double b0 = alpha, a0 = 1 + alpha, a1 = -2 * std::cos(w), a2 = 1 - alpha;
  double x1 = 0, x2 = 0, y1 = 0, y2 = 0;
  for (size_t i = 0; i < n && start + i < b.size(); ++i) {
    double t = double(i) / kRate;
    double x = noise.Next() * std::exp(-t / decay);
    double y = (b0 * x - b0 * x2 - a1 * y1 - a2 * y2) / a0;
    x2 = x1, x1 = x, y2 = y1, y1 = y;
    b[start + i] += amp * y;
  }
}

inline double NoteHz(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

// Fades both ends to zero (no clicks) and scales the peak to `peak` of full range.
inline std::vector<int16_t> Finish(Buffer b, double peak = 0.7) {
  size_t fade = std::min<size_t>(b.size() / 4, size_t(0.004 * kRate));
  for (size_t i = 0; i < fade; ++i) {
    double g = double(i) / double(fade);
    b[i] *= g;
    b[b.size() - 1 - i] *= g;
  }
  double m = 1e-9;
  for (double v : b) m = std::max(m, std::fabs(v));
  std::vector<int16_t> out(b.size());
  for (size_t i = 0; i < b.size(); ++i) out[i] = int16_t(std::lround(b[i] / m * peak * 32767.0));
  return out;
}

}  // namespace sfx
