#!/usr/bin/env python3
"""Builds absorbers.KAB, the absorber database fixture of the material tests,
from a few entries of the measured absorption table in shared/data (see
NOTICE.md). It lays the file out byte by byte on its own, apart from the C++
codec, so the round-trip test checks that codec against an independent
writer: a 32-byte magic field, then 256-byte records (name at 0, 22 bytes;
description at 23, 80 bytes; seven little-endian f32 at 112; category at 148,
80 bytes; texts in code page 1252, at most width - 1 characters, NUL-padded).

Usage: make_absorbers_kab.py path/to/materials.json > absorbers.KAB
"""
import json
import struct
import sys

ENTRIES = [
    "hard_surface",
    "brickwork",
    "plasterboard",
    "double_glazing_30mm",
    "curtains_cotton_0.5",
    "rockwool_50mm_80kgm3",
    "audience_orchestra_choir",
]


def text(value, width):
    data = value.encode("cp1252")[: width - 1]
    return data + b"\0" * (width - len(data))


def record(name, category, entry):
    out = bytearray(256)
    out[0:22] = text(name, 22)
    out[23:103] = text(entry["description"], 80)
    out[112:140] = struct.pack("<7f", *entry["coeffs"])
    out[148:228] = text(category, 80)
    return bytes(out)


def main():
    table = json.load(open(sys.argv[1], encoding="utf-8"))["absorption"]
    found = {name: (category, entry) for category, entries in table.items() for name, entry in entries.items()}
    out = text("KORVANE ABSORBER DATABASE V1.1", 31) + b"\0"
    for name in ENTRIES:
        category, entry = found[name]
        out += record(name, category, entry)
    sys.stdout.buffer.write(out)


main()
