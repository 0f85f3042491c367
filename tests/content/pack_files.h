#pragma once
// Access to the generated content pack in the build tree, by game path.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace qv::pack_check {

inline std::filesystem::path PackRoot() {
  return std::filesystem::path(QUORVEX_BINARY_DIR) / "pack";
}

inline std::filesystem::path Host(const std::string& game_path) {
  std::string p = game_path;
  for (char& c : p) {
    if (c == '\\') c = '/';
  }
  return PackRoot() / p;
}

inline bool Exists(const std::string& game_path) {
  return std::filesystem::is_regular_file(Host(game_path));
}

inline std::string Read(const std::string& game_path) {
  std::ifstream in(Host(game_path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Splits CR LF text into lines; `crlf_ok` reports whether every line ended with CR LF.
inline std::vector<std::string> Lines(const std::string& text, bool* crlf_ok = nullptr) {
  std::vector<std::string> out;
  bool ok = !text.empty() && text.size() >= 2 && text.substr(text.size() - 2) == "\r\n";
  size_t start = 0;
  while (start < text.size()) {
    const size_t nl = text.find('\n', start);
    const size_t end = nl == std::string::npos ? text.size() : nl;
    std::string line = text.substr(start, end - start);
    if (line.empty() || line.back() != '\r') ok = false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    out.push_back(line);
    start = end + 1;
  }
  if (crlf_ok) *crlf_ok = ok;
  return out;
}

inline std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return "";
  const size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

// Content lines of a file whose comments start with ";": trimmed, comment cut, empties dropped.
inline std::vector<std::string> Counted(const std::string& game_path) {
  std::vector<std::string> out;
  for (std::string line : Lines(Read(game_path))) {
    const size_t sc = line.find(';');
    if (sc != std::string::npos) line = line.substr(0, sc);
    line = Trim(line);
    if (!line.empty()) out.push_back(line);
  }
  return out;
}

inline std::vector<std::string> Split(const std::string& s, char sep) {
  std::vector<std::string> out;
  size_t start = 0;
  while (true) {
    const size_t p = s.find(sep, start);
    out.push_back(s.substr(start, p == std::string::npos ? std::string::npos : p - start));
    if (p == std::string::npos) break;
    start = p + 1;
  }
  return out;
}

inline std::string GamePath(const std::filesystem::path& host) {
  std::string rel = std::filesystem::relative(host, PackRoot()).string();
  for (char& c : rel) {
    if (c == '/') c = '\\';
  }
  return rel;
}

// Every file of the pack with the given extension, as game paths.
inline std::vector<std::string> FilesWith(const std::string& ext) {
  std::vector<std::string> out;
  for (const auto& e : std::filesystem::recursive_directory_iterator(PackRoot())) {
    if (e.is_regular_file() && e.path().extension() == ext) out.push_back(GamePath(e.path()));
  }
  std::sort(out.begin(), out.end());
  return out;
}

inline std::string BaseName(const std::string& game_path) {
  std::string name = game_path.substr(game_path.rfind('\\') + 1);
  return name.substr(0, name.rfind('.'));
}

// Image path of a part line as the sprite loader resolves it ("\..\" folds the folder before it).
inline std::string ResolveImage(const std::string& spr_path, const std::string& image) {
  std::string p = spr_path.substr(0, spr_path.rfind('\\') + 1) + image;
  size_t pos;
  while ((pos = p.find("\\..\\")) != std::string::npos) {
    const size_t cut = pos == 0 ? std::string::npos : p.rfind('\\', pos - 1);
    p = (cut == std::string::npos ? std::string() : p.substr(0, cut + 1)) + p.substr(pos + 4);
  }
  return p;
}

}  // namespace qv::pack_check
