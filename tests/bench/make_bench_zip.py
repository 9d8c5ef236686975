#!/usr/bin/env python3
"""Writes the benchmark archives.
    make_bench_zip.py mixed OUT.zip     about 200 MiB in a few thousand entries of mixed sizes
    make_bench_zip.py big OUT.zip       one 150 MiB entry
    make_bench_zip.py small OUT.zip     many small entries, 150 MiB in all
"""
import os
import random
import sys
import zipfile


def payload(rng, size):
    # Half text-like (compresses well), half random (does not).
    words = [b"skin", b"hero", b"avatar", b"texture", b"mount", b"cache", b"\r\n", b"=", b"0x398DFF"]
    out = bytearray()
    while len(out) < size // 2:
        out += rng.choice(words) + b" "
    out += rng.randbytes(size - len(out))
    return bytes(out[:size])


def main():
    kind, path = sys.argv[1], sys.argv[2]
    rng = random.Random(42)
    if kind == "mixed":
        sizes = [rng.choice([1_000, 10_000, 50_000, 150_000]) for _ in range(3000)] + [8_000_000] * 6
    elif kind == "big":
        sizes = [150 * 1024 * 1024]
    else:
        sizes = [60_000] * (150 * 1024 * 1024 // 60_000)
    block = payload(rng, 1 << 20)
    with zipfile.ZipFile(path, "w", compression=zipfile.ZIP_DEFLATED, compresslevel=1) as z:
        for i, size in enumerate(sizes):
            data = (block * (size // len(block) + 1))[(i * 7919) % 4096:][:size]
            z.writestr("pack/%03d/entry%05d.dat" % (i % 100, i), data)
    print("%s: %d entries, %.1f MiB unpacked, %.1f MiB archive" %
          (path, len(sizes), sum(sizes) / 1048576, os.path.getsize(path) / 1048576))


if __name__ == "__main__":
    main()
