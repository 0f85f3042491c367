#include "platform/audio_check.h"

#include <array>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace qv::platform {
namespace {

std::string LowerExtension(std::string_view path) {
  const auto slash = path.find_last_of("/\\");
  const auto dot = path.rfind('.');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  std::string ext(path.substr(dot + 1));
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

std::uint32_t Get16(std::string_view s, std::size_t at) {
  return static_cast<std::uint8_t>(s[at]) | static_cast<std::uint32_t>(static_cast<std::uint8_t>(s[at + 1])) << 8;
}
std::uint32_t Get32(std::string_view s, std::size_t at) {
  return Get16(s, at) | Get16(s, at + 2) << 16;
}

// Reads up to `n` bytes at `offset`; fewer at the end of the file.
std::string ReadAt(std::ifstream& in, std::uint64_t offset, std::size_t n) {
  std::string out(n, '\0');
  in.clear();
  in.seekg(static_cast<std::streamoff>(offset));
  in.read(out.data(), static_cast<std::streamsize>(n));
  out.resize(in.gcount() > 0 ? static_cast<std::size_t>(in.gcount()) : 0);
  return out;
}

std::string CheckWaveFormat(std::string_view fmt) {
  if (fmt.size() < 16) return "wave format chunk too short";
  std::uint32_t tag = Get16(fmt, 0);
  const std::uint32_t channels = Get16(fmt, 2), rate = Get32(fmt, 4);
  const std::uint32_t block = Get16(fmt, 12), bits = Get16(fmt, 14);
  if (channels < 1 || channels > 8)
    return "wave with " + std::to_string(channels) + " channels";
  if (rate < 1 || rate > 768000) return "wave at " + std::to_string(rate) + " Hz";
  if (tag == 0xFFFE) {
    if (fmt.size() < 26) return "wave format chunk too short";
    tag = Get16(fmt, 24);  // the first bytes of the sub-format name the encoding
  }
  switch (tag) {
    case 1:
    case 3:
    case 6:
    case 7: {
      const bool sizes = tag == 3 ? (bits == 32 || bits == 64)
                         : tag == 1 ? (bits == 8 || bits == 16 || bits == 24 || bits == 32)
                                    : bits == 8;
      if (!sizes) return "wave with " + std::to_string(bits) + "-bit samples";
      if (block != channels * bits / 8) return "wave block size does not match its samples";
      return {};
    }
    case 2:
    case 0x11:
      if (block < channels) return "wave block size does not match its samples";
      return {};
    default:
      return "wave encoding " + std::to_string(tag) + " not supported";
  }
}

// Walks the chunks: a format that makes sense, then sound data the file really holds.
std::string CheckWave(std::ifstream& in, std::uint64_t size) {
  const std::string head = ReadAt(in, 0, 12);
  if (head.size() < 12 || head.compare(0, 4, "RIFF") != 0 || head.compare(8, 4, "WAVE") != 0)
    return "not a wave file";
  std::uint64_t pos = 12;
  bool have_format = false;
  for (int chunk = 0; chunk < 64 && pos + 8 <= size; ++chunk) {
    const std::string header = ReadAt(in, pos, 8);
    if (header.size() < 8) break;
    const std::uint64_t length = Get32(header, 4);
    if (header.compare(0, 4, "fmt ") == 0) {
      const std::string problem = CheckWaveFormat(ReadAt(in, pos + 8, length < 40 ? static_cast<std::size_t>(length) : 40));
      if (!problem.empty()) return problem;
      have_format = true;
    } else if (header.compare(0, 4, "data") == 0) {
      if (!have_format) return "wave data before its format";
      if (length == 0) return "wave without sound data";
      if (pos + 8 + length > size) return "wave data cut short";
      return {};
    }
    pos += 8 + length + (length & 1);
  }
  return have_format ? "wave without sound data" : "wave without a format chunk";
}

std::string CheckOgg(std::string_view h) {
  if (h.size() < 28 || h.substr(0, 4) != "OggS") return "not an Ogg file";
  const std::size_t segments = static_cast<std::uint8_t>(h[26]);
  const std::size_t packet = 27 + segments;
  if (h.size() < packet + 16) return "Ogg header cut short";
  const std::string_view p = h.substr(packet);
  if (p.substr(0, 7) == "\x01vorbis") {
    if (static_cast<std::uint8_t>(p[11]) == 0) return "Ogg stream with no channels";
    if (Get32(p, 12) == 0) return "Ogg stream at 0 Hz";
    return {};
  }
  if (p.substr(0, 8) == "OpusHead") {
    if (static_cast<std::uint8_t>(p[9]) == 0) return "Ogg stream with no channels";
    return {};
  }
  return "Ogg codec not supported";
}

std::string CheckXm(std::ifstream& in, std::string_view h, std::uint64_t size) {
  if (h.size() < 80 || h.substr(0, 17) != "Extended Module: " || h[37] != '\x1a')
    return "not an XM module";
  const std::uint32_t header = Get32(h, 60);
  const std::uint32_t orders = Get16(h, 64), channels = Get16(h, 68);
  const std::uint32_t patterns = Get16(h, 70), instruments = Get16(h, 72);
  if (header < 20 || 60 + std::uint64_t{header} > size) return "XM header size out of range";
  if (orders > 256 || channels < 1 || channels > 64 || patterns > 256 || instruments > 128)
    return "XM header values out of range";
  // Walk the patterns and instruments: a module cut short is refused, not half played.
  std::uint64_t pos = 60 + std::uint64_t{header};
  for (std::uint32_t i = 0; i < patterns; ++i) {
    const std::string p = ReadAt(in, pos, 9);
    if (p.size() < 9) return "XM patterns cut short";
    pos += std::uint64_t{Get32(p, 0)} + Get16(p, 7);
  }
  for (std::uint32_t i = 0; i < instruments; ++i) {
    const std::string ins = ReadAt(in, pos, 33);
    if (ins.size() < 29) return "XM instruments cut short";
    const std::uint64_t ins_size = Get32(ins, 0);
    const std::uint32_t samples = Get16(ins, 27);
    if (samples == 0 || ins.size() < 33) {
      pos += ins_size;
      continue;
    }
    if (samples > 16) return "XM instrument with " + std::to_string(samples) + " samples";
    const std::uint64_t sample_header = Get32(ins, 29);
    pos += ins_size;
    std::uint64_t data = 0;
    for (std::uint32_t k = 0; k < samples; ++k) {
      const std::string sh = ReadAt(in, pos + k * sample_header, 4);
      if (sh.size() < 4) return "XM instruments cut short";
      data += Get32(sh, 0);
    }
    pos += samples * sample_header + data;
    if (pos > size) break;
  }
  if (pos > size) return "XM module cut short";
  return {};
}

std::string CheckS3m(std::string_view h) {
  if (h.size() < 48 || h.substr(44, 4) != "SCRM") return "not an S3M module";
  if (Get16(h, 32) > 256 || Get16(h, 34) > 99 || Get16(h, 36) > 256)
    return "S3M header values out of range";
  return {};
}

std::string CheckMp3(std::string_view h) {
  if (h.starts_with("ID3")) return {};
  if (h.size() >= 2 && static_cast<unsigned char>(h[0]) == 0xFF &&
      (static_cast<unsigned char>(h[1]) & 0xE0) == 0xE0)
    return {};
  return "not an MP3 file";
}

}  // namespace

std::string AudioFileProblem(std::string_view host_path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path path{std::string(host_path)};
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) return "file not found";
  if (!fs::is_regular_file(status)) return "not a regular file";
  const std::uintmax_t size = fs::file_size(path, ec);
  if (ec) return "cannot be read";
  if (size == 0) return "empty file";
  if (size > static_cast<std::uintmax_t>(kMaxAudioFileBytes)) return "file too large";
  std::ifstream in(path, std::ios::binary);
  if (!in) return "cannot be read";
  const std::string ext = LowerExtension(host_path);
  if (ext == "wav") return CheckWave(in, size);
  const std::string head = ReadAt(in, 0, 256);
  if (head.empty()) return "cannot be read";
  if (ext == "ogg") return CheckOgg(head);
  if (ext == "xm") return CheckXm(in, head, size);
  if (ext == "s3m") return CheckS3m(head);
  if (ext == "mo3") return head.starts_with("MO3") ? std::string() : "not an MO3 module";
  if (ext == "mp3") return CheckMp3(head);
  return {};
}

}  // namespace qv::platform
