#include "shell/game_folder.h"

#include <filesystem>

namespace qv {

namespace fs = std::filesystem;

bool LayPack(const std::string& pack_dir, const std::string& game_dir, std::string& error) {
  std::error_code ec;
  const fs::path pack(pack_dir), game(game_dir);
  if (!fs::is_directory(pack, ec)) {
    error = "the content pack '" + pack_dir + "' is not a folder";
    return false;
  }
  fs::create_directories(game, ec);
  if (ec) {
    error = "cannot make the game folder '" + game_dir + "': " + ec.message();
    return false;
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
      fs::copy_file(it->path(), target, fs::copy_options::update_existing, ec);
    }
    if (ec) {
      error = "cannot lay '" + rel.string() + "' into the game folder: " + ec.message();
      return false;
    }
  }
  if (ec) {
    error = "cannot read the content pack: " + ec.message();
    return false;
  }
  return true;
}

}  // namespace qv
