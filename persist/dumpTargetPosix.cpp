// The POSIX half of DumpTarget. The temporary file, its strays and the
// rename are reached through the folder's descriptor, so their names stay
// short whatever the path's length. Descriptors are closed through stdio: on
// Linux the library exports a function named close, so it never calls one
// itself.
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "core/memory.h"
#include "persist/dumpTarget.h"
#include "persist/temporaryName.h"

namespace kel {

namespace {

constexpr int kNameAttempts = 100;
constexpr std::size_t kTemporaryNameBytes = NAME_MAX + 48;

std::FILE* streamOver(int descriptor, const char* mode) {
  if (descriptor < 0) return nullptr;
  std::FILE* stream = fdopen(descriptor, mode);  // "wb" on a descriptor truncates nothing
  if (stream == nullptr) outOfMemory();
  return stream;
}

int openForWriting(const char* path, int flags) {
  return ::open(path, O_WRONLY | O_CLOEXEC | flags, 0666);
}

// An open-file-description lock where the kernel has them; otherwise a
// process lock, which this process never drops early: it opens no other
// descriptor of its temporary file.
bool takeLock(int descriptor, short type) {
  struct flock lock = {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
#if defined(F_OFD_SETLK)
  if (fcntl(descriptor, F_OFD_SETLK, &lock) == 0) return true;
  if (errno != EINVAL) return false;
#endif
  return fcntl(descriptor, F_SETLK, &lock) == 0;
}

// ---- extended attributes (ACLs and security labels among them) ----

constexpr std::size_t kNamesMax = 65536;   // XATTR_LIST_MAX
constexpr std::size_t kValueMax = 65536;   // XATTR_SIZE_MAX

// The file's attribute names, NUL-separated; none on a file system without
// them. -1 on an error.
ssize_t attributeNames(int descriptor, char* names, std::size_t size) {
  const ssize_t bytes = flistxattr(descriptor, names, size);
  return bytes < 0 && errno == ENOTSUP ? 0 : bytes;
}

bool listed(const char* names, ssize_t bytes, const char* name) {
  for (const char* at = names; at < names + bytes; at += std::strlen(at) + 1)
    if (std::strcmp(at, name) == 0) return true;
  return false;
}

// Gives `to` exactly the extended attributes of `from`: false when one
// cannot be read, set or removed.
bool copyExtendedAttributes(int from, int to) {
  if (attributeNames(from, nullptr, 0) == 0 && attributeNames(to, nullptr, 0) == 0) return true;
  char* fromNames = static_cast<char*>(allocateOrDie(2 * kNamesMax + kValueMax));
  char* toNames = fromNames + kNamesMax;
  char* value = toNames + kNamesMax;
  const ssize_t fromBytes = attributeNames(from, fromNames, kNamesMax);
  const ssize_t toBytes = attributeNames(to, toNames, kNamesMax);
  bool copied = fromBytes >= 0 && toBytes >= 0;
  for (const char* name = toNames; copied && name < toNames + toBytes; name += std::strlen(name) + 1)
    copied = listed(fromNames, fromBytes, name) || fremovexattr(to, name) == 0;  // an inherited default ACL
  for (const char* name = fromNames; copied && name < fromNames + fromBytes; name += std::strlen(name) + 1) {
    const ssize_t length = fgetxattr(from, name, value, kValueMax);
    copied = length >= 0 && fsetxattr(to, name, value, static_cast<std::size_t>(length), 0) == 0;
  }
  std::free(fromNames);
  return copied;
}

// The temporary file takes everything the target has; false when it cannot
// (another user's file, for a host that is not root; an attribute only a
// privileged process may set). The mode comes last: changing the owner
// clears set-id bits, and an ACL sets the group bits.
bool takeEverythingOf(int target, int temporary) {
  struct stat status;
  return fstat(target, &status) == 0 && fchown(temporary, status.st_uid, status.st_gid) == 0 &&
         copyExtendedAttributes(target, temporary) && fchmod(temporary, status.st_mode & 07777) == 0;
}

}  // namespace

DumpTarget::DumpTarget() {
  names_ = static_cast<char*>(allocateOrDie(PATH_MAX + kTemporaryNameBytes));
  resolved_ = names_;
  temporaryName_ = names_ + PATH_MAX;
}

// A symbolic link to a file that does not exist yet refuses the exclusive
// open (the link exists) and the plain one (its file does not): the write
// creates that file.
bool DumpTarget::openPath(const char* path) {
  int descriptor = openForWriting(path, O_CREAT | O_EXCL);
  created_ = descriptor >= 0;
  if (descriptor < 0 && errno == EEXIST) descriptor = openForWriting(path, 0);
  if (descriptor < 0 && errno == ENOENT) {
    descriptor = openForWriting(path, O_CREAT);
    created_ = descriptor >= 0;
  }
  target_ = streamOver(descriptor, "wb");
  if (target_ == nullptr) return false;
  located_ = realpath(path, resolved_) != nullptr;
  if (!located_) return true;
  char* slash = std::strrchr(resolved_, '/');
  *slash = '\0';
  folder_ = opendir(slash == resolved_ ? "/" : resolved_);
  *slash = '/';
  base_ = slash + 1;
  return true;
}

bool DumpTarget::replaceable() const {
  struct stat status;
  return folder_ != nullptr && fstat(fileno(target_), &status) == 0 && S_ISREG(status.st_mode) &&
         status.st_nlink == 1;
}

// A temporary file whose lock can be had has no writer any more. One the
// host cannot read is left alone.
void DumpTarget::removeStrays() {
  const int folder = dirfd(folder_);
  while (const dirent* entry = readdir(folder_)) {
    if (!isTemporaryNameOf(entry->d_name, base_)) continue;
    std::FILE* stray =
        streamOver(openat(folder, entry->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK), "rb");
    if (stray == nullptr) continue;
    struct stat status;
    if (fstat(fileno(stray), &status) == 0 && S_ISREG(status.st_mode) && takeLock(fileno(stray), F_RDLCK))
      (void)unlinkat(folder, entry->d_name, 0);
    std::fclose(stray);
  }
}

// The lock is taken at once and held until the rename, so that no other
// dump takes the file for a stray while it is written.
bool DumpTarget::createTemporary() {
  int descriptor = -1;
  for (int n = 0; n < kNameAttempts && descriptor < 0; ++n) {
    if (!formatTemporaryName(temporaryName_, kTemporaryNameBytes, base_, static_cast<long>(getpid()), n))
      return false;
    descriptor = openat(dirfd(folder_), temporaryName_, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (descriptor < 0 && errno != EEXIST) return false;
  }
  temporary_ = streamOver(descriptor, "wb");
  temporaryMade_ = temporary_ != nullptr;
  return temporaryMade_ && takeLock(descriptor, F_WRLCK) &&
         takeEverythingOf(fileno(target_), descriptor);
}

bool DumpTarget::reserveRoom(std::FILE* stream, int64_t bytes) {
  const int descriptor = fileno(stream);
  struct stat status;
  if (fstat(descriptor, &status) != 0) return false;
  if (!S_ISREG(status.st_mode)) return true;
  const auto length = static_cast<off_t>(bytes);
  if (length != bytes) return false;
  if (length > status.st_size && posix_fallocate(descriptor, status.st_size, length - status.st_size) != 0) {
    (void)ftruncate(descriptor, status.st_size);
    return false;
  }
  return ftruncate(descriptor, length) == 0;
}

// EINVAL and ENOTSUP: a file system that cannot flush (some FUSE and RAM
// disks) would not have flushed a plain write either.
bool DumpTarget::flushToDisk(std::FILE* stream) {
  if (std::fflush(stream) != 0) return false;
  return fsync(fileno(stream)) == 0 || errno == EINVAL || errno == ENOTSUP;
}

// Renames over the target only while its name still leads to the file that
// was opened; then flushes the folder, which makes the rename durable.
bool DumpTarget::replaceTarget() {
  const int folder = dirfd(folder_);
  struct stat opened, named;
  if (fstat(fileno(target_), &opened) != 0 || fstatat(folder, base_, &named, AT_SYMLINK_NOFOLLOW) != 0 ||
      opened.st_dev != named.st_dev || opened.st_ino != named.st_ino ||
      renameat(folder, temporaryName_, folder, base_) != 0)
    return false;
  temporaryMade_ = false;
  (void)fsync(folder);
  return true;
}

void DumpTarget::cutAtWrittenEnd(std::FILE* stream) {
  const off_t end = lseek(fileno(stream), 0, SEEK_CUR);
  if (end >= 0) (void)ftruncate(fileno(stream), end);
}

void DumpTarget::removeTemporary() {
  if (temporary_ != nullptr) std::fclose(temporary_);
  temporary_ = nullptr;
  if (temporaryMade_) (void)unlinkat(dirfd(folder_), temporaryName_, 0);
  temporaryMade_ = false;
}

// By its resolved name: a file created through a link is removed, not the
// link.
void DumpTarget::removeCreated() { std::remove(located_ ? resolved_ : path_); }

void DumpTarget::closeFolder() {
  if (folder_ != nullptr) closedir(folder_);
  folder_ = nullptr;
}

}  // namespace kel
