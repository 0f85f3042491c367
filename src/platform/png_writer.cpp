#include "platform/png_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <memory>
#include <vector>

namespace qv::platform {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Owns the write struct and its info struct.
class PngWrite {
 public:
  PngWrite() {
    png_ = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png_) info_ = png_create_info_struct(png_);
  }
  ~PngWrite() { png_destroy_write_struct(&png_, info_ ? &info_ : nullptr); }
  PngWrite(const PngWrite&) = delete;
  PngWrite& operator=(const PngWrite&) = delete;
  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  png_structp png_ = nullptr;
  png_infop info_ = nullptr;
};

bool Encode(std::FILE* file, const std::vector<png_bytep>& rows, int width, int height) {
  PngWrite w;
  if (!w.Png() || !w.Info()) return false;
  if (setjmp(png_jmpbuf(w.Png()))) return false;
  png_init_io(w.Png(), file);
  png_set_IHDR(w.Png(), w.Info(), static_cast<png_uint_32>(width), static_cast<png_uint_32>(height),
               8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(w.Png(), w.Info());
  png_write_image(w.Png(), const_cast<png_bytepp>(rows.data()));
  png_write_end(w.Png(), nullptr);
  return true;
}

}  // namespace

bool WritePng(const std::string& host_path, const std::uint32_t* argb, int width, int height) {
  if (width <= 0 || height <= 0) return false;
  std::vector<png_byte> rgb(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
  std::vector<png_bytep> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    png_bytep row = rgb.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width) * 3;
    rows[static_cast<std::size_t>(y)] = row;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = argb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                   static_cast<std::size_t>(x)];
      row[x * 3 + 0] = static_cast<png_byte>(p >> 16);
      row[x * 3 + 1] = static_cast<png_byte>(p >> 8);
      row[x * 3 + 2] = static_cast<png_byte>(p);
    }
  }
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(host_path.c_str(), "wb"));
  if (!file) return false;
  const bool ok = Encode(file.get(), rows, width, height);
  return std::fflush(file.get()) == 0 && ok;
}

}  // namespace qv::platform
