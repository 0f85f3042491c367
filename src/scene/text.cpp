#include "scene/text.h"

#include <vector>

#include "base/data_error.h"
#include "base/log.h"
#include "base/text_util.h"
#include "scene/scene_world.h"
#include "platform/files.h"
#include "sprites/multisprite.h"

namespace qv {

namespace {

constexpr std::size_t kMaxLine = 255;

bool EndsWithSpr(std::string_view font) {
  return font.size() >= 4 && font.ends_with(".spr");
}

// The width create_txt aligns by: the first glyph's width, then spacing and width for each
// following character.
double LineWidth(const FontMetrics& m, std::string_view text, double scale) {
  double w = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int c = static_cast<unsigned char>(text[i]);
    w += i == 0 ? scale * m.width[c] : scale * (m.spacing + m.width[c]);
  }
  return w;
}

struct TextResult {
  double width = 0;
  int created = 0;
};

Expected<TextResult> CreateText(SceneWorld& ctx, std::string_view text, int z,
                                std::string_view font, int align, std::string_view tag, int color,
                                double scale, double y, double x) {
  TextResult out;
  if (!EndsWithSpr(font)) return out;
  const FontMetrics* cached = nullptr;
  for (const CachedFont& f : ctx.scene.fonts) {
    if (f.font == font) cached = &f.metrics;
  }
  if (!cached) {
    Expected<FontMetrics> metrics = LoadMetrics(font);
    if (!metrics) return Fail(metrics.error());
    ctx.scene.fonts.push_back({std::string(font), std::move(*metrics)});
    cached = &ctx.scene.fonts.back().metrics;
  }
  const FontMetrics& m = *cached;
  if (align != 1) {
    const double w = LineWidth(m, text, scale);
    x = align == 3 ? x - w : x - w / 2;
  }
  double pen = x;
  for (const char ch : text) {
    const int c = static_cast<unsigned char>(ch);
    if (ch != ' ') {
      TMultiSprite* glyph = AcquireMultiSprite(ctx, font);
      if (glyph != nullptr) {
        glyph->x = scale * m.spacing + pen;
        glyph->y = y;
        glyph->scale_x = scale;
        glyph->scale_y = scale;
        if (!glyph->parts.empty()) glyph->parts[0]->anim_pos = m.frame[c];
        glyph->tag.assign(tag);
        if (color >= 0) glyph->color = color;
        if (z != -1) glyph->z = z;
        ++out.created;
      }
    }
    pen += scale * (m.width[c] + m.spacing);
    out.width += scale * m.width[c];
  }
  return out;
}

// create_txt's log line and result, or the report of a metrics error.
Expected<double> CreateTextLogged(SceneWorld& ctx, std::string_view text, int z,
                                  std::string_view font, int align, std::string_view tag, int color,
                                  double scale, double y, double x) {
  if (text.empty()) return 0.0;
  const Expected<TextResult> r = CreateText(ctx, text, z, font, align, tag, color, scale, y, x);
  if (!r) return Fail(r.error());
  if (ctx.options.log_enabled) {
    WriteLog(ctx,
             "create_txt(\"" + std::string(tag) + "\"), created: " + std::to_string(r->created));
  }
  return r->width;
}

}  // namespace

std::string MetricsPathOf(std::string_view font) {
  std::string path(font);
  if (path.size() >= 3) path.replace(path.size() - 3, 3, "pos");
  return path;
}

Expected<FontMetrics> ParseMetrics(std::string_view file, std::string_view data) {
  FontMetrics m;
  m.width.fill(-1);
  m.frame.fill(0);
  bool first = true;
  int code = 0;
  int frame = 0;
  int line_no = 0;
  for (std::string_view raw : txt::Lines(data)) {
    ++line_no;
    raw = raw.substr(0, kMaxLine);
    if (!raw.empty() && raw.front() == ';') continue;
    std::string_view line = raw.substr(0, raw.find(';'));
    line = txt::Trim(line);
    if (first) {
      const auto spacing = txt::ParseReal(line);
      if (!spacing) {
        return Fail(NotAReal(file, line_no, line));
      }
      m.spacing = *spacing;
      first = false;
      continue;
    }
    if (line.empty()) continue;
    if (line.front() == '#') {
      const auto v = txt::ParseInt(line.substr(1));
      if (!v) {
        return Fail(NotAnInteger(file, line_no, line.substr(1)));
      }
      code = *v;
      continue;
    }
    const auto w = txt::ParseInt(line);
    if (!w) {
      return Fail(NotAnInteger(file, line_no, line));
    }
    // Codes outside a byte never occur in single-byte text; their frames still count.
    if (code >= 0 && code < 256) {
      m.width[static_cast<std::size_t>(code)] = *w;
      m.frame[static_cast<std::size_t>(code)] = frame;
    }
    ++frame;
    // Past a byte a code never comes back into range; stopping there keeps "#2147483647" from
    // overflowing.
    if (code < 256) ++code;
  }
  if (first) return Fail(NotAReal(file, line_no + 1, ""));
  return m;
}

Expected<FontMetrics> LoadMetrics(std::string_view font) {
  const std::string path = MetricsPathOf(font);
  const std::optional<std::string> data =
      platform::FileExists(path) ? platform::ReadWholeFile(path) : std::nullopt;
  if (!data) return Fail(FileNotFound(path));
  return ParseMetrics(path, *data);
}

double create_txt(SceneWorld& ctx, std::string_view text, int z, std::string_view font, int align,
                  std::string_view tag, int color, double scale, double y, double x) {
  const Expected<double> r = CreateTextLogged(ctx, text, z, font, align, tag, color, scale, y, x);
  if (!r) {
    ReportDataError(ctx, "create_txt", r.error());
    return 0;
  }
  return *r;
}

double MeasureText(SceneWorld& ctx, std::string_view text, std::string_view font, double scale) {
  if (text.empty() || !EndsWithSpr(font)) return 0;
  const Expected<FontMetrics> m = LoadMetrics(font);
  if (!m) {
    ReportDataError(ctx, "MeasureText", m.error());
    return 0;
  }
  return LineWidth(*m, text, scale);
}

std::vector<std::string> SplitParams(std::string_view params) {
  std::vector<std::string> items;
  if (params.empty()) return items;
  for (const std::string_view item : txt::Split(params, ',')) {
    const std::string_view t = txt::Trim(item);
    if (t.empty()) break;
    items.emplace_back(t);
  }
  return items;
}

Expected<std::string> SubstituteParams(std::string_view line, const std::vector<std::string>& items,
                                       std::string_view file, int line_no) {
  std::string out;
  std::size_t i = 0;
  while (i < line.size()) {
    if (line[i] != '%') {
      out.push_back(line[i++]);
      continue;
    }
    const std::size_t end = line.find(';', i + 1);
    if (end == std::string_view::npos) break;  // an unclosed reference drops the rest
    const std::string_view ref = line.substr(i + 1, end - i - 1);
    const auto k = txt::ParseInt(ref);
    if (!k) {
      return Fail(NotAnInteger(file, line_no, ref));
    }
    if (*k >= 1 && *k <= static_cast<int>(items.size())) {
      out += items[static_cast<std::size_t>(*k - 1)];
    }
    i = end + 1;
  }
  return out;
}

void ShowTextFile(SceneWorld& ctx, std::string_view file, std::string_view tag,
                  std::string_view params) {
  const std::optional<std::string> data =
      platform::FileExists(file) ? platform::ReadWholeFile(file) : std::nullopt;
  if (!data) {
    ReportDataError(ctx, "ShowTextFile", FileNotFound(file));
    return;
  }
  ShowTextLayout(ctx, file, *data, tag, params);
}

void ShowTextLayout(SceneWorld& ctx, std::string_view file, std::string_view data,
                    std::string_view tag, std::string_view params) {
  const std::vector<std::string> items = SplitParams(params);
  std::string font;
  double size = 0, x = 0, y = 0, leading = 0;
  int z = 0;
  int align = 0;
  int color = 0xFFFFFF;
  bool in_block = false;
  int line_no = 0;
  for (std::string_view raw : txt::Lines(data)) {
    ++line_no;
    raw = raw.substr(0, kMaxLine);
    if (in_block) {
      if (txt::Trim(raw) == "#end") {
        in_block = false;
        continue;
      }
      if (font.empty()) continue;
      std::string line(raw);
      if (!items.empty()) {
        Expected<std::string> sub = SubstituteParams(raw, items, file, line_no);
        if (!sub) {
          ReportDataError(ctx, "ShowTextFile", sub.error());
          return;
        }
        line = std::move(*sub);
      }
      const Expected<double> r =
          CreateTextLogged(ctx, line, z, font, align, tag, color, size, y, x);
      if (!r) {
        ReportDataError(ctx, "ShowTextFile", r.error());
        return;
      }
      y += leading;
      continue;
    }
    if (!raw.empty() && raw.front() == ';') continue;
    const std::string_view line = txt::Trim(raw.substr(0, raw.find(';')));
    if (line.empty()) continue;
    if (line == "#begin") {
      in_block = true;
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || eq == 0) continue;
    const std::string_view key = txt::Trim(line.substr(0, eq));
    const std::string_view value = txt::Trim(line.substr(eq + 1));
    if (key == "font") {
      font = std::string(value);
    } else if (key == "size") {
      size = txt::ParseReal(value).value_or(0);
    } else if (key == "x") {
      x = txt::ParseReal(value).value_or(0);
    } else if (key == "y") {
      y = txt::ParseReal(value).value_or(0);
    } else if (key == "leading") {
      leading = txt::ParseReal(value).value_or(0);
    } else if (key == "z" || key == "color") {
      const auto v = txt::ParseInt(value);
      if (!v) {
        ReportDataError(ctx, "ShowTextFile", NotAnInteger(file, line_no, value));
        return;
      }
      (key == "z" ? z : color) = *v;
    } else if (key == "align") {
      if (value == "left") align = 1;
      if (value == "center") align = 2;
      if (value == "right") align = 3;
    }
  }
}

}  // namespace qv
