// build: a restart file from lines of keys and contents, a plain listing or
// CSV, made by the library and dumped by it; from a restart listing,
// written as listed (restartBuild.h).
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <istream>
#include <string>
#include <unordered_set>
#include <vector>

#include "commands.h"
#include "failure.h"
#include "library.h"
#include "lineInput.h"
#include "listing.h"
#include "persist/restartScanner.h"
#include "restartBuild.h"
#include "scan.h"

namespace kelht {

namespace {

struct Row {
  bool isLong = false;
  int32_t longKey = 0;
  std::string key;  // a string key's bytes
  int32_t content = 0;
};

// A key of the kind --long asks for, from its text: escaped, or raw bytes
// from a CSV field.
Row keyRow(const BuildOptions& options, long line, const std::string& keyText, bool escaped,
           int32_t content) {
  Row row;
  row.isLong = options.longKeys;
  row.content = content;
  if (row.isLong) row.longKey = integerField(options.input, line, keyText, "long key");
  else row.key = stringKeyField(options.input, line, keyText, escaped, options.cp932);
  return row;
}

Row keyContentRow(const BuildOptions& options, long line, const std::string& text) {
  const std::vector<std::string> fields = split(text, '\t');
  if (fields.size() > 2) malformed(options.input, line, "more than a key and a content");
  const int32_t content =
      fields.size() == 2 ? integerField(options.input, line, fields[1], "content") : 0;
  return keyRow(options, line, fields[0], true, content);
}

// A listing row keeps its kind, whatever --long says.
Row listedRow(const BuildOptions& options, long line, const std::string& text) {
  ListedEntry e = readListedEntry(options.input, line, text, options.cp932);
  return {e.isLong, e.longKey, std::move(e.key), e.content};
}

// ---- lines of key<TAB>content, and plain listings --------------------------

// `line` is the input's first line, already read.
std::vector<Row> readLines(const BuildOptions& options, std::istream& in, std::string line) {
  const bool listing = line == kListingColumns;
  std::vector<Row> rows;
  if (!listing) rows.push_back(keyContentRow(options, 1, line));
  for (long number = 2; readLine(in, options.input, line); ++number)
    rows.push_back(listing ? listedRow(options, number, line) : keyContentRow(options, number, line));
  // A listing shows each chain from its head, the key added last; adding the
  // rows in reverse makes the same chains again.
  if (listing) std::reverse(rows.begin(), rows.end());
  return rows;
}

// ---- CSV --------------------------------------------------------------------

// One record (RFC 4180): fields separated by commas; a field in double
// quotes may hold commas, line breaks and doubled quotes. False at the end
// of the input. `line` counts the lines read.
bool readRecord(const BuildOptions& options, std::istream& in, std::vector<std::string>& fields,
                long& line) {
  fields.assign(1, std::string());
  const long first = line + 1;
  bool quoted = false;
  bool any = false;
  for (int c; (c = in.get()) != EOF; any = true) {
    if (c == '\n') ++line;
    if (quoted) {
      if (c != '"') fields.back() += static_cast<char>(c);
      else if (in.peek() == '"') fields.back() += static_cast<char>(in.get());
      else quoted = false;
    } else if (c == '"' && fields.back().empty()) {
      quoted = true;
    } else if (c == ',') {
      fields.emplace_back();
    } else if (c == '\n') {
      if (!fields.back().empty() && fields.back().back() == '\r') fields.back().pop_back();
      return true;
    } else {
      fields.back() += static_cast<char>(c);
    }
  }
  requireRead(in, options.input);
  if (quoted) malformed(options.input, first, "a quoted field is not closed");
  if (any) ++line;
  return any;
}

std::vector<Row> readCsv(const BuildOptions& options, std::istream& in) {
  std::vector<Row> rows;
  std::vector<std::string> fields;
  long line = 0;
  for (long start = 1; readRecord(options, in, fields, line); start = line + 1) {
    const auto column = [&](int number) -> const std::string& {
      if (static_cast<std::size_t>(number) > fields.size())
        malformed(options.input, start, "no column " + std::to_string(number));
      return fields[static_cast<std::size_t>(number) - 1];
    };
    const int32_t content = options.contentColumn == 0
                                ? 0
                                : integerField(options.input, start, column(options.contentColumn), "content");
    rows.push_back(keyRow(options, start, column(options.column), false, content));
  }
  return rows;
}

// ---- building ---------------------------------------------------------------

// The library keeps the first content of a repeated key; the table is sized
// for the distinct keys.
std::vector<Row> distinct(std::vector<Row> rows) {
  std::unordered_set<std::string> strings;
  std::unordered_set<int32_t> longs;
  std::vector<Row> kept;
  for (Row& row : rows)
    if (row.isLong ? longs.insert(row.longKey).second : strings.insert(row.key).second)
      kept.push_back(std::move(row));
  return kept;
}

// One builder call makes the table, sized for every key: makeHashTableLng
// when all keys are long; else makeHashTableStrList, whose array holds a
// null, which it skips, in each long key's place, and the long keys are
// added after it. A listing of a table built here so gives the same chains
// again: its long keys were added last then too.
void buildTable(const KelHashTableFun& ht, const std::vector<Row>& rows) {
  std::vector<const char*> strings;
  std::vector<int> longs;
  std::vector<int> contents;
  for (const Row& row : rows) {
    strings.push_back(row.isLong ? nullptr : row.key.c_str());
    if (row.isLong) longs.push_back(row.longKey);
    contents.push_back(row.content);
  }
  const int count = static_cast<int>(rows.size());
  if (longs.size() == rows.size()) {
    ht.makeHashTableLng(longs.data(), count, contents.data());
    return;
  }
  ht.makeHashTableStrList(strings.data(), count, contents.data());
  for (const Row& row : rows)
    if (row.isLong) ht.addOneLng(row.longKey, row.content);
}

// The library dumps silently or not at all; the file must hold the table.
class Counter final : public kel::RestartVisitor {
 public:
  void header(int32_t, int32_t) override {}
  void chain(const kel::RestartChain&) override {}
  void entry(const kel::RestartEntry&) override { ++entries; }
  void chainEnd() override {}
  int64_t entries = 0;
};

bool holds(const std::string& path, std::size_t keys) {
  Counter counter;
  try {
    const ScannedFile file = scanFile(path, counter);
    return !file.damaged() && file.counter == static_cast<int64_t>(keys) &&
           counter.entries == file.counter;
  } catch (const Failure&) {
    return false;
  }
}

}  // namespace

int build(const BuildOptions& options, Library& library) {
  std::ifstream file;
  if (options.input != "-") {
    refuseFolder(options.input);
    file.open(options.input, std::ios::binary);
    if (!file) throw Failure(kTrouble, options.input + ": cannot open the file");
  }
  std::istream& in = options.input == "-" ? std::cin : file;
  std::string first;
  const bool lines = !options.csv && readLine(in, options.input, first);
  if (lines && startsRestartListing(first)) return buildFromRestartListing(options, in, first);
  const std::vector<Row> rows = distinct(options.csv ? readCsv(options, in)
                                         : lines     ? readLines(options, in, first)
                                                     : std::vector<Row>());
  const KelHashTableFun& ht = *library;
  buildTable(ht, rows);
  ht.dumpToRestartFile(options.out.c_str());
  ht.close();
  if (!holds(options.out, rows.size())) throw Failure(kTrouble, options.out + ": cannot write the file");
  return 0;
}

}  // namespace kelht
