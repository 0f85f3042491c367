// The level files of the three game types.
#pragma once

#include <string>
#include <vector>

namespace packgen {

struct LevelFile {
  std::string path;
  std::vector<std::string> lines;
};

// Builds every level file; throws when a generated puzzle breaks a playability rule.
std::vector<LevelFile> BuildLevels();

// Checks a puzzle layout (top row first, top row 12 cells when top12) against the
// playability rules; returns an empty string when it is fine, else the first fault.
std::string CheckPuzzleLayout(const std::vector<std::string>& rows, bool top12);

}  // namespace packgen
