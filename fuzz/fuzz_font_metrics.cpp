// The font metrics (".pos") reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "scene/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)qv::ParseMetrics("graphics\\fonts\\f.pos", bytes);
  return 0;
}
