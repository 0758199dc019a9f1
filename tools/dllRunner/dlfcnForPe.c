// dlopen, dlsym, dlclose and dlerror for a program linked with the runner
// (through the linker's --wrap): a path that names a PE file is loaded as a
// Windows DLL, whose handle serves dlsym and dlclose; everything else goes
// to the C library's own functions.
#include <dlfcn.h>
#include <fcntl.h>
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include "peFormat.h"
#include "windowsProcess.h"

void* __real_dlopen(const char* path, int flags);
void* __real_dlsym(void* handle, const char* name);
int __real_dlclose(void* handle);
char* __real_dlerror(void);

static const char* pendingError;  // what dlerror says next, once
static char undefinedSymbol[300];

// "MZ", and "PE\0\0" where the DOS header says.
static bool isPeFile(const char* path) {
  unsigned char dos[kPeHeaderOffset + 4];
  uint32_t at, signature = 0;
  const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return false;
  if (read(descriptor, dos, sizeof dos) == (ssize_t)sizeof dos && dos[0] == 'M' && dos[1] == 'Z') {
    memcpy(&at, dos + kPeHeaderOffset, sizeof at);
    if (pread(descriptor, &signature, sizeof signature, at) != (ssize_t)sizeof signature) signature = 0;
  }
  close(descriptor);
  return signature == kNtSignature;
}

void* __wrap_dlopen(const char* path, int flags) {
  if (path == NULL || !isPeFile(path)) return __real_dlopen(path, flags);
  HMODULE module = windowsLoadLibrary(path);
  if (module == NULL) pendingError = windowsLoadError();
  return module;
}

void* __wrap_dlsym(void* handle, const char* name) {
  if (!windowsIsModule(handle)) return __real_dlsym(handle, name);
  void* address = windowsExport(handle, name);
  if (address != NULL) return address;
  snprintf(undefinedSymbol, sizeof undefinedSymbol, "undefined symbol: %s", name);
  pendingError = undefinedSymbol;
  return NULL;
}

int __wrap_dlclose(void* handle) {
  if (!windowsIsModule(handle)) return __real_dlclose(handle);
  return windowsFreeLibrary(handle) ? 0 : -1;
}

char* __wrap_dlerror(void) {
  const char* reason = pendingError;
  pendingError = NULL;
  return reason != NULL ? (char*)reason : __real_dlerror();
}
