#pragma once
// The two contents the save writer alternates between, shared by the writer and the test that
// kills it. Big enough that a write takes a while, so kills land in the middle of writes.
#include <string>
#include <vector>

#include "menu/players.h"
#include "menu/records.h"

namespace qv::saves {

inline std::vector<Player> PlayersVersion(bool second) {
  std::vector<Player> players;
  for (int i = 0; i < 300; ++i) {
    Player p = ListPlayer("player" + std::to_string(i) + (second ? "b" : "a"));
    const auto t = static_cast<std::size_t>(i % 3);
    p.saved_level[t] = second ? i + 2 : i + 1;
    p.saved_score[t] = i * 1000;
    players.push_back(p);
  }
  return players;
}

inline RecordTable RecordsVersion(bool second) {
  RecordTable table;
  table.type = 1;
  for (int i = 0; i < 2000; ++i)
    table.other_lines.push_back("2, " + std::to_string(i % 10 + 1) + ", other" + std::to_string(i) +
                                ", 3, " + std::to_string(i * 7));
  for (int r = 1; r <= kTableRows; ++r)
    table.rows.push_back(RecordRow{std::to_string(r), second ? "new" : "old",
                                   std::to_string(20 - r), std::to_string((second ? 9000 : 5000) - r)});
  return table;
}

// The options file before any write: many keys, so the rewrite of one key is a big write.
inline std::string OptionsStart() {
  std::string text = "; options\r\nmusic_volume=5\r\n";
  for (int i = 0; i < 2000; ++i) text += "unused_key_" + std::to_string(i) + "=1\r\n";
  return text;
}

inline const char* OptionsValue(bool second) { return second ? "9" : "5"; }

}  // namespace qv::saves
