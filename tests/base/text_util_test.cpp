#include "base/text_util.h"

#include <gtest/gtest.h>

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
