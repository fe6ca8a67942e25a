#!/usr/bin/env python3
"""Writes data/cp932.bin, the CP932 table the program reads and writes with on every platform.

Python's cp932 codec follows the Windows code page, the one behaviour every caller's file comes from.
The file is a list of 4-byte records, big-endian: the byte sequence (a single byte as 0x00XX), then the
UTF-16 code unit. A sequence's record says what it reads as; the first record of a character is how
Usage: tools/make-cp932-table.py [output]
"""
import struct
import sys

LEADS = [b for b in range(0x81, 0xFD) if b <= 0x9F or b >= 0xE0]


def area(seq):
    """JIS X 0208 and single bytes first, then NEC row 13, the IBM rows, the NEC-selected IBM rows."""
    lead = seq >> 8
    return {0x87: 1, 0xFA: 2, 0xFB: 2, 0xFC: 2, 0xED: 3, 0xEE: 3}.get(lead, 0)


def decoded(seq):
    try:
        text = seq.decode("cp932")
    except UnicodeDecodeError:
        return None
    return text if len(text) == 1 else None


def main():
    pairs = []
    for seq in [bytes([b]) for b in range(256)] + [bytes([l, t]) for l in LEADS for t in range(256)]:
        text = decoded(seq)
        if text is not None:
            pairs.append((int.from_bytes(seq, "big"), ord(text)))
    # Of several sequences for one character Windows writes the first by area (Python's encoder does
    # not: it writes small Roman numerals in the NEC-selected rows).
    written = {}
    for seq, unit in sorted(pairs, key=lambda p: (area(p[0]), p[0])):
        written.setdefault(unit, (seq, unit))
    written = sorted(written.values())
    rest = [p for p in pairs if p not in set(written)]
    path = sys.argv[1] if len(sys.argv) > 1 else "data/cp932.bin"
    with open(path, "wb") as f:
        for seq, unit in written + rest:
            f.write(struct.pack(">HH", seq, unit))
    print(f"{path}: {len(pairs)} sequences, {len(written)} characters written")


main()
