#include "game/combo_table.h"

#include <optional>
#include <vector>

#include "base/text.h"
#include "context.h"
#include "platform/files.h"

namespace qv {

Expected<void> ReadComboTable(Context& ctx) {
  const char* path = "text\\combo.txt";
  const std::optional<std::string> data =
      platform::FileExists(path) ? platform::ReadWholeFile(path) : std::nullopt;
  if (!data) return Fail("Cannot open the file \"text\\combo.txt\".");
  Expected<std::vector<ComboEntry>> table = ParseComboTable(*data);
  if (!table) return Fail(table.error());
  ctx.game.run.combo_table = std::move(*table);
  return {};
}

Expected<std::vector<ComboEntry>> ParseComboTable(std::string_view data) {
  std::vector<ComboEntry> table;
  const std::vector<std::string> lines = SplitLines(data);
  for (std::size_t n = 0; n < lines.size(); ++n) {
    const std::string& line = lines[n];
    // Fields stand exactly as they are between the commas.
    const std::size_t c1 = line.find(',');
    const std::string field1 = line.substr(0, c1);
    std::string field2;
    if (c1 != std::string::npos) {
      const std::size_t c2 = line.find(',', c1 + 1);
      field2 = line.substr(c1 + 1, c2 == std::string::npos ? std::string::npos : c2 - c1 - 1);
    }
    const std::optional<int> threshold = ParseInt(field1);
    if (!threshold) {
      return Fail("\"text\\combo.txt\", line " + std::to_string(n + 1) + ": '" + field1 +
                  "' is not a valid integer value");
    }
    table.push_back(ComboEntry{*threshold, field2});
  }
  return table;
}

}  // namespace qv
