// Image decoders against pictures written by the tests, and against broken files.
#include <gtest/gtest.h>
#include <png.h>

#include <sys/resource.h>

#include <csetjmp>
#include <cstring>

#include "sprite_test_util.h"
#include "sprites/image.h"

namespace qv {
namespace {

using test::Picture;

Bytes AsBytes(const std::string& s) {
  return Bytes(reinterpret_cast<const std::uint8_t*>(s.data()), s.size());
}

Picture Pattern(int w, int h, bool alpha) {
  Picture p(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.at(x, y) =
          (alpha ? static_cast<std::uint32_t>((x * 40 + y * 7) & 0xFF) << 24 : 0xFF000000u) |
          static_cast<std::uint32_t>(x * 20) << 16 | static_cast<std::uint32_t>(y * 30) << 8 |
          static_cast<std::uint32_t>((x + y) * 9 & 0xFF);
  return p;
}

void ExpectSame(const DecodeResult& r, const Picture& want) {
  ASSERT_TRUE(r.ok()) << r.error;
  ASSERT_EQ(r.image.width, want.w);
  ASSERT_EQ(r.image.height, want.h);
  for (int y = 0; y < want.h; ++y)
    for (int x = 0; x < want.w; ++x)
      ASSERT_EQ(r.image.argb[static_cast<std::size_t>(y) * want.w + x], want.at(x, y))
          << "pixel " << x << "," << y;
}

// Every prefix and a few corruptions of a valid file decode or fail cleanly.
void ExpectRobust(DecodeResult (*decode)(Bytes), const std::string& good) {
  for (std::size_t n = 0; n < good.size(); ++n) {
    const DecodeResult r = decode(AsBytes(good.substr(0, n)));
    if (r.ok()) {
      EXPECT_EQ(r.image.argb.size(), static_cast<std::size_t>(r.image.width) * r.image.height);
    } else {
      EXPECT_TRUE(r.image.argb.empty());
    }
  }
  std::string bad = good;
  for (std::size_t i = 0; i < bad.size(); i += 3) {
    bad[i] = static_cast<char>(bad[i] ^ 0xA5);
    (void)decode(AsBytes(bad));
  }
}

void Put16(std::string& s, std::size_t at, unsigned v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& s, std::size_t at, std::uint32_t v) {
  Put16(s, at, v & 0xFFFF);
  Put16(s, at + 2, v >> 16);
}

TEST(Tga, TrueColourInEveryOrigin) {
  const Picture p = Pattern(7, 5, false);
  ExpectSame(DecodeTga(AsBytes(test::TgaBytes(p, 24))), p);
  ExpectSame(DecodeTga(AsBytes(test::TgaBytes(p, 24, true))), p);
  ExpectSame(DecodeTga(AsBytes(test::TgaBytes(p, 24, false, false, true))), p);
  ExpectSame(DecodeTga(AsBytes(test::TgaBytes(p, 24, true, false, true))), p);
  EXPECT_FALSE(DecodeTga(AsBytes(test::TgaBytes(p, 24))).image.has_alpha);
}

TEST(Tga, RunLengthPacketsCrossRows) {
  Picture p(9, 4, 0xFF112233u);
  p.Fill(3, 1, 9, 3, 0xFF445566u);
  p.at(0, 3) = 0xFF000001u;
  ExpectSame(DecodeTga(AsBytes(test::TgaBytes(p, 24, false, true))), p);
  ExpectSame(DecodeTga(AsBytes(test::TgaBytes(p, 24, true, true, true))), p);
}

TEST(Tga, GreyAndAlpha) {
  Picture grey(4, 3);
  for (int i = 0; i < 12; ++i) {
    const std::uint32_t g = static_cast<std::uint32_t>(i * 20);
    grey.px[i] = 0xFF000000u | g << 16 | g << 8 | g;
  }
  const DecodeResult r = DecodeTga(AsBytes(test::TgaBytes(grey, 8, false, true)));
  ExpectSame(r, grey);
  EXPECT_TRUE(r.image.grey);
  const Picture a = Pattern(5, 5, true);
  const DecodeResult ra = DecodeTga(AsBytes(test::TgaBytes(a, 32)));
  ExpectSame(ra, a);
  EXPECT_TRUE(ra.image.has_alpha);
}

TEST(Tga, ColourMapped) {
  // 2 x 2, colour map of three 24-bit entries starting at index 1, bottom-up.
  std::string s(18, '\0');
  s[1] = 1;
  s[2] = 1;
  Put16(s, 3, 1);
  Put16(s, 5, 3);
  s[7] = 24;
  Put16(s, 12, 2);
  Put16(s, 14, 2);
  s[16] = 8;
  s += std::string(
      "\x01\x02\x03"
      "\x04\x05\x06"
      "\x07\x08\x09",
      9);
  s += std::string("\x01\x02\x03\x09", 4);  // index 9 is outside the map: black
  const DecodeResult r = DecodeTga(AsBytes(s));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[2], 0xFF030201u);
  EXPECT_EQ(r.image.argb[3], 0xFF060504u);
  EXPECT_EQ(r.image.argb[0], 0xFF090807u);
  EXPECT_EQ(r.image.argb[1], 0xFF000000u);
}

TEST(Tga, BrokenFiles) {
  ExpectRobust(DecodeTga, test::TgaBytes(Pattern(6, 5, true), 32, false, true));
  ExpectRobust(DecodeTga, test::TgaBytes(Pattern(6, 5, false), 24));
  std::string huge = test::TgaBytes(Picture(2, 2), 24);
  Put16(huge, 12, 65535);
  Put16(huge, 14, 65535);
  EXPECT_FALSE(DecodeTga(AsBytes(huge)).ok());
  std::string zero = test::TgaBytes(Picture(2, 2), 24);
  Put16(zero, 12, 0);
  EXPECT_FALSE(DecodeTga(AsBytes(zero)).ok());
}

TEST(Bmp, TwentyFourBit) {
  const Picture p = Pattern(5, 3, false);  // rows padded to 16 bytes
  ExpectSame(DecodeBmp(AsBytes(test::BmpBytes(p, 24))), p);
  std::string top = test::BmpBytes(p, 24);
  Put32(top, 22, static_cast<std::uint32_t>(-3));  // top-down: rows come in reverse
  Picture flipped(5, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) flipped.at(x, y) = p.at(x, 2 - y);
  ExpectSame(DecodeBmp(AsBytes(top)), flipped);
}

TEST(Bmp, ThirtyTwoBitIsBlueGreenRedAlpha) {
  const Picture p = Pattern(4, 4, true);
  const DecodeResult r = DecodeBmp(AsBytes(test::BmpBytes(p, 32)));
  ExpectSame(r, p);
  EXPECT_TRUE(r.image.has_alpha);
  // A zero padding byte everywhere means no alpha, not an invisible picture.
  Picture opaque = Pattern(4, 4, false);
  Picture padded = opaque;
  for (auto& c : padded.px) c &= 0xFFFFFF;
  const DecodeResult o = DecodeBmp(AsBytes(test::BmpBytes(padded, 32)));
  ExpectSame(o, opaque);
  EXPECT_FALSE(o.image.has_alpha);
}

TEST(Bmp, ChannelMasksFromTheHeader) {
  // Version 5 header with bit fields: bytes R, G, B, A.
  std::string s = "BM";
  s.resize(14 + 124 + 8, '\0');
  Put32(s, 10, 14 + 124);
  Put32(s, 14, 124);
  Put32(s, 18, 2);
  Put32(s, 22, 1);
  Put16(s, 26, 1);
  Put16(s, 28, 32);
  Put32(s, 30, 3);
  Put32(s, 54, 0x000000FF);
  Put32(s, 58, 0x0000FF00);
  Put32(s, 62, 0x00FF0000);
  Put32(s, 66, 0xFF000000);
  const char px[8] = {'\x10', '\x20', '\x30', '\x40', '\x50', '\x60', '\x70', '\x80'};
  std::memcpy(s.data() + 138, px, 8);
  const DecodeResult r = DecodeBmp(AsBytes(s));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[0], 0x40102030u);
  EXPECT_EQ(r.image.argb[1], 0x80506070u);
  // 16-bit 5-6-5 with masks after a 40-byte header.
  std::string t = "BM";
  t.resize(14 + 40 + 12 + 4, '\0');
  Put32(t, 10, 66);
  Put32(t, 14, 40);
  Put32(t, 18, 1);
  Put32(t, 22, 1);
  Put16(t, 26, 1);
  Put16(t, 28, 16);
  Put32(t, 30, 3);
  Put32(t, 54, 0xF800);
  Put32(t, 58, 0x07E0);
  Put32(t, 62, 0x001F);
  Put16(t, 66, 0xF81F);  // red and blue full, green 0
  const DecodeResult r16 = DecodeBmp(AsBytes(t));
  ASSERT_TRUE(r16.ok()) << r16.error;
  EXPECT_EQ(r16.image.argb[0], 0xFFFF00FFu);
}

std::string PaletteBmp(int bpp, int w, int h, std::uint32_t compression,
                       const std::string& pixels) {
  const int colours = 1 << bpp;
  std::string s = "BM";
  s.resize(54 + 4 * colours, '\0');
  Put32(s, 10, static_cast<std::uint32_t>(s.size()));
  Put32(s, 14, 40);
  Put32(s, 18, static_cast<std::uint32_t>(w));
  Put32(s, 22, static_cast<std::uint32_t>(h));
  Put16(s, 26, 1);
  Put16(s, 28, static_cast<unsigned>(bpp));
  Put32(s, 30, compression);
  for (int i = 0; i < colours; ++i)
    Put32(s, 54 + 4 * i, 0x010101u * static_cast<std::uint32_t>(i * 16 % 256) + 0x000001u);
  return s + pixels;
}

TEST(Bmp, PaletteDepthsAndRunLength) {
  auto colour = [](int i) {
    return 0xFF000000u | (0x010101u * static_cast<std::uint32_t>(i * 16 % 256) + 1u);
  };
  // 8-bit, 3 x 2, bottom-up, rows of 4 bytes.
  DecodeResult r =
      DecodeBmp(AsBytes(PaletteBmp(8, 3, 2, 0, std::string("\x01\x02\x03\0\x04\x05\x06\0", 8))));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[0], colour(4));
  EXPECT_EQ(r.image.argb[5], colour(3));
  r = DecodeBmp(AsBytes(PaletteBmp(4, 3, 1, 0, std::string("\x12\x30\0\0", 4))));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[0], colour(1));
  EXPECT_EQ(r.image.argb[2], colour(3));
  r = DecodeBmp(AsBytes(PaletteBmp(1, 3, 1, 0, std::string("\xA0\0\0\0", 4))));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[0], colour(1));
  EXPECT_EQ(r.image.argb[1], colour(0));
  // RLE8: a run of 2, end of line, 3 absolute pixels (padded to a word), end of bitmap.
  const std::string rle("\x02\x07\x00\x00\x00\x03\x05\x06\x04\x00\x00\x01", 12);
  r = DecodeBmp(AsBytes(PaletteBmp(8, 3, 2, 1, rle)));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[3], colour(7));  // bottom row first
  EXPECT_EQ(r.image.argb[4], colour(7));
  EXPECT_EQ(r.image.argb[5], colour(0));  // not written
  EXPECT_EQ(r.image.argb[0], colour(5));
  EXPECT_EQ(r.image.argb[2], colour(4));
  ExpectRobust(DecodeBmp, PaletteBmp(8, 3, 2, 1, rle));
}

TEST(Bmp, BrokenFiles) {
  ExpectRobust(DecodeBmp, test::BmpBytes(Pattern(5, 4, false), 24));
  ExpectRobust(DecodeBmp, test::BmpBytes(Pattern(3, 3, true), 32));
  ExpectRobust(DecodeBmp, PaletteBmp(4, 5, 2, 0, std::string(8, '\x11')));
  std::string wide = test::BmpBytes(Picture(2, 2), 24);
  Put32(wide, 18, 0x40000000);
  EXPECT_FALSE(DecodeBmp(AsBytes(wide)).ok());
  std::string far = test::BmpBytes(Picture(2, 2), 24);
  Put32(far, 10, 0xFFFFFFF0u);
  EXPECT_FALSE(DecodeBmp(AsBytes(far)).ok());
  std::string neg = test::BmpBytes(Picture(2, 2), 24);
  Put32(neg, 22, 0x80000000u);
  EXPECT_FALSE(DecodeBmp(AsBytes(neg)).ok());
}

// A PNG of any colour type and depth through libpng's writer.
std::string RawPng(int w, int h, int color_type, int depth, const std::vector<std::uint8_t>& rows,
                   const std::vector<png_color>& palette = {},
                   const std::vector<png_byte>& trns = {}, bool interlace = false,
                   const png_color_16* key = nullptr) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep d, png_size_t n) {
        static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(d), n);
      },
      nullptr);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), depth,
               color_type, interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!trns.empty()) png_set_tRNS(png, info, trns.data(), static_cast<int>(trns.size()), nullptr);
  if (key) png_set_tRNS(png, info, nullptr, 0, key);
  png_write_info(png, info);
  const int passes = interlace ? png_set_interlace_handling(png) : 1;
  const std::size_t stride = rows.size() / h;
  for (int pass = 0; pass < passes; ++pass) {
    for (int r = 0; r < h; ++r) png_write_row(png, const_cast<png_bytep>(rows.data() + stride * r));
  }
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

TEST(Png, EveryColourType) {
  const Picture p = Pattern(6, 4, true);
  ExpectSame(DecodePng(AsBytes(test::PngBytes(p, true))), p);
  const Picture q = Pattern(6, 4, false);
  const DecodeResult rgb = DecodePng(AsBytes(test::PngBytes(q, false)));
  ExpectSame(rgb, q);
  EXPECT_FALSE(rgb.image.has_alpha);

  // Palette, 4-bit indices. Transparency entries (tRNS) are ignored: palette pictures are opaque.
  const std::vector<png_color> pal = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
  DecodeResult r = DecodePng(AsBytes(RawPng(2, 1, PNG_COLOR_TYPE_PALETTE, 4, {0x12}, pal, {128})));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_FALSE(r.image.has_alpha);
  EXPECT_EQ(r.image.argb[0], 0xFF00FF00u);
  EXPECT_EQ(r.image.argb[1], 0xFF0000FFu);
  r = DecodePng(AsBytes(RawPng(2, 1, PNG_COLOR_TYPE_PALETTE, 8, {0, 2}, pal, {0})));
  EXPECT_FALSE(r.image.has_alpha);
  EXPECT_EQ(r.image.argb[0], 0xFFFF0000u);
  // A colour key on an RGB picture is ignored as well.
  const png_color_16 key{0, 255, 0, 0, 0};
  r = DecodePng(
      AsBytes(RawPng(2, 1, PNG_COLOR_TYPE_RGB, 8, {255, 0, 0, 1, 2, 3}, {}, {}, false, &key)));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[0], 0xFFFF0000u);
  EXPECT_EQ(r.image.argb[1], 0xFF010203u);
  // 1-bit grey, 16-bit grey with alpha, 16-bit RGB, interlaced.
  r = DecodePng(AsBytes(RawPng(3, 1, PNG_COLOR_TYPE_GRAY, 1, {0xA0})));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[0], 0xFFFFFFFFu);
  EXPECT_EQ(r.image.argb[1], 0xFF000000u);
  r = DecodePng(AsBytes(RawPng(1, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 16, {0x12, 0x34, 0x80, 0x00})));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[0], 0x80121212u);
  r = DecodePng(AsBytes(RawPng(1, 1, PNG_COLOR_TYPE_RGB, 16, {1, 0, 2, 0, 3, 0})));
  EXPECT_EQ(r.image.argb[0], 0xFF010203u);
  std::vector<std::uint8_t> rows;
  for (int i = 0; i < 9 * 9; ++i) rows.push_back(static_cast<std::uint8_t>(i * 3));
  r = DecodePng(AsBytes(RawPng(9, 9, PNG_COLOR_TYPE_GRAY, 8, rows, {}, {}, true)));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[80], 0xFFF0F0F0u);
}

TEST(Png, BrokenFiles) {
  ExpectRobust(DecodePng, test::PngBytes(Pattern(9, 7, true), true));
  std::string big = RawPng(1, 1, PNG_COLOR_TYPE_GRAY, 8, {0});
  // Width 100000 in the header (the CRC no longer matches either).
  Put32(big, 16, 0xA0860100u);
  EXPECT_FALSE(DecodePng(AsBytes(big)).ok());
}

// A few kilobytes whose chunk claims 2 GB: what the chunk claims is never allocated.
TEST(Png, ChunkLengthsAreNotTrusted) {
  const std::string good = RawPng(2, 2, PNG_COLOR_TYPE_GRAY, 8, {1, 2, 3, 4});
  const std::size_t after_header = 8 + 8 + 13 + 4;
  rusage before{};
  getrusage(RUSAGE_SELF, &before);
  for (const char* type : {"tEXt", "zTXt", "iTXt", "iCCP", "sPLT", "eXIf"}) {
    std::string bad = good.substr(0, after_header);
    bad += std::string("\x7f\xff\xff\xff", 4) + type + "Comment" + std::string(1, '\0');
    bad += std::string(5800, 'x');
    bad += good.substr(after_header);
    EXPECT_FALSE(DecodePng(AsBytes(bad)).ok()) << type;
  }
  rusage after{};
  getrusage(RUSAGE_SELF, &after);
  EXPECT_LT(after.ru_maxrss - before.ru_maxrss, 256L * 1024) << "kilobytes";
  // A short text chunk is skipped and the picture still decodes.
  std::string text = good.substr(0, after_header);
  text += std::string("\0\0\0\x03tEXtabc", 11) + std::string("\0\0\0\0", 4) + good.substr(after_header);
  const DecodeResult r = DecodePng(AsBytes(text));
  ASSERT_TRUE(r.ok()) << r.error;
  EXPECT_EQ(r.image.argb[3], 0xFF040404u);
}

TEST(Jpeg, DecodesAndSurvivesDamage) {
  Picture p(16, 16, 0xFF2060A0u);
  p.Fill(8, 0, 16, 16, 0xFFF0E010u);
  const DecodeResult r = DecodeJpeg(AsBytes(test::JpegBytes(p, 100)));
  ASSERT_TRUE(r.ok()) << r.error;
  ASSERT_EQ(r.image.width, 16);
  for (int i : {0, 16 * 15 + 15}) {
    const std::uint32_t got = r.image.argb[i], want = p.px[i];
    for (int shift : {0, 8, 16}) EXPECT_NEAR((got >> shift) & 0xFF, (want >> shift) & 0xFF, 6);
    EXPECT_EQ(got >> 24, 0xFFu);
  }
  ExpectRobust(DecodeJpeg, test::JpegBytes(p, 80));
  EXPECT_FALSE(DecodeJpeg(AsBytes(std::string("\xFF\xD8\xFF\xE0 nonsense", 14))).ok());
}

TEST(ImageTypes, ByTheLastFourCharacters) {
  EXPECT_EQ(ImageTypeOf("a\\b.PNG"), ImageType::Png);
  EXPECT_EQ(ImageTypeOf("x.jpg"), ImageType::Jpeg);
  EXPECT_EQ(ImageTypeOf("x.jpeg"), ImageType::Unknown);
  EXPECT_EQ(ImageTypeOf("x.tga"), ImageType::Tga);
  EXPECT_EQ(ImageTypeOf("x.bmp"), ImageType::Bmp);
  EXPECT_EQ(ImageTypeOf("bmp"), ImageType::Unknown);
  EXPECT_FALSE(DecodeImage(ImageType::Unknown, AsBytes("abc")).ok());
}

}  // namespace
}  // namespace qv
