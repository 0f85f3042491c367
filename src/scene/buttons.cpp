#include "scene/buttons.h"

#include "scene/scene_world.h"
#include "sprites/multisprite.h"

namespace qv {

namespace {

TMultiSprite* At(const SceneWorld& ctx, int slot) {
  return slot >= 0 && slot < MultiSpriteCount(ctx) ? MultiSpriteAt(ctx, slot) : nullptr;
}

}  // namespace

bool ObjectHit(const SceneWorld& ctx, int slot, int x, int y) {
  const TMultiSprite* m = At(ctx, slot);
  return m != nullptr && m->visible && m->ContainsPoint(ctx, x, y);
}

void SelectVariant(SceneWorld& ctx, int slot, int group, int variant) {
  if (TMultiSprite* m = At(ctx, slot)) m->SelectPart(group, variant);
}

int ButtonVariant(bool hovered, bool pressed) { return hovered ? (pressed ? 2 : 1) : 0; }

void MoveObject(SceneWorld& ctx, int slot, double x, double y) {
  if (TMultiSprite* m = At(ctx, slot)) {
    m->x = x;
    m->y = y;
  }
}

void SetObjectX(SceneWorld& ctx, int slot, double x) {
  if (TMultiSprite* m = At(ctx, slot)) m->x = x;
}

void SetObjectY(SceneWorld& ctx, int slot, double y) {
  if (TMultiSprite* m = At(ctx, slot)) m->y = y;
}

void ShowObject(SceneWorld& ctx, int slot, bool visible) {
  if (TMultiSprite* m = At(ctx, slot)) m->visible = visible;
}

bool ObjectVisible(const SceneWorld& ctx, int slot) {
  const TMultiSprite* m = At(ctx, slot);
  return m != nullptr && m->visible;
}

}  // namespace qv
