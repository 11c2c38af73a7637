#include "payload_stream.h"
#include <stdlib.h>
#include <string.h>
#include "LzmaDec.h"

// The packed form: "PXLZ", the file's length (4 bytes, little-endian), the 5 bytes of LZMA
// properties (the dictionary's size among them), then the stream with its end marker.
static const BYTE kMagic[4] = {'P', 'X', 'L', 'Z'};
static const DWORD kHeaderSize = 4 + 4 + LZMA_PROPS_SIZE;

// Eight bytes a step (each of the eight tables carries a byte one position further), so that
// checking a large file that is carried as it is costs little beside writing it. The tables are
// made at the first use: outside the function, so that they take no room in the program's file.
static DWORD table[8][256];
static bool ready = false;

DWORD Crc32(DWORD crc, const void* data, size_t size)
{
    if (!ready) {
        for (DWORD i = 0; i < 256; ++i) {
            DWORD c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[0][i] = c;
        }
        for (int t = 1; t < 8; ++t)
            for (DWORD i = 0; i < 256; ++i) table[t][i] = (table[t - 1][i] >> 8) ^ table[0][table[t - 1][i] & 0xFF];
        ready = true;
    }
    const BYTE* p = static_cast<const BYTE*>(data);
    crc = ~crc;
    for (; size >= 8; size -= 8, p += 8) {
        DWORD a = crc ^ (p[0] | p[1] << 8 | p[2] << 16 | (DWORD)p[3] << 24);
        DWORD b = p[4] | p[5] << 8 | p[6] << 16 | (DWORD)p[7] << 24;
        crc = table[7][a & 0xFF] ^ table[6][(a >> 8) & 0xFF] ^ table[5][(a >> 16) & 0xFF] ^ table[4][a >> 24]
              ^ table[3][b & 0xFF] ^ table[2][(b >> 8) & 0xFF] ^ table[1][(b >> 16) & 0xFF] ^ table[0][b >> 24];
    }
    while (size--) crc = table[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

static bool WriteAll(HANDLE file, const BYTE* data, DWORD size)
{
    if (file == INVALID_HANDLE_VALUE) return true;  // a file wanted only in the dictionary
    DWORD written = 0;
    return WriteFile(file, data, size, &written, NULL) && written == size;
}

static void* Allocate(void*, size_t size) { return malloc(size); }
static void Release(void*, void* address) { free(address); }

CPayloadUnpacker::CPayloadUnpacker(DWORD dictionary)
    : m_size(dictionary), m_ring(NULL), m_pos(0), m_filled(0), m_broken(dictionary > kMaxPayloadDictionary)
{
}

CPayloadUnpacker::~CPayloadUnpacker() { free(m_ring); }

// A raw file's bytes into the ring: only its last m_size bytes can still be referred to.
void CPayloadUnpacker::Keep(const BYTE* data, DWORD size)
{
    if (size > m_size) {
        data += size - m_size;
        size = m_size;
    }
    while (size > 0) {
        DWORD n = m_size - m_pos < size ? m_size - m_pos : size;
        memcpy(m_ring + m_pos, data, n);
        m_pos = (m_pos + n) % m_size;
        m_filled = m_filled + n < m_size ? m_filled + n : m_size;
        data += n;
        size -= n;
    }
}

// Unpacks the stream through the ring into `file`: each time the decoder reaches the ring's end
// (and at the end of the file) its new bytes go to the file, and it goes on at the ring's start.
// The decoder starts with the ring as the files before left it, which is what the build packed
// the stream against.
bool CPayloadUnpacker::Unpack(HANDLE file, const BYTE* stored, DWORD storedSize, DWORD size, DWORD crc)
{
    if (storedSize < kHeaderSize || memcmp(stored, kMagic, sizeof kMagic) != 0) return false;
    DWORD length = stored[4] | stored[5] << 8 | stored[6] << 16 | (DWORD)stored[7] << 24;
    if (length != size) return false;
    const BYTE* props = stored + 8;
    CLzmaProps p;
    // The build packs with lc + lp <= 4 (the decoder's tables then take a few KB) and the payload's
    // one dictionary; anything else only a damaged header asks for.
    if (LzmaProps_Decode(&p, props, LZMA_PROPS_SIZE) != SZ_OK || p.lc + p.lp > 4 || m_size == 0 || p.dicSize != m_size)
        return false;

    ISzAlloc alloc = {Allocate, Release};
    CLzmaDec dec;
    LzmaDec_Construct(&dec);
    if (LzmaDec_AllocateProbs(&dec, props, LZMA_PROPS_SIZE, &alloc) != SZ_OK) return false;
    LzmaDec_Init(&dec);
    dec.dic = m_ring;
    dec.dicBufSize = m_size;
    dec.dicPos = m_pos;
    dec.processedPos = m_filled;  // the stream's first byte follows the files before it
    dec.checkDicSize = m_filled == m_size ? m_size : 0;

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
    if (dec.dicPos == dec.dicBufSize) dec.dicPos = 0;
    if (ok) {
        // Nothing may follow but the end marker: room for one more byte, and none must come.
        SizeT end = dec.dicPos;
        SizeT used = inLeft;
        ok = LzmaDec_DecodeToDic(&dec, end + 1, in, &used, LZMA_FINISH_ANY, &status) == SZ_OK
             && status == LZMA_STATUS_FINISHED_WITH_MARK && dec.dicPos == end && used == inLeft;
    }
    m_pos = static_cast<DWORD>(dec.dicPos);
    m_filled = m_size - m_filled < size ? m_size : m_filled + size;
    dec.dic = NULL;  // the ring stays ours
    LzmaDec_FreeProbs(&dec, &alloc);
    return ok && sum == crc;
}

bool CPayloadUnpacker::Next(HANDLE file, const BYTE* stored, DWORD storedSize, bool packed, DWORD size, DWORD crc)
{
    if (m_broken) return false;
    if (m_size > 0 && !m_ring) {
        m_ring = static_cast<BYTE*>(malloc(m_size));
        if (!m_ring) return false;
    }
    bool ok;
    if (packed) {
        ok = Unpack(file, stored, storedSize, size, crc);
    } else {
        // As it is: checked before a byte is written, then one write straight from the resource.
        ok = storedSize == size && Crc32(0, stored, storedSize) == crc && WriteAll(file, stored, storedSize);
        if (ok && m_ring) Keep(stored, size);
    }
    if (!ok) m_broken = true;
    return ok;
}
