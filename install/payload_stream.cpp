#include "payload_stream.h"
#include <stdlib.h>
#include <string.h>
#include "LzmaDec.h"

// The packed form: "PXLZ", the file's length (4 bytes, little-endian), the 5 bytes of LZMA
// properties, then the stream with its end marker.
static const BYTE kMagic[4] = {'P', 'X', 'L', 'Z'};
static const DWORD kHeaderSize = 4 + 4 + LZMA_PROPS_SIZE;

DWORD Crc32(DWORD crc, const void* data, size_t size)
{
    static DWORD table[256];
    static bool ready = false;
    if (!ready) {
        for (DWORD i = 0; i < 256; ++i) {
            DWORD c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    const BYTE* p = static_cast<const BYTE*>(data);
    crc = ~crc;
    while (size--) crc = table[(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static bool WriteAll(HANDLE file, const BYTE* data, DWORD size)
{
    DWORD written = 0;
    return WriteFile(file, data, size, &written, NULL) && written == size;
}

static void* Allocate(void*, size_t size) { return malloc(size); }
static void Release(void*, void* address) { free(address); }

// Unpacks the stream into `file` one dictionary at a time: each time the dictionary is full (and
// at the end) its new bytes go to the file, and the dictionary starts over from its beginning.
static bool Unpack(HANDLE file, const BYTE* stored, DWORD storedSize, DWORD size, DWORD crc)
{
    if (storedSize < kHeaderSize || memcmp(stored, kMagic, sizeof kMagic) != 0) return false;
    DWORD length = stored[4] | stored[5] << 8 | stored[6] << 16 | (DWORD)stored[7] << 24;
    if (length != size) return false;
    const BYTE* props = stored + 8;
    CLzmaProps p;
    // The build packs with lc + lp <= 4 (the decoder's tables then take a few KB); more, like a
    // dictionary beyond the bound, only a damaged header asks for.
    if (LzmaProps_Decode(&p, props, LZMA_PROPS_SIZE) != SZ_OK || p.lc + p.lp > 4 || p.dicSize > kMaxPayloadDictionary)
        return false;

    ISzAlloc alloc = {Allocate, Release};
    CLzmaDec dec;
    LzmaDec_Construct(&dec);
    if (LzmaDec_AllocateProbs(&dec, props, LZMA_PROPS_SIZE, &alloc) != SZ_OK) return false;
    // A file shorter than the dictionary needs no more than itself, and one byte to spare, where
    // the end marker is looked for.
    dec.dicBufSize = size < p.dicSize ? size + 1 : p.dicSize;
    dec.dic = static_cast<Byte*>(malloc(dec.dicBufSize));
    if (!dec.dic) {
        LzmaDec_FreeProbs(&dec, &alloc);
        return false;
    }
    LzmaDec_Init(&dec);

    const BYTE* in = stored + kHeaderSize;
    SizeT inLeft = storedSize - kHeaderSize;
    DWORD left = size;
    DWORD sum = 0;
    ELzmaStatus status;
    bool ok = true;
    while (ok && left > 0) {
        if (dec.dicPos == dec.dicBufSize) dec.dicPos = 0;
        SizeT start = dec.dicPos;
        SizeT room = dec.dicBufSize - start;
        SizeT limit = start + (left < room ? left : room);
        SizeT used = inLeft;
        ok = LzmaDec_DecodeToDic(&dec, limit, in, &used, LZMA_FINISH_ANY, &status) == SZ_OK
             && dec.dicPos == limit;  // short of it: the stream ended early or wants more input
        in += used;
        inLeft -= used;
        DWORD got = static_cast<DWORD>(dec.dicPos - start);
        if (ok) ok = WriteAll(file, dec.dic + start, got);
        sum = Crc32(sum, dec.dic + start, got);
        left -= got;
    }
    if (ok) {
        // Nothing may follow but the end marker: room for one more byte, and none must come.
        if (dec.dicPos == dec.dicBufSize) dec.dicPos = 0;
        SizeT end = dec.dicPos;
        SizeT used = inLeft;
        ok = LzmaDec_DecodeToDic(&dec, end + 1, in, &used, LZMA_FINISH_ANY, &status) == SZ_OK
             && status == LZMA_STATUS_FINISHED_WITH_MARK && dec.dicPos == end && used == inLeft;
    }
    free(dec.dic);
    LzmaDec_FreeProbs(&dec, &alloc);
    return ok && sum == crc;
}

bool WriteStoredFile(HANDLE file, const BYTE* stored, DWORD storedSize, bool packed, DWORD size, DWORD crc)
{
    if (packed) return Unpack(file, stored, storedSize, size, crc);
    // As it is: checked before a byte is written, then one write straight from the resource.
    return storedSize == size && Crc32(0, stored, storedSize) == crc && WriteAll(file, stored, storedSize);
}
