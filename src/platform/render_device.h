#pragma once
// The render device the sprite engine and the shell draw through. Two implementations live in
// platform/sdl (a window, or an offscreen surface for headless runs); the core only sees this.
#include <cstdint>
#include <string>

namespace qv::platform {

constexpr int kScreenWidth = 800;
constexpr int kScreenHeight = 600;
constexpr int kTextureSize = 256;

enum class TextureFormat : std::uint8_t { ARGB8888, ARGB4444 };
enum class Blend : std::uint8_t { Alpha, Additive };
enum class Filter : std::uint8_t { Point, Linear };

// One textured quad in screen pixels. Vertex order: 0 top-left, 1 top-right, 2 bottom-left,
// 3 bottom-right of the unmirrored picture; a mirrored quad simply has x0 > x1 (or y0 > y1).
// Every quad this game draws is such a rectangle with one colour at all four corners.
//
// Coordinates are pixel edges, not pixel centres: pixel (x, y) covers [x, x+1) x [y, y+1).
// A quad with corners (10, 20)-(42, 52) covers exactly pixels 10..41 and 20..51, and when its
// size equals its texture rectangle's size it copies texels one to one with either filter.
// So pass corners as they are, with no half-pixel correction. Texture coordinates are texel
// edges as well (u = texel / 256); the device snaps them to whole texels.
struct DeviceQuad {
  float x0, y0, x1, y1;  // x of vertices 0/2 and 1/3, y of vertices 0/1 and 2/3
  float u0, v0, u1, v1;  // texture coordinates 0..1 in the bound texture
  std::uint32_t argb;    // colour and alpha of all four vertices
  // Every texel inside the rectangle is fully opaque: with alpha blending and a vertex alpha of
  // 255 the result equals the texel, so a device may copy instead of blending.
  bool opaque = false;
};

class RenderDevice {
 public:
  virtual ~RenderDevice() = default;

  // Textures are 256 x 256. Returns an id >= 0, or -1 on failure.
  virtual int CreateTexture(TextureFormat format) = 0;
  // Pixels are 256 * 256 values: uint32 ARGB8888, or uint16 ARGB4444 for that format.
  virtual bool UploadTexture(int id, const void* pixels) = 0;
  virtual void ReleaseTexture(int id) = 0;

  virtual bool BeginScene() = 0;
  virtual void Clear(std::uint32_t argb) = 0;
  // State, set only when it changes. Angle in radians, positive turns counter-clockwise on
  // screen, about the screen point (cx, cy); 0 means no rotation.
  virtual void SetRotation(float angle, float cx, float cy) = 0;
  virtual void SetBlend(Blend blend) = 0;
  virtual bool BindTexture(int id) = 0;  // -1 unbinds; false when the texture is unusable
  virtual void SetFilter(Filter filter) = 0;
  virtual bool DrawQuad(const DeviceQuad& quad) = 0;
  virtual void EndScene() = 0;
  virtual bool Present() = 0;

  // The frame drawn since BeginScene as 800 x 600 ARGB8888 pixels (screenshots, golden tests).
  // Call it after EndScene and before Present: a window's back buffer is undefined after it.
  virtual bool ReadPixels(std::uint32_t* out) = 0;
  virtual std::string Describe() const = 0;  // e.g. "software", "opengl"
};

}  // namespace qv::platform
