#include "base/text_util.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdint>

#include "base/round.h"

namespace qv::txt {
namespace {

TEST(TextUtil, IntegersTakeLeadingBlanksAndDollarHexOnly) {
  EXPECT_EQ(ParseInt("42"), 42);
  EXPECT_EQ(ParseInt("  -7"), -7);
  EXPECT_EQ(ParseInt("+7"), 7);
  EXPECT_EQ(ParseInt("$FF8000"), 0xFF8000);
  EXPECT_EQ(ParseInt("$FFFFFFFF"), -1);
  EXPECT_EQ(ParseInt("7 "), std::nullopt);
  EXPECT_EQ(ParseInt(""), std::nullopt);
  EXPECT_EQ(ParseInt("-"), std::nullopt);
  EXPECT_EQ(ParseInt("--5"), std::nullopt);
  EXPECT_EQ(ParseInt("1.5"), std::nullopt);
  EXPECT_EQ(ParseInt("99999999999"), std::nullopt);
}

TEST(TextUtil, IntegersTakeOneSignOnly) {
  EXPECT_EQ(ParseInt("-$80000000"), INT32_MIN);
  EXPECT_EQ(ParseInt("-$1"), -1);
  EXPECT_EQ(ParseInt("$-5"), std::nullopt);
  EXPECT_EQ(ParseInt("-$-5"), std::nullopt);  // was read as 5
  EXPECT_EQ(ParseInt("+$-5"), std::nullopt);
  EXPECT_EQ(ParseInt("+-5"), std::nullopt);
  // The smallest 64-bit value after a second sign: negating it overflowed.
  EXPECT_EQ(ParseInt("-$-8000000000000000"), std::nullopt);
  EXPECT_EQ(ParseInt("-9223372036854775808"), std::nullopt);
  EXPECT_EQ(ParseInt("$100000000"), std::nullopt);
  EXPECT_EQ(ParseInt("-2147483648"), INT32_MIN);
  EXPECT_EQ(ParseInt("-2147483649"), std::nullopt);
}

TEST(TextUtil, RealsAndRounding) {
  EXPECT_EQ(ParseReal(" 1.25 "), 1.25);
  EXPECT_EQ(ParseReal("-3"), -3.0);
  EXPECT_EQ(ParseReal("1,5"), std::nullopt);
  EXPECT_EQ(ParseReal("abc"), std::nullopt);
  EXPECT_EQ(RoundEven(2.5), 2.0);
  EXPECT_EQ(RoundEven(3.5), 4.0);
  EXPECT_EQ(RoundEven(53.846), 54.0);
}

// The browser build reads reals by a scan and strtod; it must take exactly what from_chars takes,
// end where it ends and give the same bits, or a sprite file would read differently there.
TEST(TextUtil, RealScanAgreesWithFromChars) {
  const char* const inputs[] = {
      "0", "-0", "1.5", ".5", "5.", "-.25e3", "1e", "1e+", "1e-2x", "1E5", "0x1p3", "+1", " 1",
      "-", ".", "-.", "e5", "12abc", "3.14159265358979323846", "1e400", "-1e400", "1e-400",
      "4.9e-324", "2.2250738585072014e-308", "inf", "-INF", "infinity", "infinit", "nan",
      "NaN(123)", "nan(", "123456789012345678901234567890", "0.1000000000000000055511151231257827",
      "9007199254740993", "1.7976931348623157e308", "-0.0e-0"};
  for (const char* text : inputs) {
    const std::string_view s(text);
    double expected = -7.0, actual = -7.0;
    const auto [ptr, ec] =
        std::from_chars(s.data(), s.data() + s.size(), expected, std::chars_format::general);
    const char* end = ReadDoubleByScan(s.data(), s.data() + s.size(), actual);
    if (ec == std::errc::invalid_argument) {
      EXPECT_EQ(end, s.data()) << text;
      continue;
    }
    EXPECT_EQ(end, ptr) << text;
    if (ec == std::errc::result_out_of_range) {
      EXPECT_TRUE(std::isinf(actual)) << text;
    } else if (std::isnan(expected)) {
      EXPECT_TRUE(std::isnan(actual)) << text;
    } else {
      EXPECT_EQ(std::signbit(actual), std::signbit(expected)) << text;
      EXPECT_EQ(actual, expected) << text;
    }
  }
}

TEST(TextUtil, LinesAndFields) {
  const auto lines = Lines("a\r\nb\nc\rd");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[3], "d");
  EXPECT_EQ(Lines("a\r\n").size(), 1u);
  EXPECT_EQ(Split("1,,2", ',').size(), 3u);
  EXPECT_EQ(Trim("\t x \r"), "x");
  EXPECT_EQ(Lower("AbC\\D"), "abc\\d");
}

}  // namespace
}  // namespace qv::txt
