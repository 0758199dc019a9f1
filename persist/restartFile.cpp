#include "persist/restartFile.h"

#include <climits>
#include <cstdio>
#include <cstring>

#include "persist/dumpTarget.h"
#include "persist/pathInMessage.h"
#include "persist/restartReader.h"
#include "persist/restartWriter.h"
#include "report/fatalReport.h"
#include "report/messages.h"

#if !defined(_WIN32)
#include <sys/stat.h>
#endif

namespace kel {

namespace {

[[noreturn]] void notFound(const char* path) {
  char shown[kFatalMessageBytes];
  pathInMessage(path, std::strlen(kRestartFileNotFoundFormat) - 2, shown);
  showFatal(nullptr, kRestartFileNotFoundFormat, shown);
}

// Offsets beyond the range of long (a 32-bit long and a file over 2 GiB)
// are shown as the largest long.
[[noreturn]] void damaged(const char* path, int64_t offset) {
  const long shownOffset = offset > LONG_MAX ? LONG_MAX : static_cast<long>(offset);
  const int otherBytes = std::snprintf(nullptr, 0, kRestartFileDamagedFormat, "", shownOffset);
  char shown[kFatalMessageBytes];
  pathInMessage(path, static_cast<std::size_t>(otherBytes), shown);
  showFatal(nullptr, kRestartFileDamagedFormat, shown, shownOffset);
}

// The file at `path` opened for reading; null when it cannot be, and for a
// folder, which POSIX systems open (Windows does not) but which holds no
// restart file.
std::FILE* openRestartFile(const char* path) {
  std::FILE* file = path != nullptr ? std::fopen(path, "rb") : nullptr;
#if !defined(_WIN32)
  struct stat status;
  if (file != nullptr && (fstat(fileno(file), &status) != 0 || S_ISDIR(status.st_mode))) {
    std::fclose(file);
    return nullptr;
  }
#endif
  return file;
}

// Builds the table of a file its check found sound, reading it again from
// its start.
HashTable* buildChecked(std::FILE* file, RestartCheck* check, void (*beforeLoading)()) {
  if (std::fseek(file, 0, SEEK_SET) != 0) {  // a pipe: what the check read is gone
    *check = notOpenedCheck();
    return nullptr;
  }
  beforeLoading();
  const RestartImage image = readRestartFile(file);
  if (image.table == nullptr) {  // only if another process wrote the file in place meanwhile
    check->status = RestartStatus::damaged;
    check->scan = {image.damage, image.damagedAt, false};
  }
  return image.table;
}

}  // namespace

// The dump's own allocations (the writer's buffer, the target's names) are
// made before the target is opened. A replacement that cannot be completed
// writes the table again, in place.
DumpOutcome dumpRestartFile(const HashTable& table, const char* path) {
  RestartWriter writer;
  DumpTarget target;
  if (!target.open(path)) return DumpOutcome::notOpened;  // nowhere to write: silently nothing
  return target.write(writer.write(table, nullptr).bytes, [&](std::FILE* file) {
    const RestartWrite written = writer.write(table, file);
    if (written.entries != table.counter())
      showFatal(target.handToFatalReport(), kCounterMismatchFormat, table.counter(),
                static_cast<int>(written.entries));
    return written.complete;
  });
}

HashTable* loadRestartFile(const char* path) {
  std::FILE* file = openRestartFile(path);
  if (file == nullptr) notFound(path != nullptr ? path : "");
  const RestartImage image = readRestartFile(file);
  std::fclose(file);
  if (image.table == nullptr) damaged(path, image.damagedAt);
  return image.table;
}

RestartCheck checkRestartFileAt(const char* path) {
  std::FILE* file = openRestartFile(path);
  if (file == nullptr) return notOpenedCheck();
  const RestartCheck check = checkRestartFile(file);
  std::fclose(file);
  return check;
}

HashTable* loadSoundRestartFile(const char* path, RestartCheck* check, void (*beforeLoading)()) {
  std::FILE* file = openRestartFile(path);
  if (file == nullptr) {
    *check = notOpenedCheck();
    return nullptr;
  }
  *check = checkRestartFile(file);
  HashTable* table =
      check->status == RestartStatus::sound ? buildChecked(file, check, beforeLoading) : nullptr;
  std::fclose(file);
  return table;
}

}  // namespace kel
