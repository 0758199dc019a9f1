/*
 * A failed kelHashTableFunLoad says what failed: the export a library lacks,
 * or the file that cannot be loaded.
 * Usage: loaderErrorHost <library lacking removeOneStr> <path with no library>
 */
#include <stdio.h>
#include <string.h>

#include "kelHashTableFun.h"

static int failsNaming(const char* path, const char* named) {
  KelHashTableFun ht;
  if (kelHashTableFunLoad(&ht, path) || ht.library != NULL || strstr(ht.error, path) == NULL ||
      strstr(ht.error, named) == NULL) {
    fprintf(stderr, "loading %s: expected a failure naming \"%s\", got \"%s\"\n", path, named,
            ht.error);
    return 1;
  }
  puts(ht.error);
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 3) return 2;
  return failsNaming(argv[1], "no export named removeOneStr") | failsNaming(argv[2], argv[2]);
}
