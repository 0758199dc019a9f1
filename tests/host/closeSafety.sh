#!/bin/sh
# Builds the close-safety host with the README's host command line and runs
# it against the built library. Usage: closeSafety.sh <source dir> <library> <work dir>
set -eu
source_dir=$1 library=$2 work=$3
mkdir -p "$work"
# The README's command for building a host:
cc -std=c99 -I"$source_dir/include" "$source_dir/tests/host/closeSafetyHost.c" -o "$work/closeSafetyHost" -ldl
LD_LIBRARY_PATH=$(dirname "$library") "$work/closeSafetyHost"
