#pragma once
// A reading of a sprite definition and of PNG headers, independent of the engine's loaders,
// for checks of the pack's structure.
#include <png.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>
#include <vector>

#include "pack_files.h"

namespace qv::pack_check {

struct SprPart {
  std::string image;  // resolved game path
  std::map<std::string, std::string> keys;
  int group = 0;
  int Int(const std::string& k, int def) const {
    auto it = keys.find(k);
    return it == keys.end() ? def : std::stoi(it->second);
  }
};

struct SprInfo {
  bool crlf = false;
  std::map<std::string, std::string> common;
  std::vector<std::vector<SprPart>> groups;
  std::vector<std::string> unknown_keys;
  std::vector<std::string> faults;
};

inline const std::set<std::string>& CommonKeys() {
  static const std::set<std::string> keys{"x",
                                          "y",
                                          "z",
                                          "flip_x",
                                          "flip_y",
                                          "alpha",
                                          "angle",
                                          "color",
                                          "map_koeff",
                                          "width",
                                          "height",
                                          "scale",
                                          "scale_x",
                                          "scale_y",
                                          "rot_center_x",
                                          "rot_center_y",
                                          "trigger",
                                          "isometric",
                                          "iso_x",
                                          "iso_y",
                                          "iso_z"};
  return keys;
}
inline const std::set<std::string>& PartKeys() {
  static const std::set<std::string> keys{
      "frame_width", "frame_height", "anim_speed", "anim_loop", "border", "x",          "y",
      "z",           "texture_size", "flip_x",     "flip_y",    "alpha",  "alpha_mode", "angle",
      "sprite_type", "scale",        "scale_x",    "scale_y",   "color",  "filter"};
  return keys;
}

inline std::map<std::string, std::string> Settings(const std::vector<std::string>& fields,
                                                   size_t from,
                                                   const std::set<std::string>& allowed,
                                                   std::vector<std::string>& unknown) {
  std::map<std::string, std::string> kv;
  for (size_t i = from; i < fields.size(); ++i) {
    const std::string f = fields[i];
    const size_t eq = f.find('=');
    if (f.empty() || eq == std::string::npos || eq == 0) break;
    const std::string k = Trim(f.substr(0, eq)), v = Trim(f.substr(eq + 1));
    if (!allowed.count(k)) unknown.push_back(k);
    kv[k] = v;
  }
  return kv;
}

inline SprInfo ReadSpr(const std::string& game_path) {
  SprInfo info;
  const std::string text = Read(game_path);
  std::vector<std::string> lines = Lines(text, &info.crlf);
  bool common = true;
  int outstanding = 0;
  for (std::string line : lines) {
    line = Trim(line);
    std::transform(line.begin(), line.end(), line.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    const size_t sc = line.find(';');
    if (sc != std::string::npos) line = Trim(line.substr(0, sc));
    if (line.empty()) continue;
    const std::vector<std::string> fields = Split(line, ',');
    if (common) {
      info.common = Settings(fields, 0, CommonKeys(), info.unknown_keys);
      if (info.common.empty()) info.faults.push_back("common line holds no setting");
      common = false;
    } else if (outstanding == 0) {
      outstanding = std::stoi(line);
      if (outstanding < 1) info.faults.push_back("empty group");
      info.groups.emplace_back();
    } else {
      SprPart p;
      p.image = ResolveImage(game_path, fields[0]);
      if (fields[0] != Trim(fields[0])) info.faults.push_back("blank around image name");
      p.keys = Settings(fields, 1, PartKeys(), info.unknown_keys);
      p.group = static_cast<int>(info.groups.size()) - 1;
      info.groups.back().push_back(p);
      --outstanding;
    }
  }
  if (outstanding != 0) info.faults.push_back("group lacks part lines");
  return info;
}

struct PngInfo {
  bool ok = false;
  int width = 0, height = 0, depth = 0, colour_type = -1, interlace = -1;
};

inline PngInfo ReadPngHeader(const std::string& game_path) {
  PngInfo info;
  const std::string b = Read(game_path);
  if (b.size() < 33 || b.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || b.compare(12, 4, "IHDR") != 0)
    return info;
  auto u32 = [&](size_t at) {
    return (static_cast<unsigned char>(b[at]) << 24) |
           (static_cast<unsigned char>(b[at + 1]) << 16) |
           (static_cast<unsigned char>(b[at + 2]) << 8) | static_cast<unsigned char>(b[at + 3]);
  };
  info.width = static_cast<int>(u32(16));
  info.height = static_cast<int>(u32(20));
  info.depth = static_cast<unsigned char>(b[24]);
  info.colour_type = static_cast<unsigned char>(b[25]);
  info.interlace = static_cast<unsigned char>(b[28]);
  info.ok = true;
  return info;
}

// RGBA pixels of a PNG, row by row.
inline std::vector<unsigned char> DecodeRgba(const std::string& game_path, int& w, int& h) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  std::vector<unsigned char> pixels;
  if (!png_image_begin_read_from_file(&image, Host(game_path).c_str())) return pixels;
  image.format = PNG_FORMAT_RGBA;
  pixels.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) pixels.clear();
  w = static_cast<int>(image.width);
  h = static_cast<int>(image.height);
  return pixels;
}

// Whether frame f (frames numbered row by row) of a sheet cut fw x fh holds any visible pixel.
inline bool FrameVisible(const std::string& game_path, int fw, int fh, int f) {
  int w = 0, h = 0;
  const std::vector<unsigned char> px = DecodeRgba(game_path, w, h);
  const int cols = w / fw;
  const int x0 = (f % cols) * fw, y0 = (f / cols) * fh;
  for (int y = y0; y < y0 + fh && y < h; ++y) {
    for (int x = x0; x < x0 + fw && x < w; ++x) {
      if (px[static_cast<size_t>((y * w + x) * 4 + 3)] > 0) return true;
    }
  }
  return false;
}

inline int FrameCount(const SprPart& p) {
  const PngInfo png = ReadPngHeader(p.image);
  const int fw = p.Int("frame_width", png.width), fh = p.Int("frame_height", png.height);
  if (fw <= 0 || fh <= 0) return 0;
  return (png.width / fw) * (png.height / fh);
}

}  // namespace qv::pack_check
