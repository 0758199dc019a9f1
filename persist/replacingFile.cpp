#include "persist/replacingFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kel {

namespace {

constexpr int kNameAttempts = 100;

#if defined(_WIN32)
// createExclusive makes `name` only if it does not exist (errno EEXIST
// otherwise).
long processId() { return static_cast<long>(_getpid()); }

std::FILE* createExclusive(const char* name, const char*) {
  const int fd = _open(name, _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
  if (fd < 0) return nullptr;
  std::FILE* file = _fdopen(fd, "wb");
  if (file == nullptr) _close(fd);
  return file;
}

bool flushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  return FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)))) != 0;
}

// A plain rename fails when the target exists.
bool replace(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

void syncDirectoryOf(const std::string&) {}
#else
// Descriptors are only ever closed through stdio and dirent here: the
// library exports a function named close, so it never calls a function of
// that name itself.

long processId() { return static_cast<long>(getpid()); }

// The new file takes the permission bits of the file it replaces.
std::FILE* createExclusive(const char* name, const char* target) {
  std::FILE* file = std::fopen(name, "wbx");
  if (file == nullptr) return nullptr;
  struct stat old;
  if (::stat(target, &old) == 0 && S_ISREG(old.st_mode))
    (void)::fchmod(::fileno(file), old.st_mode & 07777);
  return file;
}

bool flushToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return false;
  return ::fsync(::fileno(file)) == 0;
}

bool replace(const char* from, const char* to) { return std::rename(from, to) == 0; }

// Makes the rename itself durable.
void syncDirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::string directory =
      slash == std::string::npos ? std::string(".") : path.substr(0, slash == 0 ? 1 : slash);
  if (DIR* dir = ::opendir(directory.c_str())) {
    (void)::fsync(::dirfd(dir));
    ::closedir(dir);
  }
}
#endif

// Temporary files still to remove when the process exits.
char* pendingRemoval = nullptr;

void removePending() {
  if (pendingRemoval != nullptr) std::remove(pendingRemoval);
}

}  // namespace

ReplacingFile::~ReplacingFile() { abandon(); }

std::FILE* ReplacingFile::open(const char* path) {
  target_ = path;
  const std::string stem = target_ + "." + std::to_string(processId()) + "-";
  for (int n = 0; n < kNameAttempts && file_ == nullptr; ++n) {
    temporary_ = stem + std::to_string(n) + ".tmp";
    errno = 0;
    file_ = createExclusive(temporary_.c_str(), path);
    if (file_ == nullptr && errno != EEXIST) break;
  }
  if (file_ == nullptr) {
    temporary_.clear();
    file_ = std::fopen(path, "wb");
  }
  return file_;
}

bool ReplacingFile::commit() {
  if (file_ == nullptr) return false;
  if (temporary_.empty()) {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    return closed;
  }
  const bool flushed = flushToDisk(file_);
  const bool closed = std::fclose(file_) == 0;
  file_ = nullptr;
  if (!flushed || !closed || !replace(temporary_.c_str(), target_.c_str())) {
    std::remove(temporary_.c_str());
    temporary_.clear();
    return false;
  }
  temporary_.clear();
  syncDirectoryOf(target_);
  return true;
}

void ReplacingFile::abandon() {
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) std::remove(temporary_.c_str());
  temporary_.clear();
}

void ReplacingFile::removeAtExit() {
  if (temporary_.empty()) return;
  std::free(pendingRemoval);
  pendingRemoval = static_cast<char*>(std::malloc(temporary_.size() + 1));
  if (pendingRemoval == nullptr) return;
  std::memcpy(pendingRemoval, temporary_.c_str(), temporary_.size() + 1);
  static const bool registered = std::atexit(removePending) == 0;
  (void)registered;
}

}  // namespace kel
