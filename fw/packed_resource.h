// Resources that the build packed with LZMA behind the header the payload files have ("PXLZ",
// the length, the LZMA properties, the stream with its end marker; see scripts/pack_payload.py),
// each packed alone, unpacked whole into memory.
#pragma once
#include <windows.h>

// The bytes of packed resource (name, type) of `module`, unpacked into memory that the caller
// frees with free(), their number in `*size`; NULL when the resource is missing or damaged (its
// stream does not give exactly the length of its header) or larger than 8 MiB.
BYTE* LoadPackedResource(HMODULE module, LPCSTR name, LPCSTR type, DWORD* size);

// The same for the stored bytes of such a resource.
BYTE* UnpackResource(const BYTE* stored, DWORD storedSize, DWORD* size);
