// The players file reader on arbitrary bytes. What it reads must survive being written and read
// again unchanged: the game rewrites the file from what it read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "menu/players.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<qv::Player> players = qv::ParsePlayers(bytes);
  const std::vector<qv::Player> again = qv::ParsePlayers(qv::FormatPlayers(players));
  if (again.size() != players.size()) std::abort();
  for (std::size_t i = 0; i < players.size(); ++i) {
    const qv::Player& a = players[i];
    const qv::Player& b = again[i];
    if (a.name != b.name || a.saved_level != b.saved_level || a.show_message != b.show_message ||
        a.saved_score != b.saved_score || a.may_continue != b.may_continue ||
        a.checkpoint_score != b.checkpoint_score) {
      std::abort();
    }
  }
  for (qv::Player p : players) {
    for (int t = 1; t <= qv::kGameTypes; ++t) (void)qv::DecideContinue(p, t);
    qv::ToggleExplanations(p);
  }
  return 0;
}
