// The sprite tree: creation-order move pass and z-ordered draw pass.
#include "sprites/sprite_engine.h"

#include <algorithm>
#include <cmath>

#include "sprites/sprite_world.h"
#include "sprites/draw_list.h"
#include "sprites/multisprite.h"

namespace qv {

TSprite::TSprite(TSprite* parent) : parent_(parent) {
  if (parent_) parent_->AddChild(this);
}

TSprite::~TSprite() {
  for (TSprite* child : children_) child->parent_ = nullptr;
  if (parent_) parent_->RemoveChild(this);
}

void TSprite::DoMove(SpriteWorld&, int) {}
void TSprite::DoDraw(SpriteWorld&) {}

SpriteRect TSprite::GetBoundsRect() const {
  const int left = static_cast<int>(x), top = static_cast<int>(y);
  return {left, top, left + width, top + height};
}

void TSprite::Move(SpriteWorld& ctx, int move_count) {
  if (moved) DoMove(ctx, move_count);
  for (TSprite* child : children_) child->Move(ctx, move_count);
}

void TSprite::DrawChildren(SpriteWorld& ctx) {
  for (TSprite* child : z_order_) {
    if (child->z_ < -1000000 || child->z_ >= 1000000 || !child->visible) continue;
    child->DoDraw(ctx);
    if (!child->children_.empty()) child->DrawChildren(ctx);
  }
}

void TSprite::SetZ(int z) {
  if (z == z_) return;
  if (parent_) parent_->RemoveZ(this);
  z_ = z;
  if (parent_) parent_->InsertZ(this);
}

void TSprite::AddChild(TSprite* child) {
  children_.push_back(child);
  InsertZ(child);
}

void TSprite::RemoveChild(TSprite* child) {
  const auto it = std::find(children_.begin(), children_.end(), child);
  if (it != children_.end()) children_.erase(it);
  RemoveZ(child);
}

void TSprite::InsertZ(TSprite* child) {
  // Before the first sibling whose z is not less: the newest of equal z is drawn first.
  const auto at = std::lower_bound(z_order_.begin(), z_order_.end(), child->z_,
                                   [](const TSprite* s, int z) { return s->z_ < z; });
  z_order_.insert(at, child);
}

void TSprite::RemoveZ(TSprite* child) {
  auto first = std::lower_bound(z_order_.begin(), z_order_.end(), child->z_,
                                [](const TSprite* s, int z) { return s->z_ < z; });
  const auto it = std::find(first, z_order_.end(), child);
  if (it != z_order_.end()) z_order_.erase(it);
}

void TImageSprite::AnimStep(int move_count) {
  anim_pos += move_count * anim_speed;
  if (anim_looped) {
    if (anim_count <= 0) {
      anim_pos = 0;
    } else {
      anim_pos -= anim_count * std::trunc(anim_pos / anim_count);
      if (anim_pos < 0) anim_pos += anim_count;
    }
  } else {
    if (anim_pos >= anim_count) {
      anim_pos = anim_count - 1;
      anim_speed = 0;
    }
    if (anim_pos < 0) {
      anim_pos = 0;
      anim_speed = 0;
    }
  }
}

void TImageSprite::DoMove(SpriteWorld&, int move_count) {
  AnimStep(move_count);
}

SpriteRect TImageSprite::GetBoundsRect() const {
  return TSprite::GetBoundsRect();
}

TMyImageSprite::TMyImageSprite(TSprite* parent) : TImageSprite(parent) {
  visible = false;
  x = y = -2000;
  moved = true;
}

void TMyImageSprite::DoMove(SpriteWorld& ctx, int move_count) {
  AnimStep(move_count);
  const double k = owner ? owner->map_koeff : 1.0;
  x = world_x - ctx.sprites.scroll_x * k;
  y = world_y - ctx.sprites.scroll_y * k;
}

void TMyImageSprite::DoDraw(SpriteWorld& ctx) {
  if (!visible || !owner || !owner->visible) return;
  SpriteState& s = ctx.sprites;
  if (texture_index < 0 || texture_index >= static_cast<int>(s.textures.size())) return;
  const my_bmptexture& rec = s.textures[texture_index];
  const int frame_count = static_cast<int>(rec.frames.size());
  if (frame_count == 0) return;
  // Callers may set anim_pos freely; the shown frame stays within the record.
  const double pos = std::trunc(anim_pos) + anim_start;
  const int frame = pos < 0 ? 0 : pos >= frame_count ? frame_count - 1 : static_cast<int>(pos);

  PartQuadParams p;
  p.frame = frame;
  p.left = std::trunc(x);
  p.top = std::trunc(y);
  p.sx = scale_x * owner->scale_x;
  p.sy = scale_y * owner->scale_y;
  const double fw = rec.frame_width, fh = rec.frame_height;
  if (p.left < -fw * p.sx || p.top < -fh * p.sy || p.left - platform::kScreenWidth > fw * p.sx ||
      p.top - platform::kScreenHeight > fh * p.sy)
    return;

  std::uint32_t c = static_cast<std::uint32_t>(color) & 0xFFFFFF;
  const std::uint32_t oc = static_cast<std::uint32_t>(owner->color) & 0xFFFFFF;
  if (c == 0xFFFFFF) {
    c = oc;
  } else if (oc != 0xFFFFFF) {
    std::uint32_t mixed = 0;
    for (int shift = 0; shift <= 16; shift += 8)
      mixed |= (((c >> shift) & 0xFF) * ((oc >> shift) & 0xFF) / 255) << shift;
    c = mixed;
  }
  if (sprite_type != 0) return;
  p.color = c;
  p.alpha = std::uint32_t{alpha} * owner->alpha / 255;
  p.rot_x = owner->rot_center_x * scale_x + owner->x - s.scroll_x;
  p.rot_y = owner->rot_center_y * scale_y + owner->y - s.scroll_y;
  p.flip_x = draw_flip_x;
  p.flip_y = draw_flip_y;
  p.angle = draw_angle;
  p.alpha_mode = alpha_mode;
  AddPartQuads(ctx, rec, p);
}

}  // namespace qv
