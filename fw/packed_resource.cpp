#include "packed_resource.h"
#include <stdlib.h>
#include <string.h>
#include "LzmaDec.h"

static const DWORD kHeaderSize = 4 + 4 + LZMA_PROPS_SIZE;
static const DWORD kMaxSize = 8 << 20;

static void* Allocate(void*, size_t size) { return malloc(size); }
static void Release(void*, void* address) { free(address); }

BYTE* UnpackResource(const BYTE* stored, DWORD storedSize, DWORD* size)
{
    *size = 0;
    if (!stored || storedSize < kHeaderSize || memcmp(stored, "PXLZ", 4) != 0) return NULL;
    DWORD length = stored[4] | stored[5] << 8 | stored[6] << 16 | (DWORD)stored[7] << 24;
    if (length > kMaxSize) return NULL;
    BYTE* out = static_cast<BYTE*>(malloc(length ? length : 1));
    if (!out) return NULL;
    ISzAlloc alloc = {Allocate, Release};
    SizeT outSize = length;
    SizeT inSize = storedSize - kHeaderSize;
    ELzmaStatus status;
    // The whole stream, ending with its marker exactly where the length says.
    SRes result = LzmaDecode(out, &outSize, stored + kHeaderSize, &inSize, stored + 8, LZMA_PROPS_SIZE,
                             LZMA_FINISH_END, &status, &alloc);
    if (result != SZ_OK || status != LZMA_STATUS_FINISHED_WITH_MARK || outSize != length ||
        inSize != storedSize - kHeaderSize) {
        free(out);
        return NULL;
    }
    *size = length;
    return out;
}

BYTE* LoadPackedResource(HMODULE module, LPCSTR name, LPCSTR type, DWORD* size)
{
    HRSRC res = FindResourceA(module, name, type);
    HGLOBAL mem = res ? LoadResource(module, res) : NULL;
    const BYTE* stored = mem ? static_cast<const BYTE*>(LockResource(mem)) : NULL;
    return UnpackResource(stored, res ? SizeofResource(module, res) : 0, size);
}
