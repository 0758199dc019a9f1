#!/bin/sh
# Fails when the shared library exports anything but the seventeen functions
# of tests/host/exports.txt, or binds them symbolically. Usage: exportedSymbols.sh <library> <exports.txt>
set -eu
actual=$(nm -D --defined-only "$1" | awk '{print $3}' | sort)
expected=$(sort "$2")
if [ "$actual" != "$expected" ]; then
  echo "exported symbols differ from $2:"
  printf '%s\n' "$actual" > "${TMPDIR:-/tmp}/kel-exports.$$"
  printf '%s\n' "$expected" | diff - "${TMPDIR:-/tmp}/kel-exports.$$" || true
  rm -f "${TMPDIR:-/tmp}/kel-exports.$$"
  exit 1
fi
# Bound symbolically, every close(fd) inside the library would reach the
# export named close instead of the C library's.
if readelf -d "$1" | grep -q SYMBOLIC; then
  echo "the library binds its exports symbolically"
  exit 1
fi
echo "exactly the $(printf '%s\n' "$expected" | wc -l) exports, none bound symbolically"
