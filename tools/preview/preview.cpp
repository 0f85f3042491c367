// quorvex_preview: a developer's look at the generated pack without the engine.
//   quorvex_preview PACK OUT.png sheet SCALE IMAGE...        contact sheet of images
//   quorvex_preview PACK OUT.png scene SCRIPT                composes sprites like the game
// A scene script line: "map NAME.map", or "spr PATH X Y [Z] [g=v ...] [frame=N] [alpha=A]
// [color=RRGGBB] [scale=S] [angle=DEG]", or "text FILE" (lays a text file out with its fonts).
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string root;

std::string Host(std::string p) {
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  return root + "/" + p;
}

std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(Host(path), std::ios::binary);
  std::string all((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> out;
  std::string cur;
  for (char c : all) {
    if (c == '\r') continue;
    if (c == '\n') {
      out.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

std::map<std::string, std::string> Fields(const std::string& line, std::string* first) {
  std::map<std::string, std::string> kv;
  std::stringstream ss(line);
  std::string f;
  bool head = true;
  while (std::getline(ss, f, ',')) {
    const size_t eq = f.find('=');
    if (head && first) {
      *first = f;
      head = false;
      continue;
    }
    head = false;
    if (eq != std::string::npos) kv[f.substr(0, eq)] = f.substr(eq + 1);
  }
  return kv;
}

double Num(const std::map<std::string, std::string>& kv, const std::string& k, double d) {
  auto it = kv.find(k);
  if (it == kv.end()) return d;
  std::string v = it->second;
  if (!v.empty() && v[0] == '$') return std::stoul(v.substr(1), nullptr, 16);
  if (v.rfind("0x", 0) == 0) return std::stoul(v.substr(2), nullptr, 16);
  return std::stod(v);
}

struct PartDef {
  std::string image;
  double x = 0, y = 0, alpha = 255, scale = 1;
  int z = 0, fw = 0, fh = 0, group = 0, mode = 0;
  uint32_t color = 0xFFFFFF;
};
struct SprDef {
  double x = 0, y = 0, alpha = 255, scale = 1;
  int z = 0;
  std::vector<PartDef> parts;
  std::vector<std::pair<int, int>> groups;  // first part, count
};

std::map<std::string, cairo_surface_t*> images;
cairo_surface_t* Img(const std::string& path) {
  auto it = images.find(path);
  if (it != images.end()) return it->second;
  cairo_surface_t* s = cairo_image_surface_create_from_png(Host(path).c_str());
  if (cairo_surface_status(s) != CAIRO_STATUS_SUCCESS) {
    std::fprintf(stderr, "missing image %s\n", path.c_str());
  }
  images[path] = s;
  return s;
}

std::string Resolve(const std::string& dir, const std::string& name) {
  std::string p = dir + name;
  size_t pos;
  while ((pos = p.find("\\..\\")) != std::string::npos) {
    const size_t cut = p.rfind('\\', pos - 1);
    p = (cut == std::string::npos ? std::string() : p.substr(0, cut + 1)) + p.substr(pos + 4);
  }
  return p;
}

SprDef LoadSpr(const std::string& path) {
  SprDef d;
  const std::string dir = path.substr(0, path.rfind('\\') + 1);
  int expect = 0, group = -1;
  bool common = true;
  for (std::string line : Lines(path)) {
    const size_t sc = line.find(';');
    if (sc != std::string::npos) line = line.substr(0, sc);
    if (line.empty()) continue;
    if (common) {
      auto kv = Fields("," + line, nullptr);
      d.x = Num(kv, "x", 0);
      d.y = Num(kv, "y", 0);
      d.z = static_cast<int>(Num(kv, "z", 0));
      d.alpha = Num(kv, "alpha", 255);
      d.scale = Num(kv, "scale", 1);
      common = false;
      continue;
    }
    if (expect == 0) {
      expect = std::stoi(line);
      d.groups.push_back({static_cast<int>(d.parts.size()), expect});
      ++group;
      continue;
    }
    std::string img;
    auto kv = Fields(line, &img);
    PartDef p;
    p.image = Resolve(dir, img);
    p.x = Num(kv, "x", 0);
    p.y = Num(kv, "y", 0);
    p.z = static_cast<int>(Num(kv, "z", 0));
    p.alpha = Num(kv, "alpha", 255);
    p.fw = static_cast<int>(Num(kv, "frame_width", 0));
    p.fh = static_cast<int>(Num(kv, "frame_height", 0));
    p.scale = Num(kv, "scale", 1);
    p.mode = static_cast<int>(Num(kv, "alpha_mode", 0));
    p.color = static_cast<uint32_t>(Num(kv, "color", 0xFFFFFF));
    p.group = group;
    d.parts.push_back(p);
    --expect;
  }
  return d;
}

struct Quad {
  int z;
  int order;
  std::function<void(cairo_t*)> draw;
};
std::vector<Quad> quads;
int order_counter = 0;

void AddObject(const std::string& spr_path, double x, double y, int z_override, bool has_z,
               const std::map<int, int>& variants, int frame, double alpha, uint32_t color,
               double scale, double angle, bool place_default) {
  std::string path = spr_path;
  if (path.size() < 4 || path.substr(path.size() - 4) != ".spr") path += ".spr";
  SprDef d = LoadSpr(path);
  if (place_default) {
    x = d.x;
    y = d.y;
  }
  const int z = has_z ? z_override : d.z;
  if (scale <= 0) scale = d.scale;
  for (size_t gi = 0; gi < d.groups.size(); ++gi) {
    int v = 0;
    auto it = variants.find(static_cast<int>(gi));
    if (it != variants.end()) v = it->second;
    if (v < 0 || v >= d.groups[gi].second) continue;
    const PartDef p = d.parts[d.groups[gi].first + v];
    const int f = (gi == 0 || variants.count(-1)) ? frame : 0;
    // An alpha the code sets replaces the definition's.
    const double a = (alpha != 255 ? alpha : d.alpha) / 255.0 * p.alpha / 255.0;
    ++order_counter;
    quads.push_back({z + p.z, -order_counter, [=](cairo_t* cr) {
                       cairo_surface_t* s = Img(p.image);
                       const int iw = cairo_image_surface_get_width(s),
                                 ih = cairo_image_surface_get_height(s);
                       const int fw = p.fw ? p.fw : iw, fh = p.fh ? p.fh : ih;
                       const int cols = std::max(1, iw / fw);
                       const int fx = (f % cols) * fw, fy = (f / cols) * fh;
                       cairo_save(cr);
                       cairo_translate(cr, x, y);
                       if (angle != 0) {
                         cairo_translate(cr, 17, 17);
                         cairo_rotate(cr, -angle * M_PI / 180);
                         cairo_translate(cr, -17, -17);
                       }
                       cairo_translate(cr, p.x * scale, p.y * scale);
                       cairo_scale(cr, scale * p.scale, scale * p.scale);
                       cairo_rectangle(cr, 0, 0, fw, fh);
                       cairo_clip(cr);
                       if (p.mode) cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
                       const uint32_t c = color != 0xFFFFFF ? color : p.color;
                       if (c != 0xFFFFFF) {
                         // Multiply tint: draw, then multiply with the colour inside the image's
                         // alpha.
                         cairo_push_group(cr);
                         cairo_set_source_surface(cr, s, -fx, -fy);
                         cairo_paint(cr);
                         cairo_set_operator(cr, CAIRO_OPERATOR_MULTIPLY);
                         cairo_set_source_rgb(cr, ((c >> 16) & 255) / 255.0,
                                              ((c >> 8) & 255) / 255.0, (c & 255) / 255.0);
                         cairo_paint(cr);
                         cairo_set_operator(cr, CAIRO_OPERATOR_DEST_IN);
                         cairo_set_source_surface(cr, s, -fx, -fy);
                         cairo_paint(cr);
                         cairo_pop_group_to_source(cr);
                         cairo_paint_with_alpha(cr, a);
                       } else {
                         cairo_set_source_surface(cr, s, -fx, -fy);
                         cairo_paint_with_alpha(cr, a);
                       }
                       cairo_restore(cr);
                     }});
  }
}

void LoadMap(const std::string& map) {
  auto lines = Lines(map);
  const int n = std::stoi(lines[0]);
  std::vector<std::string> paths(lines.begin() + 1, lines.begin() + 1 + n);
  const int m = std::stoi(lines[1 + n]);
  for (int i = 0; i < m; ++i) {
    std::stringstream ss(lines[2 + n + i]);
    std::string a, b, c, d;
    std::getline(ss, a, ',');
    std::getline(ss, b, ',');
    std::getline(ss, c, ',');
    const bool hz = static_cast<bool>(std::getline(ss, d, ','));
    AddObject(paths[std::stoi(a)], std::stoi(b), std::stoi(c), hz ? std::stoi(d) : 0, hz, {}, 0,
              255, 0xFFFFFF, 0, 0, false);
  }
}

// Reads a .pos file: spacing, widths and frames per code.
struct Metrics {
  double spacing = 0;
  std::map<int, std::pair<int, int>> glyph;  // code -> width, frame
};
Metrics LoadPos(const std::string& font) {
  Metrics m;
  bool first = true;
  int code = 0, frame = 0;
  for (std::string line : Lines(font.substr(0, font.size() - 3) + "pos")) {
    if (!line.empty() && line[0] == ';') continue;
    if (first) {
      m.spacing = std::stod(line);
      first = false;
    } else if (!line.empty() && line[0] == '#') {
      code = std::stoi(line.substr(1));
    } else if (!line.empty()) {
      m.glyph[code++] = {std::stoi(line), frame++};
    }
  }
  return m;
}

void LayText(const std::string& file, const std::vector<std::string>& params) {
  std::string font;
  double size = 0, x = 0, y = 0, leading = 0;
  int z = 0;
  uint32_t color = 0xFFFFFF;
  std::string align = "center";
  bool block = false;
  for (std::string line : Lines(file)) {
    if (!block) {
      if (line.empty() || line[0] == ';') continue;
      if (line == "#begin") {
        block = true;
        continue;
      }
      const size_t eq = line.find('=');
      if (eq == std::string::npos) continue;
      const std::string k = line.substr(0, eq), v = line.substr(eq + 1);
      if (k == "font") font = v;
      if (k == "size") size = std::stod(v);
      if (k == "x") x = std::stod(v);
      if (k == "y") y = std::stod(v);
      if (k == "z") z = std::stoi(v);
      if (k == "leading") leading = std::stod(v);
      if (k == "align") align = v;
      if (k == "color") color = v[0] == '$' ? std::stoul(v.substr(1), nullptr, 16) : std::stoul(v);
      continue;
    }
    if (line == "#end") {
      block = false;
      continue;
    }
    std::string text;
    for (size_t i = 0; i < line.size(); ++i) {
      if (line[i] == '%') {
        const size_t e = line.find(';', i);
        const int k = std::stoi(line.substr(i + 1, e - i - 1));
        if (k >= 1 && k <= static_cast<int>(params.size())) text += params[k - 1];
        i = e;
      } else {
        text += line[i];
      }
    }
    const Metrics m = LoadPos(font);
    double w = 0;
    for (size_t i = 0; i < text.size(); ++i) {
      const auto it = m.glyph.find(text[i]);
      const int gw = it == m.glyph.end() ? -1 : it->second.first;
      w += size * gw + (i ? size * m.spacing : 0);
    }
    double pen = align == "left" ? x : (align == "right" ? x - w : x - w / 2);
    for (char ch : text) {
      const auto it = m.glyph.find(ch);
      const int gw = it == m.glyph.end() ? -1 : it->second.first;
      const int fr = it == m.glyph.end() ? 0 : it->second.second;
      if (ch != ' ')
        AddObject(font, size * m.spacing + pen, y, z, true, {}, fr, 255, color, size, 0, false);
      pen += size * (gw + m.spacing);
    }
    y += leading;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  root = argv[1];
  const std::string out = argv[2], mode = argv[3];
  if (mode == "sheet") {
    const double scale = std::stod(argv[4]);
    std::vector<cairo_surface_t*> imgs;
    int w = 10, h = 10, row_h = 0, x = 10;
    for (int i = 5; i < argc; ++i) imgs.push_back(cairo_image_surface_create_from_png(argv[i]));
    for (auto* s : imgs) {
      const int iw = static_cast<int>(cairo_image_surface_get_width(s) * scale);
      const int ih = static_cast<int>(cairo_image_surface_get_height(s) * scale);
      if (x + iw > 1600) {
        h += row_h + 10;
        x = 10;
        row_h = 0;
      }
      x += iw + 10;
      w = std::max(w, x);
      row_h = std::max(row_h, ih);
    }
    h += row_h + 10;
    cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surf);
    for (int yy = 0; yy < h; yy += 16) {
      for (int xx = 0; xx < w; xx += 16) {
        const bool dark = ((xx + yy) / 16) % 2;
        cairo_set_source_rgb(cr, dark ? 0.35 : 0.45, dark ? 0.35 : 0.45, dark ? 0.4 : 0.5);
        cairo_rectangle(cr, xx, yy, 16, 16);
        cairo_fill(cr);
      }
    }
    x = 10;
    int y = 10;
    row_h = 0;
    for (auto* s : imgs) {
      const int iw = static_cast<int>(cairo_image_surface_get_width(s) * scale);
      const int ih = static_cast<int>(cairo_image_surface_get_height(s) * scale);
      if (x + iw > 1600) {
        y += row_h + 10;
        x = 10;
        row_h = 0;
      }
      cairo_save(cr);
      cairo_translate(cr, x, y);
      cairo_scale(cr, scale, scale);
      cairo_set_source_surface(cr, s, 0, 0);
      cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
      cairo_paint(cr);
      cairo_restore(cr);
      x += iw + 10;
      row_h = std::max(row_h, ih);
    }
    cairo_surface_write_to_png(surf, out.c_str());
    return 0;
  }
  // scene
  std::ifstream script(argv[4]);
  std::string line;
  while (std::getline(script, line)) {
    std::stringstream ss(line);
    std::string cmd;
    ss >> cmd;
    if (cmd == "map") {
      std::string m;
      ss >> m;
      LoadMap(m);
    } else if (cmd == "text") {
      std::string f, p;
      ss >> f;
      std::vector<std::string> params;
      while (ss >> p) params.push_back(p);
      LayText(f, params);
    } else if (cmd == "spr" || cmd == "sprd") {
      std::string path, tok;
      double x = 0, y = 0;
      if (cmd == "spr")
        ss >> path >> x >> y;
      else
        ss >> path;
      std::replace(path.begin(), path.end(), '|', ' ');  // "logo|set" stands for "logo set"
      int z = 0, frame = 0;
      bool hz = false;
      double alpha = 255, scale = 0, angle = 0;
      uint32_t color = 0xFFFFFF;
      std::map<int, int> var;
      while (ss >> tok) {
        const size_t eq = tok.find('=');
        if (eq == std::string::npos) {
          z = std::stoi(tok);
          hz = true;
          continue;
        }
        const std::string k = tok.substr(0, eq), v = tok.substr(eq + 1);
        if (k == "frame")
          frame = std::stoi(v);
        else if (k == "alpha")
          alpha = std::stod(v);
        else if (k == "color")
          color = std::stoul(v, nullptr, 16);
        else if (k == "scale")
          scale = std::stod(v);
        else if (k == "angle")
          angle = std::stod(v);
        else if (k[0] == 'g')
          var[std::stoi(k.substr(1))] = std::stoi(v);
      }
      AddObject(path, x, y, z, hz, var, frame, alpha, color, scale, angle, cmd == "sprd");
    }
  }
  std::stable_sort(quads.begin(), quads.end(), [](const Quad& a, const Quad& b) {
    return a.z != b.z ? a.z < b.z : a.order < b.order;
  });
  cairo_surface_t* surf = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 800, 600);
  cairo_t* cr = cairo_create(surf);
  cairo_set_source_rgb(cr, 1, 0, 1);
  cairo_paint(cr);
  for (const Quad& q : quads) {
    if (q.z < -1000000 || q.z > 999999) continue;
    q.draw(cr);
  }
  cairo_surface_write_to_png(surf, out.c_str());
  return 0;
}
