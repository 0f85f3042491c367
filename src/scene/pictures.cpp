#include "scene/pictures.h"

#include <algorithm>

#include "scene/scene_world.h"
#include "sprites/multisprite.h"

namespace qv {
namespace {

TMyImageSprite* Part(const SceneWorld& ctx, PicId id, int part) {
  TMultiSprite* m = Pic(ctx, id);
  if (!m || part < 0 || static_cast<std::size_t>(part) >= m->parts.size()) return nullptr;
  return m->parts[static_cast<std::size_t>(part)].get();
}

}  // namespace

TMultiSprite* Pic(const SceneWorld& ctx, PicId id) {
  TMultiSprite* m = id < 0 ? nullptr : MultiSpriteAt(ctx, id);
  return m && !m->pooled ? m : nullptr;  // a released picture is gone for its owner
}

PicId MakePic(SceneWorld& ctx, std::string_view path, std::string_view tag) {
  TMultiSprite* m = AcquireMultiSprite(ctx, path);
  if (!m) return kNoPic;
  m->tag.assign(tag);
  return m->list_index;
}

void FreePic(SceneWorld& ctx, PicId& id) {
  if (TMultiSprite* m = Pic(ctx, id)) ReleaseMultiSprite(ctx, m);
  id = kNoPic;
}

bool PicAlive(const SceneWorld& ctx, PicId id) {
  return Pic(ctx, id) != nullptr;
}

double PicX(const SceneWorld& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->x : 0;
}
double PicY(const SceneWorld& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->y : 0;
}
void SetPicPos(SceneWorld& ctx, PicId id, double x, double y) {
  if (TMultiSprite* m = Pic(ctx, id)) {
    m->x = x;
    m->y = y;
  }
}
int PicZ(const SceneWorld& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->z : 0;
}
void SetPicZ(SceneWorld& ctx, PicId id, int z) {
  if (TMultiSprite* m = Pic(ctx, id)) m->z = z;
}
void SetPicVisible(SceneWorld& ctx, PicId id, bool visible) {
  if (TMultiSprite* m = Pic(ctx, id)) m->visible = visible;
}
void SetPicAlpha(SceneWorld& ctx, PicId id, int alpha) {
  if (TMultiSprite* m = Pic(ctx, id))
    m->alpha = static_cast<std::uint8_t>(std::clamp(alpha, 0, 255));
}
void SetPicColor(SceneWorld& ctx, PicId id, int rgb) {
  if (TMultiSprite* m = Pic(ctx, id)) m->color = rgb;
}
double PicScaleX(const SceneWorld& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->scale_x : 1;
}
double PicScaleY(const SceneWorld& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->scale_y : 1;
}
void SetPicScale(SceneWorld& ctx, PicId id, double sx, double sy) {
  if (TMultiSprite* m = Pic(ctx, id)) {
    m->scale_x = sx;
    m->scale_y = sy;
  }
}
double PicAngle(const SceneWorld& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->angle : 0;
}
void SetPicAngle(SceneWorld& ctx, PicId id, double angle) {
  if (TMultiSprite* m = Pic(ctx, id)) m->angle = angle;
}
void SetPicTag(SceneWorld& ctx, PicId id, std::string_view tag) {
  if (TMultiSprite* m = Pic(ctx, id)) m->tag.assign(tag);
}
int PicWidth(const SceneWorld& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? m->width : 0;
}

void SetPartVisible(SceneWorld& ctx, PicId id, int part, bool visible) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->visible = visible;
}
double PartAnimSpeed(const SceneWorld& ctx, PicId id, int part) {
  const TMyImageSprite* p = Part(ctx, id, part);
  return p ? p->anim_speed : 0;
}
void SetPartAnimSpeed(SceneWorld& ctx, PicId id, int part, double speed) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->anim_speed = speed;
}
void RestorePartAnimSpeed(SceneWorld& ctx, PicId id, int part) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->anim_speed = p->base_anim_speed;
}
void SetPartAnimPos(SceneWorld& ctx, PicId id, int part, double pos) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->anim_pos = pos;
}
void SetPartColor(SceneWorld& ctx, PicId id, int part, int rgb) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->color = rgb;
}
void SetPartOffsetY(SceneWorld& ctx, PicId id, int part, double dy) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->offset_y = dy;
}
double PartAnimPos(const SceneWorld& ctx, PicId id, int part) {
  const TMyImageSprite* p = Part(ctx, id, part);
  return p ? p->anim_pos : 0;
}
void RestartPartAnim(SceneWorld& ctx, PicId id, int part) {
  if (TMyImageSprite* p = Part(ctx, id, part)) {
    p->anim_pos = 0;
    p->anim_start = 0;
    p->anim_speed = p->base_anim_speed;
  }
}
bool PicVisible(const SceneWorld& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m && m->visible;
}
int PicParts(const SceneWorld& ctx, PicId id) {
  const TMultiSprite* m = Pic(ctx, id);
  return m ? static_cast<int>(m->parts.size()) : 0;
}
void SetPartAlphaMode(SceneWorld& ctx, PicId id, int part, int mode) {
  if (TMyImageSprite* p = Part(ctx, id, part)) p->alpha_mode = static_cast<std::uint8_t>(mode);
}
void SelectPicPart(SceneWorld& ctx, PicId id, int group, int part) {
  if (TMultiSprite* m = Pic(ctx, id)) m->SelectPart(group, part);
}

void SelectVariant(SceneWorld& ctx, PicId id, int group, int variant) {
  SelectPicPart(ctx, id, group, variant);
}
void MoveObject(SceneWorld& ctx, PicId id, double x, double y) { SetPicPos(ctx, id, x, y); }
void SetObjectX(SceneWorld& ctx, PicId id, double x) {
  if (TMultiSprite* m = Pic(ctx, id)) m->x = x;
}
void SetObjectY(SceneWorld& ctx, PicId id, double y) {
  if (TMultiSprite* m = Pic(ctx, id)) m->y = y;
}
void ShowObject(SceneWorld& ctx, PicId id, bool visible) { SetPicVisible(ctx, id, visible); }
bool ObjectVisible(const SceneWorld& ctx, PicId id) { return PicVisible(ctx, id); }

void AnimatePic(SceneWorld& ctx, PicId id) {
  if (TMultiSprite* m = Pic(ctx, id)) m->Update();
}

void CollectTagged(const SceneWorld& ctx, std::string_view tag, std::vector<PicId>& out) {
  const int n = MultiSpriteCount(ctx);
  for (int i = 0; i < n; ++i) {
    const TMultiSprite* m = MultiSpriteAt(ctx, i);
    if (m && m->tag == tag) out.push_back(i);
  }
}

}  // namespace qv
