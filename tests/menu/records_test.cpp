#include <gtest/gtest.h>

#include "common/temp_dir.h"
#include "menu/records.h"

namespace qv {
namespace {

// Ten arcade rows 1000, 900, ..., 100 with a challenge line and an odd line among them.
std::string TenRows() {
  std::string s = "2, 1, Cy, 4, 777\r\n";
  for (int i = 1; i <= 10; ++i) {
    s += "1, " + std::to_string(i) + ", P" + std::to_string(i) + ", " + std::to_string(20 - i) +
         ", " + std::to_string(1100 - 100 * i) + "\r\n";
    if (i == 5) s += "x, 1, Odd, 1, 1\r\n\r\n";
  }
  return s;
}

TEST(Records, ReadsTheDisplayedTypeAndHoldsTheRestAside) {
  const RecordTable t = ParseRecords(TenRows() + "1, 11, Late, 1, 5\r\n", 1);
  ASSERT_EQ(t.rows.size(), 10u);  // the eleventh row is not kept
  EXPECT_EQ(t.rows[0].rank, "1");
  EXPECT_EQ(t.rows[0].name, "P1");
  EXPECT_EQ(t.rows[0].level, "19");
  EXPECT_EQ(t.rows[0].score, "1000");
  ASSERT_EQ(t.other_lines.size(), 2u);
  EXPECT_EQ(t.other_lines[0], "2, 1, Cy, 4, 777");
  EXPECT_EQ(t.other_lines[1], "x, 1, Odd, 1, 1");
  EXPECT_TRUE(ParseRecords(TenRows(), 3).rows.empty());
}

TEST(Records, EqualScoreStaysAboveAndTheLastRowDropsOut) {
  RecordTable t = ParseRecords(TenRows(), 1);
  const Insertion ins = EnterResult(t, {"Ann", 12, 900});
  EXPECT_EQ(ins.position, 3);
  EXPECT_TRUE(ins.rewrite);
  ASSERT_EQ(t.rows.size(), 10u);
  EXPECT_EQ(t.rows[1].score, "900");
  EXPECT_EQ(t.rows[1].name, "P2");
  EXPECT_EQ(t.rows[2].rank, "3");
  EXPECT_EQ(t.rows[2].name, "Ann");
  EXPECT_EQ(t.rows[3].rank, "4");
  EXPECT_EQ(t.rows[3].name, "P3");
  EXPECT_EQ(t.rows[9].name, "P9");
  EXPECT_EQ(t.rows[9].rank, "10");
  const std::string file = FormatRecords(t);
  EXPECT_EQ(file.rfind("2, 1, Cy, 4, 777\r\nx, 1, Odd, 1, 1\r\n1, 1, P1, 19, 1000\r\n", 0), 0u);
  EXPECT_NE(file.find("1, 3, Ann, 12, 900\r\n1, 4, P3, 17, 800\r\n"), std::string::npos);
  EXPECT_EQ(file.find(", 100\r\n"), std::string::npos);
}

TEST(Records, ResultsBelowTheTableAreOnlyShown) {
  RecordTable t = ParseRecords(TenRows(), 1);
  Insertion ins = EnterResult(t, {"Ann", 2, 50});
  EXPECT_EQ(ins.position, 10);
  EXPECT_FALSE(ins.rewrite);
  EXPECT_EQ(t.rows[9].name, "Ann");
  EXPECT_EQ(t.rows[8].name, "P9");

  t = ParseRecords("1, 1, A, 3, 300\r\n1, 2, B, 2, 200\r\n1, 3, C, 1, 100\r\n", 1);
  ins = EnterResult(t, {"Ann", 1, 50});
  EXPECT_EQ(ins.position, 4);
  EXPECT_FALSE(ins.rewrite);
  ASSERT_EQ(t.rows.size(), 4u);
  EXPECT_EQ(t.rows[3].rank, "4");
}

TEST(Records, EmptyTableTakesTheFirstRowAndKeepsOtherTypes) {
  RecordTable t = ParseRecords("1, 1, A, 3, 300\r\n", 3);
  const Insertion ins = EnterResult(t, {"Ann", 4, 0});
  EXPECT_EQ(ins.position, 1);
  EXPECT_TRUE(ins.rewrite);
  EXPECT_EQ(FormatRecords(t), "1, 1, A, 3, 300\r\n3, 1, Ann, 4, 0\r\n");
}

TEST(Records, RanksThatAreNotNumbersAndScoresThatAreNot) {
  RecordTable t = ParseRecords("1, , A, 3, 300\r\n1, 2, B, 2, lots\r\n", 1);
  const Insertion ins = EnterResult(t, {"Ann", 1, 100});
  // "lots" counts as 0, so the result goes in above it; an empty rank stays empty.
  EXPECT_EQ(ins.position, 2);
  EXPECT_EQ(t.rows[0].rank, "");
  EXPECT_EQ(t.rows[2].rank, "3");
  EXPECT_EQ(t.rows[2].score, "lots");
}

TEST(Records, RankAtTheTopOfTheIntRangeMovesDownWithoutWrapping) {
  RecordTable t = ParseRecords("1, 1, A, 3, 300\r\n1,2147483647\r\n", 1);
  EXPECT_EQ(EnterResult(t, {"Ann", 1, 100}).position, 2);
  ASSERT_EQ(t.rows.size(), 3u);
  EXPECT_EQ(t.rows[2].rank, "2147483648");  // was written back as -2147483648
  EXPECT_EQ(FormatRecords(t), "1, 1, A, 3, 300\r\n1, 2, Ann, 1, 100\r\n1, 2147483648, , , \r\n");
  // Read back, a rank beyond the int range is text that is not counted on.
  RecordTable again = ParseRecords(FormatRecords(t), 1);
  EnterResult(again, {"Bo", 1, 200});
  EXPECT_EQ(again.rows[3].rank, "2147483648");
  EXPECT_EQ(again.rows[2].rank, "3");
}

TEST(Records, FileIsReplacedWhole) {
  test::TempDir dir;
  EXPECT_FALSE(ReadRecordsFile());
  RecordTable t = ParseRecords("", 2);
  EnterResult(t, {"Ann", 12, 45210});
  ASSERT_TRUE(WriteRecordsFile(t));
  EXPECT_EQ(ReadRecordsFile(), "2, 1, Ann, 12, 45210\r\n");
}

TEST(Records, PagingWrapsRound) {
  EXPECT_EQ(PreviousType(1), 3);
  EXPECT_EQ(PreviousType(3), 2);
  EXPECT_EQ(NextType(3), 1);
  EXPECT_EQ(NextType(1), 2);
}

}  // namespace
}  // namespace qv
