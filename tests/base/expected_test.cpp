#include "base/expected.h"

#include <gtest/gtest.h>

#include "base/data_error.h"

namespace qv {
namespace {

Expected<int> Half(int v) {
  if (v % 2 != 0) return Fail(std::to_string(v) + " is odd");
  return v / 2;
}

TEST(Expected, HoldsAValueOrAnErrorNeverBoth) {
  const Expected<int> ok = Half(8);
  ASSERT_TRUE(ok.has_value());
  EXPECT_EQ(*ok, 4);
  const Expected<int> bad = Half(7);
  ASSERT_FALSE(bad.has_value());
  EXPECT_EQ(bad.error().message, "7 is odd");
  EXPECT_EQ(bad.value_or(-1), -1);
}

TEST(Expected, DescriptionNamesFileAndLineOnlyWhenGiven) {
  EXPECT_EQ(Describe(Error{"disk full", "", 0}), "disk full");
  EXPECT_EQ(Describe(FileNotFound("a.msl")), "\"a.msl\": File not found");
  EXPECT_EQ(Describe(NotAnInteger("o.txt", 7, "x1")),
            "\"o.txt\", line 7: 'x1' is not a valid integer value");
  EXPECT_EQ(Describe(NotAReal("f.pos", 2, "1,5")),
            "\"f.pos\", line 2: '1,5' is not a valid floating point value");
}

}  // namespace
}  // namespace qv
