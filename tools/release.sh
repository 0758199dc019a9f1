#!/usr/bin/env bash
# Builds every target (tools/build-all.sh) and packs each with CPack, from
# the install rules, into dist/:
#   kelHashTableFun-VERSION-linux-x86_64.deb, kelHashTableFun-VERSION-linux-i686.deb
#       /usr/lib/libkelHashTableFun.so*, /usr/bin/kelht, /usr/include, the CMake
#       package, the pkg-config file, /usr/share/doc/kelHashTableFun
#   kelHashTableFun-VERSION-windows-x86.zip, kelHashTableFun-VERSION-windows-x64.zip
#       bin/kelHashTableFun.dll and bin/kelht.exe, lib/libkelHashTableFun.dll.a and
#       lib/kelHashTableFun.def, include/, the CMake package, the pkg-config
#       file, share/doc/kelHashTableFun
set -euo pipefail
cd "$(dirname "$0")/.."

tools/build-all.sh

rm -rf dist
mkdir -p dist
for preset in release-linux64 release-linux32 release-mingw32 release-mingw64; do
  (cd "build/release/$preset" && cpack -B "$OLDPWD/dist" >/dev/null)
done
rm -rf dist/_CPack_Packages
echo "release:"
ls -l dist
