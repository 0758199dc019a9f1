// msvcrt.dll as the runner provides it: the C runtime on the host's C
// library, whose malloc and free the host shares. Streams the DLL opens are
// the host's FILE objects, which it only hands back to these functions; _iob
// holds msvcrt-shaped entries for the three standard streams. Descriptors are
// the host's, binary only: msvcrt's text mode (CR LF, Ctrl-Z) is not
// provided. errno holds msvcrt's numbers.
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <locale.h>
#include <stdarg.h>
#include <stdbool.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include "systemDlls.h"
#include "win32.h"

// ---- errno ----------------------------------------------------------------

// msvcrt's errno numbers are Linux's up to ERANGE, but for these.
static const int kDifferentErrnos[][2] = {
    // {Linux, msvcrt}
    {EDEADLK, 36}, {ENAMETOOLONG, 38}, {ENOLCK, 39}, {ENOSYS, 40}, {ENOTEMPTY, 41}, {EILSEQ, 42},
};
enum { kDifferentErrnoCount = sizeof kDifferentErrnos / sizeof kDifferentErrnos[0] };

static int msvcrtErrno;

static int msvcrtErrnoOf(int number) {
  for (int i = 0; i < kDifferentErrnoCount; ++i)
    if (kDifferentErrnos[i][0] == number) return kDifferentErrnos[i][1];
  // Windows refuses a folder, or a file in use, where it wants a file to
  // write as access denied.
  if (number == EISDIR || number == ETXTBSY) return EACCES;
  return number <= ERANGE && number != ENOTBLK ? number : EINVAL;
}

static int linuxErrnoOf(int number) {
  for (int i = 0; i < kDifferentErrnoCount; ++i)
    if (kDifferentErrnos[i][1] == number) return kDifferentErrnos[i][0];
  return number;
}

// -1, after msvcrt's errno takes the host's.
static int failed(void) {
  msvcrtErrno = msvcrtErrnoOf(errno);
  return -1;
}

static int* msvcrt_errno(void) { return &msvcrtErrno; }

static char* msvcrt_strerror(int number) { return strerror(linuxErrnoOf(number)); }

// ---- the process ------------------------------------------------------------

// Runs the atexit handlers, tells every module of its detach
// (windowsProcess.c), then flushes the streams, which Windows flushes
// before the detach.
static void msvcrt_exit(int status) { exit(status); }

static void msvcrt_amsg_exit(int code) {
  fprintf(stderr, "runtime error R60%02d\n", code);
  _exit(255);
}

typedef void Initializer(void);

static void msvcrt_initterm(Initializer** first, Initializer** end) {
  for (; first < end; ++first)
    if (*first != NULL) (*first)();
}

// msvcrt's own locks: the process has one thread.
static void msvcrt_lock(int lock) { (void)lock; }
static void msvcrt_unlock(int lock) { (void)lock; }

static int msvcrt_getpid(void) { return (int)getpid(); }

// ---- locale -----------------------------------------------------------------

static int mbCurMax = 1;  // the C locale's

// msvcrt numbers the categories LC_ALL, LC_COLLATE, LC_CTYPE, LC_MONETARY,
// LC_NUMERIC, LC_TIME; the process stays in the C locale.
static char* msvcrt_setlocale(int category, const char* locale) {
  static const int kCategories[] = {LC_ALL, LC_COLLATE, LC_CTYPE, LC_MONETARY, LC_NUMERIC, LC_TIME};
  if (category < 0 || category >= (int)(sizeof kCategories / sizeof kCategories[0])) return NULL;
  if (locale != NULL && strcmp(locale, "C") != 0) dllRunnerLacks("setlocale to a locale other than C");
  return setlocale(kCategories[category], locale);
}

static size_t msvcrt_wcslen(const WCHAR* text) {
  size_t length = 0;
  while (text[length] != 0) ++length;
  return length;
}

// ---- streams ----------------------------------------------------------------

typedef struct {
  char* next;
  int count;
  char* buffer;
  int flags;
  int descriptor;
  int charBuffer;
  int bufferSize;
  char* temporaryName;
} MsvcrtFile;

enum { kIobEntries = 20, kIobRead = 0x1, kIobWrite = 0x2 };
static MsvcrtFile iob[kIobEntries] = {{.flags = kIobRead, .descriptor = 0},
                                      {.flags = kIobWrite, .descriptor = 1},
                                      {.flags = kIobWrite, .descriptor = 2}};

static FILE* hostStream(void* stream) {
  const uintptr_t at = (uintptr_t)stream;
  if (at < (uintptr_t)iob || at >= (uintptr_t)(iob + kIobEntries)) return stream;
  if (at >= (uintptr_t)(iob + 3)) dllRunnerLacks("an _iob entry past the three standard streams");
  return at == (uintptr_t)iob ? stdin : at == (uintptr_t)(iob + 1) ? stdout : stderr;
}

// Binary modes of the letters r, w, a and +, which the host reads alike.
static const char* binaryMode(const char* mode) {
  if (strchr(mode, 'b') == NULL || strspn(mode, "rwa+b") != strlen(mode))
    dllRunnerLacks("a stream mode other than the binary ones of r, w, a and +");
  return mode;
}

// Windows opens no folder as a file: EACCES, where POSIX opens one for
// reading.
static bool isFolder(int descriptor) {
  struct stat status;
  return fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode);
}

static FILE* msvcrt_fopen(const char* path, const char* mode) {
  FILE* stream = fopen(path, binaryMode(mode));
  if (stream != NULL && isFolder(fileno(stream))) fclose(stream), stream = NULL, errno = EACCES;
  if (stream == NULL) failed();
  return stream;
}

static FILE* msvcrt_fdopen(int descriptor, const char* mode) {
  FILE* stream = fdopen(descriptor, binaryMode(mode));
  if (stream == NULL) failed();
  return stream;
}

static int msvcrt_fclose(void* stream) { return fclose(hostStream(stream)) == 0 ? 0 : failed(); }

static int msvcrt_fflush(void* stream) { return fflush(hostStream(stream)) == 0 ? 0 : failed(); }

static int msvcrt_fileno(void* stream) { return fileno(hostStream(stream)); }

static int msvcrt_fputc(int c, void* stream) { return fputc(c, hostStream(stream)); }

static int msvcrt_fputs(const char* text, void* stream) { return fputs(text, hostStream(stream)); }

static size_t msvcrt_fread(void* buffer, size_t size, size_t count, void* stream) {
  return fread(buffer, size, count, hostStream(stream));
}

// SEEK_SET, SEEK_CUR and SEEK_END have msvcrt's numbers.
static int msvcrt_fseek(void* stream, long offset, int origin) {
  return fseek(hostStream(stream), offset, origin) == 0 ? 0 : failed();
}

static size_t msvcrt_fwrite(const void* buffer, size_t size, size_t count, void* stream) {
  return fwrite(buffer, size, count, hostStream(stream));
}

// The conversions msvcrt and the host read alike (a va_list is a pointer to
// the arguments in both); msvcrt's own (%I64d, %S, %ls of 16-bit characters,
// %Lf of 8 bytes) are not provided.
static void requireSharedConversions(const char* format) {
  for (const char* c = strchr(format, '%'); c != NULL; c = strchr(c + 1, '%')) {
    c += 1 + strspn(c + 1, "-+ #0123456789.*");
    const int sized = *c == 'h' || *c == 'l';
    if (c[sized] == '\0' || strchr(sized ? "diouxXn" : "diouxXcspneEfgG%", c[sized]) == NULL)
      dllRunnerLacks("a printf conversion of msvcrt's own");
    c += sized;
  }
}

static int msvcrt_vfprintf(void* stream, const char* format, va_list arguments) {
  requireSharedConversions(format);
  return vfprintf(hostStream(stream), format, arguments);
}

// ---- descriptors --------------------------------------------------------------

enum {
  _O_WRONLY = 0x1,
  _O_RDWR = 0x2,
  _O_APPEND = 0x8,
  _O_RANDOM = 0x10,
  _O_SEQUENTIAL = 0x20,
  _O_NOINHERIT = 0x80,
  _O_CREAT = 0x100,
  _O_TRUNC = 0x200,
  _O_EXCL = 0x400,
  _O_BINARY = 0x8000,
  _S_IWRITE = 0x80,
};

static int msvcrt_open(const char* path, int flags, ...) {
  static const int kFlags[][2] = {
      {_O_WRONLY, O_WRONLY}, {_O_RDWR, O_RDWR},   {_O_APPEND, O_APPEND}, {_O_NOINHERIT, O_CLOEXEC},
      {_O_CREAT, O_CREAT},   {_O_TRUNC, O_TRUNC}, {_O_EXCL, O_EXCL},     {_O_BINARY, 0},
      {_O_RANDOM, 0},        {_O_SEQUENTIAL, 0},  // access hints
  };
  int hostFlags = 0, known = 0;
  for (size_t i = 0; i < sizeof kFlags / sizeof kFlags[0]; ++i) {
    if (flags & kFlags[i][0]) hostFlags |= kFlags[i][1];
    known |= kFlags[i][0];
  }
  if (!(flags & _O_BINARY) || (flags & ~known))
    dllRunnerLacks("_open of a text-mode descriptor, or with other flags");
  mode_t mode = 0;
  if (flags & _O_CREAT) {
    va_list arguments;
    va_start(arguments, flags);
    mode = va_arg(arguments, int) & _S_IWRITE ? 0666 : 0444;  // without _S_IWRITE: a read-only file
    va_end(arguments);
  }
  int descriptor = open(path, hostFlags, mode);
  if (descriptor >= 0 && isFolder(descriptor)) close(descriptor), descriptor = -1, errno = EACCES;
  return descriptor >= 0 ? descriptor : failed();
}

static int msvcrt_read(int descriptor, void* buffer, unsigned count) {
  const ssize_t got = read(descriptor, buffer, count);
  return got >= 0 ? (int)got : failed();
}

static long msvcrt_lseek(int descriptor, long offset, int origin) {
  const off_t at = lseek(descriptor, offset, origin);
  if (at > LONG_MAX) errno = EINVAL;
  return at >= 0 && at <= LONG_MAX ? (long)at : failed();
}

static intptr_t msvcrt_get_osfhandle(int descriptor) {
  if (fcntl(descriptor, F_GETFD) == -1) return failed();
  return (intptr_t)handleOfDescriptor(descriptor);
}

// Files only, as msvcrt removes them.
static int msvcrt_remove(const char* path) { return unlink(path) == 0 ? 0 : failed(); }

// ---- the table ----------------------------------------------------------------

// The host's own functions where msvcrt's take and give the same; msvcrt's
// struct lconv is the first eighteen fields of the host's.
const SystemExport msvcrtExports[] = {
    {"__mb_cur_max", &mbCurMax},
    {"_amsg_exit", (void*)msvcrt_amsg_exit},
    {"_errno", (void*)msvcrt_errno},
    {"_fileno", (void*)msvcrt_fileno},
    {"_get_osfhandle", (void*)msvcrt_get_osfhandle},
    {"_getpid", (void*)msvcrt_getpid},
    {"_initterm", (void*)msvcrt_initterm},
    {"_iob", iob},
    {"_lock", (void*)msvcrt_lock},
    {"_lseek", (void*)msvcrt_lseek},
    {"_open", (void*)msvcrt_open},
    {"_read", (void*)msvcrt_read},
    {"_unlock", (void*)msvcrt_unlock},
    {"abort", (void*)abort},
    {"atoi", (void*)atoi},
    {"calloc", (void*)calloc},
    {"exit", (void*)msvcrt_exit},
    {"fclose", (void*)msvcrt_fclose},
    {"fflush", (void*)msvcrt_fflush},
    {"fopen", (void*)msvcrt_fopen},
    {"fputc", (void*)msvcrt_fputc},
    {"fputs", (void*)msvcrt_fputs},
    {"fread", (void*)msvcrt_fread},
    {"free", (void*)free},
    {"fseek", (void*)msvcrt_fseek},
    {"fwrite", (void*)msvcrt_fwrite},
    {"localeconv", (void*)localeconv},
    {"malloc", (void*)malloc},
    {"memchr", (void*)memchr},
    {"memcmp", (void*)memcmp},
    {"memcpy", (void*)memcpy},
    {"memmove", (void*)memmove},
    {"memset", (void*)memset},
    {"realloc", (void*)realloc},
    {"remove", (void*)msvcrt_remove},
    {"setlocale", (void*)msvcrt_setlocale},
    {"strchr", (void*)strchr},
    {"strcmp", (void*)strcmp},
    {"strerror", (void*)msvcrt_strerror},
    {"strlen", (void*)strlen},
    {"strncmp", (void*)strncmp},
    {"vfprintf", (void*)msvcrt_vfprintf},
    {"wcslen", (void*)msvcrt_wcslen},
    {"_fdopen", (void*)msvcrt_fdopen},
    {NULL, NULL},
};
