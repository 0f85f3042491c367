#include "monkey.h"

#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <memory>
#include <set>
#include <sstream>

#include "app/subsystem_hooks.h"
#include "base/json_writer.h"
#include "common/recording_boxes.h"
#include "context.h"
#include "game/autoplay.h"
#include "harness/game_folder.h"
#include "harness/state_dump.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/recording_audio.h"
#include "platform/virtual_key.h"
#include "shell/events.h"
#include "shell/frame.h"
#include "shell/hooks.h"
#include "shell/main_form.h"
#include "sprites/multisprite.h"

namespace qv::test {

namespace fs = std::filesystem;

std::optional<long long> DumpInt(const std::string& json, const std::string& section,
                                 const std::string& key) {
  char open[64], field[64];
  std::snprintf(open, sizeof open, "\"%s\":{", section.c_str());
  std::snprintf(field, sizeof field, "\"%s\":", key.c_str());
  const std::size_t at = section.empty() ? 0 : json.find(open);
  if (at == std::string::npos) return std::nullopt;
  const std::size_t k = json.find(field, at);
  if (k == std::string::npos) return std::nullopt;
  const char* p = json.c_str() + k + std::strlen(field);
  char* end = nullptr;
  const long long v = std::strtoll(p, &end, 10);
  if (end == p) return std::nullopt;
  return v;
}

namespace {

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  const auto e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

// Lines ended by CR LF; the last must be ended too. Empty when the text is not such lines.
bool CrLfLines(const std::string& text, std::vector<std::string>& lines, std::string& why) {
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t nl = text.find("\r\n", at);
    if (nl == std::string::npos) {
      why = "a line not ended by CR LF: \"" + text.substr(at, 60) + "\"";
      return false;
    }
    lines.push_back(text.substr(at, nl - at));
    at = nl + 2;
  }
  return true;
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> out;
  std::size_t at = 0;
  for (;;) {
    const std::size_t comma = line.find(',', at);
    out.push_back(Trim(line.substr(at, comma == std::string::npos ? comma : comma - at)));
    if (comma == std::string::npos) break;
    at = comma + 1;
  }
  return out;
}

bool Integer(const std::string& s, long long& v) {
  if (s.empty() || s.size() > 18) return false;
  std::size_t i = s[0] == '-' ? 1 : 0;
  if (i == s.size()) return false;
  for (std::size_t j = i; j < s.size(); ++j)
    if (s[j] < '0' || s[j] > '9') return false;
  v = std::stoll(s);
  return true;
}

}  // namespace

std::string ParsePlayers(const std::string& text, PlayersFile& out) {
  out = {};
  std::vector<std::string> lines;
  std::string why;
  if (!CrLfLines(text, lines, why)) return why;
  std::set<std::string> seen;
  for (const std::string& line : lines) {
    const std::vector<std::string> f = Fields(line);
    if (f.size() != 16) return "a player line without 16 fields: \"" + line + "\"";
    if (f[0].empty()) return "a player without a name: \"" + line + "\"";
    if (!seen.insert(f[0]).second) return "two players named \"" + f[0] + "\"";
    long long v[16] = {};
    for (int i = 1; i < 16; ++i) {
      if (!Integer(f[static_cast<std::size_t>(i)], v[i])) return "not a number in \"" + line + "\"";
    }
    for (int t = 0; t < 3; ++t) {
      const long long level = v[1 + t], show = v[4 + t], score = v[7 + t], may = v[10 + t],
                      checkpoint = v[13 + t];
      if (level < -1) return "a saved level out of range: \"" + line + "\"";
      if (show < 0 || show > 1) return "a show-message flag out of range: \"" + line + "\"";
      if (score < 0 || checkpoint < 0) return "a negative score: \"" + line + "\"";
      if (may < -1 || may > 1) return "a may-continue state out of range: \"" + line + "\"";
    }
    out.names.push_back(f[0]);
    // A saved level below 1 means none, as the game reads it.
    for (int t = 0; t < 3; ++t)
      out.progress.push_back(
          {v[1 + t] < 1 ? -1 : static_cast<int>(v[1 + t]), static_cast<int>(v[10 + t])});
  }
  return "";
}

std::string ParseRecords(const std::string& text, std::vector<RecordRow>& out) {
  out.clear();
  std::vector<std::string> lines;
  std::string why;
  if (!CrLfLines(text, lines, why)) return why;
  int count[4] = {0, 0, 0, 0};
  long long last_score[4] = {0, 0, 0, 0};
  for (const std::string& line : lines) {
    if (Trim(line).empty()) continue;
    const std::vector<std::string> f = Fields(line);
    long long type = 0, rank = 0, level = 0, score = 0;
    if (f.size() != 5 || !Integer(f[0], type) || !Integer(f[1], rank) || !Integer(f[3], level) ||
        !Integer(f[4], score) || f[2].empty()) {
      return "a record line that does not read: \"" + line + "\"";
    }
    if (type < 1 || type > 3) return "a record of no game type: \"" + line + "\"";
    const int t = static_cast<int>(type);
    if (++count[t] > 10) return "more than 10 records of type " + std::to_string(t);
    if (rank != count[t]) return "records of type " + std::to_string(t) + " out of rank order";
    if (count[t] > 1 && score > last_score[t])
      return "records of type " + std::to_string(t) + " not in falling score order";
    last_score[t] = score;
    out.push_back({t, static_cast<int>(rank), f[2], level, score});
  }
  return "";
}

std::string ParseOptions(const std::string& text, std::map<std::string, std::string>& out) {
  out.clear();
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string t = Trim(line);
    if (t.empty() || t[0] == ';') continue;
    const auto eq = t.find('=');
    if (eq == std::string::npos || eq == 0) return "an options line without a key: \"" + t + "\"";
    out[Trim(t.substr(0, eq))] = Trim(t.substr(eq + 1));
  }
  for (const char* key : {"music_volume", "sound_volume"}) {
    long long v = 0;
    if (!Integer(out[key], v) || v < 0 || v > 13) return std::string(key) + " is not 0..13";
  }
  long long v = 0;
  if (!Integer(out["fullscreen"], v) || v < 0 || v > 1) return "fullscreen is not 0 or 1";
  if (!Integer(out["player_index"], v) || v < 0) return "player_index is not an index";
  return "";
}

namespace {

// The objects of the dump tagged `tag` with picture `name` whose y rounds within 3 of `y`.
int CountObjects(const std::string& json, const std::string& tag, const std::string& name,
                 double y) {
  const std::size_t objects = json.find("\"objects\":[");
  if (objects == std::string::npos) return -1;
  const std::size_t end = json.find("\"audio\":", objects);
  const std::string want_name = "\"name\":\"" + name + "\",\"tag\":\"" + tag + "\",";
  int count = 0;
  for (std::size_t at = json.find(want_name, objects); at != std::string::npos && at < end;
       at = json.find(want_name, at + 1)) {
    const std::size_t ky = json.find("\"y\":", at);
    if (ky == std::string::npos) break;
    const double oy = std::strtod(json.c_str() + ky + 4, nullptr);
    if (oy > y - 3 && oy < y + 3) ++count;
  }
  return count;
}

// The names of the menu's player list and the current index, from the menu section.
std::vector<std::string> MenuPlayerNames(const std::string& json) {
  std::vector<std::string> names;
  const std::size_t menu = json.find("\"menu\":{");
  if (menu == std::string::npos) return names;
  const std::size_t end = json.find("\"player_index\":", menu);
  for (std::size_t at = json.find("{\"name\":\"", menu); at != std::string::npos && at < end;
       at = json.find("{\"name\":\"", at + 1)) {
    const std::size_t from = at + 9;
    names.push_back(json.substr(from, json.find('"', from) - from));
  }
  return names;
}

}  // namespace

std::vector<std::string> MonkeyChecks::Dump(const std::string& json, bool objects_dumped) {
  std::vector<std::string> bad;
  const auto get = [&json](const char* section, const char* key) {
    return DumpInt(json, section, key).value_or(-9999);
  };
  const long long scene = get("shell", "scene"), context = get("shell", "click_context");
  if (context >= 0 && context < 32) contexts |= 1u << context;
  // A new visit to the game: what allowed the saved progress to move back is spent.
  if (scene == 2 && scene_ != 2) {
    for (int t = 0; t < 4; ++t) loss_seen_[t] = finished_seen_[t] = false;
    continue_seen_ = false;
  }
  if (scene != 2) playing_ = false;
  if (scene == 2) {
    welcome_ = 0;
    const long long type = get("game", "type"), level = get("game", "level"),
                    frames = get("game", "level_frames"), phase = get("game", "end_phase");
    if (type >= 1 && type <= 3) ++game_ticks[type];
    pending[0] += get("game", "deadline") != -1;
    pending[1] += get("game", "climb_remaining") != 0;
    pending[2] += get("game", "bomb_timer") != 0;
    top_level = std::max(top_level, static_cast<int>(level));
    const bool new_level =
        frames >= 1 && (!have_previous_ || scene_ != 2 || type != type_ || level != level_ ||
                        level_frames_ == 0 || frames < level_frames_);
    if (new_level) {
      ++levels_started;
      first_shot_pending_ = true;
      const long long deadline = get("game", "deadline"), climb = get("game", "climb_remaining"),
                      bomb = get("game", "bomb_timer");
      const std::string where = " at the first frame of level " + std::to_string(level) +
                                " of type " + std::to_string(type);
      if (deadline != -1)
        bad.push_back("a game-over deadline runs (" + std::to_string(deadline) + ")" + where);
      if (climb != 0)
        bad.push_back("a climb is pending (" + std::to_string(climb) + " px)" + where);
      if (bomb != 0) bad.push_back("the bomb timer is set (" + std::to_string(bomb) + ")" + where);
    }
    // Left clicks on the field while playing must, sooner or later, shoot.
    const long long clock = get("", "game_clock");
    const bool shot = get("game", "shot_in_flight") == 1;
    playing_ = phase == 0 && get("shell", "app_active") == 1 && get("shell", "paused") == 0;
    if (!playing_ || shot || new_level || level != level_ || type != type_) {
      refused_clicks_ = 0;
      refused_since_ = clock;
    } else if (refused_clicks_ >= kRefusedClicks && clock - refused_since_ >= kRefusedMs) {
      bad.push_back("the game takes no shot: " + std::to_string(refused_clicks_) +
                    " left clicks on the field in " +
                    std::to_string((clock - refused_since_) / 1000) + " s of level " +
                    std::to_string(level) + " of type " + std::to_string(type) + " and none flew");
      refused_clicks_ = 0;
      refused_since_ = clock;
    }
    if (first_shot_pending_ && shot) {
      first_shot_pending_ = false;
      const long long combo = get("game", "combo"), streak = get("game", "streak");
      if (combo != 0 || streak != 0) {
        bad.push_back("the first shot of level " + std::to_string(level) + " of type " +
                      std::to_string(type) + " flies with combo " + std::to_string(combo) +
                      " and streak " + std::to_string(streak) + " left from before");
      }
    }
    if (type >= 1 && type <= 3) {
      if (phase == 7 || phase == 1 || phase == 5 || phase == 9) loss_seen_[type] = true;
      if (phase == 2 && level >= get("game", "last_level")) finished_seen_[type] = true;
    }
    type_ = type;
    level_ = level;
    level_frames_ = frames;
  } else {
    if (context == 17) continue_seen_ = true;
    const bool steady =
        context == 1 && get("shell", "command") == -1 && get("shell", "pending_scene") == 0;
    if (context != 1 || scene != 1) {
      welcome_ = 0;
    } else if (welcome_ >= 0) {
      welcome_ = steady ? welcome_ + 1 : 0;
    }
    if (welcome_ > kWelcomeSteady && objects_dumped) {
      welcome_ = -1;
      const std::vector<std::string> names = MenuPlayerNames(json);
      const long long index = get("menu", "player_index");
      if (!names.empty() && (index < 0 || index >= static_cast<long long>(names.size()))) {
        bad.push_back("the main menu stands with the current player index " +
                      std::to_string(index) + " outside a list of " + std::to_string(names.size()) +
                      " players");
      } else if (!names.empty()) {
        const std::string line =
            "WELCOME TO QUORVEX, " + names[static_cast<std::size_t>(index)] + "!";
        const int want = static_cast<int>(
            std::count_if(line.begin(), line.end(), [](char c) { return c != ' '; }));
        const int shown = CountObjects(json, "menu_text", "font_taurus1", 96);
        ++welcome_lines;
        if (shown != want) {
          bad.push_back("the main menu's welcome line has " + std::to_string(shown) +
                        " glyphs, not the " + std::to_string(want) + " of \"" + line + "\"");
        }
      }
    }
  }
  scene_ = scene;
  context_ = context;
  have_previous_ = true;
  return bad;
}

std::vector<std::string> MonkeyChecks::Players(const std::string& text) {
  std::vector<std::string> bad;
  PlayersFile now;
  const std::string why = ParsePlayers(text, now);
  if (!why.empty()) return {"\"players.txt\" does not parse: " + why};
  if (have_players_) {
    for (std::size_t p = 0; p < now.names.size(); ++p) {
      const auto was = std::find(players_.names.begin(), players_.names.end(), now.names[p]);
      if (was == players_.names.end()) continue;  // new, renamed or made again
      const std::size_t q = static_cast<std::size_t>(was - players_.names.begin());
      for (int t = 0; t < 3; ++t) {
        const SavedProgress a = players_.progress[q * 3 + static_cast<std::size_t>(t)];
        const SavedProgress b = now.progress[p * 3 + static_cast<std::size_t>(t)];
        const bool back = b.level < a.level || b.may_continue < a.may_continue;
        if (!back) continue;
        // A type started afresh: nothing was there to continue.
        const bool fresh = a.may_continue == -1 && b.level == 1 && b.may_continue == 1;
        if (fresh || loss_seen_[t + 1] || finished_seen_[t + 1] || continue_seen_) continue;
        bad.push_back("the saved progress of " + now.names[p] + " for type " +
                      std::to_string(t + 1) + " went back from level " + std::to_string(a.level) +
                      " (may continue " + std::to_string(a.may_continue) + ") to level " +
                      std::to_string(b.level) + " (may continue " + std::to_string(b.may_continue) +
                      ") with no game over, try-again or continue dialog shown");
      }
    }
  }
  players_ = now;
  have_players_ = true;
  return bad;
}

std::vector<std::string> MonkeyChecks::Records(const std::string& text) {
  std::vector<RecordRow> now;
  const std::string why = ParseRecords(text, now);
  if (!why.empty()) return {"\"records.txt\" does not parse: " + why};
  std::vector<std::string> bad;
  for (int t = 1; t <= 3; ++t) {
    std::vector<const RecordRow*> a, b;
    for (const RecordRow& r : records_)
      if (r.type == t) a.push_back(&r);
    for (const RecordRow& r : now)
      if (r.type == t) b.push_back(&r);
    // Every old row is still there, save the last of a full table that a better one pushed out.
    const std::size_t keep = a.size() == 10 ? 9 : a.size();
    if (b.size() < keep) {
      bad.push_back("\"records.txt\" lost rows of type " + std::to_string(t) + ": " +
                    std::to_string(a.size()) + " became " + std::to_string(b.size()));
      continue;
    }
    std::vector<bool> used(b.size(), false);
    for (std::size_t i = 0; i < keep; ++i) {
      bool found = false;
      for (std::size_t j = 0; j < b.size() && !found; ++j) {
        if (!used[j] && b[j]->name == a[i]->name && b[j]->level == a[i]->level &&
            b[j]->score == a[i]->score) {
          used[j] = found = true;
        }
      }
      if (!found) {
        bad.push_back("\"records.txt\" lost the row " + a[i]->name + " level " +
                      std::to_string(a[i]->level) + " score " + std::to_string(a[i]->score));
      }
    }
  }
  records_ = now;
  return bad;
}

std::vector<std::string> MonkeyChecks::File(const std::string& name,
                                            const std::optional<std::string>& text) {
  if (text) ++writes[name == "players.txt" ? 0 : name == "records.txt" ? 1 : 2];
  if (name == "players.txt") {
    if (!text)
      return have_players_ ? std::vector<std::string>{"\"players.txt\" disappeared"}
                           : std::vector<std::string>{};
    return Players(*text);
  }
  if (name == "records.txt") {
    if (!text)
      return records_.empty() ? std::vector<std::string>{}
                              : std::vector<std::string>{"\"records.txt\" disappeared"};
    return Records(*text);
  }
  if (!text) return {"\"" + name + "\" disappeared"};
  std::map<std::string, std::string> options;
  const std::string why = ParseOptions(*text, options);
  if (!why.empty()) return {"\"options.txt\" does not parse: " + why};
  return {};
}

std::vector<std::string> MonkeyChecks::Log(const std::string& new_text) {
  std::vector<std::string> bad;
  std::istringstream in(new_text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.find("ERROR") != std::string::npos) bad.push_back("logged: " + Trim(line));
  }
  return bad;
}

namespace {

using Kind = ScriptCommand::Kind;
constexpr int kTicksPerMinute = 6000;

// xorshift64*, seeded through splitmix64: the same numbers on every platform.
class Random {
 public:
  explicit Random(std::uint64_t seed) {
    std::uint64_t z = seed + 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    state_ = (z ^ (z >> 31)) | 1;
  }
  std::uint64_t Next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  int Below(int n) {
    return n <= 1 ? 0 : static_cast<int>((Next() >> 11) % static_cast<std::uint64_t>(n));
  }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  bool Chance(int percent) { return Below(100) < percent; }
  // An index into weights, chosen in proportion to them.
  int Pick(const std::vector<int>& weights) {
    int total = 0;
    for (int w : weights) total += std::max(w, 0);
    int r = Below(total);
    for (std::size_t i = 0; i < weights.size(); ++i) {
      r -= std::max(weights[i], 0);
      if (r < 0) return static_cast<int>(i);
    }
    return 0;
  }

 private:
  std::uint64_t state_;
};

bool IsButtonName(const std::string& n) {
  for (const char* prefix : {"button_", "panel_", "repair_", "scroller_"}) {
    if (n.rfind(prefix, 0) == 0) return true;
  }
  return n == "checkbox";
}

struct FileWatch {
  std::string name;
  ino_t inode = 0;
  off_t size = -1;
  timespec mtime{};
  bool exists = false;
  bool first = true;
};

long long HeapInUse() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<long long>(m.uordblks + m.hblkhd);
}

class Monkey {
 public:
  explicit Monkey(const MonkeyOptions& o)
      : o_(o), rng_(o.seed), audio_([this] { return clock_.TickCount(); }) {}
  MonkeyResult Run();

 private:
  // Input.
  void At(std::uint64_t tick, const ScriptCommand& c) { queue_.push_back({tick, c}); }
  ScriptCommand Cmd(Kind kind, int x = 0, int y = 0, int button = 0) {
    ScriptCommand c;
    c.kind = kind;
    c.x = x;
    c.y = y;
    c.button = button;
    return c;
  }
  ScriptCommand KeyCmd(int key, int shift = 0) {
    ScriptCommand c = Cmd(Kind::Key);
    c.key = key;
    c.shift = shift;
    return c;
  }
  void Apply(const ScriptCommand& c);
  bool WouldQuit(const ScriptCommand& c);
  void Decide(const std::string& dump);
  void Click(int x, int y, int button);
  bool ButtonPoint(const TMultiSprite& m, int& x, int& y);
  // `prefer`: a button name that gets most of the weight.
  bool ClickButton(long long context, const char* prefer = nullptr);

  // Checks.
  void Report(const std::vector<std::string>& bad);
  void WatchFiles();
  void ReadLog();
  std::string PartialDump(bool objects);
  // The events so far as a script, with the saves the run started with, for the binary.
  void WriteReplay(std::size_t finding);

  const MonkeyOptions& o_;
  Random rng_;
  platform::VirtualClock clock_;
  platform::HeadlessWindow window_;
  RecordingBoxes boxes_;
  platform::RecordingAudioDevice audio_;
  std::unique_ptr<Context> ctx_;
  fs::path game_;

  std::deque<std::pair<std::uint64_t, ScriptCommand>> queue_;
  std::uint64_t tick_ = 0;
  std::string script_;
  std::string last_event_ = "(none)";
  MonkeyChecks checks_;
  MonkeyResult result_;
  std::set<std::string> kinds_;
  std::vector<FileWatch> files_;
  std::size_t log_read_ = 0;
  std::size_t boxes_seen_ = 0;
  // The game visit under way: its start tick, and the type it plays.
  std::uint64_t visit_start_ = 0;
  long long scene_ = 0;
  // Percent of the shots aimed, chosen per visit to the game.
  int skill_ = 60;
  // On the way out of a level that has something still running.
  bool leaving_ = false;
};

// The exit question's Yes ends the program, and the monkey never means to: the release of a
// press and Enter are kept off it as they happen (the script holds what was applied).
bool Monkey::WouldQuit(const ScriptCommand& c) {
  const ShellState& s = ctx_->shell;
  if (s.flow.scene != SceneId::Menu || s.flow.click_context != ClickContext::ExitQuestion)
    return false;
  if (c.kind == Kind::Key) return c.key == platform::VirtualKey::Enter;
  if (c.kind != Kind::Up) return false;
  // The release clicks what the last frame saw under the pointer (button 1 is Yes).
  if (s.pointer.pressed_button == 1 && s.pointer.hover_button == 1) return true;
  int x = 0, y = 0;
  window_.GetPointer(x, y);
  for (int slot = 0; slot < MultiSpriteCount(*ctx_); ++slot) {
    const TMultiSprite* m = MultiSpriteAt(*ctx_, slot);
    if (m && m->visible && m->name == "panel_yes" && m->ContainsPoint(*ctx_, x, y)) return true;
  }
  return false;
}

void Monkey::Apply(const ScriptCommand& c) {
  // As the binary's runner applies a script's input.
  platform::WindowEvent e;
  switch (c.kind) {
    case Kind::Move:
      window_.SetPointer(c.x, c.y);
      e.type = platform::WindowEvent::Type::MouseMove;
      break;
    case Kind::Down:
      e.type = platform::WindowEvent::Type::MouseDown;
      e.button = c.button;
      break;
    case Kind::Up: {
      e.type = platform::WindowEvent::Type::MouseUp;
      e.button = c.button;
      int x = 0, y = 0;
      window_.GetPointer(x, y);
      if (c.button == platform::kMouseLeft && x >= 20 && x <= 780 && y >= 40 && y <= 500)
        checks_.FieldClick();
      break;
    }
    case Kind::Key:
      e.type = platform::WindowEvent::Type::KeyDown;
      e.key = c.key;
      e.shift = c.shift;
      break;
    case Kind::Activate:
      window_.SetFocus(true);
      e.type = platform::WindowEvent::Type::Activate;
      break;
    case Kind::Deactivate:
      window_.SetFocus(false);
      e.type = platform::WindowEvent::Type::Deactivate;
      break;
    case Kind::Minimize:
      window_.SetFocus(false);
      e.type = platform::WindowEvent::Type::Minimize;
      break;
    case Kind::Restore:
      window_.SetFocus(true);
      e.type = platform::WindowEvent::Type::Restore;
      break;
    default:
      return;
  }
  DispatchWindowEvent(*ctx_, e);
  ScriptCommand line = c;
  line.tick = tick_;
  char buffer[256];
  const std::size_t n = FormatScriptLine(line, buffer, sizeof buffer);
  script_.append(buffer, n);
  last_event_.assign(buffer, n ? n - 1 : 0);
  ++result_.events;
}

void Monkey::Click(int x, int y, int button) {
  std::uint64_t t = tick_ + 1;
  At(t, Cmd(Kind::Move, x, y));
  t += static_cast<std::uint64_t>(rng_.Between(1, 6));  // the pointer rests: the hover sees it
  At(t, Cmd(Kind::Down, 0, 0, button));
  t += static_cast<std::uint64_t>(rng_.Between(1, 3));
  if (rng_.Chance(8)) At(t++, Cmd(Kind::Move, rng_.Below(800), rng_.Below(600)));  // slips off
  At(t, Cmd(Kind::Up, 0, 0, button));
}

// A point of the button's picture that the picture says it holds.
bool Monkey::ButtonPoint(const TMultiSprite& m, int& x, int& y) {
  const int w = std::max(m.width, 4), h = std::max(m.height, 4);
  for (int attempt = 0; attempt < 6; ++attempt) {
    x = static_cast<int>(m.x) + w / 5 + rng_.Below(std::max(1, w * 3 / 5));
    y = static_cast<int>(m.y) + h / 5 + rng_.Below(std::max(1, h * 3 / 5));
    if (m.ContainsPoint(*ctx_, x, y)) return true;
  }
  x = static_cast<int>(m.x) + w / 2;
  y = static_cast<int>(m.y) + h / 2;
  return m.ContainsPoint(*ctx_, x, y);
}

// Clicks one of the buttons on screen, read from the object registry: the type the monkey has
// played least gets the most weight on the game-type page, "start" on the main menu.
bool Monkey::ClickButton(long long context, const char* prefer) {
  struct Candidate {
    const TMultiSprite* m;
    int weight;
  };
  std::vector<Candidate> found;
  long long least = -1;
  int least_type = 1;
  for (int t = 1; t <= 3; ++t) {
    if (least < 0 || checks_.game_ticks[t] < least) {
      least = checks_.game_ticks[t];
      least_type = t;
    }
  }
  static const char* const kTypes[] = {"", "button_arcade", "button_challenge", "button_puzzle"};
  for (int slot = 0; slot < MultiSpriteCount(*ctx_); ++slot) {
    const TMultiSprite* m = MultiSpriteAt(*ctx_, slot);
    if (!m || !m->visible || m->pooled || m->alpha == 0 || !IsButtonName(m->name)) continue;
    if (context == 10 && m->name == "panel_yes") continue;  // never end the program
    int weight = 4;
    if (m->name == "button_start") weight = 12;
    if (m->name == kTypes[least_type]) weight = 16;
    if (m->name == "button_exit") weight = 1;
    if (prefer && m->name == prefer) weight = 40;
    found.push_back({m, weight});
  }
  if (found.empty()) return false;
  std::vector<int> weights;
  for (const Candidate& c : found) weights.push_back(c.weight);
  const TMultiSprite& m = *found[static_cast<std::size_t>(rng_.Pick(weights))].m;
  int x = 0, y = 0;
  if (!ButtonPoint(m, x, y)) return false;
  Click(x, y, platform::kMouseLeft);
  return true;
}

void Monkey::Decide(const std::string& dump) {
  const auto get = [&dump](const char* section, const char* key) {
    return DumpInt(dump, section, key).value_or(-9999);
  };
  const long long scene = get("shell", "scene"), context = get("shell", "click_context");
  const long long phase = scene == 2 ? get("game", "end_phase") : -1;
  const bool playing = scene == 2 && phase == 0;
  // A long visit to one game type: leave it, so the others get their share.
  const bool overstay = scene == 2 && tick_ - visit_start_ > 5ull * kTicksPerMinute;
  // Something of the level still runs (a loss deadline, a climb, the bomb timer): leaving now
  // is what tests that it ends with the level.
  const bool unfinished =
      playing && (get("game", "deadline") != -1 || get("game", "climb_remaining") != 0 ||
                  get("game", "bomb_timer") != 0);
  if (unfinished && !leaving_) leaving_ = rng_.Chance(30);
  if (scene != 2) leaving_ = false;
  // Now and then Escape comes just as the loss deadline falls due: the frames around a game
  // over are where a late command meets it.
  const long long deadline = playing ? get("game", "deadline") : -1;
  const long long clock = get("", "game_clock");
  if (deadline != -1 && deadline > clock && rng_.Chance(15)) {
    const long long ticks = (deadline - clock) / 10;
    At(tick_ + static_cast<std::uint64_t>(std::max(1LL, ticks - rng_.Below(4))), KeyCmd(27));
    return;
  }
  enum Action { Idle, LongIdle, Moves, Button, Anywhere, Shot, Right, Key, Text, Focus, Leave };
  std::vector<int> w(11, 0);
  w[Idle] = 10;
  w[LongIdle] = playing ? 3 : 0;
  w[Moves] = 8;
  w[Button] = playing ? 3 : 30;
  w[Anywhere] = 6;
  w[Shot] = playing ? 45 : 0;
  w[Right] = playing ? 6 : 2;
  w[Key] = 10;
  w[Text] = context == 11 ? 30 : 0;
  w[Focus] = 1;
  w[Leave] = leaving_ ? 60 : overstay ? 20 : 0;
  const std::uint64_t next = tick_ + 1;
  switch (static_cast<Action>(rng_.Pick(w))) {
    case Idle:
      At(next + static_cast<std::uint64_t>(rng_.Between(0, 40)),
         Cmd(Kind::Move, rng_.Below(800), rng_.Below(600)));
      break;
    case LongIdle:
      At(next + static_cast<std::uint64_t>(rng_.Between(200, 1500)),
         Cmd(Kind::Move, rng_.Below(800), rng_.Below(600)));
      break;
    case Moves: {
      std::uint64_t t = next;
      for (int i = rng_.Between(1, 5); i > 0; --i) {
        At(t, Cmd(Kind::Move, rng_.Between(-20, 820), rng_.Between(-20, 620)));
        t += static_cast<std::uint64_t>(rng_.Between(1, 5));
      }
      break;
    }
    case Button: {
      // The continue dialog mostly continues: the deeper levels are the rarer ones. The player
      // list now and then deletes, so that the current player is sometimes the one deleted.
      const char* prefer = nullptr;
      if (context == 17 && rng_.Chance(75)) prefer = "panel_yes";
      if (context == 13 && rng_.Chance(25)) prefer = "panel_delete";
      if (context == 14 && rng_.Chance(50)) prefer = "panel_yes";
      if (context == 13 && rng_.Chance(30)) {
        // A row of the list (no picture of its own): the first click moves the cursor there,
        // the second chooses that player.
        const int row = rng_.Below(3);
        Click(rng_.Between(230, 540), 210 + 24 * row + rng_.Below(18), platform::kMouseLeft);
        break;
      }
      if (!ClickButton(context, prefer))
        At(next, Cmd(Kind::Move, rng_.Below(800), rng_.Below(600)));
      break;
    }
    case Anywhere: {
      const int x = rng_.Below(800), y = rng_.Below(600);
      if (context == 10) {  // the exit question's Yes ends the program: answer it by keys only
        At(next, KeyCmd(27));
        break;
      }
      Click(x, y, platform::kMouseLeft);
      break;
    }
    case Shot: {
      int x = rng_.Between(10, 790), y = rng_.Between(40, 500);
      // Shots aimed as a player would, so levels are won as well as lost, streaks earn big
      // bombs and bonus balls burst; how many, the visit's skill says.
      if (rng_.Chance(skill_) && get("game", "shot_in_flight") == 0) {
        const AimChoice aim = ChooseAim(*ctx_);
        x = aim.x;
        y = aim.y;
      }
      Click(x, y, rng_.Chance(6) ? platform::kMouseRight : platform::kMouseLeft);
      break;
    }
    case Right:
      Click(rng_.Below(800), rng_.Below(600), platform::kMouseRight);
      break;
    case Key: {
      static const int kKeys[] = {27, 13, 37, 38, 39, 40, 32, 8, 189, 46};
      static const int kKeyWeights[] = {3, 6, 2, 2, 2, 2, 2, 1, 1, 1};
      std::vector<int> kw(std::begin(kKeyWeights), std::end(kKeyWeights));
      kw.push_back(4);  // a letter
      kw.push_back(2);  // a digit
      if (playing) kw[0] = 1;
      if (context == 10) kw[1] = 0;  // Enter answers Yes
      const int k = rng_.Pick(kw);
      int code = k < 10 ? kKeys[k] : k == 10 ? 65 + rng_.Below(26) : 48 + rng_.Below(10);
      At(next, KeyCmd(code, rng_.Chance(20) ? 1 : 0));
      break;
    }
    case Text: {
      std::uint64_t t = next;
      for (int i = rng_.Between(1, 9); i > 0; --i) {
        const int r = rng_.Below(40);
        const int code = r < 26    ? 65 + r
                         : r < 36  ? 48 + (r - 26)
                         : r < 38  ? 32
                         : r == 38 ? 189
                                   : 46;
        At(t, KeyCmd(code, rng_.Chance(30) ? 1 : 0));
        t += static_cast<std::uint64_t>(rng_.Between(0, 3));
      }
      if (rng_.Chance(60)) At(t + 2, KeyCmd(13));
      break;
    }
    case Focus: {
      const bool minimize = rng_.Chance(30);
      At(next, Cmd(minimize ? Kind::Minimize : Kind::Deactivate));
      At(next + static_cast<std::uint64_t>(rng_.Between(5, 600)),
         Cmd(minimize ? Kind::Restore : Kind::Activate));
      break;
    }
    case Leave:
      // Escape opens the exit question; its Yes is then one of the buttons.
      if (context == 16) {
        ClickButton(context, leaving_ ? "panel_yes" : nullptr);
      } else {
        At(next, KeyCmd(27));
      }
      break;
  }
}

void Monkey::Report(const std::vector<std::string>& bad) {
  for (const std::string& what : bad) {
    // The first of each kind: the words before any number.
    std::string kind = what.substr(0, what.find_first_of("0123456789\""));
    if (!kinds_.insert(kind).second) continue;
    char head[160];
    std::snprintf(head, sizeof head, "seed %u, tick %llu, after \"", o_.seed,
                  static_cast<unsigned long long>(tick_));
    result_.failures.push_back(head + last_event_ + "\": " + what);
    WriteReplay(result_.failures.size());
  }
}

void Monkey::WriteReplay(std::size_t finding) {
  if (o_.findings.empty()) return;
  const fs::path dir =
      o_.findings / ("seed-" + std::to_string(o_.seed) + "-" + std::to_string(finding));
  std::error_code ec;
  fs::remove_all(dir, ec);
  fs::create_directories(dir / "game", ec);
  if (!result_.players_start.empty())
    std::ofstream(dir / "game" / "players.txt", std::ios::binary) << result_.players_start;
  std::ofstream(dir / "game" / "options.txt", std::ios::binary) << result_.options_start;
  std::ofstream(dir / "script.txt", std::ios::binary)
      << "# monkey seed " << o_.seed << ": the events up to the finding at tick " << tick_ << "\n"
      << script_ << tick_ << " state finding.json\n";
  const std::string command =
      std::string(QUORVEX_BINARY_DIR) + "/src/quorvex --headless --pack " + QUORVEX_BINARY_DIR +
      "/pack --dir " + (dir / "game").string() + " --seed " + std::to_string(o_.seed) +
      " --script " + (dir / "script.txt").string() + " --ticks " + std::to_string(tick_ + 1);
  std::ofstream(dir / "replay.sh") << "#!/bin/sh\n# game/ holds the saves the run started with; "
                                      "copy it first to replay again.\n"
                                   << command << "\n";
  result_.replay_dirs.push_back(dir);
}

void Monkey::WatchFiles() {
  for (FileWatch& f : files_) {
    struct stat st {};
    const bool exists = ::stat(f.name.c_str(), &st) == 0;
    const bool changed =
        exists != f.exists || f.first ||
        (exists && (st.st_ino != f.inode || st.st_size != f.size ||
                    st.st_mtim.tv_sec != f.mtime.tv_sec || st.st_mtim.tv_nsec != f.mtime.tv_nsec));
    f.first = false;
    if (!changed) continue;
    f.exists = exists;
    f.inode = exists ? st.st_ino : 0;
    f.size = exists ? st.st_size : -1;
    f.mtime = exists ? st.st_mtim : timespec{};
    std::optional<std::string> text;
    if (exists) {
      std::ifstream in(f.name, std::ios::binary);
      std::ostringstream all;
      all << in.rdbuf();
      text = all.str();
    }
    Report(checks_.File(f.name, text));
  }
}

void Monkey::ReadLog() {
  std::ifstream in("log.txt", std::ios::binary);
  if (!in) return;
  in.seekg(0, std::ios::end);
  const std::size_t size = static_cast<std::size_t>(in.tellg());
  if (size <= log_read_) return;
  in.seekg(static_cast<std::streamoff>(log_read_));
  std::string text(size - log_read_, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  // Whole lines only; a line being written waits for the next read.
  const std::size_t last = text.rfind('\n');
  if (last == std::string::npos) return;
  text.resize(last + 1);
  log_read_ += text.size();
  Report(checks_.Log(text));
}

// The dump's sections the checks read: shell, menu, game, and objects when asked.
std::string Monkey::PartialDump(bool objects) {
  JsonWriter out;
  out.BeginObject();
  out.Field("tick", static_cast<std::int64_t>(tick_));
  out.Field("game_clock", ctx_->clocks.game_clock);
  for (const StateSection& section : ctx_->shell.hooks.state_sections) {
    if (!section.write) continue;
    if (section.name != "shell" && section.name != "menu" && section.name != "game" &&
        !(objects && section.name == "objects")) {
      continue;
    }
    out.Key(section.name);
    section.write(*ctx_, out);
  }
  out.EndObject();
  return out.str();
}

MonkeyResult Monkey::Run() {
  const fs::path old = fs::current_path();
  char tmpl[] = "/tmp/qv_monkey_XXXXXX";
  game_ = mkdtemp(tmpl);
  const std::string pack = std::string(QUORVEX_BINARY_DIR) + "/pack";
  // Saves the run starts with, and the options with the log on.
  std::string options;
  {
    std::ifstream in(pack + "/options.txt", std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    options = all.str();
  }
  const std::size_t log_at = options.find("log_enabled=0");
  if (log_at != std::string::npos) options.replace(log_at, 13, "log_enabled=1");
  // Some seeds start with Bob, the last of the list, as the current player.
  const std::size_t index_at = options.find("player_index=0");
  if (o_.start_with_player && (o_.seed / 2) % 2 == 1 && index_at != std::string::npos)
    options.replace(index_at, 14, "player_index=1");
  result_.options_start = options;
  std::ofstream(game_ / "options.txt", std::ios::binary) << options;
  if (o_.start_with_player) {
    // Ann has games to continue at levels that hand out the up bonus and the bombs; Bob has
    // none.
    result_.players_start =
        "Ann, 12, 13, 12, 0, 1, 0, 21000, 16000, 9000, 1, 1, 1, 20000, 15000, 8000\r\n"
        "Bob, -1, -1, -1, 1, 1, 1, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n";
    std::ofstream(game_ / "players.txt", std::ios::binary) << result_.players_start;
  }
  if (const Expected<void> laid = LayPack(pack, game_.string()); !laid) {
    result_.failures.push_back("cannot lay the pack: " + Describe(laid.error()));
    return result_;
  }
  fs::current_path(game_);

  // Standard error goes to a file for the run: whatever reaches it is a finding.
  std::fflush(stderr);
  const int saved_err = dup(2);
  const std::string err_path = (game_ / "stderr.txt").string();
  std::FILE* err_file = std::fopen(err_path.c_str(), "w");
  if (err_file) dup2(fileno(err_file), 2);

  ctx_ = std::make_unique<Context>();
  InstallSubsystemHooks(*ctx_);
  ctx_->shell.run.headless = true;
  ctx_->shell.run.has_seed = true;
  ctx_->shell.run.seed = o_.seed;
  ctx_->platform.audio = &audio_;
  ctx_->platform.clock = &clock_;
  ctx_->platform.window = &window_;
  ctx_->platform.messages = &boxes_;
  for (const char* name : {"players.txt", "records.txt", "options.txt"}) files_.push_back({name});

  const std::uint64_t total = static_cast<std::uint64_t>(o_.minutes) * kTicksPerMinute;
  const std::uint64_t warm = total >= 20ull * kTicksPerMinute ? 5ull * kTicksPerMinute : 0;
  if (!FormCreate(*ctx_)) {
    result_.failures.push_back("the program did not start");
  } else {
    std::string dump;
    for (tick_ = 0; tick_ < total; ++tick_) {
      clock_.Advance(10);
      while (!queue_.empty() && queue_.front().first <= tick_) {
        ScriptCommand c = queue_.front().second;
        queue_.pop_front();
        if (WouldQuit(c)) {
          if (c.kind == Kind::Key) {
            c = KeyCmd(27);
          } else {
            // Off the button first; the release waits for a frame to see that.
            Apply(Cmd(Kind::Move, 0, 0));
            queue_.push_front({tick_ + 1, c});
            break;
          }
        }
        Apply(c);
      }
      ctx_->shell.loop.rasterize = false;
      TimerTick(*ctx_);
      if (ctx_->shell.loop.quit_requested) {
        Report({"the program closed"});
        break;
      }
      const bool objects = checks_.WantsObjects();
      dump = PartialDump(objects);
      Report(checks_.Dump(dump, objects));
      WatchFiles();
      if (tick_ % 100 == 0) ReadLog();
      for (; boxes_seen_ < boxes_.boxes.size(); ++boxes_seen_)
        Report({"a message box: " + boxes_.boxes[boxes_seen_].caption + ": " +
                boxes_.boxes[boxes_seen_].text});
      const long long scene = DumpInt(dump, "shell", "scene").value_or(0);
      if (scene == 2 && scene_ != 2) {
        visit_start_ = tick_;
        static const int kSkills[] = {25, 60, 95};
        skill_ = kSkills[rng_.Below(3)];
      }
      if (scene == 1) ++result_.menu_ticks;
      scene_ = scene;
      // A command still to be carried out changes the page: decide on what comes of it.
      const long long command = DumpInt(dump, "shell", "command").value_or(-1);
      if (queue_.empty() && (command == -1 || command == 0)) Decide(dump);
      std::stable_sort(queue_.begin(), queue_.end(),
                       [](const auto& a, const auto& b) { return a.first < b.first; });
      if (warm && (tick_ + 1) % kTicksPerMinute == 0) {
        const long long heap = HeapInUse() - static_cast<long long>(script_.capacity());
        if (tick_ + 1 == warm) result_.heap_base = heap;
        if (tick_ + 1 > warm) result_.heap_peak = std::max(result_.heap_peak, heap);
      }
    }
    ReadLog();
    result_.final_dump = StateDumpJson(*ctx_, tick_ - 1);
    CloseMainWindow(*ctx_);
  }
  ctx_.reset();
  std::fflush(stderr);
  dup2(saved_err, 2);
  close(saved_err);
  if (err_file) std::fclose(err_file);
  {
    std::ifstream in(err_path, std::ios::binary);
    std::ostringstream all;
    all << in.rdbuf();
    if (!all.str().empty()) Report({"standard error: " + all.str().substr(0, 400)});
  }
  result_.ticks = tick_;
  for (int t = 0; t < 4; ++t) result_.game_ticks[t] = checks_.game_ticks[t];
  result_.levels_started = checks_.levels_started;
  result_.top_level = checks_.top_level;
  result_.contexts = checks_.contexts;
  for (int i = 0; i < 3; ++i) result_.pending[i] = checks_.pending[i];
  result_.welcome_lines = checks_.welcome_lines;
  for (int i = 0; i < 3; ++i) result_.writes[i] = checks_.writes[i];
  result_.script = script_ + std::to_string(tick_ - 1) + " state final.json\n";
  fs::current_path(old);
  std::error_code ec;
  fs::remove_all(game_, ec);
  return result_;
}

}  // namespace

MonkeyResult RunMonkey(const MonkeyOptions& options) {
  Monkey monkey(options);
  return monkey.Run();
}

}  // namespace qv::test
