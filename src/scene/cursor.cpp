#include "scene/cursor.h"

#include "scene/pictures.h"
#include "scene/scene_world.h"
#include "sprites/multisprite.h"

namespace qv {
namespace {

// The arrow's tip is two pixels into the picture.
constexpr double kTipOffset = -2;

}  // namespace

void MakeCursorSprite(SceneWorld& ctx) {
  TMultiSprite* cursor = CreateMultiSprite(ctx, kCursorSpritePath);
  if (cursor == nullptr) return;
  cursor->tag.clear();
  cursor->visible = true;
  ctx.scene.cursor = cursor->list_index;
  // The arrow and its lit variant.
  for (std::size_t i = 0; i < cursor->parts.size() && i < 2; ++i) {
    cursor->parts[i]->offset_x = kTipOffset;
    cursor->parts[i]->offset_y = kTipOffset;
  }
  cursor->map_koeff = 0;
}

void ShowCursorSprite(SceneWorld& ctx, bool visible) {
  if (TMultiSprite* cursor = Pic(ctx, ctx.scene.cursor)) {
    cursor->visible = visible;
    cursor->Update();
  }
}

void MoveCursorSprite(SceneWorld& ctx, int x, int y) {
  if (TMultiSprite* cursor = Pic(ctx, ctx.scene.cursor)) {
    cursor->x = x;
    cursor->y = y;
    cursor->Update();
  }
}

void SetCursorVariant(SceneWorld& ctx, int variant) {
  SelectVariant(ctx, ctx.scene.cursor, 0, variant);
}

}  // namespace qv
