#define _GNU_SOURCE
#include "windowsProcess.h"

#include <asm/ldt.h>
#include <errno.h>
#include <pthread.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "peImage.h"
#include "systemDlls.h"

_Static_assert(offsetof(WindowsTeb, self) == 0x18, "TEB self pointer");
_Static_assert(offsetof(WindowsTeb, threadLocalStorage) == 0x2C, "TEB TLS pointer");
_Static_assert(offsetof(WindowsTeb, lastError) == 0x34, "TEB last error");
_Static_assert(offsetof(WindowsTeb, tlsSlots) == 0xE10, "TEB TLS slots");
_Static_assert(sizeof(WindowsTeb) == 0x1000, "TEB size");

enum { DLL_PROCESS_DETACH = 0, DLL_PROCESS_ATTACH = 1 };
enum { kTlsIndexes = 64 };
// %fs selects entry 0 of this process's local descriptor table, at privilege 3.
enum { kTebSelector = 0 << 3 | 4 | 3 };
// The x87 control word a Windows process starts with: double precision,
// rounding to nearest, every exception masked. Linux starts with extended
// precision (0x37F), and so do hosts built with MinGW, whose start-up code
// resets the unit; DLLRUNNER_X87_CONTROL_WORD runs a DLL with another word.
enum { kWindowsX87ControlWord = 0x27F };

typedef BOOL WINAPI DllEntryPoint(HMODULE module, DWORD reason, void* reserved);
typedef void WINAPI TlsCallback(HMODULE module, DWORD reason, void* reserved);

typedef struct WindowsModule {
  PeImage* image;
  char* path;  // its real path, by which a later load finds it
  int references;
  int tlsIndex;                // -1 when it has no TLS directory
  struct WindowsModule* next;  // the module loaded before it
} WindowsModule;

static WindowsTeb teb __attribute__((aligned(4096)));
static void* tlsBlocks[kTlsIndexes];
static WindowsModule* modules;  // the last loaded first
static char loadError[1024];

WindowsTeb* windowsTeb(void) { return &teb; }

const char* windowsLoadError(void) { return loadError; }

static void fillTeb(void) {
  pthread_attr_t attributes;
  void* stack;
  size_t stackBytes;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    if (pthread_attr_getstack(&attributes, &stack, &stackBytes) == 0) {
      teb.stackLimit = stack;
      teb.stackBase = (char*)stack + stackBytes;
    }
    pthread_attr_destroy(&attributes);
  }
  teb.exceptionList = (void*)(intptr_t)-1;
  teb.self = &teb;
  teb.processId = (uint32_t)getpid();
  teb.threadId = (uint32_t)syscall(SYS_gettid);
  teb.threadLocalStorage = tlsBlocks;
}

// The TEB becomes the base of a data segment of this process, which %fs
// selects (the C library keeps its own thread data at %gs).
static void pointFsAtTeb(void) {
  struct user_desc segment = {
      .entry_number = 0, .base_addr = (uintptr_t)&teb, .limit = sizeof teb - 1, .seg_32bit = 1, .useable = 1};
  if (syscall(SYS_modify_ldt, 1, &segment, sizeof segment) != 0) {
    fprintf(stderr, "dllRunner: no segment for the thread environment block: %s\n", strerror(errno));
    exit(70);
  }
  __asm__ volatile("movw %w0, %%fs" : : "r"(kTebSelector));
}

static void setX87ControlWord(void) {
  const char* chosen = getenv("DLLRUNNER_X87_CONTROL_WORD");
  const uint16_t word = chosen != NULL ? (uint16_t)strtoul(chosen, NULL, 0) : kWindowsX87ControlWord;
  __asm__ volatile("fldcw %0" : : "m"(word));
}

// Before the first DLL runs any code.
static void becomeWindowsProcess(void) {
  static bool started = false;
  if (started) return;
  started = true;
  fillTeb();
  pointFsAtTeb();
  setX87ControlWord();
}

// The module's block of implicit thread-local storage, a copy of the
// template its TLS directory names, under the index the directory asks for.
static void startTls(WindowsModule* module, const PeTlsDirectory* tls) {
  int index = 0;
  while (index < kTlsIndexes && tlsBlocks[index] != NULL) ++index;
  if (index == kTlsIndexes) dllRunnerLacks("thread-local storage for more than 64 modules");
  const size_t dataBytes = tls->dataEnd - tls->dataStart;
  unsigned char* block = calloc(1, dataBytes + tls->zeroFillSize + 1);
  if (block == NULL) dllRunnerLacks("thread-local storage when memory has run out");
  memcpy(block, (const void*)(uintptr_t)tls->dataStart, dataBytes);
  tlsBlocks[index] = block;
  *(uint32_t*)(uintptr_t)tls->indexAddress = (uint32_t)index;
  module->tlsIndex = index;
}

// The TLS callbacks, then the entry point (DllMain), as Windows calls them
// at an attach and at a detach alike. A module without an entry point agrees.
static BOOL notify(WindowsModule* module, DWORD reason, void* reserved) {
  HMODULE handle = peImageBase(module->image);
  const PeTlsDirectory* tls = peImageTls(module->image);
  const uint32_t* callback = tls != NULL ? (const uint32_t*)(uintptr_t)tls->callbacks : NULL;
  for (; callback != NULL && *callback != 0; ++callback)
    ((TlsCallback*)(uintptr_t)*callback)(handle, reason, reserved);
  DllEntryPoint* entry = (DllEntryPoint*)peImageEntryPoint(module->image);
  return entry != NULL ? entry(handle, reason, reserved) : 1;
}

static WindowsModule* moduleAt(const void* handle) {
  WindowsModule* module = modules;
  while (module != NULL && (const void*)peImageBase(module->image) != handle) module = module->next;
  return module;
}

static void unload(WindowsModule* module) {
  WindowsModule** link = &modules;
  while (*link != module) link = &(*link)->next;
  *link = module->next;
  if (module->tlsIndex >= 0) {
    free(tlsBlocks[module->tlsIndex]);
    tlsBlocks[module->tlsIndex] = NULL;
  }
  peImageUnmap(module->image);
  free(module->path);
  free(module);
}

HMODULE windowsLoadLibrary(const char* path) {
  char* fullPath = realpath(path, NULL);
  if (fullPath == NULL) {
    snprintf(loadError, sizeof loadError, "%s: %s", path, strerror(errno));
    return NULL;
  }
  for (WindowsModule* loaded = modules; loaded != NULL; loaded = loaded->next) {
    if (strcmp(loaded->path, fullPath) != 0) continue;
    free(fullPath);
    ++loaded->references;
    return peImageBase(loaded->image);
  }
  becomeWindowsProcess();
  PeImage* image = peImageMap(path, systemDllExport, loadError, sizeof loadError);
  WindowsModule* module = image != NULL ? malloc(sizeof *module) : NULL;
  if (module == NULL) {
    if (image != NULL) peImageUnmap(image);
    free(fullPath);
    return NULL;
  }
  *module = (WindowsModule){image, fullPath, 1, -1, modules};
  modules = module;
  if (peImageTls(image) != NULL) startTls(module, peImageTls(image));
  if (notify(module, DLL_PROCESS_ATTACH, NULL)) return peImageBase(image);
  notify(module, DLL_PROCESS_DETACH, NULL);  // as Windows does after a failed attach
  snprintf(loadError, sizeof loadError, "%s: its entry point failed the process attach", path);
  unload(module);
  return NULL;
}

bool windowsFreeLibrary(HMODULE handle) {
  WindowsModule* module = moduleAt(handle);
  if (module == NULL) return false;
  if (--module->references == 0) {
    notify(module, DLL_PROCESS_DETACH, NULL);
    unload(module);
  }
  return true;
}

// When the process ends, by returning from main or through exit (the DLL's
// own included), after the atexit handlers, as ExitProcess does: every
// module still loaded is told of its detach, the last loaded first, with
// the non-null reserved argument that says the process is ending.
__attribute__((destructor)) static void endWindowsProcess(void) {
  for (WindowsModule* module = modules; module != NULL; module = module->next)
    notify(module, DLL_PROCESS_DETACH, (void*)1);
}

bool windowsIsModule(const void* handle) { return handle != NULL && moduleAt(handle) != NULL; }

HMODULE windowsModuleNamed(const char* name) {
  for (WindowsModule* module = modules; module != NULL; module = module->next)
    if (moduleNameMatches(name, module->path)) return peImageBase(module->image);
  return NULL;
}

PeImage* windowsImageContaining(const void* address) {
  for (WindowsModule* module = modules; module != NULL; module = module->next)
    if (peImageContains(module->image, address)) return module->image;
  return NULL;
}

void* windowsExport(HMODULE handle, const char* name) {
  const WindowsModule* module = moduleAt(handle);
  if (module == NULL) return NULL;
  if ((uintptr_t)name < 0x10000) return peImageExportByOrdinal(module->image, (uint32_t)(uintptr_t)name);
  return peImageExportByName(module->image, name);
}
