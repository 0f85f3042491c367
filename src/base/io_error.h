#pragma once
// The input/output and conversion errors of the shell's file operations. They end the
// operation that raised them; the frame loop and the event dispatch catch them at their edge
// and show the message in an error box, so none crosses into SDL.
#include <stdexcept>
#include <string>

namespace qv {

struct IoError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

}  // namespace qv
