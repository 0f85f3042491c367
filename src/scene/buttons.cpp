#include "scene/buttons.h"

#include "scene/scene_world.h"
#include "sprites/multisprite.h"

namespace qv {

bool ObjectHit(const SceneWorld& ctx, PicId id, int x, int y) {
  const TMultiSprite* m = Pic(ctx, id);
  return m != nullptr && m->visible && m->ContainsPoint(ctx, x, y);
}

int ButtonVariant(bool hovered, bool pressed) { return hovered ? (pressed ? 2 : 1) : 0; }

}  // namespace qv
