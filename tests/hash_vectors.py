#!/usr/bin/env python3
"""Writes golden bucket indices for the key hash, computed independently.

Python floats are IEEE doubles and round after every operation, so this
plain transcription of the hash is an oracle for the C++ code:

  string keys: h = 0; for each contributing byte c other than a space,
  h = h * 1.3 + |c as signed 8-bit|. Keys of up to 30 bytes contribute every
  byte; longer keys contribute three windows of ten bytes: the first ten,
  ten starting at trunc((n - 10) * 0.5), and the last ten.
  long keys: h = the key as a double.
  Then x = h * g with g = (sqrt(5) - 1) * 0.5, f = |x - floor(x)|, and the
  bucket is trunc(f * size).

Output: tests/data/hash_vectors.tsv, one vector a line:
  S <key bytes in hex, or - for the empty key> <size> <index>
  L <long key> <size> <index>

Run: python3 tests/hash_vectors.py > tests/data/hash_vectors.tsv
"""
import math
import random
import sys

GOLDEN = (math.sqrt(5.0) - 1.0) * 0.5
assert GOLDEN.hex() == "0x1.3c6ef372fe950p-1"


def contributing_positions(n):
    if n <= 30:
        return list(range(n))
    middle = int((n - 10) * 0.5)
    return list(range(10)) + list(range(middle, middle + 10)) + list(range(n - 10, n))


def bucket(h, size):
    x = h * GOLDEN
    f = abs(x - math.floor(x))
    return int(f * float(size))


def string_index(key, size):
    h = 0.0
    for p in contributing_positions(len(key)):
        c = key[p]
        if c == 0x20:
            continue
        v = c if c < 0x80 else 256 - c
        h = h * 1.3 + float(v)
    return bucket(h, size)


def long_index(key, size):
    return bucket(float(key), size)


SIZES = [1, 2, 7, 1000, 4096, 100003, 2**30]


def string_keys(rng):
    keys = [b"", b" ", b"     ", b"a", b"A", b"hello world", b"abc", b"a b c", b" abc "]
    keys += [bytes([c]) for c in range(1, 256)]
    keys += [bytes(rng.randrange(0x80, 0x100) for _ in range(rng.randrange(1, 40))) for _ in range(60)]
    for n in list(range(29, 34)) + list(range(40, 301, 13)) + [300]:
        base = bytes(rng.randrange(1, 256) for _ in range(n))
        keys.append(base)
        keys.append(base.replace(b"\x00", b"x"))
        if n >= 31:
            # Same key with one byte changed at each position the windows skip.
            middle = int((n - 10) * 0.5)
            skipped = [p for p in range(n) if p not in contributing_positions(n)]
            for p in skipped[:: max(1, len(skipped) // 3)]:
                keys.append(base[:p] + bytes([(base[p] % 255) + 1]) + base[p + 1 :])
            keys.append(base[:middle] + b" " * 10 + base[middle + 10 :])
    keys += [bytes(rng.choice(b" abcdefghijklmnopqrstuvwxyz0123456789") for _ in range(rng.randrange(0, 50)))
             for _ in range(1100)]
    return [k.replace(b"\x00", b"\x01") for k in keys]  # keys are NUL-terminated


def long_keys(rng):
    keys = [-(2**31), 2**31 - 1, 0, 1, -1, 97, 100, 123456789]
    keys += [rng.randrange(-(2**31), 2**31) for _ in range(400)]
    return keys


def main():
    rng = random.Random(20261205)
    out = sys.stdout
    count = 0
    for key in string_keys(rng):
        for size in SIZES:
            out.write(f"S {key.hex() or '-'} {size} {string_index(key, size)}\n")
            count += 1
    for key in long_keys(rng):
        for size in SIZES:
            out.write(f"L {key} {size} {long_index(key, size)}\n")
            count += 1
    print(f"{count} vectors", file=sys.stderr)


if __name__ == "__main__":
    main()
