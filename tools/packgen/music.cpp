// The three music tracks: two modules written with our XM writer and one rendered stream.
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <sstream>

#include "synth.h"
#include "xm.h"

namespace packgen {
namespace {

// Instruments are sampled at this rate with their pitch at C-4: one period is 128 samples,
// and note C-4 plays back at 8363 * 2^((24 + 2/128)/12) Hz, the sampling rate.
constexpr int kSmpRate = 33488;
constexpr int kRelNote = 24, kFine = 2;
constexpr double kC4 = kSmpRate / 128.0;

std::vector<int16_t> ToPcm(const Buf& b, double peak = 0.9) {
  double m = 1e-9;
  for (float v : b.s) m = std::max(m, double(std::fabs(v)));
  std::vector<int16_t> out(b.n());
  for (size_t i = 0; i < b.n(); ++i)
    out[i] = static_cast<int16_t>(std::lround(b.s[i] / m * peak * 32767));
  return out;
}

XmInstrument OneShot(const std::string& name, const Buf& b, uint8_t volume = 64,
                     uint8_t pan = 128) {
  XmInstrument in;
  in.pan = pan;
  in.name = name;
  in.data = ToPcm(b);
  in.relnote = kRelNote;
  in.finetune = kFine;
  in.volume = volume;
  return in;
}

// A looped waveform of `cycles` periods of C-4 given by its harmonic amplitudes.
XmInstrument Looped(const std::string& name, const std::function<double(int, double)>& wave,
                    int cycles, std::vector<std::pair<uint16_t, uint16_t>> env, int sustain,
                    uint16_t fadeout, uint8_t volume) {
  Buf b(kSmpRate, 128.0 * cycles / kSmpRate);
  for (size_t i = 0; i < b.n(); ++i)
    b.s[i] = static_cast<float>(wave(static_cast<int>(i), double(i) / 128.0));
  XmInstrument in = OneShot(name, b, volume);
  in.loop = true;
  in.loop_start = 0;
  in.loop_len = static_cast<uint32_t>(b.n());
  in.envelope = std::move(env);
  in.sustain = sustain;
  in.fadeout = fadeout;
  return in;
}

double Additive(double ph, int harmonics, const std::function<double(int)>& amp) {
  double v = 0;
  for (int h = 1; h <= harmonics; ++h) v += amp(h) * std::sin(kTau * h * ph);
  return v;
}

std::vector<XmInstrument> Instruments() {
  std::vector<XmInstrument> ins;
  // 1 kick
  ins.push_back(
      OneShot("kick", Tone(
                          kSmpRate, 0.35, [](double t) { return 45 + 110 * ExpDecay(t, 0.035); },
                          Sine, [](double t) { return AttackDecay(t, 0.001, 0.12); })));
  // 2 snare
  {
    Buf b = Noise(
        kSmpRate, 0.25, 5, [](double t) { return AttackDecay(t, 0.001, 0.06); },
        [](double) { return 9000.0; });
    b.Mix(Tone(
              kSmpRate, 0.25, [](double t) { return 185 + 60 * ExpDecay(t, 0.02); }, Sine,
              [](double t) { return 0.8 * AttackDecay(t, 0.001, 0.05); }),
          0);
    ins.push_back(OneShot("snare", b, 56));
  }
  // 3 closed hat
  {
    Buf b = Noise(
        kSmpRate, 0.07, 7, [](double t) { return AttackDecay(t, 0.0005, 0.015); },
        [](double) { return 15000.0; });
    HighPass(b, [](double) { return 6000.0; });
    ins.push_back(OneShot("hat", b, 40));
  }
  // 4 open hat / shaker
  {
    Buf b = Noise(
        kSmpRate, 0.3, 9, [](double t) { return AttackDecay(t, 0.002, 0.08); },
        [](double) { return 15000.0; });
    HighPass(b, [](double) { return 5000.0; });
    ins.push_back(OneShot("open hat", b, 34));
  }
  // 5 bass: a warm saw, low-passed by its harmonic weights.
  ins.push_back(Looped(
      "bass",
      [](int, double ph) {
        return Additive(ph, 14, [](int h) { return 1.0 / h * std::exp(-h * 0.18); });
      },
      1, {{0, 64}, {8, 44}, {40, 36}, {60, 0}}, 2, 2400, 60));
  // 6 pluck: Karplus-Strong string at exactly 128 samples per period.
  {
    Buf b(kSmpRate, 1.4);
    Rng rng(13);
    std::vector<double> line(128);
    for (double& v : line) v = rng.Uniform() * 2 - 1;
    for (size_t i = 0; i < b.n(); ++i) {
      const size_t k = i % 128;
      const double next = line[(k + 1) % 128];
      const double out = line[k];
      line[k] = 0.996 * 0.5 * (out + next);
      b.s[i] = static_cast<float>(out);
    }
    ins.push_back(OneShot("pluck", b, 48));
  }
  // 7 lead: pulse-like with vibrato.
  {
    XmInstrument lead = Looped(
        "lead",
        [](int, double ph) {
          return Additive(ph, 12, [](int h) { return (h % 2 ? 1.0 : 0.45) / h; });
        },
        1, {{0, 0}, {2, 64}, {12, 48}, {30, 44}, {50, 0}}, 3, 1600, 44);
    lead.vib_depth = 3;
    lead.vib_rate = 12;
    lead.vib_sweep = 30;
    ins.push_back(lead);
  }
  // 8 pad: three slightly detuned partial sets beating slowly (64 periods loop).
  ins.push_back(Looped(
      "pad",
      [](int, double ph) {
        double v = 0;
        for (int h = 1; h <= 8; ++h) {
          const double a = 1.0 / (h * h * 0.6 + 0.4);
          v += a * (std::sin(kTau * h * ph) + 0.7 * std::sin(kTau * (h + 1.0 / 64) * ph) +
                    0.7 * std::sin(kTau * (h - 1.0 / 64) * ph));
        }
        return v;
      },
      64, {{0, 0}, {24, 56}, {60, 48}, {100, 0}}, 2, 600, 36));
  // 9 bell
  {
    Buf b = Render(kSmpRate, 1.6, [](double t) {
      const double ratios[4] = {1.0, 2.0, 3.01, 4.2};
      const double amps[4] = {1.0, 0.5, 0.22, 0.12};
      double v = 0;
      for (int k = 0; k < 4; ++k)
        v += amps[k] * Sine(kC4 * 2 * ratios[k] * t) * ExpDecay(t, 0.5 / (1 + k));
      return v * std::min(1.0, t / 0.002);
    });
    XmInstrument bell = OneShot("bell", b, 40);
    bell.relnote = kRelNote - 12;  // sampled an octave up
    ins.push_back(bell);
  }
  // Spread the band across the stereo field: hats and arpeggio left, lead and bell right.
  const uint8_t pans[9] = {128, 136, 92, 164, 128, 84, 170, 128, 156};
  for (size_t i = 0; i < ins.size() && i < 9; ++i) ins[i].pan = pans[i];
  return ins;
}

enum Inst { kKick = 1, kSnare, kHat, kOpenHat, kBass, kPluck, kLead, kPad, kBell };

uint8_t Vol(int v) {
  return static_cast<uint8_t>(0x10 + std::clamp(v, 0, 64));
}

// Midi note to XM note (midi 60 = C-4 = XM 49).
uint8_t XmNote(int midi) {
  return static_cast<uint8_t>(std::clamp(midi - 11, 1, 96));
}

struct Chord {
  int root;  // midi of the root, octave 3 (48..59)
  bool minor;
  bool seventh = false;
};

std::array<int, 4> Tones(const Chord& c) {
  return {c.root, c.root + (c.minor ? 3 : 4), c.root + 7,
          c.root + (c.seventh ? (c.minor ? 10 : 11) : 12)};
}

struct Composer {
  XmSong& song;
  explicit Composer(XmSong& s) : song(s) {}
  XmPattern& New() {
    song.patterns.emplace_back(64, song.channels);
    return song.patterns.back();
  }
  static void Put(XmPattern& p, int row, int ch, int midi, int inst, int vol) {
    if (row < 0 || row >= p.rows) return;
    XmCell& c = p.At(row, ch);
    c.note = midi < 0 ? 97 : XmNote(midi);
    c.inst = midi < 0 ? 0 : static_cast<uint8_t>(inst);
    c.vol = Vol(vol);
  }
};

// Drum grooves over 64 rows (16 rows per bar, a row is a sixteenth).
void Drums(XmPattern& p, int style, bool fill) {
  for (int bar = 0; bar < 4; ++bar) {
    const int b = bar * 16;
    switch (style) {
      case 0:  // driving four-on-the-floor
        for (int k = 0; k < 4; ++k) Composer::Put(p, b + k * 4, 0, 60, kKick, 64);
        Composer::Put(p, b + 4, 1, 60, kSnare, 54);
        Composer::Put(p, b + 12, 1, 60, kSnare, 58);
        for (int k = 0; k < 8; ++k)
          Composer::Put(p, b + k * 2 + 1 + (k % 2 ? 0 : 0), 2, 60, k % 2 ? kOpenHat : kHat, 36);
        break;
      case 1:  // half time
        Composer::Put(p, b, 0, 60, kKick, 64);
        Composer::Put(p, b + 10, 0, 60, kKick, 50);
        Composer::Put(p, b + 8, 1, 60, kSnare, 58);
        for (int k = 0; k < 8; ++k) Composer::Put(p, b + k * 2, 2, 60, kHat, k % 2 ? 24 : 34);
        break;
      case 2:  // light: kick and shaker only
        Composer::Put(p, b, 0, 60, kKick, 50);
        Composer::Put(p, b + 8, 0, 60, kKick, 40);
        for (int k = 0; k < 4; ++k) Composer::Put(p, b + k * 4 + 2, 2, 60, kOpenHat, 26);
        break;
      case 3:  // mellow menu groove
        Composer::Put(p, b, 0, 60, kKick, 48);
        Composer::Put(p, b + 7, 0, 60, kKick, 36);
        Composer::Put(p, b + 8, 1, 60, kSnare, 36);
        for (int k = 0; k < 8; ++k) Composer::Put(p, b + k * 2, 2, 60, kHat, k % 2 ? 18 : 26);
        break;
      default:
        break;
    }
  }
  if (fill) {
    for (int k = 0; k < 8; ++k) Composer::Put(p, 56 + k, 1, 60, kSnare, 30 + k * 4);
  }
}

void Bass(XmPattern& p, const std::vector<Chord>& chords, int style) {
  for (int bar = 0; bar < 4; ++bar) {
    const Chord& c = chords[bar % chords.size()];
    const int r = c.root - 12;
    const int b = bar * 16;
    if (style == 0) {  // eighth-note drive with an octave hop
      for (int k = 0; k < 8; ++k)
        Composer::Put(p, b + k * 2, 3, r + (k % 4 == 3 ? 12 : 0), kBass, k % 2 ? 44 : 56);
    } else if (style == 1) {  // long notes
      Composer::Put(p, b, 3, r, kBass, 56);
      Composer::Put(p, b + 10, 3, r + 7, kBass, 44);
    } else {  // syncopated
      const int pos[5] = {0, 3, 6, 10, 12};
      for (int k = 0; k < 5; ++k) Composer::Put(p, b + pos[k], 3, r + (k == 3 ? 7 : 0), kBass, 52);
    }
  }
}

void Arp(XmPattern& p, const std::vector<Chord>& chords, int ch, int octave_shift, int vol,
         int step) {
  for (int bar = 0; bar < 4; ++bar) {
    const auto t = Tones(chords[bar % chords.size()]);
    const int order[8] = {0, 1, 2, 3, 2, 1, 2, 3};
    for (int k = 0; k < 16 / step; ++k) {
      Composer::Put(p, bar * 16 + k * step, ch, t[order[k % 8]] + 12 + octave_shift, kPluck,
                    vol - (k % 2) * 8);
    }
  }
}

void Pad(XmPattern& p, const std::vector<Chord>& chords, int vol) {
  for (int bar = 0; bar < 4; ++bar) {
    const auto t = Tones(chords[bar % chords.size()]);
    for (int k = 0; k < 3; ++k) Composer::Put(p, bar * 16, 6 + k, t[k + 1] + 12, kPad, vol);
  }
}

// Written tunes: bars separated by "|", each note "step:pitch:length" in sixteenths
// (pitch as C5, F#4 or Bb5; C5 is midi 72).
int Pitch(const std::string& name) {
  static const int base[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G
  int semis = base[name[0] - 'A'];
  size_t i = 1;
  if (name[i] == '#') {
    ++semis;
    ++i;
  } else if (name[i] == 'b') {
    --semis;
    ++i;
  }
  return 12 * (std::stoi(name.substr(i)) + 1) + semis;
}

void Tune(XmPattern& p, const std::string& tune, int inst, int vol) {
  int bar = 0;
  std::string token;
  std::stringstream ss(tune);
  while (ss >> token) {
    if (token == "|") {
      ++bar;
      continue;
    }
    const size_t c1 = token.find(':'), c2 = token.rfind(':');
    const int step = std::stoi(token.substr(0, c1));
    const int len = std::stoi(token.substr(c2 + 1));
    const int row = bar * 16 + step;
    Composer::Put(p, row, 4, Pitch(token.substr(c1 + 1, c2 - c1 - 1)), inst,
                  vol - (step % 4 ? 6 : 0));
    // Long notes are released before the next one for phrasing.
    if (len >= 4) Composer::Put(p, row + len - 1, 4, -1, 0, vol);
  }
}

const std::map<int, std::string>& Tunes() {
  static const std::map<int, std::string> tunes = {
      // Arcade, A minor: A section (Am F C G) and its answer.
      {101,
       "0:E5:4 4:D5:2 6:C5:2 8:A4:6 14:C5:2 | 0:F5:4 4:E5:2 6:C5:2 8:A4:4 12:C5:4 |"
       " 0:G5:3 3:E5:3 6:C5:2 8:E5:4 12:G5:4 | 0:D5:4 4:B4:4 8:G4:4 12:B4:2 14:D5:2"},
      {102,
       "0:A5:4 4:G5:2 6:E5:2 8:C5:4 12:E5:4 | 0:F5:2 2:G5:2 4:A5:4 8:F5:4 12:C5:4 |"
       " 0:E5:4 4:G5:4 8:C6:6 14:B5:2 | 0:B5:4 4:A5:2 6:G5:2 8:D5:8"},
      {103,
       "0:A4:2 2:C5:2 4:E5:4 8:A5:8 | 0:A5:2 2:G5:2 4:F5:4 8:C5:8 |"
       " 0:C5:2 2:E5:2 4:G5:4 8:C6:8 | 0:B5:2 2:A5:2 4:G5:2 6:F5:2 8:E5:2 10:D5:2 12:B4:4"},
      // B section (F G Am Am) and (Dm Em F E).
      {201,
       "0:C5:2 2:F5:2 4:A5:4 8:G5:4 12:F5:4 | 0:D5:2 2:G5:2 4:B5:4 8:A5:4 12:G5:4 |"
       " 0:E5:4 4:A5:4 8:C6:4 12:B5:4 | 0:A5:12 12:E5:4"},
      {202,
       "0:F5:4 4:E5:2 6:D5:2 8:A4:8 | 0:G5:4 4:F5:2 6:E5:2 8:B4:8 |"
       " 0:A5:4 4:G5:4 8:F5:4 12:C5:4 | 0:B4:4 4:E5:4 8:G#5:8"},
      // The alternate section, D minor, half time: long singing lines.
      {301,
       "0:D5:8 8:F5:4 12:A5:4 | 0:Bb5:8 8:A5:4 12:F5:4 | 0:A5:8 8:C6:4 12:A5:4 | 0:G5:12 12:E5:4"},
      {302,
       "0:G5:6 6:Bb5:2 8:D6:8 | 0:F5:6 6:D5:2 8:Bb4:8 | 0:E5:4 4:G5:4 8:C6:8 | 0:C#6:8 8:A5:8"},
      {303,
       "0:D6:4 4:C6:4 8:A5:8 | 0:Bb5:4 4:A5:4 8:F5:8 | 0:A5:4 4:G5:4 8:F5:4 12:A5:4 |"
       " 0:E5:4 4:G5:4 8:C6:8"},
      // Menu, C major bell tune over Cmaj7 Am7 Dm7 G7 / Fmaj7 Em7 Am7 G.
      {11,
       "0:E5:4 4:G5:4 8:B5:8 | 0:C6:4 4:B5:4 8:A5:8 | 0:F5:4 4:A5:4 8:C6:4 12:A5:4 | 0:G5:8 "
       "8:D5:8"},
      {12,
       "0:A5:4 4:C6:4 8:E6:8 | 0:D6:4 4:B5:4 8:G5:8 | 0:C6:4 4:B5:4 8:A5:4 12:E5:4 |"
       " 0:G5:4 4:A5:4 8:B5:4 12:D6:4"},
      {13,
       "0:G5:2 2:E5:2 4:G5:4 8:C6:8 | 0:A5:4 4:C6:4 8:E6:8 | 0:D6:4 4:C6:4 8:A5:8 |"
       " 0:B5:4 4:G5:4 8:F5:4 12:D5:4"},
      {14,
       "0:F5:4 4:A5:4 8:C6:8 | 0:B5:4 4:G5:4 8:E5:8 | 0:E5:4 4:A5:4 8:C6:4 12:B5:4 |"
       " 0:D6:8 8:B5:4 12:G5:4"},
  };
  return tunes;
}

XmSong ArcadeSong() {
  XmSong s;
  s.name = "Quorvex Arcade";
  s.channels = 10;
  s.speed = 6;
  s.bpm = 140;
  s.instruments = Instruments();
  Composer c(s);
  const std::vector<Chord> A = {{57, true}, {53, false}, {48, false}, {55, false}};
  const std::vector<Chord> B1 = {{53, false}, {55, false}, {57, true}, {57, true}};
  const std::vector<Chord> B2 = {{50, true}, {52, true}, {53, false}, {52, false}};
  const std::vector<Chord> C1 = {{50, true, true}, {58 - 12, false}, {53, false}, {48, false}};
  const std::vector<Chord> C2 = {{55 - 12 + 12, true}, {58 - 12, false}, {48, false}, {57, false}};
  auto pat = [&](const std::vector<Chord>& ch, int drums, bool fill, int bass, bool arp,
                 int mel_seed, bool pad) {
    XmPattern& p = c.New();
    Drums(p, drums, fill);
    Bass(p, ch, bass);
    if (arp) Arp(p, ch, 5, 0, 34, 2);
    if (mel_seed) Tune(p, Tunes().at(mel_seed), kLead, 48);
    if (pad) Pad(p, ch, 30);
    return static_cast<uint8_t>(s.patterns.size() - 1);
  };
  // Main section (orders 0..11).
  const uint8_t intro = pat(A, 2, false, 1, false, 0, true);
  const uint8_t a1 = pat(A, 0, false, 0, true, 0, false);
  const uint8_t a2 = pat(A, 0, false, 0, true, 101, false);
  const uint8_t a3 = pat(A, 0, true, 0, true, 102, false);
  const uint8_t b1 = pat(B1, 0, false, 2, true, 201, true);
  const uint8_t b2 = pat(B2, 0, true, 2, true, 202, true);
  const uint8_t brk = pat(A, 2, false, 1, true, 0, true);
  const uint8_t build = pat(A, 1, true, 0, true, 103, true);
  // Alternate section (order 12 on): D minor, half-time groove, its own tune.
  const uint8_t c1 = pat(C1, 1, false, 2, false, 301, true);
  const uint8_t c2 = pat(C2, 1, false, 2, true, 302, true);
  const uint8_t c3 = pat(C1, 0, false, 0, true, 303, false);
  const uint8_t turn =
      pat({{53, false}, {55, false}, {52, false}, {52, false}}, 0, true, 0, true, 0, true);
  s.orders = {intro, a1, a2, a3, b1, b2, a2, a3, brk, build, b1, b2, c1, c2, c3, turn};
  s.restart = 1;
  return s;
}

XmSong MenuSong() {
  XmSong s;
  s.name = "Quorvex Menu";
  s.channels = 10;
  s.speed = 6;
  s.bpm = 100;
  s.instruments = Instruments();
  Composer c(s);
  const std::vector<Chord> P1 = {
      {48, false, true}, {57, true, true}, {50, true, true}, {55, false, true}};
  const std::vector<Chord> P2 = {
      {53, false, true}, {52, true, true}, {57, true, true}, {55, false}};
  auto pat = [&](const std::vector<Chord>& ch, int drums, int mel, bool arp) {
    XmPattern& p = c.New();
    Drums(p, drums, false);
    Bass(p, ch, 1);
    Pad(p, ch, 26);
    if (arp) Arp(p, ch, 5, 12, 26, 2);
    if (mel) Tune(p, Tunes().at(mel), kBell, 44);
    return static_cast<uint8_t>(s.patterns.size() - 1);
  };
  const uint8_t i1 = pat(P1, 2, 0, true);
  const uint8_t m1 = pat(P1, 3, 11, true);
  const uint8_t m2 = pat(P2, 3, 12, true);
  const uint8_t m3 = pat(P1, 3, 13, true);
  const uint8_t m4 = pat(P2, 3, 14, false);
  s.orders = {i1, m1, m2, m3, m4, m1, m2, i1};
  s.restart = 0;
  return s;
}

// The puzzle stream: slow pads, a soft bell line and echoes; 32 seconds that loop seamlessly.
void PuzzleStream(Pack& pack) {
  constexpr int SR = 32000;
  constexpr double kLen = 32.0, kTail = 4.0;
  Buf left(SR, kLen + kTail), right(SR, kLen + kTail);
  const std::vector<std::array<int, 4>> chords = {
      {57, 60, 64, 71}, {53, 57, 60, 64}, {48, 55, 59, 64}, {52, 55, 59, 62}};
  const double bar = kLen / 8;
  for (int k = 0; k < 8; ++k) {
    const auto& ch = chords[k % 4];
    for (int v = 0; v < 4; ++v) {
      for (int side = 0; side < 2; ++side) {
        const double f = NoteHz(ch[v]) * (side ? 1.003 : 0.997);
        Buf pad = Tone(
            SR, bar + 2.5, [=](double t) { return f * (1 + 0.002 * Sine(0.3 * t + v)); },
            [](double ph) { return Saw(ph) * 0.5 + Tri(ph) * 0.5; },
            [=](double t) { return Adsr(t, 1.2, 0.5, 0.8, bar, 2.0) * 0.12; });
        LowPass(pad, [](double t) { return 900 + 400 * Sine(0.1 * t); });
        (side ? right : left).Mix(pad, k * bar);
      }
    }
    const Buf bass = Tone(
        SR, bar + 1.0, [=](double) { return NoteHz(ch[0] - 24); }, Sine,
        [=](double t) { return Adsr(t, 0.3, 0.5, 0.7, bar, 0.8) * 0.25; });
    left.Mix(bass, k * bar);
    right.Mix(bass, k * bar);
  }
  // Bell line on a pentatonic scale, sparse.
  Rng rng(2718);
  const int penta[5] = {69, 72, 74, 76, 79};
  for (double t = 0.5; t < kLen - 0.5; t += 0.5 * (1 + rng.Int(3))) {
    const double f = NoteHz(penta[rng.Int(5)] + (rng.Int(4) == 0 ? 12 : 0));
    Buf bell = Render(SR, 2.5, [=](double x) {
      return (Sine(f * x) + 0.3 * Sine(2.01 * f * x) + 0.1 * Sine(3.02 * f * x)) *
             ExpDecay(x, 0.6) * std::min(1.0, x / 0.004) * 0.18;
    });
    const double pan = rng.Range(0.2, 0.8);
    left.Mix(bell, t, 1 - pan);
    right.Mix(bell, t, pan);
  }
  Echo(left, 0.375, 0.45, 0.35);
  Echo(right, 0.5, 0.45, 0.35);
  // Fold the tail into the head so the loop point is seamless.
  for (Buf* b : {&left, &right}) {
    const size_t n = static_cast<size_t>(kLen * SR);
    for (size_t i = n; i < b->n(); ++i) b->s[i - n] += b->s[i];
    b->s.resize(n);
  }
  double m = 1e-9;
  for (const Buf* b : {&left, &right}) {
    for (float v : b->s) m = std::max(m, double(std::fabs(v)));
  }
  left.Gain(0.8 / m);
  right.Gain(0.8 / m);
  pack.WriteBytes("music\\puzzle.wav", WavBytes({&left, &right}));
}

}  // namespace

void WriteMusic(Pack& pack) {
  pack.WriteBytes("music\\arcade.xm", XmBytes(ArcadeSong()));
  pack.WriteBytes("music\\menu.xm", XmBytes(MenuSong()));
  PuzzleStream(pack);
}

}  // namespace packgen
