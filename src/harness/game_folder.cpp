#include "harness/game_folder.h"

#include <filesystem>

#include "harness/script.h"
#include "platform/files.h"

namespace qv {

namespace fs = std::filesystem;

namespace {

// A pack file is copied unless the game folder holds one of the same size and time.
bool UpToDate(const fs::path& source, const fs::path& target) {
  std::error_code ec;
  if (!fs::is_regular_file(target, ec)) return false;
  return fs::file_size(source, ec) == fs::file_size(target, ec) && !ec &&
         fs::last_write_time(source, ec) == fs::last_write_time(target, ec) && !ec;
}

}  // namespace

Expected<void> LayPack(const std::string& pack_dir, const std::string& game_dir) {
  std::error_code ec;
  const fs::path pack(pack_dir), game(game_dir);
  if (!fs::is_directory(pack, ec)) {
    return Fail("the content pack '" + pack_dir + "' is not a folder");
  }
  fs::create_directories(game, ec);
  if (ec) {
    return Fail("cannot make the game folder '" + game_dir + "': " + ec.message());
  }
  for (auto it = fs::recursive_directory_iterator(pack, ec); !ec && it != fs::end(it);
       it.increment(ec)) {
    const fs::path rel = fs::relative(it->path(), pack, ec);
    if (ec) break;
    const fs::path target = game / rel;
    if (it->is_directory(ec)) {
      fs::create_directories(target, ec);
    } else if (rel == "options.txt") {
      if (!fs::exists(target, ec)) fs::copy_file(it->path(), target, ec);
    } else {
      if (!UpToDate(it->path(), target)) {
        fs::copy_file(it->path(), target, fs::copy_options::overwrite_existing, ec);
        if (!ec) fs::last_write_time(target, fs::last_write_time(it->path(), ec), ec);
      }
    }
    if (ec) {
      return Fail("cannot lay '" + rel.string() + "' into the game folder: " + ec.message());
    }
  }
  if (ec) {
    return Fail("cannot read the content pack: " + ec.message());
  }
  return {};
}

Expected<std::string> PerUserFolder(const char* xdg_data_home, const char* home) {
  // A relative XDG_DATA_HOME does not count.
  if (xdg_data_home && xdg_data_home[0] == '/') {
    return (fs::path(xdg_data_home) / "quorvex").string();
  }
  if (home && home[0] != '\0') return (fs::path(home) / ".local" / "share" / "quorvex").string();
  return Fail(std::string("neither XDG_DATA_HOME nor HOME is set: give the game folder with --dir"));
}

std::string FindInstalledPack(const std::string& executable, const std::string& pack_relative) {
  if (executable.empty() || pack_relative.empty()) return {};
  std::error_code ec;
  const fs::path pack = fs::path(executable).parent_path() / pack_relative;
  if (!fs::is_directory(pack, ec)) return {};
  const fs::path normal = fs::weakly_canonical(pack, ec);
  return ec ? pack.string() : normal.string();
}

Expected<GameFolderPlan> PlanGameFolder(const std::string& dir_option,
                                        const std::string& pack_option,
                                        const std::string& installed_pack, const char* xdg_data_home,
                                        const char* home, bool replay) {
  GameFolderPlan plan;
  plan.pack = pack_option.empty() ? installed_pack : pack_option;
  if (!dir_option.empty()) {
    plan.dir = dir_option;
  } else if (!installed_pack.empty()) {
    if (replay) {
      return Fail(std::string("--replay needs --dir: the replayed session writes its saves there"));
    }
    Expected<std::string> user = PerUserFolder(xdg_data_home, home);
    if (!user) return Fail(user.error());
    plan.dir = *user;
  } else {
    plan.dir = ".";
  }
  return plan;
}

Expected<void> RestoreSessionFiles(const std::string& game_dir, const Script& replay) {
  std::error_code ec;
  // Every check first, so a refusal writes nothing.
  for (const ScriptCommand& c : replay.commands) {
    if (c.kind != ScriptCommand::Kind::File) continue;
    const std::string target = (fs::path(game_dir) / c.path).string();
    const std::optional<std::string> held = platform::ReadWholeFile(target);
    // The pack lays an options.txt where the session had none; that one may stay.
    if (c.absent ? held && c.path != "options.txt" : held && *held != c.data) {
      return Fail("the game folder '" + game_dir + "' already holds another " + c.path +
                  "; replay into an empty folder");
    }
  }
  for (const ScriptCommand& c : replay.commands) {
    if (c.kind != ScriptCommand::Kind::File || c.absent) continue;
    fs::create_directories(game_dir, ec);
    const std::string target = (fs::path(game_dir) / c.path).string();
    if (!platform::WriteFileAtomic(target, c.data)) {
      return Fail("cannot write " + target + " for the replay");
    }
  }
  return {};
}

}  // namespace qv
