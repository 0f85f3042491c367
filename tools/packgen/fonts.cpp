// The three sprite fonts: glyph sheets rendered from the DejaVu outlines, plus .pos metrics.
#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <stdexcept>

#include "art.h"

namespace packgen {
namespace {

struct FontStyle {
  std::string name;
  Face face;
  double px;        // em size in pixels
  int cell;         // frame edge
  double baseline;  // y of the baseline in the frame
  double outline;   // dark outline width (0 = none)
  Rgb top, bottom;  // fill gradient (light, since the code tints)
  bool digits_first;
  int z;
  int texture;
};

// Advance widths in pixels for codes 32..126, measured with FreeType.
std::vector<double> Advances(const FontStyle& s) {
  FT_Library lib;
  if (FT_Init_FreeType(&lib) != 0) throw std::runtime_error("FreeType init failed");
  FT_Face face;
  if (FT_New_Face(lib, FacePath(s.face).c_str(), 0, &face) != 0) {
    throw std::runtime_error("cannot open " + FacePath(s.face));
  }
  FT_Set_Char_Size(face, 0, static_cast<FT_F26Dot6>(s.px * 64), 72, 72);
  std::vector<double> adv;
  for (int c = 32; c <= 126; ++c) {
    if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_NO_HINTING) != 0) {
      throw std::runtime_error("glyph missing");
    }
    adv.push_back(face->glyph->advance.x / 64.0);
  }
  FT_Done_Face(face);
  FT_Done_FreeType(lib);
  return adv;
}

// Frame order of the codes: taurus fonts 32..126, crystal1 digits first.
std::vector<int> FrameCodes(bool digits_first) {
  std::vector<int> codes;
  if (digits_first) {
    for (int c = 48; c <= 57; ++c) codes.push_back(c);
    for (int c = 32; c <= 47; ++c) codes.push_back(c);
    for (int c = 58; c <= 126; ++c) codes.push_back(c);
  } else {
    for (int c = 32; c <= 126; ++c) codes.push_back(c);
  }
  return codes;
}

void WriteFont(Pack& pack, const FontStyle& s) {
  const std::string dir = "graphics\\fonts\\";
  const std::vector<double> adv = Advances(s);
  const std::vector<int> codes = FrameCodes(s.digits_first);
  const double pad = s.outline > 0 ? s.outline / 2 + 0.5 : 0.5;
  std::vector<int> width(127, 0);
  for (int c = 32; c <= 126; ++c) {
    width[c] = static_cast<int>(std::lround(adv[c - 32] + (c == 32 ? 0 : 2 * pad - 1)));
    if (width[c] > s.cell) throw std::runtime_error("glyph wider than its frame in " + s.name);
  }
  if (s.digits_first) {
    // Score digits are placed 16 px apart: keep them tabular.
    int w = 0;
    for (int c = '0'; c <= '9'; ++c) w = std::max(w, width[c]);
    if (w > 15) throw std::runtime_error("crystal digits too wide");
    for (int c = '0'; c <= '9'; ++c) width[c] = w;
  }
  Sheet(pack, dir + s.name + ".png", static_cast<int>(codes.size()), 16, s.cell, s.cell,
        [&](cairo_t* cr, int f) {
          const int c = codes[f];
          if (c == 32) return;
          const std::string text(1, static_cast<char>(c));
          const double x = pad;
          if (s.outline > 0) {
            Caption(cr, s.face, s.px, x, s.baseline, text, 0, {0.03, 0.05, 0.1}, s.outline,
                    {0.03, 0.05, 0.1});
          }
          cairo_push_group(cr);
          Caption(cr, s.face, s.px, x, s.baseline, text, 0, {1, 1, 1});
          cairo_pattern_t* mask = cairo_pop_group(cr);
          cairo_pattern_t* g =
              cairo_pattern_create_linear(0, s.baseline - s.px * 0.75, 0, s.baseline);
          AddStop(g, 0, s.top);
          AddStop(g, 1, s.bottom);
          cairo_set_source(cr, g);
          cairo_mask(cr, mask);
          cairo_pattern_destroy(g);
          cairo_pattern_destroy(mask);
        });
  const std::string tex = std::to_string(s.texture);
  WriteSpr(pack, dir + s.name + ".spr",
           Spr{"z=" + std::to_string(s.z) + ",width=" + std::to_string(s.cell), {}}.Group(
               {Part(s.name + ".png", "frame_width=" + std::to_string(s.cell) +
                                          ",frame_height=" + std::to_string(s.cell) +
                                          ",texture_size=" + tex + ",border=1,anim_speed=0")}));
  std::vector<std::string> pos{"; " + s.name + " metrics: letter spacing, then glyph widths"};
  pos.push_back("1");
  int expect = -1;
  for (int c : codes) {
    if (c != expect) pos.push_back("#" + std::to_string(c));
    pos.push_back(std::to_string(width[c]));
    expect = c + 1;
  }
  pack.WriteLines(dir + s.name + ".pos", pos);
}

}  // namespace

void WriteFonts(Pack& pack) {
  WriteFont(pack, {"font_taurus1", Face::Bold, 25, 32, 25, 2.6, Hex(0xFFFFFF), Hex(0xC4CCD8), false,
                   200, 64});
  WriteFont(pack, {"font_taurus2", Face::Condensed, 24, 32, 24, 1.8, Hex(0xFFFFFF), Hex(0xE4E8EE),
                   false, 200, 64});
  WriteFont(pack, {"font_crystal1", Face::Bold, 19, 24, 19, 1.6, Hex(0xFFFFFF), Hex(0xCCD4DE), true,
                   120, 32});
}

}  // namespace packgen
