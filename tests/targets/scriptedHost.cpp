// A host driven by a script: built for every target, it loads the library by
// path and makes the calls a script on standard input names, one per line,
// echoing each line ("> line") before the call and printing what came back.
// tests/run/transcript.py compares the transcript with the expected one.
//
//   scriptedHost LIBRARY < script
//
// Arguments: integers; strings bare or in double quotes with the escapes
// \\ \" \n \t \0 \xHH and a repetition suffix ("ab"*3 is "ababab"); lists
// in brackets ([a "b c" null] for strings, [1 2 5..9] for integers, a string
// item ending in {FROM..TO} is one item per number: [k{1..3}] is [k1 k2 k3]),
// repeated by a suffix ([a b]*2 is [a b a b]); null for a null pointer.
// Commands are the exports with their arguments, plus:
//   each FROM..TO LINE   LINE once for every number, {} in it replaced by it
//   contents             getAllValidContents alone (list calls both listings)
//   write PATH ITEM...   integers as 32-bit little-endian, #HH.. raw bytes,
//                        strings with their NUL
//   buckets              the bucket count and counter of the current table
//   hold PATH            opens PATH as fopen(PATH, "rb") does, until the end
//   records CELL...      the data set's record file: rows of 12 bytes, the
//                        integer cell at byte 4
//   cut BYTES            cuts the record file to its first BYTES bytes
//   cache FIRST CELL...  rows FIRST... held in memory
//   heap MEMORY FILE     the string heap: its part in memory, its part in the
//                        string file
//   strings OFFSET...    the string column's heap offsets
//   field NAME VALUE     rowCount, recordLength, recordFile or stringFile
//   seek records|strings OFFSET, tell records|strings
// checkRestartFile and makeHashTableFromBinFileChecked take a path, and null
// to pass no detail. A library that lacks the exports after the seventeen
// is named with the ones it lacks when it is loaded.
// The data set's columns: 0 strings, 1 integers (cell at byte 4), 2 another
// kind. makeHashTableDs takes ds (or null), the column and the contents.
#include <algorithm>
#include <cinttypes>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#define openForReading(path) _open((path), _O_RDONLY | _O_BINARY)
#define closeDescriptor _close
#define seekDescriptor _lseek
#else
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>
#define openForReading(path) open((path), O_RDONLY)
#define closeDescriptor close
#define seekDescriptor lseek
#endif

#include "kelHashTableFun.h"

// The records a host lays out: word k at byte k * sizeof(void*).
#define KEL_WORD(record, field, word)                                      \
  static_assert(offsetof(record, field) == sizeof(void*) * (word), #field); \
  static_assert(sizeof(record::field) == sizeof(void*), #field)
KEL_WORD(DataSet, rowCacheBase, 2);
KEL_WORD(DataSet, files, 3);
KEL_WORD(DataSet, rowCount, 6);
KEL_WORD(DataSet, columnKinds, 7);
KEL_WORD(DataSet, recordLength, 9);
KEL_WORD(DataSet, cachedRowCount, 10);
KEL_WORD(DataSet, firstCachedRow, 12);
KEL_WORD(DataSet, columnOffsets, 14);
KEL_WORD(DataSet, stringCounts, 17);
KEL_WORD(DataSet, stringOffsets, 21);
KEL_WORD(DataSet, stringHeapMemoryLength, 23);
KEL_WORD(DataSet, stringHeapMemoryBase, 24);
KEL_WORD(DataSetFiles, recordFile, 1);
KEL_WORD(DataSetFiles, stringFile, 2);
static_assert(sizeof(DataSet) == sizeof(void*) * 25 && sizeof(DataSetFiles) == sizeof(void*) * 3,
              "record sizes");
static_assert(sizeof(KelHashTableFunFileCheck) == 32, "the same detail on every target");

namespace {

KelHashTableFun ht;

struct Token {
  std::string text;
  bool quoted;
};

[[noreturn]] void scriptError(const std::string& what) {
  std::printf("script error: %s\n", what.c_str());
  std::exit(2);
}

// One quoted part at line[i], with its escapes and its repetition; i moves
// past it.
std::string quotedPart(const std::string& line, std::size_t& i) {
  std::string text;
  for (++i; i < line.size() && line[i] != '"'; ++i) {
    if (line[i] != '\\') {
      text += line[i];
      continue;
    }
    const char e = line[++i];
    if (e == 'x') text += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16)), i += 2;
    else text += e == 'n' ? '\n' : e == 't' ? '\t' : e == '0' ? '\0' : e;
  }
  if (++i < line.size() && line[i] == '*') {
    const std::size_t end = line.find_first_of(" \"[]", i);
    const long times = std::stol(line.substr(i + 1, end - i - 1));
    const std::string unit = text;
    for (text.clear(); text.size() < unit.size() * times;) text += unit;
    i = end == std::string::npos ? line.size() : end;
  }
  return text;
}

// Adjacent quoted parts make one string: "ab"*2"c" is "ababc".
std::vector<Token> tokenize(const std::string& line) {
  std::vector<Token> tokens;
  for (std::size_t i = 0; i < line.size();) {
    const char c = line[i];
    if (c == ' ') {
      ++i;
    } else if (c == '[' || c == ']') {
      tokens.push_back({std::string(1, c), false}), ++i;
    } else if (c != '"') {
      const std::size_t end = line.find_first_of(" []", i);
      tokens.push_back({line.substr(i, end - i), false});
      i = end == std::string::npos ? line.size() : end;
    } else {
      std::string text;
      while (i < line.size() && line[i] == '"') text += quotedPart(line, i);
      tokens.push_back({text, true});
    }
  }
  return tokens;
}

// The arguments of one command, read left to right. Lists keep their storage
// alive until the command is done.
class Arguments {
 public:
  explicit Arguments(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

  const Token& next() {
    if (at_ == tokens_.size()) scriptError("missing argument");
    return tokens_[at_++];
  }
  bool isNull() const { return at_ < tokens_.size() && !tokens_[at_].quoted && tokens_[at_].text == "null"; }
  bool more() const { return at_ < tokens_.size(); }
  std::string text() { return next().text; }
  int integer() { return static_cast<int>(std::stoll(next().text, nullptr, 0)); }
  const char* key() { return isNull() ? (next(), nullptr) : keep(text()); }

  // A bracketed list of strings, or null.
  const char** strings() {
    if (isNull()) return next(), nullptr;
    std::vector<const char*>& list = listsOfStrings_.emplace_back();
    for (open(); !closing();) {
      const char* item = key();
      long long v = 0, to = -1;
      int used = 0;
      const char* range = item != nullptr ? std::strrchr(item, '{') : nullptr;
      if (range == nullptr || std::sscanf(range, "{%lld..%lld}%n", &v, &to, &used) != 2 || range[used] != '\0')
        list.push_back(item);
      else
        for (; v <= to; ++v) list.push_back(keep(std::string(item, range) + std::to_string(v)));
    }
    return repeated(list).data();
  }
  // A bracketed list of integers (with ranges FROM..TO), or null.
  int* integers() {
    if (isNull()) return next(), nullptr;
    std::vector<int>& list = listsOfIntegers_.emplace_back();
    for (open(); !closing();) {
      const std::string item = text();
      const std::size_t dots = item.find("..");
      const long long from = std::stoll(item.substr(0, dots));
      const long long to = dots == std::string::npos ? from : std::stoll(item.substr(dots + 2));
      for (long long v = from; v <= to; ++v) list.push_back(static_cast<int>(v));
    }
    return repeated(list).data();
  }
  std::vector<int> rest() {
    std::vector<int> values;
    while (more()) values.push_back(integer());
    return values;
  }

 private:
  const char* keep(std::string s) { return kept_.emplace_back(std::move(s)).c_str(); }
  void open() {
    if (next().text != "[") scriptError("a list starts with [");
  }
  bool closing() {
    if (!more() || tokens_[at_].quoted || tokens_[at_].text != "]") return false;
    return ++at_, true;
  }
  // The list just closed, times the repetition suffix that follows it.
  template <typename T>
  std::vector<T>& repeated(std::vector<T>& list) {
    if (!more() || tokens_[at_].quoted || tokens_[at_].text[0] != '*') return list;
    const std::size_t unit = list.size(), total = unit * std::stoul(next().text.substr(1));
    for (list.reserve(total); list.size() < total;) list.push_back(list[list.size() - unit]);
    return list;
  }

  std::vector<Token> tokens_;
  std::size_t at_ = 0;
  std::deque<std::string> kept_;
  std::deque<std::vector<const char*>> listsOfStrings_;
  std::deque<std::vector<int>> listsOfIntegers_;
};

void writeFile(const std::string& path, const std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
    scriptError("cannot write " + path);
  std::fclose(f);
}

std::string int32Bytes(int32_t value) {
  std::string bytes;
  for (int shift = 0; shift < 32; shift += 8)
    bytes += static_cast<char>(static_cast<uint32_t>(value) >> shift);
  return bytes;
}

// A key in quotes, bytes other than printable ASCII as \xHH; a long key by
// its first bytes and its length.
void printKey(const char* key) {
  const std::size_t length = std::strlen(key);
  std::putchar('"');
  for (std::size_t i = 0; i < length && i < (length <= 64 ? length : 20); ++i) {
    const auto c = static_cast<unsigned char>(key[i]);
    if (c >= 0x20 && c < 0x7F) std::putchar(c);
    else std::printf("\\x%02x", c);
  }
  if (length <= 64) std::putchar('"');
  else std::printf("...\" (%lu bytes)", static_cast<unsigned long>(length));
}

// ---- the data set ---------------------------------------------------------

constexpr int kRecordLength = 12;

struct HostDataSet {
  DataSet ds{};
  DataSetFiles files{};
  int32_t kinds[3] = {1, 2, 7};
  int32_t offsets[3] = {0, 4, 8};
  int32_t counts[3] = {0, 0, 0};
  const int32_t* stringOffsetsByColumn[3] = {nullptr, nullptr, nullptr};
  std::vector<int32_t> stringOffsets;
  std::string records, cache, heapMemory;

  HostDataSet() {
    ds.files = &files;
    ds.columnKinds = kinds;
    ds.columnOffsets = offsets;
    ds.stringCounts = counts;
    ds.stringOffsets = stringOffsetsByColumn;
    ds.recordLength = kRecordLength;
    files.recordFile = files.stringFile = -1;
  }
  static std::string row(int32_t cell) {
    return std::string(4, '\xA5') + int32Bytes(cell) + std::string(4, '\xA5');
  }
  static void reopen(intptr_t& word, const char* path, const std::string& bytes) {
    if (word >= 0) closeDescriptor(static_cast<int>(word));
    writeFile(path, bytes);
    word = openForReading(path);
  }
  intptr_t& descriptor(const std::string& which) {
    return which == "records" ? files.recordFile : files.stringFile;
  }

  void run(const std::string& command, Arguments& a) {
    if (command == "records") {
      records.clear();
      for (int cell : a.rest()) records += row(cell);
      reopen(files.recordFile, "records.bin", records);
      ds.rowCount = static_cast<intptr_t>(records.size() / kRecordLength);
    } else if (command == "cut") {
      reopen(files.recordFile, "records.bin", records.substr(0, a.integer()));
    } else if (command == "cache") {
      ds.firstCachedRow = a.integer();
      const std::vector<int> cells = a.rest();
      cache.clear();
      for (int cell : cells) cache += row(cell);
      ds.rowCacheBase = cache.data();
      ds.cachedRowCount = static_cast<intptr_t>(cells.size());
    } else if (command == "heap") {
      heapMemory = a.text();
      reopen(files.stringFile, "strings.bin", a.text());
      ds.stringHeapMemoryBase = heapMemory.data();
      ds.stringHeapMemoryLength = static_cast<intptr_t>(heapMemory.size());
    } else if (command == "strings") {
      stringOffsets.clear();
      for (int offset : a.rest()) stringOffsets.push_back(offset);
      stringOffsetsByColumn[0] = stringOffsets.data();
      counts[0] = static_cast<int32_t>(stringOffsets.size());
    } else if (command == "field") {
      const std::string name = a.text();
      intptr_t& word = name == "rowCount" ? ds.rowCount
                       : name == "recordLength" ? ds.recordLength
                       : descriptor(name == "recordFile" ? "records" : "strings");
      word = static_cast<intptr_t>(static_cast<uint32_t>(a.integer()));  // the low 32 bits
      if (name.find("File") != std::string::npos) word = static_cast<int32_t>(word);
    } else if (command == "seek") {
      const std::string which = a.text();
      seekDescriptor(static_cast<int>(descriptor(which)), a.integer(), SEEK_SET);
    } else if (command == "tell") {
      std::printf("%ld\n", static_cast<long>(seekDescriptor(static_cast<int>(descriptor(a.text())), 0, SEEK_CUR)));
    } else {
      scriptError("unknown command " + command);
    }
  }
};

HostDataSet dataSet;

// ---- the exports ------------------------------------------------------------

void search(Arguments& a, bool strings) {
  const char** keys = strings ? a.strings() : nullptr;
  const int* longKeys = strings ? nullptr : a.integers();
  const int count = a.integer();
  const std::size_t n = count > 0 ? static_cast<std::size_t>(count) : 0;
  std::vector<char> found(n, 9);
  std::vector<int> contents(n, -7777);
  char* foundArgument = a.isNull() ? (a.next(), nullptr) : found.data();
  int* contentsArgument = a.isNull() ? (a.next(), nullptr) : contents.data();
  if (strings) ht.searchStrList(keys, count, foundArgument, contentsArgument);
  else ht.searchLng(longKeys, count, foundArgument, contentsArgument);
  for (std::size_t i = 0; i < n; ++i) {
    std::printf("  ");
    if (keys == nullptr && longKeys == nullptr) std::printf("#%lu", static_cast<unsigned long>(i));
    else if (strings && keys[i] == nullptr) std::printf("null");
    else if (strings) printKey(keys[i]);
    else std::printf("%d", longKeys[i]);
    std::printf(" found=%d content=%d\n", found[i], contents[i]);
  }
}

void removeKey(Arguments& a, bool strings) {
  const char* key = strings ? a.key() : nullptr;
  const int longKey = strings ? 0 : a.integer();
  const bool filtered = !a.isNull();
  int content = filtered ? a.integer() : (a.next(), 0);
  if (strings) ht.removeOneStr(key, filtered ? &content : nullptr);
  else ht.removeOneLng(longKey, filtered ? &content : nullptr);
  if (filtered) std::printf("  -> %d\n", content);
}

// The full listing, then the contents-only one checked against it (so a
// fatal report from the second comes after the first is printed); the
// arrays have one slot more than the count, which is written here. The
// short listing goes back with the host's free, as hosts of the original
// library release it, the full one with the library's.
void list() {
  int count = -1, fullCount = -1, sentinel = 0;
  int* contents = &sentinel;
  int* fullContents = &sentinel;
  int* longKeys = &sentinel;
  char* noKey = nullptr;
  char** stringKeys = &noKey;
  ht.getAllValidFullContents(&fullCount, &fullContents, &stringKeys, &longKeys);
  if (fullContents == &sentinel) {
    std::printf("  untouched: count %d, arrays %s\n", fullCount,
                stringKeys == &noKey && longKeys == &sentinel ? "as they were" : "written");
    return;
  }
  std::printf("  %d entries\n", fullCount);
  for (int i = 0; i < fullCount; ++i) {
    std::printf("  %d ", fullContents[i]);
    if (stringKeys[i] == nullptr) std::printf("long %d\n", longKeys[i]);
    else printKey(stringKeys[i]), std::printf(longKeys[i] == 0 ? "\n" : " long %d\n", longKeys[i]);
    ht.freeHashTableMemory(stringKeys[i]);
  }
  std::fflush(stdout);
  ht.getAllValidContents(&count, &contents);
  const bool agree = count == fullCount && std::equal(fullContents, fullContents + fullCount, contents);
  if (!agree) std::printf("  the listings disagree\n");
  contents[fullCount] = fullContents[fullCount] = longKeys[fullCount] = 0;
  stringKeys[fullCount] = nullptr;
  std::free(contents);
  ht.freeHashTableMemory(fullContents);
  ht.freeHashTableMemory(stringKeys);
  ht.freeHashTableMemory(longKeys);
}

void checkFile(Arguments& a, kelHashTableFun_checkRestartFile* check) {
  static const char* const statuses[] = {"sound", "not opened", "damaged", "inconsistent"};
  const char* path = a.key();
  const bool detailed = !a.isNull();
  if (!detailed) a.next();
  KelHashTableFunFileCheck d;
  std::memset(&d, 0xFF, sizeof d);  // a field left unwritten shows as -1
  const int status = check(path, detailed ? &d : nullptr);
  std::printf("  %s", status >= 0 && status < 4 ? statuses[status] : "?");
  if (detailed)
    std::printf(": damage %d offset %d buckets %d counter %d entries %d misplaced %d trailing %d%s",
                d.damage, d.offset, d.buckets, d.counter, d.entries, d.misplaced, d.trailing,
                d.status == status ? "" : " (another status in the detail)");
  std::printf("\n");
}

void printLastDumpOutcome() {
  static const char* const outcomes[] = {"none", "landed", "not opened", "failed, kept",
                                         "failed, truncated"};
  const int outcome = ht.getLastDumpOutcome();
  std::printf("  %s\n", outcome >= 0 && outcome < 5 ? outcomes[outcome] : "?");
}

// The loader leaves the exports after the seventeen null in an older library.
void nameAbsentExports() {
  const std::pair<const char*, bool> added[] = {
      {"checkRestartFile", ht.checkRestartFile != nullptr},
      {"makeHashTableFromBinFileChecked", ht.makeHashTableFromBinFileChecked != nullptr},
      {"getLastDumpOutcome", ht.getLastDumpOutcome != nullptr},
      {"freeHashTableMemory", ht.freeHashTableMemory != nullptr}};
  for (const auto& [name, present] : added)
    if (!present) std::printf("the library lacks %s\n", name);
}

// getAllValidContents alone: the count, then every content.
void listContents() {
  int count = -1, sentinel = 0, *contents = &sentinel;
  ht.getAllValidContents(&count, &contents);
  std::printf("  %d:", count);
  for (int i = 0; contents != &sentinel && i < count; ++i) std::printf(" %d", contents[i]);
  std::printf("\n");
  if (contents != &sentinel) std::free(contents);
}

void writeItems(Arguments& a) {
  const std::string path = a.text();
  std::string bytes;
  while (a.more()) {
    const Token& item = a.next();
    if (item.quoted) bytes += item.text + '\0';
    else if (item.text[0] == '#')
      for (std::size_t i = 1; i + 1 < item.text.size(); i += 2)
        bytes += static_cast<char>(std::stoi(item.text.substr(i, 2), nullptr, 16));
    else bytes += int32Bytes(static_cast<int32_t>(std::stoll(item.text, nullptr, 0)));
  }
  writeFile(path, bytes);
}

void printBuckets() {
  ht.dumpToRestartFile("buckets.tmp");
  int32_t header[2] = {0, 0};
  std::FILE* f = std::fopen("buckets.tmp", "rb");
  const bool read = f != nullptr && std::fread(header, sizeof header, 1, f) == 1;
  if (f != nullptr) std::fclose(f);
  std::remove("buckets.tmp");
  if (read) std::printf("  buckets %d counter %d\n", header[0], header[1]);
  else std::printf("  no table\n");
}

// Lets a test's allocation-failure shim, when one is preloaded, count only
// the allocations made during calls into the library.
void armAllocationFailures(bool armed) {
#if defined(__linux__)
  using Arm = void (*)(int);
  static const auto arm = reinterpret_cast<Arm>(dlsym(RTLD_DEFAULT, "kelArmAllocationFailures"));
  if (arm != nullptr) arm(armed);
#else
  (void)armed;
#endif
}

void run(const std::string& command, Arguments& a) {
  armAllocationFailures(true);
  if (command == "makeHashTableStrList") {
    const char** keys = a.strings();
    const int count = a.integer();
    ht.makeHashTableStrList(keys, count, a.integers());
  } else if (command == "makeHashTableLng") {
    const int* keys = a.integers();
    const int count = a.integer();
    ht.makeHashTableLng(keys, count, a.integers());
  } else if (command == "makeHashTableStr") {
    const char* list = a.key();
    ht.makeHashTableStr(list, a.integers());
  } else if (command == "makeHashTableDs") {
    const DataSet* ds = a.isNull() ? (a.next(), nullptr) : (a.next(), &dataSet.ds);
    const int column = a.integer();
    ht.makeHashTableDs(ds, column, a.integers());
  } else if (command == "makeHashTableFromBinFile") {
    ht.makeHashTableFromBinFile(a.key());
  } else if (command == "dumpToRestartFile") {
    ht.dumpToRestartFile(a.key());
  } else if (command == "checkRestartFile") {
    checkFile(a, ht.checkRestartFile);
  } else if (command == "makeHashTableFromBinFileChecked") {
    checkFile(a, ht.makeHashTableFromBinFileChecked);
  } else if (command == "getLastDumpOutcome") {
    printLastDumpOutcome();
  } else if (command == "addOneStr" || command == "setContentStr") {
    const char* key = a.key();
    (command == "addOneStr" ? ht.addOneStr : ht.setContentStr)(key, a.integer());
  } else if (command == "addOneLng" || command == "setContentLng") {
    const int key = a.integer();
    (command == "addOneLng" ? ht.addOneLng : ht.setContentLng)(key, a.integer());
  } else if (command == "removeOneStr" || command == "removeOneLng") {
    removeKey(a, command == "removeOneStr");
  } else if (command == "searchStrList" || command == "searchLng") {
    search(a, command == "searchStrList");
  } else if (command == "list") {
    list();
  } else if (command == "contents") {
    listContents();
  } else if (command == "close") {
    ht.close();
  } else {
    armAllocationFailures(false);
    if (command == "write") writeItems(a);
    else if (command == "buckets") printBuckets();
    else if (command == "hold") std::fopen(a.text().c_str(), "rb");
    else dataSet.run(command, a);
  }
  armAllocationFailures(false);
}

// One line of the script: "each FROM..TO LINE" runs LINE once for every
// number, with {} in it replaced by the number.
void runLine(const std::string& line) {
  long long v = 0, to = -1;
  int used = 0;
  if (std::sscanf(line.c_str(), "each %lld..%lld %n", &v, &to, &used) == 2 && used > 0) {
    for (; v <= to; ++v) {
      std::string body = line.substr(static_cast<std::size_t>(used));
      for (std::size_t at = body.find("{}"); at != std::string::npos; at = body.find("{}", at))
        body.replace(at, 2, std::to_string(v));
      runLine(body);
    }
    return;
  }
  Arguments arguments(tokenize(line));
  run(arguments.text(), arguments);
  if (arguments.more()) scriptError("too many arguments");
}

#if defined(_WIN32)
// Without a display no message box can be seen. The DLL's imports of
// MessageBoxA and OutputDebugStringA are redirected here: what the box would
// show goes to stderr as the Linux build writes it ("caption: text\n"), and
// OK is pressed; the debugger output before it must be that same line.
std::string debugOutput;

void WINAPI recordDebugOutput(LPCSTR text) { debugOutput += text; }

int WINAPI recordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (owner != nullptr || type != MB_OK) std::fprintf(stderr, "unexpected owner or type %u\n", type);
  const std::string line = std::string(caption) + ": " + text + "\n";
  if (debugOutput != line) std::fprintf(stderr, "debugger output: \"%s\"\n", debugOutput.c_str());
  debugOutput.clear();
  std::fputs(line.c_str(), stderr);
  std::fflush(stderr);
  return IDOK;
}

void redirectImport(HMODULE module, const char* dll, const char* function, const void* replacement) {
  auto* base = reinterpret_cast<unsigned char*>(module);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name != 0; ++d) {
    if (_stricmp(reinterpret_cast<const char*>(base + d->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* name = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(name->Name), function) != 0) continue;
      DWORD old;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      return;
    }
  }
  std::fprintf(stderr, "the library does not import %s from %s\n", function, dll);
}
#endif

}  // namespace

int main(int argc, char** argv) {
#if defined(_WIN32)
  // Transcripts are compared byte for byte: no CR before each LF.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  if (argc != 2) {
    std::fprintf(stderr, "usage: scriptedHost LIBRARY < script\n");
    return 2;
  }
  if (!kelHashTableFunLoad(&ht, argv[1])) {
    std::printf("cannot load the library: %s%s\n", ht.error, ht.library ? " (yet it stays loaded)" : "");
    return 2;
  }
  nameAbsentExports();
#if defined(_WIN32)
  redirectImport(static_cast<HMODULE>(ht.library), "USER32.dll", "MessageBoxA",
                 reinterpret_cast<const void*>(recordMessageBox));
  redirectImport(static_cast<HMODULE>(ht.library), "KERNEL32.dll", "OutputDebugStringA",
                 reinterpret_cast<const void*>(recordDebugOutput));
#endif
  char buffer[1 << 16];
  std::string line;
  while (std::fgets(buffer, sizeof buffer, stdin) != nullptr) {
    line += buffer;
    if (line.back() != '\n' && !std::feof(stdin)) continue;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    if (!line.empty()) std::printf("> %s\n", line.c_str());
    std::fflush(stdout);
    if (!line.empty() && line[0] != '#') runLine(line);
    std::fflush(stdout);
    line.clear();
  }
  ht.close();  // as a host does before it ends
  return 0;
}
