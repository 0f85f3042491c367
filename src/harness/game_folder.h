#pragma once
// Lays the content pack into the per-user game folder: every file is brought up to date on
// every start, so updates apply, except "options.txt", which holds the player's settings and is
// copied only when absent. Files the game writes (saves, log) are not in the pack.
#include <string>

namespace qv {

// Host paths. False with error set when the folder cannot be made or a file not copied.
bool LayPack(const std::string& pack_dir, const std::string& game_dir, std::string& error);

}  // namespace qv
