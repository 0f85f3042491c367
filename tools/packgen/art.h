// Helpers shared by the art sections.
#pragma once

#include <functional>
#include <string>

#include "pack.h"

namespace packgen {

// Draws `frames` frames of fw x fh into a sheet of `cols` columns and saves it.
void Sheet(Pack& pack, const std::string& game_path, int frames, int cols, int fw, int fh,
           const std::function<void(cairo_t*, int)>& draw);
// One-frame image.
void Image(Pack& pack, const std::string& game_path, int w, int h,
           const std::function<void(cairo_t*)>& draw);

std::string Part(const std::string& image, const std::string& settings);

// Emblem of ball colour n (1..7) centred at (cx, cy), size s, filled with the current source.
void EmblemPath(cairo_t* cr, int n, double cx, double cy, double s);

// A starfield with nebula clouds covering w x h.
void DrawSpace(cairo_t* cr, int w, int h, uint32_t seed, double nebula);

// A button face in one of three states (0 normal, 1 hovered, 2 pressed).
void ButtonFace(cairo_t* cr, double x, double y, double w, double h, int state, double radius);

// The desktop icon at every hicolor size, as out/hicolor/NxN/apps/NAME.png.
void WriteIcons(const std::filesystem::path& out, const std::string& name);

// Cyan accent and the panel steel colours of the interface.
extern const Rgb kAccent;
extern const Rgb kSteelTop;
extern const Rgb kSteelBottom;
extern const Rgb kSteelRim;

}  // namespace packgen
