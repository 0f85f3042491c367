#include "game/levels.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "audio/audio.h"
#include "base/text_util.h"
#include "context.h"
#include "game/bonuses.h"
#include "game/field.h"
#include "game/game_frame.h"
#include "game/game_math.h"
#include "game/hud.h"
#include "game/scene_port.h"
#include "platform/files.h"
#include "shell/main_form.h"

namespace qv {
namespace {

constexpr int kLastLevelOpen = 999999;
// Room for a level file's name: the longest type name, an int's digits and sign, ".ini".
constexpr std::size_t kFileNameRoom = 64;

// A puzzle layout's first row is row 23; the layout may reach down to row -1.
constexpr int kPuzzleTopRows = 24;
constexpr std::size_t kPuzzleLayoutRows = kPuzzleTopRows + 1;
// The puzzle's descent budget in pixels at the level's start. While the budget is that large
// the field slides four pixels a frame, below it by its lowest row's height, and below
// kPuzzleCreepBudget it creeps a pixel at a time.
constexpr int kPuzzleStartBudget = 360;
constexpr int kPuzzleCreepBudget = 240;
// When a loss is seen, the time left before the game is over: arcade gives the player time to
// clear row 0; a challenge strip that has run dry ends soon; puzzle at once.
constexpr int kArcadeLossDelayMs = 5000;
constexpr int kChallengeLossDelayMs = 500;
constexpr int kPuzzleLossDelayMs = -1000;
// The dragons' first rest after the build, staggered so that they do not set off together.
constexpr std::uint32_t kDragonFirstRestMs[2] = {500, 700};

Error Malformed(std::string_view file, int line, std::string message) {
  return Error{std::move(message), std::string(file), line};
}

// Line `index` (0-based) of the counted lines, or the error naming what is missing.
Expected<const CountedLine*> Need(const std::vector<CountedLine>& lines, std::size_t index,
                                  std::string_view file, std::string_view what) {
  if (index < lines.size()) return &lines[index];
  return Fail(Malformed(file, 0, "missing line: " + std::string(what)));
}

std::optional<int> Int(const CountedLine& l) {
  return txt::ParseInt(txt::Trim(l.text));
}

}  // namespace

std::string LevelFileName(GameType game_type, int level) {
  const char* kind = game_type == GameType::Challenge ? "challenge"
                     : game_type == GameType::Puzzle  ? "puzzle"
                                                      : "arcade";
  char buf[kFileNameRoom];
  std::snprintf(buf, sizeof buf, "levels\\%s-%02d.ini", kind, level);
  return buf;
}

std::vector<CountedLine> CountedLines(std::string_view data) {
  std::vector<CountedLine> out;
  int n = 0;
  for (std::string_view line : txt::Lines(data)) {
    ++n;
    const std::size_t sc = line.find(';');
    if (sc != std::string_view::npos) line = line.substr(0, sc);
    line = txt::Trim(line);
    if (!line.empty()) out.push_back({std::string(line), n});
  }
  return out;
}

Expected<std::vector<int>> ParseBonusItems(std::string_view file, const CountedLine& line) {
  std::vector<int> out;
  for (std::string_view field : txt::Split(line.text, ',')) {
    field = txt::Trim(field);
    if (field.empty()) break;
    const std::optional<int> v = txt::ParseInt(field);
    if (!v) return Fail(NotAnInteger(file, line.line, field));
    if (*v < 1 || *v > 10) break;
    out.push_back(*v);
  }
  return out;
}

Expected<TimedLevelFile> ParseTimedLevel(std::string_view file, std::string_view data) {
  const std::vector<CountedLine> lines = CountedLines(data);
  TimedLevelFile t;
  Expected<const CountedLine*> l = Need(lines, 0, file, "time");
  if (!l) return Fail(l.error());
  std::optional<int> i = Int(**l);
  if (!i) return Fail(NotAnInteger(file, (*l)->line, (*l)->text));
  t.time = *i;
  if (!(l = Need(lines, 1, file, "factor"))) return Fail(l.error());
  const std::optional<double> real = txt::ParseReal((*l)->text);
  if (!real) return Fail(NotAReal(file, (*l)->line, (*l)->text));
  t.real = *real;
  if (!(l = Need(lines, 2, file, "colour count"))) return Fail(l.error());
  if (!(i = Int(**l))) return Fail(NotAnInteger(file, (*l)->line, (*l)->text));
  // The field is filled with random(colours) + 1: no colours, or more than there are balls,
  // leaves nothing sensible to draw.
  if (*i < 1 || *i > 7) return Fail(Malformed(file, (*l)->line, "colour count must be 1..7"));
  t.colours = *i;
  if (!(l = Need(lines, 3, file, "bonus items"))) return Fail(l.error());
  Expected<std::vector<int>> items = ParseBonusItems(file, **l);
  if (!items) return Fail(items.error());
  t.items = std::move(*items);
  if (!(l = Need(lines, 4, file, "new item code"))) return Fail(l.error());
  if (!(i = Int(**l))) return Fail(NotAnInteger(file, (*l)->line, (*l)->text));
  t.new_item = *i;
  for (std::size_t k = 5; k < lines.size(); ++k) t.description.push_back(lines[k].text);
  return t;
}

Expected<PuzzleLevelFile> ParsePuzzleLevel(std::string_view file, std::string_view data) {
  const std::vector<CountedLine> lines = CountedLines(data);
  std::vector<CountedLine> first, second;
  bool in_second = false;
  for (const CountedLine& l : lines) {
    if (!in_second && l.text == "#") {
      in_second = true;
      continue;
    }
    (in_second ? second : first).push_back(l);
  }
  PuzzleLevelFile p;
  Expected<const CountedLine*> l = Need(first, 0, file, "shots per descent");
  if (!l) return Fail(l.error());
  std::optional<int> i = Int(**l);
  if (!i) return Fail(NotAnInteger(file, (*l)->line, (*l)->text));
  p.shots_per_descent = *i;
  if (!(l = Need(first, 1, file, "shift"))) return Fail(l.error());
  const std::string_view shift = txt::Trim(txt::Split((*l)->text, ',')[0]);
  if (!(i = txt::ParseInt(shift))) return Fail(NotAnInteger(file, (*l)->line, shift));
  if (*i != 0 && *i != 1) return Fail(Malformed(file, (*l)->line, "shift must be 0 or 1"));
  p.shift = *i;
  for (std::size_t k = 2; k < first.size(); ++k) {
    const std::string& row = first[k].text;
    for (std::size_t c = 0; c < row.size() && c + 2 <= 15; ++c) {
      const char ch = row[c];
      if (ch >= '1' && ch <= '9') {
        const int colour = ch - '0';
        if (colour > 7) return Fail(Malformed(file, first[k].line, "colours are 1..7"));
        if (std::find(p.colours.begin(), p.colours.end(), colour) == p.colours.end()) {
          p.colours.push_back(colour);
        }
      } else if (ch == 'C') {
        ++p.crystals;
      }
    }
    p.rows.push_back(row);
  }
  // More rows than the field has above row -1 would run off its end.
  if (p.rows.size() > kPuzzleLayoutRows) return Fail(Malformed(file, 0, "too many layout rows"));
  if (p.crystals == 0) return Fail(Malformed(file, 0, "the layout has no crystal"));
  if (p.colours.empty()) return Fail(Malformed(file, 0, "the layout has no colour ball"));
  if (!second.empty()) {
    Expected<std::vector<int>> items = ParseBonusItems(file, second[0]);
    if (!items) return Fail(items.error());
    p.items = std::move(*items);
  }
  if (second.size() >= 2) {
    if (!(i = Int(second[1]))) return Fail(NotAnInteger(file, second[1].line, second[1].text));
    p.new_item = *i;
  }
  for (std::size_t k = 2; k < second.size(); ++k) p.description.push_back(second[k].text);
  return p;
}

Expected<void> LoadLevelHeader(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  LevelState& lv = play.lv;
  lv.bonus_items.clear();
  const std::string file = LevelFileName(g.session.game_type, g.session.level);
  const std::optional<std::string> data =
      platform::FileExists(file) ? platform::ReadWholeFile(file) : std::nullopt;
  if (!data) return Fail(FileNotFound(file));
  Expected<TimedLevelFile> t = ParseTimedLevel(file, *data);
  if (!t) return Fail(t.error());
  // A divisor of 0 would fill the strip at once: the level would be won before it began.
  if (g.session.game_type != GameType::Challenge && t->real <= 0) {
    return Fail(Malformed(file, 0, "the level point divisor must be above 0"));
  }
  if (g.session.game_type == GameType::Challenge) {
    lv.drain_interval = t->time;
    play.lv.challenge_factor = t->real;
  } else {
    lv.climb_time = t->time;
    lv.point_divisor = t->real;
  }
  play.field.colour_count = t->colours;
  lv.bonus_items = std::move(t->items);
  lv.new_item = t->new_item;
  if (!t->description.empty()) g.run.level_description = std::move(t->description);
  lv.last_level = platform::FileExists(LevelFileName(g.session.game_type, g.session.level + 1))
                      ? kLastLevelOpen
                      : g.session.level;
  return {};
}

Expected<int> BuildPuzzleLevel(Context& ctx, std::string_view file) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  LevelState& lv = play.lv;
  BallField& f = play.field;
  play.crystals.count = 0;
  play.crystals.freed = 0;
  lv.colours.clear();
  lv.bonus_items.clear();
  const std::optional<std::string> data =
      platform::FileExists(file) ? platform::ReadWholeFile(file) : std::nullopt;
  if (!data) return Fail(FileNotFound(file));
  Expected<PuzzleLevelFile> parsed = ParsePuzzleLevel(file, *data);
  if (!parsed) return Fail(parsed.error());
  PuzzleLevelFile& p = *parsed;
  f.top_rows = kPuzzleTopRows;
  int r = kPuzzleTopRows - 1;
  int shift = p.shift;
  for (const std::string& row : p.rows) {
    f.code(r) = static_cast<std::uint8_t>(11 + shift);
    for (std::size_t i = 0; i < row.size(); ++i) {
      const int c = 2 + static_cast<int>(i);
      if (c > 15) break;
      const char ch = row[i];
      const BallKind kind = LevelCellKind(ch);
      if (kind == BallKind::Empty) continue;
      FieldCell& cell = f.at(c, r);
      FreePic(ctx, cell.sprite);
      cell.kind = kind;
      cell.paint = 0;
      cell.bonus = 0;
      cell.marks = 0;
      // The field is fresh from level start: it has not moved yet.
      cell.sprite = MakeBallPicture(ctx, kind, 0, 0, CellX(f, c, r), CellY(f, c, r));
      if (kind == BallKind::Crystal) ++play.crystals.count;
    }
    f.floor_row = r;
    shift ^= 1;
    --r;
  }
  lv.colours = p.colours;
  lv.shots_per_descent = p.shots_per_descent;
  lv.bonus_items = std::move(p.items);
  lv.new_item = p.new_item;
  if (!p.description.empty()) g.run.level_description = std::move(p.description);
  lv.descent_budget = kPuzzleStartBudget;
  return p.shift;
}

TypeProgress& Progress(Context& ctx) {
  GameState& g = ctx.game;
  const GameType t = g.session.game_type;
  TypeProgress& p = g.run.players.local[TypeIndex(t)];
  if (g.run.players.read_progress) g.run.players.read_progress(ctx, TypeNumber(t), p);
  return p;
}

void WritePlayers(Context& ctx) {
  GameState& g = ctx.game;
  const GameType t = g.session.game_type;
  if (g.run.players.write_progress) {
    g.run.players.write_progress(ctx, TypeNumber(t), g.run.players.local[TypeIndex(t)]);
  }
}

void SaveProgress(Context& ctx) {
  GameState& g = ctx.game;
  TypeProgress& p = Progress(ctx);
  p.level = g.session.level;
  p.score = g.session.score;
  if (g.session.level % 5 == 0) p.checkpoint = g.session.score;
  if (p.level < 1) {
    p.level = 1;
    p.score = 0;
    p.checkpoint = 0;
    p.may_continue = 1;
  }
  WritePlayers(ctx);
}

void GameStart(Context& ctx) {
  GameState& g = ctx.game;
  // The menu has chosen the type; everything else of the game begins afresh.
  g.session = GameSession{g.session.game_type};
  LevelStart(ctx);
  const TypeProgress& p = Progress(ctx);
  // The score is taken first so that a save made here keeps the player's saved score rather
  // than whatever a previous game left behind.
  g.session.score = p.score;
  g.session.level = p.level;
  if (g.session.level < 1) {
    g.session.level = 1;
    SaveProgress(ctx);
  }
  if (ctx.options.beg_level != 0) {
    g.session.level = ctx.options.beg_level;
    SaveProgress(ctx);
  }
  g.session.score = Progress(ctx).score;
  g.scene.hud.shown_score = g.session.score;
}

bool LevelBuild(Context& ctx) {
  GameState& g = ctx.game;
  LevelPlay& play = g.play;
  LevelState& lv = play.lv;
  BallField& f = play.field;
  ShellState& s = ctx.shell;
  const Options& o = ctx.options;
  const std::uint32_t now = GameNow(ctx);
  // The level's state is fresh since level start; set here is what the build decides and what
  // the frames of the cannon's build-up moved (the strip, the drain).
  ctx.clocks.LiftPause();
  s.pointer.hover_button = -1;
  s.pointer.pressed_button = -1;
  play.hud.shown_level = -1;  // the number is drawn again
  if (g.run.port) g.run.port->SetCursorVariant(ctx, 0);
  play.progress.target = 0;
  play.progress.shown = 0;
  play.progress.last_drawn = ProgressState::kNeverDrawn;
  play.progress.rising = g.session.game_type == GameType::Challenge;
  lv.drain_time = now;
  SeedRandom(ctx);
  play.hud.shots_until_bonus = ShotsUntilBonus(ctx.random, o);

  std::optional<Error> failure;
  if (g.session.game_type != GameType::Puzzle) {
    const Expected<void> header = LoadLevelHeader(ctx);
    if (!header) failure = header.error();
    if (header) {
      for (int r = kFieldRowMin; r <= kFieldRowMax; ++r) {
        f.code(r) = static_cast<std::uint8_t>((r & 1) ? 12 : 11);
      }
      GenerateRow(ctx, 12, f.code(12));
      GenerateRow(ctx, 13, f.code(13));
    }
  } else {
    const std::string file = LevelFileName(GameType::Puzzle, g.session.level);
    Expected<int> shift = BuildPuzzleLevel(ctx, file);
    if (shift) {
      lv.last_level = platform::FileExists(LevelFileName(GameType::Puzzle, g.session.level + 1))
                          ? kLastLevelOpen
                          : g.session.level;
      for (int r = kFieldRowMin; r <= kFieldRowMax; ++r) {
        const bool first = ((r + 1) & 1) == 0;
        f.code(r) = static_cast<std::uint8_t>(first ? 11 + *shift : 12 - *shift);
      }
      f.colour_count = static_cast<int>(lv.colours.size());
    } else {
      failure = shift.error();
    }
  }
  if (failure) {
    // The level cannot be played: say which file and line, and go back to the menu.
    ReportDataError(ctx, "Level", *failure);
    lv.unplayable = true;
    lv.start_flag = false;
    LeaveForMenu(ctx);
    return false;
  }
  lv.unplayable = false;

  NextBall(ctx);
  NextBall(ctx);
  f.new_row_parity = 0;
  play.path.length = 0;
  play.path.target_col = -1;
  OccupancyScan(f);
  // The challenge begins with the strip half full.
  if (g.session.game_type == GameType::Challenge) play.progress.target = ProgressState::kFull / 2.0;
  play.end_phase = EndPhase::Playing;
  s.flow.click_context = ClickContext::Playing;
  play.hud.dragon[0].rest_until = now + kDragonFirstRestMs[0];
  play.hud.dragon[1].rest_until = now + kDragonFirstRestMs[1];
  OccupancyScan(f);
  lv.danger_row = g.session.game_type == GameType::Arcade      ? 8
                  : g.session.game_type == GameType::Challenge ? 5
                                                               : 12 - f.occupied;
  if (g.session.game_type == GameType::Puzzle) {
    ChangeMusic(ctx, FindAudio(ctx, "music_puzzle"), kMusicFade, kMusicFade);
  } else {
    ctx.audio.alternate_start = g.session.level % 2 == 0;
    ChangeMusic(ctx, FindAudio(ctx, "music_arcade"), kMusicFade, kMusicFade);
  }
  SetPicVisible(ctx, g.scene.hud.canon1, true);
  SelectPicPart(ctx, g.scene.hud.canon1, 0, 0);
  StopGameChannel(ctx, play.channels.balls_down);
  play.channels.balls_down = PlayGameSample(ctx, "sample_balls_down");
  if (g.session.game_type == GameType::Puzzle) {
    SetPicVisible(ctx, g.scene.hud.balls_down, true);
    SetPicColor(ctx, g.scene.hud.balls_down, 0x32FA32);
    SetPartOffsetY(ctx, g.scene.hud.balls_down, 0, 0);
    play.frame.meter_target = 0;
    play.frame.meter_shown = 0;
  } else {
    SetPicVisible(ctx, g.scene.hud.balls_down, false);
  }
  play.scoring.last_joy = -1;
  g.scene.hud.score_redraw = true;
  lv.start_flag = false;
  play.frame.built_at = now;
  ReportGameEvent(ctx, GameEventKind::LevelStart);
  return true;
}

DescentChoice ChooseDescent(GameType game_type, int lowest_row, int floor_row, int budget,
                            int climb_time, const Options& o) {
  DescentChoice d;
  if (game_type == GameType::Arcade) {
    d.allowed = true;
    if (lowest_row < 9) {
      d.n = 1;
      d.delay = climb_time;
    } else if (lowest_row <= 12) {
      d.n = lowest_row - 8;
    } else {
      d.n = 4;
    }
  } else if (game_type == GameType::Challenge) {
    d.allowed = lowest_row > floor_row;
    d.n = 1;
    d.delay = o.balls_climb_time_challenge;
  } else {
    d.allowed = budget > 0;
    if (budget < kPuzzleCreepBudget) {
      d.n = 1;
      d.delay = o.balls_climb_time_puzzle;
    } else if (budget < kPuzzleStartBudget) {
      // Below row 9 the row count alone would give no step at all and the slide would stop.
      d.n = lowest_row >= BallField::kNoRow ? 4 : std::max(1, lowest_row - 8);
    } else {
      d.n = 4;
    }
  }
  return d;
}

bool ChallengeClimbWanted(const BallField& f) {
  return f.lowest < f.floor_row || (f.lowest == f.floor_row && f.offset >= 1);
}

bool LevelWonNow(const GameState& g) {
  if (g.session.game_type == GameType::Puzzle)
    return g.play.crystals.freed == g.play.crystals.count;
  return g.play.progress.target >= ProgressState::kFull;
}

bool LossDetected(const GameState& g) {
  if (g.session.game_type == GameType::Arcade) return RowOccupied(g.play.field, 0);
  if (g.session.game_type == GameType::Puzzle) return RowOccupied(g.play.field, -1);
  return g.play.progress.target <= 0;
}

bool LossStillHolds(const GameState& g) {
  if (g.session.game_type == GameType::Challenge) return g.play.progress.target <= 0;
  return RowOccupied(g.play.field, 0);
}

int LossDelay(GameType game_type) {
  if (game_type == GameType::Arcade) return kArcadeLossDelayMs;
  if (game_type == GameType::Challenge) return kChallengeLossDelayMs;
  return kPuzzleLossDelayMs;
}

}  // namespace qv
