#pragma once
// State of the scene subsystem, owned by the context: the named tag lists. The objects
// themselves live in the global multisprite list of the sprite engine.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

// A named set of tags faded together (dialogs).
struct my_tag_list {
  std::string name;
  std::vector<std::string> tags;           // in the order added, no duplicates
  std::vector<int> members;                // registry indices found by the last rebuild
  std::vector<std::uint8_t> member_kinds;  // 1 = multisprite
};

struct SceneState {
  std::vector<my_tag_list> tag_lists;
};

}  // namespace qv
