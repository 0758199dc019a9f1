/*
 * kelHashTableFun: one in-memory hash table for a host process.
 *
 * Keys are byte strings or signed 32-bit integers ("long keys"); each key
 * carries a 32-bit content. The library holds a single current table that
 * every function below works on: a builder makes it, the other functions
 * change, search, list and dump it, and close releases it. Functions return
 * nothing; without a current table every function but the builders does
 * nothing (the searches still clear their found flags).
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
 * Running out of memory (including a table whose bucket count would not fit
 * in 32 bits) is fatal: the message "HashTable:メモリが足りません" (Shift_JIS)
 * is shown as every fatal message is, and the process exits with status 1.
 * A builder releases the table it replaces.
 */
#ifndef KELHASHTABLEFUN_H
#define KELHASHTABLEFUN_H

#include <stdint.h>

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
 * The host's data-set record, read (never written) by makeHashTableDs.
 * It is a sequence of words; the library reads only the named ones. On a
 * 32-bit build every word is 32 bits wide; on a 64-bit build every word is
 * widened to pointer width, so word k sits at byte k * sizeof(void*) and
 * the numeric words hold their value in an intptr_t.
 */
typedef struct DataSet {
  intptr_t reserved0;
  intptr_t reserved1;
  const void* rowCacheBase;          /* word 2: first byte of the cached rows */
  const struct DataSetFiles* files;  /* word 3: the data set's descriptors */
  intptr_t reserved4;
  intptr_t reserved5;
  intptr_t rowCount;                 /* word 6 */
  const int32_t* columnKinds;        /* word 7: 1 = string column, 2 = integer column */
  intptr_t reserved8;
  intptr_t recordLength;             /* word 9: bytes per row */
  intptr_t cachedRowCount;           /* word 10 */
  intptr_t reserved11;
  intptr_t firstCachedRow;           /* word 12 */
  intptr_t reserved13;
  const int32_t* columnOffsets;      /* word 14: byte offset of each column's cell in a row */
  intptr_t reserved15;
  intptr_t reserved16;
  const int32_t* stringCounts;       /* word 17: strings per column */
  intptr_t reserved18;
  intptr_t reserved19;
  intptr_t reserved20;
  const int32_t* const* stringOffsets; /* word 21: per column, each string's heap offset */
  intptr_t reserved22;
  intptr_t stringHeapMemoryLength;   /* word 23: bytes of the heap held in memory */
  const char* stringHeapMemoryBase;  /* word 24 */
} DataSet;

/* The descriptors of the data set's files, opened by the host. */
typedef struct DataSetFiles {
  intptr_t reserved0;
  intptr_t recordFile; /* word 1 */
  intptr_t stringFile; /* word 2 */
} DataSetFiles;

/* The seventeen exports, in the library's export order. */
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_addOneLng(int key, int content);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_addOneStr(const char* key, int content);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_close(void);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_dumpToRestartFile(const char* path);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_getAllValidContents(int* count, int** contents);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_getAllValidFullContents(int* count, int** contents,
                                                                          char*** stringKeys,
                                                                          int** longKeys);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_makeHashTableDs(const DataSet* ds, int column,
                                                                  const int* contents);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_makeHashTableFromBinFile(const char* path);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_makeHashTableLng(const int* keys, int count,
                                                                   const int* contents);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_makeHashTableStr(const char* list,
                                                                   const int* contents);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_makeHashTableStrList(const char** keys, int count,
                                                                       const int* contents);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_removeOneLng(int key, int* content);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_removeOneStr(const char* key, int* content);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_searchLng(const int* keys, int count, char* found,
                                                            int* contents);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_searchStrList(const char** keys, int count,
                                                                char* found, int* contents);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_setContentLng(int key, int content);
typedef void KELHASHTABLEFUN_CALL kelHashTableFun_setContentStr(const char* key, int content);

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
} KelHashTableFun;

#ifdef __cplusplus
}
#endif

#ifndef KELHASHTABLEFUN_NO_LOADER

#if defined(_WIN32)
#include <windows.h>
#define KELHASHTABLEFUN_DEFAULT_PATH "kelHashTableFun.dll"
#else
#include <dlfcn.h>
#include <string.h>
#define KELHASHTABLEFUN_DEFAULT_PATH "libkelHashTableFun.so"
#endif

typedef void (*kelHashTableFun_anyFunction)(void);

static inline kelHashTableFun_anyFunction kelHashTableFunFind(void* library, const char* name) {
#if defined(_WIN32)
  return (kelHashTableFun_anyFunction)(void*)GetProcAddress((HMODULE)library, name);
#else
  void* address = dlsym(library, name);
  kelHashTableFun_anyFunction function;
  memcpy(&function, &address, sizeof function);
  return function;
#endif
}

/* Releases the library (the current table, if any, is not closed). */
static inline void kelHashTableFunUnload(KelHashTableFun* api) {
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
 * the way the platform finds libraries) and fills every function pointer.
 * Returns 1 on success; 0, with *api zeroed, when the library or one of its
 * functions cannot be found.
 */
static inline int kelHashTableFunLoad(KelHashTableFun* api, const char* path) {
  if (path == NULL) path = KELHASHTABLEFUN_DEFAULT_PATH;
  memset(api, 0, sizeof *api);
#if defined(_WIN32)
  api->library = (void*)LoadLibraryA(path);
#else
  /* RTLD_LOCAL keeps the export "close" out of the process's global scope. */
  api->library = dlopen(path, RTLD_NOW | RTLD_LOCAL);
#endif
  if (api->library == NULL) return 0;
#define KELHASHTABLEFUN_BIND(name) \
  api->name = (kelHashTableFun_##name*)kelHashTableFunFind(api->library, #name)
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
#undef KELHASHTABLEFUN_BIND
  if (!api->addOneLng || !api->addOneStr || !api->close || !api->dumpToRestartFile ||
      !api->getAllValidContents || !api->getAllValidFullContents || !api->makeHashTableDs ||
      !api->makeHashTableFromBinFile || !api->makeHashTableLng || !api->makeHashTableStr ||
      !api->makeHashTableStrList || !api->removeOneLng || !api->removeOneStr ||
      !api->searchLng || !api->searchStrList || !api->setContentLng || !api->setContentStr) {
    kelHashTableFunUnload(api);
    return 0;
  }
  return 1;
}

#endif /* KELHASHTABLEFUN_NO_LOADER */

#endif /* KELHASHTABLEFUN_H */
