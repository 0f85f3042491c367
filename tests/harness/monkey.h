#pragma once
// The monkey: the whole program in one process on the generated content pack, headless, fed
// seeded random but plausible input (pointer moves, clicks that favour the buttons on screen,
// right clicks, keys, focus loss) for long stretches of game time. After every tick (so after
// every event and at every level's first frame) the state dump and the saves are checked
// (MonkeyChecks). Its events are script commands applied as the binary's runner applies them,
// so the events so far, written as a script, replay a finding with the binary.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "harness/script.h"

namespace qv::test {

// The integer value of `key` in `section` of a state dump (the first occurrence after the
// section opens), without copying: the monkey reads several per tick.
std::optional<long long> DumpInt(const std::string& json, const std::string& section,
                                 const std::string& key);

// What the saves files hold, as far as the checks need it.
struct SavedProgress {
  int level = -1;
  int may_continue = -1;
};
struct PlayersFile {
  std::vector<std::string> names;
  std::vector<SavedProgress> progress;  // three per player, by game type
};
struct RecordRow {
  int type = 0, rank = 0;
  std::string name;
  long long level = 0, score = 0;
};
// Strict readers of the files as the game writes them: every line whole, every number where
// one belongs. Empty text when the file is sound, else what is wrong with it.
std::string ParsePlayers(const std::string& text, PlayersFile& out);
std::string ParseRecords(const std::string& text, std::vector<RecordRow>& out);
std::string ParseOptions(const std::string& text, std::map<std::string, std::string>& out);

// The invariants. Each call gives the violations it saw (empty when none), worded for a
// developer; the game's state comes from state dumps, the saves from the files' text.
class MonkeyChecks {
 public:
  // After a tick: the dump of shell, menu and game (objects too when `objects_dumped`).
  std::vector<std::string> Dump(const std::string& json, bool objects_dumped);
  // One of "players.txt", "records.txt", "options.txt" changed (absent: removed or missing).
  std::vector<std::string> File(const std::string& name, const std::optional<std::string>& text);
  // The monkey let the left button go over the play field.
  void FieldClick() {
    if (playing_) ++refused_clicks_;
  }
  // So many field clicks in so much game time with no shot flying: the game is stuck.
  static constexpr int kRefusedClicks = 25;
  static constexpr long long kRefusedMs = 30000;
  // New lines of "log.txt".
  std::vector<std::string> Log(const std::string& new_text);
  // The objects section of the dump is wanted at this tick (the welcome line is up).
  bool WantsObjects() const { return welcome_ >= kWelcomeSteady; }
  // Dumps of a steady main menu before its welcome line is read.
  static constexpr int kWelcomeSteady = 20;

  // Game ticks seen per game type (1..3) in the game scene, and levels started.
  long long game_ticks[4] = {0, 0, 0, 0};
  int levels_started = 0;
  int top_level = 0;
  // Dumps showing a loss deadline running, a climb pending, the bomb timer set.
  long long pending[3] = {0, 0, 0};
  int welcome_lines = 0;  // welcome lines read
  // Click contexts seen (bit n: context n); saves written (players, records, options).
  unsigned contexts = 0;
  int writes[3] = {0, 0, 0};

 private:
  std::vector<std::string> Players(const std::string& text);
  std::vector<std::string> Records(const std::string& text);

  // The previous dump's values.
  long long scene_ = 0, type_ = 0, level_ = 0, level_frames_ = 0, context_ = -1;
  bool have_previous_ = false;
  // Playing (end phase 0, the window active) at the last dump; field clicks since the last
  // shot flew, and the game clock then.
  bool playing_ = false;
  int refused_clicks_ = 0;
  long long refused_since_ = 0;
  // The level's first shot has not flown yet.
  bool first_shot_pending_ = false;
  // What allows the saved progress to move back: a loss, a finished type or the continue
  // dialog seen since the game scene was last entered.
  bool loss_seen_[4] = {false, false, false, false};
  bool finished_seen_[4] = {false, false, false, false};
  bool continue_seen_ = false;
  // Steady dumps of the main menu since it came up; -1 once its welcome line was checked.
  int welcome_ = 0;
  PlayersFile players_;
  bool have_players_ = false;
  std::vector<RecordRow> records_;
};

struct MonkeyOptions {
  std::uint32_t seed = 1;
  int minutes = 3;                // of game time
  bool start_with_player = true;  // else the first-run name input comes first
  // Where the findings' replay folders go (seed-S-N); nothing is written when empty.
  std::filesystem::path findings;
};

struct MonkeyResult {
  std::vector<std::string> failures;  // "seed S, tick T, after EVENT: what", first of each kind
  std::uint64_t ticks = 0;
  std::size_t events = 0;
  long long game_ticks[4] = {0, 0, 0, 0};
  long long menu_ticks = 0;
  int levels_started = 0, top_level = 0;
  unsigned contexts = 0;
  int writes[3] = {0, 0, 0};         // players, records, options
  long long pending[3] = {0, 0, 0};  // dumps with a deadline, a climb, the bomb timer
  int welcome_lines = 0;
  // Heap in use (bytes) once warm and at the peak after that; -1 when not measured.
  long long heap_base = -1, heap_peak = -1;
  std::string final_dump;  // the whole state dump after the last tick
  std::string script;      // every event as a script, with the final `state` capture
  std::string players_start, options_start;        // the game folder's saves before the run
  std::vector<std::filesystem::path> replay_dirs;  // one per finding, in order
};

MonkeyResult RunMonkey(const MonkeyOptions& options);

}  // namespace qv::test
