#pragma once
// State of the application shell: frame loop, clocks, options, log, random generator.
namespace qv {

struct ShellState {};

}  // namespace qv
