#pragma once
// Lays the content pack into the per-user game folder: every file is brought up to date on
// every start, so updates apply, except "options.txt", which holds the player's settings and is
// copied only when absent. Files the game writes (saves, log) are not in the pack.
#include <string>

#include "base/expected.h"

namespace qv {

// Host paths. Fails when the folder cannot be made or a file not copied.
Expected<void> LayPack(const std::string& pack_dir, const std::string& game_dir);

}  // namespace qv
