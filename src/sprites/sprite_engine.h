#pragma once
// The sprite engine: a tree of sprites moved in creation order and drawn in z order. Only the
// root (TSpriteEngine) has children in this game; every multisprite part is one of them.
#include <cstdint>
#include <string>
#include <vector>

namespace qv {

struct SpriteWorld;
class TMultiSprite;

struct SpriteRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

class TSprite {
 public:
  explicit TSprite(TSprite* parent);
  virtual ~TSprite();
  TSprite(const TSprite&) = delete;
  TSprite& operator=(const TSprite&) = delete;

  virtual void DoMove(SpriteWorld& ctx, int move_count);
  virtual void DoDraw(SpriteWorld& ctx);
  virtual SpriteRect GetBoundsRect() const;

  // Move step of this sprite and then its children in creation order.
  void Move(SpriteWorld& ctx, int move_count);
  // Draws the children in z order (this sprite itself is drawn by its parent).
  void DrawChildren(SpriteWorld& ctx);

  int z() const { return z_; }
  // Re-sorts the parent's z-order list only when the value changes.
  void SetZ(int z);

  TSprite* Parent() const { return parent_; }
  const std::vector<TSprite*>& Children() const { return children_; }
  const std::vector<TSprite*>& ZOrder() const { return z_order_; }

  double x = 0, y = 0;
  int width = 0, height = 0;
  bool visible = true;
  bool moved = true;

 private:
  void AddChild(TSprite* child);
  void RemoveChild(TSprite* child);
  void InsertZ(TSprite* child);
  void RemoveZ(TSprite* child);

  int z_ = 0;
  TSprite* parent_ = nullptr;
  std::vector<TSprite*> children_;  // creation order
  std::vector<TSprite*> z_order_;   // ascending z; among equal z the latest entry first
};

class TImageSprite : public TSprite {
 public:
  explicit TImageSprite(TSprite* parent) : TSprite(parent) {}
  void DoMove(SpriteWorld& ctx, int move_count) override;
  SpriteRect GetBoundsRect() const override;
  // The animation rule of one move step.
  void AnimStep(int move_count);

  int anim_count = 0;
  bool anim_looped = false;
  double anim_pos = 0;
  double anim_speed = 0;  // frames per move unit
  int anim_start = 0;
};

class TSpriteEngine : public TSprite {
 public:
  TSpriteEngine() : TSprite(nullptr) {}
};

// One part of a multisprite.
class TMyImageSprite : public TImageSprite {
 public:
  explicit TMyImageSprite(TSprite* parent);
  void DoMove(SpriteWorld& ctx, int move_count) override;  // MovePart
  void DoDraw(SpriteWorld& ctx) override;                  // DrawPart

  double world_x = 0, world_y = 0;
  double offset_x = 0, offset_y = 0;
  int z_offset = 0;
  bool part_flip_x = false, part_flip_y = false;
  int texture_index = -1;
  int group_index = -1;
  std::uint8_t alpha = 255;
  std::uint8_t alpha_mode = 0;
  std::int32_t color = 0xFFFFFF;
  double part_angle = 0;
  TMultiSprite* owner = nullptr;
  double base_anim_speed = 0;
  int sprite_type = 0;
  double scale_x = 1, scale_y = 1;
  std::string image_name;
  bool draw_flip_x = false, draw_flip_y = false;
  double draw_angle = 0;
};

}  // namespace qv
