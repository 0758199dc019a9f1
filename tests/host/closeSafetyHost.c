/*
 * A host built the way the README says hosts are built. Loading the library
 * must not change what close(fd) means to it: it builds a table, closes a
 * descriptor of its own with POSIX close, and checks that the descriptor is
 * gone. It also checks that each export, looked up by name on the library's
 * handle, lives in the library, and that POSIX close does not.
 * Usage: closeSafetyHost [library path]. Prints "ok" and exits 0 on success.
 */
#define _GNU_SOURCE /* dladdr */
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <link.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "kelHashTableFun.h"

static const char* const exportNames[] = {
    "addOneLng", "addOneStr", "close", "dumpToRestartFile", "getAllValidContents",
    "getAllValidFullContents", "makeHashTableDs", "makeHashTableFromBinFile", "makeHashTableLng",
    "makeHashTableStr", "makeHashTableStrList", "removeOneLng", "removeOneStr", "searchLng",
    "searchStrList", "setContentLng", "setContentStr"};

static int fail(const char* what) {
  fprintf(stderr, "closeSafetyHost: %s\n", what);
  return 1;
}

/* Whether `address` lies in the object loaded as `library`. */
static int liesIn(void* address, const struct link_map* library) {
  Dl_info info;
  return address != NULL && dladdr(address, &info) && strcmp(info.dli_fname, library->l_name) == 0;
}

int main(int argc, char** argv) {
  KelHashTableFun ht;
  if (!kelHashTableFunLoad(&ht, argc > 1 ? argv[1] : NULL)) return fail("cannot load the library");

  const char* keys[] = {"one", "two"};
  char found[2];
  ht.makeHashTableStrList(keys, 2, NULL);
  ht.searchStrList(keys, 2, found, NULL);
  if (!found[0] || !found[1]) return fail("the table does not work");

  int fd = open("/dev/null", O_RDONLY);
  if (fd < 0) return fail("cannot open /dev/null");
  if (close(fd) != 0) return fail("close(fd) did not return 0");
  if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) return fail("close(fd) left the descriptor open");

  struct link_map* library;
  if (dlinfo(ht.library, RTLD_DI_LINKMAP, &library) != 0) return fail("dlinfo failed");
  size_t i;
  for (i = 0; i < sizeof exportNames / sizeof exportNames[0]; ++i)
    if (!liesIn(dlsym(ht.library, exportNames[i]), library)) return fail(exportNames[i]);
  {
    int (*posixClose)(int) = close;
    void* posixCloseAddress;
    memcpy(&posixCloseAddress, &posixClose, sizeof posixCloseAddress);
    if (liesIn(posixCloseAddress, library)) return fail("POSIX close resolves into the library");
  }

  ht.close();
  ht.close();
  kelHashTableFunUnload(&ht);
  puts("ok");
  return 0;
}
