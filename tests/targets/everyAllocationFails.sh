#!/bin/sh
# everyAllocationFails.sh SCRIPT [CHECK]: runs the scripted host ($KEL_HOST)
# on SCRIPT once for every allocation the library makes, the k-th run with
# the library's k-th allocation failing (through the preloaded
# $KEL_FAULT_SHIM), until a run makes them all. Each run with a failure must
# end, within a minute, with the out-of-memory report as its last line and
# exit status 1, and the shell command CHECK must then succeed; the last run
# must succeed.
set -u
printf 'HashTablePure: HashTable:\203\201\203\202\203\212\202\252\221\253\202\350\202\334\202\271\202\361\n' > report
k=1
while :; do
  KEL_FAIL_ALLOCATION=$k LD_PRELOAD=$KEL_FAULT_SHIM timeout 60 $KEL_HOST < "$1" > run.out 2>&1
  status=$?
  grep -q '^(an allocation fails here)$' run.out || break
  if [ $status -ne 1 ] || ! tail -n 1 run.out | cmp -s - report; then
    echo "allocation $k: status $status, and the run ended with:"
    tail -n 3 run.out
    exit 1
  fi
  sh -c "${2:-:}" || { echo "allocation $k: the check failed: $2"; exit 1; }
  k=$((k + 1))
done
[ $status -eq 0 ] || { echo "the run without a failure ended with status $status"; exit 1; }
[ $k -gt 1 ] && echo "every allocation failed in turn, each reported"
