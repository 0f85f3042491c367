// The records file reader on arbitrary bytes, for every game type: a result is entered, the rows
// below it move down with their ranks counted on, and the file the game would write must read
// back with the same rows and keep the other lines.
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "menu/players.h"
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

// The rank texts of the rows that moved down: a decimal rank is counted on by one, any other
// text stays as it was. Read in 64 bits here, so a rank that wrapped round shows.
bool RanksMovedOn(const qv::RecordTable& before, const qv::RecordTable& after, int position) {
  for (std::size_t i = static_cast<std::size_t>(position); i < after.rows.size(); ++i) {
    const std::string& old_rank = before.rows[i - 1].rank;
    const std::string& new_rank = after.rows[i].rank;
    int old_value = 0;
    if (!qv::ParseDecimal(old_rank, old_value)) {
      if (new_rank != old_rank) return false;
      continue;
    }
    long long new_value = 0;
    const auto [end, ec] =
        std::from_chars(new_rank.data(), new_rank.data() + new_rank.size(), new_value);
    if (ec != std::errc() || end != new_rank.data() + new_rank.size()) return false;
    if (new_value != static_cast<long long>(old_value) + 1) return false;
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
    const qv::RecordTable before = table;
    const qv::Insertion at = qv::EnterResult(table, {"fuzz", 7, score});
    if (at.position < 1 || at.position > qv::kTableRows) std::abort();
    if (!before.rows.empty() && at.position < qv::kTableRows &&
        !RanksMovedOn(before, table, at.position))
      std::abort();
    if (!at.rewrite) continue;
    const qv::RecordTable again = qv::ParseRecords(qv::FormatRecords(table), type);
    if (!SameRows(table, again)) std::abort();
    if (again.other_lines.size() != table.other_lines.size()) std::abort();
  }
  return 0;
}
