#include "menu/players.h"

#include <charconv>

#include "platform/files.h"
#include "base/text_util.h"

namespace qv {

Player ListPlayer(std::string_view name) {
  Player p;
  p.name = std::string(txt::Trim(name));
  return p;
}

Player FirstRunPlayer(std::string_view name) {
  Player p;
  p.name = std::string(txt::Trim(name));
  p.saved_level = {0, 0, 0};
  return p;
}

std::string_view Field(std::string_view line, int n) {
  std::size_t start = 0;
  for (int i = 1; i < n; ++i) {
    const std::size_t comma = line.find(',', start);
    if (comma == std::string_view::npos) return {};
    start = comma + 1;
  }
  const std::size_t end = line.find(',', start);
  return txt::Trim(line.substr(start, end == std::string_view::npos ? end : end - start));
}

bool ParseDecimal(std::string_view text, int& value) {
  if (text.empty()) return false;
  const char* first = text.data();
  const char* last = text.data() + text.size();
  if (*first == '+') ++first;  // from_chars takes "-" but not "+"
  if (first == last || *first == '+') return false;
  int parsed = 0;
  const auto [ptr, ec] = std::from_chars(first, last, parsed, 10);
  if (ec != std::errc{} || ptr != last) return false;
  value = parsed;
  return true;
}

namespace {

// A field's value, or fallback when it is empty, not a number, or rejected by valid.
template <class Valid>
int FieldValue(std::string_view line, int n, int fallback, Valid valid) {
  int v = 0;
  if (!ParseDecimal(Field(line, n), v) || !valid(v)) return fallback;
  return v;
}

}  // namespace

std::vector<Player> ParsePlayers(std::string_view data) {
  std::vector<Player> players;
  for (std::string_view raw : txt::Lines(data)) {
    const std::string_view line = txt::Trim(raw);
    if (line.empty()) continue;
    Player p;
    p.name = std::string(Field(line, 1));
    for (int t = 0; t < kGameTypes; ++t) {
      p.saved_level[t] = FieldValue(line, 2 + t, -1, [](int v) { return v > 0; });
      p.show_message[t] = FieldValue(line, 5 + t, 1, [](int v) { return v == 0 || v == 1; });
      p.saved_score[t] = FieldValue(line, 8 + t, 0, [](int v) { return v >= 0; });
      p.may_continue[t] = FieldValue(line, 11 + t, 1, [](int v) { return v >= -1 && v <= 1; });
      p.checkpoint_score[t] = FieldValue(line, 14 + t, 0, [](int v) { return v >= 0; });
    }
    players.push_back(std::move(p));
  }
  return players;
}

std::string FormatPlayerLine(const Player& p) {
  std::string line = p.name;
  const auto put = [&line](const std::array<int, kGameTypes>& values) {
    for (int v : values) line += ", " + std::to_string(v);
  };
  put(p.saved_level);
  put(p.show_message);
  put(p.saved_score);
  put(p.may_continue);
  put(p.checkpoint_score);
  return line;
}

std::string FormatPlayers(const std::vector<Player>& players) {
  std::string out;
  for (const Player& p : players) out += FormatPlayerLine(p) + "\r\n";
  return out;
}

std::vector<Player> ReadPlayersFile() {
  const std::optional<std::string> data = platform::ReadWholeFile(kPlayersFile);
  if (!data) return {};
  return ParsePlayers(*data);
}

Expected<void> WritePlayersFile(const std::vector<Player>& players) {
  if (platform::WriteFileAtomic(kPlayersFile, FormatPlayers(players))) return {};
  return Fail("Cannot write \"players.txt\"");
}

void StartFresh(Player& p, int t) {
  const int i = t - 1;
  p.saved_level[i] = 1;
  p.saved_score[i] = 0;
  p.checkpoint_score[i] = 0;
  p.may_continue[i] = 1;
}

ContinueOffer DecideContinue(const Player& p, int t) {
  const int i = t - 1;
  const int level = p.saved_level[i];
  if (level > 1 && (p.may_continue[i] == 1 || t == 3)) return {ContinueOffer::Normal, level};
  if (level > 4 && p.may_continue[i] == 0) return {ContinueOffer::AfterLoss, level / 5 * 5};
  return {};
}

void AcceptContinue(Player& p, int t, bool after_loss) {
  const int i = t - 1;
  if (after_loss) {
    if (p.saved_level[i] > 4) {
      p.saved_level[i] = p.saved_level[i] / 5 * 5;
      p.saved_score[i] = p.checkpoint_score[i];
    } else {
      p.saved_level[i] = 1;
      p.saved_score[i] = 0;
    }
  }
  p.may_continue[i] = 1;
}

void DeclineContinue(Player& p, int t) { StartFresh(p, t); }

void ToggleExplanations(Player& p) {
  const bool any = p.show_message[0] == 1 || p.show_message[1] == 1 || p.show_message[2] == 1;
  p.show_message = any ? std::array<int, kGameTypes>{0, 0, 0} : std::array<int, kGameTypes>{1, 1, 1};
}

}  // namespace qv
