#include "persist/restartFile.h"

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>

#include "persist/replacingFile.h"
#include "persist/pathInMessage.h"
#include "persist/restartReader.h"
#include "persist/restartWriter.h"
#include "report/fatalReport.h"
#include "report/messages.h"

namespace kel {

namespace {

[[noreturn]] void notFound(const char* path) {
  const std::string shown = pathInMessage(path, std::strlen(kRestartFileNotFoundFormat) - 2);
  showFatal(nullptr, kRestartFileNotFoundFormat, shown.c_str());
}

// Offsets beyond the range of long (a 32-bit long and a file over 2 GiB)
// are shown as the largest long.
[[noreturn]] void damaged(const char* path, int64_t offset) {
  const long shownOffset = offset > LONG_MAX ? LONG_MAX : static_cast<long>(offset);
  const int otherBytes = std::snprintf(nullptr, 0, kRestartFileDamagedFormat, "", shownOffset);
  const std::string shown = pathInMessage(path, static_cast<std::size_t>(otherBytes));
  showFatal(nullptr, kRestartFileDamagedFormat, shown.c_str(), shownOffset);
}

}  // namespace

void dumpRestartFile(const HashTable& table, const char* path) {
  if (path == nullptr) return;
  ReplacingFile target;
  std::FILE* file = target.open(path);
  if (file == nullptr) return;  // nowhere to write: silently nothing
  const RestartWrite written = writeRestartFile(table, file);
  if (written.entries != table.counter()) {
    // The previous file stays as it was; the temporary one goes once the
    // fatal report has closed it.
    target.removeAtExit();
    showFatal(file, kCounterMismatchFormat, table.counter(), static_cast<int>(written.entries));
  }
  if (written.complete) target.commit();
  else target.abandon();
}

HashTable* loadRestartFile(const char* path) {
  std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
  if (file == nullptr) notFound(path != nullptr ? path : "");
  const RestartImage image = readRestartFile(file);
  std::fclose(file);
  if (image.table == nullptr) damaged(path, image.damagedAt);
  return image.table;
}

}  // namespace kel
