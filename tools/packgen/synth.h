// A small offline synthesiser: buffers, oscillators, envelopes, filters, WAV output.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pack.h"

namespace packgen {

struct Buf {
  int rate = 22050;
  std::vector<float> s;

  Buf() = default;
  Buf(int r, double seconds) : rate(r), s(static_cast<size_t>(seconds * r + 0.5), 0.0f) {}
  size_t n() const { return s.size(); }
  double Dur() const { return double(s.size()) / rate; }
  // Adds src (same rate) starting at time t, scaled by gain.
  void Mix(const Buf& src, double t, double gain = 1.0);
  void Gain(double g);
  // Scales so the loudest sample reaches peak.
  void Normalize(double peak);
  // Short fades at both ends against clicks.
  void Fades(double in_s, double out_s);
  // Makes the buffer loop seamlessly: the tail beyond `loop_n` samples is folded into the head.
  void FoldLoop(size_t loop_n, size_t overlap);
};

constexpr double kTau = 6.283185307179586;

// Oscillators take a phase in cycles.
inline double Sine(double ph) {
  return std::sin(kTau * ph);
}
inline double Saw(double ph) {
  return 2.0 * (ph - std::floor(ph)) - 1.0;
}
inline double Square(double ph, double duty = 0.5) {
  return (ph - std::floor(ph)) < duty ? 1.0 : -1.0;
}
inline double Tri(double ph) {
  const double x = ph - std::floor(ph);
  return x < 0.5 ? 4 * x - 1 : 3 - 4 * x;
}

// Renders f(t) for `seconds` at rate.
Buf Render(int rate, double seconds, const std::function<double(double)>& f);
// A tone whose frequency follows freq(t), shaped by wave(phase) and amp(t).
Buf Tone(int rate, double seconds, const std::function<double(double)>& freq,
         const std::function<double(double)>& wave, const std::function<double(double)>& amp);
// White noise shaped by amp(t), through a one-pole low pass whose cutoff follows cut(t) (Hz).
Buf Noise(int rate, double seconds, uint32_t seed, const std::function<double(double)>& amp,
          const std::function<double(double)>& cut);
// State-variable filters applied in place; cutoff in Hz may vary over time.
void LowPass(Buf& b, const std::function<double(double)>& cut, double q = 0.7);
void HighPass(Buf& b, const std::function<double(double)>& cut, double q = 0.7);
void BandPass(Buf& b, const std::function<double(double)>& cut, double q = 2.0);
// A feedback echo for space.
void Echo(Buf& b, double delay_s, double feedback, double wet);

// Envelope helpers.
inline double ExpDecay(double t, double tau) {
  return std::exp(-t / tau);
}
inline double AttackDecay(double t, double a, double tau) {
  return t < a ? t / a : std::exp(-(t - a) / tau);
}
double Adsr(double t, double a, double d, double s, double release_at, double r);

inline double NoteHz(double midi) {
  return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// 16-bit PCM WAV, mono or interleaved stereo.
std::vector<uint8_t> WavBytes(const std::vector<const Buf*>& channels);

}  // namespace packgen
