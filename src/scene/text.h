#pragma once
// Text made of sprites: one glyph multisprite per character, from a font definition whose
// first part holds one frame per glyph and a metrics file (".pos") beside it.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"

namespace qv {

struct SceneWorld;

struct FontMetrics {
  double spacing = 0;
  std::array<int, 256> width{};  // -1 without a width line
  std::array<int, 256> frame{};  // 0 without a width line
};

// "graphics\fonts\font.spr" -> "graphics\fonts\font.pos".
std::string MetricsPathOf(std::string_view font);
Expected<FontMetrics> ParseMetrics(std::string_view file, std::string_view data);
// Reads the metrics file anew (there is no cache).
Expected<FontMetrics> LoadMetrics(std::string_view font);

// align: 1 left, 2 center, 3 right, 0 acts as center. color < 0 keeps the font's colour,
// z -1 keeps the font's z. Returns the width of the line (spacing excluded).
double create_txt(SceneWorld& ctx, std::string_view text, int z, std::string_view font, int align,
                  std::string_view tag, int color, double scale, double y, double x);
// Lays out a text layout file; params are comma-separated items that replace "%k;" references.
void ShowTextFile(SceneWorld& ctx, std::string_view file, std::string_view tag,
                  std::string_view params);
// The same on a layout file's text; file names it in error reports.
void ShowTextLayout(SceneWorld& ctx, std::string_view file, std::string_view data,
                    std::string_view tag, std::string_view params);
// The width create_txt aligns by, without making objects.
double MeasureText(SceneWorld& ctx, std::string_view text, std::string_view font, double scale);

// "%k;" substitution of one block line; items are 1-based.
Expected<std::string> SubstituteParams(std::string_view line, const std::vector<std::string>& items,
                                       std::string_view file, int line_no);
std::vector<std::string> SplitParams(std::string_view params);

}  // namespace qv
