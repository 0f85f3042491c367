// One libFuzzer entry point per image decoder, chosen at build time by QV_FUZZ_DECODER.
#include <cstddef>
#include <cstdint>

#include "sprites/image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const qv::DecodeResult r = qv::QV_FUZZ_DECODER(qv::Bytes(data, size));
  if (r.ok()) {
    // Touch every pixel so a short buffer shows up under the sanitizers.
    std::uint32_t sum = 0;
    for (std::uint32_t p : r.image.argb) sum += p;
    if (r.image.argb.size() != static_cast<std::size_t>(r.image.width) * r.image.height)
      __builtin_trap();
    (void)sum;
  }
  return 0;
}
