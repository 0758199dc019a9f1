// The public header compiles in C++17 next to the system headers that
// declare close(int): it never declares a global function named close.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include "kelHashTableFun.h"

static_assert(sizeof(KelHashTableFun) == 18 * sizeof(void*), "the module handle and 17 exports");
