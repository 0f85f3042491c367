#pragma once
// Named players and their saved progress per game type, kept in "players.txt": one player per
// line, sixteen fields joined by ", ", lines ended by CR LF.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"

namespace qv {

constexpr int kGameTypes = 3;  // 1 arcade, 2 challenge, 3 puzzle
constexpr const char* kPlayersFile = "players.txt";

struct Player {
  std::string name;
  // Indexed by game type - 1.
  std::array<int, kGameTypes> saved_level{-1, -1, -1};  // below 1: nothing saved
  std::array<int, kGameTypes> show_message{1, 1, 1};    // 1: explain the type before a game
  std::array<int, kGameTypes> saved_score{0, 0, 0};
  std::array<int, kGameTypes> may_continue{-1, -1, -1};  // 1 in progress, 0 lost late, -1 none
  std::array<int, kGameTypes> checkpoint_score{0, 0, 0};  // score at the last level 5k
};

// A player created from the player list.
Player ListPlayer(std::string_view name);
// The very first player, typed on the first-run name input: zeros where the list uses -1.
Player FirstRunPlayer(std::string_view name);

// Field n (1-based) of a comma-separated line: the text between the (n-1)-th and n-th comma,
// trimmed; empty when the line has fewer fields.
std::string_view Field(std::string_view line, int n);
// A plain decimal integer (optional sign); anything else, or a value outside int, is none.
bool ParseDecimal(std::string_view text, int& value);

// The records of a players file in line order. A damaged field falls back to its default and
// never stops the other lines.
std::vector<Player> ParsePlayers(std::string_view data);
std::string FormatPlayerLine(const Player& player);  // without the line end
std::string FormatPlayers(const std::vector<Player>& players);

// The players file of the game folder; a missing or unreadable file gives no players.
std::vector<Player> ReadPlayersFile();
// Written to a temporary file and renamed over the old one; when that fails the old file is
// untouched and the error is "Cannot write "players.txt"".
Expected<void> WritePlayersFile(const std::vector<Player>& players);

// Progress rules, all for game type t (1..3). The progress a level entered or won leaves is the
// game's rule (game/levels.h), kept here through the game's player links.
// A fresh start of the type: level 1, no score, in progress.
void StartFresh(Player& player, int t);

// What choosing a game type leads to.
struct ContinueOffer {
  enum Kind { Fresh, Normal, AfterLoss } kind = Fresh;
  int level = 0;  // after a loss: the level the game would continue from
};
ContinueOffer DecideContinue(const Player& player, int t);
// The continue dialog's answers; afterwards the game starts at saved_level with saved_score.
void AcceptContinue(Player& player, int t, bool after_loss);
void DeclineContinue(Player& player, int t);

// The options page's explanations switch: any flag on turns all off, else all on.
void ToggleExplanations(Player& player);

}  // namespace qv
