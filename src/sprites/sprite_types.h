#pragma once
// Records of the prototype cache and the texture atlas. Plain data; the operations live in
// prototype.h and atlas.h.
#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/render_device.h"

namespace qv {

struct part_group {
  int first_part = 0;
  int part_count = 0;
  int current_part = -1;
  std::string current_image_name;
};

// One part of a prototype.
struct my_sprite_opis {
  double x = 0, y = 0;
  int z = 0;
  bool flip_x = false, flip_y = false;
  int texture_index = -1;
  int group_index = -1;
  std::uint8_t alpha = 255;
  std::uint8_t alpha_mode = 0;
  std::int32_t color = 0xFFFFFF;
  double angle = 0;
  int frame_count = 0;
  double anim_speed = 0;
  bool anim_loop = false;
  int sprite_type = 0;
  double scale_x = 1, scale_y = 1;
  std::string image_name;
  int border = 0;
};

// One sprite definition file.
struct my_prototype {
  std::string name;  // empty = free entry
  std::vector<my_sprite_opis> parts;
  std::vector<part_group> groups;
  double x = 0, y = 0;
  int z = 0;
  bool isometric = false;
  double iso_x = 0, iso_y = 0;
  int iso_z = 0;
  bool flip_x = false, flip_y = false;
  int width = 0, height = 0;
  double angle = 0;
  std::uint8_t alpha = 255;
  std::int32_t color = 0xFFFFFF;
  double rot_center_x = 0, rot_center_y = 0;
  double scale_x = 1, scale_y = 1;
  double map_koeff = 1;
};

// A rectangle of a tile, in its texels, that holds something: wholly opaque or not.
struct TileRun {
  std::uint16_t x0, y0, x1, y1;
  bool opaque;
};

// One tile of a frame.
struct my_texture {
  bool has_content = false;
  // Every pixel the tile draws (inside the frame, without the border) is fully opaque, so a
  // device may copy it instead of blending it.
  bool opaque = false;
  int x = 0, y = 0;  // in the frame, without the border
  int atlas_texture_index = -1;
  // Exactly one of these holds size * size pixels while the tile has content.
  std::vector<std::uint32_t> pixels32;
  std::vector<std::uint16_t> pixels16;
  int atlas_x = 0, atlas_y = 0;
  double u = 0, v = 0;
  int slot = -1;
  // A large unbordered tile that is partly clear or partly opaque: its parts worth drawing, in
  // cells of an eighth of the tile. Empty where the whole tile is drawn as one.
  std::vector<TileRun> runs;
};

// A frame is a run of tiles in the tile pool; frames are shared between texture records that
// use the same image, so they live in a pool and records hold indices.
struct my_frame {
  std::string name;
  int first_tile = 0;
  int tile_count = 0;
  // The tile edge and border its tiles were cut with (0 and 0 without tiles). A continuation
  // line may copy a frame into a record of another tile size, so drawing goes by the frame's.
  int tile_size = 0;
  int border = 0;
};

// One image as used by one part.
struct my_bmptexture {
  std::string name;  // empty = free record
  int image_width = 0, image_height = 0;
  int frame_width = 0, frame_height = 0;
  int texture_size = 0;
  int border = 0;
  int tiles_per_frame = 0;
  std::vector<int> frames;  // indices into SpriteState::frames
  // Each distinct frame name of `frames` with its first frame, so that finding a loaded image
  // does not walk every frame (an image may be cut into very many).
  std::vector<std::pair<std::string, int>> frame_names;
};

// One 256 x 256 atlas texture of a size class.
struct my_big_texture {
  int tile_size = 0;
  int slot_count = 0;
  int free_slots = 0;
  std::vector<std::uint8_t> slot_used;
  int device_texture_index = -1;
};

struct my_texture_group {
  std::vector<my_big_texture> textures;
};

// An entry of the device texture list. The device only takes whole textures, so each entry
// knows its tiles and is uploaded from them when it changed or after a device reset.
struct DeviceTextureEntry {
  int id = -1;  // device texture id; -1 = empty
  int tile_size = 0;
  std::vector<int> tiles;  // indices into SpriteState::tiles
  bool dirty = false;
};

}  // namespace qv
