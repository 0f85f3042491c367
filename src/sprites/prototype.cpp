// The sprite definition reader: byte-level line rules, settings, groups, parts and frames.
#include "sprites/prototype.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <numbers>
#include <stdexcept>

#include "base/log.h"
#include "base/text_util.h"
#include "base/message.h"
#include "sprites/sprite_world.h"
#include "platform/files.h"
#include "sprites/atlas.h"

namespace qv {
namespace spr {

constexpr std::size_t kMaxLine = 255;
constexpr std::size_t kMaxFields = 100;

bool IsBlank(char c) {
  return static_cast<unsigned char>(c) <= 32;
}

std::string Trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

namespace {

std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  }
  return s;
}

void FinishLine(std::string& pending, std::vector<std::string>& out) {
  std::string line = Lower(Trim(pending));
  pending.clear();
  const std::size_t comment = line.find(';');
  if (comment != std::string::npos) line = Trim(std::string_view(line).substr(0, comment));
  if (!line.empty()) out.push_back(std::move(line));
}

}  // namespace

std::vector<std::string> SplitLines(std::string_view bytes) {
  std::vector<std::string> out;
  std::string pending;
  auto add = [&](char c) {
    if (pending.size() < kMaxLine) pending.push_back(c);
  };
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (i + 1 == bytes.size()) {
      // The last byte ends the pending line, unless it is a line feed, which drops it.
      if (c != '\n') {
        add(c);
        FinishLine(pending, out);
      }
      break;
    }
    if (c == '\r') {
      FinishLine(pending, out);
    } else if (c != '\n') {
      add(c);
    }
  }
  return out;
}

std::vector<std::string_view> SplitFields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t start = 0;
  // Fields past the 100th are never looked at; the 100th still ends at its comma.
  while (fields.size() < kMaxFields) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) {
      fields.push_back(line.substr(start));
      break;
    }
    fields.push_back(line.substr(start, comma - start));
    start = comma + 1;
  }
  return fields;
}

std::optional<std::int32_t> ParseInteger(std::string_view s) {
  bool negative = false;
  if (!s.empty() && (s[0] == '+' || s[0] == '-')) {
    negative = s[0] == '-';
    s.remove_prefix(1);
  }
  int base = 10;
  if (!s.empty() && s[0] == '$') {
    base = 16;
    s.remove_prefix(1);
  } else if (s.size() >= 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
    base = 16;
    s.remove_prefix(2);
  } else if (!s.empty() && (s[0] == 'x' || s[0] == 'X')) {
    base = 16;
    s.remove_prefix(1);
  }
  if (s.empty()) return std::nullopt;
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value, base);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  // Hexadecimal takes the full 32 bits ("$FFFFFFFF" is -1); decimal must fit a signed int.
  if (base == 16) {
    if (value > 0xFFFFFFFFull) return std::nullopt;
    const auto bits = static_cast<std::uint32_t>(negative ? 0u - value : value);
    return static_cast<std::int32_t>(bits);
  }
  if (value > (negative ? 2147483648ull : 2147483647ull)) return std::nullopt;
  return static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(value)
                                            : static_cast<std::int64_t>(value));
}

double ParseReal(std::string_view s) {
  if (!s.empty() && s[0] == '+') s.remove_prefix(1);
  if (!s.empty() && s[0] == '+') return 0;
  double value = 0;
  if (txt::ReadDouble(s.data(), s.data() + s.size(), value) == s.data() || !std::isfinite(value))
    return 0;
  return value;
}

std::string CollapseParentDirs(std::string path) {
  static constexpr std::string_view kUp = "\\..\\";
  for (std::size_t at = path.find(kUp); at != std::string::npos; at = path.find(kUp)) {
    std::string before = path.substr(0, at);
    const std::size_t slash = before.rfind('\\');
    before.resize(slash == std::string::npos ? 0 : slash);
    path = before + "\\" + path.substr(at + kUp.size());
  }
  return path;
}

std::string DirectoryOf(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string BaseName(std::string_view path) {
  const std::size_t slash = path.rfind('\\');
  std::string_view file = slash == std::string_view::npos ? path : path.substr(slash + 1);
  const std::size_t dot = file.rfind('.');
  if (dot != std::string_view::npos) file = file.substr(0, dot);
  return std::string(file);
}

}  // namespace spr

namespace {

using spr::ParseInteger;
using spr::ParseReal;

struct FormatError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Offsets and frame sizes from the file may add up beyond an int; the size saturates.
int CeilToInt(double v) {
  constexpr double kMax = std::numeric_limits<int>::max();
  constexpr double kMin = std::numeric_limits<int>::min();
  const double up = std::ceil(v);
  return up >= kMax ? std::numeric_limits<int>::max()
         : up <= kMin ? std::numeric_limits<int>::min()
                      : static_cast<int>(up);
}

std::int32_t Int(std::string_view v) {
  const auto value = ParseInteger(v);
  if (!value) throw FormatError("\"" + std::string(v) + "\" is not a valid integer value");
  return *value;
}
bool Bool(std::string_view v) {
  return v == "1";
}
std::uint8_t Byte(std::string_view v) {
  return static_cast<std::uint8_t>(Int(v) & 0xFF);
}
double Angle(std::string_view v) {
  return ParseReal(v) / 360.0 * 2.0 * std::numbers::pi;
}

// Calls apply(key, value) for fields [first, end) until the first field that is not a setting.
template <class Apply>
void ScanSettings(const std::vector<std::string_view>& fields, std::size_t first, Apply apply) {
  for (std::size_t i = first; i < fields.size(); ++i) {
    const std::string_view f = fields[i];
    const std::size_t eq = f.find('=');
    if (f.empty() || eq == std::string_view::npos || eq == 0) return;
    apply(spr::Trim(f.substr(0, eq)), spr::Trim(f.substr(eq + 1)));
  }
}

struct PartSettings {
  int frame_width = 0, frame_height = 0;
  double anim_speed = 0;
  bool anim_loop = true;
  int border = 0;
  double x = 0, y = 0;
  int z = 0;
  int texture_size = 0;
  bool flip_x = false, flip_y = false;
  std::uint8_t alpha = 255, alpha_mode = 0;
  double angle = 0;
  int sprite_type = 0;
  double scale_x = 1, scale_y = 1;
  std::int32_t color = 0xFFFFFF;
};

struct ImageField {
  std::string image, alpha;
};

ImageField SplitImageField(std::string_view field) {
  const std::size_t bar = field.find('|');
  if (bar == std::string_view::npos) return {std::string(field), {}};
  return {spr::Trim(field.substr(0, bar)), spr::Trim(field.substr(bar + 1))};
}

class Loader {
 public:
  Loader(SpriteWorld& ctx, int index, std::string_view path)
      : ctx_(ctx), index_(index), path_(path), dir_(spr::DirectoryOf(path)) {}

  void Run(std::string_view bytes) {
    std::string file = path_;
    const std::size_t slash = file.rfind('\\');
    if (slash != std::string::npos) file = file.substr(slash + 1);
    Proto().name = file.size() >= 4 ? file.substr(0, file.size() - 4) : std::string();
    try {
      for (const std::string& line : spr::SplitLines(bytes)) Line(line);
    } catch (const FormatError& e) {
      const std::string text = std::string(e.what()) + " in \"" + path_ + "\"";
      ReportError(ctx_, text, "ERROR: prototype_format_error " + text);
    }
    // An empty file (or one whose only line feed swallowed it) draws nothing: worth a line.
    if (Proto().parts.empty())
      WriteLog(ctx_, "ERROR: prototype_without_parts \"" + path_ + "\"");
    FlushAtlasTextures(ctx_);
  }

 private:
  my_prototype& Proto() { return ctx_.sprites.prototypes[index_]; }

  void Line(const std::string& line) {
    if (!common_done_) {
      common_done_ = true;
      Common(line);
    } else if (line[0] == '+') {
      Continuation(line);
    } else if (outstanding_ == 0) {
      const int n = Int(line);
      part_group g;
      g.first_part = static_cast<int>(Proto().parts.size());
      g.part_count = n < 0 ? 0 : n;
      Proto().groups.push_back(g);
      outstanding_ = g.part_count;
    } else {
      Part(line);
    }
  }

  void Common(const std::string& line) {
    my_prototype& p = Proto();
    p.z = 0;
    p.flip_x = p.flip_y = false;
    p.angle = 0;
    p.alpha = 255;
    p.scale_x = p.scale_y = p.map_koeff = 1;
    p.color = 0xFFFFFF;
    ScanSettings(spr::SplitFields(line), 0, [&](const std::string& k, const std::string& v) {
      if (k == "x")
        p.x = ParseReal(v);
      else if (k == "y")
        p.y = ParseReal(v);
      else if (k == "z")
        p.z = Int(v);
      else if (k == "flip_x")
        p.flip_x = Bool(v);
      else if (k == "flip_y")
        p.flip_y = Bool(v);
      else if (k == "alpha")
        p.alpha = Byte(v);
      else if (k == "angle")
        p.angle = Angle(v);
      else if (k == "trigger")
        (void)Bool(v);
      else if (k == "color")
        p.color = Int(v);
      else if (k == "map_koeff")
        p.map_koeff = ParseReal(v);
      else if (k == "width")
        fixed_w_ = Int(v);
      else if (k == "height")
        fixed_h_ = Int(v);
      else if (k == "scale")
        p.scale_x = p.scale_y = ParseReal(v);
      else if (k == "scale_x")
        p.scale_x = ParseReal(v);
      else if (k == "scale_y")
        p.scale_y = ParseReal(v);
      else if (k == "rot_center_x")
        p.rot_center_x = ParseReal(v);
      else if (k == "rot_center_y")
        p.rot_center_y = ParseReal(v);
      else if (k == "isometric")
        p.isometric = Bool(v);
      else if (k == "iso_x")
        p.iso_x = ParseReal(v);
      else if (k == "iso_y")
        p.iso_y = ParseReal(v);
      else if (k == "iso_z")
        p.iso_z = Int(v);
      else
        ReportError(ctx_, "Unknown common multisprite's variable \"" + k + "\"!");
    });
  }

  void Part(const std::string& line) {
    const auto fields = spr::SplitFields(line);
    PartSettings s;
    ScanSettings(fields, 1, [&](const std::string& k, const std::string& v) {
      if (k == "frame_width")
        s.frame_width = Int(v);
      else if (k == "frame_height")
        s.frame_height = Int(v);
      else if (k == "anim_speed")
        s.anim_speed = Int(v) / 1000.0;
      else if (k == "anim_loop")
        s.anim_loop = Bool(v);
      else if (k == "filter")
        (void)Int(v);
      else if (k == "border")
        s.border = Int(v);
      else if (k == "x")
        s.x = ParseReal(v);
      else if (k == "y")
        s.y = ParseReal(v);
      else if (k == "z")
        s.z = Int(v);
      else if (k == "texture_size")
        s.texture_size = Int(v);
      else if (k == "flip_x")
        s.flip_x = Bool(v);
      else if (k == "flip_y")
        s.flip_y = Bool(v);
      else if (k == "alpha")
        s.alpha = Byte(v);
      else if (k == "alpha_mode")
        s.alpha_mode = Byte(v);
      else if (k == "angle")
        s.angle = Angle(v);
      else if (k == "sprite_type")
        s.sprite_type = Int(v);
      else if (k == "scale")
        s.scale_x = s.scale_y = ParseReal(v);
      else if (k == "scale_x")
        s.scale_x = ParseReal(v);
      else if (k == "scale_y")
        s.scale_y = ParseReal(v);
      else if (k == "color")
        s.color = Int(v);
      else
        ReportError(ctx_,
                    "Unknown variable in the sprite's part of the multisprite \"" + k + "\"!");
    });
    --outstanding_;

    my_sprite_opis part;
    part.x = s.x;
    part.y = s.y;
    part.z = s.z;
    part.flip_x = s.flip_x;
    part.flip_y = s.flip_y;
    part.group_index = static_cast<int>(Proto().groups.size()) - 1;
    part.alpha = s.alpha;
    part.alpha_mode = s.alpha_mode;
    part.color = s.color;
    part.angle = s.angle;
    part.sprite_type = s.sprite_type;
    part.scale_x = s.scale_x;
    part.scale_y = s.scale_y;
    part.border = s.border;
    const ImageField img = SplitImageField(fields[0]);
    const std::string image_path = spr::CollapseParentDirs(dir_ + img.image);
    const std::string alpha_path = img.alpha.empty() ? std::string() : dir_ + img.alpha;
    part.image_name = spr::BaseName(image_path);
    Proto().parts.push_back(part);
    const int part_index = static_cast<int>(Proto().parts.size()) - 1;
    last_part_ = part_index;
    LogMissing(image_path, alpha_path);

    // The texture record of this part: a copy of an image already loaded, or a new one.
    const int rec = TakeTextureRecord(part.image_name);
    Proto().parts[part_index].texture_index = rec;
    int frame = -1;
    const int found = FindLoadedImage(ctx_, part.image_name, &frame);
    auto& records = ctx_.sprites.textures;
    if (found >= 0) {
      records[rec] = records[found];
      records[rec].name = part.image_name;
      fixed_w_ = records[found].image_width;
      fixed_h_ = records[found].image_height;
    } else {
      // A tile size or border out of range is reported here, whether or not the image reads,
      // and leaves the record without tiles: its continuation lines cut none either.
      if (!ValidTileGeometry(s.texture_size, s.border)) {
        const bool size_ok = SizeClassOf(s.texture_size) >= 0;
        WriteLog(ctx_, std::string("ERROR: prototype_create_bad_") +
                           (size_ok ? "border " + std::to_string(s.border)
                                    : "texture_size " + std::to_string(s.texture_size)) +
                           " \"" + part.image_name + "\"");
        s.texture_size = 0;
        s.border = 0;
        Proto().parts[part_index].border = 0;
      }
      const Image image = ReadImage(image_path, alpha_path);
      my_bmptexture& r = records[rec];
      r.image_width = image.width;
      r.image_height = image.height;
      r.frame_width = s.frame_width > 0 ? s.frame_width : image.width;
      r.frame_height = s.frame_height > 0 ? s.frame_height : image.height;
      r.texture_size = s.texture_size;
      r.border = s.border;
      CutFrames(ctx_, rec, image, part.image_name, -1);
      Proto().width = records[rec].frame_width;
      Proto().height = records[rec].frame_height;
    }
    FinishPart(s.anim_speed, s.anim_loop);
  }

  void Continuation(const std::string& line) {
    if (last_part_ < 0) {
      WriteLog(ctx_, "ERROR: prototype_continuation_without_part \"" + path_ + "\"");
      return;
    }
    const std::string rest = spr::Trim(std::string_view(line).substr(1));
    const ImageField img = SplitImageField(spr::SplitFields(rest)[0]);
    const std::string image_path = spr::CollapseParentDirs(dir_ + img.image);
    const std::string alpha_path = img.alpha.empty() ? std::string() : dir_ + img.alpha;
    LogMissing(image_path, alpha_path);
    const std::string base = spr::BaseName(image_path);
    const int rec = Proto().parts[last_part_].texture_index;
    int frame = -1;
    if (FindLoadedImage(ctx_, base, &frame) >= 0) {
      my_frame copy = ctx_.sprites.frames[frame];
      copy.name.clear();
      ctx_.sprites.frames.push_back(std::move(copy));
      AppendFrame(ctx_, rec, static_cast<int>(ctx_.sprites.frames.size()) - 1);
    } else {
      CutFrames(ctx_, rec, ReadImage(image_path, alpha_path), base, 1);
    }
    FinishPart(last_anim_speed_, last_anim_loop_);
  }

  // Frame count, animation and the prototype size after a part or continuation line.
  void FinishPart(double anim_speed, bool anim_loop) {
    last_anim_speed_ = anim_speed;
    last_anim_loop_ = anim_loop;
    my_sprite_opis& part = Proto().parts[last_part_];
    const my_bmptexture& rec = ctx_.sprites.textures[part.texture_index];
    part.frame_count = static_cast<int>(rec.frames.size());
    part.anim_speed = part.frame_count < 2 ? 0 : anim_speed;
    part.anim_loop = part.frame_count < 2 ? false : anim_loop;
    my_prototype& p = Proto();
    if (fixed_w_ >= 1) {
      p.width = fixed_w_;
    } else if (p.width < part.x + rec.frame_width) {
      p.width = CeilToInt(part.x + rec.frame_width);
    }
    if (fixed_h_ >= 1) {
      p.height = fixed_h_;
    } else if (p.height < part.y + rec.frame_height) {
      p.height = CeilToInt(part.y + rec.frame_height);
    }
  }

  void LogMissing(const std::string& image_path, const std::string& alpha_path) {
    if (!platform::FileExists(image_path))
      WriteLog(ctx_, "ERROR: prototype_create_texture_file_not_found \"" + image_path + "\"");
    if (!alpha_path.empty() && !platform::FileExists(alpha_path))
      WriteLog(ctx_, "ERROR: prototype_create_alpha_texture_file_not_found \"" + alpha_path + "\"");
  }

  int TakeTextureRecord(const std::string& name) {
    auto& records = ctx_.sprites.textures;
    for (std::size_t i = 0; i < records.size(); ++i) {
      if (records[i].name.empty()) {
        records[i] = my_bmptexture{};
        records[i].name = name;
        return static_cast<int>(i);
      }
    }
    records.emplace_back().name = name;
    return static_cast<int>(records.size()) - 1;
  }

  // The decoded image with its alpha image applied and transparent pixels cleared.
  Image ReadImage(const std::string& image_path, const std::string& alpha_path) {
    Image image = Decode(image_path);
    if (!alpha_path.empty()) {
      const Image alpha = Decode(alpha_path);
      if (ImageTypeOf(alpha_path) == ImageType::Tga && !alpha.empty()) {
        if (alpha.width != image.width || alpha.height != image.height)
          WriteLog(ctx_, "ERROR: prototype_alpha_texture_size_differs \"" + alpha_path + "\"");
        // Where the alpha image does not reach, the image keeps its own alpha.
        const int w = std::min(alpha.width, image.width), h = std::min(alpha.height, image.height);
        for (int y = 0; y < h; ++y) {
          for (int x = 0; x < w; ++x) {
            const std::uint32_t a = alpha.argb[static_cast<std::size_t>(y) * alpha.width + x];
            const std::uint32_t level = alpha.grey || !alpha.has_alpha ? (a >> 16) & 0xFF : a >> 24;
            std::uint32_t& p = image.argb[static_cast<std::size_t>(y) * image.width + x];
            p = (p & 0xFFFFFFu) | (level << 24);
          }
        }
      }
    }
    if (image.has_alpha) {
      for (std::uint32_t& p : image.argb) {
        if ((p >> 24) == 0) p = 0;
      }
    }
    return image;
  }

  Image Decode(const std::string& path) {
    const ImageType type = ImageTypeOf(path);
    if (type == ImageType::Unknown) {
      WriteLog(ctx_, "ERROR: prototype_create_texture_unknown_type \"" + path + "\"");
      return {};
    }
    const auto bytes = platform::ReadWholeFile(path);
    if (!bytes) return {};  // already logged as missing
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes->data());
    DecodeResult r = DecodeImage(type, Bytes(data, bytes->size()));
    if (!r.ok()) {
      WriteLog(ctx_, "ERROR: prototype_create_texture_bad_image \"" + path + "\": " + r.error);
      return {};
    }
    if (!r.warning.empty())
      WriteLog(ctx_,
               "ERROR: prototype_create_texture_damaged_image \"" + path + "\": " + r.warning);
    return std::move(r.image);
  }

  SpriteWorld& ctx_;
  int index_;
  std::string path_;
  std::string dir_;
  bool common_done_ = false;
  int outstanding_ = 0;
  int last_part_ = -1;
  int fixed_w_ = 0, fixed_h_ = 0;
  double last_anim_speed_ = 0;
  bool last_anim_loop_ = false;
};

int TakePrototypeSlot(SpriteWorld& ctx) {
  auto& list = ctx.sprites.prototypes;
  int index = -1;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].name.empty()) {
      index = static_cast<int>(i);
      break;
    }
  }
  if (index < 0) {
    if (list.size() == list.capacity()) list.reserve(list.capacity() + 256);
    list.emplace_back();
    index = static_cast<int>(list.size()) - 1;
  }
  WriteLog(ctx, "index=" + std::to_string(index));
  list[index] = my_prototype{};
  return index;
}

}  // namespace

int FindPrototype(const SpriteWorld& ctx, std::string_view path) {
  // The name is built in a buffer of its own: pictures are asked for every frame, and a lookup
  // must not allocate.
  std::string_view trimmed = path;
  while (!trimmed.empty() && spr::IsBlank(trimmed.front())) trimmed.remove_prefix(1);
  while (!trimmed.empty() && spr::IsBlank(trimmed.back())) trimmed.remove_suffix(1);
  char buf[256];
  std::size_t n = 0;
  for (char c : trimmed) {
    if (n == sizeof buf) break;
    buf[n++] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  }
  std::string_view name(buf, n);
  if (name.size() >= 4 && name.substr(name.size() - 4) == ".spr") {
    const std::size_t slash = name.rfind('\\');
    name = name.substr(slash == std::string_view::npos ? 0 : slash + 1);
    name.remove_suffix(4);
  }
  if (name.empty()) return -1;
  const auto& list = ctx.sprites.prototypes;
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].name == name) return static_cast<int>(i);
  }
  return -1;
}

int LoadPrototype(SpriteWorld& ctx, std::string_view path) {
  const int index = TakePrototypeSlot(ctx);
  const auto bytes = platform::FileExists(path) ? platform::ReadWholeFile(path) : std::nullopt;
  if (!bytes) {
    WriteLog(ctx, "ERROR_prototype_create_file_not_found: \"" + std::string(path) + "\"");
    return index;
  }
  Loader(ctx, index, path).Run(*bytes);
  return index;
}

int LoadPrototypeFromBytes(SpriteWorld& ctx, std::string_view path, std::string_view bytes) {
  const int index = TakePrototypeSlot(ctx);
  Loader(ctx, index, path).Run(bytes);
  return index;
}

int GetPrototype(SpriteWorld& ctx, std::string_view path) {
  const int index = FindPrototype(ctx, path);
  return index >= 0 ? index : LoadPrototype(ctx, path);
}

}  // namespace qv
