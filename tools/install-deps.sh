#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build and the tests need and
# this machine lacks. Runs as root (or through sudo). Idempotent.
#   tools/install-deps.sh          what the library, tests and demo need
#   tools/install-deps.sh bench    also the peer hash maps for the benchmarks
#   tools/install-deps.sh cross    also the other targets' tools: MinGW-w64
#                                  (32- and 64-bit Windows), multilib (32-bit
#                                  Linux), qemu-user and wine to run their tests
set -euo pipefail

packages=(cmake ninja-build g++ python3 googletest libgtest-dev valgrind clang libclang-rt-14-dev binutils
          libcli11-dev pkg-config attr acl)
for group in "$@"; do
  case "$group" in
    bench) packages+=(libbenchmark-dev libabsl-dev libboost1.81-dev) ;;
    cross) packages+=(g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32 g++-multilib
                      qemu-user wine wine64) ;;
    *) echo "install-deps: unknown group $group" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo_=""
[ "$(id -u)" -ne 0 ] && sudo_=sudo
$sudo_ apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo_ apt-get install -y -qq --no-install-recommends "${missing[@]}"
