// A payload file as the build stores it in its resource (as it is, or LZMA-packed behind a
// header of ours, see scripts/pack_payload.py), written back to disk and checked.
#pragma once
#include <windows.h>

// The most memory one packed file may ask for: its LZMA dictionary, which is the file's length
// or this, whichever is smaller.
const DWORD kMaxPayloadDictionary = 8 << 20;

// CRC-32 (the one of zip and PNG) of `size` bytes, continuing `crc` (0 to begin).
DWORD Crc32(DWORD crc, const void* data, size_t size);

// Writes the file that `stored` holds to `file`: raw, `stored` is the file itself; packed, it is
// unpacked straight into the file through a dictionary of at most kMaxPayloadDictionary bytes.
// True only when every byte was written and what was written is exactly `size` bytes with CRC-32
// `crc`. On false the file may hold part of the bytes; the caller removes it.
bool WriteStoredFile(HANDLE file, const BYTE* stored, DWORD storedSize, bool packed, DWORD size, DWORD crc);
