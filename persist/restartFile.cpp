#include "persist/restartFile.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "api/currentTable.h"
#include "api/fatal.h"
#include "persist/atomicFile.h"
#include "persist/pathInMessage.h"
#include "persist/restartReader.h"
#include "persist/restartWriter.h"

namespace kel {

namespace {

// "HashTable:binFileName=%s が見つかりません" in Shift_JIS.
const char kNotFound[] =
    "HashTable:binFileName=%s \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
// "HashTable:binFileName=%s が壊れています(offset=%ld)" in Shift_JIS.
const char kDamaged[] =
    "HashTable:binFileName=%s \x82\xaa\x89\xf3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb7"
    "(offset=%ld)";

[[noreturn]] void notFound(const char* path) {
  const std::string shown = pathInMessage(path, std::strlen(kNotFound) - 2);
  showFatal(nullptr, kNotFound, shown.c_str());
}

// Offsets beyond the range of long (a 32-bit long and a file over 2 GiB)
// are shown as the largest long.
[[noreturn]] void damaged(const char* path, int64_t offset) {
  const long shownOffset = offset > LONG_MAX ? LONG_MAX : static_cast<long>(offset);
  const int otherBytes = std::snprintf(nullptr, 0, kDamaged, "", shownOffset);
  const std::string shown = pathInMessage(path, static_cast<std::size_t>(otherBytes));
  showFatal(nullptr, kDamaged, shown.c_str(), shownOffset);
}

}  // namespace

void dumpCurrentTable(const char* path) {
  const HashTablePure* table = currentTable;
  if (table == nullptr || path == nullptr) return;
  ReplacingFile target;
  std::FILE* file = target.open(path);
  if (file == nullptr) return;  // nowhere to write: silently nothing
  const RestartWrite written = writeRestartFile(*table, file);
  if (written.entries != table->counter()) {
    // The previous file stays as it was; the temporary one goes once the
    // fatal report has closed it.
    target.removeAtExit();
    showFatal(file, kCounterMismatchFormat, table->counter(), static_cast<int>(written.entries));
  }
  if (written.complete) target.commit();
  else target.abandon();
}

void loadCurrentTable(const char* path) {
  std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
  if (file == nullptr) notFound(path != nullptr ? path : "");
  // The table being replaced is released first so its memory serves the new one.
  closeCurrentTable();
  loadFactor = 0.75;
  const RestartImage image = readRestartFile(file);
  std::fclose(file);
  if (image.table == nullptr) damaged(path, image.damagedAt);
  replaceCurrentTable(image.table);
}

}  // namespace kel
