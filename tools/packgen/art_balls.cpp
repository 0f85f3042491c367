// Balls, bombs, multiball, land, crystals, particles, target tracer, rocket and cursor.
#include <cmath>

#include "art.h"

namespace packgen {
namespace {

const std::string kBalls = "graphics\\balls\\";

bool LightBall(int n) {
  return n == 2 || n == 7 || n == 0;
}

void DrawEmblem(cairo_t* cr, int n, Rgb c) {
  if (n < 1 || n > 7) return;
  cairo_save(cr);
  EmblemPath(cr, n, 17, 19, 11.5);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  // Engraved look: a soft dark lip, then the inlay.
  cairo_translate(cr, 0, 0.9);
  cairo_set_source_rgba(cr, 0, 0, 0, LightBall(n) ? 0.18 : 0.35);
  cairo_fill(cr);
  cairo_translate(cr, 0, -0.9);
  EmblemPath(cr, n, 17, 19, 11.5);
  if (LightBall(n)) {
    SetRgb(cr, Scale(c, 0.42), 0.85);
  } else {
    SetRgb(cr, Mix(c, {1, 1, 1}, 0.78), 0.78);
  }
  cairo_fill(cr);
  cairo_restore(cr);
}

// Frame f of a ball body: frame 0 plain, later frames a light sweep and a sparkle (looped).
void DrawBallBody(cairo_t* cr, int n, int f) {
  const Rgb c = BallColour(n);
  GlossySphere(cr, 17, 17, 16.2, c);
  DrawEmblem(cr, n, c);
  if (f == 0) return;
  cairo_save(cr);
  cairo_arc(cr, 17, 17, 16.2, 0, 2 * M_PI);
  cairo_clip(cr);
  const double t = (f - 1) / 22.0;  // 0..1 over frames 1..23
  const double pos = -26 + t * 52;
  cairo_pattern_t* band =
      cairo_pattern_create_linear(17 + pos - 8, 17 - pos - 8, 17 + pos + 8, 17 - pos + 8);
  cairo_pattern_add_color_stop_rgba(band, 0, 1, 1, 1, 0);
  cairo_pattern_add_color_stop_rgba(band, 0.5, 1, 1, 1, 0.55);
  cairo_pattern_add_color_stop_rgba(band, 1, 1, 1, 1, 0);
  cairo_set_source(cr, band);
  cairo_paint(cr);
  cairo_pattern_destroy(band);
  cairo_restore(cr);
  // A twinkle that swells and fades on the rim.
  const double tw = std::sin(t * M_PI);
  if (tw > 0.05) {
    const double sx = 26, sy = 9;
    Glow(cr, sx, sy, 6 * tw + 1, {1, 1, 1}, 0.8 * tw);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.9 * tw);
    cairo_set_line_width(cr, 1.0);
    cairo_move_to(cr, sx - 6 * tw, sy);
    cairo_line_to(cr, sx + 6 * tw, sy);
    cairo_move_to(cr, sx, sy - 6 * tw);
    cairo_line_to(cr, sx, sy + 6 * tw);
    cairo_stroke(cr);
  }
}

void DrawDisc(cairo_t* cr, int n) {
  const Rgb c = BallColour(n);
  cairo_pattern_t* g = cairo_pattern_create_radial(17, 14, 2, 17, 17, 16.5);
  AddStop(g, 0, Scale(c, 0.95));
  AddStop(g, 0.8, Scale(c, 0.62));
  AddStop(g, 1, Scale(c, 0.35));
  cairo_arc(cr, 17, 17, 16.2, 0, 2 * M_PI);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  cairo_arc(cr, 17, 17, 14.5, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
}

// White icon with a dark outline, so it reads on every ball colour.
void IconInk(cairo_t* cr) {
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_source_rgba(cr, 0.02, 0.05, 0.12, 0.85);
  cairo_set_line_width(cr, 3.2);
  cairo_stroke_preserve(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 1);
  cairo_fill(cr);
}
void IconStroke(cairo_t* cr, double width) {
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_source_rgba(cr, 0.02, 0.05, 0.12, 0.85);
  cairo_set_line_width(cr, width + 2.4);
  cairo_stroke_preserve(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 1);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
}

void DrawBonusIcon(cairo_t* cr, int f) {
  const double cx = 17, cy = 17;
  switch (f) {
    case 1: {  // target
      cairo_arc(cr, cx, cy, 8.5, 0, 2 * M_PI);
      IconStroke(cr, 2.0);
      for (int k = 0; k < 4; ++k) {
        const double a = k * M_PI / 2;
        cairo_move_to(cr, cx + cos(a) * 5, cy + sin(a) * 5);
        cairo_line_to(cr, cx + cos(a) * 12.5, cy + sin(a) * 12.5);
      }
      IconStroke(cr, 1.8);
      cairo_arc(cr, cx, cy, 1.8, 0, 2 * M_PI);
      IconInk(cr);
      break;
    }
    case 2:
    case 3: {  // x2 / x4
      const std::string t = f == 2 ? "x2" : "x4";
      cairo_save(cr);
      Caption(cr, Face::Bold, 17, cx, cy + 6.5, t, 1, {1, 1, 1}, 3.4, {0.02, 0.05, 0.12});
      cairo_restore(cr);
      break;
    }
    case 4: {  // freeze: snowflake
      for (int k = 0; k < 6; ++k) {
        const double a = k * M_PI / 3 - M_PI / 2;
        const double ex = cx + cos(a) * 11, ey = cy + sin(a) * 11;
        cairo_move_to(cr, cx, cy);
        cairo_line_to(cr, ex, ey);
        const double bx = cx + cos(a) * 6.5, by = cy + sin(a) * 6.5;
        cairo_move_to(cr, bx, by);
        cairo_line_to(cr, bx + cos(a + 0.8) * 4, by + sin(a + 0.8) * 4);
        cairo_move_to(cr, bx, by);
        cairo_line_to(cr, bx + cos(a - 0.8) * 4, by + sin(a - 0.8) * 4);
      }
      IconStroke(cr, 1.8);
      break;
    }
    case 5: {  // small bomb
      cairo_arc(cr, cx - 1, cy + 2, 7.5, 0, 2 * M_PI);
      IconInk(cr);
      cairo_move_to(cr, cx + 4, cy - 4);
      cairo_curve_to(cr, cx + 6, cy - 8, cx + 9, cy - 8, cx + 10, cy - 10);
      IconStroke(cr, 1.6);
      Glow(cr, cx + 10.5, cy - 10.5, 4.5, Hex(0xFFD040), 1.0);
      cairo_arc(cr, cx - 3.5, cy - 0.5, 2, 0, 2 * M_PI);
      cairo_set_source_rgba(cr, 0.3, 0.4, 0.6, 0.8);
      cairo_fill(cr);
      break;
    }
    case 6: {  // net expand: arrows pointing outward
      cairo_move_to(cr, cx - 12, cy);
      cairo_line_to(cr, cx - 6, cy - 6);
      cairo_line_to(cr, cx - 6, cy - 2.5);
      cairo_line_to(cr, cx + 6, cy - 2.5);
      cairo_line_to(cr, cx + 6, cy - 6);
      cairo_line_to(cr, cx + 12, cy);
      cairo_line_to(cr, cx + 6, cy + 6);
      cairo_line_to(cr, cx + 6, cy + 2.5);
      cairo_line_to(cr, cx - 6, cy + 2.5);
      cairo_line_to(cr, cx - 6, cy + 6);
      cairo_close_path(cr);
      IconInk(cr);
      break;
    }
    case 7: {  // up: double chevron
      for (int k = 0; k < 2; ++k) {
        const double y = cy + 1 + k * 7 - 4;
        cairo_move_to(cr, cx - 8, y + 5);
        cairo_line_to(cr, cx, y - 3);
        cairo_line_to(cr, cx + 8, y + 5);
      }
      IconStroke(cr, 2.6);
      break;
    }
    case 8: {  // paint rocket
      cairo_save(cr);
      cairo_translate(cr, cx, cy);
      cairo_rotate(cr, M_PI / 4);
      cairo_move_to(cr, 0, -12);
      cairo_curve_to(cr, 4, -8, 4, -2, 4, 5);
      cairo_line_to(cr, 7, 9);
      cairo_line_to(cr, -7, 9);
      cairo_line_to(cr, -4, 5);
      cairo_curve_to(cr, -4, -2, -4, -8, 0, -12);
      cairo_close_path(cr);
      IconInk(cr);
      cairo_arc(cr, 0, -3, 2, 0, 2 * M_PI);
      cairo_set_source_rgba(cr, 0.9, 0.2, 0.3, 1);
      cairo_fill(cr);
      cairo_restore(cr);
      break;
    }
    case 9: {  // colour bomb: a paint drop
      cairo_move_to(cr, cx, cy - 11);
      cairo_curve_to(cr, cx + 3, cy - 5, cx + 8, cy - 1, cx + 8, cy + 4);
      cairo_curve_to(cr, cx + 8, cy + 9, cx + 4, cy + 11, cx, cy + 11);
      cairo_curve_to(cr, cx - 4, cy + 11, cx - 8, cy + 9, cx - 8, cy + 4);
      cairo_curve_to(cr, cx - 8, cy - 1, cx - 3, cy - 5, cx, cy - 11);
      cairo_close_path(cr);
      IconInk(cr);
      const Rgb cols[3] = {Hex(0xF03030), Hex(0x30C040), Hex(0x3070FF)};
      for (int k = 0; k < 3; ++k) {
        cairo_arc(cr, cx - 3.5 + k * 3.5, cy + 5 - (k == 1 ? 2 : 0), 2, 0, 2 * M_PI);
        SetRgb(cr, cols[k]);
        cairo_fill(cr);
      }
      break;
    }
    default:
      break;  // frame 0 stays transparent
  }
}

void DrawGloss(cairo_t* cr) {
  cairo_save(cr);
  cairo_translate(cr, 11.5, 8.5);
  cairo_rotate(cr, -0.6);
  cairo_scale(cr, 4.2, 2.4);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.55);
  cairo_fill(cr);
  cairo_arc(cr, 10.5, 8, 1.3, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.95);
  cairo_fill(cr);
}

std::string N(int n) {
  return std::to_string(n);
}

// One ball definition; `dir` is the definition's folder relative to graphics\balls\.
void WriteBallSpr(Pack& pack, const std::string& game_path, int n, const std::string& to_ball,
                  const std::string& to_balls) {
  const std::string frame = "frame_width=34,frame_height=34,texture_size=64,border=1";
  Spr spr{"z=50", {}};
  spr.Group({Part(to_ball + "ball" + N(n) + "_disc.png", "texture_size=64,border=1,z=0")});
  spr.Group(
      {Part(to_ball + "ball" + N(n) + "_body.png", frame + ",anim_speed=25,anim_loop=1,z=1")});
  spr.Group({Part(to_balls + "bonus_icons.png", frame + ",anim_speed=0,z=2")});
  spr.Group({Part(to_balls + "ball_gloss.png", "texture_size=64,border=1,z=3")});
  WriteSpr(pack, game_path, spr);
}

void Balls(Pack& pack) {
  for (int n = 0; n <= 7; ++n) {
    const std::string dir = kBalls + "ball" + N(n) + "\\";
    Image(pack, dir + "ball" + N(n) + "_disc.png", 34, 34, [&](cairo_t* cr) { DrawDisc(cr, n); });
    Sheet(pack, dir + "ball" + N(n) + "_body.png", 24, 8, 34, 34,
          [&](cairo_t* cr, int f) { DrawBallBody(cr, n, f); });
  }
  Sheet(pack, kBalls + "bonus_icons.png", 10, 10, 34, 34, DrawBonusIcon);
  Image(pack, kBalls + "ball_gloss.png", 34, 34, DrawGloss);
  for (int n = 1; n <= 7; ++n) {
    WriteBallSpr(pack, kBalls + "ball" + N(n) + "\\ball" + N(n) + ".spr", n, "", "..\\");
  }
  WriteBallSpr(pack, kBalls + "ball0\\ball0.spr", 0, "", "..\\");
  for (int n = 1; n <= 7; ++n) {
    WriteBallSpr(pack, kBalls + "ball" + N(n) + ".spr", n, "ball" + N(n) + "\\", "");
    WriteBallSpr(pack, kBalls + "ball0\\ball" + N(n) + ".spr", n, "..\\ball" + N(n) + "\\", "..\\");
  }
}

void Bombs(Pack& pack) {
  // Colour bomb: a steel cage over a core the code paints.
  Image(pack, kBalls + "bomb\\bomb1_core.png", 34, 34,
        [](cairo_t* cr) { GlossySphere(cr, 17, 18, 14, Hex(0xE8E8EE), false); });
  Image(pack, kBalls + "bomb\\bomb1_casing.png", 34, 34, [](cairo_t* cr) {
    // Rim.
    cairo_arc(cr, 17, 18, 15.6, 0, 2 * M_PI);
    cairo_arc_negative(cr, 17, 18, 12.6, 2 * M_PI, 0);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 2, 0, 34);
    AddStop(g, 0, Hex(0xB8C4D4));
    AddStop(g, 0.5, Hex(0x5A6676));
    AddStop(g, 1, Hex(0x262C36));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    // Cross straps.
    cairo_set_line_width(cr, 2.6);
    cairo_move_to(cr, 17, 4);
    cairo_line_to(cr, 17, 32);
    cairo_move_to(cr, 3, 18);
    cairo_line_to(cr, 31, 18);
    cairo_set_source(cr, g);
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
    for (int k = 0; k < 4; ++k) {
      const double a = M_PI / 4 + k * M_PI / 2;
      cairo_arc(cr, 17 + cos(a) * 14.1, 18 + sin(a) * 14.1, 1.1, 0, 2 * M_PI);
      cairo_set_source_rgba(cr, 0.9, 0.95, 1, 0.9);
      cairo_fill(cr);
    }
    // Fuse cap with a little spark.
    RoundRect(cr, 13, 0.5, 8, 5, 1.5);
    cairo_set_source_rgb(cr, 0.35, 0.38, 0.44);
    cairo_fill(cr);
    Glow(cr, 17, 1.5, 3.5, Hex(0xFFE080), 0.9);
    // Glass glint over the core.
    cairo_save(cr);
    cairo_translate(cr, 11, 11);
    cairo_rotate(cr, -0.7);
    cairo_scale(cr, 4, 2.2);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.65);
    cairo_fill(cr);
  });
  WriteSpr(pack, kBalls + "bomb\\bomb1.spr",
           Spr{"z=50,rot_center_x=17,rot_center_y=17", {}}
               .Group({Part("bomb1_casing.png", "texture_size=64,border=1,z=1")})
               .Group({Part("bomb1_core.png", "texture_size=64,border=1,z=0")}));

  // Big bomb: heavy iron with a hazard band and a burning fuse.
  Image(pack, kBalls + "big_bomb\\bomb2_body.png", 34, 34, [](cairo_t* cr) {
    GlossySphere(cr, 16, 18, 15.5, Hex(0x3A3F4A));
    cairo_save(cr);
    cairo_arc(cr, 16, 18, 15.5, 0, 2 * M_PI);
    cairo_clip(cr);
    cairo_rectangle(cr, 0, 15, 34, 7);
    cairo_set_source_rgb(cr, 0.95, 0.75, 0.1);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.08, 0.08, 0.1);
    for (int k = -2; k < 8; ++k) {
      cairo_move_to(cr, k * 6, 22);
      cairo_line_to(cr, k * 6 + 3, 22);
      cairo_line_to(cr, k * 6 + 8, 15);
      cairo_line_to(cr, k * 6 + 5, 15);
      cairo_close_path(cr);
    }
    cairo_fill(cr);
    // Shade the band with the sphere.
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, 0, 34, 0);
    cairo_pattern_add_color_stop_rgba(shade, 0, 0, 0, 0, 0.45);
    cairo_pattern_add_color_stop_rgba(shade, 0.4, 0, 0, 0, 0);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0, 0, 0, 0.5);
    cairo_rectangle(cr, 0, 15, 34, 7);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    cairo_restore(cr);
    RoundRect(cr, 22, 2, 7, 6, 1.5);
    cairo_set_source_rgb(cr, 0.5, 0.52, 0.58);
    cairo_fill(cr);
    cairo_move_to(cr, 26, 3);
    cairo_curve_to(cr, 28, 0, 31, 1, 31.5, 2.5);
    cairo_set_source_rgb(cr, 0.75, 0.6, 0.4);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
  });
  Sheet(pack, kBalls + "big_bomb\\bomb2_spark.png", 8, 8, 34, 34, [](cairo_t* cr, int f) {
    Rng rng(100 + f);
    const double s = 0.7 + 0.3 * std::sin(f * M_PI / 4);
    Glow(cr, 31, 3, 4.5 * s + 1.5, Hex(0xFFC040), 0.95);
    Glow(cr, 31, 3, 2.0, Hex(0xFFFFFF), 1.0);
    cairo_set_line_width(cr, 0.8);
    for (int k = 0; k < 5; ++k) {
      const double a = rng.Range(0, 2 * M_PI), l = rng.Range(2.5, 4.5);
      cairo_move_to(cr, 31, 3);
      cairo_line_to(cr, 31 + cos(a) * l, 3 + sin(a) * l);
      cairo_set_source_rgba(cr, 1, 0.9, 0.5, 0.9);
      cairo_stroke(cr);
    }
  });
  WriteSpr(pack, kBalls + "big_bomb\\bomb2.spr",
           Spr{"z=50,rot_center_x=17,rot_center_y=17", {}}
               .Group({Part("bomb2_body.png", "texture_size=64,border=1,z=0")})
               .Group({Part("bomb2_spark.png",
                            "frame_width=34,frame_height=34,texture_size=64,border=1,anim_speed=25,"
                            "anim_loop=1,z=1")}));

  // Multiball: rainbow segments turning under a glass shell.
  Sheet(pack, kBalls + "multiball\\multiball.png", 16, 8, 34, 34, [](cairo_t* cr, int f) {
    const double rot = f * 2 * M_PI / 16 / 7 * 2;
    for (int k = 0; k < 7; ++k) {
      const double a0 = rot + k * 2 * M_PI / 7, a1 = a0 + 2 * M_PI / 7;
      cairo_move_to(cr, 17, 17);
      cairo_arc(cr, 17, 17, 16.2, a0, a1 + 0.02);
      cairo_close_path(cr);
      SetRgb(cr, BallColour(k + 1));
      cairo_fill(cr);
    }
    cairo_pattern_t* shade = cairo_pattern_create_radial(12, 11, 1, 17, 17, 16.2);
    cairo_pattern_add_color_stop_rgba(shade, 0, 1, 1, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(shade, 0.5, 1, 1, 1, 0.05);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0, 0, 0.05, 0.6);
    cairo_arc(cr, 17, 17, 16.2, 0, 2 * M_PI);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
    cairo_arc(cr, 17, 17, 5.5, 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.85);
    cairo_fill(cr);
    DrawGloss(cr);
  });
  WriteSpr(pack, kBalls + "multiball\\multiball.spr",
           Spr{"z=50,rot_center_x=17,rot_center_y=17", {}}.Group(
               {Part("multiball.png",
                     "frame_width=34,frame_height=34,texture_size=64,border=1,anim_speed=20,"
                     "anim_loop=1")}));
}

void DrawRock(cairo_t* cr) {
  Rng rng(4242);
  const int k = 11;
  double px[k], py[k];
  for (int i = 0; i < k; ++i) {
    const double a = i * 2 * M_PI / k;
    const double r = 15.2 + rng.Range(-1.8, 0.8);
    px[i] = 17 + cos(a) * r;
    py[i] = 17 + sin(a) * r;
  }
  cairo_move_to(cr, px[0], py[0]);
  for (int i = 1; i < k; ++i) cairo_line_to(cr, px[i], py[i]);
  cairo_close_path(cr);
  cairo_pattern_t* g = cairo_pattern_create_radial(12, 10, 2, 17, 17, 18);
  AddStop(g, 0, Hex(0xA79A86));
  AddStop(g, 0.6, Hex(0x6D6252));
  AddStop(g, 1, Hex(0x3A332B));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_source_rgba(cr, 0.12, 0.1, 0.08, 0.9);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  // Facets and cracks.
  cairo_set_line_width(cr, 0.9);
  const double cracks[][4] = {
      {9, 12, 17, 17}, {17, 17, 26, 13}, {17, 17, 15, 28}, {17, 17, 27, 24}};
  for (const auto& c : cracks) {
    cairo_move_to(cr, c[0], c[1]);
    cairo_line_to(cr, c[2], c[3]);
  }
  cairo_set_source_rgba(cr, 0.15, 0.12, 0.09, 0.7);
  cairo_stroke(cr);
  cairo_move_to(cr, 8, 11);
  cairo_line_to(cr, 16, 16);
  cairo_set_source_rgba(cr, 1, 0.95, 0.85, 0.35);
  cairo_stroke(cr);
  for (int i = 0; i < 14; ++i) {
    cairo_arc(cr, rng.Range(7, 27), rng.Range(7, 27), rng.Range(0.5, 1.2), 0, 2 * M_PI);
    cairo_set_source_rgba(cr, 0.2, 0.17, 0.13, 0.5);
    cairo_fill(cr);
  }
}

void DrawCrystal(cairo_t* cr, int f) {
  // A cut gem: table, crown facets and pavilion.
  const double top = 6, mid = 13, bot = 31, l = 3, r = 31;
  cairo_move_to(cr, 10, top);
  cairo_line_to(cr, 24, top);
  cairo_line_to(cr, r, mid);
  cairo_line_to(cr, 17, bot);
  cairo_line_to(cr, l, mid);
  cairo_close_path(cr);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, top, 0, bot);
  AddStop(g, 0, Hex(0xE8FBFF));
  AddStop(g, 0.35, Hex(0x7FE0FF));
  AddStop(g, 1, Hex(0x2A5CC8));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_source_rgba(cr, 0.05, 0.15, 0.4, 0.9);
  cairo_set_line_width(cr, 1.1);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  cairo_stroke(cr);
  cairo_set_line_width(cr, 0.7);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.6);
  cairo_move_to(cr, l, mid);
  cairo_line_to(cr, r, mid);
  cairo_move_to(cr, 10, top);
  cairo_line_to(cr, 13, mid);
  cairo_line_to(cr, 17, bot);
  cairo_line_to(cr, 21, mid);
  cairo_line_to(cr, 24, top);
  cairo_move_to(cr, 13, mid);
  cairo_line_to(cr, 17, top);
  cairo_line_to(cr, 21, mid);
  cairo_stroke(cr);
  // Light facet.
  cairo_move_to(cr, 10, top);
  cairo_line_to(cr, 17, top);
  cairo_line_to(cr, 13, mid);
  cairo_line_to(cr, l, mid);
  cairo_close_path(cr);
  cairo_set_source_rgba(cr, 1, 1, 1, 0.35);
  cairo_fill(cr);
  // Looped glint travelling along the crown (12 frames, quiet half the time).
  if (f >= 1 && f <= 6) {
    const double t = (f - 1) / 5.0;
    const double gx = 8 + t * 18, gy = top + 2 + std::sin(t * M_PI) * 3;
    const double s = std::sin(t * M_PI);
    Glow(cr, gx, gy, 5 * s + 1, {1, 1, 1}, 0.9 * s);
    cairo_set_source_rgba(cr, 1, 1, 1, s);
    cairo_set_line_width(cr, 0.9);
    cairo_move_to(cr, gx - 5 * s, gy);
    cairo_line_to(cr, gx + 5 * s, gy);
    cairo_move_to(cr, gx, gy - 5 * s);
    cairo_line_to(cr, gx, gy + 5 * s);
    cairo_stroke(cr);
  }
}

void FieldPieces(Pack& pack) {
  Image(pack, kBalls + "lands\\land1.png", 34, 34, DrawRock);
  WriteSpr(pack, kBalls + "lands\\land1.spr",
           Spr{"z=50,rot_center_x=17,rot_center_y=17", {}}.Group(
               {Part("land1.png", "texture_size=64,border=1")}));
  Sheet(pack, kBalls + "crystals\\crystal1.png", 12, 12, 34, 34, DrawCrystal);
  const std::string crystal_part =
      "frame_width=34,frame_height=34,texture_size=64,border=1,anim_speed=12,anim_loop=1";
  WriteSpr(
      pack, kBalls + "crystals\\crystal1.spr",
      Spr{"z=50,rot_center_x=17,rot_center_y=17", {}}.Group({Part("crystal1.png", crystal_part)}));
  WriteSpr(pack, "graphics\\crystals\\crystal1.spr",
           Spr{"z=50,rot_center_x=17,rot_center_y=17", {}}.Group(
               {Part("..\\balls\\crystals\\crystal1.png", crystal_part)}));
}

void Particles(Pack& pack) {
  const std::string dir = "graphics\\particles\\";
  const std::string common = "z=150,rot_center_x=17,rot_center_y=17";
  Image(pack, dir + "particle1.png", 8, 8, [](cairo_t* cr) { Glow(cr, 4, 4, 4, {1, 1, 1}, 1.0); });
  WriteSpr(pack, dir + "particle1.spr",
           Spr{common, {}}.Group({Part("particle1.png", "texture_size=16,border=1,x=13,y=13")}));
  Image(pack, dir + "particle2.png", 10, 10, [](cairo_t* cr) {
    cairo_move_to(cr, 1, 3);
    cairo_line_to(cr, 6, 0.5);
    cairo_line_to(cr, 9.5, 4);
    cairo_line_to(cr, 7, 9.5);
    cairo_line_to(cr, 3, 7);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 10, 10);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.6, 0.6, 0.62);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  });
  WriteSpr(pack, dir + "particle2.spr",
           Spr{common, {}}.Group({Part("particle2.png", "texture_size=16,border=1,x=12,y=12")}));
  // Quarters of a white shaded ball.
  Canvas whole(34, 34);
  GlossySphere(whole.cr(), 17, 17, 16.2, Hex(0xF0F0F0));
  std::vector<std::string> quarters;
  for (int q = 0; q < 4; ++q) {
    const int i = q % 2, j = q / 2;
    const std::string name = "particle3_q" + std::to_string(q) + ".png";
    Canvas c(17, 17);
    c.Blit(whole, -17.0 * i, -17.0 * j);
    c.Save(pack, dir + name);
    quarters.push_back(Part(name, "texture_size=32,border=1,x=" + std::to_string(17 * i) +
                                      ",y=" + std::to_string(17 * j)));
  }
  WriteSpr(pack, dir + "particle3.spr", Spr{common, {}}.Group(quarters));
  Image(pack, dir + "line_piece.png", 12, 4, [](cairo_t* cr) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 12, 0);
    cairo_pattern_add_color_stop_rgba(g, 0, 0.3, 0.9, 1, 0);
    cairo_pattern_add_color_stop_rgba(g, 0.7, 0.8, 1, 1, 1);
    cairo_pattern_add_color_stop_rgba(g, 1, 1, 1, 1, 1);
    RoundRect(cr, 0, 0.5, 12, 3, 1.5);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  });
  WriteSpr(pack, dir + "line_piece.spr",
           Spr{common, {}}.Group({Part("line_piece.png", "texture_size=16,border=1,x=11,y=15")}));
}

void Target(Pack& pack) {
  Sheet(pack, "graphics\\bonuses\\target.png", 8, 8, 50, 50, [](cairo_t* cr, int f) {
    const double t = f / 8.0;
    const double pulse = 0.5 + 0.5 * std::cos(t * 2 * M_PI);
    const double r = 18 + 2.5 * pulse;
    const Rgb c = Hex(0x7CFF6A);
    cairo_set_line_width(cr, 2.2);
    cairo_arc(cr, 25, 25, r, 0, 2 * M_PI);
    SetRgb(cr, c, 0.55 + 0.4 * pulse);
    cairo_stroke(cr);
    for (int k = 0; k < 4; ++k) {
      const double a = k * M_PI / 2 + t * M_PI / 2;
      cairo_move_to(cr, 25 + cos(a) * (r - 5), 25 + sin(a) * (r - 5));
      cairo_line_to(cr, 25 + cos(a) * (r + 4), 25 + sin(a) * (r + 4));
    }
    cairo_set_line_width(cr, 2.6);
    SetRgb(cr, {1, 1, 1}, 0.9);
    cairo_stroke(cr);
    Glow(cr, 25, 25, 5, c, 0.5 + 0.4 * pulse);
  });
  WriteSpr(pack, "graphics\\bonuses\\target.spr",
           Spr{"z=210", {}}.Group({Part("target.png",
                                        "frame_width=50,frame_height=50,texture_size=64,border=1,"
                                        "anim_speed=14,anim_loop=1,x=-8,y=-8")}));
}

void Rocket(Pack& pack) {
  Sheet(pack, "graphics\\rocket\\rocket.png", 4, 4, 29, 49, [](cairo_t* cr, int f) {
    const double flick[4] = {1.0, 0.8, 1.1, 0.9};
    const double fl = flick[f];
    // Exhaust flame.
    cairo_move_to(cr, 10, 36);
    cairo_curve_to(cr, 10, 41, 13, 44 + 4 * fl, 14.5, 48.5 * (0.9 + 0.1 * fl));
    cairo_curve_to(cr, 16, 44 + 4 * fl, 19, 41, 19, 36);
    cairo_close_path(cr);
    cairo_pattern_t* fg = cairo_pattern_create_linear(0, 36, 0, 49);
    cairo_pattern_add_color_stop_rgba(fg, 0, 1, 1, 0.8, 1);
    cairo_pattern_add_color_stop_rgba(fg, 0.4, 1, 0.7, 0.2, 0.95);
    cairo_pattern_add_color_stop_rgba(fg, 1, 1, 0.3, 0.1, 0);
    cairo_set_source(cr, fg);
    cairo_fill(cr);
    cairo_pattern_destroy(fg);
    // Fins.
    cairo_move_to(cr, 9, 24);
    cairo_line_to(cr, 2, 34);
    cairo_line_to(cr, 2, 38);
    cairo_line_to(cr, 9, 35);
    cairo_close_path(cr);
    cairo_move_to(cr, 20, 24);
    cairo_line_to(cr, 27, 34);
    cairo_line_to(cr, 27, 38);
    cairo_line_to(cr, 20, 35);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.8, 0.15, 0.2);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.25, 0.03, 0.05);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // Body.
    cairo_move_to(cr, 14.5, 1);
    cairo_curve_to(cr, 20, 6, 20.5, 14, 20.5, 22);
    cairo_line_to(cr, 20, 36);
    cairo_line_to(cr, 9, 36);
    cairo_line_to(cr, 8.5, 22);
    cairo_curve_to(cr, 8.5, 14, 9, 6, 14.5, 1);
    cairo_close_path(cr);
    cairo_pattern_t* bg = cairo_pattern_create_linear(8, 0, 21, 0);
    AddStop(bg, 0, Hex(0x9AA4B4));
    AddStop(bg, 0.35, Hex(0xFFFFFF));
    AddStop(bg, 1, Hex(0x707A8A));
    cairo_set_source(cr, bg);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(bg);
    cairo_set_source_rgb(cr, 0.15, 0.18, 0.25);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // Nose and a paint window.
    cairo_move_to(cr, 14.5, 1);
    cairo_curve_to(cr, 18, 4, 19, 7, 19.5, 10);
    cairo_line_to(cr, 9.5, 10);
    cairo_curve_to(cr, 10, 7, 11, 4, 14.5, 1);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.85, 0.15, 0.2);
    cairo_fill(cr);
    cairo_arc(cr, 14.5, 19, 3.2, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.2, 0.7, 1.0);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0.1, 0.12, 0.2);
    cairo_stroke(cr);
  });
  WriteSpr(pack, "graphics\\rocket\\rocket.spr",
           Spr{"z=96,rot_center_x=14.5,rot_center_y=24.5", {}}.Group(
               {Part("rocket.png",
                     "frame_width=29,frame_height=49,texture_size=64,border=1,anim_speed=30,"
                     "anim_loop=1")}));
}

void Cursor(Pack& pack) {
  const std::string dir = "graphics\\cursors\\";
  Image(pack, dir + "cursor_arrow.png", 32, 32, [](cairo_t* cr) {
    cairo_move_to(cr, 2, 2);
    cairo_line_to(cr, 2, 24);
    cairo_line_to(cr, 7.5, 19);
    cairo_line_to(cr, 11.5, 28);
    cairo_line_to(cr, 15.5, 26.2);
    cairo_line_to(cr, 11.6, 17.5);
    cairo_line_to(cr, 18.5, 17.5);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 2, 0, 28);
    AddStop(g, 0, Hex(0xFFFFFF));
    AddStop(g, 1, Hex(0xB8E8FF));
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_source_rgb(cr, 0.03, 0.08, 0.18);
    cairo_set_line_width(cr, 1.5);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
  });
  Image(pack, dir + "cursor_hand.png", 32, 32, [](cairo_t* cr) {
    // A pointing hand: the index finger reaches up-left to (2, 2).
    cairo_save(cr);
    cairo_translate(cr, 2, 2);
    cairo_rotate(cr, -0.62);
    cairo_move_to(cr, -2.6, 1);
    cairo_curve_to(cr, -2.6, -1.5, 2.6, -1.5, 2.6, 1);
    cairo_line_to(cr, 2.6, 12);
    cairo_curve_to(cr, 5, 10.5, 7.5, 11, 7.8, 13);
    cairo_curve_to(cr, 10, 12, 12.5, 13, 12.6, 15);
    cairo_curve_to(cr, 14.5, 14.5, 16.5, 16, 16.3, 18);
    cairo_line_to(cr, 16, 24);
    cairo_curve_to(cr, 15, 29, 11, 31, 6, 31);
    cairo_line_to(cr, 1, 31);
    cairo_curve_to(cr, -3, 30, -6, 25, -8, 20);
    cairo_line_to(cr, -10.5, 14.5);
    cairo_curve_to(cr, -11, 12.5, -8, 11.5, -6.5, 13.5);
    cairo_line_to(cr, -2.6, 18);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 31);
    AddStop(g, 0, Hex(0xFFFFFF));
    AddStop(g, 1, Hex(0xC8ECFF));
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_source_rgb(cr, 0.03, 0.08, 0.18);
    cairo_set_line_width(cr, 1.4);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
    cairo_set_line_width(cr, 0.9);
    cairo_move_to(cr, 7.8, 13);
    cairo_line_to(cr, 7.8, 17);
    cairo_move_to(cr, 12.6, 15);
    cairo_line_to(cr, 12.6, 18.5);
    cairo_stroke(cr);
    cairo_restore(cr);
  });
  Image(pack, dir + "cursor_target.png", 32, 32, [](cairo_t* cr) {
    const Rgb c = Hex(0x7CFF6A);
    for (int pass = 0; pass < 2; ++pass) {
      cairo_set_line_width(cr, pass == 0 ? 3.6 : 1.6);
      if (pass == 0)
        cairo_set_source_rgba(cr, 0, 0.05, 0, 0.8);
      else
        SetRgb(cr, c);
      cairo_arc(cr, 16, 16, 9, 0, 2 * M_PI);
      cairo_stroke(cr);
      const double seg[4][4] = {
          {16, 1.5, 16, 10}, {16, 22, 16, 30.5}, {1.5, 16, 10, 16}, {22, 16, 30.5, 16}};
      for (const auto& s : seg) {
        cairo_move_to(cr, s[0], s[1]);
        cairo_line_to(cr, s[2], s[3]);
      }
      cairo_stroke(cr);
    }
    cairo_arc(cr, 16, 16, 1.6, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
  });
  WriteSpr(pack, dir + "mouse_cursor.spr",
           Spr{"z=100000", {}}.Group(
               {Part("cursor_arrow.png", "texture_size=64,border=1"),
                Part("cursor_hand.png", "texture_size=64,border=1"),
                Part("cursor_target.png", "texture_size=64,border=1,x=-16,y=-16")}));
}

}  // namespace

void WriteBalls(Pack& pack) {
  Balls(pack);
  Bombs(pack);
  FieldPieces(pack);
  Particles(pack);
  Target(pack);
  Rocket(pack);
  Cursor(pack);
}

}  // namespace packgen
