// Preloaded into the scripted host (LD_PRELOAD) to make one allocation fail:
// the k-th (KEL_FAIL_ALLOCATION=k) of those the library's own code makes
// while the host has armed the count around its calls into the library. The
// failure is announced on stderr. Linux (glibc) only.
#include <dlfcn.h>
#include <unistd.h>

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

}  // namespace

#define KEL_CALLER __builtin_return_address(0)

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
