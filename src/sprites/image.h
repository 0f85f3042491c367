#pragma once
// Image decoders. Every decoder validates sizes and offsets before it touches memory; a bad
// file gives an error text and no pixels.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// Decoded pixels, rows top to bottom, A8R8G8B8 (alpha 255 where the image has none).
struct Image {
  int width = 0, height = 0;
  bool has_alpha = false;  // the type carries its own alpha
  bool grey = false;       // single-channel grey (alpha images)
  std::vector<std::uint32_t> argb;
  bool empty() const { return width <= 0 || height <= 0; }
};

struct DecodeResult {
  Image image;
  std::string error;  // empty on success
  // A damage the decoder worked around (the pixels it could not read are filled in); empty
  // when the file was sound.
  std::string warning;
  bool ok() const { return error.empty(); }
};

// Largest image we decode: 4096 x 4096 pixels in total (an edge may be up to 16384).
constexpr std::int64_t kMaxImagePixels = 4096LL * 4096LL;
constexpr int kMaxImageEdge = 16384;

using Bytes = std::span<const std::uint8_t>;

DecodeResult DecodePng(Bytes data);
DecodeResult DecodeJpeg(Bytes data);
DecodeResult DecodeBmp(Bytes data);
DecodeResult DecodeTga(Bytes data);

enum class ImageType { Unknown, Png, Bmp, Jpeg, Tga };
// By the last four characters of the path.
ImageType ImageTypeOf(std::string_view path);
DecodeResult DecodeImage(ImageType type, Bytes data);

}  // namespace qv
