#pragma once
// Buttons are objects whose group 0 shows variant 0 normally, 1 under the mouse and 2 under the
// mouse while pressed. These helpers take registry slots and ignore empty ones.
#include "base/geometry.h"

namespace qv {

struct Context;

using HitRect = Rect;

// The pointer lies in the rectangle (edges included).
bool PointerOver(const Context& ctx, const Rect& r);
// A shown object whose shown frame holds the point.
bool ObjectHit(const Context& ctx, int slot, int x, int y);
// Shows variant `variant` of group `group`.
void SelectVariant(Context& ctx, int slot, int group, int variant);
// Variant for a button: 2 hovered and pressed, 1 hovered, 0 otherwise.
int ButtonVariant(bool hovered, bool pressed);
// Position and visibility.
void MoveObject(Context& ctx, int slot, double x, double y);
void SetObjectX(Context& ctx, int slot, double x);
void SetObjectY(Context& ctx, int slot, double y);
void ShowObject(Context& ctx, int slot, bool visible);
bool ObjectVisible(const Context& ctx, int slot);

}  // namespace qv
