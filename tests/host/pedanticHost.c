/* A host translation unit that includes the public header beside the system
 * headers declaring close(int); it must compile without a warning, in every
 * language version the header supports. */
#include <fcntl.h>
#include <stdio.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif
#include "kelHashTableFun.h"

/* The header's integer types, from <stdint.h> or from its own typedefs. */
typedef char wordIsPointerWide[sizeof(kelHashTableFun_word) == sizeof(void*) ? 1 : -1];
typedef char int32IsFourBytes[sizeof(kelHashTableFun_int32) == 4 ? 1 : -1];

int loadAndClose(const char* path);
int loadAndClose(const char* path) {
  KelHashTableFun ht;
  if (!kelHashTableFunLoad(&ht, path)) return puts(ht.error);
  ht.close();
  kelHashTableFunUnload(&ht);
  return 0;
}
