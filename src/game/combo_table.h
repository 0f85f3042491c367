#pragma once
// The combo table: the texts shown for a combo of at least so many balls, read at start-up.
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"

namespace qv {

struct Context;

struct ComboEntry {
  int threshold = 0;
  std::string text;
};

// Reads "text\combo.txt" into ctx.game.run.combo_table. Fails, leaving the table as it was, when
// the file is missing or a line's first field is not an integer.
Expected<void> ReadComboTable(Context& ctx);
// The table in a combo file's text; fails on the first line whose first field is no integer.
Expected<std::vector<ComboEntry>> ParseComboTable(std::string_view data);

}  // namespace qv
