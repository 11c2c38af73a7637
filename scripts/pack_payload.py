#!/usr/bin/env python3
"""Stores one payload file the way the setup carries it in its resource.

    pack_payload.py {lzma|none} DICTIONARY FILE OUT [EARLIER...]

Prints "lzma SIZE CRC32 STORED" when OUT now holds the packed form, or "raw SIZE CRC32 STORED" when
the file is carried as it is (with "none", and whenever packing would not make it smaller); SIZE is
the file's length and CRC32 that of its bytes, both of which the setup checks after writing the file;
STORED is the CRC-32 of what the resource holds, which the resource script names so that it is
compiled again whenever that changes.

DICTIONARY is the payload's one dictionary size: its largest file's length, at least 4 KiB and at
most 8 MiB, so that the setup never holds more than that. The setup writes the files in the order
of the payload table through that one dictionary, so a packed file may refer back into the files
before it: EARLIER are those files, in the table's order, and the dictionary starts with their last
bytes (as many as it holds). Files of one kind (programs built alike, texts) then cost little
more than their differences.

The packed form, read by install/payload_stream.cpp:

    offset 0   4 bytes  "PXLZ"
    offset 4   4 bytes  the file's length, little-endian
    offset 8   5 bytes  the LZMA properties (lc/lp/pb byte, DICTIONARY little-endian)
    offset 13           the LZMA stream, ended by its end marker

The encoder is xz's (liblzma, at the strongest preset, called directly, since Python's module cannot
hand it the earlier files), with the literal and position settings that suit text or those that
suit x86 code (which is not aligned: pb 0), whichever packs the file alone smallest; the setup's
decoder takes any with lc + lp <= 4. The same input gives the same bytes.
"""
import ctypes
import ctypes.util
import os
import struct
import sys
import zlib

MAGIC = b"PXLZ"
MAX_DICTIONARY = 8 << 20
MIN_DICTIONARY = 4096  # the least liblzma and the setup's decoder take
# (lc, lp, pb) tried in this order; of equally small streams the first is kept.
SETTINGS = ((3, 0, 2), (2, 0, 0), (1, 0, 0))


class _Stream(ctypes.Structure):  # lzma_stream: the fields used here, then room for the rest
    _fields_ = [("next_in", ctypes.c_void_p), ("avail_in", ctypes.c_size_t), ("total_in", ctypes.c_uint64),
                ("next_out", ctypes.c_void_p), ("avail_out", ctypes.c_size_t), ("total_out", ctypes.c_uint64),
                ("allocator", ctypes.c_void_p), ("internal", ctypes.c_void_p), ("rest", ctypes.c_ubyte * 256)]


class _Options(ctypes.Structure):  # lzma_options_lzma, likewise
    _fields_ = [("dict_size", ctypes.c_uint32), ("preset_dict", ctypes.c_void_p),
                ("preset_dict_size", ctypes.c_uint32), ("lc", ctypes.c_uint32), ("lp", ctypes.c_uint32),
                ("pb", ctypes.c_uint32), ("rest", ctypes.c_ubyte * 256)]


class _Filter(ctypes.Structure):
    _fields_ = [("id", ctypes.c_uint64), ("options", ctypes.c_void_p)]


_FILTER_LZMA1 = 0x4000000000000001
_VLI_UNKNOWN = 2**64 - 1
_PRESET = 9 | 0x80000000  # 9, extreme
_RUN_FINISH, _OK, _STREAM_END = 3, 0, 1
_lib = None


def _liblzma():
    global _lib
    if _lib is None:
        name = ctypes.util.find_library("lzma")
        if not name:
            sys.exit("pack_payload.py: liblzma not found (Debian: liblzma5)")
        _lib = ctypes.CDLL(name)
    return _lib


def _code(init, data, earlier, dictionary, lc, lp, pb):
    """Runs liblzma's raw LZMA1 encoder or decoder over `data`, its dictionary starting with
    `earlier`."""
    lib = _liblzma()
    opts = _Options()
    if lib.lzma_lzma_preset(ctypes.byref(opts), ctypes.c_uint32(_PRESET)):
        sys.exit("pack_payload.py: liblzma refused its preset")
    opts.dict_size, opts.lc, opts.lp, opts.pb = dictionary, lc, lp, pb
    keep = ctypes.create_string_buffer(earlier, len(earlier)) if earlier else None
    if keep is not None:
        opts.preset_dict, opts.preset_dict_size = ctypes.cast(keep, ctypes.c_void_p), len(earlier)
    filters = (_Filter * 2)((_FILTER_LZMA1, ctypes.cast(ctypes.pointer(opts), ctypes.c_void_p)), (_VLI_UNKNOWN, None))
    stream = _Stream()
    if init(ctypes.byref(stream), filters) != _OK:
        sys.exit("pack_payload.py: liblzma refused the LZMA settings")
    source = ctypes.create_string_buffer(data, len(data))
    chunk = ctypes.create_string_buffer(1 << 20)
    stream.next_in, stream.avail_in = ctypes.cast(source, ctypes.c_void_p), len(data)
    out = bytearray()
    try:
        while True:
            stream.next_out, stream.avail_out = ctypes.cast(chunk, ctypes.c_void_p), len(chunk)
            result = lib.lzma_code(ctypes.byref(stream), _RUN_FINISH)
            out += chunk.raw[:len(chunk) - stream.avail_out]
            if result == _STREAM_END:
                return bytes(out)
            if result != _OK:
                raise ValueError(f"liblzma failed ({result})")
    finally:
        lib.lzma_end(ctypes.byref(stream))


def tail(earlier, dictionary):
    """What the dictionary holds of the files before: their last `dictionary` bytes."""
    return earlier[-dictionary:] if dictionary else b""


def pack(data, dictionary, earlier=b""):
    """The packed form of `data`, its dictionary starting with the end of `earlier`."""
    encode = _liblzma().lzma_raw_encoder
    # The settings are chosen on the file alone: handing the encoder the earlier files costs as
    # much as packing them again, so that is done once, with the settings found.
    best = None
    for lc, lp, pb in SETTINGS:
        stream = _code(encode, data, b"", dictionary, lc, lp, pb)
        if best is None or len(stream) < len(best[1]):
            best = ((lc, lp, pb), stream)
    (lc, lp, pb), stream = best
    preset = tail(earlier, dictionary)
    if preset:
        stream = _code(encode, data, preset, dictionary, lc, lp, pb)
    return MAGIC + struct.pack("<IBI", len(data), (pb * 5 + lp) * 9 + lc, dictionary) + stream


def unpack(packed, earlier=b""):
    """The file back from its packed form (for checks; the setup has its own decoder)."""
    props, dictionary = struct.unpack_from("<BI", packed, 8)
    lc, lp, pb = props % 9, props // 9 % 5, props // 45
    return _code(_liblzma().lzma_raw_decoder, packed[13:], tail(earlier, dictionary), dictionary, lc, lp, pb)


def main():
    if len(sys.argv) < 5:
        sys.exit(__doc__.split("\n\n")[1])
    mode, dictionary, source, out = sys.argv[1:5]
    if mode not in ("lzma", "none"):
        sys.exit(f"pack_payload.py: unknown compression {mode!r} (lzma or none)")
    dictionary = int(dictionary)
    if not MIN_DICTIONARY <= dictionary <= MAX_DICTIONARY:
        sys.exit(f"pack_payload.py: dictionary {dictionary} outside {MIN_DICTIONARY}..{MAX_DICTIONARY}")
    with open(source, "rb") as f:
        data = f.read()
    if len(data) >= 1 << 32:
        sys.exit(f"pack_payload.py: {source} is 4 GiB or larger")
    crc = zlib.crc32(data) & 0xFFFFFFFF
    packed = None
    if mode == "lzma":
        earlier = bytearray()
        for path in sys.argv[5:]:  # only the dictionary's worth from the end is kept
            with open(path, "rb") as f:
                earlier = (earlier + f.read())[-dictionary:]
        packed = pack(data, dictionary, bytes(earlier))
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
