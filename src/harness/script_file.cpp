#include "harness/script_file.h"

#include <cstdio>
#include <filesystem>
#include <memory>

namespace qv {
namespace {

struct FileCloser {
  void operator()(std::FILE* f) const {
    if (f != stdin) std::fclose(f);
  }
};

}  // namespace

Expected<std::string> ReadScriptText(const std::string& path) {
  const auto cannot = [&] { return Fail("cannot read the script '" + path + "'"); };
  std::unique_ptr<std::FILE, FileCloser> file;
  if (path == "-") {
    file.reset(stdin);
  } else {
    // Anything that reads as a stream will do (a regular file, a pipe, a FIFO); a folder opens
    // too on Linux but is no script.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return cannot();
    file.reset(std::fopen(path.c_str(), "rb"));
    if (!file) return cannot();
  }
  std::string text;
  char buffer[1 << 14];
  std::size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, n);
  if (std::ferror(file.get())) return cannot();
  return text;
}

Expected<Script> LoadScriptFile(const std::string& path, ScriptOrigin origin) {
  const Expected<std::string> text = ReadScriptText(path);
  if (!text) return Fail(text.error());
  return ParseScript(*text, path == "-" ? "standard input" : path, origin);
}

}  // namespace qv
