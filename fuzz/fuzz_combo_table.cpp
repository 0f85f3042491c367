// The combo table reader on arbitrary bytes.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "game/combo_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)qv::ParseComboTable(bytes);
  return 0;
}
