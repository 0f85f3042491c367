// Level files: numbering, format, difficulty curve, item introductions and puzzle playability.
#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "pack_files.h"

namespace qv::pack_check {
namespace {

std::string LevelPath(const std::string& type, int n) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "levels\\%s-%02d.ini", type.c_str(), n);
  return buf;
}

int CountLevels(const std::string& type) {
  int n = 0;
  while (Exists(LevelPath(type, n + 1))) ++n;
  return n;
}

std::vector<int> Items(const std::string& line) {
  std::vector<int> out;
  for (const std::string& f : Split(line, ',')) {
    const std::string t = Trim(f);
    if (t.empty()) break;
    const int v = std::stoi(t);
    if (v < 1 || v > 10) break;
    out.push_back(v);
  }
  return out;
}

bool IsInt(const std::string& s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string::npos;
}

struct Timed {
  int time;
  double factor;
  int colours;
  std::vector<int> items;
  int next;
  std::vector<std::string> description;
};

Timed ReadTimed(const std::string& path) {
  const auto lines = Counted(path);
  Timed t{};
  EXPECT_GE(lines.size(), 5u) << path;
  if (lines.size() < 5) return t;
  EXPECT_TRUE(IsInt(lines[0])) << path;
  t.time = std::stoi(lines[0]);
  t.factor = std::stod(lines[1]);
  t.colours = std::stoi(lines[2]);
  t.items = Items(lines[3]);
  EXPECT_TRUE(IsInt(lines[4])) << path;
  t.next = std::stoi(lines[4]);
  t.description.assign(lines.begin() + 5, lines.end());
  return t;
}

void CheckTimedType(const std::string& type) {
  const int count = CountLevels(type);
  ASSERT_GE(count, 30) << type;
  EXPECT_FALSE(Exists(LevelPath(type, count + 2))) << "gap in the " << type << " numbering";
  std::set<int> offered;
  Timed prev{};
  for (int n = 1; n <= count; ++n) {
    const std::string path = LevelPath(type, n);
    const Timed t = ReadTimed(path);
    EXPECT_GE(t.colours, 2) << path;
    EXPECT_LE(t.colours, 7) << path;
    EXPECT_GT(t.time, 0) << path;
    EXPECT_GT(t.factor, 0) << path;
    if (type == "challenge") {
      EXPECT_EQ(std::count(t.items.begin(), t.items.end(), 8), 0) << path;
    }
    // Every item a level offers was presented before, with its description.
    for (int i : t.items)
      EXPECT_TRUE(offered.count(i)) << path << " offers " << i << " unannounced";
    if (t.next > 0) {
      EXPECT_FALSE(t.description.empty()) << path;
      EXPECT_LE(t.description.size(), 4u) << path;
      for (const std::string& d : t.description) {
        EXPECT_LE(d.size(), 32u) << path;
        EXPECT_EQ(d.find(','), std::string::npos) << path;
      }
      offered.insert(t.next);
    }
    if (n > 1) {
      // Difficulty never eases: arcade climbs faster and needs more points, challenge drains
      // faster and gives less per point; colours never drop.
      EXPECT_LE(t.time, prev.time) << path;
      if (type == "arcade")
        EXPECT_GE(t.factor, prev.factor) << path;
      else
        EXPECT_LE(t.factor, prev.factor) << path;
      EXPECT_GE(t.colours, prev.colours) << path;
    }
    prev = t;
  }
  const std::set<int> all = type == "arcade" ? std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}
                                             : std::set<int>{1, 2, 3, 4, 5, 6, 7, 9, 10};
  EXPECT_EQ(offered, all) << "every bonus is introduced in " << type;
  const Timed first = ReadTimed(LevelPath(type, 1)), last = ReadTimed(LevelPath(type, count));
  EXPECT_LT(last.time, first.time * 0.5) << type;
  EXPECT_GT(last.colours, first.colours) << type;
}

TEST(PackLevels, ArcadeLevelsParseAndGetHarder) {
  CheckTimedType("arcade");
}
TEST(PackLevels, ChallengeLevelsParseAndGetHarder) {
  CheckTimedType("challenge");
}

TEST(PackLevels, PuzzlesArePlayable) {
  const int count = CountLevels("puzzle");
  ASSERT_GE(count, 30);
  std::set<int> offered;
  for (int n = 1; n <= count; ++n) {
    const std::string path = LevelPath("puzzle", n);
    const auto lines = Counted(path);
    const auto hash = std::find(lines.begin(), lines.end(), "#");
    ASSERT_NE(hash, lines.end()) << path;
    const std::vector<std::string> first(lines.begin(), hash), second(hash + 1, lines.end());
    ASSERT_GE(first.size(), 2u + 4u) << path;
    ASSERT_GE(second.size(), 2u) << path;
    const int shots = std::stoi(first[0]);
    EXPECT_GE(shots, 3) << path;
    const bool top12 = Split(first[1], ',')[0] == "1";
    const std::vector<std::string> rows(first.begin() + 2, first.end());
    EXPECT_GE(rows.size(), 4u) << path;
    EXPECT_LE(rows.size(), 11u) << path;
    int balls = 0, crystals = 0;
    std::set<char> colours;
    auto width = [&](size_t r) { return ((r % 2 == 0) == top12) ? 12u : 11u; };
    auto at = [&](size_t r, long i) {
      if (r >= rows.size() || i < 0 || static_cast<size_t>(i) >= rows[r].size()) return '.';
      return rows[r][static_cast<size_t>(i)];
    };
    for (size_t r = 0; r < rows.size(); ++r) {
      EXPECT_EQ(rows[r].size(), width(r)) << path << " row " << r;
      for (size_t i = 0; i < rows[r].size(); ++i) {
        const char c = rows[r][i];
        EXPECT_NE(std::string("1234567LC.").find(c), std::string::npos) << path << ": " << c;
        if (c >= '1' && c <= '7') {
          ++balls;
          colours.insert(c);
        }
        if (c != 'C') continue;
        ++crystals;
        EXPECT_LT(r + 1, rows.size()) << path << ": crystal in the bottom row";
        const bool twelve = width(r) == 12;
        if (twelve) EXPECT_TRUE(i != 0 && i != 11) << path << ": crystal on a row end";
        const long a = twelve ? static_cast<long>(i) - 1 : static_cast<long>(i);
        EXPECT_NE(at(r + 1, a), '.') << path << ": crystal without support at row " << r;
        EXPECT_NE(at(r + 1, a + 1), '.') << path << ": crystal without support at row " << r;
      }
    }
    EXPECT_GE(balls, 1) << path;
    EXPECT_GE(crystals, 1) << path;
    EXPECT_LE(crystals, 8) << path;
    for (int i : Items(second[0]))
      EXPECT_TRUE(offered.count(i)) << path << " offers " << i << " unannounced";
    const int next = std::stoi(second[1]);
    if (next > 0) {
      EXPECT_GE(second.size(), 3u) << path;
      offered.insert(next);
    }
  }
  EXPECT_GE(offered.size(), 6u);
}

}  // namespace
}  // namespace qv::pack_check
