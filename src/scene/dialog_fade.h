#pragma once
// The fade-in shared by every dialog and menu page: the tags of the dialog go into
// "dialog_tag_list" at alpha 0, and each frame step raises their alpha until it reaches 255.
#include <initializer_list>
#include <string_view>

namespace qv {

struct SceneWorld;

constexpr const char* kDialogTagList = "dialog_tag_list";

// Starts fading in the objects of the tags (they get alpha 0 at once). A fade still running
// is finished first.
void OpenDialogFade(SceneWorld& ctx, std::initializer_list<std::string_view> tags);
// Adds a tag to the running fade; its objects take the current alpha.
void AddToDialogFade(SceneWorld& ctx, std::string_view tag);
// One frame step of the fade; nothing while idle.
void DialogFadeStep(SceneWorld& ctx);
// Ends a running fade at once with its objects fully shown.
void FinishDialogFade(SceneWorld& ctx);
bool DialogFadeRunning(const SceneWorld& ctx);
// Stops a fade without touching any object (a scene change: its members are gone).
void CancelDialogFade(SceneWorld& ctx);

}  // namespace qv
