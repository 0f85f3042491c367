#pragma once
// One line of a list file: a single path, or "name, path" optionally followed by ", loop".
#include <string>
#include <string_view>

namespace qv {

struct ResourceLine {
  std::string name;  // empty for the single-path form
  std::string path;
  std::string ext;  // text after the path's first ".", lower-cased
  bool loop = false;
};

ResourceLine ParseResourceLine(std::string_view line);

}  // namespace qv
