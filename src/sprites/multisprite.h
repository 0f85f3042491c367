#pragma once
// TMultiSprite: a live picture made from a prototype, and the global multisprite list that owns
// every live one. Create by path, change fields directly, Update every scene frame, Destroy.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <typeinfo>
#include <utility>
#include <vector>

#include "sprites/sprite_engine.h"
#include "sprites/sprite_types.h"

namespace qv {

struct SpriteWorld;

class TMultiSprite {
 public:
  TMultiSprite() = default;
  virtual ~TMultiSprite();  // the parts leave the sprite engine
  TMultiSprite(const TMultiSprite&) = delete;
  TMultiSprite& operator=(const TMultiSprite&) = delete;

  // Shows part `part` (counted from the group's first part) of group `group`, hides the others.
  void SelectPart(int group, int part);
  // Flips and angle to the parts, then PlaceParts.
  void Update();
  void PlaceParts();
  // True when (px, py) lies in the frame rectangle of the shown part of some group.
  bool ContainsPoint(const SpriteWorld& ctx, double px, double py) const;

  std::string name;
  std::vector<std::unique_ptr<TMyImageSprite>> parts;
  std::vector<part_group> groups;
  double x = 0, y = 0;
  int z = 0;
  bool visible = true;
  bool flip_x = false, flip_y = false;
  int width = 0, height = 0;
  double angle = 0;
  std::uint8_t alpha = 255;
  double rot_center_x = 0, rot_center_y = 0;
  std::string tag;
  double map_koeff = 1;
  int list_index = -1;
  int prototype_index = -1;
  std::int32_t color = 0xFFFFFF;
  double scale_x = 1, scale_y = 1;
  bool isometric = false;
  double iso_x = 0, iso_y = 0;
  int iso_z = 0;
  bool pooled = false;  // released and parked in the pool, hidden
};

// Builds an instance of the definition file at `path` into the first free slot of the global
// list. The list owns it until DestroyMultiSprite.
TMultiSprite* CreateMultiSprite(SpriteWorld& ctx, std::string_view path);

// The same for a class derived from TMultiSprite (TShotBall ...).
void InitMultiSprite(SpriteWorld& ctx, std::unique_ptr<TMultiSprite> sprite, std::string_view path);
template <class T, class... Args>
T* CreateMultiSpriteOf(SpriteWorld& ctx, std::string_view path, Args&&... args) {
  auto sprite = std::make_unique<T>(std::forward<Args>(args)...);
  T* raw = sprite.get();
  InitMultiSprite(ctx, std::move(sprite), path);
  return raw;
}

// Pictures that come and go every few frames (particles, balls, glyphs) are pooled: a released
// picture keeps its slot, hidden and untagged, and the next acquire of the same definition
// takes it back as new, so once the pool has grown they cost no allocation. A derived class
// is handed out only as itself; its own fields keep their last values for the caller to set.
TMultiSprite* AcquireMultiSprite(SpriteWorld& ctx, std::string_view path);
void ReleaseMultiSprite(SpriteWorld& ctx, TMultiSprite* sprite);
// A parked instance of exactly this class and definition, reset as new; null when none.
TMultiSprite* TakePooledMultiSprite(SpriteWorld& ctx, std::string_view path,
                                    const std::type_info& type);
template <class T>
T* AcquireMultiSpriteOf(SpriteWorld& ctx, std::string_view path) {
  if (TMultiSprite* m = TakePooledMultiSprite(ctx, path, typeid(T))) return static_cast<T*>(m);
  return CreateMultiSpriteOf<T>(ctx, path);
}

// Empties the instance's slot and frees it; null is ignored.
void DestroyMultiSprite(SpriteWorld& ctx, TMultiSprite* sprite);
void DestroyMultiSpriteAt(SpriteWorld& ctx, int slot);

// Slots 0 .. MultiSpriteCount - 1; a slot may be empty (null).
int MultiSpriteCount(const SpriteWorld& ctx);
TMultiSprite* MultiSpriteAt(const SpriteWorld& ctx, int slot);

// Frame loop entry points: the move step of every sprite, then the draw pass that fills the
// draw list, then the render pass that submits it (RenderDrawList, draw_list.h).
void SpriteEngineMove(SpriteWorld& ctx, int move_count);
void SpriteEngineDraw(SpriteWorld& ctx);

}  // namespace qv
