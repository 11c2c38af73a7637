#!/usr/bin/env python3
"""Stores one payload file the way the setup carries it in its resource.

    pack_payload.py {lzma|none} FILE OUT

Prints "lzma SIZE CRC32 STORED" when OUT now holds the packed form, or "raw SIZE CRC32 STORED" when
the file is carried as it is (with "none", and whenever packing would not make it smaller); SIZE is
the file's length and CRC32 that of its bytes, both of which the setup checks after writing the file;
STORED is the CRC-32 of what the resource holds, which the resource script names so that it is
compiled again whenever that changes.

The packed form, read by install/payload_stream.cpp:

    offset 0   4 bytes  "PXLZ"
    offset 4   4 bytes  the file's length, little-endian
    offset 8   5 bytes  the LZMA properties (lc/lp/pb byte, dictionary size little-endian)
    offset 13           the LZMA stream, ended by its end marker

The dictionary is the file's length, at most 8 MiB, so that the setup never needs more memory than
that for one file. The encoder is xz's (liblzma, at the strongest preset), tried with the literal and
position settings that suit text and those that suit x86 code (which is not aligned: pb 0), keeping
the smallest; the setup's decoder takes any with lc + lp <= 4. The same input gives the same bytes.
"""
import lzma
import os
import struct
import sys
import zlib

MAGIC = b"PXLZ"
MAX_DICTIONARY = 8 << 20
MIN_DICTIONARY = 4096  # the least liblzma accepts
# (lc, lp, pb) tried in this order; of equally small streams the first is kept.
SETTINGS = ((3, 0, 2), (2, 0, 0), (1, 0, 0))


def pack(data):
    """The packed form of `data`."""
    dictionary = max(MIN_DICTIONARY, min(MAX_DICTIONARY, len(data)))
    best = None
    for lc, lp, pb in SETTINGS:
        alone = lzma.compress(data, format=lzma.FORMAT_ALONE, filters=[
            {"id": lzma.FILTER_LZMA1, "preset": 9 | lzma.PRESET_EXTREME, "dict_size": dictionary,
             "lc": lc, "lp": lp, "pb": pb}])
        if best is None or len(alone) < len(best):
            best = alone
    # The .lzma header: 5 bytes of properties, then 8 bytes of length (unknown: all ones).
    return MAGIC + struct.pack("<I", len(data)) + best[:5] + best[13:]


def main():
    mode, source, out = sys.argv[1:]
    if mode not in ("lzma", "none"):
        sys.exit(f"pack_payload.py: unknown compression {mode!r} (lzma or none)")
    with open(source, "rb") as f:
        data = f.read()
    if len(data) >= 1 << 32:
        sys.exit(f"pack_payload.py: {source} is 4 GiB or larger")
    crc = zlib.crc32(data) & 0xFFFFFFFF
    packed = pack(data) if mode == "lzma" else None
    if packed is not None and len(packed) < len(data):
        with open(out + ".tmp", "wb") as f:
            f.write(packed)
        os.replace(out + ".tmp", out)
        print(f"lzma {len(data)} {crc:#010x} {zlib.crc32(packed) & 0xFFFFFFFF:#010x}")
    else:
        if os.path.exists(out):
            os.remove(out)
        print(f"raw {len(data)} {crc:#010x} {crc:#010x}")


if __name__ == "__main__":
    main()
