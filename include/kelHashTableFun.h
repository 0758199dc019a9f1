/*
 * kelHashTableFun: one in-memory hash table for a host process.
 *
 * Keys are byte strings or signed 32-bit integers ("long keys"); each key
 * carries a 32-bit content. The library holds a single current table that
 * every function below works on: a builder makes it, the other functions
 * change, search, list and dump it, and close releases it. The seventeen
 * functions of the original library return nothing; without a current table
 * every function but the builders does nothing (the searches still clear
 * their found flags).
 *
 * The functions after them are an addition, for hosts that need to know what
 * the seventeen cannot tell. The loader fills them when the library has them
 * and leaves them null when it is an older one, which only has the seventeen:
 *   - checkRestartFile and makeHashTableFromBinFileChecked give a restart
 *     file's status where makeHashTableFromBinFile would end the process;
 *   - getLastDumpOutcome tells whether the last dump landed;
 *   - freeHashTableMemory releases what a listing returned with the
 *     library's own allocator.
 *
 * The library exports a function named "close", which is also the POSIX
 * close(int). This header therefore never declares the exports as global
 * functions. It declares their types, and a struct of function pointers that
 * kelHashTableFunLoad fills from the library, loaded privately
 * (dlopen with RTLD_LOCAL, or LoadLibraryA on Windows):
 *
 *     KelHashTableFun ht;
 *     if (!kelHashTableFunLoad(&ht, NULL)) return 1;
 *     ht.makeHashTableStrList(keys, 3, contents);
 *     ht.searchStrList(probes, 2, found, values);
 *     ht.close();
 *     kelHashTableFunUnload(&ht);
 *
 * When kelHashTableFunLoad returns 0, ht.error says what failed.
 *
 * The header compiles as C89 and as C++98 and later. Where <stdint.h> is
 * missing (Visual C++ before 2010; a host may also define
 * KELHASHTABLEFUN_NO_STDINT) its two integer types are made from the
 * compiler's own types instead.
 *
 * Arguments the library cannot use are tolerated as follows:
 *   - a negative count builds an empty table, as a count of 0 would, and
 *     makes the searches do nothing;
 *   - a null key array builds a table sized for `count` with no keys; a null
 *     entry inside a key array is skipped; a null list for
 *     makeHashTableStr builds an empty table, as a count of 0 would;
 *   - a null string key is never present: adding or setting it does
 *     nothing, removing it reports 0, searching it reports not found;
 *   - a null found array is not written; contents of found keys are still
 *     written when a contents array is given; null contents arrays mean
 *     "all 0" on input and are not written on output.
 * The out-arguments of getAllValidContents and getAllValidFullContents must
 * point to storage the library can write, whenever a table is current.
 * Running out of memory (including a table whose bucket count would not fit
 * in 32 bits) is fatal: the message "HashTable:メモリが足りません" (Shift_JIS)
 * is shown as every fatal message is (a message box and the debugger output
 * on Windows; on Linux "HashTablePure: ", the message bytes and a newline on
 * standard error), and the process exits with status 1.
 * A builder releases the table it replaces.
 */
#ifndef KELHASHTABLEFUN_H
#define KELHASHTABLEFUN_H

/*
 * kelHashTableFun_int32: a signed 32-bit integer (int32_t).
 * kelHashTableFun_word: a signed integer as wide as a pointer (intptr_t).
 */
#if defined(KELHASHTABLEFUN_NO_STDINT) || (defined(_MSC_VER) && _MSC_VER < 1600)
typedef int kelHashTableFun_int32; /* int is 32 bits on every target of the library */
#if defined(_WIN64) && defined(__GNUC__)
__extension__ typedef long long kelHashTableFun_word;
#elif defined(_WIN64)
typedef __int64 kelHashTableFun_word;
#else
typedef long kelHashTableFun_word; /* 32-bit targets, and 64-bit Linux */
#endif
#else
#include <stdint.h>
typedef int32_t kelHashTableFun_int32;
typedef intptr_t kelHashTableFun_word;
#endif

#if defined(_WIN32)
#define KELHASHTABLEFUN_CALL __cdecl
#else
#define KELHASHTABLEFUN_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

struct DataSetFiles;

/*
 * Data sets, for makeHashTableDs.
 *
 * DataSet describes a data set the host owns, and DataSetFiles holds the
 * descriptors of its two files. The library reads the named words of both
 * and nothing else; it never writes them. The reservedN words are the
 * host's own and are never read.
 *
 * Layout: both records are sequences of words, and word k sits at byte
 * k * sizeof(void*). On a 32-bit build every word is 32 bits wide (word k at
 * byte 4k); on a 64-bit build every word is widened to 64 bits (word k at
 * byte 8k), in the same order and with the same meaning. Address words are
 * pointers. Numeric words are kelHashTableFun_word (intptr_t), and the
 * library takes the signed 32-bit number held in their low 32 bits (on a
 * 64-bit build the upper half is ignored, so a value may be stored
 * sign-extended or not).
 *
 * Descriptors: on Linux the record file and string file are POSIX
 * descriptors, used with read and lseek; on Windows they are descriptors of
 * the C runtime msvcrt.dll, used with _read and _lseek, so the host opens
 * them through msvcrt.dll as well. Each file is positioned from its start.
 *
 * Integer column (kind 2): row r's cell is the 32-bit integer at byte
 * columnOffsets[column] of the row. Rows firstCachedRow <= r <
 * firstCachedRow + cachedRowCount are cached one after another at
 * rowCacheBase and their cells are read there, in the host's byte order,
 * without touching the file. Every other row costs one seek to
 * columnOffsets[column] + recordLength * r in the record file and one read
 * of 4 bytes (a little-endian integer). That offset is computed in 32-bit
 * arithmetic and wraps around; when it comes out negative the seek fails.
 *
 * String column (kind 1): its stringCounts[column] strings lie at the
 * offsets stringOffsets[column][i] in the string heap. An offset below
 * stringHeapMemoryLength is used in place at stringHeapMemoryBase + offset;
 * any other costs one seek to offset - stringHeapMemoryLength in the string
 * file and one read of 1024 bytes.
 *
 * The table is made for rowCount keys (both kinds), and contents, when not
 * null, is indexed by row for an integer column and by string number for a
 * string column. A repeated cell or string keeps its first content.
 *
 * When a cell or a string cannot be fetched, the library adds:
 *   - 255 (0x000000FF) for a cell whose read finds the record file ended;
 *   - 0 for a cell whose read fails (an error, or a count other than 0 or 4
 *     bytes) or whose seek fails (a negative offset, a bad descriptor); the
 *     read after a failed seek is still made, and its bytes are discarded;
 *   - for a string of the string file, whatever its read leaves in the one
 *     1024-byte buffer the import reads every such string into (zeroed when
 *     the import starts): the bytes that arrived, followed by what earlier
 *     strings left after them up to a NUL, and at most the first 1023
 *     bytes; a read that finds the file ended puts the single byte 0xFF at
 *     the start;
 *   - the empty string for a negative offset (nothing before the heap is
 *     read), and for a string whose seek or read fails.
 * Missing parts of the records are tolerated as follows:
 *   - a null ds builds an empty table of 2 buckets, as a row count of 0 does;
 *     a negative row count is taken as 0;
 *   - a negative column, null columnKinds, or a kind other than 1 and 2
 *     leaves the new table empty;
 *   - null columnOffsets (integer column), or null stringCounts,
 *     stringOffsets or stringOffsets[column] (string column) add no key;
 *   - a null rowCacheBase caches no row; a null stringHeapMemoryBase makes
 *     every string of the in-memory part the empty string;
 *   - null files makes every seek and read fail.
 * The library cannot know the lengths of the host's arrays: it reads the
 * entries of `column`, the contents and offsets of the rows and strings
 * named above, and 1024 bytes at most into its own buffer per string.
 */
typedef struct DataSet {
  kelHashTableFun_word reserved0;
  kelHashTableFun_word reserved1;
  const void* rowCacheBase;                  /* word 2: first byte of the cached rows */
  const struct DataSetFiles* files;          /* word 3: the data set's descriptors */
  kelHashTableFun_word reserved4;
  kelHashTableFun_word reserved5;
  kelHashTableFun_word rowCount;             /* word 6: number of rows */
  const kelHashTableFun_int32* columnKinds;  /* word 7: per column, 1 = strings, 2 = integers */
  kelHashTableFun_word reserved8;
  kelHashTableFun_word recordLength;         /* word 9: bytes per row, cached and in the file */
  kelHashTableFun_word cachedRowCount;       /* word 10: number of consecutive cached rows */
  kelHashTableFun_word reserved11;
  kelHashTableFun_word firstCachedRow;       /* word 12: row index of the first cached row */
  kelHashTableFun_word reserved13;
  const kelHashTableFun_int32* columnOffsets; /* word 14: per column, byte offset of its cell */
  kelHashTableFun_word reserved15;
  kelHashTableFun_word reserved16;
  const kelHashTableFun_int32* stringCounts; /* word 17: per column, number of strings */
  kelHashTableFun_word reserved18;
  kelHashTableFun_word reserved19;
  kelHashTableFun_word reserved20;
  const kelHashTableFun_int32* const* stringOffsets; /* word 21: per column, each string's offset */
  kelHashTableFun_word reserved22;
  kelHashTableFun_word stringHeapMemoryLength; /* word 23: bytes of the heap held in memory */
  const char* stringHeapMemoryBase;          /* word 24: the heap's in-memory part */
} DataSet;

/* The descriptors of a data set's files, opened by the host. */
typedef struct DataSetFiles {
  kelHashTableFun_word reserved0;
  kelHashTableFun_word recordFile; /* word 1: the record file */
  kelHashTableFun_word stringFile; /* word 2: the string file */
} DataSetFiles;

/*
 * The seventeen exports, in the library's export order. docs/api.md has an
 * entry for each: every argument, what is written and when, what is fatal.
 */

/* Adds the key with `content` when absent; a present key keeps its content. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_addOneLng(int key, int content);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_addOneStr(const char* key, int content);

/* Releases the current table; without one, does nothing. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_close(void);

/* Writes the current table to the restart file `path`; the file ends as a
   plain fopen(path, "wb") write would leave it, replaced safely where that
   keeps everything (getLastDumpOutcome tells how the dump ended). Does
   nothing when path is null or no file can be opened. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_dumpToRestartFile(const char* path);

/* Out: *count entries, and new arrays of *count + 1 slots (the last one not
   written) in walk order; string slots are new key copies for string keys
   and null for long keys, whose key is in the long-key slot (0 for string
   keys). The host frees every string and array with free (msvcrt.dll's on
   Windows). Without a current table nothing at all is written: start count
   at 0 and the pointers at null. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_getAllValidContents(int* count, int** contents);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_getAllValidFullContents(int* count, int** contents,
                                                                          char*** stringKeys,
                                                                          int** longKeys);

/* Builders: each releases the current table and makes a new one current.
   makeHashTableDs: one column of the host's data set (see DataSet above).
   makeHashTableFromBinFile: the table of a restart file, as it was dumped; a
   missing or damaged file is fatal. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_makeHashTableDs(const DataSet* ds, int column,
                                                                  const int* contents);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_makeHashTableFromBinFile(const char* path);

/* A table for `count` keys, keys[i] with contents[i] (null contents: all 0);
   a repeated key keeps its first content. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_makeHashTableLng(const int* keys, int count,
                                                                   const int* contents);

/* A table of the keys of a comma-separated list, split at every comma with
   nothing trimmed: "" is one empty key; "a,,b," gives a, "", b, "" (the
   repeated "" keeps its first content); contents[i] goes with token i. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_makeHashTableStr(const char* list,
                                                                   const int* contents);

/* A table for `count` string keys, keys[i] with contents[i], as
   makeHashTableLng. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_makeHashTableStrList(const char** keys, int count,
                                                                       const int* contents);

/* content null: removes the key whatever its content. Otherwise *content is
   a filter (the key is removed only if its content equals it) and then
   receives the key's content, removed or not, or 0 when the key is absent. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_removeOneLng(int key, int* content);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_removeOneStr(const char* key, int* content);

/* found[i] = 1 if keys[i] is present, else 0 (cleared even without a current
   table); contents[i] is written for found keys only, others left as they were. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_searchLng(const int* keys, int count, char* found,
                                                            int* contents);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_searchStrList(const char** keys, int count,
                                                                char* found, int* contents);

/* Replaces the key's content; an absent key is added with it. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_setContentLng(int key, int content);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_setContentStr(const char* key, int content);

/*
 * The exports added after the seventeen (ordinals 18 and on of the DLL). A
 * host of the original library never calls them; docs/api.md has an entry
 * for each.
 */

/* A restart file's status, returned by checkRestartFile and
   makeHashTableFromBinFileChecked. */
#define KELHASHTABLEFUN_FILE_SOUND 0        /* loads; listing and dumping the table succeed */
#define KELHASHTABLEFUN_FILE_NOT_OPENED 1   /* missing, unreadable, a folder, or a null path */
#define KELHASHTABLEFUN_FILE_DAMAGED 2      /* makeHashTableFromBinFile would end the process */
#define KELHASHTABLEFUN_FILE_INCONSISTENT 3 /* loads, but listing or dumping it ends the process */

/* Why a damaged file is damaged: the first field that cannot be accepted. */
#define KELHASHTABLEFUN_DAMAGE_NONE 0
#define KELHASHTABLEFUN_DAMAGE_ENDS_IN_SIZE 1         /* the file ends before the bucket count */
#define KELHASHTABLEFUN_DAMAGE_ENDS_IN_COUNTER 2      /* ... before the counter */
#define KELHASHTABLEFUN_DAMAGE_ENDS_IN_BUCKET 3       /* ... where the counter asks for a chain */
#define KELHASHTABLEFUN_DAMAGE_ENDS_IN_CHAIN_LENGTH 4 /* ... before a chain length */
#define KELHASHTABLEFUN_DAMAGE_ENDS_IN_CONTENT 5      /* ... where the chain asks for an entry */
#define KELHASHTABLEFUN_DAMAGE_ENDS_IN_IS_LONG 6      /* ... before an isLong byte */
#define KELHASHTABLEFUN_DAMAGE_ENDS_IN_LONG_KEY 7     /* ... before a long key */
#define KELHASHTABLEFUN_DAMAGE_SIZE_BELOW_ONE 8       /* a bucket count below 1 */
#define KELHASHTABLEFUN_DAMAGE_BUCKET_OUT_OF_RANGE 9  /* a bucket index outside 0 to size - 1 */
#define KELHASHTABLEFUN_DAMAGE_BAD_IS_LONG 10         /* an isLong byte other than 0 and 1 */
#define KELHASHTABLEFUN_DAMAGE_STRING_TOO_LONG 11     /* a string key of more than 499,999 bytes */
#define KELHASHTABLEFUN_DAMAGE_STRING_UNTERMINATED 12 /* a string key without its NUL */

/*
 * What a check found, written when the caller passes one. Eight 32-bit
 * fields: the same 32 bytes on every target. Counts and offsets beyond
 * 2147483647 are given as 2147483647.
 */
typedef struct KelHashTableFunFileCheck {
  kelHashTableFun_int32 status;    /* the status returned */
  kelHashTableFun_int32 damage;    /* damaged: KELHASHTABLEFUN_DAMAGE_..., otherwise 0 */
  kelHashTableFun_int32 offset;    /* damaged: the offset the fatal message gives; otherwise
                                      the byte after the last record the loader reads */
  kelHashTableFun_int32 buckets;   /* the stored bucket count; 0 when not read */
  kelHashTableFun_int32 counter;   /* the stored counter; 0 when not read */
  kelHashTableFun_int32 entries;   /* the entries the loaded table holds (sound: counter) */
  /* Information, which does not change the status: */
  kelHashTableFun_int32 misplaced; /* entry records in a bucket their key does not hash to:
                                      searches never find them */
  kelHashTableFun_int32 trailing;  /* 1 when bytes follow the last record the loader reads */
} KelHashTableFunFileCheck;

/* Checks the restart file `path` as makeHashTableFromBinFile would read it,
   without building its table and without ending the process; the current
   table stays as it is. Returns its status; fills *check unless it is null. */
typedef kelHashTableFun_int32 KELHASHTABLEFUN_CALL kelHashTableFun_checkRestartFile(
    const char* path, KelHashTableFunFileCheck* check);

/* makeHashTableFromBinFile with a status instead of the fatal end: only a
   sound file's table is made current (the table it replaces is released
   first); otherwise the current table stays as it was. */
typedef kelHashTableFun_int32 KELHASHTABLEFUN_CALL
kelHashTableFun_makeHashTableFromBinFileChecked(const char* path, KelHashTableFunFileCheck* check);

/* How the last dump ended. NONE: no dump since the library was loaded, or
   the last dump had a null path or no current table. */
#define KELHASHTABLEFUN_DUMP_NONE 0
#define KELHASHTABLEFUN_DUMP_LANDED 1           /* the file holds the table */
#define KELHASHTABLEFUN_DUMP_NOT_OPENED 2       /* the path cannot be written: nothing changed */
#define KELHASHTABLEFUN_DUMP_FAILED_KEPT 3      /* writing failed; the file is as it was */
#define KELHASHTABLEFUN_DUMP_FAILED_TRUNCATED 4 /* writing failed in place: the file is damaged */
typedef kelHashTableFun_int32 KELHASHTABLEFUN_CALL kelHashTableFun_getLastDumpOutcome(void);

/* Releases an array, or a key copy, that getAllValidContents or
   getAllValidFullContents returned, with the allocator that made it; null
   does nothing. For hosts that do not share the library's C runtime. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_freeHashTableMemory(void* block);

/* Bytes of KelHashTableFun.error, its terminating NUL included. */
#define KELHASHTABLEFUN_ERROR_BYTES 512

typedef struct KelHashTableFun {
  void* library; /* the loaded module; null when not loaded */
  kelHashTableFun_addOneLng* addOneLng;
  kelHashTableFun_addOneStr* addOneStr;
  kelHashTableFun_close* close;
  kelHashTableFun_dumpToRestartFile* dumpToRestartFile;
  kelHashTableFun_getAllValidContents* getAllValidContents;
  kelHashTableFun_getAllValidFullContents* getAllValidFullContents;
  kelHashTableFun_makeHashTableDs* makeHashTableDs;
  kelHashTableFun_makeHashTableFromBinFile* makeHashTableFromBinFile;
  kelHashTableFun_makeHashTableLng* makeHashTableLng;
  kelHashTableFun_makeHashTableStr* makeHashTableStr;
  kelHashTableFun_makeHashTableStrList* makeHashTableStrList;
  kelHashTableFun_removeOneLng* removeOneLng;
  kelHashTableFun_removeOneStr* removeOneStr;
  kelHashTableFun_searchLng* searchLng;
  kelHashTableFun_searchStrList* searchStrList;
  kelHashTableFun_setContentLng* setContentLng;
  kelHashTableFun_setContentStr* setContentStr;
  /* After kelHashTableFunLoad returned 0: what failed, as "<path>: <reason>",
     the reason being the system's for a library that cannot be loaded, or
     "no export named <name>" for the first export the library lacks. An
     empty string after a successful load and after kelHashTableFunUnload. */
  char error[KELHASHTABLEFUN_ERROR_BYTES];
  /* The exports after the seventeen: null when the library lacks them. They
     come last, so the members above keep their places. */
  kelHashTableFun_checkRestartFile* checkRestartFile;
  kelHashTableFun_makeHashTableFromBinFileChecked* makeHashTableFromBinFileChecked;
  kelHashTableFun_getLastDumpOutcome* getLastDumpOutcome;
  kelHashTableFun_freeHashTableMemory* freeHashTableMemory;
} KelHashTableFun;

#ifdef __cplusplus
}
#endif

#ifndef KELHASHTABLEFUN_NO_LOADER

#include <string.h>
#if defined(_WIN32)
#include <windows.h>
#define KELHASHTABLEFUN_DEFAULT_PATH "kelHashTableFun.dll"
#else
#include <dlfcn.h>
#define KELHASHTABLEFUN_DEFAULT_PATH "libkelHashTableFun.so"
#endif

/* The loader's functions: static, and inline where the language has it. */
#if defined(__cplusplus) || (defined(__STDC_VERSION__) && __STDC_VERSION__ >= 199901L)
#define KELHASHTABLEFUN_INLINE static inline
#elif defined(__GNUC__)
#define KELHASHTABLEFUN_INLINE static __inline__
#elif defined(_MSC_VER)
#define KELHASHTABLEFUN_INLINE static __inline
#else
#define KELHASHTABLEFUN_INLINE static
#endif

typedef void (*kelHashTableFun_anyFunction)(void);

KELHASHTABLEFUN_INLINE kelHashTableFun_anyFunction kelHashTableFunFind(void* library,
                                                                      const char* name) {
#if defined(_WIN32)
  /* FARPROC to another function pointer type: no detour through void*,
     which ISO C does not allow for function pointers. */
  return (kelHashTableFun_anyFunction)GetProcAddress((HMODULE)library, name);
#else
  void* address = dlsym(library, name);
  kelHashTableFun_anyFunction function;
  memcpy(&function, &address, sizeof function);
  return function;
#endif
}

/* Appends `text` to api->error, as much of it as fits. */
KELHASHTABLEFUN_INLINE void kelHashTableFunAppendError(KelHashTableFun* api, const char* text) {
  size_t used = strlen(api->error);
  while (*text != '\0' && used + 1 < sizeof api->error) api->error[used++] = *text++;
  api->error[used] = '\0';
}

#if defined(_WIN32)
/* Appends the system's reason, with its insert %1 (the file) filled in. */
KELHASHTABLEFUN_INLINE void kelHashTableFunAppendReason(KelHashTableFun* api, const char* reason,
                                                        const char* path) {
  char character[2];
  character[1] = '\0';
  while (*reason != '\0') {
    if (reason[0] == '%' && reason[1] == '1') {
      kelHashTableFunAppendError(api, path);
      reason += 2;
    } else {
      character[0] = *reason++;
      kelHashTableFunAppendError(api, character);
    }
  }
}
#endif

/* Sets api->error to why `path` could not be loaded, right after the failure. */
KELHASHTABLEFUN_INLINE void kelHashTableFunLoadFailed(KelHashTableFun* api, const char* path) {
#if defined(_WIN32)
  DWORD code = GetLastError();
  char reason[256];
  char number[16];
  size_t digits = sizeof number - 1;
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, NULL,
                                code, 0, reason, (DWORD)sizeof reason, NULL);
  while (length > 0 && (reason[length - 1] == '\r' || reason[length - 1] == '\n' ||
                        reason[length - 1] == ' '))
    --length;
  reason[length] = '\0';
  number[digits] = '\0';
  do {
    number[--digits] = (char)('0' + code % 10);
    code /= 10;
  } while (code != 0);
  kelHashTableFunAppendError(api, path);
  kelHashTableFunAppendError(api, ": ");
  kelHashTableFunAppendReason(api, length > 0 ? reason : "cannot be loaded", path);
  kelHashTableFunAppendError(api, " (error ");
  kelHashTableFunAppendError(api, number + digits);
  kelHashTableFunAppendError(api, ")");
#else
  /* dlerror() usually starts with the path already; a reason about another
     file (a library this one needs) does not. */
  const char* reason = dlerror();
  if (reason == NULL) reason = "cannot be loaded";
  if (strncmp(reason, path, strlen(path)) != 0) {
    kelHashTableFunAppendError(api, path);
    kelHashTableFunAppendError(api, ": ");
  }
  kelHashTableFunAppendError(api, reason);
#endif
}

/* Releases the library (the current table, if any, is not closed). */
KELHASHTABLEFUN_INLINE void kelHashTableFunUnload(KelHashTableFun* api) {
  if (api->library != NULL) {
#if defined(_WIN32)
    FreeLibrary((HMODULE)api->library);
#else
    dlclose(api->library);
#endif
  }
  memset(api, 0, sizeof *api);
}

/*
 * Loads the library from `path` (NULL: the platform's default name, found
 * the way the platform finds libraries) and fills every function pointer;
 * those of the exports after the seventeen stay null when the library lacks
 * them (an older library). Returns 1 on success; 0 when the library cannot
 * be loaded or lacks one of the seventeen functions: then the library is
 * released, every pointer is null and api->error says what failed, for
 * example
 *   "./libkelHashTableFun.so: cannot open shared object file: No such file or directory"
 *   "kelHashTableFun.dll: The specified module could not be found. (error 126)"
 *   "./libkelHashTableFun.so: no export named removeOneStr"
 */
KELHASHTABLEFUN_INLINE int kelHashTableFunLoad(KelHashTableFun* api, const char* path) {
  const char* missing = NULL;
  if (path == NULL) path = KELHASHTABLEFUN_DEFAULT_PATH;
  memset(api, 0, sizeof *api);
#if defined(_WIN32)
  api->library = (void*)LoadLibraryA(path);
#else
  /* RTLD_LOCAL keeps the export "close" out of the process's global scope. */
  api->library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
#endif
  if (api->library == NULL) {
    kelHashTableFunLoadFailed(api, path);
    return 0;
  }
#define KELHASHTABLEFUN_BIND_IF_PRESENT(name) \
  api->name = (kelHashTableFun_##name*)kelHashTableFunFind(api->library, #name)
#define KELHASHTABLEFUN_BIND(name)          \
  KELHASHTABLEFUN_BIND_IF_PRESENT(name); \
  if (api->name == NULL && missing == NULL) missing = #name
  KELHASHTABLEFUN_BIND(addOneLng);
  KELHASHTABLEFUN_BIND(addOneStr);
  KELHASHTABLEFUN_BIND(close);
  KELHASHTABLEFUN_BIND(dumpToRestartFile);
  KELHASHTABLEFUN_BIND(getAllValidContents);
  KELHASHTABLEFUN_BIND(getAllValidFullContents);
  KELHASHTABLEFUN_BIND(makeHashTableDs);
  KELHASHTABLEFUN_BIND(makeHashTableFromBinFile);
  KELHASHTABLEFUN_BIND(makeHashTableLng);
  KELHASHTABLEFUN_BIND(makeHashTableStr);
  KELHASHTABLEFUN_BIND(makeHashTableStrList);
  KELHASHTABLEFUN_BIND(removeOneLng);
  KELHASHTABLEFUN_BIND(removeOneStr);
  KELHASHTABLEFUN_BIND(searchLng);
  KELHASHTABLEFUN_BIND(searchStrList);
  KELHASHTABLEFUN_BIND(setContentLng);
  KELHASHTABLEFUN_BIND(setContentStr);
  KELHASHTABLEFUN_BIND_IF_PRESENT(checkRestartFile);
  KELHASHTABLEFUN_BIND_IF_PRESENT(makeHashTableFromBinFileChecked);
  KELHASHTABLEFUN_BIND_IF_PRESENT(getLastDumpOutcome);
  KELHASHTABLEFUN_BIND_IF_PRESENT(freeHashTableMemory);
#undef KELHASHTABLEFUN_BIND
#undef KELHASHTABLEFUN_BIND_IF_PRESENT
  if (missing != NULL) {
    kelHashTableFunUnload(api);
    kelHashTableFunAppendError(api, path);
    kelHashTableFunAppendError(api, ": no export named ");
    kelHashTableFunAppendError(api, missing);
    return 0;
  }
  return 1;
}

#endif /* KELHASHTABLEFUN_NO_LOADER */

#endif /* KELHASHTABLEFUN_H */
