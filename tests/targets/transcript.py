#!/usr/bin/env python3
"""Runs transcript tests: case files that hold commands with the output they
must print, byte for byte.

    transcript.py [--update] CASEFILE...

A case file holds cases. "## title" starts one; every case runs in a fresh
empty folder. "$ command" lines are run by sh, one after the other. The
lines after a command, up to the next command or case, are what it must
print (stdout and stderr as one stream), then "[exit N]" when it exits with
a status other than 0. Lines that start with "> " or "< " are also its
standard input; "> " lines appear in the output too (the scripted host
echoes every line it reads), "< " lines do not. Bytes other than printable
ASCII, tab and newline are written \\xHH. Lines between a
case's title and its first command are comments.

The commands see these shell functions: host (the scripted host with the
library under test, on this target), kelht (the command-line tool, when
built). KEL_DATA names tests/data.

--update rewrites the files with what the commands printed instead (to be
read before it is committed). Exit status 0 when every case printed its
transcript.
"""
import difflib
import os
import shutil
import subprocess
import sys
import tempfile

PRELUDE = 'host() { ${KEL_HOST:?no host} "$@"; }\nkelht() { ${KEL_KELHT:?no kelht} "$@"; }\n'


def escape(data):
    return "".join(chr(b) if b in (9, 10) or 32 <= b < 127 else "\\x%02x" % b for b in data)


def parse(path):
    """[(title, comments, [[command, block lines]])]"""
    cases = []
    for line in open(path, encoding="ascii").read().split("\n"):
        if line.startswith("## "):
            cases.append((line[3:], [], []))
        elif line.startswith("$ ") and cases:
            cases[-1][2].append([line[2:], []])
        elif cases and cases[-1][2]:
            cases[-1][2][-1][1].append(line)
        elif cases:
            cases[-1][1].append(line)
    for _, _, commands in cases:
        for command in commands:
            while command[1] and command[1][-1] == "":
                command[1].pop()
    return cases


def run(command, block, folder):
    stdin = "".join(line[2:] + "\n" for line in block if line[:2] in ("> ", "< "))
    result = subprocess.run(["sh", "-c", PRELUDE + command], cwd=folder, input=stdin.encode("latin-1"),
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=600)
    output = escape(result.stdout).rstrip("\n").split("\n") if result.stdout else []
    return output + (["[exit %d]" % result.returncode] if result.returncode else [])


def main():
    update = "--update" in sys.argv
    failures = 0
    for path in [a for a in sys.argv[1:] if a != "--update"]:
        cases = parse(path)
        text = []
        for title, comments, commands in cases:
            folder = tempfile.mkdtemp(prefix="kelCase")
            os.chmod(folder, 0o777)  # cases may run the host as another user
            text += ["## " + title] + comments
            for command, block in commands:
                actual = run(command, block, folder)
                expected = [line for line in block if not line.startswith("< ")]
                text += ["$ " + command] + [line for line in block if line.startswith("< ")] + actual
                if actual != expected and not update:
                    failures += 1
                    print("FAIL %s: %s\n$ %s" % (path, title, command))
                    sys.stdout.writelines(l + "\n" for l in difflib.unified_diff(expected, actual, "expected", "actual", lineterm=""))
            text.append("")
            shutil.rmtree(folder, ignore_errors=True)
        if update:
            lines = open(path, encoding="ascii").read().split("\n")
            head = lines[:next((i for i, l in enumerate(lines) if l.startswith("## ")), len(lines))]
            open(path, "w", encoding="ascii").write("\n".join(head + text))
        print("%s: %d cases" % (path, len(cases)))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
