#include "systemDlls.h"

#include <stdio.h>
#include <string.h>
#include <strings.h>
#include <unistd.h>

static const SystemDll kSystemDlls[] = {
    {"KERNEL32.dll", kernel32Exports},
    {"msvcrt.dll", msvcrtExports},
    {"USER32.dll", user32Exports},
};
enum { kSystemDllCount = sizeof kSystemDlls / sizeof kSystemDlls[0] };

static const char* fileNameOf(const char* path) {
  for (const char* c = path; *c != '\0'; ++c)
    if (*c == '/' || *c == '\\') path = c + 1;
  return path;
}

bool moduleNameMatches(const char* wanted, const char* path) {
  const char* name = fileNameOf(path);
  wanted = fileNameOf(wanted);
  if (strchr(wanted, '.') != NULL) return strcasecmp(wanted, name) == 0;
  const size_t length = strlen(wanted);
  return strncasecmp(wanted, name, length) == 0 && strcasecmp(name + length, ".dll") == 0;
}

const SystemDll* systemDllNamed(const char* name) {
  for (const SystemDll* dll = kSystemDlls; dll < kSystemDlls + kSystemDllCount; ++dll)
    if (moduleNameMatches(name, dll->name)) return dll;
  return NULL;
}

const SystemDll* systemDllOfHandle(const void* handle) {
  for (const SystemDll* dll = kSystemDlls; dll < kSystemDlls + kSystemDllCount; ++dll)
    if (handle == dll) return dll;
  return NULL;
}

void* systemDllFunction(const SystemDll* dll, const char* name) {
  for (const SystemExport* e = dll->exports; e->name != NULL; ++e)
    if (strcmp(e->name, name) == 0) return e->address;
  return NULL;
}

void* systemDllExport(const char* dllName, const char* name) {
  const SystemDll* dll = systemDllNamed(dllName);
  return dll != NULL ? systemDllFunction(dll, name) : NULL;
}

// What the host printed stays; nothing of the DLL runs any more.
void dllRunnerLacks(const char* what) {
  fprintf(stderr, "dllRunner: %s is not provided\n", what);
  fflush(NULL);
  _exit(70);
}
