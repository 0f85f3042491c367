#pragma once
// Buttons are pictures whose group 0 shows variant 0 normally, 1 under the mouse and 2 under the
// mouse while pressed. The helpers take registry slots and ignore empty ones.
#include "base/geometry.h"
#include "scene/pictures.h"

namespace qv {

struct SceneWorld;

using HitRect = Rect;

// A shown object whose shown frame holds the point.
bool ObjectHit(const SceneWorld& ctx, PicId id, int x, int y);
// Variant for a button: 2 hovered and pressed, 1 hovered, 0 otherwise.
int ButtonVariant(bool hovered, bool pressed);

}  // namespace qv
