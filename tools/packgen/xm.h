// A small writer for extended modules (XM): patterns, 16-bit sampled instruments, envelopes.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace packgen {

struct XmCell {
  uint8_t note = 0;  // 1..96 (49 = C-4), 97 = key off
  uint8_t inst = 0;  // 1-based
  uint8_t vol = 0;   // volume column (0x10..0x50 = volume 0..64)
  uint8_t fx = 0, param = 0;
};

struct XmPattern {
  int rows = 64;
  int channels = 8;
  std::vector<XmCell> cells;
  XmPattern(int r, int ch) : rows(r), channels(ch), cells(static_cast<size_t>(r * ch)) {}
  XmCell& At(int row, int ch) { return cells[static_cast<size_t>(row * channels + ch)]; }
};

struct XmInstrument {
  std::string name;
  std::vector<int16_t> data;
  bool loop = false;
  uint32_t loop_start = 0, loop_len = 0;  // in samples
  int relnote = 0, finetune = 0;
  uint8_t volume = 64;
  uint8_t pan = 128;
  std::vector<std::pair<uint16_t, uint16_t>> envelope;  // (tick, 0..64)
  int sustain = -1;                                     // envelope point held until key off
  uint16_t fadeout = 0;
  uint8_t vib_depth = 0, vib_rate = 0, vib_sweep = 0;
};

struct XmSong {
  std::string name;
  int channels = 8;
  int speed = 6, bpm = 125;
  int restart = 0;
  std::vector<uint8_t> orders;
  std::vector<XmPattern> patterns;
  std::vector<XmInstrument> instruments;
};

std::vector<uint8_t> XmBytes(const XmSong& song);

}  // namespace packgen
