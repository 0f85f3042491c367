#pragma once
// State of the sprites subsystem, owned by the context: prototype cache, texture atlas, the
// sprite engine, the global multisprite list and the draw list.
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "sprites/draw_list.h"
#include "sprites/multisprite.h"
#include "sprites/sprite_engine.h"
#include "sprites/sprite_types.h"

namespace qv {

struct SpriteState {
  std::vector<my_prototype> prototypes;  // capacity grows by 256
  std::vector<my_bmptexture> textures;   // texture record list
  std::vector<my_frame> frames;          // frame pool, shared by texture records
  std::vector<my_texture> tiles;         // tile pool
  std::array<my_texture_group, 6> size_classes;
  std::vector<DeviceTextureEntry> device_textures;
  // Tile pixel layout, fixed by the first tile made ("textures16bit" at that time): tiles and
  // atlas textures must agree for the whole run.
  bool layout_fixed = false;
  bool layout16 = false;

  // A quad met a missing or unusable texture; no frame is drawn until RestoreTextures succeeds.
  bool texture_lost = false;

  double scroll_x = 0, scroll_y = 0;

  // Declared before the list so that it outlives every part.
  TSpriteEngine engine;
  std::vector<std::unique_ptr<TMultiSprite>> multisprites;  // used length = size()
  // Released pictures kept for reuse, by prototype index (see AcquireMultiSprite).
  std::vector<std::vector<TMultiSprite*>> pool;
  // No slot below this index is empty, so creating many instances stays linear.
  std::size_t free_slot_hint = 0;

  std::vector<SpriteQuad> draw_list;
  DrawOrder draw_order;
  // Counts the atlas pictures sent to the device: a frame whose list and count both match the
  // one on screen looks the same.
  std::uint64_t uploads = 0;
};

}  // namespace qv
