#include "synth.h"

#include <algorithm>

namespace packgen {

void Buf::Mix(const Buf& src, double t, double gain) {
  const long start = static_cast<long>(std::lround(t * rate));
  for (size_t i = 0; i < src.n(); ++i) {
    const long j = start + static_cast<long>(i);
    if (j < 0) continue;
    if (static_cast<size_t>(j) >= s.size()) break;
    s[j] += static_cast<float>(src.s[i] * gain);
  }
}

void Buf::Gain(double g) {
  for (float& v : s) v = static_cast<float>(v * g);
}

void Buf::Normalize(double peak) {
  double m = 0;
  for (float v : s) m = std::max(m, double(std::fabs(v)));
  if (m > 0) Gain(peak / m);
}

void Buf::Fades(double in_s, double out_s) {
  const size_t a = std::min(s.size(), static_cast<size_t>(in_s * rate));
  const size_t b = std::min(s.size(), static_cast<size_t>(out_s * rate));
  for (size_t i = 0; i < a; ++i) s[i] *= static_cast<float>(double(i) / a);
  for (size_t i = 0; i < b; ++i) s[s.size() - 1 - i] *= static_cast<float>(double(i) / b);
}

void Buf::FoldLoop(size_t loop_n, size_t overlap) {
  // Equal-power crossfade of the tail (after loop_n) into the head.
  for (size_t i = 0; i < overlap && loop_n + i < s.size(); ++i) {
    const double x = double(i) / overlap;
    const double head = std::sin(x * kTau / 4), tail = std::cos(x * kTau / 4);
    s[i] = static_cast<float>(s[i] * head + s[loop_n + i] * tail);
  }
  s.resize(loop_n);
}

Buf Render(int rate, double seconds, const std::function<double(double)>& f) {
  Buf b(rate, seconds);
  for (size_t i = 0; i < b.n(); ++i) b.s[i] = static_cast<float>(f(double(i) / rate));
  return b;
}

Buf Tone(int rate, double seconds, const std::function<double(double)>& freq,
         const std::function<double(double)>& wave, const std::function<double(double)>& amp) {
  Buf b(rate, seconds);
  double ph = 0;
  for (size_t i = 0; i < b.n(); ++i) {
    const double t = double(i) / rate;
    b.s[i] = static_cast<float>(wave(ph) * amp(t));
    ph += freq(t) / rate;
  }
  return b;
}

Buf Noise(int rate, double seconds, uint32_t seed, const std::function<double(double)>& amp,
          const std::function<double(double)>& cut) {
  Buf b(rate, seconds);
  Rng rng(seed);
  double y = 0;
  for (size_t i = 0; i < b.n(); ++i) {
    const double t = double(i) / rate;
    const double x = rng.Uniform() * 2 - 1;
    const double c = std::min(0.99, 1 - std::exp(-kTau * cut(t) / rate));
    y += c * (x - y);
    b.s[i] = static_cast<float>(y * amp(t));
  }
  return b;
}

namespace {
enum class Mode { Low, High, Band };
void Svf(Buf& b, const std::function<double(double)>& cut, double q, Mode mode) {
  double low = 0, band = 0;
  for (size_t i = 0; i < b.n(); ++i) {
    const double t = double(i) / b.rate;
    const double fc = std::clamp(cut(t), 20.0, b.rate * 0.45);
    const double f = 2 * std::sin(M_PI * fc / (2.0 * b.rate));
    const double damp = 1.0 / q;
    // Two passes per sample (oversampled) keep the filter stable at high cutoffs.
    double out = 0;
    for (int pass = 0; pass < 2; ++pass) {
      const double high = b.s[i] - low - damp * band;
      band += f * high;
      low += f * band;
      out = mode == Mode::Low ? low : (mode == Mode::High ? high : band);
    }
    b.s[i] = static_cast<float>(out);
  }
}
}  // namespace

void LowPass(Buf& b, const std::function<double(double)>& cut, double q) {
  Svf(b, cut, q, Mode::Low);
}
void HighPass(Buf& b, const std::function<double(double)>& cut, double q) {
  Svf(b, cut, q, Mode::High);
}
void BandPass(Buf& b, const std::function<double(double)>& cut, double q) {
  Svf(b, cut, q, Mode::Band);
}

void Echo(Buf& b, double delay_s, double feedback, double wet) {
  const size_t d = static_cast<size_t>(delay_s * b.rate);
  if (d == 0) return;
  std::vector<float> line(b.s);
  for (size_t i = d; i < line.size(); ++i) line[i] += static_cast<float>(line[i - d] * feedback);
  for (size_t i = 0; i < b.n(); ++i) {
    const float delayed = i >= d ? line[i - d] : 0.0f;
    b.s[i] = static_cast<float>(b.s[i] + delayed * wet);
  }
}

double Adsr(double t, double a, double d, double s, double release_at, double r) {
  double v;
  if (t < a)
    v = t / a;
  else if (t < a + d)
    v = 1 - (1 - s) * (t - a) / d;
  else
    v = s;
  if (t > release_at) v *= std::max(0.0, 1 - (t - release_at) / r);
  return v;
}

std::vector<uint8_t> WavBytes(const std::vector<const Buf*>& channels) {
  const uint16_t ch = static_cast<uint16_t>(channels.size());
  const uint32_t rate = static_cast<uint32_t>(channels[0]->rate);
  const uint32_t frames = static_cast<uint32_t>(channels[0]->n());
  const uint32_t data = frames * ch * 2;
  std::vector<uint8_t> out;
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto u16 = [&](uint16_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
  };
  auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
  tag("RIFF");
  u32(36 + data);
  tag("WAVE");
  tag("fmt ");
  u32(16);
  u16(1);
  u16(ch);
  u32(rate);
  u32(rate * ch * 2);
  u16(static_cast<uint16_t>(ch * 2));
  u16(16);
  tag("data");
  u32(data);
  for (uint32_t i = 0; i < frames; ++i) {
    for (const Buf* b : channels) {
      const double v = std::clamp(double(b->s[i]), -1.0, 1.0);
      u16(static_cast<uint16_t>(static_cast<int16_t>(std::lround(v * 32767))));
    }
  }
  return out;
}

}  // namespace packgen
