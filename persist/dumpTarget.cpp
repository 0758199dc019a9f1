#include "persist/dumpTarget.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/memory.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kel {

namespace {

constexpr int kNameAttempts = 100;

char* copyOf(const char* text) {
  const std::size_t bytes = std::strlen(text) + 1;
  return static_cast<char*>(std::memcpy(allocateOrDie(bytes), text, bytes));
}

// "<file>.<pid>-<n>.tmp"
char* temporaryName(const char* file, long processId, int n) {
  const std::size_t bytes = std::strlen(file) + 48;
  char* name = static_cast<char*>(allocateOrDie(bytes));
  std::snprintf(name, bytes, "%s.%ld-%d.tmp", file, processId, n);
  return name;
}

// A stream over a descriptor, so that it is closed through stdio: on Linux
// the library exports a function named close, so it never calls one itself.
std::FILE* streamOver(int descriptor) {
  if (descriptor < 0) return nullptr;
  std::FILE* stream = fdopen(descriptor, "wb");  // "wb" on a descriptor truncates nothing
  if (stream == nullptr) outOfMemory();
  return stream;
}

#if defined(_WIN32)
long processId() { return static_cast<long>(_getpid()); }

int openForWriting(const char* path, bool exclusive) {
  return _open(path, _O_WRONLY | _O_CREAT | _O_BINARY | _O_NOINHERIT | (exclusive ? _O_EXCL : 0),
               _S_IREAD | _S_IWRITE);
}

HANDLE handleOf(std::FILE* stream) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))); }

bool isReplaceable(std::FILE* target) {
  BY_HANDLE_FILE_INFORMATION info;
  const HANDLE handle = handleOf(target);
  return GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && info.nNumberOfLinks == 1;
}

// Windows links are rare and MoveFileExA treats them itself.
char* resolvedPath(const char* path) { return copyOf(path); }

// The access rights of a Windows file belong to its folder's defaults.
bool takeOwnerAndMode(std::FILE*, std::FILE*) { return true; }

void emptyInPlace(std::FILE* stream) { (void)_chsize(_fileno(stream), 0); }

bool flushToDisk(std::FILE* stream) {
  return std::fflush(stream) == 0 && FlushFileBuffers(handleOf(stream)) != 0;
}

// A plain rename fails when the target exists.
bool replace(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void syncDirectoryOf(const char*) {}
#else
long processId() { return static_cast<long>(getpid()); }

int openForWriting(const char* path, bool exclusive) {
  return ::open(path, O_WRONLY | O_CREAT | O_CLOEXEC | (exclusive ? O_EXCL : 0), 0666);
}

bool isReplaceable(std::FILE* target) {
  struct stat status;
  return fstat(fileno(target), &status) == 0 && S_ISREG(status.st_mode) && status.st_nlink == 1;
}

char* resolvedPath(const char* path) {
  char* resolved = realpath(path, nullptr);
  if (resolved == nullptr && errno == ENOMEM) outOfMemory();
  return resolved;
}

// The temporary file takes the target's owner, group and permission bits;
// false when it cannot (another user's file, for a host that is not root).
bool takeOwnerAndMode(std::FILE* temporary, std::FILE* target) {
  struct stat status;
  return fstat(fileno(target), &status) == 0 &&
         fchown(fileno(temporary), status.st_uid, status.st_gid) == 0 &&
         fchmod(fileno(temporary), status.st_mode & 07777) == 0;
}

// A FIFO or a device has nothing to truncate.
void emptyInPlace(std::FILE* stream) { (void)ftruncate(fileno(stream), 0); }

bool flushToDisk(std::FILE* stream) { return std::fflush(stream) == 0 && fsync(fileno(stream)) == 0; }

bool replace(const char* from, const char* to) { return std::rename(from, to) == 0; }

// Makes the rename itself durable.
void syncDirectoryOf(const char* file) {
  char* directory = copyOf(file);
  char* slash = std::strrchr(directory, '/');
  if (slash != nullptr) slash[slash == directory ? 1 : 0] = '\0';
  if (DIR* dir = opendir(slash != nullptr ? directory : ".")) {
    (void)fsync(dirfd(dir));
    closedir(dir);
  }
  std::free(directory);
}
#endif

// Files to remove when the process exits after a fatal report.
char* pendingRemovals[2] = {nullptr, nullptr};

void removePending() {
  for (char* path : pendingRemovals)
    if (path != nullptr) std::remove(path);
}

}  // namespace

DumpTarget::~DumpTarget() {
  abandon();
  std::free(path_);
  std::free(resolved_);
}

bool DumpTarget::open(const char* path) {
  int descriptor = openForWriting(path, true);
  created_ = descriptor >= 0;
  if (descriptor < 0 && errno == EEXIST) descriptor = openForWriting(path, false);
  stream_ = streamOver(descriptor);
  if (stream_ == nullptr) return false;
  path_ = copyOf(path);
  return true;
}

std::FILE* DumpTarget::startWriting() {
  if (isReplaceable(stream_)) {
    if (std::FILE* temporary = createTemporaryFile()) {
      std::fclose(stream_);
      return stream_ = temporary;
    }
  }
  emptyInPlace(stream_);
  return stream_;
}

// Null when no temporary file can be made beside the target, or when it
// cannot take the target's owner and mode.
std::FILE* DumpTarget::createTemporaryFile() {
  resolved_ = resolvedPath(path_);
  if (resolved_ == nullptr) return nullptr;
  std::FILE* temporary = nullptr;
  for (int n = 0; n < kNameAttempts && temporary == nullptr; ++n) {
    std::free(temporary_);
    temporary_ = temporaryName(resolved_, processId(), n);
    errno = 0;
    temporary = streamOver(openForWriting(temporary_, true));
    if (temporary == nullptr && errno != EEXIST) break;
  }
  if (temporary != nullptr && takeOwnerAndMode(temporary, stream_)) return temporary;
  if (temporary != nullptr) {
    std::fclose(temporary);
    std::remove(temporary_);
  }
  std::free(temporary_);
  temporary_ = nullptr;
  return nullptr;
}

bool DumpTarget::commit() {
  if (stream_ == nullptr) return false;
  if (temporary_ == nullptr) {
    const bool closed = std::fclose(stream_) == 0;
    stream_ = nullptr;
    created_ = false;
    return closed;
  }
  const bool flushed = flushToDisk(stream_);
  const bool closed = std::fclose(stream_) == 0;
  stream_ = nullptr;
  if (!flushed || !closed || !replace(temporary_, resolved_)) {
    abandon();
    return false;
  }
  std::free(temporary_);
  temporary_ = nullptr;
  created_ = false;
  syncDirectoryOf(resolved_);
  return true;
}

void DumpTarget::abandon() {
  if (stream_ != nullptr) std::fclose(stream_);
  stream_ = nullptr;
  removeLeftovers();
}

void DumpTarget::removeLeftovers() {
  if (temporary_ != nullptr) std::remove(temporary_);
  if (created_) std::remove(path_);
  std::free(temporary_);
  temporary_ = nullptr;
  created_ = false;
}

void DumpTarget::removeAtExit() {
  static const bool registered = std::atexit(removePending) == 0;
  (void)registered;
  pendingRemovals[0] = temporary_;
  pendingRemovals[1] = created_ ? copyOf(path_) : nullptr;
  temporary_ = nullptr;
  created_ = false;
}

}  // namespace kel
