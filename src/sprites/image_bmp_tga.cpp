// Our own decoders for Windows bitmaps and Targa images.
#include <algorithm>
#include <bit>
#include <cstring>

#include "sprites/image.h"

namespace qv {
namespace {

struct Reader {
  Bytes data;
  bool Has(std::size_t offset, std::size_t count) const {
    return offset <= data.size() && count <= data.size() - offset;
  }
  std::uint32_t U8(std::size_t o) const { return data[o]; }
  std::uint32_t U16(std::size_t o) const { return data[o] | (data[o + 1] << 8); }
  std::uint32_t U32(std::size_t o) const {
    return data[o] | (data[o + 1] << 8) | (data[o + 2] << 16) | (std::uint32_t{data[o + 3]} << 24);
  }
};

DecodeResult Fail(std::string text) {
  DecodeResult r;
  r.error = std::move(text);
  return r;
}

bool SizeAllowed(std::int64_t w, std::int64_t h) {
  return w > 0 && h > 0 && w <= kMaxImageEdge && h <= kMaxImageEdge && w * h <= kMaxImagePixels;
}

std::uint32_t Argb(std::uint32_t a, std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

// A colour mask of a bitfield pixel: the field's position and width, scaled to 8 bits on read.
struct Mask {
  std::uint32_t mask = 0;
  int shift = 0;
  std::uint32_t max = 0;
  explicit Mask(std::uint32_t m = 0) : mask(m) {
    if (m == 0) return;
    shift = std::countr_zero(m);
    std::uint32_t bits = m >> shift;
    // A mask with holes is read as its contiguous low run.
    int width = std::countr_one(bits);
    max = width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1u);
  }
  std::uint32_t Get(std::uint32_t pixel) const {
    if (mask == 0 || max == 0) return 0;
    const std::uint64_t v = (pixel >> shift) & max;
    return static_cast<std::uint32_t>((v * 255u + max / 2) / max);
  }
};

// Images whose alpha channel is zero everywhere were written without alpha (the byte is
// padding): show them opaque rather than invisible.
void SettleAlpha(Image& img) {
  if (!img.has_alpha) return;
  for (std::uint32_t p : img.argb) {
    if (p >> 24) return;
  }
  img.has_alpha = false;
  for (std::uint32_t& p : img.argb) p |= 0xFF000000u;
}

}  // namespace

DecodeResult DecodeBmp(Bytes data) {
  const Reader in{data};
  if (!in.Has(0, 18) || data[0] != 'B' || data[1] != 'M') return Fail("not a BMP file");
  const std::uint32_t pixel_offset = in.U32(10);
  const std::uint32_t header_size = in.U32(14);
  if (header_size < 12 || !in.Has(14, header_size)) return Fail("truncated BMP header");

  std::int64_t width = 0, height = 0;
  int bpp = 0;
  std::uint32_t compression = 0, colors_used = 0;
  std::uint32_t masks[4] = {0, 0, 0, 0};
  bool have_masks = false;
  std::size_t palette_offset = 14 + header_size;
  int palette_entry = 4;
  if (header_size == 12) {
    width = in.U16(18);
    height = static_cast<std::int16_t>(in.U16(20));
    bpp = static_cast<int>(in.U16(24));
    palette_entry = 3;
  } else {
    if (header_size < 40) return Fail("unsupported BMP header");
    width = static_cast<std::int32_t>(in.U32(18));
    height = static_cast<std::int32_t>(in.U32(22));
    bpp = static_cast<int>(in.U16(28));
    compression = in.U32(30);
    colors_used = in.U32(46);
    if (compression == 3 || compression == 6) {
      const int count = compression == 6 ? 4 : 3;
      if (header_size >= 52) {
        for (int i = 0; i < count && 40 + 4 * i + 4 <= static_cast<int>(header_size); ++i)
          masks[i] = in.U32(54 + 4 * i);
        if (compression == 3 && header_size >= 56) masks[3] = in.U32(66);
      } else {
        if (!in.Has(palette_offset, 4 * count)) return Fail("truncated BMP masks");
        for (int i = 0; i < count; ++i) masks[i] = in.U32(palette_offset + 4 * i);
        palette_offset += 4 * count;
      }
      have_masks = true;
    } else if (compression == 0 && header_size >= 56 && bpp == 32) {
      // A version 4 or 5 header names an alpha mask even for plain pixels.
      masks[3] = in.U32(66);
    }
  }
  const bool top_down = height < 0;
  if (top_down) height = -height;
  if (!SizeAllowed(width, height)) return Fail("BMP size out of range");
  const int w = static_cast<int>(width), h = static_cast<int>(height);

  const bool rle8 = compression == 1, rle4 = compression == 2;
  if (compression != 0 && compression != 3 && compression != 6 && !rle8 && !rle4)
    return Fail("unsupported BMP compression");
  if ((rle8 && bpp != 8) || (rle4 && bpp != 4)) return Fail("bad BMP compression");
  if ((compression == 3 || compression == 6) && bpp != 16 && bpp != 32)
    return Fail("bad BMP bit fields");
  if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32)
    return Fail("unsupported BMP bit depth");

  std::vector<std::uint32_t> palette;
  if (bpp <= 8) {
    std::uint32_t count = colors_used ? colors_used : (1u << bpp);
    count = std::min<std::uint32_t>(count, 256);
    // Files that claim more entries than they hold keep what is there.
    while (count > 0 && !in.Has(palette_offset, std::size_t{count} * palette_entry)) --count;
    if (count == 0) return Fail("BMP palette missing");
    palette.resize(1u << bpp, 0xFF000000u);
    for (std::uint32_t i = 0; i < count && i < palette.size(); ++i) {
      const std::size_t o = palette_offset + i * palette_entry;
      palette[i] = Argb(255, data[o + 2], data[o + 1], data[o]);
    }
  }
  if (pixel_offset >= data.size()) return Fail("BMP pixel offset beyond the file");
  const std::size_t stride = ((static_cast<std::size_t>(w) * bpp + 31) / 32) * 4;
  const std::size_t row_bytes = (static_cast<std::size_t>(w) * bpp + 7) / 8;
  // Uncompressed rows are checked before the pixels are allocated.
  if (!rle8 && !rle4 && !in.Has(pixel_offset, stride * (h - 1) + row_bytes))
    return Fail("truncated BMP pixels");

  DecodeResult r;
  Image& img = r.image;
  img.width = w;
  img.height = h;
  img.argb.assign(static_cast<std::size_t>(w) * h, 0xFF000000u);
  auto row_of = [&](int file_row) { return top_down ? file_row : h - 1 - file_row; };

  if (rle8 || rle4) {
    // Pixels the stream skips keep palette entry 0.
    std::vector<std::uint8_t> index(static_cast<std::size_t>(w) * h, 0);
    std::size_t pos = pixel_offset;
    int x = 0, y = 0;
    auto put = [&](int v) {
      if (x < w && y < h) index[static_cast<std::size_t>(y) * w + x] = static_cast<std::uint8_t>(v);
      ++x;
    };
    while (y < h) {
      if (!in.Has(pos, 2)) break;  // a truncated stream keeps what it drew
      const int n = data[pos], c = data[pos + 1];
      pos += 2;
      if (n > 0) {
        for (int i = 0; i < n; ++i) put(rle8 ? c : (i % 2 == 0 ? c >> 4 : c & 15));
      } else if (c == 0) {
        x = 0;
        ++y;
      } else if (c == 1) {
        break;
      } else if (c == 2) {
        if (!in.Has(pos, 2)) break;
        x += data[pos];
        y += data[pos + 1];
        pos += 2;
      } else {
        const std::size_t bytes = rle8 ? c : (static_cast<std::size_t>(c) + 1) / 2;
        if (!in.Has(pos, bytes)) break;
        for (int i = 0; i < c; ++i)
          put(rle8 ? data[pos + i]
                   : (i % 2 == 0 ? data[pos + i / 2] >> 4 : data[pos + i / 2] & 15));
        pos += (bytes + 1) & ~std::size_t{1};
      }
    }
    for (int fy = 0; fy < h; ++fy)
      for (int fx = 0; fx < w; ++fx)
        img.argb[static_cast<std::size_t>(row_of(fy)) * w + fx] =
            palette[index[static_cast<std::size_t>(fy) * w + fx] % palette.size()];
    return r;
  }

  Mask mr, mg, mb, ma;
  if (bpp == 16) {
    if (!have_masks) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
  } else if (bpp == 32 && !have_masks) {
    // Blue, green, red, alpha in byte order unless the header names other masks.
    masks[0] = 0x00FF0000, masks[1] = 0x0000FF00, masks[2] = 0x000000FF;
    masks[3] = masks[3] ? masks[3] : 0xFF000000u;
  }
  mr = Mask(masks[0]), mg = Mask(masks[1]), mb = Mask(masks[2]), ma = Mask(masks[3]);
  img.has_alpha = (bpp == 32 || bpp == 16) && masks[3] != 0;
  // Only plain 32-bit pixels may carry a padding byte where alpha would be.
  const bool maybe_padding = compression == 0;

  for (int fy = 0; fy < h; ++fy) {
    const std::uint8_t* row = data.data() + pixel_offset + stride * fy;
    std::uint32_t* out = img.argb.data() + static_cast<std::size_t>(row_of(fy)) * w;
    for (int fx = 0; fx < w; ++fx) {
      switch (bpp) {
        case 1:
          out[fx] = palette[(row[fx / 8] >> (7 - fx % 8)) & 1];
          break;
        case 4:
          out[fx] = palette[(row[fx / 2] >> (fx % 2 ? 0 : 4)) & 15];
          break;
        case 8:
          out[fx] = palette[row[fx]];
          break;
        case 24:
          out[fx] = Argb(255, row[fx * 3 + 2], row[fx * 3 + 1], row[fx * 3]);
          break;
        default: {
          const std::uint32_t p =
              bpp == 16 ? (row[fx * 2] | (row[fx * 2 + 1] << 8))
                        : (row[fx * 4] | (row[fx * 4 + 1] << 8) | (row[fx * 4 + 2] << 16) |
                           (std::uint32_t{row[fx * 4 + 3]} << 24));
          out[fx] = Argb(img.has_alpha ? ma.Get(p) : 255, mr.Get(p), mg.Get(p), mb.Get(p));
        }
      }
    }
  }
  if (maybe_padding) SettleAlpha(img);
  return r;
}

DecodeResult DecodeTga(Bytes data) {
  const Reader in{data};
  if (!in.Has(0, 18)) return Fail("truncated TGA header");
  const std::uint32_t id_length = in.U8(0), cmap_type = in.U8(1), type = in.U8(2);
  const std::uint32_t cmap_first = in.U16(3), cmap_length = in.U16(5), cmap_bits = in.U8(7);
  const int w = static_cast<int>(in.U16(12)), h = static_cast<int>(in.U16(14));
  const int bpp = static_cast<int>(in.U8(16));
  const std::uint32_t desc = in.U8(17);
  const bool rle = type >= 9;
  const std::uint32_t kind = rle ? type - 8 : type;  // 1 colour-mapped, 2 true colour, 3 grey
  if (cmap_type > 1 || (kind != 1 && kind != 2 && kind != 3)) return Fail("unsupported TGA type");
  if (!SizeAllowed(w, h)) return Fail("TGA size out of range");
  const int alpha_bits = static_cast<int>(desc & 15);

  std::size_t pos = 18 + id_length;
  std::vector<std::uint32_t> palette;
  auto decode_colour = [&](const std::uint8_t* p, int bits, bool* alpha_seen) -> std::uint32_t {
    switch (bits) {
      case 8:
        return Argb(255, p[0], p[0], p[0]);
      case 15:
      case 16: {
        const std::uint32_t v = p[0] | (p[1] << 8);
        const std::uint32_t r5 = (v >> 10) & 31, g5 = (v >> 5) & 31, b5 = v & 31;
        std::uint32_t a = 255;
        if (bits == 16 && alpha_bits == 1) {
          a = (v & 0x8000) ? 255 : 0;
          *alpha_seen = true;
        }
        return Argb(a, (r5 * 255 + 15) / 31, (g5 * 255 + 15) / 31, (b5 * 255 + 15) / 31);
      }
      case 24:
        return Argb(255, p[2], p[1], p[0]);
      default:
        *alpha_seen = true;
        return Argb(p[3], p[2], p[1], p[0]);
    }
  };
  bool alpha_seen = false;
  if (cmap_type == 1) {
    if (cmap_bits != 15 && cmap_bits != 16 && cmap_bits != 24 && cmap_bits != 32)
      return Fail("unsupported TGA colour map");
    const std::size_t entry = (cmap_bits + 7) / 8;
    if (!in.Has(pos, entry * cmap_length)) return Fail("truncated TGA colour map");
    if (kind == 1) {
      palette.resize(cmap_length);
      for (std::uint32_t i = 0; i < cmap_length; ++i)
        palette[i] =
            decode_colour(data.data() + pos + i * entry, static_cast<int>(cmap_bits), &alpha_seen);
    }
    pos += entry * cmap_length;
  } else if (kind == 1) {
    return Fail("TGA colour map missing");
  }
  if (kind == 1 && bpp != 8 && bpp != 16) return Fail("unsupported TGA index depth");
  if (kind == 2 && bpp != 15 && bpp != 16 && bpp != 24 && bpp != 32)
    return Fail("unsupported TGA depth");
  if (kind == 3 && bpp != 8 && bpp != 16) return Fail("unsupported TGA grey depth");
  const std::size_t pixel_bytes = (static_cast<std::size_t>(bpp) + 7) / 8;

  // Before the pixels are allocated: the data must be able to fill them. A run-length packet
  // covers at most 128 pixels and takes at least one byte more than a pixel.
  const std::size_t pixels = static_cast<std::size_t>(w) * h;
  const std::size_t least = rle ? (pixels + 127) / 128 * (1 + pixel_bytes) : pixels * pixel_bytes;
  if (!in.Has(pos, least)) return Fail(rle ? "truncated TGA run-length data" : "truncated TGA pixels");

  DecodeResult r;
  Image& img = r.image;
  img.width = w;
  img.height = h;
  img.grey = kind == 3 && bpp == 8;
  img.argb.assign(pixels, 0);
  auto convert = [&](const std::uint8_t* p) -> std::uint32_t {
    if (kind == 1) {
      const std::uint32_t index = bpp == 8 ? p[0] : (p[0] | (p[1] << 8));
      if (index < cmap_first || index - cmap_first >= palette.size()) return 0xFF000000u;
      return palette[index - cmap_first];
    }
    if (kind == 3) {
      if (bpp == 16) {
        alpha_seen = true;
        return Argb(p[1], p[0], p[0], p[0]);
      }
      return Argb(255, p[0], p[0], p[0]);
    }
    return decode_colour(p, bpp, &alpha_seen);
  };

  // Pixels in file order; rows and columns are mirrored into screen order as stored.
  const bool right_to_left = desc & 0x10, top_to_bottom = desc & 0x20;
  const std::size_t total = static_cast<std::size_t>(w) * h;
  auto store = [&](std::size_t n, std::uint32_t v) {
    const int fy = static_cast<int>(n / w), fx = static_cast<int>(n % w);
    const int y = top_to_bottom ? fy : h - 1 - fy;
    const int x = right_to_left ? w - 1 - fx : fx;
    img.argb[static_cast<std::size_t>(y) * w + x] = v;
  };
  std::size_t n = 0;
  if (!rle) {
    if (!in.Has(pos, total * pixel_bytes)) return Fail("truncated TGA pixels");
    for (; n < total; ++n) store(n, convert(data.data() + pos + n * pixel_bytes));
  } else {
    while (n < total) {
      if (!in.Has(pos, 1)) return Fail("truncated TGA run-length data");
      const std::uint32_t head = data[pos++];
      const std::size_t count = std::min<std::size_t>((head & 0x7F) + 1, total - n);
      if (head & 0x80) {
        if (!in.Has(pos, pixel_bytes)) return Fail("truncated TGA run-length data");
        const std::uint32_t v = convert(data.data() + pos);
        pos += pixel_bytes;
        for (std::size_t i = 0; i < count; ++i) store(n++, v);
      } else {
        if (!in.Has(pos, count * pixel_bytes)) return Fail("truncated TGA run-length data");
        for (std::size_t i = 0; i < count; ++i, pos += pixel_bytes)
          store(n++, convert(data.data() + pos));
      }
    }
  }
  img.has_alpha = alpha_seen && (alpha_bits > 0 || bpp == 32 || (kind == 1 && cmap_bits == 32) ||
                                 (kind == 3 && bpp == 16));
  if (!img.has_alpha)
    for (std::uint32_t& p : img.argb) p |= 0xFF000000u;
  // 32-bit pixels whose header declares no alpha bits hold either padding or alpha from a
  // writer that left the count out; only an all-zero byte is taken as padding.
  if (alpha_bits == 0) SettleAlpha(img);
  return r;
}

}  // namespace qv
