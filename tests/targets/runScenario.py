#!/usr/bin/env python3
"""Runs the scenario program of one target and judges the result.

  runScenario.py WORKDIR CHECK [ARG] -- TARGET... [-- REFERENCE...]

TARGET (and REFERENCE) is the command that starts the scenario program with
the library to load: an emulator if the target needs one, the program, the
library's path. CHECK is one of

  run              TARGET's `run` must succeed (its own checks pass).
  transcript       TARGET's `run` transcript must equal REFERENCE's, byte for
                   byte; REFERENCE is the 64-bit Linux build.
  restart DATADIR  TARGET's `restart-check DATADIR` must succeed.
  fatal-missing, fatal-dump, fatal-list
                   TARGET must end with status 1 inside the call and show the
                   fatal message: "HashTablePure: " + the message bytes + a
                   newline on stderr.
"""
import difflib
import os
import shutil
import subprocess
import sys

# The fatal messages, Shift_JIS bytes.
NOT_FOUND = "HashTable:binFileName={} \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1"
COUNTER = "dump_to_restart: counter({})!=\x8e\xc0\x8d\xdb\x90\x94({})"
FATAL = {
    "fatal-missing": NOT_FOUND.format("missing.bin"),
    "fatal-dump": COUNTER.format(1, 2),
    "fatal-list": COUNTER.format(1, 2),
}


def latin1(s):
    return s.encode("latin-1")


def run(command, workdir):
    shutil.rmtree(workdir, ignore_errors=True)
    os.makedirs(workdir)
    return subprocess.run(command, cwd=workdir, capture_output=True, timeout=300)


def main():
    args = sys.argv[1:]
    workdir, check = args[0], args[1]
    split = args.index("--")
    extra = args[2:split]
    commands = [[]]
    for a in args[split + 1:]:
        if a == "--":
            commands.append([])
        else:
            commands[-1].append(a)
    target = commands[0]

    if check == "transcript":
        if not os.path.exists(commands[1][0]):
            print(f"no reference scenario at {commands[1][0]}: build the default preset first")
            return 1
        mine = run(target + ["run"], os.path.join(workdir, "target"))
        ref = run(commands[1] + ["run"], os.path.join(workdir, "reference"))
        sys.stderr.buffer.write(mine.stderr + ref.stderr)
        if ref.returncode != 0:
            print(f"the reference failed ({ref.returncode}):\n{ref.stdout.decode('latin-1')}")
            return 1
        if mine.returncode != 0 or mine.stdout != ref.stdout:
            print(f"the target's transcript (status {mine.returncode}) differs from the reference:")
            sys.stdout.writelines(difflib.unified_diff(
                ref.stdout.decode("latin-1").splitlines(True),
                mine.stdout.decode("latin-1").splitlines(True), "reference", "target"))
            return 1
        print(f"transcripts equal ({len(mine.stdout)} bytes)")
        return 0

    if check == "run":
        result = run(target + ["run"], workdir)
        sys.stderr.buffer.write(result.stderr)
        if result.returncode != 0:
            sys.stdout.buffer.write(result.stdout)
        return 0 if result.returncode == 0 else 1

    if check == "restart":
        result = run(target + ["restart-check", os.path.abspath(extra[0])], workdir)
        sys.stdout.buffer.write(result.stdout)
        sys.stderr.buffer.write(result.stderr)
        return 0 if result.returncode == 0 else 1

    result = run(target + [check], workdir)
    expected = latin1("HashTablePure: " + FATAL[check] + "\n")
    ok = result.returncode == 1 and b"returned" not in result.stdout and result.stderr == expected
    if not ok:
        print(f"status {result.returncode} (expected 1), stdout {result.stdout!r}")
        print(f"stderr   {result.stderr!r}\nexpected {expected!r}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
