#include "platform/files.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
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

namespace {

bool WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::write(fd, data.data(), data.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

std::string FolderOf(const std::string& host) {
  const std::size_t slash = host.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : host.substr(0, slash);
}

}  // namespace

bool WriteFileAtomic(std::string_view game_path, std::string_view data) {
  const std::string target = HostPath(game_path);
  const std::string temp = target + ".tmp";
  // A link planted in the temporary file's place is not written through.
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return false;
  // The data reaches the disk before the rename makes it the file: after a power loss the name
  // then holds the old content or the new, never an empty or partial file.
  const bool written = WriteAll(fd, data) && ::fsync(fd) == 0;
  if (::close(fd) != 0 || !written) {
    std::remove(temp.c_str());
    return false;
  }
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  // And the rename itself, which lives in the folder.
  const int dir = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return true;
}

bool StaysInsideWorkingFolder(std::string_view host_path) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::path root = fs::canonical(fs::current_path(ec), ec);
  if (ec) return false;
  const auto inside = [&root](const fs::path& p) {
    const auto [r, q] = std::mismatch(root.begin(), root.end(), p.begin(), p.end());
    return r == root.end();
  };
  fs::path rest(host_path);
  if (rest.is_absolute()) {
    rest = rest.lexically_normal();
    if (!inside(rest)) return false;
    rest = rest.lexically_relative(root);
  }
  fs::path at = root;
  for (const fs::path& part : rest) {
    at /= part;
    const fs::file_status status = fs::symlink_status(at, ec);
    if (ec || !fs::exists(status)) return true;  // the rest is made fresh, where it stands
    const fs::path real = fs::canonical(at, ec);
    if (ec || !inside(real)) return false;
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
