// The records file reader on arbitrary bytes, for every game type: a result is entered and the
// file the game would write must read back with the same rows and keep the other lines.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "menu/records.h"

namespace {

bool SameRows(const qv::RecordTable& a, const qv::RecordTable& b) {
  if (a.rows.size() != b.rows.size()) return false;
  for (std::size_t i = 0; i < a.rows.size(); ++i) {
    const qv::RecordRow& x = a.rows[i];
    const qv::RecordRow& y = b.rows[i];
    if (x.rank != y.rank || x.name != y.name || x.level != y.level || x.score != y.score)
      return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  for (int type = 1; type <= 3; ++type) {
    qv::RecordTable table = qv::ParseRecords(bytes, type);
    if (table.rows.size() > static_cast<std::size_t>(qv::kTableRows)) std::abort();
    const int score = size > 0 ? static_cast<int>(data[0]) * 1000 : 0;
    const qv::Insertion at = qv::EnterResult(table, {"fuzz", 7, score});
    if (at.position < 1 || at.position > qv::kTableRows) std::abort();
    if (!at.rewrite) continue;
    const qv::RecordTable again = qv::ParseRecords(qv::FormatRecords(table), type);
    if (!SameRows(table, again)) std::abort();
    if (again.other_lines.size() != table.other_lines.size()) std::abort();
  }
  return 0;
}
