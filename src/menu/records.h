#pragma once
// High-score tables, at most ten rows per game type, kept in "records.txt": one row per line,
// "type, rank, name, level, score", lines ended by CR LF. Rows hold the text as read.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/expected.h"

namespace qv {

constexpr int kTableRows = 10;
constexpr const char* kRecordsFile = "records.txt";

struct RecordRow {
  std::string rank;
  std::string name;
  std::string level;
  std::string score;
};

struct RecordTable {
  int type = 1;
  std::vector<RecordRow> rows;           // at most ten, in rank order
  std::vector<std::string> other_lines;  // lines of the other types, unchanged, in file order
};

// The rows of game type `type` from a records file's text, and every other line kept aside. A
// line whose type is not a decimal integer belongs to no type (it is kept aside too); a score
// that is not one counts as 0 when results are compared.
RecordTable ParseRecords(std::string_view data, int type);

// The game just played.
struct GameResult {
  std::string name;
  int level = 0;
  int score = 0;
};

// Enters a result into a table and returns the 1-based row it was shown in. `rewrite` tells
// whether the file must be written: only when the result beats a stored row, or the type had
// no rows. Otherwise the result is shown below the last row (row 10 at most) and the file stays.
struct Insertion {
  int position = 0;
  bool rewrite = false;
};
Insertion EnterResult(RecordTable& table, const GameResult& result);

// The whole file after entering a result: the other types' lines, then this type's rows.
std::string FormatRecords(const RecordTable& table);

// The records file's text; none when the file is missing or unreadable.
std::optional<std::string> ReadRecordsFile();
// Written to a temporary file and renamed over the old one; when that fails the old file is
// untouched and the error is "Cannot write "records.txt"".
Expected<void> WriteRecordsFile(const RecordTable& table);

// The scores page's arrows: previous and next game type, wrapping round.
int PreviousType(int type);
int NextType(int type);

}  // namespace qv
