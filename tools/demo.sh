#!/usr/bin/env bash
# Installs what is missing, builds the library and kelht, and runs the
# demonstration: kelht demo, a short tour of the library's exports.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target kelHashTableFun kelht
build/default/kelht demo
