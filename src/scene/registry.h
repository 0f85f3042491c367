#pragma once
// The scene object registry: every live multisprite, found by name, tag and occurrence, and
// shown, faded and unloaded by tag. An object's handle is its slot in the global list.
#include <cstdint>
#include <string_view>

namespace qv {

struct SceneWorld;

// Slot of the object called name (and tagged tag, unless tag is empty); nth -1 asks for the
// first, nth k >= 0 for the (k+1)-th in slot order; -1 when there is none.
int FindObject(const SceneWorld& ctx, std::string_view name, int nth, std::string_view tag);
void ShowTag(SceneWorld& ctx, std::string_view tag, bool visible);
void SetTagAlpha(SceneWorld& ctx, std::string_view tag, int alpha);
// Destroys every object of a tag; "menu_help.map" unloads "menu_help". Returns the count.
int unload_by_tag(SceneWorld& ctx, std::string_view tag);
// The tag unload_by_tag uses: cut before the first "." unless that is the first character.
std::string_view UnloadTagOf(std::string_view tag);

void CreateTagList(SceneWorld& ctx, std::string_view name);
void AddTagToList(SceneWorld& ctx, std::string_view name, std::string_view tag);
void RebuildTagList(SceneWorld& ctx, std::string_view name);
void SetTagListAlpha(SceneWorld& ctx, std::string_view name, int alpha);

}  // namespace qv
