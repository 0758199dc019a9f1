#!/usr/bin/env bash
# Runs every test: installs what is missing, then builds and tests each
# configuration in turn, with a summary line for each. Stops at the first
# failure.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh cross

passed=0
summaries=()
# "--- NAME: N passed, F failed, S s", S the seconds since $4; repeated at the end.
summary() {
  summaries+=("--- $1: $2 passed, $3 failed, $((SECONDS - $4)) s")
  echo "${summaries[-1]}"
}

# Configures, builds and tests one preset; counts its tests (all must pass).
run_preset() {
  local start=$SECONDS status=0 failed total
  echo "=== $1 ==="
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
  ctest --preset "$1" -j2 | tee "build/$1/ctest.log" || status=$?
  read -r failed total < <(sed -n 's/.*tests passed, \([0-9]*\) tests failed out of \([0-9]*\).*/\1 \2/p' \
                              "build/$1/ctest.log") || true
  summary "$1" "$((${total:-0} - ${failed:-0}))" "${failed:-?}" "$start"
  passed=$((passed + ${total:-0}))
  return "$status"
}

run_preset default
run_preset asan

# The other targets, each tested where this machine can run it: 32-bit Linux
# under qemu-i386, 64-bit Windows under wine; the 32-bit Windows DLL (this
# machine has no 32-bit wine) by its tables, and run by the transcripts in the
# DLL runner (tools/dllRunner), a 32-bit Linux host under qemu-i386.
run_preset linux32
run_preset mingw64
run_preset mingw32

# The restart-file reader under libFuzzer for 60 seconds, starting from a
# copy of the seed corpus (new inputs stay out of the repository). Its
# progress lines go to build/fuzz/fuzz.log; its final statistics are shown.
# Any crash, leak or sanitizer report fails the run, with the log's end; the
# input that caused it is kept in build/fuzz/artifacts.
echo "=== fuzz ==="
fuzz_start=$SECONDS
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
fuzz_corpus=$(mktemp -d)
trap 'rm -rf "$fuzz_corpus"' EXIT
cp tests/fuzz/corpus/* "$fuzz_corpus"/
mkdir -p build/fuzz/artifacts
if ! build/fuzz/tests/fuzz/restartReaderFuzz -max_total_time=60 -print_final_stats=1 \
     -artifact_prefix=build/fuzz/artifacts/ "$fuzz_corpus" >build/fuzz/fuzz.log 2>&1; then
  tail -n 40 build/fuzz/fuzz.log
  summary fuzz 0 1 "$fuzz_start"
  exit 1
fi
grep -E '^(Done |stat::)' build/fuzz/fuzz.log
summary fuzz 1 0 "$fuzz_start"
passed=$((passed + 1))

# Reached only when every step above passed.
printf '%s\n' "${summaries[@]}"
echo "all targets: $passed passed, 0 failed"
