#pragma once
// State of the scene subsystem, owned by the context: the named tag lists, the dialog fade, the
// fonts and the cursor sprite. The objects themselves live in the global multisprite list of the
// sprite engine.
#include <cstdint>
#include <string>
#include <vector>

#include "scene/text.h"

namespace qv {

// A named set of tags faded together (dialogs).
struct my_tag_list {
  std::string name;
  std::vector<std::string> tags;           // in the order added, no duplicates
  std::vector<int> members;                // registry indices found by the last rebuild
  std::vector<std::uint8_t> member_kinds;  // 1 = multisprite
};

// A dialog or page coming up: the objects of "dialog_tag_list" fade from alpha 0 to 255.
struct DialogFade {
  int alpha = 255;
  int state = 0;  // 0 idle, 1 fading in
  int step = 8;   // alpha added per frame
};

// Font metrics read once per font: text is laid out while a game runs (score texts) and a
// layout must not read files or allocate once the font is known.
struct CachedFont {
  std::string font;
  FontMetrics metrics;
};

struct SceneState {
  std::vector<my_tag_list> tag_lists;
  DialogFade fade;
  std::vector<CachedFont> fonts;
  int cursor = -1;  // registry slot of the cursor sprite, -1 until loading has ended
};

}  // namespace qv
