#include "scene/text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "context.h"
#include "sprites/multisprite.h"
#include "support/game_dir.h"

namespace qv {
namespace {

using testing_support::GameDir;

constexpr const char* kFont = "graphics\\fonts\\f.spr";
constexpr const char* kFull = "graphics\\fonts\\full.spr";

class TextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ctx_.options.log_enabled = true;
    dir_.WriteSpr(kFont, "z=200,color=$00FF00",
                  {"f.png,frame_width=4,frame_height=16,texture_size=16"});
    dir_.Write("graphics\\fonts\\f.pos", "; test font\r\n2 ; spacing\r\n#65\r\n10\r\n\r\n12\r\n");
    // Codes 32..126, every glyph 5 wide, frame = code - 32.
    dir_.WriteSpr(kFull, "z=100", {"full.png,frame_width=4,frame_height=4,texture_size=16"});
    std::string pos = "1\r\n#32\r\n";
    for (int c = 32; c <= 126; ++c) pos += "5\r\n";
    dir_.Write("graphics\\fonts\\full.pos", pos);
  }
  std::vector<TMultiSprite*> Glyphs(const std::string& tag) const {
    std::vector<TMultiSprite*> out;
    for (int i = 0; i < MultiSpriteCount(ctx_); ++i) {
      TMultiSprite* s = MultiSpriteAt(ctx_, i);
      if (s != nullptr && s->tag == tag) out.push_back(s);
    }
    return out;
  }
  // The glyph frames of a tag read back as text of the "full" font.
  std::string TextOf(const std::string& tag) const {
    std::string out;
    for (TMultiSprite* g : Glyphs(tag)) {
      out.push_back(static_cast<char>(32 + static_cast<int>(g->parts[0]->anim_pos)));
    }
    return out;
  }
  std::string Log() const { return dir_.Read("log.txt"); }

  GameDir dir_;
  Context ctx_;
};

TEST_F(TextTest, MetricsFileRules) {
  const auto m = ParseMetrics("x.pos", ";c\r\n 1.5 \r\n#65\r\n7;w\r\n\r\n9\r\n#32\r\n3\r\n");
  ASSERT_TRUE(m.has_value());
  EXPECT_EQ(m->spacing, 1.5);
  EXPECT_EQ(m->width['A'], 7);
  EXPECT_EQ(m->frame['A'], 0);
  EXPECT_EQ(m->width['B'], 9) << "empty lines change nothing";
  EXPECT_EQ(m->frame['B'], 1);
  EXPECT_EQ(m->width[' '], 3);
  EXPECT_EQ(m->frame[' '], 2);
  EXPECT_EQ(m->width['C'], -1);
  EXPECT_EQ(m->frame['C'], 0);
  const auto bad = ParseMetrics("x.pos", "1\r\n#65\r\nwide\r\n");
  ASSERT_FALSE(bad.has_value());
  EXPECT_EQ(bad.error().line, 3);
  EXPECT_FALSE(ParseMetrics("x.pos", "").has_value());
  // Codes at the ends of the integer range: nothing overflows, the in-range codes keep counting.
  const auto far = ParseMetrics("x.pos", "1\r\n#2147483647\r\n4\r\n5\r\n#-2\r\n1\r\n2\r\n6\r\n");
  ASSERT_TRUE(far.has_value());
  EXPECT_EQ(far->width[0], 6);
  EXPECT_EQ(far->frame[0], 4);
  EXPECT_EQ(far->width[255], -1);
  EXPECT_EQ(MetricsPathOf("graphics\\fonts\\font_crystal1.spr"),
            "graphics\\fonts\\font_crystal1.pos");
}

TEST_F(TextTest, PenPositionsAndAlignment) {
  EXPECT_EQ(create_txt(ctx_, "AB", -1, kFont, 1, "left", -1, 1.0, 20, 100), 22);
  auto g = Glyphs("left");
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(g[0]->x, 102);
  EXPECT_EQ(g[1]->x, 114);
  EXPECT_EQ(g[0]->y, 20);
  EXPECT_EQ(g[0]->parts[0]->anim_pos, 0);
  EXPECT_EQ(g[1]->parts[0]->anim_pos, 1);
  EXPECT_EQ(g[0]->z, 200) << "z -1 keeps the font's z";
  EXPECT_EQ(g[0]->color, 0x00FF00) << "a negative colour keeps the font's";

  create_txt(ctx_, "AB", 5, kFont, 3, "right", 0xFF0000, 1.0, 0, 100);
  g = Glyphs("right");
  EXPECT_EQ(g[0]->x, 78) << "the line starts at 100 - (10 + 2 + 12)";
  EXPECT_EQ(g[0]->z, 5);
  EXPECT_EQ(g[0]->color, 0xFF0000);

  create_txt(ctx_, "AB", -1, kFont, 2, "center", -1, 1.0, 0, 100);
  EXPECT_EQ(Glyphs("center")[0]->x, 90);
  create_txt(ctx_, "AB", -1, kFont, 0, "zero", -1, 1.0, 0, 100);
  EXPECT_EQ(Glyphs("zero")[0]->x, 90) << "align 0 acts as center";

  EXPECT_EQ(create_txt(ctx_, "AB", -1, kFont, 1, "scaled", -1, 2.0, 0, 100), 44);
  g = Glyphs("scaled");
  EXPECT_EQ(g[0]->x, 104);
  EXPECT_EQ(g[1]->x, 128);
  EXPECT_EQ(g[1]->scale_x, 2.0);
  EXPECT_EQ(g[1]->scale_y, 2.0);
  EXPECT_NE(Log().find("create_txt(\"left\"), created: 2"), std::string::npos);
}

TEST_F(TextTest, BlanksAdvanceThePenWithoutObjects) {
  // No width line for the blank: it moves the pen by spacing - 1.
  EXPECT_EQ(create_txt(ctx_, "A B", -1, kFont, 1, "t", -1, 1.0, 0, 100), 21);
  const auto g = Glyphs("t");
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(g[1]->x, 115);
  EXPECT_EQ(MeasureText(ctx_, "A B", kFont, 1.0), 10 + (2 - 1) + (2 + 12));
  EXPECT_NE(Log().find("create_txt(\"t\"), created: 2"), std::string::npos);
}

TEST_F(TextTest, EmptyTextAndNonFontPaths) {
  EXPECT_EQ(create_txt(ctx_, "", -1, kFont, 1, "empty", -1, 1.0, 0, 0), 0);
  EXPECT_EQ(Log().find("create_txt(\"empty\")"), std::string::npos);
  EXPECT_EQ(create_txt(ctx_, "AB", -1, "graphics\\fonts\\f.png", 1, "png", -1, 1.0, 0, 0), 0);
  EXPECT_NE(Log().find("create_txt(\"png\"), created: 0"), std::string::npos);
  EXPECT_EQ(MultiSpriteCount(ctx_), 0);
  EXPECT_EQ(MeasureText(ctx_, "", kFont, 1.0), 0);
  EXPECT_EQ(MeasureText(ctx_, "AB", "font", 1.0), 0);
  EXPECT_EQ(MeasureText(ctx_, "AB", kFont, 0.5), 12);
}

TEST_F(TextTest, MissingMetricsEndTheTextWithAReport) {
  dir_.WriteSpr("graphics\\fonts\\nopos.spr", "z=0", {"n.png,texture_size=16"});
  EXPECT_EQ(create_txt(ctx_, "AB", -1, "graphics\\fonts\\nopos.spr", 1, "t", -1, 1.0, 0, 0), 0);
  EXPECT_EQ(MultiSpriteCount(ctx_), 0);
  EXPECT_NE(Log().find("\"graphics\\fonts\\nopos.pos\": File not found"), std::string::npos);
  EXPECT_EQ(MeasureText(ctx_, "AB", "graphics\\fonts\\nopos.spr", 1.0), 0);
}

TEST_F(TextTest, ParameterSubstitution) {
  const std::vector<std::string> items = SplitParams(" 1500 , 3,,9");
  ASSERT_EQ(items, (std::vector<std::string>{"1500", "3"}));
  EXPECT_EQ(SubstituteParams("Score: %1;", items, "f", 1).value(), "Score: 1500");
  EXPECT_EQ(SubstituteParams("%2;x%1;%2;", items, "f", 1).value(), "3x15003");
  EXPECT_EQ(SubstituteParams("a%7;b", items, "f", 1).value(), "ab") << "out of range: nothing";
  EXPECT_EQ(*SubstituteParams("keep %1 and the rest", items, "f", 1), "keep ");
  const auto bad = SubstituteParams("x%one;", items, "t.txt", 4);
  ASSERT_FALSE(bad.has_value());
  EXPECT_EQ(Describe(bad.error()), "\"t.txt\", line 4: 'one' is not a valid integer value");
}

TEST_F(TextTest, LayoutFileWithSettingsBlocksAndParameters) {
  dir_.Write("text\\stat.txt",
             "; statistics\r\n"
             "font = graphics\\fonts\\full.spr\r\n"
             "size=1\r\nx=400\r\ny=100\r\nz=1010 ; over dialogs\r\nalign=left\r\n"
             "color=$FF8000\r\nleading=30\r\nunknown=1\r\nalign=sideways\r\nnot a setting\r\n"
             "#begin\r\nScore: %1;\r\n; not a comment\r\n#end\r\n"
             "#begin\r\n  Level %2;\r\n#end\r\n");
  ShowTextFile(ctx_, "text\\stat.txt", "stat", "1500, 3");
  const auto g = Glyphs("stat");
  EXPECT_EQ(TextOf("stat"), "Score:1500;notacommentLevel3");
  ASSERT_FALSE(g.empty());
  EXPECT_EQ(g[0]->x, 401);
  EXPECT_EQ(g[0]->y, 100);
  EXPECT_EQ(g[0]->z, 1010);
  EXPECT_EQ(g[0]->color, 0xFF8000);
  const TMultiSprite* comment = g[10];
  EXPECT_EQ(comment->y, 130);
  const TMultiSprite* level = g[g.size() - 6];
  EXPECT_EQ(level->y, 160) << "the second block goes on where the first ended";
  EXPECT_EQ(level->x, 400 + 2 * 6 + 1) << "leading blanks of block lines move the text";
}

TEST_F(TextTest, LayoutWithoutFontMakesNothingAndKeepsY) {
  dir_.Write("text\\t.txt",
             "y=50\r\nleading=10\r\n#begin\r\nlost\r\n#end\r\nfont=graphics\\fonts\\full.spr\r\n"
             "size=1\r\nalign=right\r\nx=100\r\n#begin\r\nAB\r\n");
  ShowTextFile(ctx_, "text\\t.txt", "t", "");
  const auto g = Glyphs("t");
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(g[0]->y, 50);
  EXPECT_EQ(g[0]->x, 100 - 11 + 1);
}

TEST_F(TextTest, LayoutErrorsAreReportedWithFileAndLine) {
  ShowTextFile(ctx_, "text\\missing.txt", "t", "");
  EXPECT_NE(Log().find("ShowTextFile: \"text\\missing.txt\": File not found"), std::string::npos);
  dir_.Write("text\\z.txt",
             "font=graphics\\fonts\\full.spr\r\nsize=1\r\n#begin\r\nA\r\n#end\r\n"
             "z=high\r\n#begin\r\nB\r\n#end\r\n");
  ShowTextFile(ctx_, "text\\z.txt", "z", "");
  EXPECT_EQ(Glyphs("z").size(), 1u) << "the text before the error stays";
  EXPECT_NE(Log().find("\"text\\z.txt\", line 6: 'high' is not a valid integer value"),
            std::string::npos);
  dir_.Write("text\\p.txt",
             "font=graphics\\fonts\\full.spr\r\nsize=x\r\n#begin\r\n%a;\r\n#end\r\n");
  ShowTextFile(ctx_, "text\\p.txt", "p", "1");
  EXPECT_NE(Log().find("\"text\\p.txt\", line 4: 'a'"), std::string::npos);
}

}  // namespace
}  // namespace qv
