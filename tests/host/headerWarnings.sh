#!/bin/sh
# Compiles a host translation unit that includes the public header beside the
# system headers declaring close(int), as C99 and as C++17, with every
# compiler hosts are built with that this machine has (gcc, clang and the
# MinGW-w64 compilers for 32- and 64-bit Windows), under -Wall -Wextra
# -pedantic -Werror: any warning fails. Usage: headerWarnings.sh <include dir> <work dir>
set -eu
include=$1 work=$2
mkdir -p "$work"
cat > "$work/host.c" <<'SOURCE'
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif
#include "kelHashTableFun.h"

int loadAndClose(const char* path);
int loadAndClose(const char* path) {
  KelHashTableFun ht;
  if (!kelHashTableFunLoad(&ht, path)) return 1;
  ht.close();
  kelHashTableFunUnload(&ht);
  return 0;
}
SOURCE

checked=0 failed=0
for compiler in gcc g++ clang clang++ \
    i686-w64-mingw32-gcc i686-w64-mingw32-g++ i686-w64-mingw32-gcc-win32 i686-w64-mingw32-g++-win32 \
    x86_64-w64-mingw32-gcc x86_64-w64-mingw32-g++ x86_64-w64-mingw32-gcc-win32 x86_64-w64-mingw32-g++-win32; do
  if ! command -v "$compiler" >/dev/null 2>&1; then
    echo "not installed, not checked: $compiler"
    continue
  fi
  case $compiler in *++*) language="-x c++ -std=c++17" ;; *) language="-x c -std=c99" ;; esac
  checked=$((checked + 1))
  # shellcheck disable=SC2086
  if ! "$compiler" $language -Wall -Wextra -pedantic -Werror -O2 -I"$include" \
       -c "$work/host.c" -o "$work/host.o"; then
    echo "warnings from $compiler $language"
    failed=$((failed + 1))
  fi
done
echo "$checked compilers, $failed with warnings"
[ "$checked" -gt 0 ] && [ "$failed" -eq 0 ]
