// The Windows half of DumpTarget. It imports nothing newer than Windows XP:
// GetFinalPathNameByHandleA (Vista) is looked up when first needed, and
// without it the path is taken as given (XP has no symbolic links to files).
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/memory.h"
#include "persist/dumpTarget.h"
#include "persist/temporaryName.h"

namespace kel {

namespace {

constexpr int kNameAttempts = 100;
constexpr std::size_t kPathBytes = 32768;  // the longest path Windows takes, with its NUL
constexpr std::size_t kTemporaryPathBytes = kPathBytes + 48;
constexpr DWORD kNotOpenedByWriters = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

std::FILE* streamOver(int descriptor, const char* mode) {
  if (descriptor < 0) return nullptr;
  std::FILE* stream = _fdopen(descriptor, mode);
  if (stream == nullptr) outOfMemory();
  return stream;
}

int openForWriting(const char* path, int flags) {
  return _open(path, _O_WRONLY | _O_BINARY | _O_NOINHERIT | flags, _S_IREAD | _S_IWRITE);
}

HANDLE handleOf(std::FILE* stream) { return reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream))); }

bool informationOf(HANDLE file, BY_HANDLE_FILE_INFORMATION* information) {
  return GetFileInformationByHandle(file, information) != 0;
}

bool sameFile(const BY_HANDLE_FILE_INFORMATION& a, const BY_HANDLE_FILE_INFORMATION& b) {
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow;
}

// Whether `path` names the file `opened` describes, and can be opened with
// `access`.
bool pathNames(const char* path, const BY_HANDLE_FILE_INFORMATION& opened, DWORD access) {
  const HANDLE file = CreateFileA(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  BY_HANDLE_FILE_INFORMATION named;
  const bool same = informationOf(file, &named) && sameFile(named, opened);
  CloseHandle(file);
  return same;
}

// The whole file, exclusively, without waiting. Its writer's own writes go
// through the handle that holds the lock.
bool takeLock(std::FILE* stream) {
  OVERLAPPED from = {};
  return LockFileEx(handleOf(stream), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD,
                    MAXDWORD, &from) != 0;
}

using FinalPathName = DWORD(WINAPI*)(HANDLE, LPSTR, DWORD, DWORD);

FinalPathName finalPathName() {
  static const auto function = reinterpret_cast<FinalPathName>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "GetFinalPathNameByHandleA")));
  return function;
}

// The name of the file `stream` has open, links followed ("\\?\C:\..."), or
// the path as given.
bool locate(std::FILE* stream, const char* path, char* resolved) {
  const FinalPathName function = finalPathName();
  const DWORD length = function != nullptr ? function(handleOf(stream), resolved, kPathBytes, 0) : 0;
  if (length > 0 && length < kPathBytes) return true;
  const std::size_t bytes = std::strlen(path) + 1;
  if (bytes > kPathBytes) return false;
  std::memcpy(resolved, path, bytes);
  return true;
}

const char* lastComponent(const char* path) {
  const char* base = path;
  for (const char* at = path; *at != '\0'; ++at)
    if (*at == '\\' || *at == '/' || *at == ':') base = at + 1;
  return base;
}

}  // namespace

DumpTarget::DumpTarget() {
  names_ = static_cast<char*>(allocateOrDie(kPathBytes + 2 * kTemporaryPathBytes));
  resolved_ = names_;
  temporaryName_ = names_ + kPathBytes;
  strayPath_ = temporaryName_ + kTemporaryPathBytes;
}

// As on POSIX, a symbolic link to a file that does not exist yet refuses
// both opens, and the write creates that file. The attributes are read by
// name as well as by handle: wine shows a dot file as hidden by name only.
bool DumpTarget::openPath(const char* path) {
  int descriptor = openForWriting(path, _O_CREAT | _O_EXCL);
  created_ = descriptor >= 0;
  if (descriptor < 0 && errno == EEXIST) descriptor = openForWriting(path, 0);
  if (descriptor < 0 && errno == ENOENT) {
    descriptor = openForWriting(path, _O_CREAT);
    created_ = descriptor >= 0;
  }
  target_ = streamOver(descriptor, "wb");
  if (target_ == nullptr) return false;
  located_ = locate(target_, path, resolved_);
  if (located_) base_ = lastComponent(resolved_);
  BY_HANDLE_FILE_INFORMATION opened = {};
  const DWORD byName = located_ ? GetFileAttributesA(resolved_) : INVALID_FILE_ATTRIBUTES;
  DWORD attributes = byName != INVALID_FILE_ATTRIBUTES ? byName : 0;
  if (informationOf(handleOf(target_), &opened)) attributes |= opened.dwFileAttributes;
  if (created_ || (attributes & kNotOpenedByWriters) == 0) return true;
  closeTarget();
  return false;
}

bool DumpTarget::replaceable() const {
  const HANDLE file = handleOf(target_);
  BY_HANDLE_FILE_INFORMATION information;
  return GetFileType(file) == FILE_TYPE_DISK && informationOf(file, &information) &&
         (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && information.nNumberOfLinks == 1;
}

// A temporary file whose lock can be had has no writer any more.
void DumpTarget::removeStrays() {
  std::snprintf(strayPath_, kTemporaryPathBytes, "%s.*-*.tmp", resolved_);
  WIN32_FIND_DATAA found;
  const HANDLE search = FindFirstFileA(strayPath_, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  const std::size_t folderLength = static_cast<std::size_t>(base_ - resolved_);
  do {
    const std::size_t nameBytes = std::strlen(found.cFileName) + 1;
    if (!isTemporaryNameOf(found.cFileName, base_) || folderLength + nameBytes > kTemporaryPathBytes) continue;
    std::memcpy(strayPath_, resolved_, folderLength);
    std::memcpy(strayPath_ + folderLength, found.cFileName, nameBytes);
    std::FILE* stray = streamOver(_open(strayPath_, _O_RDONLY | _O_BINARY | _O_NOINHERIT), "rb");
    if (stray == nullptr) continue;
    const bool abandoned = takeLock(stray);
    std::fclose(stray);
    if (abandoned) std::remove(strayPath_);
  } while (FindNextFileA(search, &found));
  FindClose(search);
}

// The lock is taken at once and held until the file is closed for
// ReplaceFileA, so that no other dump takes it for a stray while it is
// written. ReplaceFileA keeps the target's attributes, ACL and streams:
// nothing is copied here.
bool DumpTarget::createTemporary() {
  int descriptor = -1;
  for (int n = 0; n < kNameAttempts && descriptor < 0; ++n) {
    if (!formatTemporaryName(temporaryName_, kTemporaryPathBytes, resolved_, static_cast<long>(_getpid()), n))
      return false;
    descriptor = openForWriting(temporaryName_, _O_CREAT | _O_EXCL);
    if (descriptor < 0 && errno != EEXIST) return false;
  }
  temporary_ = streamOver(descriptor, "wb");
  temporaryMade_ = temporary_ != nullptr;
  return temporaryMade_ && takeLock(temporary_);
}

// Setting the end of file allocates the room. The C runtime writes at the
// handle's position, which goes back to the start.
bool DumpTarget::reserveRoom(std::FILE* stream, int64_t bytes) {
  const HANDLE file = handleOf(stream);
  if (GetFileType(file) != FILE_TYPE_DISK) return true;
  LONG high = static_cast<LONG>(bytes >> 32);
  if (SetFilePointer(file, static_cast<LONG>(bytes & 0xFFFFFFFF), &high, FILE_BEGIN) == INVALID_SET_FILE_POINTER &&
      GetLastError() != NO_ERROR)
    return false;
  const bool reserved = SetEndOfFile(file) != 0;
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  return reserved;
}

// A device or share that cannot flush would not have flushed a plain write
// either.
bool DumpTarget::flushToDisk(std::FILE* stream) {
  if (std::fflush(stream) != 0) return false;
  if (FlushFileBuffers(handleOf(stream))) return true;
  const DWORD error = GetLastError();
  return error == ERROR_INVALID_FUNCTION || error == ERROR_NOT_SUPPORTED;
}

// ReplaceFileA opens both files for deletion, which the C runtime's handles
// do not share: both are closed first. When the target cannot be opened for
// deletion (a reader holds it, as fopen(path, "rb") opens it), ReplaceFileA
// is not tried (wine's leaves an empty "rf*.tmp" beside a file it fails to
// replace); when that or ReplaceFileA fails, the target is opened again, if
// the path still names it, to be written in place.
// ERROR_UNABLE_TO_MOVE_REPLACEMENT means the old file is gone already: the
// temporary file is renamed into its place, else the file is made anew and
// written, as a plain write would; when even that cannot be opened, the
// temporary file, the only copy of the bytes, is left where it is.
bool DumpTarget::replaceTarget() {
  BY_HANDLE_FILE_INFORMATION opened;
  if (!informationOf(handleOf(target_), &opened) || !pathNames(resolved_, opened, 0)) return false;
  std::fclose(temporary_);
  temporary_ = nullptr;
  closeTarget();
  if (pathNames(resolved_, opened, DELETE)) {
    if (ReplaceFileA(resolved_, temporaryName_, nullptr, 0, nullptr, nullptr)) {
      temporaryMade_ = false;
      return true;
    }
    if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT) return moveIntoLostPlace();
  }
  target_ = streamOver(openForWriting(resolved_, 0), "wb");
  BY_HANDLE_FILE_INFORMATION reopened;
  if (target_ != nullptr && !(informationOf(handleOf(target_), &reopened) && sameFile(reopened, opened)))
    closeTarget();
  return false;
}

bool DumpTarget::moveIntoLostPlace() {
  oldFileLost_ = true;
  temporaryMade_ = false;
  if (MoveFileExA(temporaryName_, resolved_, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
  target_ = streamOver(openForWriting(resolved_, _O_CREAT), "wb");
  if (target_ != nullptr) temporaryMade_ = true;
  return false;
}

void DumpTarget::cutAtWrittenEnd(std::FILE* stream) {
  const HANDLE file = handleOf(stream);
  if (GetFileType(file) == FILE_TYPE_DISK) SetEndOfFile(file);
}

void DumpTarget::removeTemporary() {
  if (temporary_ != nullptr) std::fclose(temporary_);
  temporary_ = nullptr;
  if (temporaryMade_) std::remove(temporaryName_);
  temporaryMade_ = false;
}

void DumpTarget::removeCreated() { std::remove(located_ ? resolved_ : path_); }

void DumpTarget::closeFolder() {}

}  // namespace kel
