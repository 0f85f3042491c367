#pragma once
// Buttons are objects whose group 0 shows variant 0 normally, 1 under the mouse and 2 under the
// mouse while pressed. These helpers take registry slots and ignore empty ones.
#include "base/geometry.h"

namespace qv {

struct SceneWorld;

using HitRect = Rect;

// A shown object whose shown frame holds the point.
bool ObjectHit(const SceneWorld& ctx, int slot, int x, int y);
// Shows variant `variant` of group `group`.
void SelectVariant(SceneWorld& ctx, int slot, int group, int variant);
// Variant for a button: 2 hovered and pressed, 1 hovered, 0 otherwise.
int ButtonVariant(bool hovered, bool pressed);
// Position and visibility.
void MoveObject(SceneWorld& ctx, int slot, double x, double y);
void SetObjectX(SceneWorld& ctx, int slot, double x);
void SetObjectY(SceneWorld& ctx, int slot, double y);
void ShowObject(SceneWorld& ctx, int slot, bool visible);
bool ObjectVisible(const SceneWorld& ctx, int slot);

}  // namespace qv
