// The Windows types and conventions the runner's system DLLs share.
#ifndef DLLRUNNER_WIN32_H
#define DLLRUNNER_WIN32_H

#include <stdint.h>

// KERNEL32 and USER32 functions pop their own arguments; msvcrt's and the
// DLL's exports are cdecl, this compiler's own convention.
#define WINAPI __attribute__((stdcall))

typedef int32_t BOOL;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint16_t WCHAR;
typedef void* HANDLE;
typedef void* HMODULE;

#define INVALID_HANDLE_VALUE ((HANDLE)(intptr_t)-1)

// A file's handle is its descriptor in the host C library, as 4d + 1: the
// low bits keep it apart from the runner's other handles, which are
// pointers, and from INVALID_HANDLE_VALUE.
static inline HANDLE handleOfDescriptor(int descriptor) { return (HANDLE)(uintptr_t)(4 * descriptor + 1); }

static inline int descriptorOfHandle(HANDLE handle) {
  const uintptr_t value = (uintptr_t)handle;
  return (value & 3) == 1 ? (int)(value >> 2) : -1;
}

#endif
