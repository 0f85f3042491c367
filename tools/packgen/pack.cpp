#include "pack.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include <png.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <stdexcept>

namespace packgen {

Pack::Pack(std::filesystem::path root) : root_(std::move(root)) {
  std::filesystem::create_directories(root_);
}

std::filesystem::path Pack::Host(const std::string& game_path) const {
  std::string p = game_path;
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  return root_ / p;
}

void Pack::WriteLines(const std::string& game_path, const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) {
    if (line.size() > 255) throw std::runtime_error("line too long in " + game_path + ": " + line);
    for (char c : line) {
      if (c == '\t' || static_cast<unsigned char>(c) > 126 || c == '\n' || c == '\r') {
        throw std::runtime_error("bad character in " + game_path + ": " + line);
      }
    }
    if (!line.empty() && line.back() == ' ') {
      throw std::runtime_error("trailing blank in " + game_path + ": " + line);
    }
    text += line;
    text += "\r\n";
  }
  WriteBytes(game_path, std::vector<uint8_t>(text.begin(), text.end()));
}

void Pack::WriteBytes(const std::string& game_path, const std::vector<uint8_t>& bytes) {
  const std::filesystem::path host = Host(game_path);
  std::filesystem::create_directories(host.parent_path());
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + host.string());
}

void Pack::WritePng(const std::string& game_path, cairo_surface_t* surface) {
  const std::filesystem::path host = Host(game_path);
  std::filesystem::create_directories(host.parent_path());
  cairo_surface_flush(surface);
  // Always 8-bit RGBA (colour type 6), also for opaque pictures; cairo's own writer would
  // drop the alpha channel of those. Cairo keeps premultiplied native-endian ARGB.
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  const unsigned char* src = cairo_image_surface_get_data(surface);
  std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = reinterpret_cast<const uint32_t*>(src + static_cast<size_t>(y) * stride);
    for (int x = 0; x < w; ++x) {
      const uint32_t p = row[x];
      const unsigned a = p >> 24;
      unsigned char* d = &rgba[(static_cast<size_t>(y) * w + x) * 4];
      if (a == 0) {
        d[0] = d[1] = d[2] = d[3] = 0;
        continue;
      }
      const unsigned r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
      d[0] = static_cast<unsigned char>(std::min(255u, (r * 255 + a / 2) / a));
      d[1] = static_cast<unsigned char>(std::min(255u, (g * 255 + a / 2) / a));
      d[2] = static_cast<unsigned char>(std::min(255u, (b * 255 + a / 2) / a));
      d[3] = static_cast<unsigned char>(a);
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(w);
  image.height = static_cast<png_uint_32>(h);
  image.format = PNG_FORMAT_RGBA;
  if (!png_image_write_to_file(&image, host.c_str(), 0, rgba.data(), 0, nullptr)) {
    throw std::runtime_error("cannot write " + host.string() + ": " + image.message);
  }
}

std::string DirOf(const std::string& game_path) {
  const size_t pos = game_path.rfind('\\');
  return pos == std::string::npos ? std::string() : game_path.substr(0, pos + 1);
}

void WriteSpr(Pack& pack, const std::string& game_path, const Spr& spr) {
  std::vector<std::string> lines{spr.common};
  for (const auto& group : spr.groups) {
    lines.push_back(std::to_string(group.size()));
    for (const std::string& part : group) lines.push_back(part);
  }
  pack.WriteLines(game_path, lines);
  pack.NoteSprite(game_path);
}

Canvas::Canvas(int w, int h)
    : w_(w),
      h_(h),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h)),
      cr_(cairo_create(surface_)) {}

Canvas::~Canvas() {
  cairo_destroy(cr_);
  cairo_surface_destroy(surface_);
}

void Canvas::Save(Pack& pack, const std::string& game_path) {
  pack.WritePng(game_path, surface_);
}

void Canvas::Blit(const Canvas& src, double x, double y, double alpha) {
  cairo_save(cr_);
  cairo_set_source_surface(cr_, src.surface(), x, y);
  cairo_paint_with_alpha(cr_, alpha);
  cairo_restore(cr_);
}

Rgb Hex(uint32_t rgb) {
  return {((rgb >> 16) & 255) / 255.0, ((rgb >> 8) & 255) / 255.0, (rgb & 255) / 255.0};
}
Rgb Mix(Rgb a, Rgb b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb Scale(Rgb a, double k) {
  return {std::min(1.0, a.r * k), std::min(1.0, a.g * k), std::min(1.0, a.b * k)};
}
void SetRgb(cairo_t* cr, Rgb c, double a) {
  cairo_set_source_rgba(cr, c.r, c.g, c.b, a);
}
void AddStop(cairo_pattern_t* p, double off, Rgb c, double a) {
  cairo_pattern_add_color_stop_rgba(p, off, c.r, c.g, c.b, a);
}

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r) {
  r = std::min(r, std::min(w, h) / 2);
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 1.5 * M_PI);
  cairo_close_path(cr);
}

void Plate(cairo_t* cr, double x, double y, double w, double h, double r, Rgb top, Rgb bottom,
           Rgb rim) {
  cairo_save(cr);
  RoundRect(cr, x, y, w, h, r);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
  AddStop(g, 0, top);
  AddStop(g, 1, bottom);
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  SetRgb(cr, rim);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  // Light catches the upper inner edge.
  RoundRect(cr, x + 1.5, y + 1.5, w - 3, h - 3, std::max(0.0, r - 1.5));
  cairo_pattern_t* e = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgba(e, 0, 1, 1, 1, 0.35);
  cairo_pattern_add_color_stop_rgba(e, 0.5, 1, 1, 1, 0.0);
  cairo_set_source(cr, e);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);
  cairo_pattern_destroy(e);
  cairo_restore(cr);
}

void GlossySphere(cairo_t* cr, double cx, double cy, double r, Rgb c, bool highlight) {
  cairo_save(cr);
  // Body: lit from the upper left, deep colour at the rim.
  cairo_pattern_t* body =
      cairo_pattern_create_radial(cx - r * 0.35, cy - r * 0.4, r * 0.1, cx, cy, r);
  AddStop(body, 0.0, Mix(c, {1, 1, 1}, 0.55));
  AddStop(body, 0.45, c);
  AddStop(body, 0.85, Scale(c, 0.55));
  AddStop(body, 1.0, Scale(c, 0.30));
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);
  // Light bounced up from below.
  cairo_pattern_t* bounce = cairo_pattern_create_radial(cx + r * 0.2, cy + r * 0.75, 0,
                                                        cx + r * 0.2, cy + r * 0.75, r * 0.6);
  AddStop(bounce, 0, Mix(c, {1, 1, 1}, 0.4), 0.55);
  AddStop(bounce, 1, c, 0.0);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_set_source(cr, bounce);
  cairo_fill(cr);
  cairo_pattern_destroy(bounce);
  if (highlight) {
    // The specular window reflection.
    cairo_save(cr);
    cairo_translate(cr, cx - r * 0.25, cy - r * 0.52);
    cairo_scale(cr, r * 0.55, r * 0.32);
    cairo_pattern_t* gloss = cairo_pattern_create_linear(0, -1, 0, 1);
    cairo_pattern_add_color_stop_rgba(gloss, 0, 1, 1, 1, 0.9);
    cairo_pattern_add_color_stop_rgba(gloss, 1, 1, 1, 1, 0.08);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_set_source(cr, gloss);
    cairo_fill(cr);
    cairo_pattern_destroy(gloss);
    cairo_restore(cr);
  }
  cairo_restore(cr);
}

void Glow(cairo_t* cr, double cx, double cy, double r, Rgb c, double a) {
  cairo_pattern_t* g = cairo_pattern_create_radial(cx, cy, 0, cx, cy, r);
  AddStop(g, 0, c, a);
  AddStop(g, 0.4, c, a * 0.45);
  AddStop(g, 1, c, 0);
  cairo_save(cr);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_restore(cr);
  cairo_pattern_destroy(g);
}

namespace {
FT_Library g_ft = nullptr;
struct LoadedFace {
  std::string path;
  FT_Face ft = nullptr;
  cairo_font_face_t* cairo = nullptr;
};
LoadedFace g_faces[3];

LoadedFace& Get(Face f) {
  return g_faces[static_cast<int>(f)];
}
}  // namespace

void InitFaces(const std::string& bold, const std::string& condensed, const std::string& mono) {
  if (FT_Init_FreeType(&g_ft) != 0) throw std::runtime_error("FreeType init failed");
  const std::string paths[3] = {bold, condensed, mono};
  for (int i = 0; i < 3; ++i) {
    g_faces[i].path = paths[i];
    if (FT_New_Face(g_ft, paths[i].c_str(), 0, &g_faces[i].ft) != 0) {
      throw std::runtime_error("cannot open font " + paths[i]);
    }
    g_faces[i].cairo = cairo_ft_font_face_create_for_ft_face(g_faces[i].ft, 0);
  }
}

void DoneFaces() {
  for (auto& f : g_faces) {
    if (f.cairo) cairo_font_face_destroy(f.cairo);
    f.cairo = nullptr;
    // The FT faces stay with cairo's cache until exit; the process ends right after.
  }
}

const std::string& FacePath(Face face) {
  return Get(face).path;
}

static void SetFace(cairo_t* cr, Face face, double size) {
  cairo_set_font_face(cr, Get(face).cairo);
  cairo_set_font_size(cr, size);
  cairo_font_options_t* o = cairo_font_options_create();
  cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_NONE);
  cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
  cairo_set_font_options(cr, o);
  cairo_font_options_destroy(o);
}

double CaptionWidth(cairo_t* cr, Face face, double size, const std::string& text) {
  cairo_save(cr);
  SetFace(cr, face, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  cairo_restore(cr);
  return ext.x_advance;
}

void Caption(cairo_t* cr, Face face, double size, double x, double y, const std::string& text,
             int align, Rgb fill, double outline_width, Rgb outline, double alpha) {
  cairo_save(cr);
  SetFace(cr, face, size);
  cairo_text_extents_t ext;
  cairo_text_extents(cr, text.c_str(), &ext);
  double left = x;
  if (align == 1) left = x - ext.x_advance / 2;
  if (align == 2) left = x - ext.x_advance;
  cairo_move_to(cr, left, y);
  cairo_text_path(cr, text.c_str());
  if (outline_width > 0) {
    SetRgb(cr, outline, alpha);
    cairo_set_line_width(cr, outline_width);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke_preserve(cr);
  }
  SetRgb(cr, fill, alpha);
  cairo_fill(cr);
  cairo_restore(cr);
}

Rgb BallColour(int n) {
  static const uint32_t colours[8] = {0xC8CCD4, 0x2F6BFF, 0xFFD21F, 0x2FCB3A,
                                      0xF02828, 0xE040E8, 0x8C96A4, 0x2FE0F0};
  return Hex(colours[n < 0 || n > 7 ? 0 : n]);
}

}  // namespace packgen
