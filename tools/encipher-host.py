#!/usr/bin/env python3
"""Writes the header that holds the distribution server's host, RC4-enciphered.

    encipher-host.py HOST PASS_PHRASE OUTPUT_HEADER

The block is the host followed by zero bytes, at least one and at least
12 bytes in all; the installer deciphers it at start and stops at the
first zero byte. The plain host never appears in the program.
"""

import sys


def rc4(key, data):
    s = list(range(256))
    j = 0
    if key:
        for i in range(256):
            j = (j + s[i] + key[i % len(key)]) % 256
            s[i], s[j] = s[j], s[i]
    i = j = 0
    out = bytearray()
    for byte in data:
        i = (i + 1) % 256
        j = (j + s[i]) % 256
        s[i], s[j] = s[j], s[i]
        out.append(byte ^ s[(s[i] + s[j]) % 256])
    return bytes(out)


def main():
    host, phrase, output = sys.argv[1], sys.argv[2], sys.argv[3]
    key = phrase.encode("ascii")
    if len(key) != 13:
        sys.exit("the pass phrase must be 13 single-byte characters")
    plain = host.encode("ascii")
    if not plain or b"\0" in plain:
        sys.exit("the host must be a non-empty ASCII name or address")
    plain += b"\0" * max(1, 12 - len(plain))
    block = rc4(key, plain)
    escaped = phrase.replace("\\", "\\\\").replace('"', '\\"')
    text = (
        "// Written by tools/encipher-host.py at configure time. Do not edit.\n"
        "#pragma once\n\n"
        "namespace app {\n\n"
        "// The distribution server's host, RC4-enciphered with the pass phrase.\n"
        "constexpr unsigned char kServerHostBlock[] = {%s};\n"
        "constexpr char kServerHostPassPhrase[] = \"%s\";\n\n"
        "}  // namespace app\n" % (", ".join("0x%02X" % b for b in block), escaped)
    )
    try:
        if open(output).read() == text:
            return 0
    except OSError:
        pass
    with open(output, "w") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
