#pragma once
// The smallest audio files whose headers the sound back ends accept, and ways to spoil them.
#include <cstdint>
#include <string>

namespace qv::testing_support {

inline void PutLe(std::string& s, std::uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// PCM wave of `frames` silent sample frames.
inline std::string TestWave(int channels = 1, int bits = 16, std::uint32_t rate = 22050,
                            std::uint32_t frames = 64) {
  const std::uint32_t block = static_cast<std::uint32_t>(channels * bits / 8);
  const std::uint32_t data = block * frames;
  std::string s = "RIFF";
  PutLe(s, 36 + data, 4);
  s += "WAVEfmt ";
  PutLe(s, 16, 4);
  PutLe(s, 1, 2);
  PutLe(s, static_cast<std::uint32_t>(channels), 2);
  PutLe(s, rate, 4);
  PutLe(s, rate * block, 4);
  PutLe(s, block, 2);
  PutLe(s, static_cast<std::uint32_t>(bits), 2);
  s += "data";
  PutLe(s, data, 4);
  s += std::string(data, '\0');
  return s;
}

// An XM header of one channel, one order, no patterns and no instruments.
inline std::string TestXm(const std::string& title = "test") {
  std::string s = "Extended Module: " + title.substr(0, 20);
  s.resize(37, ' ');
  s += '\x1a';
  s += std::string("tracker").append(13, ' ');
  PutLe(s, 0x0104, 2);
  PutLe(s, 276, 4);  // header size from here on
  PutLe(s, 1, 2);    // orders
  PutLe(s, 0, 2);    // restart
  PutLe(s, 1, 2);    // channels
  PutLe(s, 0, 2);    // patterns
  PutLe(s, 0, 2);    // instruments
  PutLe(s, 1, 2);    // flags
  PutLe(s, 6, 2);    // tempo
  PutLe(s, 125, 2);  // bpm
  s += std::string(256, '\0');
  return s;
}

// The first page of an Ogg Vorbis stream: its identification header only.
inline std::string TestOgg(int channels = 2) {
  std::string s = "OggS";
  s += std::string(22, '\0');
  s += '\x01';  // one segment
  s += '\x1e';  // of 30 bytes
  s += "\x01vorbis";
  PutLe(s, 0, 4);
  s += static_cast<char>(channels);
  PutLe(s, 44100, 4);
  s += std::string(13, '\0');
  return s;
}

}  // namespace qv::testing_support
