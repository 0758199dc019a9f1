#!/usr/bin/env bash
# Runs every test: installs what is missing, then builds and tests each
# configuration in turn. Stops at the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh

run_preset() {
  echo "=== $1 ==="
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  ctest --preset "$1" -j2
}

run_preset default
run_preset asan
