#pragma once
// Map files: a list of sprite definitions and the objects placed from them, all tagged with
// the map's name.
#include <string_view>

namespace qv {

struct SceneWorld;

// Builds the objects of a map file and returns how many were made. A missing file makes
// nothing; a malformed count or field ends the map there with an error box and log line
// naming the file and line (the objects made before it stay).
int load_location_map(SceneWorld& ctx, std::string_view file);
// The same on a map file's text; file names the map (its tag and its error reports).
int LoadLocationMapText(SceneWorld& ctx, std::string_view file, std::string_view data);

}  // namespace qv
