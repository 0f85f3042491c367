// The game scene: background, front panel, nets, cannon, boards, laser, dragons, strips.
#include <cmath>

#include "art.h"

namespace packgen {
namespace {

const std::string kGz = "graphics\\elements_gamezone\\";
// Net steps: inner edge offsets (step 0 open .. 11 closed).
const int kNetV[12] = {1, 22, 30, 48, 59, 69, 77, 84, 89, 93, 95, 96};

void Rivet(cairo_t* cr, double x, double y) {
  cairo_arc(cr, x, y, 2.0, 0, 2 * M_PI);
  cairo_pattern_t* g = cairo_pattern_create_radial(x - 0.7, y - 0.7, 0.2, x, y, 2.0);
  cairo_pattern_add_color_stop_rgb(g, 0, 0.75, 0.82, 0.92);
  cairo_pattern_add_color_stop_rgb(g, 1, 0.12, 0.16, 0.24);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
}

// A dark recess with a lit lower edge, as if pressed into the plate.
void Recess(cairo_t* cr, double x, double y, double w, double h, double r) {
  RoundRect(cr, x, y, w, h, r);
  cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
  cairo_fill(cr);
  RoundRect(cr, x + 0.5, y + 0.5, w - 1, h - 1, r);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, y, 0, y + h);
  cairo_pattern_add_color_stop_rgba(g, 0, 0, 0, 0, 0.8);
  cairo_pattern_add_color_stop_rgba(g, 1, 0.55, 0.75, 1, 0.45);
  cairo_set_source(cr, g);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_pattern_destroy(g);
}

void GameBackground(Pack& pack) {
  Image(pack, kGz + "game_background.png", 800, 600, [](cairo_t* cr) {
    DrawSpace(cr, 800, 600, 777, 0.7);
    // A faint hexagonal lattice behind the field, brighter towards the cannon.
    cairo_save(cr);
    cairo_rectangle(cr, 93, 95, 616, 401);
    cairo_clip(cr);
    cairo_set_line_width(cr, 0.8);
    for (int r = -1; r < 15; ++r) {
      for (int c = 0; c < 17; ++c) {
        const double x = 111 + 34 * c + ((r % 2) ? 17 : 0);
        const double y = 445 - 30 * r;
        for (int k = 0; k < 6; ++k) {
          const double a = M_PI / 6 + k * M_PI / 3;
          const double px = x + cos(a) * 19.6, py = y + sin(a) * 19.6;
          if (k == 0)
            cairo_move_to(cr, px, py);
          else
            cairo_line_to(cr, px, py);
        }
        cairo_close_path(cr);
      }
    }
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 95, 0, 496);
    cairo_pattern_add_color_stop_rgba(g, 0, 0.3, 0.6, 1, 0.03);
    cairo_pattern_add_color_stop_rgba(g, 1, 0.3, 0.7, 1, 0.12);
    cairo_set_source(cr, g);
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
    // Danger glow along the bottom rows.
    cairo_pattern_t* d = cairo_pattern_create_linear(0, 420, 0, 496);
    cairo_pattern_add_color_stop_rgba(d, 0, 0.8, 0.1, 0.1, 0);
    cairo_pattern_add_color_stop_rgba(d, 1, 0.8, 0.1, 0.1, 0.16);
    cairo_rectangle(cr, 93, 420, 616, 76);
    cairo_set_source(cr, d);
    cairo_fill(cr);
    cairo_pattern_destroy(d);
    cairo_restore(cr);
  });
  WriteSpr(
      pack, kGz + "game_background.spr",
      Spr{"x=0,y=0,z=-50", {}}.Group({Part("game_background.png", "texture_size=256,border=0")}));
}

void NormalPanel(Pack& pack) {
  Image(pack, kGz + "normal_panel.png", 800, 600, [](cairo_t* cr) {
    // Steel body with brushed bands.
    cairo_pattern_t* body = cairo_pattern_create_linear(0, 0, 0, 600);
    AddStop(body, 0, Hex(0x2B3B58));
    AddStop(body, 0.16, Hex(0x18233A));
    AddStop(body, 0.5, Hex(0x1B2740));
    AddStop(body, 0.83, Hex(0x141D31));
    AddStop(body, 1, Hex(0x26364F));
    cairo_rectangle(cr, 0, 0, 800, 600);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    Rng rng(99);
    for (int i = 0; i < 300; ++i) {
      const double y = rng.Uniform() * 600;
      cairo_rectangle(cr, 0, y, 800, 1);
      cairo_set_source_rgba(cr, 1, 1, 1, rng.Range(0.0, 0.025));
      cairo_fill(cr);
    }
    // Top bar edge and title plate.
    cairo_rectangle(cr, 0, 0, 800, 2);
    cairo_set_source_rgba(cr, 0.6, 0.8, 1, 0.3);
    cairo_fill(cr);
    Plate(cr, 290, 16, 220, 34, 10, Hex(0x223455), Hex(0x0D162A), Hex(0x050A14));
    RoundRect(cr, 292, 18, 216, 30, 9);
    SetRgb(cr, kAccent, 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // Progress groove (strip 233..569 x 66..82).
    Recess(cr, 226, 60, 350, 28, 8);
    cairo_move_to(cr, 210, 74);
    cairo_line_to(cr, 224, 74);
    cairo_move_to(cr, 578, 74);
    cairo_line_to(cr, 592, 74);
    SetRgb(cr, kAccent, 0.6);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    // Field frame: a lit lip around the window.
    RoundRect(cr, 86, 88, 630, 415, 10);
    cairo_set_source_rgb(cr, 0.03, 0.05, 0.1);
    cairo_set_line_width(cr, 8);
    cairo_stroke(cr);
    RoundRect(cr, 89.5, 91.5, 623, 408, 7);
    SetRgb(cr, kAccent, 0.5);
    cairo_set_line_width(cr, 1.4);
    cairo_stroke(cr);
    // Bonus slots on the left: sockets for the icons and grooves for their bars.
    for (int i = 0; i < 6; ++i) {
      const double y = 545 - 39 * i;
      cairo_arc(cr, 37, y + 17, 19, 0, 2 * M_PI);
      cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
      cairo_fill(cr);
      cairo_arc(cr, 37, y + 17, 19, 0, 2 * M_PI);
      cairo_set_source_rgba(cr, 0.5, 0.75, 1, 0.35);
      cairo_set_line_width(cr, 1);
      cairo_stroke(cr);
      Recess(cr, 57, y + 9, 36, 16, 4);
    }
    // Balls-down meter frame (window 716..727 x 300..462) and the crystal tube.
    Recess(cr, 712, 294, 20, 175, 5);
    RoundRect(cr, 744, 246, 42, 338, 16);
    cairo_set_source_rgba(cr, 0.02, 0.05, 0.1, 0.95);
    cairo_fill(cr);
    RoundRect(cr, 744, 246, 42, 338, 16);
    cairo_pattern_t* tube = cairo_pattern_create_linear(744, 0, 786, 0);
    cairo_pattern_add_color_stop_rgba(tube, 0, 0.6, 0.85, 1, 0.5);
    cairo_pattern_add_color_stop_rgba(tube, 0.3, 1, 1, 1, 0.1);
    cairo_pattern_add_color_stop_rgba(tube, 1, 0.6, 0.85, 1, 0.35);
    cairo_set_source(cr, tube);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_pattern_destroy(tube);
    for (int n = 0; n < 9; ++n) {
      cairo_arc(cr, 765, 559 - 36 * n, 12, 0, 2 * M_PI);
      cairo_set_source_rgba(cr, 0.3, 0.6, 1, 0.08);
      cairo_fill(cr);
    }
    // Bottom console around the cannon.
    cairo_move_to(cr, 300, 600);
    cairo_curve_to(cr, 320, 540, 350, 520, 400, 520);
    cairo_curve_to(cr, 450, 520, 480, 540, 500, 600);
    cairo_close_path(cr);
    cairo_pattern_t* console = cairo_pattern_create_linear(0, 520, 0, 600);
    AddStop(console, 0, Hex(0x2F4468));
    AddStop(console, 1, Hex(0x0E1628));
    cairo_set_source(cr, console);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(console);
    SetRgb(cr, kAccent, 0.45);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    for (double x : {20.0, 780.0}) {
      for (double y : {20.0, 580.0}) Rivet(cr, x, y);
    }
    for (double x : {250.0, 550.0}) Rivet(cr, x, 580);
    // Cut the windows.
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, 93, 95, 616, 401);
    for (int y : {557, 518, 479, 440, 401, 362}) cairo_rectangle(cr, 60, y, 30, 10);
    cairo_rectangle(cr, 716, 300, 12, 163);
    cairo_fill(cr);
  });
  WriteSpr(pack, kGz + "normal_panel.spr",
           Spr{"z=100", {}}.Group({Part("normal_panel.png", "texture_size=256,border=0")}));
}

void PanelMenuMini(Pack& pack) {
  Spr spr{"z=101", {}};
  std::vector<std::string> parts;
  for (int s = 0; s < 3; ++s) {
    const std::string name = "panel_menu_mini_" + std::to_string(s) + ".png";
    Image(pack, kGz + name, 80, 18, [&](cairo_t* cr) {
      ButtonFace(cr, 0, -6, 80, 24, s, 6);
      Caption(cr, Face::Bold, 11, 40, 13 + (s == 2 ? 1 : 0), "MENU", 1,
              s == 1 ? Hex(0xFFE890) : Hex(0xE8F4FF), 2, Hex(0x06101E));
    });
    parts.push_back(Part(name, "texture_size=128,border=0"));
  }
  spr.Group(parts);
  WriteSpr(pack, kGz + "panel_menu_mini.spr", spr);
}

void DrawNet(cairo_t* cr, bool right) {
  // 100 x 402: a retracting steel wall (outer side) ending in a glowing mesh edge (inner side).
  if (right) {
    cairo_translate(cr, 100, 0);
    cairo_scale(cr, -1, 1);
  }
  cairo_pattern_t* wall = cairo_pattern_create_linear(0, 0, 100, 0);
  AddStop(wall, 0, Hex(0x111A2C));
  AddStop(wall, 0.7, Hex(0x1F2D48));
  AddStop(wall, 0.86, Hex(0x2A3D5E));
  AddStop(wall, 0.88, Hex(0x0A101C));
  cairo_rectangle(cr, 0, 0, 88, 402);
  cairo_set_source(cr, wall);
  cairo_fill(cr);
  cairo_pattern_destroy(wall);
  for (int y = 10; y < 402; y += 40) {
    cairo_rectangle(cr, 0, y, 86, 2);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.35);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, y + 2, 86, 1);
    cairo_set_source_rgba(cr, 0.6, 0.8, 1, 0.12);
    cairo_fill(cr);
  }
  // Mesh: diagonal lattice between x 86 and 99.
  cairo_save(cr);
  cairo_rectangle(cr, 86, 0, 14, 402);
  cairo_clip(cr);
  cairo_set_source_rgba(cr, 0.45, 0.9, 1, 0.55);
  cairo_set_line_width(cr, 0.9);
  for (int y = -20; y < 420; y += 8) {
    cairo_move_to(cr, 86, y);
    cairo_line_to(cr, 100, y + 14);
    cairo_move_to(cr, 86, y + 14);
    cairo_line_to(cr, 100, y);
  }
  cairo_stroke(cr);
  cairo_restore(cr);
  // The bright inner edge the balls bounce off.
  cairo_pattern_t* edge = cairo_pattern_create_linear(94, 0, 100, 0);
  cairo_pattern_add_color_stop_rgba(edge, 0, 0.3, 0.85, 1, 0);
  cairo_pattern_add_color_stop_rgba(edge, 0.7, 0.7, 0.97, 1, 0.95);
  cairo_pattern_add_color_stop_rgba(edge, 1, 1, 1, 1, 1);
  cairo_rectangle(cr, 94, 0, 6, 402);
  cairo_set_source(cr, edge);
  cairo_fill(cr);
  cairo_pattern_destroy(edge);
}

void Nets(Pack& pack) {
  Image(pack, kGz + "net_band_left.png", 100, 402, [](cairo_t* cr) { DrawNet(cr, false); });
  Image(pack, kGz + "net_band_right.png", 100, 402, [](cairo_t* cr) { DrawNet(cr, true); });
  std::vector<std::string> left, right;
  for (int s = 0; s < 12; ++s) {
    const int v = kNetV[s];
    left.push_back(Part("net_band_left.png",
                        "texture_size=128,border=0,x=" + std::to_string(92 + v - 100) + ",y=95"));
    right.push_back(Part("net_band_right.png",
                         "texture_size=128,border=0,x=" + std::to_string(709 - v) + ",y=95"));
  }
  WriteSpr(pack, kGz + "net_left.spr", Spr{"z=80", {}}.Group(left));
  WriteSpr(pack, kGz + "net_right.spr", Spr{"z=80", {}}.Group(right));
}

// ---- cannon

void DrawMiniBall(cairo_t* cr, int variant, double cx, double cy, double r) {
  if (variant <= 6) {
    const int n = variant + 1;
    GlossySphere(cr, cx, cy, r, BallColour(n));
    cairo_save(cr);
    EmblemPath(cr, n, cx, cy + r * 0.12, r * 0.68);
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    if (n == 2 || n == 7 || n == 6)
      SetRgb(cr, Scale(BallColour(n), 0.42), 0.85);
    else
      SetRgb(cr, Mix(BallColour(n), {1, 1, 1}, 0.78), 0.8);
    cairo_fill(cr);
    cairo_restore(cr);
  } else if (variant == 7) {  // colour bomb
    GlossySphere(cr, cx, cy, r, Hex(0xE0E0E8));
    cairo_arc(cr, cx, cy, r * 0.85, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.35, 0.4, 0.5);
    cairo_set_line_width(cr, r * 0.25);
    cairo_stroke(cr);
    const Rgb cols[3] = {Hex(0xF03030), Hex(0x30C040), Hex(0x3070FF)};
    for (int k = 0; k < 3; ++k) {
      cairo_move_to(cr, cx, cy);
      cairo_arc(cr, cx, cy, r * 0.55, k * 2 * M_PI / 3, (k + 1) * 2 * M_PI / 3);
      cairo_close_path(cr);
      SetRgb(cr, cols[k]);
      cairo_fill(cr);
    }
  } else if (variant == 8) {  // big bomb
    GlossySphere(cr, cx, cy, r, Hex(0x3A3F4A));
    cairo_rectangle(cr, cx - r * 0.9, cy - r * 0.2, r * 1.8, r * 0.4);
    cairo_set_source_rgb(cr, 0.95, 0.75, 0.1);
    cairo_fill(cr);
    Glow(cr, cx + r * 0.7, cy - r * 0.8, r * 0.6, Hex(0xFFC040), 1);
  } else {  // multiball
    for (int k = 0; k < 7; ++k) {
      cairo_move_to(cr, cx, cy);
      cairo_arc(cr, cx, cy, r, k * 2 * M_PI / 7, (k + 1) * 2 * M_PI / 7 + 0.02);
      cairo_close_path(cr);
      SetRgb(cr, BallColour(k + 1));
      cairo_fill(cr);
    }
    Glow(cr, cx - r * 0.3, cy - r * 0.35, r * 0.7, {1, 1, 1}, 0.7);
  }
}

// The rotating cannon body, barrel recoiled by `recoil` pixels; pivot at (45.5, 94.5).
void DrawCannonBody(cairo_t* cr, double recoil, double flash) {
  const double px = 45.5, py = 94.5;
  // Barrel.
  cairo_save(cr);
  cairo_translate(cr, 0, recoil);
  cairo_rectangle(cr, 33, 16, 25, 62);
  cairo_pattern_t* bar = cairo_pattern_create_linear(33, 0, 58, 0);
  AddStop(bar, 0, Hex(0x3B4C6C));
  AddStop(bar, 0.3, Hex(0xB8CCE8));
  AddStop(bar, 0.55, Hex(0x6A80A4));
  AddStop(bar, 1, Hex(0x1E2A42));
  cairo_set_source(cr, bar);
  cairo_fill(cr);
  // Cooling rings along the barrel.
  for (int k = 0; k < 4; ++k) {
    cairo_rectangle(cr, 32, 28 + k * 11, 27, 3);
    cairo_set_source(cr, bar);
    cairo_fill(cr);
    cairo_rectangle(cr, 32, 31 + k * 11, 27, 1);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_fill(cr);
  }
  // Accent stripe.
  cairo_rectangle(cr, 44, 18, 3, 56);
  SetRgb(cr, kAccent, 0.75);
  cairo_fill(cr);
  // Muzzle.
  RoundRect(cr, 29.5, 9, 32, 10, 3);
  cairo_set_source(cr, bar);
  cairo_fill_preserve(cr);
  cairo_set_source_rgb(cr, 0.04, 0.06, 0.12);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  cairo_pattern_destroy(bar);
  if (flash > 0) {
    Glow(cr, 45.5, 8, 16 * flash, Hex(0xFFF0B0), 0.95 * flash);
    Glow(cr, 45.5, 8, 7 * flash, Hex(0xFFFFFF), flash);
  }
  cairo_restore(cr);
  // Turret: a ring around the loaded ball.
  cairo_arc(cr, px, py, 27, 0, 2 * M_PI);
  cairo_arc_negative(cr, px, py, 18.5, 2 * M_PI, 0);
  cairo_pattern_t* ring = cairo_pattern_create_linear(0, py - 27, 0, py + 27);
  AddStop(ring, 0, Hex(0xC8D8EE));
  AddStop(ring, 0.45, Hex(0x5A6E92));
  AddStop(ring, 1, Hex(0x1A243A));
  cairo_set_source(cr, ring);
  cairo_fill(cr);
  cairo_pattern_destroy(ring);
  cairo_arc(cr, px, py, 27, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 0.03, 0.05, 0.1);
  cairo_set_line_width(cr, 1.3);
  cairo_stroke(cr);
  cairo_arc(cr, px, py, 18.5, 0, 2 * M_PI);
  SetRgb(cr, kAccent, 0.8);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  // Chamber (behind the loaded ball).
  cairo_arc(cr, px, py, 17.8, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 0.03, 0.05, 0.1);
  cairo_fill(cr);
  // Socket for the next-ball indicator.
  cairo_arc(cr, px, 120, 11, 0, 2 * M_PI);
  cairo_set_source_rgb(cr, 0.05, 0.08, 0.14);
  cairo_fill_preserve(cr);
  SetRgb(cr, kAccent, 0.6);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
}

void DrawPod(cairo_t* cr) {
  // 28 x 44: a launcher rail holding a small rocket pointing up.
  RoundRect(cr, 3, 20, 22, 22, 4);
  cairo_pattern_t* g = cairo_pattern_create_linear(3, 0, 25, 0);
  AddStop(g, 0, Hex(0x2A3650));
  AddStop(g, 0.4, Hex(0x8296B8));
  AddStop(g, 1, Hex(0x1A2236));
  cairo_set_source(cr, g);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(g);
  cairo_set_source_rgb(cr, 0.03, 0.05, 0.1);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_move_to(cr, 14, 1);
  cairo_curve_to(cr, 18.5, 5, 19, 12, 19, 18);
  cairo_line_to(cr, 19, 32);
  cairo_line_to(cr, 9, 32);
  cairo_line_to(cr, 9, 18);
  cairo_curve_to(cr, 9, 12, 9.5, 5, 14, 1);
  cairo_close_path(cr);
  cairo_pattern_t* b = cairo_pattern_create_linear(9, 0, 19, 0);
  AddStop(b, 0, Hex(0xA0AAB8));
  AddStop(b, 0.35, Hex(0xFFFFFF));
  AddStop(b, 1, Hex(0x707A8A));
  cairo_set_source(cr, b);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(b);
  cairo_set_source_rgb(cr, 0.15, 0.18, 0.25);
  cairo_stroke(cr);
  cairo_move_to(cr, 14, 1);
  cairo_curve_to(cr, 17, 3.5, 18, 6, 18.5, 8);
  cairo_line_to(cr, 9.5, 8);
  cairo_curve_to(cr, 10, 6, 11, 3.5, 14, 1);
  cairo_close_path(cr);
  cairo_set_source_rgb(cr, 0.85, 0.15, 0.2);
  cairo_fill(cr);
  cairo_rectangle(cr, 5, 34, 18, 3);
  SetRgb(cr, kAccent, 0.8);
  cairo_fill(cr);
}

void Cannon(Pack& pack) {
  const double recoil[6] = {0, 10, 10, 6, 2, 0};
  const double flash[6] = {0, 1, 0.45, 0, 0, 0};
  Sheet(pack, kGz + "canon_body.png", 6, 6, 91, 136,
        [&](cairo_t* cr, int f) { DrawCannonBody(cr, recoil[f], flash[f]); });
  Image(pack, kGz + "canon_pod_left.png", 28, 44, DrawPod);
  Image(pack, kGz + "canon_pod_right.png", 28, 44, [](cairo_t* cr) {
    cairo_translate(cr, 28, 0);
    cairo_scale(cr, -1, 1);
    DrawPod(cr);
  });
  std::vector<std::string> next;
  for (int v = 0; v < 10; ++v) {
    const std::string name = "canon_next" + std::to_string(v) + ".png";
    Image(pack, kGz + name, 18, 18, [&](cairo_t* cr) { DrawMiniBall(cr, v, 9, 9, 8.6); });
    next.push_back(Part(name, "texture_size=32,border=1,x=36,y=111"));
  }
  const std::string body_cut = "frame_width=91,frame_height=136,texture_size=128,border=1";
  WriteSpr(pack, kGz + "canon2.spr",
           Spr{"z=240,rot_center_x=45.5,rot_center_y=94.5", {}}
               .Group({Part("canon_body.png", body_cut + ",anim_speed=30,anim_loop=0,z=1")})
               .Group({Part("canon_pod_left.png", "texture_size=64,border=1,x=-2,y=35,z=0")})
               .Group({Part("canon_pod_right.png", "texture_size=64,border=1,x=66,y=35,z=0")})
               .Group(next));

  // Build-up: the pedestal stays (group 1); group 0 raises the cannon out of it.
  Image(pack, kGz + "canon_pedestal.png", 91, 136, [](cairo_t* cr) {
    cairo_move_to(cr, 2, 136);
    cairo_line_to(cr, 10, 104);
    cairo_curve_to(cr, 20, 90, 71, 90, 81, 104);
    cairo_line_to(cr, 89, 136);
    cairo_close_path(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 92, 0, 136);
    AddStop(g, 0, Hex(0x4A5F86));
    AddStop(g, 1, Hex(0x121A2C));
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    SetRgb(cr, kAccent, 0.55);
    cairo_set_line_width(cr, 1.3);
    cairo_stroke(cr);
    cairo_arc(cr, 45.5, 94.5, 31, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.06, 0.09, 0.16);
    cairo_fill_preserve(cr);
    cairo_set_source_rgba(cr, 0.5, 0.7, 1, 0.4);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  });
  Image(pack, kGz + "canon_lights.png", 91, 136, [](cairo_t* cr) {
    for (double x : {14.0, 77.0}) {
      Glow(cr, x, 120, 5, Hex(0x5CFF9A), 0.9);
      cairo_arc(cr, x, 120, 1.6, 0, 2 * M_PI);
      cairo_set_source_rgb(cr, 0.9, 1, 0.95);
      cairo_fill(cr);
    }
  });
  std::vector<std::string> build{Part("canon_lights.png", "texture_size=128,border=1,z=2")};
  for (int v = 1; v <= 31; ++v) {
    const int alpha = std::min(255, v * 255 / 31);
    const int dy = (31 - v);
    build.push_back(Part("canon_body.png", body_cut + ",anim_speed=0,z=1,alpha=" +
                                               std::to_string(alpha) + ",y=" + std::to_string(dy)));
  }
  WriteSpr(pack, kGz + "canon1.spr",
           Spr{"z=235", {}}.Group(build).Group(
               {Part("canon_pedestal.png", "texture_size=128,border=1,z=0")}));
}

// ---- boards

void DrawBoard(cairo_t* cr, double w, const std::string& caption, double win_x, double win_w,
               bool lit) {
  Plate(cr, 1, 1, w - 2, 60, 9, lit ? Hex(0x2E4A78) : Hex(0x1C2840),
        lit ? Hex(0x0F1B33) : Hex(0x0A101E), Hex(0x04070E));
  Caption(cr, Face::Bold, 14, w / 2, 20, caption, 1, lit ? Hex(0x9FEFFF) : Hex(0x3A5070),
          lit ? 2.5 : 0, Hex(0x061020));
  Recess(cr, win_x, 28, win_w, 30, 5);
  if (lit) {
    RoundRect(cr, win_x - 1, 27, win_w + 2, 32, 6);
    SetRgb(cr, kAccent, 0.55);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
  }
}

void Boards(Pack& pack) {
  struct B {
    std::string name, caption;
    int w;
    double win_x, win_w;
  };
  for (const B& b :
       {B{"tablo_level", "LEVEL", 100, 20, 60}, B{"tablo_scores", "SCORE", 110, 8, 90}}) {
    Image(pack, kGz + b.name + "_dark.png", b.w, 62,
          [&](cairo_t* cr) { DrawBoard(cr, b.w, b.caption, b.win_x, b.win_w, false); });
    Image(pack, kGz + b.name + "_lit.png", b.w, 62,
          [&](cairo_t* cr) { DrawBoard(cr, b.w, b.caption, b.win_x, b.win_w, true); });
    std::vector<std::string> steps;
    for (int v = 0; v < 24; ++v) {
      steps.push_back(Part(b.name + "_lit.png",
                           "texture_size=64,border=0,z=1,alpha=" + std::to_string(v * 255 / 23)));
    }
    WriteSpr(pack, kGz + b.name + ".spr",
             Spr{"z=101", {}}.Group(steps).Group(
                 {Part(b.name + "_dark.png", "texture_size=64,border=0,z=0")}));
  }
  Image(pack, kGz + "tablo_line.png", 100, 4, [](cairo_t* cr) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 100, 0);
    cairo_pattern_add_color_stop_rgba(g, 0, 0.2, 0.8, 1, 0);
    cairo_pattern_add_color_stop_rgba(g, 0.5, 0.7, 0.97, 1, 1);
    cairo_pattern_add_color_stop_rgba(g, 1, 0.2, 0.8, 1, 0);
    RoundRect(cr, 0, 0.5, 100, 3, 1.5);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  });
  WriteSpr(pack, kGz + "tablo_line.spr",
           Spr{"z=102", {}}.Group({Part("tablo_line.png", "texture_size=16,border=0")}));
}

void Laser(Pack& pack) {
  Sheet(pack, kGz + "laser.png", 8, 1, 615, 6, [](cairo_t* cr, int f) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 6);
    cairo_pattern_add_color_stop_rgba(g, 0, 1, 0.1, 0.1, 0.0);
    cairo_pattern_add_color_stop_rgba(g, 0.5, 1, 0.75, 0.7, 1);
    cairo_pattern_add_color_stop_rgba(g, 1, 1, 0.1, 0.1, 0.0);
    cairo_rectangle(cr, 0, 0, 615, 6);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Pulses running along the beam (period 80 px, 10 px per frame: seamless over 8 frames).
    for (int x = -80 + f * 10; x < 700; x += 80) {
      Glow(cr, x, 3, 10, Hex(0xFFFFFF), 0.75);
    }
  });
  WriteSpr(pack, kGz + "laser.spr",
           Spr{"z=98", {}}.Group({Part("laser.png",
                                       "frame_width=615,frame_height=6,texture_size=16,border=0,"
                                       "anim_speed=10,anim_loop=1")}));
}

// ---- dragons

// A small dragon facing right in a 92 x 120 frame. mood: 0 rest, 1 joy, 2 sad.
void DrawDragon(cairo_t* cr, Rgb body, Rgb belly, int mood) {
  const Rgb dark = Scale(body, 0.4);
  auto fill_stroke = [&](Rgb c) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 20, 0, 110);
    AddStop(g, 0, Mix(c, {1, 1, 1}, 0.25));
    AddStop(g, 1, Scale(c, 0.7));
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    SetRgb(cr, dark);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
  };
  const double lift = mood == 1 ? -4 : (mood == 2 ? 3 : 0);
  // Tail.
  cairo_move_to(cr, 30, 92 + lift);
  cairo_curve_to(cr, 10, 100, 4, 88, 8, 76);
  cairo_curve_to(cr, 10, 86, 18, 90, 32, 84 + lift);
  cairo_close_path(cr);
  fill_stroke(body);
  cairo_move_to(cr, 8, 76);
  cairo_line_to(cr, 2, 70);
  cairo_line_to(cr, 11, 71);
  cairo_close_path(cr);
  fill_stroke(Hex(0xFFC040));
  // Wing (raised for joy, drooping when sad).
  const double wl = mood == 1 ? -14 : (mood == 2 ? 10 : 0);
  cairo_move_to(cr, 40, 58 + lift);
  cairo_curve_to(cr, 30, 40 + wl, 16, 30 + wl, 6, 34 + wl);
  cairo_curve_to(cr, 14, 42 + wl, 12, 50 + wl, 16, 56 + wl * 0.5);
  cairo_curve_to(cr, 22, 54, 26, 60, 28, 66 + lift);
  cairo_close_path(cr);
  fill_stroke(Mix(body, Hex(0xFFFFFF), 0.15));
  cairo_move_to(cr, 40, 58 + lift);
  cairo_line_to(cr, 12, 38 + wl);
  cairo_move_to(cr, 36, 60 + lift);
  cairo_line_to(cr, 16, 52 + wl * 0.6);
  SetRgb(cr, dark, 0.6);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Body.
  cairo_save(cr);
  cairo_translate(cr, 44, 80 + lift);
  cairo_scale(cr, 19, 25);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  fill_stroke(body);
  cairo_save(cr);
  cairo_translate(cr, 49, 84 + lift);
  cairo_scale(cr, 11, 18);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  SetRgb(cr, belly);
  cairo_fill(cr);
  for (int k = 0; k < 4; ++k) {
    cairo_move_to(cr, 40, 74 + k * 7 + lift);
    cairo_curve_to(cr, 45, 76 + k * 7 + lift, 53, 76 + k * 7 + lift, 58, 74 + k * 7 + lift);
  }
  SetRgb(cr, Scale(belly, 0.75), 0.8);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  // Feet.
  for (double fx : {36.0, 54.0}) {
    cairo_save(cr);
    cairo_translate(cr, fx, 104 + lift * 0.5);
    cairo_scale(cr, 7, 4);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    fill_stroke(body);
  }
  // Arms: up for joy.
  for (int side = 0; side < 1; ++side) {
    if (mood == 1) {
      // A cheering arm thrown forward, clear of the snout.
      cairo_move_to(cr, 58, 70 + lift);
      cairo_curve_to(cr, 68, 68 + lift, 76, 66 + lift, 84, 56 + lift);
    } else {
      cairo_move_to(cr, 58, 72 + lift);
      cairo_curve_to(cr, 66, 76, 68, 82, 66, 86);
    }
    SetRgb(cr, dark);
    cairo_set_line_width(cr, 6.5);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke_preserve(cr);
    SetRgb(cr, body);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
  }
  // Head.
  const double hx = 58, hy = 38 + lift + (mood == 2 ? 4 : 0);
  // Horns.
  cairo_move_to(cr, hx - 6, hy - 14);
  cairo_line_to(cr, hx - 12, hy - 27);
  cairo_line_to(cr, hx - 1, hy - 16);
  cairo_close_path(cr);
  cairo_move_to(cr, hx + 4, hy - 16);
  cairo_line_to(cr, hx + 3, hy - 30);
  cairo_line_to(cr, hx + 11, hy - 15);
  cairo_close_path(cr);
  fill_stroke(Hex(0xFFD27A));
  cairo_save(cr);
  cairo_translate(cr, hx, hy);
  cairo_scale(cr, 17, 15);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  fill_stroke(body);
  // Snout.
  cairo_save(cr);
  cairo_translate(cr, hx + 16, hy + 5);
  cairo_scale(cr, 12, 9);
  cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
  cairo_restore(cr);
  fill_stroke(Mix(body, belly, 0.35));
  cairo_arc(cr, hx + 22, hy + 2, 1.4, 0, 2 * M_PI);
  cairo_arc(cr, hx + 17, hy + 1, 1.2, 0, 2 * M_PI);
  SetRgb(cr, dark);
  cairo_fill(cr);
  // Eye and mouth by mood.
  const double ex = hx + 3, ey = hy - 4;
  if (mood == 1) {
    cairo_move_to(cr, ex - 5, ey + 1);
    cairo_curve_to(cr, ex - 3, ey - 5, ex + 3, ey - 5, ex + 5, ey + 1);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.1);
    cairo_set_line_width(cr, 2.2);
    cairo_stroke(cr);
    cairo_move_to(cr, hx + 8, hy + 9);
    cairo_curve_to(cr, hx + 14, hy + 18, hx + 24, hy + 16, hx + 27, hy + 9);
    cairo_close_path(cr);
    cairo_set_source_rgb(cr, 0.55, 0.08, 0.15);
    cairo_fill_preserve(cr);
    SetRgb(cr, dark);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    Glow(cr, hx - 3, hy + 6, 5, Hex(0xFF7090), 0.6);
  } else {
    cairo_save(cr);
    cairo_translate(cr, ex, ey);
    cairo_scale(cr, 5, 6);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill_preserve(cr);
    SetRgb(cr, dark);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_arc(cr, ex + 1.5, ey + (mood == 2 ? 1.5 : 0.5), 2.6, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.12);
    cairo_fill(cr);
    cairo_arc(cr, ex + 2.4, ey - 0.6, 0.9, 0, 2 * M_PI);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_fill(cr);
    if (mood == 2) {
      // Worried brow, frown and a tear.
      cairo_move_to(cr, ex - 6, ey - 6);
      cairo_line_to(cr, ex + 5, ey - 9);
      SetRgb(cr, dark);
      cairo_set_line_width(cr, 1.8);
      cairo_stroke(cr);
      cairo_move_to(cr, hx + 11, hy + 13);
      cairo_curve_to(cr, hx + 15, hy + 9, hx + 21, hy + 9, hx + 25, hy + 13);
      cairo_stroke(cr);
      cairo_move_to(cr, ex - 2, ey + 6);
      cairo_curve_to(cr, ex - 5, ey + 11, ex - 1, ey + 13, ex, ey + 10);
      cairo_close_path(cr);
      cairo_set_source_rgba(cr, 0.5, 0.8, 1, 0.95);
      cairo_fill(cr);
    } else {
      cairo_move_to(cr, hx + 12, hy + 11);
      cairo_curve_to(cr, hx + 16, hy + 14, hx + 21, hy + 14, hx + 25, hy + 11);
      SetRgb(cr, dark);
      cairo_set_line_width(cr, 1.5);
      cairo_stroke(cr);
    }
  }
}

void DrawThrust(cairo_t* cr, int f) {
  // Speed streaks and sparks under a climbing dragon.
  Rng rng(31 + f);
  for (int k = 0; k < 5; ++k) {
    const double x = 26 + k * 9 + rng.Range(-2, 2);
    const double y0 = 104 + ((f * 5 + k * 7) % 12);
    cairo_move_to(cr, x, y0);
    cairo_line_to(cr, x, y0 + 8 + rng.Range(0, 6));
    cairo_set_source_rgba(cr, 0.8, 0.95, 1, 0.7);
    cairo_set_line_width(cr, 1.6);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
  }
  Glow(cr, 45, 108, 14 + 2 * (f % 2), Hex(0x9FE8FF), 0.35);
}

void Dragons(Pack& pack) {
  struct D {
    std::string name;
    Rgb body, belly;
    bool mirror;
  };
  for (const D& d : {D{"dragon_blue", Hex(0x3C7BEA), Hex(0xCFE6FF), false},
                     D{"dragon_green", Hex(0x3DBE4E), Hex(0xEEF7B0), true}}) {
    std::vector<std::string> moods;
    for (int m = 0; m < 3; ++m) {
      const std::string img = d.name + "_" + std::to_string(m) + ".png";
      Image(pack, "graphics\\dragons\\" + img, 92, 120, [&](cairo_t* cr) {
        if (d.mirror) {
          cairo_translate(cr, 92, 0);
          cairo_scale(cr, -1, 1);
        }
        DrawDragon(cr, d.body, d.belly, m);
      });
      moods.push_back(Part(img, "texture_size=128,border=1,z=1"));
    }
    Sheet(pack, "graphics\\dragons\\" + d.name + "_thrust.png", 4, 4, 92, 120,
          [&](cairo_t* cr, int f) { DrawThrust(cr, f); });
    WriteSpr(pack, "graphics\\dragons\\" + d.name + ".spr",
             Spr{"z=103", {}}.Group(moods).Group(
                 {Part(d.name + "_thrust.png",
                       "frame_width=92,frame_height=120,texture_size=64,border=0,anim_speed=20,"
                       "anim_loop=1,z=0")}));
  }
}

// ---- strips and bars

void Strips(Pack& pack) {
  for (int v = 0; v < 2; ++v) {
    Image(pack, kGz + "poloska_" + std::string(v ? "warn" : "fill") + ".png", 336, 10,
          [&](cairo_t* cr) {
            cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 336, 0);
            if (v == 0) {
              AddStop(g, 0, Hex(0x1FA8FF));
              AddStop(g, 1, Hex(0x5CFF8A));
            } else {
              AddStop(g, 0, Hex(0xB01818));
              AddStop(g, 1, Hex(0xFF5030));
            }
            cairo_rectangle(cr, 0, 0, 336, 10);
            cairo_set_source(cr, g);
            cairo_fill(cr);
            cairo_pattern_destroy(g);
            cairo_pattern_t* s = cairo_pattern_create_linear(0, 0, 0, 10);
            cairo_pattern_add_color_stop_rgba(s, 0, 1, 1, 1, 0.6);
            cairo_pattern_add_color_stop_rgba(s, 0.45, 1, 1, 1, 0.1);
            cairo_pattern_add_color_stop_rgba(s, 1, 0, 0, 0, 0.3);
            cairo_rectangle(cr, 0, 0, 336, 10);
            cairo_set_source(cr, s);
            cairo_fill(cr);
            cairo_pattern_destroy(s);
            for (int x = 8; x < 336; x += 8) {
              cairo_rectangle(cr, x, 0, 1, 10);
              cairo_set_source_rgba(cr, 0, 0, 0, 0.12);
              cairo_fill(cr);
            }
          });
  }
  WriteSpr(pack, kGz + "poloska.spr",
           Spr{"z=101", {}}.Group({Part("poloska_fill.png", "texture_size=32,border=0"),
                                   Part("poloska_warn.png", "texture_size=32,border=0")}));
  Image(pack, kGz + "poloska_over.png", 8, 16, [](cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, 8, 16);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 3, 8, 10);
    cairo_set_source_rgb(cr, 0.05, 0.09, 0.16);
    cairo_fill(cr);
    cairo_rectangle(cr, 0, 12, 8, 1);
    cairo_set_source_rgb(cr, 0.12, 0.2, 0.32);
    cairo_fill(cr);
  });
  WriteSpr(pack, kGz + "poloska_over.spr",
           Spr{"z=102", {}}.Group({Part("poloska_over.png", "texture_size=16,border=0")}));
  Image(pack, kGz + "poloska_bonus.png", 29, 10, [](cairo_t* cr) {
    RoundRect(cr, 0, 0.5, 29, 9, 2.5);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 10);
    cairo_pattern_add_color_stop_rgb(g, 0, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.7, 0.7, 0.72);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  });
  WriteSpr(pack, kGz + "poloska_bonus.spr",
           Spr{"z=90", {}}.Group({Part("poloska_bonus.png", "texture_size=32,border=0")}));
  Image(pack, kGz + "poloska_ballsdown.png", 12, 163, [](cairo_t* cr) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 12, 0);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.75, 0.75, 0.78);
    cairo_pattern_add_color_stop_rgb(g, 0.4, 1, 1, 1);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.7, 0.7, 0.72);
    cairo_rectangle(cr, 0, 0, 12, 163);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    for (int y = 8; y < 163; y += 9) {
      cairo_rectangle(cr, 0, y, 12, 1);
      cairo_set_source_rgba(cr, 0, 0, 0, 0.18);
      cairo_fill(cr);
    }
  });
  WriteSpr(pack, kGz + "poloska_ballsdown.spr",
           Spr{"z=99", {}}.Group({Part("poloska_ballsdown.png", "texture_size=32,border=0")}));
  // The challenge floor and puzzle ceiling: a girder whose top edge is the surface.
  Image(pack, "graphics\\additional\\planka1.png", 426, 17, [](cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, 426, 17);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 17);
    AddStop(g, 0, Hex(0xE8F4FF));
    AddStop(g, 0.15, Hex(0x8FA6C8));
    AddStop(g, 0.6, Hex(0x3D4E6E));
    AddStop(g, 1, Hex(0x1A2238));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    for (int x = 10; x < 426; x += 26) {
      cairo_move_to(cr, x, 5);
      cairo_line_to(cr, x + 13, 15);
      cairo_line_to(cr, x + 26, 5);
    }
    cairo_set_source_rgba(cr, 0.05, 0.08, 0.15, 0.6);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    cairo_rectangle(cr, 0, 0, 426, 2);
    SetRgb(cr, kAccent, 0.9);
    cairo_fill(cr);
  });
  WriteSpr(pack, "graphics\\additional\\planka1.spr",
           Spr{"width=426,height=17,z=60", {}}.Group(
               {Part("planka1.png", "texture_size=64,border=1,x=-213")}));
}

}  // namespace

void WriteGameArt(Pack& pack) {
  GameBackground(pack);
  NormalPanel(pack);
  PanelMenuMini(pack);
  Nets(pack);
  Cannon(pack);
  Boards(pack);
  Laser(pack);
  Dragons(pack);
  Strips(pack);
}

}  // namespace packgen
