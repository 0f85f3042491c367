#include "base/resource_line.h"

#include "base/text_util.h"

namespace qv {

ResourceLine ParseResourceLine(std::string_view line) {
  ResourceLine out;
  // The two-field form is told by a comma followed by a blank, so a path never holds ", ".
  if (line.find(", ") != std::string_view::npos) {
    const auto fields = txt::Split(line, ',');
    out.name = std::string(txt::Trim(fields[0]));
    if (fields.size() > 1) out.path = std::string(txt::Trim(fields[1]));
    if (fields.size() > 2) out.loop = txt::Trim(fields[2]) == "loop";
  } else {
    out.path = std::string(txt::Trim(line));
  }
  const auto dot = out.path.find('.');
  if (dot != std::string::npos) out.ext = txt::Lower(std::string_view(out.path).substr(dot + 1));
  return out;
}

}  // namespace qv
