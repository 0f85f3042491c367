#pragma once
// The game's file layer. Game paths use "\" and lower case and are relative to the game folder
// (the working directory); this is the one place that maps them to the host.
#include <optional>
#include <string>
#include <string_view>

namespace qv::platform {

std::string HostPath(std::string_view game_path);
bool FileExists(std::string_view game_path);
// The whole file, or nothing when it cannot be opened or read.
std::optional<std::string> ReadWholeFile(std::string_view game_path);
// Writes to a temporary file beside the target and renames it over, so a crash never leaves
// a half-written file.
bool WriteFileAtomic(std::string_view game_path, std::string_view data);
bool AppendToFile(std::string_view game_path, std::string_view data);

// Whether a file written at host_path lands inside the working folder (the game folder): every
// part of the path that exists, folders and the file itself, resolves inside it once links are
// followed. A link that leads nowhere counts as leading out.
bool StaysInsideWorkingFolder(std::string_view host_path);

}  // namespace qv::platform
