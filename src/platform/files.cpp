#include "platform/files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace qv::platform {

std::string HostPath(std::string_view game_path) {
  std::string host(game_path);
  for (char& c : host) {
    if (c == '\\') c = '/';
  }
  return host;
}

bool FileExists(std::string_view game_path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(HostPath(game_path), ec);
}

std::optional<std::string> ReadWholeFile(std::string_view game_path) {
  // A folder opens like a file on Linux, and reading it throws from inside the stream buffer.
  if (!FileExists(game_path)) return std::nullopt;
  std::ifstream in(HostPath(game_path), std::ios::binary);
  if (!in) return std::nullopt;
  try {
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return data;
  } catch (const std::ios_base::failure&) {
    return std::nullopt;
  }
}

bool WriteFileAtomic(std::string_view game_path, std::string_view data) {
  const std::string target = HostPath(game_path);
  const std::string temp = target + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.flush();
    if (!out) {
      out.close();
      std::remove(temp.c_str());
      return false;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temp, target, ec);
  if (ec) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

bool AppendToFile(std::string_view game_path, std::string_view data) {
  std::ofstream out(HostPath(game_path), std::ios::binary | std::ios::app);
  if (!out) return false;
  out.write(data.data(), static_cast<std::streamsize>(data.size()));
  out.flush();
  return static_cast<bool>(out);
}

}  // namespace qv::platform
