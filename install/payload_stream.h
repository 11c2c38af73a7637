// The payload files as the build stores them in their resources (as they are, or LZMA-packed
// behind a header of ours, see scripts/pack_payload.py), written back to disk and checked.
#pragma once
#include <windows.h>

// The most memory unpacking may ask for: the payload's one dictionary, which is its largest file's
// length or this, whichever is smaller.
const DWORD kMaxPayloadDictionary = 8 << 20;

// CRC-32 (the one of zip and PNG) of `size` bytes, continuing `crc` (0 to begin).
DWORD Crc32(DWORD crc, const void* data, size_t size);

// Writes the payload files back in the order of the payload table. They all go through one
// dictionary, since a packed file may refer back into the files before it: so every file from the
// first on comes through here in order, one that is not wanted with no file to write to.
class CPayloadUnpacker {
public:
    // `dictionary`: the size every packed file was packed with; 0 when none is packed.
    explicit CPayloadUnpacker(DWORD dictionary);
    ~CPayloadUnpacker();

    // Writes the next file, which `stored` holds, to `file` (INVALID_HANDLE_VALUE: into the
    // dictionary only): raw, `stored` is the file itself, checked before a byte is written; packed,
    // it is unpacked straight into the file. True only when every byte was written and what came
    // out is exactly `size` bytes with CRC-32 `crc`. On false the file may hold part of the bytes
    // (the caller removes it), and every later file is refused, since the dictionary is no longer
    // what the build packed them against.
    bool Next(HANDLE file, const BYTE* stored, DWORD storedSize, bool packed, DWORD size, DWORD crc);

private:
    bool Unpack(HANDLE file, const BYTE* stored, DWORD storedSize, DWORD size, DWORD crc);
    void Keep(const BYTE* data, DWORD size);

    DWORD m_size;    // of the dictionary
    BYTE* m_ring;    // the dictionary, a ring: allocated at the first file
    DWORD m_pos;     // where in the ring the next byte goes
    DWORD m_filled;  // how much of the ring holds the files so far
    bool m_broken;
};
