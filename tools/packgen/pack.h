// Shared plumbing of the content generator: the output tree, sprite definition files, canvases.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace packgen {

// The output folder. Every path handed in is a game path ("graphics\balls\ball1.spr").
class Pack {
 public:
  explicit Pack(std::filesystem::path root);

  std::filesystem::path Host(const std::string& game_path) const;
  // Text files of the game use CR LF and end their last line with CR LF too.
  void WriteLines(const std::string& game_path, const std::vector<std::string>& lines);
  void WriteBytes(const std::string& game_path, const std::vector<uint8_t>& bytes);
  void WritePng(const std::string& game_path, cairo_surface_t* surface);

  // Every sprite definition written, in order, for the load list.
  const std::vector<std::string>& SpritePaths() const { return sprite_paths_; }
  void NoteSprite(const std::string& game_path) { sprite_paths_.push_back(game_path); }

 private:
  std::filesystem::path root_;
  std::vector<std::string> sprite_paths_;
};

// A sprite definition: the common line and the groups of part lines.
struct Spr {
  std::string common;
  std::vector<std::vector<std::string>> groups;

  Spr& Group(std::vector<std::string> parts) {
    groups.push_back(std::move(parts));
    return *this;
  }
};
void WriteSpr(Pack& pack, const std::string& game_path, const Spr& spr);

// Folder part of a game path, with the trailing "\".
std::string DirOf(const std::string& game_path);

// An ARGB canvas with its cairo context.
class Canvas {
 public:
  Canvas(int w, int h);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  cairo_t* cr() const { return cr_; }
  cairo_surface_t* surface() const { return surface_; }
  int w() const { return w_; }
  int h() const { return h_; }
  void Save(Pack& pack, const std::string& game_path);
  // Copies another canvas in at (x, y), e.g. to lay frames into a sheet.
  void Blit(const Canvas& src, double x, double y, double alpha = 1.0);

 private:
  int w_, h_;
  cairo_surface_t* surface_;
  cairo_t* cr_;
};

struct Rgb {
  double r, g, b;
};
Rgb Hex(uint32_t rgb);
Rgb Mix(Rgb a, Rgb b, double t);
Rgb Scale(Rgb a, double k);
void SetRgb(cairo_t* cr, Rgb c, double a = 1.0);
void AddStop(cairo_pattern_t* p, double off, Rgb c, double a = 1.0);

void RoundRect(cairo_t* cr, double x, double y, double w, double h, double r);
// A bevelled metal plate: body gradient, dark outline, light top edge.
void Plate(cairo_t* cr, double x, double y, double w, double h, double r, Rgb top, Rgb bottom,
           Rgb rim);
// A glossy sphere in colour c filling the circle (cx, cy, r).
void GlossySphere(cairo_t* cr, double cx, double cy, double r, Rgb c, bool highlight = true);
// A soft round glow.
void Glow(cairo_t* cr, double cx, double cy, double r, Rgb c, double a);

// Caption text drawn with the DejaVu faces loaded at start.
enum class Face { Bold, Condensed, Mono };
void InitFaces(const std::string& bold, const std::string& condensed, const std::string& mono);
void DoneFaces();
const std::string& FacePath(Face face);
// align: 0 left, 1 centre, 2 right; y is the baseline.
void Caption(cairo_t* cr, Face face, double size, double x, double y, const std::string& text,
             int align, Rgb fill, double outline_width = 0, Rgb outline = {0, 0, 0},
             double alpha = 1.0);
double CaptionWidth(cairo_t* cr, Face face, double size, const std::string& text);

// Deterministic random numbers for the generator (the pack is identical on every build).
class Rng {
 public:
  explicit Rng(uint32_t seed) : s_(seed ? seed : 1) {}
  uint32_t Next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
  }
  double Uniform() { return (Next() >> 8) * (1.0 / 16777216.0); }
  double Range(double a, double b) { return a + (b - a) * Uniform(); }
  int Int(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint32_t s_;
};

// Sections of the pack.
void WriteBalls(Pack& pack);
void WriteGameArt(Pack& pack);
void WriteMenuArt(Pack& pack);
void WriteFonts(Pack& pack);
void WriteSounds(Pack& pack);
void WriteMusic(Pack& pack);
void WriteData(Pack& pack);

// The seven ball colours 1..7 (index 0 is the neutral ball).
Rgb BallColour(int n);

}  // namespace packgen
