#pragma once
// Lays the content pack into the per-user game folder: every file is brought up to date on
// every start, so updates apply, except "options.txt", which holds the player's settings and is
// copied only when absent. Files the game writes (saves, log) are not in the pack.
#include <string>

#include "base/expected.h"

namespace qv {
struct Script;
}

namespace qv {

// Host paths. Fails when the folder cannot be made or a file not copied.
Expected<void> LayPack(const std::string& pack_dir, const std::string& game_dir);

// The per-user game folder: $XDG_DATA_HOME/quorvex when that is an absolute path, else
// $HOME/.local/share/quorvex. Fails without either.
Expected<std::string> PerUserFolder(const char* xdg_data_home, const char* home);

// The installed content pack: pack_relative (from the binary's folder to the pack) resolved
// against the folder of the running binary, when that folder exists; else empty (a run from the
// build tree).
std::string FindInstalledPack(const std::string& executable, const std::string& pack_relative);

// Where a run plays and which pack it lays there first. Given options win. An installed game
// lays its own pack, into the per-user folder unless --dir names another; a run from the build
// tree plays in the current directory and lays a pack only when --pack names one. A replay of
// an installed game needs --dir: it would write the session's saves over the player's.
struct GameFolderPlan {
  std::string dir;
  std::string pack;  // empty: nothing to lay
};
Expected<GameFolderPlan> PlanGameFolder(const std::string& dir_option,
                                        const std::string& pack_option,
                                        const std::string& installed_pack, const char* xdg_data_home,
                                        const char* home, bool replay = false);

// A replay starts from the saves its session started from: the recording's file lines are
// written into the game folder (made when missing). A folder that already holds other saves is
// left alone and the replay refused, so a replay never overwrites a player's files; files
// equal to the recorded ones are fine (a copy of the same folder).
Expected<void> RestoreSessionFiles(const std::string& game_dir, const Script& replay);

}  // namespace qv
