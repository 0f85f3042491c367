// Multisprite instances and the global multisprite list.
#include "sprites/multisprite.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <typeinfo>

#include "sprites/sprite_world.h"
#include "sprites/prototype.h"

namespace qv {
namespace {

// Both z values may come straight from a file; their sum saturates instead of wrapping.
int SumZ(int a, int b) {
  const std::int64_t sum = std::int64_t{a} + b;
  return static_cast<int>(std::clamp<std::int64_t>(sum, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

}  // namespace

TMultiSprite::~TMultiSprite() = default;

void TMultiSprite::SelectPart(int group, int part) {
  if (group < 0 || group >= static_cast<int>(groups.size())) return;
  part_group& g = groups[group];
  if (g.current_part == part) return;
  g.current_part = part;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    TMyImageSprite& s = *parts[i];
    if (s.group_index != group) continue;
    s.visible = static_cast<int>(i) == g.first_part + part;
    if (s.visible) g.current_image_name = s.image_name;
  }
}

void TMultiSprite::Update() {
  for (auto& part : parts) {
    part->draw_flip_x = part->part_flip_x != flip_x;
    part->draw_flip_y = part->part_flip_y != flip_y;
    part->draw_angle = angle + part->part_angle;
  }
  PlaceParts();
}

void TMultiSprite::PlaceParts() {
  for (auto& part : parts) {
    part->world_x = x + scale_x * part->offset_x * part->scale_x;
    part->world_y = y + part->offset_y * part->scale_y * scale_y;
    part->SetZ(SumZ(part->z_offset, z));
  }
}

bool TMultiSprite::ContainsPoint(const SpriteWorld& ctx, double px, double py) const {
  const SpriteState& s = ctx.sprites;
  for (const part_group& g : groups) {
    if (g.current_part < 0 || g.current_part >= g.part_count) continue;
    const int index = g.first_part + g.current_part;
    if (index < 0 || index >= static_cast<int>(parts.size())) continue;
    const TMyImageSprite& part = *parts[index];
    if (part.texture_index < 0 || part.texture_index >= static_cast<int>(s.textures.size()))
      continue;
    const my_bmptexture& rec = s.textures[part.texture_index];
    const double left = part.x + s.scroll_x * map_koeff;
    const double top = part.y + s.scroll_y * map_koeff;
    if (left <= px && px < left + rec.frame_width * scale_x && top <= py &&
        py < top + rec.frame_height * scale_y)
      return true;
  }
  return false;
}

namespace {

// Fields a fresh instance takes from its prototype.
void ApplyPrototype(SpriteWorld& ctx, TMultiSprite& m, int pi) {
  SpriteState& s = ctx.sprites;
  const my_prototype& proto = s.prototypes[pi];
  m.prototype_index = pi;
  m.groups = proto.groups;
  m.visible = true;
  m.tag.clear();
  m.width = proto.width;
  m.height = proto.height;
  m.color = proto.color;
  m.x = proto.x;
  m.y = proto.y;
  m.z = proto.z;
  m.isometric = proto.isometric;
  m.iso_x = proto.iso_x;
  m.iso_y = proto.iso_y;
  m.iso_z = proto.iso_z;
  m.name = proto.name;
  m.map_koeff = proto.map_koeff;
  m.flip_x = proto.flip_x;
  m.flip_y = proto.flip_y;
  m.scale_x = proto.scale_x;
  m.scale_y = proto.scale_y;
  m.angle = proto.angle;
  m.alpha = proto.alpha;
  m.rot_center_x = proto.rot_center_x;
  m.rot_center_y = proto.rot_center_y;
  for (std::size_t i = 0; i < proto.parts.size() && i < m.parts.size(); ++i) {
    const my_sprite_opis& op = proto.parts[i];
    TMyImageSprite& part = *m.parts[i];
    part.owner = &m;
    part.offset_x = op.x;
    part.offset_y = op.y;
    part.z_offset = op.z;
    part.part_flip_x = op.flip_x;
    part.part_flip_y = op.flip_y;
    part.image_name = op.image_name;
    part.scale_x = op.scale_x;
    part.scale_y = op.scale_y;
    part.texture_index = op.texture_index;
    part.group_index = op.group_index;
    part.alpha = op.alpha;
    part.alpha_mode = op.alpha_mode;
    part.color = op.color;
    part.part_angle = op.angle;
    part.sprite_type = op.sprite_type;
    part.anim_count = op.frame_count;
    part.anim_speed = part.base_anim_speed = op.anim_speed;
    part.anim_start = 0;
    part.anim_pos = 0;
    part.anim_looped = op.anim_loop;
    // As a part is constructed: hidden and off screen until selected and moved.
    part.visible = false;
    part.x = part.y = -2000;
    part.moved = true;
    if (op.texture_index >= 0 && op.texture_index < static_cast<int>(s.textures.size())) {
      part.width = s.textures[op.texture_index].image_width;
      part.height = s.textures[op.texture_index].image_height;
    }
  }
  for (std::size_t g = 0; g < m.groups.size(); ++g) {
    m.groups[g].current_part = -1;
    m.SelectPart(static_cast<int>(g), 0);
  }
}

}  // namespace

void InitMultiSprite(SpriteWorld& ctx, std::unique_ptr<TMultiSprite> owned, std::string_view path) {
  TMultiSprite& m = *owned;
  m.scale_x = m.scale_y = 1;
  const int pi = GetPrototype(ctx, path);
  SpriteState& s = ctx.sprites;

  auto& list = s.multisprites;
  int slot = -1;
  for (std::size_t i = s.free_slot_hint; i < list.size(); ++i) {
    if (!list[i]) {
      slot = static_cast<int>(i);
      break;
    }
  }
  if (slot < 0) {
    if (list.size() == list.capacity()) list.reserve(list.capacity() + 512);
    list.emplace_back();
    slot = static_cast<int>(list.size()) - 1;
  }
  m.list_index = slot;
  s.free_slot_hint = static_cast<std::size_t>(slot) + 1;

  // Room for any tag the game gives, so that a pooled picture retagged later never allocates.
  m.tag.reserve(31);
  const std::size_t count = s.prototypes[pi].parts.size();
  m.parts.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    m.parts.push_back(std::make_unique<TMyImageSprite>(&s.engine));
  }
  ApplyPrototype(ctx, m, pi);
  list[slot] = std::move(owned);
}

TMultiSprite* TakePooledMultiSprite(SpriteWorld& ctx, std::string_view path,
                                    const std::type_info& type) {
  const int pi = GetPrototype(ctx, path);
  auto& pool = ctx.sprites.pool;
  if (pi < 0 || static_cast<std::size_t>(pi) >= pool.size()) return nullptr;
  auto& parked = pool[static_cast<std::size_t>(pi)];
  for (std::size_t i = parked.size(); i-- > 0;) {
    TMultiSprite* m = parked[i];
    if (typeid(*m) != type) continue;
    parked[i] = parked.back();
    parked.pop_back();
    m->pooled = false;
    ApplyPrototype(ctx, *m, pi);
    return m;
  }
  return nullptr;
}

TMultiSprite* AcquireMultiSprite(SpriteWorld& ctx, std::string_view path) {
  if (TMultiSprite* m = TakePooledMultiSprite(ctx, path, typeid(TMultiSprite))) return m;
  return CreateMultiSprite(ctx, path);
}

void ReleaseMultiSprite(SpriteWorld& ctx, TMultiSprite* sprite) {
  if (!sprite || sprite->pooled) return;
  const int pi = sprite->prototype_index;
  if (pi < 0) {
    DestroyMultiSprite(ctx, sprite);
    return;
  }
  auto& pool = ctx.sprites.pool;
  if (static_cast<std::size_t>(pi) >= pool.size()) pool.resize(static_cast<std::size_t>(pi) + 64);
  sprite->pooled = true;
  sprite->visible = false;
  sprite->tag.clear();
  pool[static_cast<std::size_t>(pi)].push_back(sprite);
}

TMultiSprite* CreateMultiSprite(SpriteWorld& ctx, std::string_view path) {
  auto sprite = std::make_unique<TMultiSprite>();
  TMultiSprite* raw = sprite.get();
  InitMultiSprite(ctx, std::move(sprite), path);
  return raw;
}

void DestroyMultiSprite(SpriteWorld& ctx, TMultiSprite* sprite) {
  if (!sprite) return;
  DestroyMultiSpriteAt(ctx, sprite->list_index);
}

void DestroyMultiSpriteAt(SpriteWorld& ctx, int slot) {
  auto& list = ctx.sprites.multisprites;
  if (slot < 0 || slot >= static_cast<int>(list.size())) return;
  if (list[slot]) {
    ctx.sprites.free_slot_hint =
        std::min(ctx.sprites.free_slot_hint, static_cast<std::size_t>(slot));
  }
  // Moved out first so that the slot is empty while the instance is torn down.
  std::unique_ptr<TMultiSprite> doomed = std::move(list[slot]);
  if (doomed && doomed->pooled) {
    auto& parked = ctx.sprites.pool[static_cast<std::size_t>(doomed->prototype_index)];
    const auto it = std::find(parked.begin(), parked.end(), doomed.get());
    if (it != parked.end()) parked.erase(it);
  }
}

int MultiSpriteCount(const SpriteWorld& ctx) {
  return static_cast<int>(ctx.sprites.multisprites.size());
}

TMultiSprite* MultiSpriteAt(const SpriteWorld& ctx, int slot) {
  const auto& list = ctx.sprites.multisprites;
  if (slot < 0 || slot >= static_cast<int>(list.size())) return nullptr;
  return list[slot].get();
}

void SpriteEngineMove(SpriteWorld& ctx, int move_count) {
  ctx.sprites.engine.Move(ctx, move_count);
}

void SpriteEngineDraw(SpriteWorld& ctx) {
  ctx.sprites.draw_list.clear();
  ctx.sprites.engine.DrawChildren(ctx);
}

}  // namespace qv
