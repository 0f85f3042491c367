#pragma once
// Texture records, frame and tile cutting, and the 256 x 256 atlas textures on the device.
#include <cstdint>
#include <string>
#include <string_view>

#include "sprites/image.h"

namespace qv {

struct SpriteWorld;

// Size class of a tile edge (8 -> 0 ... 256 -> 5), -1 for any other edge.
int SizeClassOf(int tile_size);

// Whether tiles of edge `size` keeping `border` pixels round them can be cut: one of the six
// edges, and a border of at least 0 that leaves a step of at least one pixel.
bool ValidTileGeometry(int size, int border);

// Stores A8R8G8B8 or A4R4G4B4 for one decoded pixel.
inline std::uint16_t ToArgb4444(std::uint32_t argb) {
  return static_cast<std::uint16_t>(((argb >> 16) & 0xF000) | ((argb >> 12) & 0x0F00) |
                                    ((argb >> 8) & 0x00F0) | ((argb >> 4) & 0x000F));
}

// Index of the texture record holding a frame named `base_name`, or -1 (search in list order).
int FindLoadedImage(const SpriteWorld& ctx, std::string_view base_name, int* frame_pool_index);

// Appends frame `frame_pool_index` to texture record `rec`.
void AppendFrame(SpriteWorld& ctx, int rec, int frame_pool_index);

// Cuts `image` into frames of frame_w x frame_h and those into tiles; places every tile with
// content in the atlas. Appends the frames to `rec` (frames named `name`).
void CutFrames(SpriteWorld& ctx, int rec, const Image& image, std::string_view name,
               int max_frames);

// Creates the 256 x 256 device texture of device texture list entry `index`.
bool CreateAtlasTexture(SpriteWorld& ctx, int index);
// Rebuilds every atlas texture from the kept tile pixels; success leaves the texture-lost state.
bool RestoreTextures(SpriteWorld& ctx);
// Device loss: releases every device texture and empties the entries.
void ReleaseDeviceTextures(SpriteWorld& ctx);
// Uploads the atlas textures whose tiles changed since the last upload.
bool FlushAtlasTextures(SpriteWorld& ctx);

}  // namespace qv
