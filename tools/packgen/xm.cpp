#include "xm.h"

#include <algorithm>
#include <stdexcept>

namespace packgen {
namespace {

struct Out {
  std::vector<uint8_t> b;
  void U8(int v) { b.push_back(static_cast<uint8_t>(v)); }
  void U16(int v) {
    U8(v & 255);
    U8((v >> 8) & 255);
  }
  void U32(uint32_t v) {
    for (int i = 0; i < 4; ++i) U8(static_cast<int>((v >> (8 * i)) & 255));
  }
  void Str(const std::string& s, size_t n) {
    for (size_t i = 0; i < n; ++i) U8(i < s.size() ? s[i] : 0);
  }
  void Zero(size_t n) { b.insert(b.end(), n, 0); }
};

}  // namespace

std::vector<uint8_t> XmBytes(const XmSong& song) {
  if (song.orders.empty() || song.orders.size() > 256)
    throw std::runtime_error("xm: bad order count");
  Out o;
  o.Str("Extended Module: ", 17);
  o.Str(song.name, 20);
  o.U8(0x1A);
  o.Str("quorvex packgen", 20);
  o.U16(0x0104);
  o.U32(276);
  o.U16(static_cast<int>(song.orders.size()));
  o.U16(song.restart);
  o.U16(song.channels);
  o.U16(static_cast<int>(song.patterns.size()));
  o.U16(static_cast<int>(song.instruments.size()));
  o.U16(1);  // linear frequency table
  o.U16(song.speed);
  o.U16(song.bpm);
  for (int i = 0; i < 256; ++i) o.U8(i < static_cast<int>(song.orders.size()) ? song.orders[i] : 0);

  for (const XmPattern& p : song.patterns) {
    Out d;
    for (int r = 0; r < p.rows; ++r) {
      for (int c = 0; c < song.channels; ++c) {
        const XmCell cell =
            c < p.channels ? p.cells[static_cast<size_t>(r * p.channels + c)] : XmCell{};
        uint8_t flags = 0x80;
        if (cell.note) flags |= 1;
        if (cell.inst) flags |= 2;
        if (cell.vol) flags |= 4;
        if (cell.fx) flags |= 8;
        if (cell.param) flags |= 16;
        d.U8(flags);
        if (cell.note) d.U8(cell.note);
        if (cell.inst) d.U8(cell.inst);
        if (cell.vol) d.U8(cell.vol);
        if (cell.fx) d.U8(cell.fx);
        if (cell.param) d.U8(cell.param);
      }
    }
    o.U32(9);
    o.U8(0);
    o.U16(p.rows);
    o.U16(static_cast<int>(d.b.size()));
    o.b.insert(o.b.end(), d.b.begin(), d.b.end());
  }

  for (const XmInstrument& in : song.instruments) {
    o.U32(263);
    o.Str(in.name, 22);
    o.U8(0);
    o.U16(1);
    o.U32(40);
    o.Zero(96);  // every note plays sample 0
    const size_t points = std::min<size_t>(12, in.envelope.size());
    for (size_t i = 0; i < 12; ++i) {
      o.U16(i < points ? in.envelope[i].first : 0);
      o.U16(i < points ? in.envelope[i].second : 0);
    }
    o.Zero(48);  // no panning envelope
    o.U8(static_cast<int>(points));
    o.U8(0);
    o.U8(in.sustain >= 0 ? in.sustain : 0);
    o.U8(0);
    o.U8(0);
    o.U8(0);
    o.U8(0);
    o.U8(0);
    o.U8((points >= 2 ? 1 : 0) | (in.sustain >= 0 && points >= 2 ? 2 : 0));
    o.U8(0);
    o.U8(0);
    o.U8(in.vib_sweep);
    o.U8(in.vib_depth);
    o.U8(in.vib_rate);
    o.U16(in.fadeout);
    o.Zero(22);
    // Sample header.
    const uint32_t len = static_cast<uint32_t>(in.data.size());
    o.U32(len * 2);
    o.U32(in.loop ? in.loop_start * 2 : 0);
    o.U32(in.loop ? in.loop_len * 2 : 0);
    o.U8(in.volume);
    o.U8(static_cast<uint8_t>(static_cast<int8_t>(in.finetune)));
    o.U8((in.loop ? 1 : 0) | 0x10);
    o.U8(in.pan);
    o.U8(static_cast<uint8_t>(static_cast<int8_t>(in.relnote)));
    o.U8(0);
    o.Str(in.name, 22);
    // Delta-coded 16-bit data.
    int16_t prev = 0;
    for (int16_t v : in.data) {
      o.U16(static_cast<uint16_t>(static_cast<int16_t>(v - prev)));
      prev = v;
    }
  }
  return o.b;
}

}  // namespace packgen
