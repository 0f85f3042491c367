#pragma once
// State of the application shell: frame loop, clocks, options, log, random generator.
#include <cstdint>

#include "shell/options.h"
#include "shell/random.h"

namespace qv {

struct ShellState {
  Options options;
  Random random;
  std::uint32_t frame_clock = 0;
  bool app_active = false;
};

}  // namespace qv
