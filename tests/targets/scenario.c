/*
 * The cross-target scenario: one portable C host, built for every target
 * (64-bit and 32-bit Linux, 64-bit and 32-bit Windows), that loads the
 * library by path and drives it through its exports only.
 *
 *   scenario LIBRARY run
 *       Uses all seventeen exports (a data set whose files the host opens
 *       itself, a dump and a reload included) and prints a transcript. Every
 *       target must print the same bytes.
 *   scenario LIBRARY restart-write DIR
 *       Builds the fixed restart tables and dumps them into DIR (how the
 *       files under tests/data/restart were made).
 *   scenario LIBRARY restart-check DIR
 *       For every fixed restart table: builds it again and checks that its
 *       dump equals DIR's file byte for byte; loads DIR's file and checks
 *       that every key is found with its content, that removed keys are
 *       absent, that the enumeration follows the file's record order, and
 *       that dumping the loaded table gives the file again.
 *   scenario LIBRARY fatal-missing | fatal-dump | fatal-list
 *       Runs into one of the fatal conditions (a restart file that does not
 *       exist; a dump or an enumeration of a table whose counter disagrees
 *       with its chains). The process must end with status 1 inside the
 *       call; "returned" on stdout and status 0 mean it did not. On
 *       Windows the message box is intercepted and its caption and text go
 *       to stderr the way the Linux build writes them.
 *
 * Files are made in the current directory. Exit status 0 means success.
 */
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#define openReadOnly(path) _open((path), _O_RDONLY | _O_BINARY)
#define closeDescriptor _close
#else
#include <fcntl.h>
#include <unistd.h>
#define openReadOnly(path) open((path), O_RDONLY)
#define closeDescriptor close
#endif

#include "kelHashTableFun.h"

static KelHashTableFun ht;
static int failures;

static void fail(const char* what, const char* detail) {
  printf("FAIL: %s%s%s\n", what, detail ? ": " : "", detail ? detail : "");
  ++failures;
}

/* ---- bytes and files ---------------------------------------------------- */

typedef struct Bytes {
  unsigned char* data;
  long size;
} Bytes;

static Bytes readFile(const char* path) {
  Bytes b = {NULL, -1};
  FILE* f = fopen(path, "rb");
  if (f == NULL) return b;
  fseek(f, 0, SEEK_END);
  b.size = ftell(f);
  fseek(f, 0, SEEK_SET);
  b.data = (unsigned char*)malloc((size_t)b.size + 1);
  if (fread(b.data, 1, (size_t)b.size, f) != (size_t)b.size) b.size = -1;
  fclose(f);
  return b;
}

static void writeFile(const char* path, const void* data, size_t size) {
  FILE* f = fopen(path, "wb");
  if (f == NULL || fwrite(data, 1, size, f) != size) {
    fail("cannot write", path);
    exit(2);
  }
  fclose(f);
}

static void printHex(const unsigned char* bytes, size_t n) {
  size_t i;
  for (i = 0; i < n; ++i) printf("%02x", bytes[i]);
}

static void printKey(const char* s) {
  putchar('"');
  printHex((const unsigned char*)s, strlen(s));
  putchar('"');
}

static void printFile(const char* path) {
  Bytes b = readFile(path);
  long i;
  printf("file %s: %ld bytes\n", path, b.size);
  for (i = 0; i < b.size; i += 32) {
    printf("  ");
    printHex(b.data + i, (size_t)(b.size - i < 32 ? b.size - i : 32));
    putchar('\n');
  }
  free(b.data);
}

static uint32_t rd32(const unsigned char* p) {
  return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

static void put32(unsigned char* p, uint32_t v) {
  p[0] = (unsigned char)v;
  p[1] = (unsigned char)(v >> 8);
  p[2] = (unsigned char)(v >> 16);
  p[3] = (unsigned char)(v >> 24);
}

/* ---- transcript helpers --------------------------------------------------- */

/* Lists the table in walk order (both enumerations), then frees the arrays
 * with the C runtime's free: they belong to the host. */
static void printTable(const char* title) {
  int count = -1, fullCount = -1, i;
  int* contents = NULL;
  int* fullContents = NULL;
  char** stringKeys = NULL;
  int* longKeys = NULL;
  ht.getAllValidContents(&count, &contents);
  ht.getAllValidFullContents(&fullCount, &fullContents, &stringKeys, &longKeys);
  printf("table %s: %d entries\n", title, fullCount);
  if (count != fullCount) fail("the two enumerations disagree on the count", title);
  for (i = 0; i < fullCount; ++i) {
    if (contents[i] != fullContents[i]) fail("the two enumerations disagree on a content", title);
    printf("  %d ", fullContents[i]);
    if (stringKeys[i] != NULL) {
      printKey(stringKeys[i]);
      printf(" long=%d\n", longKeys[i]);
    } else {
      printf("long %d\n", longKeys[i]);
    }
    free(stringKeys[i]);
  }
  free(contents);
  free(fullContents);
  free(stringKeys);
  free(longKeys);
}

/* Searches the string keys, or the long keys when `keys` is NULL. */
static void search(const char* const* keys, const int* longKeys, int n) {
  char found[64];
  int contents[64], i;
  for (i = 0; i < n; ++i) contents[i] = -7777;
  if (keys != NULL)
    ht.searchStrList((const char**)keys, n, found, contents);
  else
    ht.searchLng(longKeys, n, found, contents);
  for (i = 0; i < n; ++i) {
    printf("  search ");
    if (keys != NULL)
      printKey(keys[i]);
    else
      printf("%d", longKeys[i]);
    printf(": found=%d content=%d\n", found[i], contents[i]);
  }
}

/* Removes a string key (a long key when `key` is NULL) with `filter` as the
 * content it must hold, and prints the content reported. */
static void removeWithFilter(const char* key, int longKey, int filter) {
  int c = filter;
  if (key != NULL) {
    ht.removeOneStr(key, &c);
    printf("  removeOneStr %s", key);
  } else {
    ht.removeOneLng(longKey, &c);
    printf("  removeOneLng %d", longKey);
  }
  printf(" filter %d -> %d\n", filter, c);
}

/* ---- the data set --------------------------------------------------------- */

/* Rows of 12 bytes: an integer cell at byte 4. Rows 2..4 are cached. */
enum { kRows = 8, kRecord = 12, kCellOffset = 4, kFirstCached = 2, kCached = 3 };
static const int32_t kCells[kRows] = {5, -9, 70000, 5, INT_MIN, 123456789, -1, 0};

static void runDataSet(void) {
  unsigned char records[kRows * kRecord];
  static char heap[64];
  static const char fileHeap[] = "file-one\0" "\xe4\xb8\x80 two\0" "alpha\0";
  const int32_t kinds[2] = {1, 2};
  const int32_t offsets[2] = {0, kCellOffset};
  const int32_t counts[2] = {6, 0};
  int32_t stringOffsets0[6];
  const int32_t* stringOffsets[2];
  int contents[kRows] = {10, 11, 12, 13, 14, 15, 16, 17};
  DataSet ds;
  DataSetFiles files;
  int r, heapLength;

  memset(records, 0xAB, sizeof records);
  for (r = 0; r < kRows; ++r) put32(records + r * kRecord + kCellOffset, (uint32_t)kCells[r]);
  writeFile("dataset.records", records, sizeof records);
  writeFile("dataset.strings", fileHeap, sizeof fileHeap);

  /* In-memory heap: "alpha", "", "\x80\xff beta"; the file part follows. */
  memcpy(heap, "alpha\0\0\x80\xff beta", 15);
  heapLength = 15;
  stringOffsets0[0] = 0;                   /* alpha (memory) */
  stringOffsets0[1] = heapLength + 0;      /* file-one (file) */
  stringOffsets0[2] = 6;                   /* "" (memory) */
  stringOffsets0[3] = heapLength + 9;      /* e4 b8 80 " two" (file) */
  stringOffsets0[4] = 7;                   /* 80 ff " beta" (memory) */
  stringOffsets0[5] = heapLength + 17;     /* alpha again (file): kept once */
  stringOffsets[0] = stringOffsets0;
  stringOffsets[1] = NULL;

  memset(&ds, 0, sizeof ds);
  memset(&files, 0, sizeof files);
  files.recordFile = openReadOnly("dataset.records");
  files.stringFile = openReadOnly("dataset.strings");
  if (files.recordFile < 0 || files.stringFile < 0) fail("cannot open the data-set files", NULL);
  ds.rowCacheBase = records + kFirstCached * kRecord;
  ds.files = &files;
  ds.rowCount = kRows;
  ds.columnKinds = kinds;
  ds.recordLength = kRecord;
  ds.cachedRowCount = kCached;
  ds.firstCachedRow = kFirstCached;
  ds.columnOffsets = offsets;
  ds.stringCounts = counts;
  ds.stringOffsets = stringOffsets;
  ds.stringHeapMemoryLength = heapLength;
  ds.stringHeapMemoryBase = heap;

  /* The cached rows are changed in memory only: the table must see them. */
  put32(records + 3 * kRecord + kCellOffset, 333);

  printf("== makeHashTableDs, integer column\n");
  ht.makeHashTableDs(&ds, 1, contents);
  printTable("integer column");
  ht.close();

  printf("== makeHashTableDs, string column\n");
  ht.makeHashTableDs(&ds, 0, contents);
  printTable("string column");
  ht.close();

  printf("== makeHashTableDs, unknown kind\n");
  {
    const int32_t otherKinds[2] = {3, 3};
    ds.columnKinds = otherKinds;
    ht.makeHashTableDs(&ds, 0, NULL);
    printTable("unknown kind");
    ht.close();
  }
  closeDescriptor((int)files.recordFile);
  closeDescriptor((int)files.stringFile);
}

/* ---- run: every export ------------------------------------------------------ */

static int run(void) {
  static const char* const keys[] = {
      "a", "A", "hello world", "helloworld", "abc", "\x80", "\xff", "\x9f", "",
      "abcdefghijklmnopqrstuvwxyz0123", "abcdefghijklmnopqrstuvwxyz01234",
      "abcdefghijklmnopqrstuvwxyz012345", "12", "a"};
  static const int contents[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14};
  static const char* const probes[] = {"a", "helloworld", "hello world", "12", "\xfe", "zzz", "",
                                       "abcdefghijklmnopqrstuvwxyz01234"};
  static const int longKeys[] = {1, -1, 123456789, INT_MIN, INT_MAX, 0, 100, 12, 1};
  static const int longContents[] = {-1, -2, -3, -4, -5, -6, -7, -8, -9};
  static const int longProbes[] = {1, -1, 12, 13, INT_MIN, 97};
  char name[32];
  int i;

  printf("== makeHashTableStrList and updates\n");
  ht.makeHashTableStrList((const char**)keys, 14, contents);
  printTable("built");
  search(probes, NULL, 8);
  ht.addOneStr("a", 99);  /* present: content stays */
  ht.addOneStr("new", 50);
  ht.setContentStr("A", 200);
  ht.setContentStr("absent", 201);
  ht.addOneLng(12, 1200); /* a long key 12 beside the string "12" */
  removeWithFilter("abc", 0, 999); /* filter differs: stays */
  removeWithFilter("abc", 0, 5);
  removeWithFilter("never", 0, 1);
  ht.removeOneStr("\x80", NULL);
  for (i = 0; i < 40; ++i) { /* growth */
    sprintf(name, "grow %d \xc0", i);
    ht.addOneStr(name, i);
  }
  printTable("after updates");
  search(probes, NULL, 8);
  ht.dumpToRestartFile("run-strings.bin");
  printFile("run-strings.bin");
  ht.close();

  printf("== makeHashTableLng and updates\n");
  ht.makeHashTableLng(longKeys, 9, longContents);
  printTable("built");
  search(NULL, longProbes, 6);
  ht.setContentLng(13, 130);
  ht.setContentLng(1, 10);
  ht.addOneStr("97", 97);
  removeWithFilter(NULL, 123456789, -3);
  removeWithFilter(NULL, 55, 0);
  ht.removeOneLng(INT_MAX, NULL);
  for (i = 0; i < 30; ++i) ht.addOneLng(i * 7919 - 100000, i);
  printTable("after updates");
  search(NULL, longProbes, 6);
  ht.dumpToRestartFile("run-longs.bin");
  printFile("run-longs.bin");
  ht.close();

  printf("== makeHashTableStr\n");
  {
    const char list[] = "x,y,,\xe3\x81\x82,x";
    const int listContents[] = {3, 4, 5, 6, 7};
    static const char* const listProbes[] = {"x", "y", "", "\xe3\x81\x82", "x,y"};
    ht.makeHashTableStr(list, listContents);
    printTable("comma list");
    search(listProbes, NULL, 5);
    ht.close();
    ht.makeHashTableStr("", NULL);
    printTable("empty list");
    ht.close();
  }

  printf("== makeHashTableFromBinFile\n");
  ht.makeHashTableFromBinFile("run-strings.bin");
  printTable("loaded strings");
  search(probes, NULL, 8);
  ht.dumpToRestartFile("run-strings-again.bin");
  printFile("run-strings-again.bin");
  ht.makeHashTableFromBinFile("run-longs.bin"); /* replaces the current table */
  printTable("loaded longs");
  search(NULL, longProbes, 6);
  ht.close();

  printf("== without a table\n");
  ht.close();
  ht.addOneStr("a", 1);
  ht.addOneLng(1, 1);
  ht.setContentStr("a", 1);
  ht.setContentLng(1, 1);
  ht.removeOneStr("a", NULL);
  ht.removeOneLng(1, NULL);
  ht.dumpToRestartFile("none.bin");
  printTable("none"); /* the count stays -1 */
  search(probes, NULL, 3);
  search(NULL, longProbes, 3);
  printFile("none.bin"); /* -1 bytes: no file */

  runDataSet();
  return failures == 0 ? 0 : 1;
}

/* ---- the fixed restart tables ---------------------------------------------- */

static uint32_t prng;
static uint32_t nextRandom(void) { /* xorshift32 */
  prng ^= prng << 13;
  prng ^= prng >> 17;
  prng ^= prng << 5;
  return prng;
}

/* One key (a long key when stringKey is NULL) and what the table should hold
 * for it, kept by a plain model. */
typedef struct Key {
  int longKey;
  char* stringKey;
  int present;
  int content;
} Key;

typedef struct Model {
  Key* keys;
  int n;
} Model;

/* The model's key, added absent on first sight. */
static Key* lookUp(Model* m, const char* stringKey, int longKey) {
  int i;
  Key* k;
  for (i = 0; i < m->n; ++i) {
    k = &m->keys[i];
    if (stringKey != NULL ? k->stringKey != NULL && strcmp(k->stringKey, stringKey) == 0
                          : k->stringKey == NULL && k->longKey == longKey)
      return k;
  }
  m->keys = (Key*)realloc(m->keys, sizeof(Key) * (size_t)(m->n + 1));
  k = &m->keys[m->n++];
  k->longKey = longKey;
  k->stringKey = stringKey == NULL ? NULL : strcpy((char*)malloc(strlen(stringKey) + 1), stringKey);
  k->present = k->content = 0;
  return k;
}

static void modelAdd(Key* k, int content) {
  if (!k->present) k->present = 1, k->content = content;
}

/* Every operation goes to the library and to the model alike; the string
 * key, or the long key when stringKey is NULL. */
static void add(Model* m, const char* stringKey, int longKey, int content) {
  if (stringKey != NULL)
    ht.addOneStr(stringKey, content);
  else
    ht.addOneLng(longKey, content);
  modelAdd(lookUp(m, stringKey, longKey), content);
}
static void set(Model* m, const char* stringKey, int longKey, int content) {
  Key* k = lookUp(m, stringKey, longKey);
  if (stringKey != NULL)
    ht.setContentStr(stringKey, content);
  else
    ht.setContentLng(longKey, content);
  k->present = 1, k->content = content;
}
static void removeKey(Key* k, const int* filter) {
  int c = filter ? *filter : 0;
  if (k->stringKey == NULL)
    ht.removeOneLng(k->longKey, filter ? &c : NULL);
  else
    ht.removeOneStr(k->stringKey, filter ? &c : NULL);
  if (k->present && (filter == NULL || *filter == k->content)) k->present = 0;
}

/* A string key of `length` bytes drawn from 0x01..0xFF (spaces, 0x80..0xFF
 * included). */
static char* randomString(int length) {
  char* s = (char*)malloc((size_t)length + 1);
  int i;
  for (i = 0; i < length; ++i) s[i] = (char)(1 + nextRandom() % 255);
  s[length] = '\0';
  return s;
}

static const int kLengths[] = {0, 1, 2, 3, 5, 8, 10, 29, 30, 31, 32, 33, 40, 64, 100, 300, 1000, 4000};
enum { kLengthCount = sizeof kLengths / sizeof kLengths[0] };

static void buildStrings(Model* m) {
  enum { kInitial = 60, kTotal = 300 };
  char* keys[kTotal];
  int contents[kInitial], i;
  prng = 0x9E3779B9u;
  for (i = 0; i < kTotal; ++i) keys[i] = randomString(kLengths[nextRandom() % kLengthCount]);
  for (i = 0; i < kInitial; ++i) contents[i] = i * 7 - 100;
  ht.makeHashTableStrList((const char**)keys, kInitial, contents);
  for (i = 0; i < kInitial; ++i) modelAdd(lookUp(m, keys[i], 0), contents[i]);
  for (i = kInitial; i < kTotal; ++i) add(m, keys[i], 0, (int)nextRandom()); /* grows twice */
  add(m, keys[3], 0, 123);                                                   /* present */
  for (i = 0; i < kTotal; i += 9) set(m, keys[i], 0, -i);
  set(m, "set but never added", 0, 42);
  for (i = 0; i < m->n; i += 5) removeKey(&m->keys[i], NULL);
  for (i = 2; i < m->n; i += 11) removeKey(&m->keys[i], &m->keys[i].content);
  for (i = 4; i < m->n; i += 13) {
    const int wrong = m->keys[i].content + 1;
    removeKey(&m->keys[i], &wrong);
  }
  for (i = 0; i < kTotal; ++i) free(keys[i]);
}

static void buildLongs(Model* m) {
  enum { kInitial = 50, kTotal = 300 };
  int keys[kTotal], contents[kInitial], i;
  prng = 0x2545F491u;
  for (i = 0; i < kTotal; ++i) keys[i] = (int)nextRandom();
  keys[0] = INT_MIN, keys[1] = INT_MAX, keys[2] = 0, keys[3] = -1, keys[4] = 1, keys[5] = 97;
  keys[6] = 1; /* repeated: the first content stays */
  for (i = 0; i < kInitial; ++i) contents[i] = (int)nextRandom();
  ht.makeHashTableLng(keys, kInitial, contents);
  for (i = 0; i < kInitial; ++i) modelAdd(lookUp(m, NULL, keys[i]), contents[i]);
  for (i = kInitial; i < kTotal; ++i) add(m, NULL, keys[i] % 100000, i);
  for (i = 0; i < kTotal; i += 7) set(m, NULL, keys[i], i * 3);
  for (i = 1; i < m->n; i += 4) removeKey(&m->keys[i], NULL);
  for (i = 3; i < m->n; i += 10) {
    const int wrong = m->keys[i].content ^ 1;
    removeKey(&m->keys[i], &wrong);
  }
}

static void buildMixed(Model* m) {
  static const char list[] = "12,alpha,,\x80\xff,\xe6\x97\xa5\xe6\x9c\xac,a b c,alpha";
  static const int contents[] = {1, 2, 3, 4, 5, 6, 7};
  static const char* const tokens[] = {"12", "alpha", "", "\x80\xff", "\xe6\x97\xa5\xe6\x9c\xac",
                                       "a b c", "alpha"};
  char name[64];
  int i;
  prng = 0x1234567u;
  ht.makeHashTableStr(list, contents);
  for (i = 0; i < 7; ++i) modelAdd(lookUp(m, tokens[i], 0), contents[i]);
  add(m, NULL, 12, 1200);
  add(m, "abc", 0, 8); /* hashes like "a b c": the same bucket */
  for (i = 0; i < 120; ++i) {
    if (i % 3 == 0) {
      add(m, NULL, (int)nextRandom(), i);
    } else {
      char* s = randomString(kLengths[nextRandom() % kLengthCount]);
      add(m, s, 0, i);
      free(s);
    }
  }
  for (i = 0; i < 40; ++i) {
    sprintf(name, "%d", i); /* string "i" beside long i */
    add(m, name, 0, i);
    add(m, NULL, i, -i);
  }
  for (i = 0; i < m->n; i += 6) removeKey(&m->keys[i], NULL);
  set(m, NULL, 12, 1201);
}

static void buildEmpty(Model* m) {
  (void)m;
  ht.makeHashTableStrList(NULL, 0, NULL);
}

typedef struct RestartTable {
  const char* file;
  void (*build)(Model*);
} RestartTable;

static const RestartTable kRestartTables[] = {
    {"strings.bin", buildStrings}, {"longs.bin", buildLongs},
    {"mixed.bin", buildMixed},     {"empty.bin", buildEmpty}};
enum { kRestartTableCount = sizeof kRestartTables / sizeof kRestartTables[0] };

static void freeModel(Model* m) {
  int i;
  for (i = 0; i < m->n; ++i) free(m->keys[i].stringKey);
  free(m->keys);
  m->keys = NULL, m->n = 0;
}

static int restartWrite(const char* dir) {
  int t;
  char path[1024];
  for (t = 0; t < kRestartTableCount; ++t) {
    Model m = {NULL, 0};
    kRestartTables[t].build(&m);
    sprintf(path, "%s/%s", dir, kRestartTables[t].file);
    ht.dumpToRestartFile(path);
    ht.close();
    freeModel(&m);
  }
  return 0;
}

static int sameBytes(Bytes a, Bytes b) {
  return a.size >= 0 && a.size == b.size && memcmp(a.data, b.data, (size_t)a.size) == 0;
}

/* Every key of the model: present ones found with their content, removed
 * ones not found. */
static void checkKeys(const char* file, Model* m) {
  int i;
  for (i = 0; i < m->n; ++i) {
    const Key* k = &m->keys[i];
    char found = 9;
    int content = -7777;
    if (k->stringKey == NULL)
      ht.searchLng(&k->longKey, 1, &found, &content);
    else
      ht.searchStrList((const char**)&k->stringKey, 1, &found, &content);
    if (found != k->present || (k->present && content != k->content)) {
      char detail[160];
      sprintf(detail, "%s: key #%d (%s) found=%d content=%d, expected found=%d content=%d", file, i,
              k->stringKey == NULL ? "long" : "string", found, content, k->present, k->content);
      fail("lookup", detail);
    }
  }
}

/* The enumeration lists the file's entry records in their order. */
static void checkEnumeration(const char* file, Bytes b, Model* m) {
  int count = -1, i, expected = 0;
  int *contents = NULL, *longKeys = NULL;
  char** stringKeys = NULL;
  long at = 8;
  for (i = 0; i < m->n; ++i) expected += m->keys[i].present;
  ht.getAllValidFullContents(&count, &contents, &stringKeys, &longKeys);
  if (count != expected || (int)rd32(b.data + 4) != expected) fail("entry count", file);
  for (i = 0; i < count;) {
    int length = (int)rd32(b.data + at + 4), j;
    at += 8;
    for (j = 0; j < length && i < count; ++j, ++i) {
      const int content = (int)rd32(b.data + at);
      const int isLong = b.data[at + 4];
      at += 5;
      if (contents[i] != content) fail("enumeration order (content)", file);
      if (isLong) {
        if (stringKeys[i] != NULL || longKeys[i] != (int)rd32(b.data + at)) fail("enumeration order (long key)", file);
        at += 4;
      } else {
        const char* s = (const char*)b.data + at;
        if (stringKeys[i] == NULL || strcmp(stringKeys[i], s) != 0 || longKeys[i] != 0)
          fail("enumeration order (string key)", file);
        at += (long)strlen(s) + 1;
      }
      free(stringKeys[i]);
    }
  }
  if (at != b.size) fail("the file holds more than the enumeration", file);
  free(contents);
  free(stringKeys);
  free(longKeys);
}

static int restartCheck(const char* dir) {
  int t;
  char path[1024];
  for (t = 0; t < kRestartTableCount; ++t) {
    const char* file = kRestartTables[t].file;
    Model m = {NULL, 0};
    Bytes committed, built, again;
    sprintf(path, "%s/%s", dir, file);
    committed = readFile(path);
    if (committed.size < 8) {
      fail("cannot read", path);
      continue;
    }

    kRestartTables[t].build(&m);
    checkKeys(file, &m);
    ht.dumpToRestartFile("built.bin");
    ht.close();
    built = readFile("built.bin");
    if (!sameBytes(built, committed)) fail("the table built here dumps differently from", file);

    ht.makeHashTableFromBinFile(path);
    checkKeys(file, &m);
    checkEnumeration(file, committed, &m);
    ht.dumpToRestartFile("again.bin");
    ht.close();
    again = readFile("again.bin");
    if (!sameBytes(again, committed)) fail("dump after load differs from", file);

    printf("%s: %ld bytes, %d keys checked\n", file, committed.size, m.n);
    free(committed.data);
    free(built.data);
    free(again.data);
    freeModel(&m);
  }
  return failures == 0 ? 0 : 1;
}

/* ---- fatal conditions ------------------------------------------------------- */

#if defined(_WIN32)
/* Without a display the message box cannot be seen. The DLL's import of
 * MessageBoxA is redirected to this function, which writes what the box
 * would show to stderr as the Linux build does ("caption: text\n") and
 * returns as if OK had been pressed. */
static int WINAPI recordMessageBox(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
  if (owner != NULL || type != MB_OK) fprintf(stderr, "unexpected owner or type %u\n", type);
  fprintf(stderr, "%s: %s\n", caption, text);
  fflush(stderr);
  return IDOK;
}

static void recordMessageBoxes(HMODULE module) {
  unsigned char* base = (unsigned char*)module;
  IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
  IMAGE_DATA_DIRECTORY dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(base + dir.VirtualAddress);
  for (; d->Name != 0; ++d) {
    IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(base + d->OriginalFirstThunk);
    IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(base + d->FirstThunk);
    if (_stricmp((const char*)base + d->Name, "USER32.dll") != 0) continue;
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      DWORD old;
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      if (strcmp((const char*)((IMAGE_IMPORT_BY_NAME*)(base + names->u1.AddressOfData))->Name,
                 "MessageBoxA") != 0)
        continue;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
      slots->u1.Function = (ULONG_PTR)recordMessageBox;
      VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
      return;
    }
  }
  fprintf(stderr, "the library does not import MessageBoxA from USER32.dll\n");
}
#endif

/* A restart file whose counter (1) is below its chains' entries (2). */
static void loadInconsistentTable(void) {
  unsigned char b[8 + 8 + 2 * 9];
  put32(b, 6), put32(b + 4, 1);
  put32(b + 8, 3), put32(b + 12, 2);
  put32(b + 16, 7), b[20] = 1, put32(b + 21, 1);
  put32(b + 25, 8), b[29] = 1, put32(b + 30, 2);
  writeFile("inconsistent.bin", b, sizeof b);
  ht.makeHashTableFromBinFile("inconsistent.bin");
}

static int fatal(const char* which) {
#if defined(_WIN32)
  recordMessageBoxes((HMODULE)ht.library);
#endif
  fflush(stdout);
  if (strcmp(which, "fatal-missing") == 0) {
    remove("missing.bin");
    ht.makeHashTableFromBinFile("missing.bin");
  } else if (strcmp(which, "fatal-dump") == 0) {
    loadInconsistentTable();
    ht.dumpToRestartFile("inconsistent-dump.bin");
  } else {
    int count, *contents;
    loadInconsistentTable();
    ht.getAllValidContents(&count, &contents);
  }
  printf("returned\n");
  return 0;
}

int main(int argc, char** argv) {
  int status;
  if (argc < 3) {
    fprintf(stderr, "usage: scenario LIBRARY run|restart-write DIR|restart-check DIR|fatal-...\n");
    return 2;
  }
#if defined(_WIN32)
  /* Transcripts are compared byte for byte: no CR before each LF. */
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
  if (!kelHashTableFunLoad(&ht, argv[1])) {
    fprintf(stderr, "cannot load %s\n", argv[1]);
    return 2;
  }
  if (strcmp(argv[2], "run") == 0)
    status = run();
  else if (strcmp(argv[2], "restart-write") == 0 && argc == 4)
    status = restartWrite(argv[3]);
  else if (strcmp(argv[2], "restart-check") == 0 && argc == 4)
    status = restartCheck(argv[3]);
  else if (strncmp(argv[2], "fatal-", 6) == 0)
    status = fatal(argv[2]);
  else
    status = 2;
  fflush(stdout);
  return status;
}
