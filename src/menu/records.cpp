#include "menu/records.h"

#include <algorithm>
#include <cstdint>
#include <optional>

#include "menu/players.h"
#include "platform/files.h"
#include "base/text_util.h"

namespace qv {

namespace {

int ScoreOf(const RecordRow& row) {
  int v = 0;
  return ParseDecimal(row.score, v) ? v : 0;
}

}  // namespace

RecordTable ParseRecords(std::string_view data, int type) {
  RecordTable table;
  table.type = type;
  for (std::string_view raw : txt::Lines(data)) {
    if (txt::Trim(raw).empty()) continue;
    int line_type = 0;
    if (!ParseDecimal(Field(raw, 1), line_type) || line_type != type) {
      table.other_lines.emplace_back(raw);
      continue;
    }
    if (static_cast<int>(table.rows.size()) >= kTableRows) continue;
    table.rows.push_back(RecordRow{std::string(Field(raw, 2)), std::string(Field(raw, 3)),
                                   std::string(Field(raw, 4)), std::string(Field(raw, 5))});
  }
  return table;
}

Insertion EnterResult(RecordTable& table, const GameResult& result) {
  std::vector<RecordRow>& rows = table.rows;
  const int count = static_cast<int>(rows.size());
  Insertion ins;
  for (int i = 0; i < count; ++i) {
    // Strictly below: an equal score keeps its place above the new result.
    if (ScoreOf(rows[i]) < result.score) {
      ins.position = i + 1;
      ins.rewrite = true;
      break;
    }
  }
  if (ins.position == 0) {
    ins.position = count > 0 ? std::min(kTableRows, count + 1) : 1;
    ins.rewrite = count == 0;
  }
  if (count > 0 && ins.position < kTableRows) {
    for (int i = ins.position - 1; i < count; ++i) {
      int rank = 0;
      // A rank at the top of the int range moves down to a rank beyond it, not to a negative one.
      if (ParseDecimal(rows[i].rank, rank)) rows[i].rank = std::to_string(std::int64_t{rank} + 1);
    }
    rows.insert(rows.begin() + (ins.position - 1), RecordRow{});
    if (static_cast<int>(rows.size()) > kTableRows) rows.resize(kTableRows);
  }
  if (static_cast<int>(rows.size()) < ins.position) rows.resize(ins.position);
  rows[ins.position - 1] = RecordRow{std::to_string(ins.position), result.name,
                                     std::to_string(result.level), std::to_string(result.score)};
  return ins;
}

std::string FormatRecords(const RecordTable& table) {
  std::string out;
  for (const std::string& line : table.other_lines) out += line + "\r\n";
  const std::string type = std::to_string(table.type);
  for (const RecordRow& r : table.rows) {
    out += type + ", " + r.rank + ", " + r.name + ", " + r.level + ", " + r.score + "\r\n";
  }
  return out;
}

std::optional<std::string> ReadRecordsFile() {
  return platform::ReadWholeFile(kRecordsFile);
}

Expected<void> WriteRecordsFile(const RecordTable& table) {
  if (platform::WriteFileAtomic(kRecordsFile, FormatRecords(table))) return {};
  return Fail("Cannot write \"records.txt\"");
}

int PreviousType(int type) { return type <= 1 ? 3 : type - 1; }
int NextType(int type) { return type >= 3 ? 1 : type + 1; }

}  // namespace qv
