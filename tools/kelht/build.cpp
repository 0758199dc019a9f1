// build: a restart file from lines of keys and contents, made by the
// library's builder and dumped by it.
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <istream>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "commands.h"
#include "cp932.h"
#include "failure.h"
#include "keyText.h"
#include "library.h"
#include "persist/restartScanner.h"
#include "scan.h"

namespace kelht {

namespace {

// The first line of a listing printed by `kelht list`.
const char kListingHeader[] = "bucket\tposition\tkind\tkey\tcontent";

struct Row {
  std::string key;  // a string key's bytes
  int32_t longKey = 0;
  int32_t content = 0;
};

// A malformed line ends the build before anything is written.
[[noreturn]] void malformed(const BuildOptions& options, long line, const std::string& why) {
  throw Failure(kTrouble, options.input + ": line " + std::to_string(line) + ": " + why);
}

std::vector<std::string> split(const std::string& line, char separator) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == separator) fields.emplace_back();
    else fields.back() += c;
  }
  return fields;
}

int32_t integerField(const BuildOptions& options, long line, const std::string& text, const char* what) {
  const std::optional<int32_t> value = int32FromText(text);
  if (!value) malformed(options, line, std::string(what) + " \"" + text + "\" is not a 32-bit integer");
  return *value;
}

// The key of a row, from its text: escaped, or raw bytes from a CSV field.
Row rowFor(const BuildOptions& options, long line, const std::string& keyText, bool escaped,
           int32_t content) {
  Row row;
  row.content = content;
  if (options.longKeys) {
    row.longKey = integerField(options, line, keyText, "long key");
    return row;
  }
  const std::optional<std::string> key =
      escaped ? keyFromText(keyText, options.cp932)
              : options.cp932 ? encodeCp932(keyText) : std::optional<std::string>(keyText);
  if (!key || key->find('\0') != std::string::npos)
    malformed(options, line, options.cp932 ? "not a key: a broken escape, a NUL byte or a character "
                                             "Shift_JIS lacks"
                                           : "not a key: a broken escape or a NUL byte");
  if (key->size() > kel::kLongestStringKey) malformed(options, line, "key longer than 499999 bytes");
  row.key = *key;
  return row;
}

// ---- lines of key<TAB>content, and listings --------------------------------

bool readLine(std::istream& in, std::string& line) {
  if (!std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

std::vector<Row> readLines(const BuildOptions& options, std::istream& in) {
  std::vector<Row> rows;
  std::string line;
  long number = 0;
  bool listing = false;
  while (readLine(in, line)) {
    if (++number == 1 && line == kListingHeader) {
      listing = true;
      continue;
    }
    const std::vector<std::string> fields = split(line, '\t');
    if (listing) {
      if (fields.size() != 5) malformed(options, number, "a listing row has five fields");
      if ((fields[2] == "long") != options.longKeys)
        malformed(options, number, options.longKeys ? "a string key; the table is of long keys"
                                                    : "a long key; give --long for a table of long keys");
      rows.push_back(rowFor(options, number, fields[3], true,
                            integerField(options, number, fields[4], "content")));
    } else {
      if (fields.size() > 2) malformed(options, number, "more than a key and a content");
      const int32_t content =
          fields.size() == 2 ? integerField(options, number, fields[1], "content") : 0;
      rows.push_back(rowFor(options, number, fields[0], true, content));
    }
  }
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
  if (quoted) malformed(options, first, "a quoted field is not closed");
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
        malformed(options, start, "no column " + std::to_string(number));
      return fields[static_cast<std::size_t>(number) - 1];
    };
    const int32_t content = options.contentColumn == 0
                                ? 0
                                : integerField(options, start, column(options.contentColumn), "content");
    rows.push_back(rowFor(options, start, column(options.column), false, content));
  }
  return rows;
}

// ---- building ---------------------------------------------------------------

// The library keeps the first content of a repeated key; the table is sized
// for the distinct keys.
std::vector<Row> distinct(std::vector<Row> rows, bool longKeys) {
  std::unordered_set<std::string> strings;
  std::unordered_set<int32_t> longs;
  std::vector<Row> kept;
  for (Row& row : rows)
    if (longKeys ? longs.insert(row.longKey).second : strings.insert(row.key).second)
      kept.push_back(std::move(row));
  return kept;
}

void buildTable(const KelHashTableFun& ht, const std::vector<Row>& rows, bool longKeys) {
  std::vector<int> contents;
  std::vector<int> longs;
  std::vector<const char*> strings;
  for (const Row& row : rows) {
    contents.push_back(row.content);
    if (longKeys) longs.push_back(row.longKey);
    else strings.push_back(row.key.c_str());
  }
  const int count = static_cast<int>(rows.size());
  if (longKeys) ht.makeHashTableLng(longs.data(), count, contents.data());
  else ht.makeHashTableStrList(strings.data(), count, contents.data());
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
    file.open(options.input, std::ios::binary);
    if (!file) throw Failure(kTrouble, options.input + ": cannot open the file");
  }
  std::istream& in = options.input == "-" ? std::cin : file;
  const std::vector<Row> rows =
      distinct(options.csv ? readCsv(options, in) : readLines(options, in), options.longKeys);
  const KelHashTableFun& ht = *library;
  buildTable(ht, rows, options.longKeys);
  ht.dumpToRestartFile(options.out.c_str());
  ht.close();
  if (!holds(options.out, rows.size())) throw Failure(kTrouble, options.out + ": cannot write the file");
  return 0;
}

}  // namespace kelht
