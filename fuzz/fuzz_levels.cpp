// The level file readers on arbitrary bytes: as an arcade or challenge file, and as a puzzle
// file which, when it reads, is also built into a fresh field (through a scratch file: the
// builder takes a name).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "game/levels.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string file = qv::fuzz::ScratchFolder("levels") + "/puzzle-01.ini";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (const auto timed = qv::ParseTimedLevel("levels\\arcade-01.ini", bytes)) {
    if (timed->colours < 1 || timed->colours > 7) std::abort();
  }
  const auto puzzle = qv::ParsePuzzleLevel("levels\\puzzle-01.ini", bytes);
  if (!puzzle) return 0;
  if (puzzle->crystals < 1 || puzzle->colours.empty() || puzzle->rows.size() > 25) std::abort();
  qv::Context ctx;
  qv::fuzz::Silence(ctx);
  qv::fuzz::WriteBytes(file, bytes);
  const qv::Expected<int> shift = qv::BuildPuzzleLevel(ctx, file);
  if (!shift || *shift != puzzle->shift) std::abort();
  return 0;
}
