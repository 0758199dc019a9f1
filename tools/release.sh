#!/usr/bin/env bash
# Builds every target (tools/build-all.sh) and collects what a user downloads
# into dist/kelHashTableFun-VERSION/, packed as .tar.gz and .zip:
#   windows-x86/  kelHashTableFun.dll, kelHashTableFun.def, libkelHashTableFun.dll.a
#   windows-x64/  the same for 64-bit Windows
#   linux-x86_64/ libkelHashTableFun.so.VERSION and its links
#   linux-i686/   the same for 32-bit Linux
#   include/      kelHashTableFun.h
#   docs/         README.md and docs/*.md
set -euo pipefail
cd "$(dirname "$0")/.."

tools/build-all.sh

version=$(sed -n 's/^project(kelHashTableFun VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=kelHashTableFun-$version
stage=dist/$name
rm -rf "$stage" "dist/$name.tar.gz" "dist/$name.zip"
mkdir -p "$stage/include" "$stage/docs"

for pair in mingw32:windows-x86 mingw64:windows-x64; do
  build=build/release/release-${pair%%:*}
  out=$stage/${pair##*:}
  mkdir -p "$out"
  cp "$build/kelHashTableFun.dll" "$build/libkelHashTableFun.dll.a" api/kelHashTableFun.def "$out/"
done
for pair in linux64:linux-x86_64 linux32:linux-i686; do
  build=build/release/release-${pair%%:*}
  out=$stage/${pair##*:}
  mkdir -p "$out"
  cp -P "$build"/libkelHashTableFun.so* "$out/"
done
cp include/kelHashTableFun.h "$stage/include/"
cp README.md "$stage/"
cp docs/*.md "$stage/docs/"

(cd dist && tar -czf "$name.tar.gz" "$name" && cmake -E tar cf "$name.zip" --format=zip "$name")
echo "release: dist/$name.tar.gz dist/$name.zip"
find "$stage" -type f -o -type l | sort
