#include <cmath>

#include "art.h"

namespace packgen {

const Rgb kAccent = Hex(0x3CD2FF);
const Rgb kSteelTop = Hex(0x33476A);
const Rgb kSteelBottom = Hex(0x141E34);
const Rgb kSteelRim = Hex(0x05080F);

void Sheet(Pack& pack, const std::string& game_path, int frames, int cols, int fw, int fh,
           const std::function<void(cairo_t*, int)>& draw) {
  const int rows = (frames + cols - 1) / cols;
  Canvas sheet(fw * cols, fh * rows);
  for (int f = 0; f < frames; ++f) {
    cairo_t* cr = sheet.cr();
    cairo_save(cr);
    cairo_rectangle(cr, (f % cols) * fw, (f / cols) * fh, fw, fh);
    cairo_clip(cr);
    cairo_translate(cr, (f % cols) * fw, (f / cols) * fh);
    draw(cr, f);
    cairo_restore(cr);
  }
  sheet.Save(pack, game_path);
}

void Image(Pack& pack, const std::string& game_path, int w, int h,
           const std::function<void(cairo_t*)>& draw) {
  Canvas c(w, h);
  draw(c.cr());
  c.Save(pack, game_path);
}

std::string Part(const std::string& image, const std::string& settings) {
  return settings.empty() ? image : image + "," + settings;
}

void EmblemPath(cairo_t* cr, int n, double cx, double cy, double s) {
  const double h = s / 2;
  cairo_new_path(cr);
  switch (n) {
    case 1:  // ring
      cairo_arc(cr, cx, cy, h, 0, 2 * M_PI);
      cairo_new_sub_path(cr);
      cairo_arc_negative(cr, cx, cy, h * 0.52, 2 * M_PI, 0);
      break;
    case 2:  // five-pointed star
      for (int k = 0; k < 10; ++k) {
        const double a = -M_PI / 2 + k * M_PI / 5;
        const double r = (k % 2 == 0) ? h * 1.1 : h * 0.45;
        if (k == 0)
          cairo_move_to(cr, cx + r * cos(a), cy + r * sin(a));
        else
          cairo_line_to(cr, cx + r * cos(a), cy + r * sin(a));
      }
      cairo_close_path(cr);
      break;
    case 3:  // triangle
      cairo_move_to(cr, cx, cy - h * 1.05);
      cairo_line_to(cr, cx + h * 1.05, cy + h * 0.8);
      cairo_line_to(cr, cx - h * 1.05, cy + h * 0.8);
      cairo_close_path(cr);
      break;
    case 4:  // heart
      cairo_move_to(cr, cx, cy + h * 0.95);
      cairo_curve_to(cr, cx - h * 1.5, cy - h * 0.1, cx - h * 0.7, cy - h * 1.3, cx, cy - h * 0.45);
      cairo_curve_to(cr, cx + h * 0.7, cy - h * 1.3, cx + h * 1.5, cy - h * 0.1, cx, cy + h * 0.95);
      cairo_close_path(cr);
      break;
    case 5:  // diamond
      cairo_move_to(cr, cx, cy - h * 1.1);
      cairo_line_to(cr, cx + h * 0.8, cy);
      cairo_line_to(cr, cx, cy + h * 1.1);
      cairo_line_to(cr, cx - h * 0.8, cy);
      cairo_close_path(cr);
      break;
    case 6:  // square
      cairo_rectangle(cr, cx - h * 0.78, cy - h * 0.78, h * 1.56, h * 1.56);
      break;
    case 7:  // cross
    {
      const double a = h * 0.34, b = h * 1.0;
      cairo_move_to(cr, cx - a, cy - b);
      cairo_line_to(cr, cx + a, cy - b);
      cairo_line_to(cr, cx + a, cy - a);
      cairo_line_to(cr, cx + b, cy - a);
      cairo_line_to(cr, cx + b, cy + a);
      cairo_line_to(cr, cx + a, cy + a);
      cairo_line_to(cr, cx + a, cy + b);
      cairo_line_to(cr, cx - a, cy + b);
      cairo_line_to(cr, cx - a, cy + a);
      cairo_line_to(cr, cx - b, cy + a);
      cairo_line_to(cr, cx - b, cy - a);
      cairo_line_to(cr, cx - a, cy - a);
      cairo_close_path(cr);
      break;
    }
    default:
      break;
  }
}

void DrawSpace(cairo_t* cr, int w, int h, uint32_t seed, double nebula) {
  Rng rng(seed);
  cairo_pattern_t* bg = cairo_pattern_create_linear(0, 0, 0, h);
  AddStop(bg, 0, Hex(0x050914));
  AddStop(bg, 0.6, Hex(0x0A1328));
  AddStop(bg, 1, Hex(0x070B18));
  cairo_rectangle(cr, 0, 0, w, h);
  cairo_set_source(cr, bg);
  cairo_fill(cr);
  cairo_pattern_destroy(bg);
  // Nebula: overlapping soft clouds in violet and teal.
  const Rgb hues[4] = {Hex(0x5B2A8C), Hex(0x1B5E8C), Hex(0x2A8C86), Hex(0x8C2A6A)};
  for (int i = 0; i < 26; ++i) {
    const double x = rng.Range(-0.1, 1.1) * w;
    const double y = rng.Range(-0.1, 1.1) * h;
    const double r = rng.Range(0.12, 0.35) * w;
    Glow(cr, x, y, r, hues[rng.Int(4)], nebula * rng.Range(0.08, 0.22));
  }
  // Stars: many faint ones, a few bright ones with a cross glint.
  for (int i = 0; i < w * h / 900; ++i) {
    const double x = rng.Uniform() * w, y = rng.Uniform() * h;
    const double b = rng.Range(0.25, 0.8);
    cairo_arc(cr, x, y, rng.Range(0.35, 0.9), 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 0.8 + 0.2 * b, 0.85 + 0.15 * b, 1.0, b);
    cairo_fill(cr);
  }
  for (int i = 0; i < w * h / 18000; ++i) {
    const double x = rng.Uniform() * w, y = rng.Uniform() * h;
    Glow(cr, x, y, rng.Range(3, 7), Hex(0xCFE6FF), 0.7);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
    cairo_set_line_width(cr, 0.8);
    const double l = rng.Range(4, 9);
    cairo_move_to(cr, x - l, y);
    cairo_line_to(cr, x + l, y);
    cairo_move_to(cr, x, y - l);
    cairo_line_to(cr, x, y + l);
    cairo_stroke(cr);
  }
}

void ButtonFace(cairo_t* cr, double x, double y, double w, double h, int state, double radius) {
  const double lift = state == 2 ? 1.0 : 0.0;
  const Rgb top = state == 1 ? Hex(0x4C9AE0) : (state == 2 ? Hex(0x163454) : Hex(0x2C5687));
  const Rgb bottom = state == 1 ? Hex(0x1B5596) : (state == 2 ? Hex(0x0A1A32) : Hex(0x11294B));
  cairo_save(cr);
  // Drop shadow; a hovered button glows instead.
  RoundRect(cr, x + 1, y + 2, w - 2, h - 2, radius);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
  cairo_fill(cr);
  Plate(cr, x + 0.75, y + 0.75 + lift, w - 1.5, h - 2.25, radius, top, bottom, Hex(0x06101E));
  // Glass sheen on the upper half.
  cairo_save(cr);
  RoundRect(cr, x + 3, y + 2.5 + lift, w - 6, (h - 4) * 0.45, radius * 0.7);
  cairo_pattern_t* sheen = cairo_pattern_create_linear(0, y + 2, 0, y + h * 0.5);
  cairo_pattern_add_color_stop_rgba(sheen, 0, 1, 1, 1,
                                    state == 2 ? 0.08 : (state == 1 ? 0.38 : 0.26));
  cairo_pattern_add_color_stop_rgba(sheen, 1, 1, 1, 1, 0.02);
  cairo_set_source(cr, sheen);
  cairo_fill(cr);
  cairo_pattern_destroy(sheen);
  cairo_restore(cr);
  if (state == 2) {
    // Pressed: the face sinks, shaded from the top edge.
    RoundRect(cr, x + 1.5, y + 1.5 + lift, w - 3, h - 3.75, radius);
    cairo_pattern_t* in = cairo_pattern_create_linear(0, y, 0, y + h * 0.4);
    cairo_pattern_add_color_stop_rgba(in, 0, 0, 0, 0, 0.45);
    cairo_pattern_add_color_stop_rgba(in, 1, 0, 0, 0, 0);
    cairo_set_source(cr, in);
    cairo_fill(cr);
    cairo_pattern_destroy(in);
  }
  // Accent rim: bright and doubled when hovered.
  RoundRect(cr, x + 1.5, y + 1.5 + lift, w - 3, h - 3.75, radius);
  SetRgb(cr, state == 1 ? Hex(0xA8F0FF) : kAccent, state == 1 ? 1.0 : (state == 2 ? 0.4 : 0.55));
  cairo_set_line_width(cr, state == 1 ? 2.0 : 1.1);
  cairo_stroke(cr);
  if (state == 1) {
    RoundRect(cr, x + 3.5, y + 3.5, w - 7, h - 7.75, std::max(1.0, radius - 2));
    SetRgb(cr, kAccent, 0.35);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
  }
  cairo_restore(cr);
}

}  // namespace packgen
