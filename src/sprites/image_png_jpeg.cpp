// PNG and JPEG through their libraries. Both report errors by longjmp, so each library call
// sequence lives in a function whose frame holds no object with a destructor.
#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

#include "sprites/image.h"

namespace qv {
namespace {

DecodeResult Fail(std::string text) {
  DecodeResult r;
  r.error = std::move(text);
  return r;
}

bool SizeAllowed(std::uint64_t w, std::uint64_t h) {
  return w > 0 && h > 0 && w <= kMaxImageEdge && h <= kMaxImageEdge &&
         w * h <= static_cast<std::uint64_t>(kMaxImagePixels);
}

// ---- PNG ----

struct PngSource {
  const std::uint8_t* data;
  std::size_t size;
  std::size_t pos;
};

struct PngErrorState {
  char message[160];
};

void PngRead(png_structp png, png_bytep out, png_size_t count) {
  auto* src = static_cast<PngSource*>(png_get_io_ptr(png));
  if (count > src->size - src->pos) png_error(png, "file truncated");
  std::memcpy(out, src->data + src->pos, count);
  src->pos += count;
}

void PngError(png_structp png, png_const_charp msg) {
  auto* state = static_cast<PngErrorState*>(png_get_error_ptr(png));
  std::snprintf(state->message, sizeof state->message, "%s", msg);
  png_longjmp(png, 1);
}

void PngWarning(png_structp, png_const_charp) {}

class PngHandle {
 public:
  explicit PngHandle(PngErrorState* errors)
      : png_(png_create_read_struct(PNG_LIBPNG_VER_STRING, errors, PngError, PngWarning)),
        info_(png_ ? png_create_info_struct(png_) : nullptr) {}
  ~PngHandle() { png_destroy_read_struct(&png_, info_ ? &info_ : nullptr, nullptr); }
  PngHandle(const PngHandle&) = delete;
  PngHandle& operator=(const PngHandle&) = delete;
  png_structp Png() const { return png_; }
  png_infop Info() const { return info_; }

 private:
  png_structp png_;
  png_infop info_;
};

struct PngHeader {
  png_uint_32 width, height;
  int has_alpha;
};

// Reads the header and sets the transformations to 8-bit RGBA. No destructors in this frame.
bool PngReadHeader(png_structp png, png_infop info, PngSource* src, PngHeader* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, src, PngRead);
  png_set_user_limits(png, kMaxImageEdge, kMaxImageEdge);
  // No chunk buffer beyond what the largest image's rows need, few ancillary chunks kept, and
  // the chunks we never use are skipped unread: libpng would otherwise allocate whatever
  // length such a chunk claims before it finds the file too short.
  png_set_chunk_malloc_max(png, static_cast<png_alloc_size_t>(kMaxImagePixels) * 4);
  png_set_chunk_cache_max(png, 64);
  static constexpr png_byte kSkipped[] = "iCCP\0sPLT\0tEXt\0zTXt\0iTXt\0eXIf\0pCAL\0sCAL\0hIST\0tIME\0";
  png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped,
                              static_cast<int>((sizeof kSkipped - 1) / 5));
  png_read_info(png, info);
  const int color_type = png_get_color_type(png, info);
  out->width = png_get_image_width(png, info);
  out->height = png_get_image_height(png, info);
  // Only an alpha channel counts: palette and colour-key transparency (tRNS) is ignored, as the
  // pictures were made for a loader that ignored it. The alpha it expands to is reset below.
  out->has_alpha = (color_type & PNG_COLOR_MASK_ALPHA) != 0;
  png_set_expand(png);  // palette to RGB, grey below 8 bits to 8
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_bgr(png);  // little-endian BGRA bytes are our ARGB words
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  return png_get_rowbytes(png, info) == out->width * 4;
}

bool PngReadRows(png_structp png, png_infop info, png_bytepp rows) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_image(png, rows);
  png_read_end(png, nullptr);
  (void)info;
  return true;
}

// ---- JPEG ----

struct JpegError {
  jpeg_error_mgr mgr;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
  char warning[JMSG_LENGTH_MAX];  // the first warning
};

void JpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  cinfo->err->format_message(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

// Trace messages stay silent; the first warning (corrupt or truncated data, which libjpeg
// decodes around) is kept for the caller's log.
void JpegMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  auto* err = reinterpret_cast<JpegError*>(cinfo->err);
  if (err->mgr.num_warnings++ == 0) cinfo->err->format_message(cinfo, err->warning);
}

class JpegHandle {
 public:
  JpegHandle() { std::memset(&cinfo_, 0, sizeof cinfo_); }
  ~JpegHandle() {
    if (created_) jpeg_destroy_decompress(&cinfo_);
  }
  JpegHandle(const JpegHandle&) = delete;
  JpegHandle& operator=(const JpegHandle&) = delete;
  jpeg_decompress_struct* get() { return &cinfo_; }
  bool created_ = false;

 private:
  jpeg_decompress_struct cinfo_;
};

struct JpegHeader {
  JDIMENSION width, height;
  int components;
  int cmyk_inverted;  // -1 not CMYK
};

bool JpegStart(jpeg_decompress_struct* cinfo, JpegError* err, bool* created,
               const std::uint8_t* data, std::size_t size, JpegHeader* out) {
  cinfo->err = jpeg_std_error(&err->mgr);
  err->mgr.error_exit = JpegErrorExit;
  err->mgr.emit_message = JpegMessage;
  if (setjmp(err->jump)) return false;
  jpeg_create_decompress(cinfo);
  *created = true;
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  jpeg_read_header(cinfo, TRUE);
  out->cmyk_inverted = -1;
  if (cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK) {
    cinfo->out_color_space = JCS_CMYK;
    out->cmyk_inverted = cinfo->saw_Adobe_marker ? 1 : 0;
  } else {
    cinfo->out_color_space = JCS_RGB;
  }
  out->width = cinfo->image_width;
  out->height = cinfo->image_height;
  if (!SizeAllowed(out->width, out->height)) return true;  // the caller refuses the size
  jpeg_start_decompress(cinfo);
  out->components = cinfo->output_components;
  return true;
}

bool JpegReadRows(jpeg_decompress_struct* cinfo, JpegError* err, std::uint8_t* buffer,
                  std::size_t row_bytes) {
  if (setjmp(err->jump)) return false;
  while (cinfo->output_scanline < cinfo->output_height) {
    JSAMPROW row = buffer + row_bytes * cinfo->output_scanline;
    if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return false;
  }
  jpeg_finish_decompress(cinfo);
  return true;
}

}  // namespace

DecodeResult DecodePng(Bytes data) {
  if (data.size() < 8 || png_sig_cmp(data.data(), 0, 8) != 0) return Fail("not a PNG file");
  PngErrorState errors{};
  PngHandle handle(&errors);
  if (!handle.Png() || !handle.Info()) return Fail("out of memory");
  PngSource src{data.data(), data.size(), 0};
  PngHeader header{};
  if (!PngReadHeader(handle.Png(), handle.Info(), &src, &header))
    return Fail(errors.message[0] ? errors.message : "unsupported PNG layout");
  if (!SizeAllowed(header.width, header.height)) return Fail("PNG size out of range");
  DecodeResult r;
  Image& img = r.image;
  img.width = static_cast<int>(header.width);
  img.height = static_cast<int>(header.height);
  img.has_alpha = header.has_alpha != 0;
  img.argb.assign(static_cast<std::size_t>(img.width) * img.height, 0);
  std::vector<png_bytep> rows(img.height);
  for (int y = 0; y < img.height; ++y)
    rows[y] =
        reinterpret_cast<png_bytep>(img.argb.data() + static_cast<std::size_t>(y) * img.width);
  if (!PngReadRows(handle.Png(), handle.Info(), rows.data()))
    return Fail(errors.message[0] ? errors.message : "corrupt PNG data");
  if (!img.has_alpha)
    for (std::uint32_t& px : img.argb) px |= 0xFF000000u;
  static_assert(std::endian::native == std::endian::little);
  return r;
}

DecodeResult DecodeJpeg(Bytes data) {
  if (data.size() < 4) return Fail("not a JPEG file");
  JpegHandle handle;
  JpegError err{};
  JpegHeader header{};
  if (!JpegStart(handle.get(), &err, &handle.created_, data.data(), data.size(), &header))
    return Fail(err.message);
  if (!SizeAllowed(header.width, header.height)) return Fail("JPEG size out of range");
  const int comps = header.components;
  if ((header.cmyk_inverted < 0 && comps != 3) || (header.cmyk_inverted >= 0 && comps != 4))
    return Fail("unsupported JPEG colour layout");
  const std::size_t row_bytes = static_cast<std::size_t>(header.width) * comps;
  std::vector<std::uint8_t> buffer(row_bytes * header.height);
  if (!JpegReadRows(handle.get(), &err, buffer.data(), row_bytes)) return Fail(err.message);
  DecodeResult r;
  Image& img = r.image;
  img.width = static_cast<int>(header.width);
  img.height = static_cast<int>(header.height);
  img.argb.resize(static_cast<std::size_t>(img.width) * img.height);
  for (std::size_t i = 0; i < img.argb.size(); ++i) {
    const std::uint8_t* p = buffer.data() + i * comps;
    std::uint32_t red = p[0], green = p[1], blue = p[2];
    if (comps == 4) {
      // Adobe writes inverted CMYK; the plain form is converted the other way round.
      std::uint32_t c = p[0], m = p[1], y = p[2], k = p[3];
      if (!header.cmyk_inverted) c = 255 - c, m = 255 - m, y = 255 - y, k = 255 - k;
      red = c * k / 255, green = m * k / 255, blue = y * k / 255;
    }
    img.argb[i] = 0xFF000000u | (red << 16) | (green << 8) | blue;
  }
  if (err.mgr.num_warnings > 0) r.warning = err.warning;
  return r;
}

ImageType ImageTypeOf(std::string_view path) {
  if (path.size() < 4) return ImageType::Unknown;
  std::string ext(path.substr(path.size() - 4));
  for (char& c : ext) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
  if (ext == ".png") return ImageType::Png;
  if (ext == ".bmp") return ImageType::Bmp;
  if (ext == ".jpg") return ImageType::Jpeg;
  if (ext == ".tga") return ImageType::Tga;
  return ImageType::Unknown;
}

DecodeResult DecodeImage(ImageType type, Bytes data) {
  switch (type) {
    case ImageType::Png:
      return DecodePng(data);
    case ImageType::Bmp:
      return DecodeBmp(data);
    case ImageType::Jpeg:
      return DecodeJpeg(data);
    case ImageType::Tga:
      return DecodeTga(data);
    default:
      return Fail("unknown image type");
  }
}

}  // namespace qv
