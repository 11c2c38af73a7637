#!/usr/bin/env python3
"""Packs the larger versions of the wizard's pictures the way the setup carries them.

    pack_pictures.py OUTDIR PICTURE...

Writes OUTDIR/NAME.lzma for each PICTURE (res/NAME): the header and LZMA stream of
scripts/pack_payload.py, each picture alone, its dictionary its own length. The setup unpacks them
in fw/packed_resource.cpp. The same input gives the same bytes.
"""
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from pack_payload import MAX_DICTIONARY, MIN_DICTIONARY, pack  # noqa: E402


def main():
    out_dir, pictures = sys.argv[1], sys.argv[2:]
    os.makedirs(out_dir, exist_ok=True)
    for picture in pictures:
        with open(picture, "rb") as f:
            data = f.read()
        packed = pack(data, max(MIN_DICTIONARY, min(MAX_DICTIONARY, len(data))))
        out = os.path.join(out_dir, os.path.basename(picture) + ".lzma")
        with open(out + ".tmp", "wb") as f:
            f.write(packed)
        os.replace(out + ".tmp", out)


if __name__ == "__main__":
    main()
