#include "payload.h"
#include <stdio.h>
#include <string.h>
#include "path_text.h"
#include "payload_stream.h"

int CreateFolderPath(char* path)
{
    if (!path || !path[0]) return 0;
    size_t len = strlen(path);
    while (len > 0 && path[len - 1] == ' ') path[--len] = '\0';

    // Existence test by changing into the folder; the working directory is put back.
    char saved[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof saved, saved);
    if (len > 0 && SetCurrentDirectoryA(path)) {
        SetCurrentDirectoryA(saved);
        AppendBackslash(path, MAX_PATH);
        return 1;
    }
    if (len > 0 && path[len - 1] == '\\') path[--len] = '\0';

    // Create every level below the root: a drive ("C:") or a network share ("\\server\share")
    // is never created.
    size_t root = GetFolderRootLength(path);
    for (size_t i = 0; i < len; ++i) {
        if (path[i] != '\\' || i <= root) continue;
        path[i] = '\0';
        BOOL ok = CreateDirectoryA(path, NULL) || GetLastError() == ERROR_ALREADY_EXISTS;
        path[i] = '\\';
        if (!ok) {
            AppendBackslash(path, MAX_PATH);
            return 0;
        }
    }
    int result = (CreateDirectoryA(path, NULL) || GetLastError() == ERROR_ALREADY_EXISTS) ? 1 : 0;
    AppendBackslash(path, MAX_PATH);
    return result;
}

// The payload row of resource (id, type); NULL for a resource that is not part of the payload.
static const PayloadRow* FindRow(UINT id, LPCSTR type)
{
    for (int i = 0; i < g_payloadRowCount; ++i) {
        const PayloadRow& row = g_payload[i];
        if (row.step == PayloadRow::Folder || row.id != id) continue;
        if (IS_INTRESOURCE(row.type) ? row.type == type : !IS_INTRESOURCE(type) && strcmp(row.type, type) == 0)
            return &row;
    }
    return NULL;
}

int ExtractPayloadFile(const char* path, UINT id, LPCSTR type)
{
    const PayloadRow* row = FindRow(id, type);
    if (!row) return 0;
    HMODULE self = GetModuleHandleA(NULL);
    HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(id), type);
    if (!res) return 0;
    HGLOBAL mem = LoadResource(self, res);
    if (!mem) return 0;
    const BYTE* data = static_cast<const BYTE*>(LockResource(mem));
    DWORD size = SizeofResource(self, res);
    if (!data) return 0;

    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 0;
    // Straight from the resource memory (a raw file in one write); a full disk shows in the writes
    // or in the close, a damaged resource in the length or the CRC-32 of what came out.
    bool ok = WriteStoredFile(file, data, size, row->storage == PayloadRow::Lzma, row->size, row->crc32);
    if (!CloseHandle(file)) ok = false;
    if (!ok) DeleteFileA(path);  // never leave a truncated or wrong file behind
    return ok ? 1 : 0;
}

// One payload file on its way in: the new content written beside the target under a temporary
// name, and, once the target has been moved aside, the previous file under another one.
struct StagedFile {
    char target[MAX_PATH];
    char staged[MAX_PATH];
    char previous[MAX_PATH];  // empty while the target has not been moved aside
    bool placed;              // the staged file is now the target
};

// The folder part of `path` (up to its last backslash) into `dir`.
static void FolderOf(const char* path, char* dir)
{
    lstrcpynA(dir, path, MAX_PATH);
    char* slash = strrchr(dir, '\\');
    if (slash) slash[1] = '\0';
}

// A target that someone holds open (the running viewer) cannot be replaced now: ask for it
// exclusively before anything is moved. A missing target is fine.
static bool CanReplace(const char* target)
{
    HANDLE h = CreateFileA(target, GENERIC_WRITE | DELETE, 0, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h != INVALID_HANDLE_VALUE) {
        CloseHandle(h);
        return true;
    }
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND;
}

// Writes the file's content under a temporary name in the target's own folder, so that putting
// it in place is a rename on the same volume.
static bool Stage(StagedFile& f, const PayloadRow& row)
{
    char dir[MAX_PATH];
    FolderOf(f.target, dir);
    if (!CanReplace(f.target)) return false;
    if (!GetTempFileNameA(dir, "pxm", 0, f.staged)) {
        f.staged[0] = '\0';
        return false;
    }
    return ExtractPayloadFile(f.staged, row.id, row.type) == 1;
}

// Moves the previous target aside and the staged file in its place.
static bool Place(StagedFile& f)
{
    char dir[MAX_PATH];
    FolderOf(f.target, dir);
    if (GetFileAttributesA(f.target) != INVALID_FILE_ATTRIBUTES) {
        if (!GetTempFileNameA(dir, "pxm", 0, f.previous)) {
            f.previous[0] = '\0';
            return false;
        }
        if (!MoveFileExA(f.target, f.previous, MOVEFILE_REPLACE_EXISTING)) {
            DeleteFileA(f.previous);
            f.previous[0] = '\0';
            return false;
        }
    }
    if (!MoveFileA(f.staged, f.target)) return false;
    f.staged[0] = '\0';
    f.placed = true;
    return true;
}

// Puts every previous file back where it was and removes everything this run wrote.
static void RollBack(StagedFile* files, int count)
{
    for (int i = count - 1; i >= 0; --i) {
        StagedFile& f = files[i];
        if (f.placed) DeleteFileA(f.target);
        if (f.previous[0]) MoveFileExA(f.previous, f.target, MOVEFILE_REPLACE_EXISTING);
        if (f.staged[0]) DeleteFileA(f.staged);
    }
}

int WritePayload(const char* folder)
{
    StagedFile files[kPayloadFileCount];
    memset(files, 0, sizeof files);
    char subfolder[MAX_PATH] = "";
    int count = 0;
    bool ok = true;

    // First every file beside its target; nothing of the destination changes yet.
    for (int i = 0; i < g_payloadRowCount && ok; ++i) {
        const PayloadRow& row = g_payload[i];
        if (row.step == PayloadRow::Folder) {
            _snprintf(subfolder, sizeof subfolder - 1, row.target, folder);
            subfolder[sizeof subfolder - 1] = '\0';
            CreateFolderPath(subfolder);  // a missing subfolder shows up as a failed file
            continue;
        }
        StagedFile& f = files[count++];
        const char* base = row.step == PayloadRow::FileInDestination ? folder : subfolder;
        int n = _snprintf(f.target, sizeof f.target, row.target, base);
        ok = n > 0 && n < (int)sizeof f.target && Stage(f, row);
    }
    // Then, with all of them staged, into place.
    for (int i = 0; i < count && ok; ++i) ok = Place(files[i]);

    if (!ok) {
        RollBack(files, count);
        return 0;
    }
    for (int i = 0; i < count; ++i)
        if (files[i].previous[0] && !DeleteFileA(files[i].previous))
            MoveFileExA(files[i].previous, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    return count == kPayloadFileCount ? 1 : 0;
}

long QueryFileLength(const char* path)
{
    if (!path || !path[0]) return 0;
    FILE* f = fopen(path, "rb");
    if (!f) return 0;
    fseek(f, 0, SEEK_END);
    long len = ftell(f);
    fclose(f);
    return len < 0 ? 0 : len;
}
