// Preloaded into the scripted host (LD_PRELOAD) to make calls of the
// library fail. Linux (glibc) only.
//
// KEL_FAIL_ALLOCATION=k: the k-th allocation the library's own code makes
// while the host has armed the count around its calls into the library
// fails, announced on stderr.
//
// KEL_FAIL_CALL=CALL:ERROR: the library's CALL on a temporary file (a name
// ending in ".tmp") fails with ERROR, as some file systems make it fail:
// renameat:EBUSY (a file bind-mounted into a container), fsync:EINVAL (no
// flush), posix_fallocate:ENOSPC (room for the target's bytes, not for a
// second copy). fsync:MOVED lets the flush through after renaming ./moved
// over ./f, as another program replacing the target while a dump writes.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

extern "C" void* __libc_malloc(std::size_t);
extern "C" void* __libc_calloc(std::size_t, std::size_t);
extern "C" void* __libc_realloc(void*, std::size_t);

namespace {

bool armed = false;
long countdown = -1;  // allocations to go until the one that fails; -1 until first armed

bool madeByTheLibrary(const void* caller) {
  Dl_info info;
  return dladdr(caller, &info) != 0 && info.dli_fname != nullptr &&
         std::strstr(info.dli_fname, "libkelHashTableFun") != nullptr;
}

bool failsHere(const void* caller) {
  if (!armed || countdown <= 0 || !madeByTheLibrary(caller) || --countdown > 0) return false;
  static const char said[] = "(an allocation fails here)\n";
  return write(2, said, sizeof said - 1), true;
}

bool isTemporary(const char* file) {
  const std::size_t length = std::strlen(file);
  return length >= 4 && std::strcmp(file + length - 4, ".tmp") == 0;
}

// The error KEL_FAIL_CALL gives `call` on `file`; 0 when it lets it through.
int failure(const char* call, const char* file, const void* caller) {
  static const char* const fault = std::getenv("KEL_FAIL_CALL");
  const std::size_t length = std::strlen(call);
  if (fault == nullptr || std::strncmp(fault, call, length) != 0 || fault[length] != ':' ||
      !isTemporary(file) || !madeByTheLibrary(caller))
    return 0;
  const char* error = fault + length + 1;
  if (std::strcmp(error, "MOVED") == 0) return std::rename("moved", "f"), 0;
  return std::strcmp(error, "EBUSY") == 0 ? EBUSY : std::strcmp(error, "EINVAL") == 0 ? EINVAL : ENOSPC;
}

const char* nameOf(int descriptor, char (&name)[4096]) {
  char link[32];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", descriptor);
  const ssize_t length = readlink(link, name, sizeof name - 1);
  name[length > 0 ? length : 0] = '\0';
  return name;
}

template <typename Call>
Call next(const char* call) {
  return reinterpret_cast<Call>(dlsym(RTLD_NEXT, call));
}

}  // namespace

#define KEL_CALLER __builtin_return_address(0)

extern "C" int renameat(int fromFolder, const char* from, int toFolder, const char* to) {
  if (const int error = failure("renameat", from, KEL_CALLER)) return errno = error, -1;
  return next<int (*)(int, const char*, int, const char*)>("renameat")(fromFolder, from, toFolder, to);
}
extern "C" int fsync(int descriptor) {
  char name[4096];
  if (const int error = failure("fsync", nameOf(descriptor, name), KEL_CALLER)) return errno = error, -1;
  return next<int (*)(int)>("fsync")(descriptor);
}
extern "C" int posix_fallocate(int descriptor, off_t offset, off_t length) {
  char name[4096];
  if (const int error = failure("posix_fallocate", nameOf(descriptor, name), KEL_CALLER)) return error;
  return next<int (*)(int, off_t, off_t)>("posix_fallocate")(descriptor, offset, length);
}

extern "C" void kelArmAllocationFailures(int on) {
  if (countdown < 0) {
    const char* k = std::getenv("KEL_FAIL_ALLOCATION");
    countdown = k != nullptr ? std::atol(k) : 0;
  }
  armed = on != 0;
}

extern "C" void* malloc(std::size_t n) { return failsHere(KEL_CALLER) ? nullptr : __libc_malloc(n); }
extern "C" void* calloc(std::size_t n, std::size_t size) {
  return failsHere(KEL_CALLER) ? nullptr : __libc_calloc(n, size);
}
extern "C" void* realloc(void* block, std::size_t n) {
  return failsHere(KEL_CALLER) ? nullptr : __libc_realloc(block, n);
}
void* operator new(std::size_t n) {
  if (failsHere(KEL_CALLER)) throw std::bad_alloc();
  return __libc_malloc(n);
}
void* operator new[](std::size_t n) {
  if (failsHere(KEL_CALLER)) throw std::bad_alloc();
  return __libc_malloc(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  return failsHere(KEL_CALLER) ? nullptr : __libc_malloc(n);
}
