// The product's files carried as resources, and the folder and file routines that write them.
#pragma once
#include <windows.h>

// One row of the payload table: a folder to create below the destination, or a resource
// to write into the destination or into the subfolder created last.
struct PayloadRow {
    enum Step { Folder, FileInDestination, FileInSubfolder } step;
    LPCSTR type;        // resource type: "EXE", "DLL", "HLP", "TXT", "PNG" or RT_HTML (23)
    WORD id;
    const char* target; // format applied to the destination or subfolder path
    enum Storage { Raw, Lzma } storage;  // the resource holds the file as it is, or packed
    DWORD size;         // the file's length and its CRC-32, measured by the build: what is
    DWORD crc32;        // written must match both
};

extern const PayloadRow g_payload[];
extern const int g_payloadRowCount;
const int kPayloadFileCount = 23;

// Makes sure an absolute folder exists, creating it level by level below its drive or network
// share. Cuts trailing blanks and always leaves exactly one trailing backslash. `path` is a
// buffer of at least 260 bytes.
int CreateFolderPath(char* path);

// Writes payload resource (id, type) of this program byte for byte to `path`, replacing what was
// there, unpacking it when the build packed it. 1 on success; on a failed or short write, or
// when what was written differs in length or CRC-32 from the file the build embedded (a damaged
// resource), the file is removed again.
int ExtractPayloadFile(const char* path, UINT id, LPCSTR type);

// Puts all 23 payload files below `folder` (ending in a backslash), or none: each is written
// whole under a temporary name beside its target first, and only when all are written are they
// renamed over the targets. On any failure (a target in use, a full disk, a missing subfolder)
// every replaced file is put back and every temporary file removed, so the destination holds
// what it held before. 1 when all 23 are in place, 0 otherwise.
int WritePayload(const char* folder);

// Length of a file in bytes; 0 when the path is empty or the file cannot be read.
long QueryFileLength(const char* path);
