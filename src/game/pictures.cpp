#include "game/pictures.h"

#include "shell/context.h"

namespace qv {
namespace {

StandinPic* Get(Context& ctx, PicId id) {
  auto& slots = ctx.game.pictures.slots;
  if (id < 0 || static_cast<std::size_t>(id) >= slots.size() || !slots[id].alive) return nullptr;
  return &slots[id];
}

const StandinPic* Get(const Context& ctx, PicId id) {
  const auto& slots = ctx.game.pictures.slots;
  if (id < 0 || static_cast<std::size_t>(id) >= slots.size() || !slots[id].alive) return nullptr;
  return &slots[id];
}

StandinPart* Part(Context& ctx, PicId id, int part) {
  StandinPic* p = Get(ctx, id);
  if (!p || part < 0 || static_cast<std::size_t>(part) >= p->parts.size()) return nullptr;
  return &p->parts[part];
}

}  // namespace

PicId MakePic(Context& ctx, std::string_view path, std::string_view tag) {
  auto& slots = ctx.game.pictures.slots;
  std::size_t i = 0;
  while (i < slots.size() && slots[i].alive) ++i;
  if (i == slots.size()) slots.emplace_back();
  StandinPic& p = slots[i];
  p = StandinPic{};
  p.alive = true;
  p.name.assign(path);
  p.tag.assign(tag);
  p.parts.assign(4, StandinPart{});
  p.group_part.assign(4, 0);
  return static_cast<PicId>(i);
}

void FreePic(Context& ctx, PicId& id) {
  if (StandinPic* p = Get(ctx, id)) p->alive = false;
  id = kNoPic;
}

bool PicAlive(const Context& ctx, PicId id) {
  return Get(ctx, id) != nullptr;
}

double PicX(const Context& ctx, PicId id) {
  const StandinPic* p = Get(ctx, id);
  return p ? p->x : 0;
}
double PicY(const Context& ctx, PicId id) {
  const StandinPic* p = Get(ctx, id);
  return p ? p->y : 0;
}
void SetPicPos(Context& ctx, PicId id, double x, double y) {
  if (StandinPic* p = Get(ctx, id)) {
    p->x = x;
    p->y = y;
  }
}
int PicZ(const Context& ctx, PicId id) {
  const StandinPic* p = Get(ctx, id);
  return p ? p->z : 0;
}
void SetPicZ(Context& ctx, PicId id, int z) {
  if (StandinPic* p = Get(ctx, id)) p->z = z;
}
void SetPicVisible(Context& ctx, PicId id, bool visible) {
  if (StandinPic* p = Get(ctx, id)) p->visible = visible;
}
void SetPicAlpha(Context& ctx, PicId id, int alpha) {
  if (StandinPic* p = Get(ctx, id)) p->alpha = alpha;
}
void SetPicColor(Context& ctx, PicId id, int rgb) {
  if (StandinPic* p = Get(ctx, id)) p->color = rgb;
}
double PicScaleX(const Context& ctx, PicId id) {
  const StandinPic* p = Get(ctx, id);
  return p ? p->scale_x : 1;
}
double PicScaleY(const Context& ctx, PicId id) {
  const StandinPic* p = Get(ctx, id);
  return p ? p->scale_y : 1;
}
void SetPicScale(Context& ctx, PicId id, double sx, double sy) {
  if (StandinPic* p = Get(ctx, id)) {
    p->scale_x = sx;
    p->scale_y = sy;
  }
}
double PicAngle(const Context& ctx, PicId id) {
  const StandinPic* p = Get(ctx, id);
  return p ? p->angle : 0;
}
void SetPicAngle(Context& ctx, PicId id, double angle) {
  if (StandinPic* p = Get(ctx, id)) p->angle = angle;
}
void SetPicTag(Context& ctx, PicId id, std::string_view tag) {
  if (StandinPic* p = Get(ctx, id)) p->tag.assign(tag);
}
int PicWidth(const Context& ctx, PicId id) {
  const StandinPic* p = Get(ctx, id);
  return p ? p->width : 0;
}

void SetPartVisible(Context& ctx, PicId id, int part, bool visible) {
  if (StandinPart* p = Part(ctx, id, part)) p->visible = visible;
}
double PartAnimSpeed(const Context& ctx, PicId id, int part) {
  const StandinPic* p = Get(ctx, id);
  if (!p || part < 0 || static_cast<std::size_t>(part) >= p->parts.size()) return 0;
  return p->parts[part].anim_speed;
}
void SetPartAnimSpeed(Context& ctx, PicId id, int part, double speed) {
  if (StandinPart* p = Part(ctx, id, part)) p->anim_speed = speed;
}
void RestorePartAnimSpeed(Context& ctx, PicId id, int part) {
  if (StandinPart* p = Part(ctx, id, part)) p->anim_speed = p->base_anim_speed;
}
void SetPartAnimPos(Context& ctx, PicId id, int part, double pos) {
  if (StandinPart* p = Part(ctx, id, part)) p->anim_pos = pos;
}
void SetPartColor(Context& ctx, PicId id, int part, int rgb) {
  if (StandinPart* p = Part(ctx, id, part)) p->color = rgb;
}
void SetPartAlphaMode(Context& ctx, PicId id, int part, int mode) {
  if (StandinPart* p = Part(ctx, id, part)) p->alpha_mode = mode;
}
void SelectPicPart(Context& ctx, PicId id, int group, int part) {
  StandinPic* p = Get(ctx, id);
  if (!p || group < 0 || static_cast<std::size_t>(group) >= p->group_part.size()) return;
  p->group_part[group] = part;
}

void AnimatePic(Context& ctx, PicId id) {
  if (StandinPic* p = Get(ctx, id)) ++p->updates;
}

void CollectTagged(const Context& ctx, std::string_view tag, std::vector<PicId>& out) {
  const auto& slots = ctx.game.pictures.slots;
  for (std::size_t i = 0; i < slots.size(); ++i) {
    if (slots[i].alive && slots[i].tag == tag) out.push_back(static_cast<PicId>(i));
  }
}

const StandinPic* StandinOf(const Context& ctx, PicId id) {
  return Get(ctx, id);
}

}  // namespace qv
