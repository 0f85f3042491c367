#include "sprites/sprite_hooks.h"

#include "base/json_writer.h"
#include "sprites/sprite_world.h"
#include "sprites/atlas.h"
#include "sprites/draw_list.h"
#include "sprites/multisprite.h"

namespace qv {

void SpritesMoveHook(SpriteWorld& ctx, int move_count) {
  SpriteEngineMove(ctx, move_count);
}
void SpritesCollectHook(SpriteWorld& ctx) {
  SpriteEngineDraw(ctx);
}
bool SpritesTextureLostHook(const SpriteWorld& ctx) {
  return ctx.sprites.texture_lost;
}
void SpritesRenderHook(SpriteWorld& ctx, platform::RenderDevice& device) {
  RenderDrawList(ctx, device);
}
std::uint64_t SpritesPictureHook(const SpriteWorld& ctx) {
  return DrawListPicture(ctx);
}
void SpritesClearListHook(SpriteWorld& ctx) {
  ctx.sprites.draw_list.clear();
}
bool SpritesRestoreHook(SpriteWorld& ctx) {
  return RestoreTextures(ctx);
}
void SpritesReleaseHook(SpriteWorld& ctx) {
  ReleaseDeviceTextures(ctx);
}

void WriteObjectsSection(const SpriteWorld& ctx, JsonWriter& out) {
  out.BeginArray();
  for (int slot = 0; slot < MultiSpriteCount(ctx); ++slot) {
    const TMultiSprite* m = MultiSpriteAt(ctx, slot);
    if (!m) continue;
    out.BeginObject();
    out.Field("slot", slot);
    out.FieldString("name", m->name);
    out.FieldString("tag", m->tag);
    out.FieldReal("x", m->x);
    out.FieldReal("y", m->y);
    out.Field("z", m->z);
    out.FieldBool("visible", m->visible);
    out.Field("alpha", m->alpha);
    out.Field("color", m->color);
    out.Key("shown").BeginArray();
    for (const part_group& g : m->groups) out.Int(g.current_part);
    out.EndArray();
    out.EndObject();
  }
  out.EndArray();
}

}  // namespace qv
