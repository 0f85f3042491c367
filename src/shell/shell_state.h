#pragma once
// State of the application shell: frame loop, clocks, options, log, random generator.
#include "shell/options.h"
#include "shell/random.h"

namespace qv {

struct ShellState {
  Options options;
  Random random;
};

}  // namespace qv
