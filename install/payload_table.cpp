#include "payload.h"

#define F(type, id, target) { PayloadRow::FileInDestination, type, id, target }
#define S(type, id, target) { PayloadRow::FileInSubfolder, type, id, target }
#define DIR(name)           { PayloadRow::Folder, NULL, 0, name }

// Written in this order; a folder row is created just before its first file. The rows come
// from cmake/payload_files.cmake, the one list of the payload.
const PayloadRow g_payload[] = {
#include "payload_rows.h"
};

const int g_payloadRowCount = sizeof g_payload / sizeof g_payload[0];
