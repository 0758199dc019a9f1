#!/usr/bin/env python3
"""Checks the committed restart files against the key hash, independently of
the library: every chain must sit under the bucket index its keys hash to.

  checkRestartFiles.py FILE...

Each file is parsed completely: size and counter; chain records in strictly
ascending bucket index below size, each at least one entry long; entry
records (content, isLong 0 or 1, a 32-bit long key or a NUL-terminated
string); the counter equal to the entries; no key twice per kind; and every
key's bucket, computed by the hash oracle of tests/hash_vectors.py, equal to
its chain's index. A file produced by a faulty hash would spread the fault
to every target that re-dumps it, so the files are checked here on their own.
"""
import os
import struct
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from hash_vectors import long_index, string_index  # noqa: E402


def check(path):
    data = open(path, "rb").read()
    at = 0

    def i32():
        nonlocal at
        if at + 4 > len(data):
            raise ValueError(f"ends early at {at}")
        (value,) = struct.unpack_from("<i", data, at)
        at += 4
        return value

    size, counter = i32(), i32()
    if size < 1:
        raise ValueError(f"size {size}")
    entries, previous, seen = 0, -1, set()
    while at < len(data):
        index, length = i32(), i32()
        if not previous < index < size or length < 1:
            raise ValueError(f"chain record at {at - 8}: index {index}, length {length}")
        previous = index
        for _ in range(length):
            i32()  # content
            if at >= len(data) or data[at] not in (0, 1):
                raise ValueError(f"isLong byte at {at}")
            is_long = data[at] == 1
            at += 1
            if is_long:
                key = i32()
                expected = long_index(key, size)
            else:
                end = data.index(b"\0", at)
                key = data[at:end]
                at = end + 1
                expected = string_index(key, size)
            if (is_long, key) in seen:
                raise ValueError(f"key {key!r} twice")
            seen.add((is_long, key))
            if expected != index:
                raise ValueError(f"key {key!r} hashes to {expected}, stored under {index}")
            entries += 1
    if entries != counter:
        raise ValueError(f"counter {counter}, entries {entries}")
    return size, counter


def main():
    failed = False
    for path in sys.argv[1:]:
        try:
            size, counter = check(path)
            print(f"{os.path.basename(path)}: {size} buckets, {counter} entries, every key in its bucket")
        except ValueError as e:
            print(f"FAIL: {path}: {e}")
            failed = True
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
