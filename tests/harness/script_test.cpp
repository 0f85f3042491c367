// The harness's script syntax and the command line.
#include <gtest/gtest.h>

#include "harness/command_line.h"
#include "harness/script.h"

namespace qv {
namespace {

using Kind = ScriptCommand::Kind;

TEST(ScriptTest, CommandsExpandAndApplyInTickThenFileOrder) {
  const auto script = ParseScript(
      "# a comment\n"
      "0 state a.json\n"
      "5 click right 10 20   # trailing comment\n"
      "6 key 13 shift\n"
      "6 text Ab 1-.\n"
      "7 minimize\n"
      "9 quit\n",
      "s.txt");
  ASSERT_TRUE(script) << script.error().message;
  const auto& c = script->commands;
  ASSERT_EQ(c.size(), 13u);
  EXPECT_EQ(c[0].kind, Kind::State);
  EXPECT_EQ(c[0].path, "a.json");
  EXPECT_EQ(c[1].kind, Kind::Move);
  EXPECT_EQ(c[1].x, 10);
  EXPECT_EQ(c[1].y, 20);
  EXPECT_EQ(c[2].kind, Kind::Down);
  EXPECT_EQ(c[2].button, 1);
  EXPECT_EQ(c[3].kind, Kind::Up);
  EXPECT_EQ(c[3].tick, 6u) << "the release of a click comes one tick later, first in its tick";
  EXPECT_EQ(c[4].key, 13);
  EXPECT_EQ(c[4].shift, 1);
  const int keys[] = {65, 66, 32, 49, 189, 46};
  const int shifts[] = {1, 0, 0, 0, 0, 0};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(c[5 + i].key, keys[i]);
    EXPECT_EQ(c[5 + i].shift, shifts[i]);
  }
  EXPECT_EQ(c[11].kind, Kind::Minimize);
  EXPECT_EQ(c[12].kind, Kind::Quit);
}

TEST(ScriptTest, ErrorsNameFileAndLine) {
  const char* bad[] = {"3 move 1\n",      "3 wiggle\n",   "x quit\n",       "5 quit\n4 quit\n",
                       "1 key 13 ctrl\n", "1 text a_b\n", "1 down middle\n"};
  for (const char* text : bad) {
    const auto script = ParseScript(text, "s.txt");
    ASSERT_FALSE(script) << text;
    EXPECT_EQ(script.error().message.rfind("s.txt:", 0), 0u) << script.error().message;
  }
  const auto script = ParseScript("1 quit\n\n# c\n5 quit\n4 quit\n", "s.txt");
  ASSERT_FALSE(script);
  EXPECT_EQ(script.error().message.rfind("s.txt:5:", 0), 0u) << script.error().message;
}

TEST(CommandLineTest, ParsesEveryOptionAndRejectsTheRest) {
  const auto parsed =
      ParseCommandLine({"--dir", "d", "--headless", "--render-all", "--seed", "42", "--script", "s",
                        "--ticks", "1000", "--autoplay", "--pack", "p"});
  ASSERT_TRUE(parsed) << parsed.error().message;
  const CommandLine& cl = *parsed;
  EXPECT_EQ(cl.dir, "d");
  EXPECT_TRUE(cl.headless && cl.render_all && cl.autoplay && cl.has_seed);
  EXPECT_EQ(cl.seed, 42u);
  EXPECT_EQ(cl.script, "s");
  EXPECT_EQ(cl.ticks, 1000u);
  EXPECT_EQ(cl.pack, "p");
  EXPECT_FALSE(ParseCommandLine({"--ticks", "-1"}));
  EXPECT_FALSE(ParseCommandLine({"--seed"}));
  const auto unknown = ParseCommandLine({"--fast"});
  ASSERT_FALSE(unknown);
  EXPECT_NE(unknown.error().message.find("--fast"), std::string::npos);
}

}  // namespace
}  // namespace qv
