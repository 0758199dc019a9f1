#!/usr/bin/env bash
# Builds the library and kelht for every target, optimised and without tests, under
# build/release/:
#   release-linux64  libkelHashTableFun.so and kelht, 64-bit Linux
#   release-linux32  libkelHashTableFun.so and kelht, 32-bit Linux (i686, SSE2)
#   release-mingw32  kelHashTableFun.dll and kelht.exe, 32-bit Windows (the host's target)
#   release-mingw64  kelHashTableFun.dll and kelht.exe, 64-bit Windows
# Installs the cross-compilers first when they are missing.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh cross

for preset in release-linux64 release-linux32 release-mingw32 release-mingw64; do
  echo "=== $preset ==="
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
