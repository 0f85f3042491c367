#include "game/game_dump.h"

#include "base/json_writer.h"
#include "game_fixture.h"

namespace qv::test {
namespace {

class DumpTest : public GameTest {};

TEST_F(DumpTest, FieldRowsFromMinusOneToTheTopRow) {
  ctx.game.play.field.top_rows = 2;
  Put(3, 0, ColourBall(4), 7);
  Put(5, 1, BallKind::ColourBomb, 0, 6);
  OccupancyScan(ctx.game.play.field);
  JsonWriter out;
  WriteGameSection(ctx, out);
  const std::string& s = out.str();
  EXPECT_NE(s.find("\"codes\":[12,11,12]"), std::string::npos) << s;
  EXPECT_NE(s.find("\"rows\":[[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0],[0,0,0,4,0,0,0,0,0,0,0,0,0,0,0,0],"
                   "[0,0,0,0,0,10,0,0,0,0,0,0,0,0,0,0]]"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("\"bonus\":[[0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0],[0,0,0,7,"), std::string::npos);
  EXPECT_NE(s.find("[0,0,0,0,0,6,0,"), std::string::npos);
  EXPECT_NE(s.find("\"R\":2,\"s\":0,\"floor_row\":0,\"lowest\":0,\"highest\":1,\"count\":2"),
            std::string::npos)
      << s;
  EXPECT_NE(s.find("\"multiplier\":1"), std::string::npos);
}

}  // namespace
}  // namespace qv::test
