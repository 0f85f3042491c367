#pragma once
// Reading the harness's state dumps in tests that run the binary.
#include <regex>
#include <string>

namespace qv::test {

// The integer value of "key" in a dump: its first occurrence after the object named `section`
// opens; -9999 when either is missing.
inline long long Number(const std::string& json, const std::string& section,
                        const std::string& key) {
  const auto at = json.find("\"" + section + "\":{");
  if (at == std::string::npos) return -9999;
  std::smatch m;
  const std::string rest = json.substr(at);
  if (!std::regex_search(rest, m, std::regex("\"" + key + "\":(-?[0-9]+)"))) return -9999;
  return std::stoll(m[1].str());
}

}  // namespace qv::test
