#!/usr/bin/env bash
# Installs what is missing, builds the library and runs the demonstration.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target kelHashTableFun kelDemo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build/default/tools/kelDemo build/default/libkelHashTableFun.so "$work/demo.restart"
