// Writes one save file over and over through the game's own writers, alternating between two
// contents, until it is killed. Usage: save_writer FOLDER players|records|options. It prints "r"
// after the first complete write, so the parent knows the writes are under way, and "w" after
// every later one.
#include <unistd.h>

#include <cstdio>
#include <string_view>

#include "menu/players.h"
#include "menu/records.h"
#include "saves/save_contents.h"
#include "shell/options_file.h"

int main(int argc, char** argv) {
  if (argc != 3 || chdir(argv[1]) != 0) return 2;
  const std::string_view kind = argv[2];
  const std::vector<qv::Player> players[2] = {qv::saves::PlayersVersion(false),
                                              qv::saves::PlayersVersion(true)};
  const qv::RecordTable records[2] = {qv::saves::RecordsVersion(false),
                                      qv::saves::RecordsVersion(true)};
  for (long n = 1;; ++n) {
    const bool second = n % 2 == 1;
    bool ok = false;
    if (kind == "players") {
      ok = qv::WritePlayersFile(players[second]).has_value();
    } else if (kind == "records") {
      ok = qv::WriteRecordsFile(records[second]).has_value();
    } else if (kind == "options") {
      ok = qv::WriteOption("options.txt", "music_volume", qv::saves::OptionsValue(second))
               .has_value();
    } else {
      return 2;
    }
    if (!ok) return 3;
    std::fputs(n == 1 ? "r" : "w", stdout);
    std::fflush(stdout);
  }
}
