// The desktop icon in the hicolor theme's sizes: two glossy balls of the field, a shot ball and
// the cannon barrel that shot it, on a dark rounded tile. Drawn on a 256 grid and scaled, so
// every size is a fresh rendering rather than a shrunken bitmap.
#include <cmath>
#include <string>

#include "art.h"

namespace packgen {
namespace {

void DrawIcon(cairo_t* cr, int size) {
  const double k = size / 256.0;
  cairo_scale(cr, k, k);
  // The tile: deep space blue with a faint glow at the top.
  RoundRect(cr, 8, 8, 240, 240, 44);
  cairo_pattern_t* bg = cairo_pattern_create_linear(0, 8, 0, 248);
  AddStop(bg, 0, Hex(0x1c2f5e));
  AddStop(bg, 1, Hex(0x070b1c));
  cairo_set_source(cr, bg);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(bg);
  cairo_set_line_width(cr, 6);
  SetRgb(cr, kAccent, 0.85);
  cairo_stroke(cr);
  Glow(cr, 128, 70, 110, kAccent, 0.18);
  // The cannon barrel, aiming up and a little to the right at the ball it just shot.
  cairo_save(cr);
  cairo_translate(cr, 128, 230);
  cairo_rotate(cr, 0.3);
  Plate(cr, -17, -78, 34, 78, 9, kSteelTop, kSteelBottom, kSteelRim);
  cairo_restore(cr);
  cairo_arc(cr, 128, 232, 38, M_PI, 2 * M_PI);
  cairo_close_path(cr);
  cairo_pattern_t* base = cairo_pattern_create_linear(0, 194, 0, 232);
  AddStop(base, 0, kSteelTop);
  AddStop(base, 1, kSteelBottom);
  cairo_set_source(cr, base);
  cairo_fill(cr);
  cairo_pattern_destroy(base);
  // Two balls of the field and the shot ball; big enough to read at 16 px.
  GlossySphere(cr, 84, 76, 42, BallColour(1));
  GlossySphere(cr, 170, 76, 42, BallColour(3));
  GlossySphere(cr, 156, 142, 28, BallColour(5));
}

}  // namespace

void WriteIcons(const std::filesystem::path& out, const std::string& name) {
  Pack icons(out);
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    Canvas canvas(size, size);
    DrawIcon(canvas.cr(), size);
    const std::string dim = std::to_string(size) + "x" + std::to_string(size);
    icons.WritePng("hicolor\\" + dim + "\\apps\\" + name + ".png", canvas.surface());
  }
}

}  // namespace packgen
