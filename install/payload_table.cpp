#include "payload.h"
#include "payload_size.h"

#define F(type, id, target, storage, size, crc) \
    { PayloadRow::FileInDestination, type, id, target, PayloadRow::storage, size, crc }
#define S(type, id, target, storage, size, crc) \
    { PayloadRow::FileInSubfolder, type, id, target, PayloadRow::storage, size, crc }
#define DIR(name) { PayloadRow::Folder, NULL, 0, name, PayloadRow::Raw, 0, 0 }

// Written in this order; a folder row is created just before its first file. The rows come
// from cmake/payload_files.cmake, the one list of the payload, with how the build stored each
// file, its length and its CRC-32.
const PayloadRow g_payload[] = {
#include "payload_rows.h"
};

const int g_payloadRowCount = sizeof g_payload / sizeof g_payload[0];
const DWORD g_payloadDictionary = PIXMORA_PAYLOAD_DICTIONARY;

// The same rows once more, as their steps only: the compiler counts the files, so that a payload
// list of another length cannot meet arrays sized for 23.
#undef F
#undef S
#undef DIR
#define F(type, id, target, ...) PayloadRow::FileInDestination
#define S(type, id, target, ...) PayloadRow::FileInSubfolder
#define DIR(name)           PayloadRow::Folder
static constexpr PayloadRow::Step kSteps[] = {
#include "payload_rows.h"
};

static constexpr int CountFiles()
{
    int n = 0;
    for (PayloadRow::Step step : kSteps) n += step != PayloadRow::Folder;
    return n;
}
static_assert(CountFiles() == kPayloadFileCount, "the payload list and kPayloadFileCount disagree");
static_assert(sizeof kSteps / sizeof kSteps[0] == sizeof g_payload / sizeof g_payload[0], "one step per row");
