// The 35 sound effects, synthesised.
#include <algorithm>
#include <array>
#include <cmath>

#include "synth.h"

namespace packgen {
namespace {

constexpr int R = 44100;

// A struck bell: inharmonic partials with their own decays.
Buf Bell(double f0, double dur, double bright = 1.0) {
  const double ratios[5] = {1.0, 2.0, 2.76, 4.07, 5.43};
  const double amps[5] = {1.0, 0.55, 0.4 * bright, 0.25 * bright, 0.15 * bright};
  return Render(R, dur, [=](double t) {
    double v = 0;
    for (int k = 0; k < 5; ++k) {
      v += amps[k] * Sine(f0 * ratios[k] * t) * ExpDecay(t, dur * 0.35 / (1 + k * 0.6));
    }
    return v * std::min(1.0, t / 0.002);
  });
}

Buf Click(double freq, double dur, uint32_t seed) {
  Buf b = Noise(
      R, dur, seed, [=](double t) { return ExpDecay(t, dur * 0.12); },
      [](double) { return 9000.0; });
  BandPass(
      b, [=](double) { return freq; }, 3.0);
  b.Mix(Tone(
            R, dur, [=](double) { return freq * 0.5; }, Tri,
            [=](double t) { return 0.6 * ExpDecay(t, dur * 0.15); }),
        0);
  return b;
}

// Boom: a pitched thump plus filtered noise.
Buf Boom(double dur, double f_start, double f_end, double noise_cut, uint32_t seed,
         double body = 1.0) {
  Buf b = Tone(
      R, dur, [=](double t) { return f_end + (f_start - f_end) * ExpDecay(t, 0.06); }, Sine,
      [=](double t) { return body * AttackDecay(t, 0.003, dur * 0.3); });
  Buf n = Noise(
      R, dur, seed, [=](double t) { return AttackDecay(t, 0.002, dur * 0.22); },
      [=](double t) { return noise_cut * ExpDecay(t, dur * 0.5) + 200; });
  b.Mix(n, 0, 0.9);
  return b;
}

// A short melodic figure of notes (midi, start, length) with a bright square/saw voice.
Buf Figure(const std::vector<std::array<double, 3>>& notes, double dur, double saw_mix = 0.5) {
  Buf b(R, dur);
  for (const auto& n : notes) {
    const double f = NoteHz(n[0]);
    const double len = n[2];
    Buf v = Tone(
        R, len + 0.15, [=](double t) { return f * (1 + 0.004 * Sine(5.5 * t)); },
        [=](double ph) { return (1 - saw_mix) * Square(ph, 0.3) * 0.6 + saw_mix * Saw(ph); },
        [=](double t) { return Adsr(t, 0.008, 0.08, 0.6, len, 0.12); });
    LowPass(v, [=](double t) { return 2500 + 3000 * ExpDecay(t, 0.15); });
    b.Mix(v, n[1]);
  }
  return b;
}

// A cartoon voice: a glide through pitches with a vowel-like formant.
Buf Voice(const std::function<double(double)>& pitch, double dur, double formant,
          const std::function<double(double)>& amp) {
  Buf b = Tone(
      R, dur, pitch, [](double ph) { return Saw(ph) * 0.7 + Square(ph, 0.4) * 0.3; }, amp);
  Buf f1 = b;
  BandPass(
      f1, [=](double) { return formant; }, 4);
  Buf f2 = b;
  BandPass(
      f2, [=](double) { return formant * 2.6; }, 5);
  f1.Mix(f2, 0, 0.5);
  f1.Mix(b, 0, 0.15);
  return f1;
}

void Save(Pack& pack, const std::string& name, Buf b, double peak = 0.85, bool fades = true) {
  if (fades) b.Fades(0.002, 0.01);
  b.Normalize(peak);
  pack.WriteBytes("sounds\\" + name + ".wav", WavBytes({&b}));
}

}  // namespace

void WriteSounds(Pack& pack) {
  // Interface.
  Save(pack, "mouse_over_button",
       Tone(
           R, 0.05, [](double) { return 2600.0; }, Sine,
           [](double t) { return AttackDecay(t, 0.002, 0.01); }),
       0.35);
  Save(pack, "mouse_down_button", Click(1800, 0.08, 11), 0.6);
  Save(pack, "hit",
       Tone(
           R, 0.15, [](double t) { return 880 + 220 * (t > 0.05); }, Tri,
           [](double t) { return AttackDecay(t, 0.003, 0.04); }),
       0.6);

  // Shots and attachments.
  {
    Buf b = Boom(0.2, 220, 70, 3000, 21, 0.8);
    b.Mix(Noise(
              R, 0.2, 22, [](double t) { return std::sin(M_PI * t / 0.2) * 0.5; },
              [](double t) { return 600 + 5000 * t / 0.2; }),
          0);
    Save(pack, "shot1", b, 0.8);
  }
  {
    Buf b = Noise(
        R, 0.5, 31, [](double t) { return AttackDecay(t, 0.05, 0.25); },
        [](double t) { return 500 + 6000 * t; });
    b.Mix(Tone(
              R, 0.5, [](double t) { return 200 + 900 * t; }, Saw,
              [](double t) { return 0.2 * AttackDecay(t, 0.02, 0.2); }),
          0);
    Save(pack, "rocket_launch", b, 0.75);
  }
  Save(pack, "connection", Click(1300, 0.1, 41), 0.6);
  {
    Buf b = Click(1300, 0.2, 42);
    b.Mix(Bell(1568, 0.2), 0.02, 0.5);
    Save(pack, "connection_bonus", b, 0.65);
  }
  {
    Buf b = Render(R, 0.2, [](double t) {
      return (Sine(220 * t) * 0.6 + Sine(563 * t) * 0.5 + Sine(913 * t) * 0.35 +
              Sine(1377 * t) * 0.2) *
             AttackDecay(t, 0.001, 0.05);
    });
    b.Mix(Boom(0.2, 150, 60, 1500, 43, 0.6), 0, 0.7);
    Save(pack, "connection_bomb", b, 0.7);
  }

  // Bursts.
  Save(pack, "explosion_small", Boom(0.3, 300, 90, 5000, 51, 0.5), 0.7);
  Save(pack, "explosion_middle", Boom(0.4, 240, 70, 6000, 52, 0.7), 0.8);
  {
    Buf b = Boom(0.6, 200, 50, 8000, 53, 0.9);
    b.Mix(Noise(
              R, 0.6, 54, [](double t) { return 0.6 * AttackDecay(t, 0.01, 0.25); },
              [](double) { return 12000.0; }),
          0.02);
    Save(pack, "explosion_big", b, 0.9);
  }
  Save(pack, "explosion_middle_bomb", Boom(0.7, 160, 45, 4000, 55, 1.0), 0.9);
  {
    Buf b = Boom(1.0, 120, 32, 3000, 56, 1.2);
    b.Mix(Boom(0.8, 90, 30, 1500, 57, 0.8), 0.06, 0.8);
    Echo(b, 0.11, 0.3, 0.3);
    Save(pack, "explosion_big_bomb", b, 0.95);
  }

  // Bonuses.
  {
    Buf b(R, 0.3);
    for (int k = 0; k < 2; ++k) {
      b.Mix(Tone(
                R, 0.1, [](double) { return 1320.0; }, [](double ph) { return Square(ph) * 0.5; },
                [](double t) { return Adsr(t, 0.003, 0.02, 0.7, 0.07, 0.02); }),
            k * 0.13);
    }
    LowPass(b, [](double) { return 5000.0; });
    Save(pack, "bonus_target", b, 0.55);
  }
  Save(pack, "bonus_x2", Bell(1047, 0.3), 0.65);
  {
    Buf b = Bell(1047, 0.4);
    b.Mix(Bell(1568, 0.25), 0.13);
    Save(pack, "bonus_x4", b, 0.65);
  }
  {
    Buf b(R, 0.6);
    Rng rng(61);
    for (int k = 0; k < 14; ++k) {
      b.Mix(Bell(rng.Range(2200, 4800), 0.35, 0.4), rng.Range(0, 0.3), rng.Range(0.2, 0.5));
    }
    b.Mix(Noise(
              R, 0.6, 62, [](double t) { return 0.2 * std::sin(M_PI * t / 0.6); },
              [](double) { return 12000.0; }),
          0);
    HighPass(b, [](double) { return 1500.0; });
    Save(pack, "bonus_freeze", b, 0.6);
  }
  {
    Buf b(R, 0.4);
    Rng rng(71);
    for (int k = 0; k < 28; ++k)
      b.Mix(Click(rng.Range(1500, 5000), 0.03, 72 + k), rng.Range(0, 0.36), rng.Range(0.3, 1));
    Save(pack, "bonus_small_bomb", b, 0.6);
  }
  {
    Buf b = Tone(
        R, 0.6, [](double t) { return (180 + 380 * t / 0.6) * (1 + 0.03 * Sine(18 * t)); }, Saw,
        [](double t) { return Adsr(t, 0.03, 0.1, 0.8, 0.48, 0.12); });
    LowPass(
        b, [](double t) { return 800 + 2500 * t; }, 2.0);
    Save(pack, "bonus_net_expand", b, 0.6);
  }
  {
    Buf b = Noise(
        R, 0.5, 81, [](double t) { return std::sin(M_PI * t / 0.5); },
        [](double) { return 12000.0; });
    BandPass(
        b, [](double t) { return 400 + 3500 * t / 0.5; }, 3);
    b.Mix(Tone(
              R, 0.5, [](double t) { return 300 + 900 * t / 0.5; }, Sine,
              [](double t) { return 0.15 * std::sin(M_PI * t / 0.5); }),
          0);
    Save(pack, "bonus_up", b, 0.6);
  }
  {
    Buf b(R, 0.3);
    b.Mix(Click(900, 0.1, 91), 0);
    b.Mix(Click(1400, 0.12, 92), 0.14);
    b.Mix(Boom(0.15, 200, 100, 1000, 93, 0.3), 0.14, 0.5);
    Save(pack, "bonus_paint_rocket", b, 0.65);
  }
  {
    Buf b = Bell(1319, 0.6, 1.2);
    b.Mix(Bell(1976, 0.5, 1.0), 0.07, 0.7);
    b.Mix(Bell(2637, 0.4, 0.8), 0.14, 0.5);
    Save(pack, "crystal", b, 0.65);
  }
  {
    Buf b(R, 0.4);
    const double notes[4] = {84, 88, 91, 96};
    for (int k = 0; k < 4; ++k) b.Mix(Bell(NoteHz(notes[k]), 0.2, 0.6), k * 0.07, 0.6);
    b.Mix(Noise(
              R, 0.4, 111, [](double t) { return 0.15 * t / 0.4; }, [](double) { return 14000.0; }),
          0);
    Save(pack, "flying_bonus", b, 0.5);
  }
  Save(pack, "puzzle_down", Boom(0.4, 110, 45, 800, 102, 1.0), 0.8);

  // Jingles.
  Save(pack, "game_begin",
       Figure({{{72, 0, 0.1}}, {{76, 0.11, 0.1}}, {{79, 0.22, 0.1}}, {{84, 0.33, 0.5}}}, 1.0), 0.6);
  Save(pack, "game_over",
       Figure({{{67, 0, 0.22}},
               {{66, 0.25, 0.22}},
               {{65, 0.5, 0.22}},
               {{64, 0.75, 0.22}},
               {{63, 1.0, 0.3}},
               {{60, 1.35, 0.55}}},
              2.0, 0.7),
       0.6);
  {
    Buf b = Figure({{{72, 0, 0.12}},
                    {{72, 0.14, 0.12}},
                    {{72, 0.28, 0.12}},
                    {{76, 0.42, 0.3}},
                    {{79, 0.75, 0.12}},
                    {{77, 0.9, 0.12}},
                    {{79, 1.05, 0.8}}},
                   2.0, 0.6);
    b.Mix(Figure({{{60, 1.05, 0.8}}, {{64, 1.05, 0.8}}, {{67, 1.05, 0.8}}}, 2.0, 0.3), 0, 0.5);
    Save(pack, "level_complete", b, 0.65);
  }
  Save(pack, "alarm",
       Tone(
           R, 1.0, [](double t) { return 700 + 250 * Sine(2.0 * t - 0.25); },
           [](double ph) { return Square(ph) * 0.4 + Sine(ph) * 0.6; },
           [](double t) { return Adsr(t, 0.02, 0.1, 0.9, 0.9, 0.1); }),
       0.42);

  // Dragons.
  Save(pack, "dragon_joy1",
       Voice([](double t) { return 500 + 700 * t / 0.6 + 60 * Sine(9 * t); }, 0.6, 900,
             [](double t) { return Adsr(t, 0.02, 0.1, 0.8, 0.5, 0.1); }),
       0.6);
  {
    Buf b(R, 0.7);
    for (int k = 0; k < 3; ++k) {
      b.Mix(Voice([k](double t) { return 600 + 120 * k + 500 * t / 0.18; }, 0.2, 1000,
                  [](double t) { return std::sin(M_PI * std::min(1.0, t / 0.2)); }),
            k * 0.2);
    }
    Save(pack, "dragon_joy2", b, 0.6);
  }
  {
    Buf b(R, 0.8);
    for (int k = 0; k < 5; ++k) {
      b.Mix(Voice([k](double t) { return 520 - 25 * k + 80 * Sine(4 * t); }, 0.13, 800,
                  [](double t) { return std::sin(M_PI * std::min(1.0, t / 0.13)); }),
            k * 0.15);
    }
    Save(pack, "dragon_joy3", b, 0.6);
  }
  Save(pack, "dragon_sad",
       Voice([](double t) { return 420 - 220 * t + 18 * Sine(5 * t); }, 1.0, 700,
             [](double t) { return Adsr(t, 0.08, 0.2, 0.7, 0.8, 0.2); }),
       0.55);

  // Loops: one second each, folded so the end flows into the start.
  {
    Buf b = Noise(
        R, 1.1, 201, [](double) { return 0.6; }, [](double) { return 14000.0; });
    HighPass(b, [](double) { return 2500.0; });
    Rng rng(202);
    for (int k = 0; k < 40; ++k)
      b.Mix(Click(rng.Range(2000, 6000), 0.02, 300 + k), rng.Range(0, 1.08), rng.Range(0.3, 1.0));
    b.FoldLoop(R, R / 10);
    Save(pack, "burning_big_bomb", b, 0.45, false);
  }
  {
    Buf b = Noise(
        R, 1.1, 211, [](double) { return 1.0; }, [](double) { return 400.0; });
    LowPass(b, [](double) { return 260.0; });
    // 55 Hz and 82.5 Hz complete whole cycles in one second.
    b.Mix(Render(R, 1.1,
                 [](double t) {
                   return 0.25 * Saw(55 * t) + 0.12 * Square(82.5 * t) * (0.6 + 0.4 * Sine(4 * t));
                 }),
          0);
    LowPass(b, [](double) { return 700.0; });
    b.FoldLoop(R, R / 10);
    Save(pack, "balls_down", b, 0.55, false);
  }
  {
    // A rising rumble: an endlessly climbing chord whose partials hand over every second.
    const double T = 1.0, f0 = 55.0;
    Buf b = Render(R, 1.0, [=](double t) {
      double v = 0;
      for (int k = -3; k < 8; ++k) {
        const double oct = k + t / T;
        const double f = f0 * std::pow(2.0, oct);
        const double w = std::exp(-0.5 * std::pow((std::log2(f / 220.0)) / 1.2, 2));
        const double phase = f0 * T / std::log(2.0) * std::pow(2.0, oct);
        v += w * (0.7 * Sine(phase) + 0.3 * Tri(phase));
      }
      return v;
    });
    Buf n = Noise(
        R, 1.1, 221, [](double) { return 0.5; }, [](double) { return 300.0; });
    n.FoldLoop(R, R / 10);
    for (size_t i = 0; i < b.n(); ++i) b.s[i] += n.s[i];
    Save(pack, "balls_up", b, 0.5, false);
  }
}

}  // namespace packgen
