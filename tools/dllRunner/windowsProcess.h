// The Windows process a DLL finds itself in, inside this 32-bit Linux
// process: one thread, whose thread environment block (TEB) %fs points to,
// the x87 unit as Windows starts it, and the modules loaded, each told of its
// process attach when it is loaded and of its detach when it is freed or the
// process ends.
#ifndef DLLRUNNER_WINDOWS_PROCESS_H
#define DLLRUNNER_WINDOWS_PROCESS_H

#include <stdbool.h>
#include <stdint.h>

#include "win32.h"

enum { kTebTlsSlots = 64 };

// The fields of a 32-bit TEB at their offsets; the runner fills those that
// Windows code reads through %fs, and keeps its thread's last error and TLS
// slots there.
typedef struct {
  void* exceptionList;  // 0x00: -1, the end of the chain
  void* stackBase;      // 0x04
  void* stackLimit;     // 0x08
  uint32_t unused0[3];
  void* self;  // 0x18
  void* environment;
  uint32_t processId;  // 0x20
  uint32_t threadId;   // 0x24
  void* rpcHandle;
  void** threadLocalStorage;  // 0x2C: the modules' implicit TLS blocks, by index
  void* peb;
  DWORD lastError;  // 0x34
  uint8_t unused1[0xE10 - 0x38];
  void* tlsSlots[kTebTlsSlots];  // 0xE10: what TlsAlloc hands out
  uint8_t unused2[0x1000 - 0xF10];
} WindowsTeb;

WindowsTeb* windowsTeb(void);

// Loads the DLL at `path` (a later load of the same file counts one more
// reference) and returns its module handle, the address it is mapped at;
// null when it cannot, with windowsLoadError() saying why.
HMODULE windowsLoadLibrary(const char* path);
const char* windowsLoadError(void);
// Drops one reference; the last one detaches and unmaps the module.
bool windowsFreeLibrary(HMODULE module);

bool windowsIsModule(const void* handle);
// The loaded module of that name (see moduleNameMatches), or null.
HMODULE windowsModuleNamed(const char* name);
// The image of the loaded module that holds `address`, or null.
struct PeImage* windowsImageContaining(const void* address);
// An export by name, or by ordinal when `name` is below 0x10000, as
// GetProcAddress takes it; null when there is none.
void* windowsExport(HMODULE module, const char* name);

#endif
