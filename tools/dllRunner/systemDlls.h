// The Windows system DLLs the runner stands in for. Each is a table of the
// functions (and variables) it provides, by name; a DLL's import of anything
// else is not bound, and its load fails naming it. Adding a function is a
// definition and one line in its DLL's table.
#ifndef DLLRUNNER_SYSTEM_DLLS_H
#define DLLRUNNER_SYSTEM_DLLS_H

#include <stdbool.h>

typedef struct {
  const char* name;
  void* address;
} SystemExport;

typedef struct {
  const char* name;
  const SystemExport* exports;  // ends with a null name
} SystemDll;

extern const SystemExport kernel32Exports[];
extern const SystemExport msvcrtExports[];
extern const SystemExport user32Exports[];

// The system DLL of that module name, or null. Its handle is its address.
const SystemDll* systemDllNamed(const char* name);
const SystemDll* systemDllOfHandle(const void* handle);
void* systemDllFunction(const SystemDll* dll, const char* name);

// The address an import of `dll`!`name` binds to, or null.
void* systemDllExport(const char* dll, const char* name);

// Whether `wanted` names the module at `path` as Windows compares module
// names: the file name alone, without case, ".dll" when it has no extension.
bool moduleNameMatches(const char* wanted, const char* path);

// Ends the process, on standard error, for a call the runner does not
// provide in full: a flag, a mode or a case that no DLL it ran needed.
_Noreturn void dllRunnerLacks(const char* what);

#endif
