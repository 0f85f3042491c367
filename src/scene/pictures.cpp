#include "scene/pictures.h"

#include <algorithm>

#include "context.h"
#include "sprites/multisprite.h"

namespace qv {
namespace {

TMyImageSprite* Part(const Context& ctx, PicId id, int part) {
  TMultiSprite* m = Pic(ctx, id);
  if (!m || part < 0 || static_cast<std::size_t>(part) >= m->parts.size()) return nullptr;
  return m->parts[static_cast<std::size_t>(part)].get();
}

}  // namespace

TMultiSprite* Pic(const Context& ctx, PicId id) {
  TMultiSprite* m = id < 0 ? nullptr : MultiSpriteAt(ctx, id);
  return m && !m->pooled ? m : nullptr;  // a released picture is gone for its owner
}

PicId MakePic(Context& ctx, std::string_view path, std::string_view tag) {
  TMultiSprite* m = AcquireMultiSprite(ctx, path);
  if (!m) return kNoPic;
  m->tag.assign(tag);
  return m->list_index;
}

void FreePic(Context& ctx, PicId& id) {
  if (TMultiSprite* m = Pic(ctx, id)) ReleaseMultiSprite(ctx, m);
  id = kNoPic;
}

bool PicAlive(const Context& ctx, PicId id) {
  return Pic(ctx, id) != nullptr;
}

double PicX(const Context& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->x : 0;
}
double PicY(const Context& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->y : 0;
}
void SetPicPos(Context& ctx, PicId id, double x, double y) {
  if (TMultiSprite* m = Pic(ctx, id)) {
    m->x = x;
    m->y = y;
  }
}
int PicZ(const Context& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->z : 0;
}
void SetPicZ(Context& ctx, PicId id, int z) {
  if (TMultiSprite* m = Pic(ctx, id)) m->z = z;
}
void SetPicVisible(Context& ctx, PicId id, bool visible) {
  if (TMultiSprite* m = Pic(ctx, id)) m->visible = visible;
}
void SetPicAlpha(Context& ctx, PicId id, int alpha) {
  if (TMultiSprite* m = Pic(ctx, id))
    m->alpha = static_cast<std::uint8_t>(std::clamp(alpha, 0, 255));
}
void SetPicColor(Context& ctx, PicId id, int rgb) {
  if (TMultiSprite* m = Pic(ctx, id)) m->color = rgb;
}
double PicScaleX(const Context& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->scale_x : 1;
}
double PicScaleY(const Context& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->scale_y : 1;
}
void SetPicScale(Context& ctx, PicId id, double sx, double sy) {
  if (TMultiSprite* m = Pic(ctx, id)) {
    m->scale_x = sx;
    m->scale_y = sy;
  }
}
double PicAngle(const Context& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->angle : 0;
}
void SetPicAngle(Context& ctx, PicId id, double angle) {
  if (TMultiSprite* m = Pic(ctx, id)) m->angle = angle;
}
void SetPicTag(Context& ctx, PicId id, std::string_view tag) {
  if (TMultiSprite* m = Pic(ctx, id)) m->tag.assign(tag);
}
int PicWidth(const Context& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->width : 0;
}

void SetPartVisible(Context& ctx, PicId id, int part, bool visible) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->visible = visible;
}
double PartAnimSpeed(const Context& ctx, PicId id, int part) {
  const TMyImageSprite* p = Part(ctx, id, part);
  return p ? p->anim_speed : 0;
}
void SetPartAnimSpeed(Context& ctx, PicId id, int part, double speed) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->anim_speed = speed;
}
void RestorePartAnimSpeed(Context& ctx, PicId id, int part) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->anim_speed = p->base_anim_speed;
}
void SetPartAnimPos(Context& ctx, PicId id, int part, double pos) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->anim_pos = pos;
}
void SetPartColor(Context& ctx, PicId id, int part, int rgb) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->color = rgb;
}
void SetPartOffsetY(Context& ctx, PicId id, int part, double dy) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->offset_y = dy;
}
double PartAnimPos(const Context& ctx, PicId id, int part) {
  const TMyImageSprite* p = Part(ctx, id, part);
  return p ? p->anim_pos : 0;
}
void RestartPartAnim(Context& ctx, PicId id, int part) {
  if (TMyImageSprite* p = Part(ctx, id, part)) {
    p->anim_pos = 0;
    p->anim_start = 0;
    p->anim_speed = p->base_anim_speed;
  }
}
bool PicVisible(const Context& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m && m->visible;
}
int PicParts(const Context& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? static_cast<int>(m->parts.size()) : 0;
}
void SetPartAlphaMode(Context& ctx, PicId id, int part, int mode) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->alpha_mode = static_cast<std::uint8_t>(mode);
}
void SelectPicPart(Context& ctx, PicId id, int group, int part) {
  if (TMultiSprite* m = Pic(ctx, id)) m->SelectPart(group, part);
}

void SelectVariant(Context& ctx, PicId id, int group, int variant) {
  SelectPicPart(ctx, id, group, variant);
}
void MoveObject(Context& ctx, PicId id, double x, double y) { SetPicPos(ctx, id, x, y); }
void SetObjectX(Context& ctx, PicId id, double x) {
  if (TMultiSprite* m = Pic(ctx, id)) m->x = x;
}
void SetObjectY(Context& ctx, PicId id, double y) {
  if (TMultiSprite* m = Pic(ctx, id)) m->y = y;
}
void ShowObject(Context& ctx, PicId id, bool visible) { SetPicVisible(ctx, id, visible); }
bool ObjectVisible(const Context& ctx, PicId id) { return PicVisible(ctx, id); }

void AnimatePic(Context& ctx, PicId id) {
  if (TMultiSprite* m = Pic(ctx, id)) m->Update();
}

void CollectTagged(const Context& ctx, std::string_view tag, std::vector<PicId>& out) {
  const int n = MultiSpriteCount(ctx);
  for (int i = 0; i < n; ++i) {
    const TMultiSprite* m = MultiSpriteAt(ctx, i);
    if (m && m->tag == tag) out.push_back(i);
  }
}

}  // namespace qv
