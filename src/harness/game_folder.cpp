#include "harness/game_folder.h"

#include <filesystem>

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

}  // namespace qv
