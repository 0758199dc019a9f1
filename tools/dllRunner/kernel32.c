// KERNEL32.dll as the runner provides it: the calls of a single-threaded
// process, on POSIX files, with Win32 error codes through GetLastError.
// File handles are descriptors (win32.h); code pages are single-byte, each
// byte the character of the same number (Latin-1).
#define _GNU_SOURCE
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <libgen.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include "peImage.h"
#include "systemDlls.h"
#include "win32.h"
#include "windowsProcess.h"

enum {
  ERROR_SUCCESS = 0,
  ERROR_FILE_NOT_FOUND = 2,
  ERROR_PATH_NOT_FOUND = 3,
  ERROR_NO_MORE_FILES = 18,
  ERROR_ACCESS_DENIED = 5,
  ERROR_INVALID_HANDLE = 6,
  ERROR_NOT_ENOUGH_MEMORY = 8,
  ERROR_NOT_SAME_DEVICE = 17,
  ERROR_WRITE_PROTECT = 19,
  ERROR_GEN_FAILURE = 31,
  ERROR_INVALID_PARAMETER = 87,
  ERROR_DISK_FULL = 112,
  ERROR_INSUFFICIENT_BUFFER = 122,
  ERROR_MOD_NOT_FOUND = 126,
  ERROR_PROC_NOT_FOUND = 127,
  ERROR_DIR_NOT_EMPTY = 145,
  ERROR_LOCK_VIOLATION = 33,
  ERROR_ALREADY_EXISTS = 183,
  ERROR_FILENAME_EXCED_RANGE = 206,
  ERROR_NO_MORE_ITEMS = 259,
  ERROR_TOO_MANY_POSTS = 298,
};

// ---- errors -------------------------------------------------------------

static DWORD WINAPI GetLastError(void) { return windowsTeb()->lastError; }

static void WINAPI SetLastError(DWORD code) { windowsTeb()->lastError = code; }

static DWORD win32ErrorOf(int error) {
  static const int kErrors[][2] = {
      {ENOENT, ERROR_FILE_NOT_FOUND},    {ENOTDIR, ERROR_PATH_NOT_FOUND},
      {EACCES, ERROR_ACCESS_DENIED},     {EPERM, ERROR_ACCESS_DENIED},
      {EISDIR, ERROR_ACCESS_DENIED},     {EBADF, ERROR_INVALID_HANDLE},
      {ENOMEM, ERROR_NOT_ENOUGH_MEMORY}, {EXDEV, ERROR_NOT_SAME_DEVICE},
      {EROFS, ERROR_WRITE_PROTECT},      {EINVAL, ERROR_INVALID_PARAMETER},
      {ENOSPC, ERROR_DISK_FULL},         {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
      {EEXIST, ERROR_ALREADY_EXISTS},    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
  };
  for (size_t i = 0; i < sizeof kErrors / sizeof kErrors[0]; ++i)
    if (kErrors[i][0] == error) return (DWORD)kErrors[i][1];
  return ERROR_GEN_FAILURE;
}

// FALSE, with the Win32 error of the host C library's errno.
static BOOL failedWithErrno(void) {
  SetLastError(win32ErrorOf(errno));
  return 0;
}

static BOOL failedWith(DWORD code) {
  SetLastError(code);
  return 0;
}

// ---- the thread ---------------------------------------------------------

static DWORD WINAPI GetCurrentThreadId(void) { return windowsTeb()->threadId; }

static void WINAPI Sleep(DWORD milliseconds) {
  const struct timespec span = {milliseconds / 1000, (long)(milliseconds % 1000) * 1000000};
  nanosleep(&span, NULL);
}

// One thread: a critical section only counts how deep its owner entered it.
typedef struct {
  void* debugInfo;
  LONG lockCount;  // -1 when free
  LONG recursionCount;
  HANDLE owningThread;
  HANDLE lockSemaphore;
  uintptr_t spinCount;
} CRITICAL_SECTION;

static void WINAPI InitializeCriticalSection(CRITICAL_SECTION* section) {
  memset(section, 0, sizeof *section);
  section->lockCount = -1;
}

static void WINAPI DeleteCriticalSection(CRITICAL_SECTION* section) { memset(section, 0, sizeof *section); }

static void WINAPI EnterCriticalSection(CRITICAL_SECTION* section) {
  ++section->lockCount;
  ++section->recursionCount;
  section->owningThread = (HANDLE)(uintptr_t)GetCurrentThreadId();
}

static void WINAPI LeaveCriticalSection(CRITICAL_SECTION* section) {
  --section->lockCount;
  if (--section->recursionCount == 0) section->owningThread = NULL;
}

// A semaphore no other thread can release: waiting on an empty one without
// a time limit would never end.
typedef struct {
  LONG count;
  LONG maximum;
} Semaphore;

static HANDLE WINAPI CreateSemaphoreW(void* security, LONG initial, LONG maximum, const WCHAR* name) {
  (void)security;
  if (name != NULL) dllRunnerLacks("CreateSemaphoreW of a named semaphore");
  if (maximum <= 0 || initial < 0 || initial > maximum) return failedWith(ERROR_INVALID_PARAMETER), NULL;
  Semaphore* semaphore = malloc(sizeof *semaphore);
  if (semaphore == NULL) return failedWith(ERROR_NOT_ENOUGH_MEMORY), NULL;
  *semaphore = (Semaphore){initial, maximum};
  return semaphore;
}

static BOOL WINAPI ReleaseSemaphore(HANDLE handle, LONG count, LONG* previous) {
  Semaphore* semaphore = handle;
  if (descriptorOfHandle(handle) >= 0 || count <= 0) return failedWith(ERROR_INVALID_PARAMETER);
  if (count > semaphore->maximum - semaphore->count) return failedWith(ERROR_TOO_MANY_POSTS);
  if (previous != NULL) *previous = semaphore->count;
  semaphore->count += count;
  return 1;
}

static DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
  enum { WAIT_OBJECT_0 = 0, WAIT_TIMEOUT = 258 };
  const DWORD INFINITE = 0xFFFFFFFF;
  Semaphore* semaphore = handle;
  if (descriptorOfHandle(handle) >= 0) dllRunnerLacks("WaitForSingleObject on a file");
  if (semaphore->count > 0) {
    --semaphore->count;
    return WAIT_OBJECT_0;
  }
  if (milliseconds == INFINITE)
    dllRunnerLacks("WaitForSingleObject on an empty semaphore without a time limit");
  Sleep(milliseconds);
  return WAIT_TIMEOUT;
}

static BOOL WINAPI CloseHandle(HANDLE handle) {
  const int descriptor = descriptorOfHandle(handle);
  if (handle == NULL || handle == INVALID_HANDLE_VALUE) return failedWith(ERROR_INVALID_HANDLE);
  if (descriptor < 0) return free(handle), 1;
  return close(descriptor) == 0 ? 1 : failedWithErrno();
}

// Slots of the thread's TEB; TlsGetValue clears the last error, so that a
// null value can be told from a failure.
enum { kTlsSlots = kTebTlsSlots };
#define TLS_OUT_OF_INDEXES 0xFFFFFFFFu
static BOOL tlsSlotTaken[kTlsSlots];

static DWORD WINAPI TlsAlloc(void) {
  for (DWORD slot = 0; slot < kTlsSlots; ++slot) {
    if (tlsSlotTaken[slot]) continue;
    tlsSlotTaken[slot] = 1;
    windowsTeb()->tlsSlots[slot] = NULL;
    return slot;
  }
  return failedWith(ERROR_NO_MORE_ITEMS), TLS_OUT_OF_INDEXES;
}

static BOOL WINAPI TlsFree(DWORD slot) {
  if (slot >= kTlsSlots || !tlsSlotTaken[slot]) return failedWith(ERROR_INVALID_PARAMETER);
  tlsSlotTaken[slot] = 0;
  return 1;
}

static void* WINAPI TlsGetValue(DWORD slot) {
  if (slot >= kTlsSlots) return failedWith(ERROR_INVALID_PARAMETER), NULL;
  SetLastError(ERROR_SUCCESS);
  return windowsTeb()->tlsSlots[slot];
}

static BOOL WINAPI TlsSetValue(DWORD slot, void* value) {
  if (slot >= kTlsSlots) return failedWith(ERROR_INVALID_PARAMETER);
  windowsTeb()->tlsSlots[slot] = value;
  return 1;
}

// ---- modules ------------------------------------------------------------

// The system DLLs' handles are the runner's own; GetProcAddress on them
// finds only what their tables hold.
static HMODULE moduleNamed(const char* name) {
  if (name == NULL) dllRunnerLacks("GetModuleHandle of the executable, which is no Windows program");
  HMODULE module = (HMODULE)systemDllNamed(name);
  if (module == NULL) module = windowsModuleNamed(name);
  if (module == NULL) SetLastError(ERROR_MOD_NOT_FOUND);
  return module;
}

static HMODULE WINAPI GetModuleHandleA(const char* name) { return moduleNamed(name); }

static HMODULE WINAPI GetModuleHandleW(const WCHAR* name) {
  char narrow[260];
  size_t i = 0;
  if (name == NULL) return moduleNamed(NULL);
  for (; name[i] != 0 && i + 1 < sizeof narrow; ++i) narrow[i] = name[i] < 0x80 ? (char)name[i] : '?';
  narrow[i] = '\0';
  return moduleNamed(narrow);
}

static HMODULE WINAPI LoadLibraryA(const char* name) {
  if (systemDllNamed(name) != NULL) return (HMODULE)systemDllNamed(name);
  HMODULE module = windowsLoadLibrary(name);
  if (module == NULL) SetLastError(ERROR_MOD_NOT_FOUND);
  return module;
}

static BOOL WINAPI FreeLibrary(HMODULE module) {
  if (systemDllOfHandle(module) != NULL || windowsFreeLibrary(module)) return 1;
  return failedWith(ERROR_INVALID_HANDLE);
}

static void* WINAPI GetProcAddress(HMODULE module, const char* name) {
  const SystemDll* dll = systemDllOfHandle(module);
  void* address = NULL;
  if (dll != NULL)
    address = (uintptr_t)name >= 0x10000 ? systemDllFunction(dll, name) : NULL;
  else if (windowsIsModule(module))
    address = windowsExport(module, name);
  else
    return failedWith(ERROR_MOD_NOT_FOUND), NULL;
  if (address == NULL) SetLastError(ERROR_PROC_NOT_FOUND);
  return address;
}

static BOOL WINAPI DisableThreadLibraryCalls(HMODULE module) {
  (void)module;
  return 1;  // the process has one thread: there are no thread calls
}

// ---- files --------------------------------------------------------------

typedef struct {
  DWORD low;
  DWORD high;
} FILETIME;

// 100-nanosecond steps since 1601.
static FILETIME fileTimeOf(struct timespec t) {
  const uint64_t steps = ((uint64_t)t.tv_sec + 11644473600u) * 10000000u + (uint64_t)t.tv_nsec / 100;
  return (FILETIME){(DWORD)steps, (DWORD)(steps >> 32)};
}

static DWORD WINAPI GetFileType(HANDLE handle) {
  enum { FILE_TYPE_UNKNOWN = 0, FILE_TYPE_DISK = 1, FILE_TYPE_CHAR = 2, FILE_TYPE_PIPE = 3 };
  struct stat status;
  if (fstat(descriptorOfHandle(handle), &status) != 0) return failedWithErrno(), FILE_TYPE_UNKNOWN;
  SetLastError(ERROR_SUCCESS);
  if (S_ISREG(status.st_mode) || S_ISDIR(status.st_mode)) return FILE_TYPE_DISK;
  return S_ISCHR(status.st_mode) ? FILE_TYPE_CHAR : FILE_TYPE_PIPE;
}

typedef struct {
  DWORD attributes;
  FILETIME creation, lastAccess, lastWrite;
  DWORD volumeSerialNumber;
  DWORD sizeHigh, sizeLow;
  DWORD linkCount;
  DWORD indexHigh, indexLow;
} BY_HANDLE_FILE_INFORMATION;

// A file without its owner's write permission is read-only; no file is
// hidden or a system file.
static DWORD attributesOf(const struct stat* status) {
  enum { FILE_ATTRIBUTE_READONLY = 0x1, FILE_ATTRIBUTE_DIRECTORY = 0x10, FILE_ATTRIBUTE_ARCHIVE = 0x20 };
  return (S_ISDIR(status->st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE) |
         (status->st_mode & S_IWUSR ? 0 : FILE_ATTRIBUTE_READONLY);
}

static DWORD WINAPI GetFileAttributesA(const char* path) {
  enum { INVALID_FILE_ATTRIBUTES = 0xFFFFFFFF };
  struct stat status;
  if (stat(path, &status) != 0) return failedWithErrno(), INVALID_FILE_ATTRIBUTES;
  return attributesOf(&status);
}

static BOOL WINAPI GetFileInformationByHandle(HANDLE handle, BY_HANDLE_FILE_INFORMATION* info) {
  struct stat status;
  if (fstat(descriptorOfHandle(handle), &status) != 0) return failedWithErrno();
  info->attributes = attributesOf(&status);
  info->creation = fileTimeOf(status.st_ctim);  // POSIX keeps no creation time: the last change
  info->lastAccess = fileTimeOf(status.st_atim);
  info->lastWrite = fileTimeOf(status.st_mtim);
  info->volumeSerialNumber = (DWORD)status.st_dev;
  info->sizeHigh = (DWORD)((uint64_t)status.st_size >> 32);
  info->sizeLow = (DWORD)status.st_size;
  info->linkCount = (DWORD)status.st_nlink;
  info->indexHigh = (DWORD)((uint64_t)status.st_ino >> 32);
  info->indexLow = (DWORD)status.st_ino;
  return 1;
}

// An existing file or folder only, for reading or writing: POSIX has no
// sharing modes, so the sharing asked for is always granted, and access
// without reading or writing (0, DELETE) opens the file for reading.
static HANDLE WINAPI CreateFileA(const char* path, DWORD access, DWORD sharing, void* security,
                                 DWORD disposition, DWORD flags, HANDLE model) {
  enum { OPEN_EXISTING = 3, GENERIC_WRITE = 0x40000000, GENERIC_READ = 0x80000000u };
  (void)sharing, (void)security, (void)flags;
  if (disposition != OPEN_EXISTING || model != NULL)
    dllRunnerLacks("CreateFileA other than of an existing file, without a model");
  const int mode = !(access & GENERIC_WRITE) ? O_RDONLY : access & GENERIC_READ ? O_RDWR : O_WRONLY;
  const int descriptor = open(path, mode | O_CLOEXEC);
  return descriptor >= 0 ? handleOfDescriptor(descriptor) : (failedWithErrno(), INVALID_HANDLE_VALUE);
}

// The position moves as the C runtime's descriptors move it: they are the
// same descriptors. INVALID_SET_FILE_POINTER is also a valid low half, so a
// success clears the last error.
static DWORD WINAPI SetFilePointer(HANDLE handle, LONG low, LONG* high, DWORD method) {
  enum { INVALID_SET_FILE_POINTER = 0xFFFFFFFF };
  const int64_t distance = high != NULL ? (int64_t)(((uint64_t)(uint32_t)*high << 32) | (uint32_t)low) : low;
  const off64_t at = lseek64(descriptorOfHandle(handle), distance, (int)method);  // FILE_BEGIN is SEEK_SET, and so on
  if (at < 0) return failedWithErrno(), INVALID_SET_FILE_POINTER;
  if (high != NULL) *high = (LONG)((uint64_t)at >> 32);
  SetLastError(ERROR_SUCCESS);
  return (DWORD)at;
}

static BOOL WINAPI SetEndOfFile(HANDLE handle) {
  const int descriptor = descriptorOfHandle(handle);
  const off64_t at = lseek64(descriptor, 0, SEEK_CUR);
  return at >= 0 && ftruncate64(descriptor, at) == 0 ? 1 : failedWithErrno();
}

// Whole-file locks of fcntl, taken on the open file description, so that
// two descriptors of one file lock each other out as two handles do. An
// exclusive lock on a descriptor open only for reading is a shared one:
// fcntl refuses a write lock there, and a shared lock still cannot be had
// while another holds the file exclusively.
static BOOL WINAPI LockFileEx(HANDLE handle, DWORD flags, DWORD reserved, DWORD lowBytes, DWORD highBytes,
                              void* overlapped) {
  enum { LOCKFILE_FAIL_IMMEDIATELY = 0x1, LOCKFILE_EXCLUSIVE_LOCK = 0x2 };
  const DWORD* from = overlapped;  // OVERLAPPED: two words, then the offset's low and high halves
  (void)reserved;
  if (from[2] != 0 || from[3] != 0 || lowBytes != 0xFFFFFFFF || highBytes != 0xFFFFFFFF)
    dllRunnerLacks("LockFileEx of part of a file");
  const int descriptor = descriptorOfHandle(handle);
  const BOOL readOnly = (fcntl(descriptor, F_GETFL) & O_ACCMODE) == O_RDONLY;
  struct flock lock = {.l_type = (short)(flags & LOCKFILE_EXCLUSIVE_LOCK && !readOnly ? F_WRLCK : F_RDLCK),
                       .l_whence = SEEK_SET};
  const BOOL wait = !(flags & LOCKFILE_FAIL_IMMEDIATELY);
  if (fcntl(descriptor, wait ? F_OFD_SETLKW : F_OFD_SETLK, &lock) == 0) return 1;
  return errno == EAGAIN || errno == EACCES ? failedWith(ERROR_LOCK_VIOLATION) : failedWithErrno();
}

typedef struct {
  DWORD attributes;
  FILETIME creation, lastAccess, lastWrite;
  DWORD sizeHigh, sizeLow;
  DWORD reserved0, reserved1;
  char name[260];
  char shortName[14];
} WIN32_FIND_DATAA;

// A search of one folder for the names that match a pattern of * and ?
// (fnmatch's, which Windows' resemble for the names a DLL looks for).
typedef struct {
  DIR* folder;
  char pattern[260];
  size_t folderLength;  // of the folder's name and its '/' at the start of `path`
  char path[];          // then each name found, for its status
} Search;

static BOOL nextMatch(Search* search, WIN32_FIND_DATAA* found) {
  for (const struct dirent* entry; (entry = readdir(search->folder)) != NULL;) {
    struct stat status;
    if (strlen(entry->d_name) >= sizeof found->name || fnmatch(search->pattern, entry->d_name, 0) != 0) continue;
    strcpy(search->path + search->folderLength, entry->d_name);
    if (stat(search->path, &status) != 0) continue;
    *found = (WIN32_FIND_DATAA){.attributes = attributesOf(&status),
                                .creation = fileTimeOf(status.st_ctim),
                                .lastAccess = fileTimeOf(status.st_atim),
                                .lastWrite = fileTimeOf(status.st_mtim),
                                .sizeHigh = (DWORD)((uint64_t)status.st_size >> 32),
                                .sizeLow = (DWORD)status.st_size};
    strcpy(found->name, entry->d_name);
    return 1;
  }
  return failedWith(ERROR_NO_MORE_FILES);
}

static BOOL WINAPI FindClose(HANDLE handle) {
  Search* search = handle;
  closedir(search->folder);
  free(search);
  return 1;
}

// "folder/pattern", or a pattern alone for the current folder.
static HANDLE WINAPI FindFirstFileA(const char* path, WIN32_FIND_DATAA* found) {
  const char* slash = strrchr(path, '/');
  const char* pattern = slash != NULL ? slash + 1 : path;
  const size_t folderLength = (size_t)(pattern - path);
  Search* search = malloc(sizeof *search + folderLength + sizeof found->name);
  if (search == NULL) return failedWith(ERROR_NOT_ENOUGH_MEMORY), INVALID_HANDLE_VALUE;
  if (strlen(pattern) >= sizeof search->pattern)
    return free(search), failedWith(ERROR_FILENAME_EXCED_RANGE), INVALID_HANDLE_VALUE;
  strcpy(search->pattern, pattern);
  memcpy(search->path, path, folderLength);
  search->path[folderLength] = '\0';
  search->folderLength = folderLength;
  search->folder = opendir(folderLength > 0 ? search->path : ".");
  if (search->folder == NULL) return failedWithErrno(), free(search), INVALID_HANDLE_VALUE;
  if (nextMatch(search, found)) return search;
  FindClose(search);
  return failedWith(ERROR_FILE_NOT_FOUND), INVALID_HANDLE_VALUE;
}

static BOOL WINAPI FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* found) { return nextMatch(handle, found); }

// The name of an open file, links followed, as a POSIX path: what Windows
// from Vista on gives, and a DLL looks up at run time (GetProcAddress).
// Returns the name's length, or the room it needs with its NUL when
// `room` is too small.
static DWORD WINAPI GetFinalPathNameByHandleA(HANDLE handle, char* name, DWORD room, DWORD flags) {
  char link[32];
  (void)flags;
  snprintf(link, sizeof link, "/proc/self/fd/%d", descriptorOfHandle(handle));
  char* path = realpath(link, NULL);
  if (path == NULL) return failedWithErrno();
  const size_t length = strlen(path);
  if (length < room) memcpy(name, path, length + 1);
  free(path);
  return length < room ? (DWORD)length : (DWORD)length + 1;
}

// ReplaceFileA without a backup or options: the replacement is renamed over
// the file, which must exist. (What Windows keeps of the replaced file, its
// attributes and streams, POSIX files do not have apart from their name.)
static BOOL WINAPI ReplaceFileA(const char* replaced, const char* replacement, const char* backup, DWORD flags,
                                void* exclude, void* reserved) {
  enum { ERROR_UNABLE_TO_REMOVE_REPLACED = 1175 };
  if (backup != NULL || flags != 0 || exclude != NULL || reserved != NULL)
    dllRunnerLacks("ReplaceFileA with a backup or options");
  if (access(replaced, F_OK) != 0) return failedWith(ERROR_UNABLE_TO_REMOVE_REPLACED);
  return rename(replacement, replaced) == 0 ? 1 : failedWithErrno();
}

static BOOL WINAPI FlushFileBuffers(HANDLE handle) {
  return fsync(descriptorOfHandle(handle)) == 0 ? 1 : failedWithErrno();
}

// rename() replaces a file in one step, as MOVEFILE_REPLACE_EXISTING asks;
// MOVEFILE_WRITE_THROUGH also waits for the folder that now holds it.
static BOOL WINAPI MoveFileExA(const char* from, const char* to, DWORD flags) {
  enum { MOVEFILE_REPLACE_EXISTING = 0x1, MOVEFILE_WRITE_THROUGH = 0x8 };
  if (flags & ~(DWORD)(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    dllRunnerLacks("MoveFileExA with flags other than MOVEFILE_REPLACE_EXISTING and MOVEFILE_WRITE_THROUGH");
  if (!(flags & MOVEFILE_REPLACE_EXISTING) && access(to, F_OK) == 0) return failedWith(ERROR_ALREADY_EXISTS);
  if (rename(from, to) != 0) return failedWithErrno();
  if (flags & MOVEFILE_WRITE_THROUGH) {
    char* copy = strdup(to);
    const int folder = copy != NULL ? open(dirname(copy), O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1;
    if (folder >= 0) fsync(folder), close(folder);
    free(copy);
  }
  return 1;
}

// ---- the debugger ------------------------------------------------------

// No debugger listens: the text goes nowhere, as on Windows without one.
static void WINAPI OutputDebugStringA(const char* text) { (void)text; }

// ---- time ---------------------------------------------------------------

static void WINAPI GetSystemTimeAsFileTime(FILETIME* now) {
  struct timespec t;
  clock_gettime(CLOCK_REALTIME, &t);
  *now = fileTimeOf(t);
}

// The offset from UTC, without names or daylight-saving rules.
static DWORD WINAPI GetTimeZoneInformation(void* information) {
  enum { TIME_ZONE_ID_UNKNOWN = 0, kTimeZoneInformationBytes = 172 };
  tzset();
  memset(information, 0, kTimeZoneInformationBytes);
  *(LONG*)information = (LONG)(timezone / 60);  // Bias, in minutes west of UTC
  return TIME_ZONE_ID_UNKNOWN;
}

// ---- code pages ---------------------------------------------------------

static BOOL isSingleByteCodePage(unsigned codePage) {
  enum { CP_ACP = 0, CP_OEMCP = 1, CP_THREAD_ACP = 3, kLatin1 = 28591 };
  return codePage == CP_ACP || codePage == CP_OEMCP || codePage == CP_THREAD_ACP || codePage == kLatin1;
}

static BOOL WINAPI IsDBCSLeadByteEx(unsigned codePage, unsigned byte) {
  (void)byte;
  return isSingleByteCodePage(codePage) ? 0 : failedWith(ERROR_INVALID_PARAMETER);
}

// The number of units written, or needed when `room` is 0; a length of -1
// takes the text up to and with its terminating zero.
static int WINAPI MultiByteToWideChar(unsigned codePage, DWORD flags, const char* text, int length,
                                      WCHAR* wide, int room) {
  (void)flags;
  if (!isSingleByteCodePage(codePage) || text == NULL) return failedWith(ERROR_INVALID_PARAMETER);
  if (length < 0) length = (int)strlen(text) + 1;
  if (room == 0) return length;
  if (room < length) return failedWith(ERROR_INSUFFICIENT_BUFFER);
  for (int i = 0; i < length; ++i) wide[i] = (unsigned char)text[i];
  return length;
}

static int WINAPI WideCharToMultiByte(unsigned codePage, DWORD flags, const WCHAR* wide, int length,
                                      char* text, int room, const char* defaultChar, BOOL* usedDefault) {
  (void)flags;
  if (!isSingleByteCodePage(codePage) || wide == NULL) return failedWith(ERROR_INVALID_PARAMETER);
  if (length < 0)
    for (length = 1; wide[length - 1] != 0; ++length) {
    }
  if (room == 0) return length;
  if (room < length) return failedWith(ERROR_INSUFFICIENT_BUFFER);
  if (usedDefault != NULL) *usedDefault = 0;
  for (int i = 0; i < length; ++i) {
    const BOOL fits = wide[i] <= 0xFF;
    text[i] = fits ? (char)wide[i] : defaultChar != NULL ? *defaultChar : '?';
    if (!fits && usedDefault != NULL) *usedDefault = 1;
  }
  return length;
}

// ---- memory -------------------------------------------------------------

// Of the DLLs' own images only: what Windows code asks about is where it is.
typedef struct {
  void* baseAddress;
  void* allocationBase;
  DWORD allocationProtect;
  size_t regionSize;
  DWORD state;
  DWORD protect;
  DWORD type;
} MEMORY_BASIC_INFORMATION;

enum { PAGE_EXECUTE_WRITECOPY = 0x80, MEM_COMMIT = 0x1000, MEM_IMAGE = 0x1000000 };

// Windows page protections and POSIX ones; the first of each POSIX kind is
// the one a query reports (a copy-on-write page is reported as written).
static const int kProtections[][2] = {
    {0x01, PROT_NONE},
    {0x02, PROT_READ},
    {0x04, PROT_READ | PROT_WRITE},
    {0x10, PROT_EXEC},
    {0x20, PROT_READ | PROT_EXEC},
    {0x40, PROT_READ | PROT_WRITE | PROT_EXEC},
    {0x08, PROT_READ | PROT_WRITE},
    {PAGE_EXECUTE_WRITECOPY, PROT_READ | PROT_WRITE | PROT_EXEC},
};
enum { kProtectionCount = sizeof kProtections / sizeof kProtections[0] };

// Every POSIX combination is in the table but the write-only ones, which
// the runner never sets (it maps a writable section readable, as Windows).
static DWORD windowsProtectionOf(int posix) {
  int i = 0;
  while (kProtections[i][1] != posix) ++i;
  return (DWORD)kProtections[i][0];
}

static int posixProtectionOf(DWORD windows) {
  for (int i = 0; i < kProtectionCount; ++i)
    if ((DWORD)kProtections[i][0] == windows) return kProtections[i][1];
  dllRunnerLacks("a page protection other than the eight plain ones");
}

static PeImage* imageHolding(const void* address) {
  PeImage* image = windowsImageContaining(address);
  if (image == NULL) dllRunnerLacks("VirtualQuery and VirtualProtect outside the DLLs' images");
  return image;
}

static size_t WINAPI VirtualQuery(const void* address, MEMORY_BASIC_INFORMATION* information, size_t bytes) {
  const PeImage* image = imageHolding(address);
  if (bytes < sizeof *information) return failedWith(ERROR_INSUFFICIENT_BUFFER);
  const DWORD protection = windowsProtectionOf(peImageProtection(image, address));
  *information = (MEMORY_BASIC_INFORMATION){(void*)((uintptr_t)address & ~(uintptr_t)4095),
                                            peImageBase(image),
                                            PAGE_EXECUTE_WRITECOPY,
                                            peImageRegionBytes(image, address),
                                            MEM_COMMIT,
                                            protection,
                                            MEM_IMAGE};
  return sizeof *information;
}

static BOOL WINAPI VirtualProtect(void* address, size_t bytes, DWORD protection, DWORD* old) {
  PeImage* image = imageHolding(address);
  const int posix = posixProtectionOf(protection);
  if (old == NULL) return failedWith(ERROR_INVALID_PARAMETER);
  *old = windowsProtectionOf(peImageProtection(image, address));
  return peImageProtect(image, address, bytes, posix) ? 1 : failedWithErrno();
}

// ---- the table ----------------------------------------------------------

#define EXPORT(function) \
  { #function, (void*)function }
const SystemExport kernel32Exports[] = {
    EXPORT(CloseHandle),
    EXPORT(CreateFileA),
    EXPORT(CreateSemaphoreW),
    EXPORT(DeleteCriticalSection),
    EXPORT(DisableThreadLibraryCalls),
    EXPORT(EnterCriticalSection),
    EXPORT(FindClose),
    EXPORT(FindFirstFileA),
    EXPORT(FindNextFileA),
    EXPORT(FlushFileBuffers),
    EXPORT(FreeLibrary),
    EXPORT(GetCurrentThreadId),
    EXPORT(GetFileAttributesA),
    EXPORT(GetFileInformationByHandle),
    EXPORT(GetFileType),
    EXPORT(GetFinalPathNameByHandleA),
    EXPORT(GetLastError),
    EXPORT(GetModuleHandleA),
    EXPORT(GetModuleHandleW),
    EXPORT(GetProcAddress),
    EXPORT(GetSystemTimeAsFileTime),
    EXPORT(GetTimeZoneInformation),
    EXPORT(InitializeCriticalSection),
    EXPORT(IsDBCSLeadByteEx),
    EXPORT(LeaveCriticalSection),
    EXPORT(LoadLibraryA),
    EXPORT(LockFileEx),
    EXPORT(MoveFileExA),
    EXPORT(MultiByteToWideChar),
    EXPORT(OutputDebugStringA),
    EXPORT(ReleaseSemaphore),
    EXPORT(ReplaceFileA),
    EXPORT(SetEndOfFile),
    EXPORT(SetFilePointer),
    EXPORT(SetLastError),
    EXPORT(Sleep),
    EXPORT(TlsAlloc),
    EXPORT(TlsFree),
    EXPORT(TlsGetValue),
    EXPORT(TlsSetValue),
    EXPORT(VirtualProtect),
    EXPORT(VirtualQuery),
    EXPORT(WaitForSingleObject),
    EXPORT(WideCharToMultiByte),
    {NULL, NULL},
};
