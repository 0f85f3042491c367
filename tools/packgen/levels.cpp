#include "levels.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <set>
#include <stdexcept>

#include "pack.h"

namespace packgen {
namespace {

std::string Fixed2(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.2f", v);
  return buf;
}

std::string LevelName(const std::string& type, int n) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "levels\\%s-%02d.ini", type.c_str(), n);
  return buf;
}

// Description lines of each bonus item, shown when it is presented (at most 32 characters).
std::vector<std::string> Describe(int item) {
  switch (item) {
    case 1:
      return {"MULTIBALL", "A RAINBOW BALL THAT MATCHES", "EVERY COLOUR IT TOUCHES."};
    case 2:
      return {"TARGET SIGHT", "FOR A WHILE A RING SHOWS", "WHERE YOUR SHOT WILL LAND."};
    case 3:
      return {"DOUBLE SCORE", "BURST A BALL MARKED X2 AND", "YOUR POINTS COUNT TWICE."};
    case 4:
      return {"FOUR TIMES SCORE", "BURST A BALL MARKED X4 AND", "YOUR POINTS COUNT FOUR TIMES."};
    case 5:
      return {"FREEZE", "THE FIELD STOPS CREEPING", "DOWN FOR TEN SECONDS."};
    case 6:
      return {"SMALL BOMB", "WHEN ITS BALL BURSTS ALL SIX", "NEIGHBOURS BURST WITH IT."};
    case 7:
      return {"WIDE NETS", "THE SIDE NETS OPEN FOR A WHILE.", "BALLS LEFT OUTSIDE BURST",
              "WHEN THEY CLOSE AGAIN."};
    case 8:
      return {"FIELD UP", "THE WHOLE FIELD CLIMBS", "ONE ROW AWAY FROM YOU."};
    case 9:
      return {"PAINT ROCKET", "MOUNTS A ROCKET ON THE CANNON.", "RIGHT CLICK FIRES IT - IT",
              "PAINTS THE BALLS IT PASSES."};
    case 10:
      return {"COLOUR BOMB", "PAINTS THE BALLS AROUND IT", "IN THE COLOUR OF ITS CORE."};
    default:
      return {};
  }
}

std::string ItemList(const std::vector<int>& items) {
  if (items.empty()) return "0";
  std::string s;
  for (int i : items) s += (s.empty() ? "" : ",") + std::to_string(i);
  return s;
}

// One row per level: the climb time (arcade) or drain time (challenge) in ms, the progress
// factor (arcade: level points per progress point; challenge: progress per point) and the
// number of colours. The rows come from playtests by the built-in player at four skills
// (tools/playtest, docs/playtest/report.md): colours set the step a player feels most, so
// each skill meets its wall at a colour step, and time and factor ramp between the steps.
struct TimedLevel {
  int time;
  double factor;
  int colours;
};

// Arcade: three colours while a newcomer learns to aim (levels 1-5), four while the average
// player is tested (6-18, the climb quickening and the points needed growing), five for the
// practised player's long middle (19-25), six and seven at the end, where only a flawless
// player is safe. Level 1 climbs slowest and needs fewest points: nearly every newcomer wins it.
// The first level of four colours asks for no more points than the last of three, so the new
// colour is the only new thing.
constexpr TimedLevel kArcade[] = {
    {280, 0.28, 3}, {260, 0.33, 3}, {240, 0.40, 3}, {240, 0.42, 3}, {240, 0.44, 3},
    {240, 0.44, 4}, {235, 0.50, 4}, {235, 0.51, 4}, {230, 0.52, 4}, {230, 0.53, 4},
    {225, 0.54, 4}, {220, 0.55, 4}, {215, 0.58, 4}, {210, 0.61, 4}, {205, 0.64, 4},
    {200, 0.67, 4}, {195, 0.70, 4}, {190, 0.73, 4}, {185, 0.75, 5}, {180, 0.78, 5},
    {175, 0.80, 5}, {170, 0.84, 5}, {165, 0.88, 5}, {160, 0.92, 5}, {155, 0.96, 5},
    {150, 1.00, 6}, {140, 1.10, 6}, {130, 1.20, 6}, {125, 1.30, 7}, {120, 1.40, 7},
};

// Challenge: the drain is the clock and feels harder than the climb, so the colour steps come
// earlier than in arcade (four at level 4, five at 13) and the factor falls slowly throughout.
constexpr TimedLevel kChallenge[] = {
    {260, 2.30, 3}, {255, 2.25, 3}, {250, 2.22, 3}, {250, 2.20, 4}, {245, 2.18, 4},
    {240, 2.15, 4}, {235, 2.12, 4}, {230, 2.10, 4}, {225, 2.08, 4}, {220, 2.05, 4},
    {215, 2.02, 4}, {210, 2.00, 4}, {205, 2.00, 5}, {200, 2.00, 5}, {200, 1.98, 5},
    {195, 1.97, 5}, {195, 1.96, 5}, {190, 1.95, 5}, {190, 1.94, 5}, {185, 1.93, 5},
    {180, 1.92, 5}, {175, 1.91, 5}, {170, 1.90, 5}, {165, 1.89, 5}, {160, 1.88, 5},
    {155, 1.86, 6}, {145, 1.84, 6}, {135, 1.82, 6}, {125, 1.80, 7}, {120, 1.78, 7},
};

constexpr int kTimedLevels = 30;
static_assert(std::size(kArcade) == kTimedLevels && std::size(kChallenge) == kTimedLevels);

void BuildTimed(std::vector<LevelFile>& out, const std::string& type) {
  const bool arcade = type == "arcade";
  // Items in the order the levels present them (challenge never offers "up").
  const std::vector<int> order = arcade ? std::vector<int>{3, 1, 5, 2, 6, 7, 4, 8, 9, 10}
                                        : std::vector<int>{3, 1, 5, 2, 6, 7, 4, 9, 10};
  for (int n = 1; n <= kTimedLevels; ++n) {
    const TimedLevel& level = (arcade ? kArcade : kChallenge)[n - 1];
    std::vector<int> items;
    for (int k = 0; k < n - 1 && k < static_cast<int>(order.size()); ++k) items.push_back(order[k]);
    std::sort(items.begin(), items.end());
    const int next = n <= static_cast<int>(order.size()) ? order[n - 1] : 0;
    LevelFile f{LevelName(type, n), {}};
    f.lines.push_back("; " + type + " " + std::to_string(n));
    f.lines.push_back(std::to_string(level.time));
    f.lines.push_back(Fixed2(level.factor));
    f.lines.push_back(std::to_string(level.colours));
    f.lines.push_back(ItemList(items));
    f.lines.push_back(std::to_string(next));
    for (const std::string& d : Describe(next)) f.lines.push_back(d);
    out.push_back(std::move(f));
  }
}

// ------------------------------------------------------------------------------ puzzles

struct Grid {
  bool top12;
  std::vector<std::string> rows;

  int Width(int r) const { return IsTwelve(r) ? 12 : 11; }
  bool IsTwelve(int r) const { return (r % 2 == 0) == top12; }
  bool In(int r, int i) const {
    return r >= 0 && r < static_cast<int>(rows.size()) && i >= 0 && i < Width(r);
  }
  char At(int r, int i) const { return In(r, i) ? rows[r][i] : '.'; }
  // The two cells below (r, i), as character indices of row r + 1.
  std::pair<int, int> Below(int r, int i) const {
    return IsTwelve(r) ? std::make_pair(i - 1, i) : std::make_pair(i, i + 1);
  }
  std::vector<std::pair<int, int>> Neighbours(int r, int i) const {
    std::vector<std::pair<int, int>> n{{r, i - 1}, {r, i + 1}};
    const auto b = Below(r, i);
    n.push_back({r + 1, b.first});
    n.push_back({r + 1, b.second});
    n.push_back({r - 1, b.first});
    n.push_back({r - 1, b.second});
    std::vector<std::pair<int, int>> in;
    for (auto [rr, ii] : n) {
      if (In(rr, ii)) in.push_back({rr, ii});
    }
    return in;
  }
};

// Shapes: whether cell (r, i) of a k-row layout is filled; x runs -1..1 across the row.
bool ShapeCell(int shape, int r, int k, double x, int i, int w) {
  const double ax = std::fabs(x);
  const double t = k > 1 ? r / double(k - 1) : 0;  // 0 top .. 1 bottom
  switch (shape) {
    case 0:  // full block
      return true;
    case 1:  // inverted pyramid
      return ax <= 1.05 - 0.62 * t;
    case 2:  // curtains: hanging bands of different length
    {
      const int band = (i + (w == 11 ? 1 : 0)) / 3;
      const int lengths[4] = {k, k - 2, k - 2, k};
      return r < 2 || r < lengths[std::min(band, 3)] - (band == 1 || band == 2 ? 0 : 0);
    }
    case 3:  // arch: two legs around a gap in the lower half
      return r < (k + 1) / 2 || ax > 0.32;
    case 4:  // hourglass
      return ax <= 1.05 - 0.9 * std::sin(t * M_PI) * 0.6;
    case 5:  // heart-like: wide middle, pointed bottom
      return ax <= (t < 0.45 ? 1.05 : 1.05 - (t - 0.45) * 1.6);
    case 6:  // three hanging columns
      return r < 2 || ax < 0.18 || (ax > 0.55 && ax < 0.95);
    case 7:  // diamond under a bar
      return r < 2 || ax <= 0.95 - 0.9 * std::fabs(t - 0.55) * 1.7;
    default:
      return true;
  }
}

struct PuzzleSpec {
  int rows;
  int colours;
  int crystals;
  int lands;
  int shape;
  int shots;
  bool top12;
};

bool Connected(const Grid& g) {
  std::vector<std::vector<int>> seen(g.rows.size(), std::vector<int>(12, 0));
  std::vector<std::pair<int, int>> stack;
  for (int i = 0; i < g.Width(0); ++i) {
    if (g.At(0, i) != '.') stack.push_back({0, i});
  }
  while (!stack.empty()) {
    auto [r, i] = stack.back();
    stack.pop_back();
    if (seen[r][i]) continue;
    seen[r][i] = 1;
    for (auto [rr, ii] : g.Neighbours(r, i)) {
      if (g.At(rr, ii) != '.' && !seen[rr][ii]) stack.push_back({rr, ii});
    }
  }
  for (size_t r = 0; r < g.rows.size(); ++r) {
    for (int i = 0; i < g.Width(static_cast<int>(r)); ++i) {
      if (g.rows[r][i] != '.' && !seen[r][i]) return false;
    }
  }
  return true;
}

Grid MakePuzzle(const PuzzleSpec& s, uint32_t seed) {
  Rng rng(seed);
  Grid g{s.top12, {}};
  for (int r = 0; r < s.rows; ++r) {
    const int w = g.Width(r);
    std::string row(w, '.');
    for (int i = 0; i < w; ++i) {
      const double x =
          (i + 0.5 - w / 2.0) / 6.0 * (w == 12 ? 1.0 : 12.0 / 11.0 * 11.0 / 12.0) * 1.0;
      const double xn = (i - (w - 1) / 2.0) / 5.5;
      if (ShapeCell(s.shape, r, s.rows, xn, i, w)) row[i] = '#';
    }
    g.rows.push_back(row);
  }
  // Colour clusters of 2..4 cells, mirrored so the layouts look designed.
  std::vector<int> palette;
  for (int c = 1; c <= 7; ++c) palette.push_back(c);
  for (int k = 6; k > 0; --k) std::swap(palette[k], palette[rng.Int(k + 1)]);
  palette.resize(s.colours);
  auto mirror = [&](int r, int i) { return std::make_pair(r, g.Width(r) - 1 - i); };
  int dealt = 0;
  for (int r = 0; r < s.rows; ++r) {
    for (int i = 0; i < g.Width(r); ++i) {
      if (g.rows[r][i] != '#') continue;
      // Deal the colours round by round so every colour of the level shows up evenly.
      if (dealt % s.colours == 0) {
        for (int k = s.colours - 1; k > 0; --k) std::swap(palette[k], palette[rng.Int(k + 1)]);
      }
      const char colour = static_cast<char>('0' + palette[dealt++ % s.colours]);
      int size = 2 + rng.Int(3);
      std::vector<std::pair<int, int>> frontier{{r, i}};
      while (!frontier.empty() && size > 0) {
        auto [cr, ci] = frontier.front();
        frontier.erase(frontier.begin());
        if (g.rows[cr][ci] != '#') continue;
        g.rows[cr][ci] = colour;
        auto [mr, mi] = mirror(cr, ci);
        if (g.rows[mr][mi] == '#') g.rows[mr][mi] = colour;
        --size;
        auto n = g.Neighbours(cr, ci);
        for (size_t k = n.size(); k > 1; --k) std::swap(n[k - 1], n[rng.Int(static_cast<int>(k))]);
        for (auto p : n) frontier.push_back(p);
      }
    }
  }
  // Crystals: both cells below occupied by balls, never in the bottom row or on a 12-row's ends.
  auto eligible = [&](int r, int i) {
    if (r >= s.rows - 1 || !std::isdigit(static_cast<unsigned char>(g.rows[r][i]))) return false;
    if (g.IsTwelve(r) && (i == 0 || i == 11)) return false;
    const auto b = g.Below(r, i);
    for (int bi : {b.first, b.second}) {
      if (!std::isdigit(static_cast<unsigned char>(g.At(r + 1, bi)))) return false;
    }
    // Keep crystals apart so each one has its own pocket.
    for (auto [nr, ni] : g.Neighbours(r, i)) {
      if (g.At(nr, ni) == 'C') return false;
    }
    return r >= 1;
  };
  std::vector<std::pair<int, int>> spots;
  for (int r = s.rows - 2; r >= 1; --r) {
    for (int i = 0; i < g.Width(r); ++i) spots.push_back({r, i});
  }
  for (size_t k = spots.size(); k > 1; --k)
    std::swap(spots[k - 1], spots[rng.Int(static_cast<int>(k))]);
  // Prefer the lower half: the player digs towards them from below.
  std::stable_sort(spots.begin(), spots.end(), [&](auto a, auto b) {
    return (a.first * 2 >= s.rows) > (b.first * 2 >= s.rows);
  });
  int placed = 0;
  for (auto [r, i] : spots) {
    if (placed >= s.crystals) break;
    if (!eligible(r, i)) continue;
    g.rows[r][i] = 'C';
    ++placed;
    auto [mr, mi] = mirror(r, i);
    if (placed < s.crystals && eligible(mr, mi)) {
      g.rows[mr][mi] = 'C';
      ++placed;
    }
  }
  if (placed < s.crystals) throw std::runtime_error("puzzle generator: crystals do not fit");
  // Lands: rocks that only fall or get blasted, kept away from the crystals' supports.
  int lands = 0;
  for (int tries = 0; lands < s.lands && tries < 500; ++tries) {
    const int r = rng.Int(s.rows);
    const int i = rng.Int(g.Width(r));
    if (!std::isdigit(static_cast<unsigned char>(g.rows[r][i]))) continue;
    bool under_crystal = false;
    for (auto [nr, ni] : g.Neighbours(r, i)) {
      if (g.At(nr, ni) == 'C') under_crystal = true;
    }
    if (under_crystal) continue;
    g.rows[r][i] = 'L';
    ++lands;
  }
  for (std::string& row : g.rows) {
    std::replace(row.begin(), row.end(), '#', '.');
  }
  return g;
}

void BuildPuzzles(std::vector<LevelFile>& out) {
  // Items the puzzles introduce, by the puzzle that presents them (line 2 of section two).
  const std::pair<int, int> intro[] = {{2, 1},   {4, 6},  {6, 2},  {8, 9},
                                       {11, 10}, {14, 5}, {18, 7}, {22, 8}};
  std::vector<PuzzleSpec> specs;
  for (int n = 1; n <= 30; ++n) {
    PuzzleSpec s{};
    const int tier = (n - 1) / 6;  // 0..4
    s.rows = std::min(9, 4 + tier + ((n - 1) % 6 >= 3 ? 1 : 0));
    s.colours = std::min(7, 3 + tier + (tier >= 3 && n % 2 == 0 ? 1 : 0));
    s.crystals = std::min(8, 2 + tier + ((n - 1) % 6) / 3);
    // Lands and a short shot budget together made the last puzzles a matter of luck even for
    // a flawless player (playtests: puzzle 28 solved in 73 % of games within three tries), so
    // both stop growing once the layouts reach their full size.
    s.lands = n <= 6 ? 0 : std::min(5, (n - 5) / 3);
    s.shape = (n * 5 + tier) % 8;
    // The full block is the first puzzles' shape; later, nine rows of it in seven colours leave
    // no pocket to dig into (playtests: a flawless player lost puzzle 28 one try in three).
    if (n <= 2) s.shape = 0;
    else if (s.shape == 0) s.shape = 7;
    s.shots = std::max(7, 10 - (n - 1) / 5) + (s.rows >= 8 ? 1 : 0);  // tall layouts take longer
    s.top12 = n % 3 != 0;
    specs.push_back(s);
  }
  std::vector<int> items;
  for (int n = 1; n <= 30; ++n) {
    const PuzzleSpec& s = specs[n - 1];
    Grid g;
    bool ok = false;
    for (uint32_t attempt = 0; attempt < 200 && !ok; ++attempt) {
      try {
        g = MakePuzzle(s, 7919u * n + 104729u * attempt + 1);
      } catch (const std::exception&) {
        continue;
      }
      ok = Connected(g) && CheckPuzzleLayout(g.rows, g.top12).empty();
    }
    if (!ok) throw std::runtime_error("puzzle " + std::to_string(n) + " could not be generated");
    int next = 0;
    for (auto [at, item] : intro) {
      if (at == n) next = item;
    }
    LevelFile f{LevelName("puzzle", n), {}};
    f.lines.push_back("; puzzle " + std::to_string(n));
    f.lines.push_back(std::to_string(s.shots));
    f.lines.push_back(g.top12 ? "1" : "0");
    for (const std::string& row : g.rows) f.lines.push_back(row);
    f.lines.push_back("#");
    std::vector<int> sorted = items;
    std::sort(sorted.begin(), sorted.end());
    f.lines.push_back(ItemList(sorted));
    f.lines.push_back(std::to_string(next));
    for (const std::string& d : Describe(next)) f.lines.push_back(d);
    out.push_back(std::move(f));
    if (next) items.push_back(next);
  }
}

}  // namespace

std::string CheckPuzzleLayout(const std::vector<std::string>& rows, bool top12) {
  Grid g{top12, rows};
  if (rows.size() < 4 || rows.size() > 11) return "layout height outside 4..11";
  int balls = 0, crystals = 0;
  std::set<char> colours;
  for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
    if (static_cast<int>(rows[r].size()) != g.Width(r))
      return "row " + std::to_string(r) + " has the wrong width";
    for (int i = 0; i < g.Width(r); ++i) {
      const char c = rows[r][i];
      if (c >= '1' && c <= '7') {
        ++balls;
        colours.insert(c);
      } else if (c == 'C') {
        ++crystals;
        if (r == static_cast<int>(rows.size()) - 1) return "crystal in the bottom row";
        if (g.IsTwelve(r) && (i == 0 || i == 11)) return "crystal on the end of a 12-cell row";
        const auto b = g.Below(r, i);
        if (g.At(r + 1, b.first) == '.' || g.At(r + 1, b.second) == '.') {
          return "crystal at row " + std::to_string(r) + " lacks support";
        }
      } else if (c != 'L' && c != '.') {
        return std::string("bad layout character ") + c;
      }
    }
  }
  if (balls < 1) return "no colour ball";
  if (crystals < 1 || crystals > 8) return "crystal count outside 1..8";
  return {};
}

std::vector<LevelFile> BuildLevels() {
  std::vector<LevelFile> out;
  BuildTimed(out, "arcade");
  BuildTimed(out, "challenge");
  BuildPuzzles(out);
  return out;
}

}  // namespace packgen
