/*
 * The demonstration: a small C host that loads the library the way hosts do
 * and uses every export on an embedded sample of 1000 keys, printing what it
 * did. Usage: kelDemo [library path] [restart file path]
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "kelHashTableFun.h"

enum { kKeys = 1000 };

static char keyText[kKeys][16];
static const char* keys[kKeys];
static int contents[kKeys];

static void makeSample(void) {
  int i;
  for (i = 0; i < kKeys; ++i) {
    snprintf(keyText[i], sizeof keyText[i], "item-%04d", i);
    keys[i] = keyText[i];
    contents[i] = i * 10;
  }
}

/* How many of `count` keys the table holds. */
static int countFound(const KelHashTableFun* ht, const char** probes, int count) {
  char* found = malloc((size_t)count);
  int i, hits = 0;
  ht->searchStrList(probes, count, found, NULL);
  for (i = 0; i < count; ++i) hits += found[i];
  free(found);
  return hits;
}

static long fileSize(const char* path) {
  FILE* f = fopen(path, "rb");
  long size;
  if (f == NULL) return -1;
  fseek(f, 0, SEEK_END);
  size = ftell(f);
  fclose(f);
  return size;
}

static void freeFull(int count, int* values, char** stringKeys, int* longKeys) {
  int i;
  for (i = 0; i < count; ++i) free(stringKeys[i]);
  free(values);
  free(stringKeys);
  free(longKeys);
}

static int demonstrate(const KelHashTableFun* ht, const char* restartPath) {
  const char* probe[1] = {"item-0042"};
  const char* absent[2] = {"item-1000", "nothing"};
  char found[3];
  int value = 0, count = 0, i, reloadedCount = 0, same = 1;
  int *values, *longKeys, *reloadedValues, *reloadedLongs;
  char **stringKeys, **reloadedKeys;

  makeSample();
  ht->makeHashTableStrList(keys, kKeys, contents);
  ht->searchStrList(probe, 1, found, &value);
  printf("built a table of %d string keys; \"item-0042\" holds %d; %d of 2 absent keys found\n",
         countFound(ht, keys, kKeys), value, countFound(ht, absent, 2));

  for (i = 0; i < 500; ++i) ht->addOneLng(-i, i);
  ht->addOneStr("item-0042", 1);   /* present: keeps 420 */
  ht->setContentStr("item-0007", 7);
  value = 999;
  ht->removeOneStr("item-0001", &value); /* filter 999 does not match: stays */
  printf("added 500 long keys; removing \"item-0001\" with the wrong content kept it (it holds %d)\n", value);
  ht->removeOneStr("item-0001", NULL);
  ht->removeOneLng(-3, NULL);
  ht->setContentLng(-4, 44);
  {
    const int longProbes[3] = {-3, -4, 5};
    int longValues[3] = {0, 0, 0};
    ht->searchLng(longProbes, 3, found, longValues);
    printf("long keys -3, -4, 5: found %d %d %d, -4 holds %d\n", found[0], found[1], found[2],
           longValues[1]);
  }

  ht->getAllValidContents(&count, &values);
  free(values);
  ht->getAllValidFullContents(&count, &values, &stringKeys, &longKeys);
  if (stringKeys[0] != NULL)
    printf("the table lists %d entries; first in walk order: \"%s\" -> %d\n", count, stringKeys[0],
           values[0]);
  else
    printf("the table lists %d entries; first in walk order: long key %d -> %d\n", count,
           longKeys[0], values[0]);

  ht->dumpToRestartFile(restartPath);
  ht->close();
  ht->makeHashTableFromBinFile(restartPath);
  ht->getAllValidFullContents(&reloadedCount, &reloadedValues, &reloadedKeys, &reloadedLongs);
  for (i = 0; i < count && reloadedCount == count; ++i)
    same = same && reloadedValues[i] == values[i] && reloadedLongs[i] == longKeys[i] &&
           (stringKeys[i] == NULL ? reloadedKeys[i] == NULL
                                  : reloadedKeys[i] && strcmp(stringKeys[i], reloadedKeys[i]) == 0);
  printf("dumped to %s (%ld bytes) and reloaded: %d entries, %s order\n", restartPath,
         fileSize(restartPath), reloadedCount, same && reloadedCount == count ? "same" : "DIFFERENT");
  freeFull(count, values, stringKeys, longKeys);
  freeFull(reloadedCount, reloadedValues, reloadedKeys, reloadedLongs);
  ht->close();

  {
    /* A data set whose five rows are all cached in memory: no file is read. */
    const int32_t rows[5][2] = {{1, 100}, {2, 200}, {3, 100}, {4, 300}, {5, 200}};
    const int32_t kinds[2] = {2, 2}, offsets[2] = {0, 4};
    const int rowContents[5] = {10, 20, 30, 40, 50};
    const int probes[3] = {100, 200, 300};
    int probeValues[3] = {0, 0, 0};
    DataSetFiles files;
    DataSet ds;
    memset(&files, 0, sizeof files);
    memset(&ds, 0, sizeof ds);
    files.recordFile = files.stringFile = -1;
    ds.files = &files;
    ds.rowCacheBase = rows;
    ds.rowCount = ds.cachedRowCount = 5;
    ds.recordLength = sizeof rows[0];
    ds.columnKinds = kinds;
    ds.columnOffsets = offsets;
    ht->makeHashTableDs(&ds, 1, rowContents);
    ht->searchLng(probes, 3, found, probeValues);
    printf("from a data set's second column: 100 -> %d, 200 -> %d, 300 -> %d (first row wins)\n",
           probeValues[0], probeValues[1], probeValues[2]);
    ht->close();
  }
  return same ? 0 : 1;
}

int main(int argc, char** argv) {
  KelHashTableFun ht;
  const char* library = argc > 1 ? argv[1] : NULL;
  if (!kelHashTableFunLoad(&ht, library)) {
    fprintf(stderr, "cannot load the library: %s\n", ht.error);
    return 1;
  }
  printf("kelHashTableFun demonstration\n");
  {
    const int status = demonstrate(&ht, argc > 2 ? argv[2] : "kelDemo.restart");
    kelHashTableFunUnload(&ht);
    return status;
  }
}
