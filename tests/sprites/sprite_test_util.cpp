#include "sprite_test_util.h"

#include <jpeglib.h>
#include <png.h>

#include <cstring>

namespace qv::test {
namespace {

void Put16(std::string& s, unsigned v) {
  s.push_back(static_cast<char>(v & 0xFF));
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
}
void Put32(std::string& s, std::uint32_t v) {
  Put16(s, v & 0xFFFF);
  Put16(s, v >> 16);
}
void PutPixel(std::string& s, std::uint32_t c, int bpp) {
  if (bpp == 8) {
    s.push_back(static_cast<char>(c & 0xFF));
    return;
  }
  s.push_back(static_cast<char>(c & 0xFF));
  s.push_back(static_cast<char>((c >> 8) & 0xFF));
  s.push_back(static_cast<char>((c >> 16) & 0xFF));
  if (bpp == 32) s.push_back(static_cast<char>(c >> 24));
}

}  // namespace

std::string TgaBytes(const Picture& p, int bpp, bool top_down, bool rle, bool right_to_left) {
  std::string s;
  s.push_back(0);
  s.push_back(0);
  s.push_back(static_cast<char>((bpp == 8 ? 3 : 2) + (rle ? 8 : 0)));
  s.append(5, '\0');
  Put16(s, 0);
  Put16(s, 0);
  Put16(s, static_cast<unsigned>(p.w));
  Put16(s, static_cast<unsigned>(p.h));
  s.push_back(static_cast<char>(bpp));
  s.push_back(
      static_cast<char>((bpp == 32 ? 8 : 0) | (top_down ? 0x20 : 0) | (right_to_left ? 0x10 : 0)));
  std::vector<std::uint32_t> order;
  for (int fy = 0; fy < p.h; ++fy) {
    const int y = top_down ? fy : p.h - 1 - fy;
    for (int fx = 0; fx < p.w; ++fx) order.push_back(p.at(right_to_left ? p.w - 1 - fx : fx, y));
  }
  if (!rle) {
    for (std::uint32_t c : order) PutPixel(s, c, bpp);
    return s;
  }
  // Runs of equal pixels as run packets, the rest as raw packets; packets cross rows.
  std::size_t i = 0;
  while (i < order.size()) {
    std::size_t run = 1;
    while (i + run < order.size() && run < 128 && order[i + run] == order[i]) ++run;
    if (run >= 2) {
      s.push_back(static_cast<char>(0x80 | (run - 1)));
      PutPixel(s, order[i], bpp);
      i += run;
    } else {
      std::size_t n = 1;
      while (i + n < order.size() && n < 128 &&
             !(i + n + 1 < order.size() && order[i + n] == order[i + n + 1]))
        ++n;
      s.push_back(static_cast<char>(n - 1));
      for (std::size_t k = 0; k < n; ++k) PutPixel(s, order[i + k], bpp);
      i += n;
    }
  }
  return s;
}

std::string BmpBytes(const Picture& p, int bpp) {
  const int stride = ((p.w * bpp + 31) / 32) * 4;
  std::string s = "BM";
  Put32(s, static_cast<std::uint32_t>(54 + stride * p.h));
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, static_cast<std::uint32_t>(p.w));
  Put32(s, static_cast<std::uint32_t>(p.h));
  Put16(s, 1);
  Put16(s, static_cast<unsigned>(bpp));
  Put32(s, 0);
  Put32(s, static_cast<std::uint32_t>(stride * p.h));
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, 0);
  Put32(s, 0);
  for (int y = p.h - 1; y >= 0; --y) {
    const std::size_t start = s.size();
    for (int x = 0; x < p.w; ++x) PutPixel(s, p.at(x, y), bpp);
    while (s.size() - start < static_cast<std::size_t>(stride)) s.push_back(0);
  }
  return s;
}

std::string PngBytes(const Picture& p, bool alpha) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(p.w);
  image.height = static_cast<png_uint_32>(p.h);
  image.format = alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGRA;
  std::vector<std::uint32_t> px = p.px;
  if (!alpha) {
    image.format = PNG_FORMAT_BGR;
  }
  std::vector<std::uint8_t> rgb;
  const void* src = px.data();
  if (!alpha) {
    for (std::uint32_t c : px) {
      rgb.push_back(static_cast<std::uint8_t>(c));
      rgb.push_back(static_cast<std::uint8_t>(c >> 8));
      rgb.push_back(static_cast<std::uint8_t>(c >> 16));
    }
    src = rgb.data();
  }
  png_alloc_size_t size = 0;
  png_image_write_to_memory(&image, nullptr, &size, 0, src, 0, nullptr);
  std::string out(size, '\0');
  png_image_write_to_memory(&image, out.data(), &size, 0, src, 0, nullptr);
  out.resize(size);
  return out;
}

std::string JpegBytes(const Picture& p, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  unsigned char* mem = nullptr;
  unsigned long mem_size = 0;
  jpeg_mem_dest(&cinfo, &mem, &mem_size);
  cinfo.image_width = static_cast<JDIMENSION>(p.w);
  cinfo.image_height = static_cast<JDIMENSION>(p.h);
  cinfo.input_components = 3;
  cinfo.in_color_space = JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<std::uint8_t> row(static_cast<std::size_t>(p.w) * 3);
  for (int y = 0; y < p.h; ++y) {
    for (int x = 0; x < p.w; ++x) {
      const std::uint32_t c = p.at(x, y);
      row[x * 3] = static_cast<std::uint8_t>(c >> 16);
      row[x * 3 + 1] = static_cast<std::uint8_t>(c >> 8);
      row[x * 3 + 2] = static_cast<std::uint8_t>(c);
    }
    JSAMPROW r = row.data();
    jpeg_write_scanlines(&cinfo, &r, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(mem), mem_size);
  std::free(mem);
  return out;
}

}  // namespace qv::test
