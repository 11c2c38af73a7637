// The product's files carried as resources, and the folder and file routines that write them.
#pragma once
#include <windows.h>
#include "install_result.h"

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
// The dictionary every packed file was packed with (see payload_stream.h).
extern const DWORD g_payloadDictionary;
// The number of file rows: the bound of every array of payload files. The payload table checks
// it against its rows when it is compiled.
const int kPayloadFileCount = 23;

// Makes sure an absolute folder exists, creating it level by level below its drive or network
// share. Cuts trailing blanks and always leaves exactly one trailing backslash. `path` is a
// buffer of at least 260 bytes.
int CreateFolderPath(char* path);

// Writes payload resource (id, type) of this program byte for byte to `path`, replacing what was
// there, unpacking it when the build packed it (after the files before it in the table, which its
// stream may refer back into). 1 on success; on a failed or short write, or
// when what was written differs in length or CRC-32 from the file the build embedded (a damaged
// resource), the file is removed again.
int ExtractPayloadFile(const char* path, UINT id, LPCSTR type);

// One payload file on its way in: the new content written beside the target under a temporary
// name, and, once the target has been moved aside, the previous file under another one.
struct StagedFile {
    char target[MAX_PATH];
    char staged[MAX_PATH];    // empty once placed (or never written)
    char previous[MAX_PATH];  // empty while the target has not been moved aside
    bool placed;              // the staged file is now the target
};

// The payload all or nothing, in steps: every file staged beside its target, then all of them
// placed, then either the previous files removed or everything put back as it was.
class CPayloadWrite {
public:
    explicit CPayloadWrite(const char* folder);  // `folder` ends in a backslash

    // Writes each file whole under a temporary name beside its target (creating the subfolders);
    // nothing of the destination changes. False at the first file that cannot be staged, or when
    // fewer than all 23 were.
    bool StageAll();
    // Moves each previous file aside and the staged one in its place. False at the first that
    // cannot be placed.
    bool PlaceAll();
    // After PlaceAll: removes the previous files (at the next restart where one is held).
    void Commit();
    // After a failed step: puts every previous file back and removes every file this run wrote,
    // checking each step. True when the destination holds what it held before; otherwise each
    // path that is not as before is listed in `notRestored` (a target followed, in parentheses,
    // by the temporary file that holds its previous content where there is one).
    bool RollBack(FailedRows* notRestored);

    StagedFile m_files[kPayloadFileCount];  // sized by the payload list itself, see payload_table.cpp
    int m_nCount;

private:
    const char* m_folder;
};

// Puts all 23 payload files below `folder` (ending in a backslash), or none: each is written
// whole under a temporary name beside its target first, and only when all are written are they
// renamed over the targets. On any failure (a target in use, a full disk, a missing subfolder)
// every replaced file is put back and every temporary file removed, so the destination holds
// what it held before; where that cannot be done (a file held at that moment), the paths that
// are not as before are listed in `notRestored`. 1 when all 23 are in place, 0 otherwise.
int WritePayload(const char* folder, FailedRows* notRestored);

// Length of a file in bytes; 0 when the path is empty or the file cannot be read.
long QueryFileLength(const char* path);
