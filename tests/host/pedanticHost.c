/* A host translation unit that includes the public header beside the system
 * headers declaring close(int); it must compile without a warning. */
#include <fcntl.h>
#include <stdio.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif
#include "kelHashTableFun.h"

int loadAndClose(const char* path);
int loadAndClose(const char* path) {
  KelHashTableFun ht;
  if (!kelHashTableFunLoad(&ht, path)) return puts(ht.error);
  ht.close();
  kelHashTableFunUnload(&ht);
  return 0;
}
