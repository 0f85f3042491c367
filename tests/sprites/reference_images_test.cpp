// Images written by another program (ImageMagick 6.9), decoded by us and compared with that
// program's own decoding of each, stored beside it as ref_<name>.png (8-bit RGBA, orientation
// applied). They cover writers' habits our own test images do not: bottom-up TGA written by a
// third party, RLE4/RLE8 and bit-field BMP, progressive and CMYK JPEG, 16-bit and interlaced PNG.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "sprite_test_util.h"
#include "sprites/image.h"

namespace qv {
namespace {

DecodeResult DecodeFile(const std::filesystem::path& path) {
  const std::string bytes = test::ReadFile(path.string());
  const Bytes data(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  const std::string ext = path.extension().string();
  return ext == ".png"   ? DecodePng(data)
         : ext == ".jpg" ? DecodeJpeg(data)
         : ext == ".bmp" ? DecodeBmp(data)
                         : DecodeTga(data);
}

TEST(ReferenceImages, DecodeAsTheirWriterDoes) {
  const std::filesystem::path dir = std::string(QUORVEX_TEST_DATA) + "/sprites/reference";
  int checked = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("ref_", 0) == 0) continue;
    SCOPED_TRACE(name);
    const DecodeResult ours = DecodeFile(entry.path());
    const DecodeResult ref = DecodeFile(dir / ("ref_" + entry.path().stem().string() + ".png"));
    ASSERT_TRUE(ours.ok()) << ours.error;
    ASSERT_TRUE(ref.ok()) << ref.error;
    ASSERT_EQ(ours.image.width, ref.image.width);
    ASSERT_EQ(ours.image.height, ref.image.height);
    int off = 0;
    for (std::size_t i = 0; i < ours.image.argb.size(); ++i) {
      const std::uint32_t a = ours.image.argb[i], b = ref.image.argb[i];
      if ((a >> 24) == 0 && (b >> 24) == 0) continue;  // colour of invisible pixels is free
      // Rounding of 5- and 6-bit channels and of the CMYK transform differ by one or two.
      for (int shift : {24, 16, 8, 0})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > 2 &&
            off++ < 3)
          ADD_FAILURE() << "pixel " << i % ours.image.width << "," << i / ours.image.width << ": "
                        << std::hex << a << " vs " << b;
    }
    EXPECT_EQ(off, 0);
    ++checked;
  }
  EXPECT_EQ(checked, 18);
}

}  // namespace
}  // namespace qv
