// Ball kinds at the edges: level layouts come in as characters, the state dump goes out as the
// numbers scripts and recorded runs compare.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/json_writer.h"
#include "game/ball_kind.h"
#include "game/game_dump.h"
#include "game/levels.h"
#include "game_fixture.h"
#include "platform/files.h"

namespace qv::test {
namespace {

TEST(BallKinds, DumpNumbersStayThoseOfTheFormat) {
  EXPECT_EQ(KindNumber(BallKind::Empty), 0);
  EXPECT_EQ(KindNumber(BallKind::ColourBomb), 10);
  EXPECT_EQ(KindNumber(BallKind::BigBomb), 11);
  EXPECT_EQ(KindNumber(BallKind::Multiball), 12);
  EXPECT_EQ(KindNumber(BallKind::Land), 100);
  EXPECT_EQ(KindNumber(BallKind::Crystal), 200);
  for (int colour = 1; colour <= kBallColours; ++colour) {
    const BallKind k = ColourBall(colour);
    EXPECT_EQ(KindNumber(k), colour);
    EXPECT_TRUE(IsColour(k));
    EXPECT_EQ(ColourOf(k), colour);
  }
}

TEST(BallKinds, OnlyColourBallsHaveAColour) {
  for (const BallKind k : {BallKind::Empty, BallKind::ColourBomb, BallKind::BigBomb,
                           BallKind::Multiball, BallKind::Land, BallKind::Crystal}) {
    EXPECT_FALSE(IsColour(k)) << KindNumber(k);
    EXPECT_EQ(ColourOf(k), 0) << KindNumber(k);
  }
  // An empty cell and a crystal neither match nor fall; everything else does.
  EXPECT_FALSE(IsBall(BallKind::Empty));
  EXPECT_FALSE(IsBall(BallKind::Crystal));
  EXPECT_TRUE(IsBall(BallKind::Land));
  EXPECT_TRUE(IsBall(BallKind::Multiball));
  EXPECT_TRUE(IsBomb(BallKind::ColourBomb) && IsBomb(BallKind::BigBomb));
  EXPECT_FALSE(IsBomb(BallKind::Multiball));
}

TEST(BallKinds, LayoutCharactersOtherThanKindsLeaveTheCellEmpty) {
  int kinds = 0;
  for (int ch = 0; ch < 256; ++ch) {
    const BallKind k = LevelCellKind(static_cast<char>(ch));
    if (k == BallKind::Empty) continue;
    ++kinds;
    if (ch == 'L') {
      EXPECT_EQ(k, BallKind::Land);
    } else if (ch == 'C') {
      EXPECT_EQ(k, BallKind::Crystal);
    } else {
      EXPECT_EQ(k, ColourBall(ch - '0')) << ch;
    }
  }
  EXPECT_EQ(kinds, kBallColours + 2);  // '1'..'7', 'L', 'C': not '0', '8', 'l' or 'c'
}

class BallKindEdge : public GameTest {
 protected:
  std::string DumpOfLayout(const std::string& level_text) {
    ctx.game.session.game_type = GameType::Puzzle;
    ctx.game.session.level = 1;
    const std::string file = LevelFileName(GameType::Puzzle, 1);
    const std::filesystem::path host = platform::HostPath(file);
    std::filesystem::create_directories(host.parent_path());
    std::ofstream(host, std::ios::binary) << level_text;
    if (!BuildPuzzleLevel(ctx, file)) return "";
    JsonWriter out;
    WriteGameSection(ctx, out);
    return out.str();
  }
};

// Every kind a layout may hold reaches the dump as the number the kind has always had there.
TEST_F(BallKindEdge, LayoutKindsReachTheDumpWithTheirNumbers) {
  const std::string dump = DumpOfLayout("5\n1\n0lc?x.\n1234567LC\n#\n\n0\n");
  ASSERT_FALSE(dump.empty());
  // Rows are dumped from -1 up; the layout's first line is the top row (23), its second row 22.
  EXPECT_NE(dump.find("[0,0,1,2,3,4,5,6,7,100,200,0,0,0,0,0],"
                      "[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0]]"),
            std::string::npos)
      << dump;
  EXPECT_EQ(ctx.game.play.crystals.count, 1);
}

TEST(LevelFiles, ColoursBeyondSevenAreRejected) {
  EXPECT_FALSE(ParsePuzzleLevel("p", "6\n1\n.8C1.\n#\n0\n0\n").has_value());
  EXPECT_FALSE(ParsePuzzleLevel("p", "6\n1\n.9C1.\n#\n0\n0\n").has_value());
  EXPECT_TRUE(ParsePuzzleLevel("p", "6\n1\n.7C1.\n#\n0\n0\n").has_value());
}

}  // namespace
}  // namespace qv::test
