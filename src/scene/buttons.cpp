#include "scene/buttons.h"

#include "context.h"
#include "sprites/multisprite.h"

namespace qv {

namespace {

TMultiSprite* At(const Context& ctx, int slot) {
  return slot >= 0 && slot < MultiSpriteCount(ctx) ? MultiSpriteAt(ctx, slot) : nullptr;
}

}  // namespace

bool PointerOver(const Context& ctx, const Rect& r) {
  return r.Contains(ctx.shell.mouse_x, ctx.shell.mouse_y);
}

bool ObjectHit(const Context& ctx, int slot, int x, int y) {
  const TMultiSprite* m = At(ctx, slot);
  return m != nullptr && m->visible && m->ContainsPoint(ctx, x, y);
}

void SelectVariant(Context& ctx, int slot, int group, int variant) {
  if (TMultiSprite* m = At(ctx, slot)) m->SelectPart(group, variant);
}

int ButtonVariant(bool hovered, bool pressed) { return hovered ? (pressed ? 2 : 1) : 0; }

void MoveObject(Context& ctx, int slot, double x, double y) {
  if (TMultiSprite* m = At(ctx, slot)) {
    m->x = x;
    m->y = y;
  }
}

void SetObjectX(Context& ctx, int slot, double x) {
  if (TMultiSprite* m = At(ctx, slot)) m->x = x;
}

void SetObjectY(Context& ctx, int slot, double y) {
  if (TMultiSprite* m = At(ctx, slot)) m->y = y;
}

void ShowObject(Context& ctx, int slot, bool visible) {
  if (TMultiSprite* m = At(ctx, slot)) m->visible = visible;
}

bool ObjectVisible(const Context& ctx, int slot) {
  const TMultiSprite* m = At(ctx, slot);
  return m != nullptr && m->visible;
}

}  // namespace qv
