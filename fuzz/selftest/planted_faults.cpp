// An entry point with planted faults, only for the test of scripts/fuzz-smoke.sh: the input
// "overflow" meets undefined behaviour and "leak" leaks. They are recognised by a hash, which the
// fuzzer's comparison tracing cannot invert, so a run from other seeds stays clean.
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

constexpr std::uint64_t Fnv(std::string_view s) {
  std::uint64_t h = 14695981039346656037ull;
  for (const char c : s) h = (h ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint64_t h = Fnv(std::string_view(reinterpret_cast<const char*>(data), size));
  if (h == Fnv("overflow")) {
    volatile int top = INT_MAX;
    volatile int sum = top + static_cast<int>(size);
    (void)sum;
  } else if (h == Fnv("leak")) {
    volatile char* lost = static_cast<char*>(std::malloc(64));
    lost[0] = 1;
  }
  return 0;
}
