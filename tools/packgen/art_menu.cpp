// Menu scene, dialogs, loading screen and logo.
#include <cmath>

#include "art.h"

namespace packgen {
namespace {

const std::string kGz = "graphics\\elements_gamezone\\";
const std::string kMenu = "graphics\\menu\\";
const std::string kDlg = "graphics\\dialogs\\";
const std::string kLogo = "graphics\\logo set\\";

// Three (or more) images named base_0.png.. in dir, each drawn by draw(cr, state).
std::vector<std::string> States(Pack& pack, const std::string& dir, const std::string& base,
                                int count, int w, int h, const std::string& cut,
                                const std::function<void(cairo_t*, int)>& draw) {
  std::vector<std::string> parts;
  for (int s = 0; s < count; ++s) {
    const std::string name = base + "_" + std::to_string(s) + ".png";
    Image(pack, dir + name, w, h, [&](cairo_t* cr) { draw(cr, s); });
    parts.push_back(Part(name, cut));
  }
  return parts;
}

void Backdrops(Pack& pack) {
  Image(pack, kGz + "space.png", 800, 600, [](cairo_t* cr) { DrawSpace(cr, 800, 600, 2026, 1.0); });
  WriteSpr(pack, kGz + "space_background.spr",
           Spr{"x=0,y=0,z=10", {}}.Group({Part("space.png", "texture_size=256,border=0")}));
  WriteSpr(pack, kMenu + "menu_background.spr",
           Spr{"x=0,y=0,z=-100", {}}.Group(
               {Part("..\\elements_gamezone\\space.png", "texture_size=256,border=0")}));
  Image(pack, kGz + "dark_panel.png", 800, 600, [](cairo_t* cr) {
    cairo_set_source_rgba(cr, 0, 0, 0.02, 110 / 255.0);
    cairo_paint(cr);
  });
  WriteSpr(pack, kGz + "dark_panel.spr",
           Spr{"x=0,y=0,z=15", {}}.Group({Part("dark_panel.png", "texture_size=256,border=0")}));
  Image(pack, kGz + "menu_panel.png", 460, 540, [](cairo_t* cr) {
    RoundRect(cr, 3, 3, 454, 534, 22);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 540);
    cairo_pattern_add_color_stop_rgba(g, 0, 0.10, 0.17, 0.30, 0.93);
    cairo_pattern_add_color_stop_rgba(g, 1, 0.03, 0.06, 0.13, 0.93);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // Title plate behind the page title (y 45..77 on screen).
    Plate(cr, 40, 8, 380, 54, 16, Hex(0x284069), Hex(0x0E1A31), Hex(0x050A14));
    // Frame with a lit edge.
    RoundRect(cr, 3, 3, 454, 534, 22);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
    cairo_set_line_width(cr, 4);
    cairo_stroke(cr);
    RoundRect(cr, 6, 6, 448, 528, 19);
    SetRgb(cr, kAccent, 0.65);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    cairo_move_to(cr, 60, 112);
    cairo_line_to(cr, 400, 112);
    cairo_pattern_t* l = cairo_pattern_create_linear(60, 0, 400, 0);
    cairo_pattern_add_color_stop_rgba(l, 0, 0.24, 0.82, 1, 0);
    cairo_pattern_add_color_stop_rgba(l, 0.5, 0.24, 0.82, 1, 0.6);
    cairo_pattern_add_color_stop_rgba(l, 1, 0.24, 0.82, 1, 0);
    cairo_set_source(cr, l);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_pattern_destroy(l);
  });
  WriteSpr(pack, kGz + "menu_panel.spr",
           Spr{"x=170,y=30,z=20", {}}.Group(
               {Part("menu_panel.png", "texture_size=256,border=0,alpha=255")}));
  Image(pack, kMenu + "help_backdrop.png", 420, 374, [](cairo_t* cr) {
    RoundRect(cr, 1, 1, 418, 372, 14);
    cairo_set_source_rgba(cr, 0.45, 0.65, 0.95, 0.10);
    cairo_fill_preserve(cr);
    SetRgb(cr, kAccent, 0.3);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  });
  WriteSpr(pack, kMenu + "help_backdrop.spr",
           Spr{"z=30", {}}.Group({Part("help_backdrop.png", "texture_size=128,border=0")}));
}

void Loading(Pack& pack) {
  Image(pack, kGz + "loading_element.png", 502, 24, [](cairo_t* cr) {
    Plate(cr, 0.5, 0.5, 501, 23, 8, Hex(0x2C4266), Hex(0x101B30), Hex(0x04080F));
    RoundRect(cr, 28, 4, 464, 16, 5);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
    cairo_fill(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
    cairo_rectangle(cr, 30, 6, 460, 14);
    cairo_fill(cr);
  });
  WriteSpr(
      pack, kGz + "loading_element.spr",
      Spr{"x=140,y=326,z=25", {}}.Group({Part("loading_element.png", "texture_size=64,border=0")}));
  Image(pack, kGz + "loading_element_polosa.png", 12, 12, [](cairo_t* cr) {
    RoundRect(cr, 0.5, 0.5, 10.5, 11, 2);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 12);
    AddStop(g, 0, Hex(0xC8F6FF));
    AddStop(g, 0.5, Hex(0x3CD2FF));
    AddStop(g, 1, Hex(0x1470C0));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  });
  WriteSpr(pack, kGz + "loading_element_polosa.spr",
           Spr{"z=20", {}}.Group({Part("loading_element_polosa.png", "texture_size=16,border=0")}));
}

// The logo emblem, 220 x 108: a glass orb holding the seven balls, crossed by a chrome ring.
void DrawEmblem(cairo_t* cr) {
  const double cx = 110, cy = 54, r = 52;
  // Back half of the ring.
  auto ring = [&](bool front) {
    cairo_save(cr);
    cairo_rectangle(cr, 0, front ? cy : 0, 220, 54);
    cairo_clip(cr);
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, 108, 15);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, cy - 15, 0, cy + 15);
    AddStop(g, 0, Hex(0xF0F8FF));
    AddStop(g, 0.5, Hex(0x6C86B0));
    AddStop(g, 1, Hex(0x24304A));
    cairo_set_source(cr, g);
    cairo_set_line_width(cr, 5);
    cairo_stroke(cr);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
  };
  ring(false);
  GlossySphere(cr, cx, cy, r, Hex(0x1A4FA8), false);
  // The seven balls in a hexagonal cluster inside the glass.
  const double br = 13.5;
  const double pos[7][2] = {{0, 0}, {-28, 0}, {28, 0}, {-14, -24}, {14, -24}, {-14, 24}, {14, 24}};
  const int colour[7] = {7, 1, 4, 2, 3, 5, 6};
  for (int k = 0; k < 7; ++k) {
    GlossySphere(cr, cx + pos[k][0], cy + pos[k][1], br, BallColour(colour[k]));
  }
  // Glass over them.
  cairo_pattern_t* glass = cairo_pattern_create_radial(cx - 18, cy - 24, 4, cx, cy, r);
  cairo_pattern_add_color_stop_rgba(glass, 0, 1, 1, 1, 0.45);
  cairo_pattern_add_color_stop_rgba(glass, 0.45, 1, 1, 1, 0.04);
  cairo_pattern_add_color_stop_rgba(glass, 0.9, 0.3, 0.7, 1, 0.18);
  cairo_pattern_add_color_stop_rgba(glass, 1, 0.6, 0.9, 1, 0.6);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_set_source(cr, glass);
  cairo_fill(cr);
  cairo_pattern_destroy(glass);
  cairo_arc(cr, cx, cy, r - 0.5, 0, 2 * M_PI);
  cairo_set_source_rgba(cr, 0.7, 0.95, 1, 0.8);
  cairo_set_line_width(cr, 1.2);
  cairo_stroke(cr);
  ring(true);
}

void Logo(Pack& pack) {
  Canvas emblem(220, 108);
  DrawEmblem(emblem.cr());
  for (int half = 0; half < 2; ++half) {
    const std::string name = half == 0 ? "bubble_top" : "bubble_bottom";
    Canvas c(220, 54);
    c.Blit(emblem, 0, -54.0 * half);
    c.Save(pack, kLogo + name + ".png");
    WriteSpr(pack, kLogo + name + ".spr",
             Spr{std::string("x=290,y=") + (half == 0 ? "57" : "259") + ",z=31,alpha=0", {}}.Group(
                 {Part(name + ".png", "texture_size=64,border=1")}));
  }
  // Orbit: a static ring and a light running along it (part 0, 32 frames).
  const double ocx = 160, ocy = 75, orx = 150, ory = 40, tilt = -0.16;
  auto orbit_point = [&](double a, double& x, double& y) {
    const double ex = cos(a) * orx, ey = sin(a) * ory;
    x = ocx + ex * cos(tilt) - ey * sin(tilt);
    y = ocy + ex * sin(tilt) + ey * cos(tilt);
  };
  Image(pack, kLogo + "orbit_ring.png", 320, 150, [&](cairo_t* cr) {
    cairo_save(cr);
    cairo_translate(cr, ocx, ocy);
    cairo_rotate(cr, tilt);
    cairo_scale(cr, orx, ory);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    cairo_set_source_rgba(cr, 0.45, 0.85, 1, 0.55);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
  });
  Sheet(pack, kLogo + "orbit_light.png", 32, 4, 320, 150, [&](cairo_t* cr, int f) {
    for (int k = 0; k < 6; ++k) {
      double x, y;
      orbit_point(f * 2 * M_PI / 32 - k * 0.06, x, y);
      Glow(cr, x, y, 9 - k, Hex(0xBFF4FF), 0.9 - k * 0.13);
    }
    double x, y;
    orbit_point(f * 2 * M_PI / 32, x, y);
    Glow(cr, x, y, 3, Hex(0xFFFFFF), 1.0);
  });
  WriteSpr(
      pack, kLogo + "earth_traectory.spr",
      Spr{"x=240,y=110,z=32", {}}
          .Group({Part("orbit_light.png",
                       "frame_width=320,frame_height=150,texture_size=64,border=0,anim_speed=30,"
                       "anim_loop=1,z=1")})
          .Group({Part("orbit_ring.png", "texture_size=64,border=0,z=0")}));
  // Flash over the emblem: a bright burst that settles into a soft pulse (loops).
  Sheet(pack, kLogo + "earth_flash.png", 16, 4, 220, 108, [](cairo_t* cr, int f) {
    const double t = f / 15.0;
    const double a = t < 0.25 ? t / 0.25 : std::max(0.0, 1 - (t - 0.25) / 0.75);
    Glow(cr, 110, 54, 30 + 70 * t, Hex(0xBFEFFF), 0.75 * a);
    cairo_set_line_width(cr, 2);
    for (int k = 0; k < 8; ++k) {
      const double ang = k * M_PI / 4 + 0.3;
      const double l = 20 + 60 * t;
      cairo_move_to(cr, 110 + cos(ang) * l * 0.3, 54 + sin(ang) * l * 0.3 * 0.5);
      cairo_line_to(cr, 110 + cos(ang) * l, 54 + sin(ang) * l * 0.5);
      cairo_set_source_rgba(cr, 0.8, 0.95, 1, 0.6 * a);
      cairo_stroke(cr);
    }
  });
  WriteSpr(pack, kLogo + "earth_flash.spr",
           Spr{"x=290,y=131,z=33", {}}.Group(
               {Part("earth_flash.png",
                     "frame_width=220,frame_height=108,texture_size=64,border=0,anim_speed=30,"
                     "anim_loop=1,alpha_mode=1")}));
  // Title with a shine sweeping across it.
  auto title_path = [](cairo_t* cr) {
    cairo_save(cr);
    cairo_set_font_face(cr, nullptr);
    cairo_restore(cr);
  };
  (void)title_path;
  Image(pack, kLogo + "flash_text_base.png", 360, 60, [](cairo_t* cr) {
    Caption(cr, Face::Bold, 50, 180, 50, "QUORVEX", 1, Hex(0x06101E), 7, Hex(0x06101E));
    cairo_save(cr);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 10, 0, 52);
    AddStop(g, 0, Hex(0xFFFFFF));
    AddStop(g, 0.5, Hex(0x9FE6FF));
    AddStop(g, 0.55, Hex(0x3C9CE0));
    AddStop(g, 1, Hex(0xBFEFFF));
    cairo_push_group(cr);
    Caption(cr, Face::Bold, 50, 180, 50, "QUORVEX", 1, {1, 1, 1}, 2.5, Hex(0x1A3A6A));
    cairo_pattern_t* text = cairo_pop_group(cr);
    cairo_set_source(cr, g);
    cairo_mask(cr, text);
    cairo_pattern_destroy(text);
    cairo_pattern_destroy(g);
    cairo_restore(cr);
  });
  Sheet(pack, kLogo + "flash_text_shine.png", 16, 2, 360, 60, [](cairo_t* cr, int f) {
    cairo_push_group(cr);
    Caption(cr, Face::Bold, 50, 180, 50, "QUORVEX", 1, {1, 1, 1});
    cairo_pattern_t* text = cairo_pop_group(cr);
    const double x = -60 + f * 30;
    cairo_pattern_t* band = cairo_pattern_create_linear(x - 25, 0, x + 25, 0);
    cairo_pattern_add_color_stop_rgba(band, 0, 1, 1, 1, 0);
    cairo_pattern_add_color_stop_rgba(band, 0.5, 1, 1, 1, 0.85);
    cairo_pattern_add_color_stop_rgba(band, 1, 1, 1, 1, 0);
    cairo_set_source(cr, band);
    cairo_mask(cr, text);
    cairo_pattern_destroy(band);
    cairo_pattern_destroy(text);
  });
  WriteSpr(
      pack, kLogo + "flash_text.spr",
      Spr{"x=220,y=250,z=34", {}}
          .Group({Part("flash_text_shine.png",
                       "frame_width=360,frame_height=60,texture_size=64,border=0,anim_speed=20,"
                       "anim_loop=1,alpha_mode=1,z=1")})
          .Group({Part("flash_text_base.png", "texture_size=64,border=0,z=0")}));
}

// ---- menu buttons

void MenuButtonFace(cairo_t* cr, double w, double h, int state, const std::string& caption) {
  ButtonFace(cr, 0, 0, w, h, state, h / 2 - 4);
  if (!caption.empty()) {
    Caption(cr, Face::Bold, 17, w / 2, h / 2 + 6.5 + (state == 2 ? 1 : 0), caption, 1,
            state == 1 ? Hex(0xFFE890) : Hex(0xEAF6FF), 3, Hex(0x06101E));
  }
}

void MenuButtons(Pack& pack) {
  const std::string cut = "texture_size=64,border=0";
  const std::pair<std::string, std::string> captioned[] = {{"button_start", "START GAME"},
                                                           {"button_options", "OPTIONS"},
                                                           {"button_scores", "HIGH SCORES"},
                                                           {"button_help", "HELP"},
                                                           {"button_exit", "EXIT"},
                                                           {"button_arcade", ""},
                                                           {"button_challenge", ""},
                                                           {"button_puzzle", ""},
                                                           {"button_back", ""}};
  for (const auto& [name, caption] : captioned) {
    // The blank row buttons share one set of images.
    const std::string base = caption.empty() ? "button_blank" : name;
    std::vector<std::string> parts;
    if (caption.empty() && name != "button_arcade") {
      for (int s = 0; s < 3; ++s)
        parts.push_back(Part("button_blank_" + std::to_string(s) + ".png", cut));
    } else {
      // Named: clang 14 lets no lambda capture a structured binding.
      const std::string& label = caption;
      parts = States(pack, kMenu, base, 3, 227, 45, cut,
                     [&](cairo_t* cr, int s) { MenuButtonFace(cr, 227, 45, s, label); });
    }
    WriteSpr(pack, kMenu + name + ".spr", Spr{"z=185", {}}.Group(parts));
  }
  // Volume rows: "-" end, empty track in the middle, "+" end.
  for (const std::string kind : {"music", "sound"}) {
    const auto parts =
        States(pack, kMenu, "button_body_" + kind, 3, 227, 47, cut, [](cairo_t* cr, int s) {
          ButtonFace(cr, 0, 0, 227, 47, s, 18);
          Caption(cr, Face::Bold, 24, 24, 33, "-", 1, Hex(0xEAF6FF), 3, Hex(0x06101E));
          Caption(cr, Face::Bold, 22, 203, 32, "+", 1, Hex(0xEAF6FF), 3, Hex(0x06101E));
          RoundRect(cr, 72, 36, 82, 12, 3);
          cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
          cairo_fill(cr);
          for (int i = 0; i < 13; ++i) {
            cairo_rectangle(cr, 74 + 6 * i, 38, 5, 8);
            cairo_set_source_rgba(cr, 0.3, 0.5, 0.8, 0.18);
            cairo_fill(cr);
          }
        });
    WriteSpr(pack, kMenu + "button_body_" + kind + ".spr", Spr{"z=185", {}}.Group(parts));
  }
  // On/off rows: 0 on, 1 on + hovered, 2 off, 3 off + hovered.
  const auto lamp = States(pack, kMenu, "button_lamp", 4, 227, 45, cut, [](cairo_t* cr, int s) {
    const bool on = s < 2;
    ButtonFace(cr, 0, 0, 227, 45, (s % 2) ? 1 : 0, 18.5);
    RoundRect(cr, 93, 33, 42, 7, 3.5);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
    cairo_fill(cr);
    if (on) {
      Glow(cr, 114, 36.5, 24, Hex(0x5CFF7A), 0.45);
      RoundRect(cr, 94.5, 34.5, 39, 4, 2);
      cairo_set_source_rgb(cr, 0.55, 1, 0.6);
      cairo_fill(cr);
    } else {
      RoundRect(cr, 94.5, 34.5, 39, 4, 2);
      cairo_set_source_rgb(cr, 0.35, 0.12, 0.12);
      cairo_fill(cr);
    }
  });
  WriteSpr(pack, kMenu + "button_fullscreen.spr", Spr{"z=185", {}}.Group(lamp));
  WriteSpr(pack, kMenu + "button_tips.spr", Spr{"z=185", {}}.Group(lamp));

  // Moving end pieces: chevrons that pulse inwards while the row is hovered.
  auto chevrons = [](cairo_t* cr, double w, double h, int v, bool right, double scale) {
    if (right) {
      cairo_translate(cr, w, 0);
      cairo_scale(cr, -1, 1);
    }
    const bool active = v >= 2;
    const double shift = active ? (v - 2) * 2.0 * scale : 0;
    for (int k = 0; k < 2; ++k) {
      const double x = (4 + k * 6) * scale + shift;
      cairo_move_to(cr, x, h / 2 - 6 * scale);
      cairo_line_to(cr, x + 5 * scale, h / 2);
      cairo_line_to(cr, x, h / 2 + 6 * scale);
    }
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, 2.2 * scale);
    if (active) {
      const double a = 0.55 + 0.15 * (v - 2);
      cairo_set_source_rgba(cr, 1, 0.9, 0.5, a);
    } else {
      cairo_set_source_rgba(cr, 0.5, 0.85, 1, 0.4);
    }
    cairo_stroke(cr);
  };
  for (const auto& [name, w, h, rx, scale] :
       {std::tuple<std::string, int, int, int, double>{"movepart", 32, 45, 195, 1.0},
        std::tuple<std::string, int, int, int, double>{"movepart_mini", 20, 30, 151, 0.7}}) {
    std::vector<std::string> left, right;
    for (int v = 0; v < 6; ++v) {
      const int img = v == 1 ? 0 : v;
      const std::string l = name + "_l" + std::to_string(img) + ".png";
      const std::string r = name + "_r" + std::to_string(img) + ".png";
      if (v != 1) {
        const int iw = w, ih = h;
        const double k = scale;
        Image(pack, kMenu + l, iw, ih, [&](cairo_t* cr) { chevrons(cr, iw, ih, v, false, k); });
        Image(pack, kMenu + r, iw, ih, [&](cairo_t* cr) { chevrons(cr, iw, ih, v, true, k); });
      }
      left.push_back(Part(l, "texture_size=64,border=0"));
      right.push_back(Part(r, "texture_size=64,border=0,x=" + std::to_string(rx)));
    }
    WriteSpr(pack, kMenu + name + ".spr", Spr{"z=190", {}}.Group(left).Group(right));
  }
  WriteSpr(pack, kMenu + "button_ok_mini.spr",
           Spr{"z=190", {}}.Group(
               States(pack, kMenu, "button_ok_mini", 3, 171, 30, cut, [](cairo_t* cr, int s) {
                 ButtonFace(cr, 0, 0, 171, 30, s, 11);
                 Caption(cr, Face::Bold, 15, 85.5, 21 + (s == 2 ? 1 : 0), "OK", 1,
                         s == 1 ? Hex(0xFFE890) : Hex(0xEAF6FF), 3, Hex(0x06101E));
               })));
  for (int dir = 0; dir < 2; ++dir) {
    const std::string name = dir == 0 ? "repair_left" : "repair_right";
    WriteSpr(pack, kMenu + name + ".spr",
             Spr{"z=190", {}}.Group(States(
                 pack, kMenu, name, 3, 14, 27, "texture_size=32,border=0", [&](cairo_t* cr, int s) {
                   const double l = dir == 0 ? 12.5 : 1.5;
                   const double t = dir == 0 ? 1.5 : 12.5;
                   cairo_move_to(cr, l, 1.5);
                   cairo_line_to(cr, t, 13.5);
                   cairo_line_to(cr, l, 25.5);
                   cairo_close_path(cr);
                   SetRgb(cr, s == 1 ? Hex(0xFFE070) : (s == 2 ? Hex(0x1E8EC0) : kAccent));
                   cairo_fill_preserve(cr);
                   cairo_set_source_rgb(cr, 0.02, 0.05, 0.1);
                   cairo_set_line_width(cr, 1.4);
                   cairo_stroke(cr);
                 })));
  }
  // Help demonstration pieces share the ball and cannon images.
  for (int n : {2, 3, 4}) {
    WriteSpr(pack, kMenu + "ball" + std::to_string(n) + "_mini.spr",
             Spr{"z=60,scale=0.75", {}}.Group({Part(
                 "..\\balls\\ball" + std::to_string(n) + "\\ball" + std::to_string(n) + "_body.png",
                 "frame_width=34,frame_height=34,texture_size=64,border=1,anim_speed=0")}));
  }
  WriteSpr(
      pack, kMenu + "canon2_mini.spr",
      Spr{"z=60,scale=0.5,rot_center_x=22.75,rot_center_y=47.25", {}}.Group({Part(
          "..\\elements_gamezone\\canon_body.png",
          "frame_width=91,frame_height=136,texture_size=128,border=1,anim_speed=30,anim_loop=0")}));
  Image(pack, kMenu + "scores_poloska_vert.png", 10, 80, [](cairo_t* cr) {
    RoundRect(cr, 0.5, 0.5, 9, 79, 3);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
    cairo_fill(cr);
    RoundRect(cr, 2, 30, 6, 48, 2);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 78, 0, 30);
    AddStop(g, 0, Hex(0x1FA8FF));
    AddStop(g, 1, Hex(0x5CFF8A));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  });
  WriteSpr(pack, kMenu + "scores_poloska_vert.spr",
           Spr{"z=60", {}}.Group({Part("scores_poloska_vert.png", "texture_size=16,border=0")}));
  Image(pack, "graphics\\musicsoundfullscreen\\music_sound_step.png", 6, 9, [](cairo_t* cr) {
    cairo_rectangle(cr, 0, 0, 5, 9);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 9);
    AddStop(g, 0, Hex(0xD8FBFF));
    AddStop(g, 1, Hex(0x2CB8F0));
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  });
  WriteSpr(
      pack, "graphics\\musicsoundfullscreen\\music_sound_poloska.spr",
      Spr{"width=6,z=195", {}}.Group({Part("music_sound_step.png", "texture_size=16,border=0")}));
}

// ---- dialogs

void DialogPanel(cairo_t* cr, double w, double h) {
  cairo_save(cr);
  RoundRect(cr, 4, 6, w - 6, h - 7, 18);
  cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
  cairo_fill(cr);
  RoundRect(cr, 2, 2, w - 4, h - 4, 18);
  cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, h);
  cairo_pattern_add_color_stop_rgba(g, 0, 0.16, 0.26, 0.44, 0.97);
  cairo_pattern_add_color_stop_rgba(g, 0.18, 0.08, 0.14, 0.27, 0.97);
  cairo_pattern_add_color_stop_rgba(g, 1, 0.04, 0.07, 0.15, 0.97);
  cairo_set_source(cr, g);
  cairo_fill(cr);
  cairo_pattern_destroy(g);
  RoundRect(cr, 2, 2, w - 4, h - 4, 18);
  cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  RoundRect(cr, 5, 5, w - 10, h - 10, 15);
  SetRgb(cr, kAccent, 0.7);
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  cairo_restore(cr);
}

void Dialogs(Pack& pack) {
  const std::pair<std::string, std::string> buttons[] = {
      {"panel_ok", "OK"},         {"panel_yes", "YES"},      {"panel_no", "NO"},
      {"panel_menu", "MENU"},     {"panel_later", "LATER"},  {"panel_cancel", "CANCEL"},
      {"panel_delete", "DELETE"}, {"panel_rename", "RENAME"}};
  for (const auto& [name, caption] : buttons) {
    const std::string& label = caption;
    WriteSpr(pack, kDlg + name + ".spr",
             Spr{"z=1002", {}}.Group(States(
                 pack, kDlg, name, 3, 96, 32, "texture_size=64,border=0", [&](cairo_t* cr, int s) {
                   ButtonFace(cr, 0, 0, 96, 32, s, 11);
                   Caption(cr, Face::Bold, 14, 48, 21 + (s == 2 ? 1 : 0), label, 1,
                           s == 1 ? Hex(0xFFE890) : Hex(0xEAF6FF), 2.6, Hex(0x06101E));
                 })));
  }
  Image(pack, kDlg + "dialog_panel.png", 400, 200, [](cairo_t* cr) { DialogPanel(cr, 400, 200); });
  WriteSpr(pack, kDlg + "dialog_panel.spr",
           Spr{"z=1000", {}}.Group({Part("dialog_panel.png", "texture_size=128,border=0")}));
  Image(pack, kDlg + "dialog_panel_big.png", 540, 380,
        [](cairo_t* cr) { DialogPanel(cr, 540, 380); });
  WriteSpr(pack, kDlg + "dialog_panel_big.spr",
           Spr{"z=1000", {}}.Group({Part("dialog_panel_big.png", "texture_size=128,border=0")}));
  Image(pack, kDlg + "stat_poloska.png", 520, 110, [](cairo_t* cr) {
    RoundRect(cr, 1, 1, 518, 108, 12);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 520, 0);
    cairo_pattern_add_color_stop_rgba(g, 0, 0.2, 0.7, 1, 0.05);
    cairo_pattern_add_color_stop_rgba(g, 0.5, 0.2, 0.7, 1, 0.22);
    cairo_pattern_add_color_stop_rgba(g, 1, 0.2, 0.7, 1, 0.05);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    SetRgb(cr, kAccent, 0.45);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  });
  WriteSpr(pack, kDlg + "stat_poloska.spr",
           Spr{"z=1004", {}}.Group({Part("stat_poloska.png", "texture_size=64,border=0")}));
  WriteSpr(pack, kDlg + "checkbox.spr",
           Spr{"z=1002", {}}.Group(States(pack, kDlg, "checkbox", 2, 300, 24,
                                          "texture_size=32,border=0", [](cairo_t* cr, int s) {
                                            RoundRect(cr, 1.5, 1.5, 21, 21, 4);
                                            cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
                                            cairo_fill_preserve(cr);
                                            SetRgb(cr, kAccent, 0.9);
                                            cairo_set_line_width(cr, 1.5);
                                            cairo_stroke(cr);
                                            if (s == 1) {
                                              cairo_move_to(cr, 6, 12);
                                              cairo_line_to(cr, 10.5, 17);
                                              cairo_line_to(cr, 19, 5.5);
                                              cairo_set_source_rgb(cr, 0.5, 1, 0.6);
                                              cairo_set_line_width(cr, 3);
                                              cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
                                              cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
                                              cairo_stroke(cr);
                                            }
                                          })));
  Image(pack, kDlg + "marker.png", 334, 22, [](cairo_t* cr) {
    RoundRect(cr, 0.5, 0.5, 333, 21, 6);
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, 22);
    cairo_pattern_add_color_stop_rgba(g, 0, 0.4, 0.85, 1, 0.55);
    cairo_pattern_add_color_stop_rgba(g, 1, 0.1, 0.45, 0.8, 0.45);
    cairo_set_source(cr, g);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(g);
    cairo_set_source_rgba(cr, 0.7, 0.95, 1, 0.9);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  });
  WriteSpr(pack, kDlg + "marker.spr",
           Spr{"z=1004", {}}.Group({Part("marker.png", "texture_size=32,border=0")}));
  for (int up = 0; up < 2; ++up) {
    const std::string name = up ? "scroller_up" : "scroller_down";
    WriteSpr(pack, kDlg + name + ".spr",
             Spr{"z=1003", {}}.Group(States(pack, kDlg, name, 3, 20, 20, "texture_size=32,border=0",
                                            [&](cairo_t* cr, int s) {
                                              ButtonFace(cr, 0, 0, 20, 20, s, 5);
                                              const double a = up ? 6.5 : 13.5, b = up ? 13.5 : 6.5;
                                              cairo_move_to(cr, 5, b);
                                              cairo_line_to(cr, 10, a);
                                              cairo_line_to(cr, 15, b);
                                              cairo_close_path(cr);
                                              SetRgb(cr, s == 1 ? Hex(0xFFE890) : Hex(0xEAF6FF));
                                              cairo_fill(cr);
                                            })));
  }
  Image(pack, kDlg + "scroller_bar.png", 16, 20, [](cairo_t* cr) {
    Plate(cr, 1, 1, 14, 18, 4, Hex(0x7FC8F0), Hex(0x2A6EA8), Hex(0x06101E));
  });
  WriteSpr(pack, kDlg + "scroller_bar.spr",
           Spr{"z=1003", {}}.Group({Part("scroller_bar.png", "texture_size=32,border=0")}));
  Image(pack, kDlg + "scroller_track.png", 16, 150, [](cairo_t* cr) {
    RoundRect(cr, 2, 0.5, 12, 149, 5);
    cairo_set_source_rgb(cr, 0.02, 0.04, 0.08);
    cairo_fill_preserve(cr);
    SetRgb(cr, kAccent, 0.35);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
  });
  WriteSpr(pack, kDlg + "scroller_track.spr",
           Spr{"z=1002", {}}.Group({Part("scroller_track.png", "texture_size=32,border=0")}));
  Sheet(pack, kDlg + "rename_cursor.png", 2, 2, 3, 24, [](cairo_t* cr, int f) {
    if (f == 0) {
      cairo_rectangle(cr, 0, 0, 3, 24);
      cairo_set_source_rgb(cr, 1, 0.9, 0.5);
      cairo_fill(cr);
    }
  });
  WriteSpr(pack, kDlg + "rename_cursor.spr",
           Spr{"z=1010", {}}.Group({Part("rename_cursor.png",
                                         "frame_width=3,frame_height=24,texture_size=32,border=0,"
                                         "anim_speed=2,anim_loop=1")}));
  Image(pack, kDlg + "player_list_box.png", 346, 178, [](cairo_t* cr) {
    RoundRect(cr, 1, 1, 344, 176, 8);
    cairo_set_source_rgba(cr, 0.01, 0.03, 0.07, 0.9);
    cairo_fill_preserve(cr);
    SetRgb(cr, kAccent, 0.5);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    for (int j = 1; j < 7; ++j) {
      cairo_rectangle(cr, 8, 6 + 24 * j - 1, 330, 1);
      cairo_set_source_rgba(cr, 0.4, 0.6, 0.9, 0.12);
      cairo_fill(cr);
    }
  });
  WriteSpr(pack, kDlg + "player_list_box.spr",
           Spr{"z=1001", {}}.Group({Part("player_list_box.png", "texture_size=64,border=0")}));
}

}  // namespace

void WriteMenuArt(Pack& pack) {
  Backdrops(pack);
  Loading(pack);
  Logo(pack);
  MenuButtons(pack);
  Dialogs(pack);
}

}  // namespace packgen
