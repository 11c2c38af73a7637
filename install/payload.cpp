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

// The index in the table of resource (id, type); -1 for a resource that is not part of the payload.
static int FindRow(UINT id, LPCSTR type)
{
    for (int i = 0; i < g_payloadRowCount; ++i) {
        const PayloadRow& row = g_payload[i];
        if (row.step == PayloadRow::Folder || row.id != id) continue;
        if (IS_INTRESOURCE(row.type) ? row.type == type : !IS_INTRESOURCE(type) && strcmp(row.type, type) == 0)
            return i;
    }
    return -1;
}

// The dictionary the files go through: none when the build packed no file.
static DWORD PayloadDictionary()
{
    for (int i = 0; i < g_payloadRowCount; ++i)
        if (g_payload[i].step != PayloadRow::Folder && g_payload[i].storage == PayloadRow::Lzma)
            return g_payloadDictionary;
    return 0;
}

// Writes the next file, `row`, to `file` (INVALID_HANDLE_VALUE: into the dictionary only), straight
// from the resource memory (a raw file in one write); a damaged resource shows in the length or the
// CRC-32 of what came out.
static bool WriteRow(CPayloadUnpacker& unpacker, const PayloadRow& row, HANDLE file)
{
    HMODULE self = GetModuleHandleA(NULL);
    HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(row.id), row.type);
    if (!res) return false;
    HGLOBAL mem = LoadResource(self, res);
    const BYTE* data = mem ? static_cast<const BYTE*>(LockResource(mem)) : NULL;
    if (!data) return false;
    return unpacker.Next(file, data, SizeofResource(self, res), row.storage == PayloadRow::Lzma, row.size,
                         row.crc32);
}

// Writes `row` through `unpacker` to `path`, replacing what was there; a full disk shows in the
// writes or in the close. A file that did not come out whole is removed again.
static bool WriteRowTo(CPayloadUnpacker& unpacker, const PayloadRow& row, const char* path)
{
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool ok = WriteRow(unpacker, row, file);
    if (!CloseHandle(file)) ok = false;
    if (!ok) DeleteFileA(path);  // never leave a truncated or wrong file behind
    return ok;
}

int ExtractPayloadFile(const char* path, UINT id, LPCSTR type)
{
    int index = FindRow(id, type);
    if (index < 0) return 0;
    // The files before it go through the dictionary first: its stream may refer back into them.
    CPayloadUnpacker unpacker(PayloadDictionary());
    for (int i = 0; i < index; ++i)
        if (g_payload[i].step != PayloadRow::Folder && !WriteRow(unpacker, g_payload[i], INVALID_HANDLE_VALUE))
            return 0;
    return WriteRowTo(unpacker, g_payload[index], path) ? 1 : 0;
}

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
static bool Stage(StagedFile& f, const PayloadRow& row, CPayloadUnpacker& unpacker)
{
    char dir[MAX_PATH];
    FolderOf(f.target, dir);
    if (!CanReplace(f.target)) return false;
    if (!GetTempFileNameA(dir, "pxm", 0, f.staged)) {
        f.staged[0] = '\0';
        return false;
    }
    return WriteRowTo(unpacker, row, f.staged);
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

// A file of this run that cannot be removed now goes at the next restart.
static bool Remove(const char* path)
{
    if (DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND) return true;
    MoveFileExA(path, NULL, MOVEFILE_DELAY_UNTIL_REBOOT);
    return false;
}

CPayloadWrite::CPayloadWrite(const char* folder) : m_nCount(0), m_folder(folder)
{
    memset(m_files, 0, sizeof m_files);
}

bool CPayloadWrite::StageAll()
{
    char subfolder[MAX_PATH] = "";
    CPayloadUnpacker unpacker(PayloadDictionary());  // in the table's order, every file
    for (int i = 0; i < g_payloadRowCount; ++i) {
        const PayloadRow& row = g_payload[i];
        if (row.step == PayloadRow::Folder) {
            _snprintf(subfolder, sizeof subfolder - 1, row.target, m_folder);
            subfolder[sizeof subfolder - 1] = '\0';
            CreateFolderPath(subfolder);  // a missing subfolder shows up as a failed file
            continue;
        }
        if (m_nCount == kPayloadFileCount) return false;  // the table is checked to hold no more
        StagedFile& f = m_files[m_nCount++];
        const char* base = row.step == PayloadRow::FileInDestination ? m_folder : subfolder;
        int n = _snprintf(f.target, sizeof f.target, row.target, base);
        if (n <= 0 || n >= (int)sizeof f.target || !Stage(f, row, unpacker)) return false;
    }
    // Before any previous file is touched: all of them, or nothing is placed.
    return m_nCount == kPayloadFileCount;
}

bool CPayloadWrite::PlaceAll()
{
    for (int i = 0; i < m_nCount; ++i)
        if (!Place(m_files[i])) return false;
    return true;
}

void CPayloadWrite::Commit()
{
    for (int i = 0; i < m_nCount; ++i)
        if (m_files[i].previous[0]) Remove(m_files[i].previous);
}

bool CPayloadWrite::RollBack(FailedRows* notRestored)
{
    bool whole = true;
    for (int i = m_nCount - 1; i >= 0; --i) {
        StagedFile& f = m_files[i];
        bool asBefore = true;
        if (f.previous[0]) {
            // Over the new file where it was placed: the previous one comes back in one step.
            if (MoveFileExA(f.previous, f.target, MOVEFILE_REPLACE_EXISTING))
                f.previous[0] = '\0';
            else
                asBefore = false;
        } else if (f.placed && !Remove(f.target)) {
            asBefore = false;  // a new file where there was none
        }
        if (!asBefore && notRestored) {
            CString line;
            if (f.previous[0])
                line.Format("%s (%s)", f.target, f.previous);
            else
                line = f.target;
            notRestored->Add(line);
        }
        if (f.staged[0] && !Remove(f.staged)) {
            asBefore = false;
            if (notRestored) notRestored->Add(f.staged);
        }
        whole = whole && asBefore;
    }
    return whole;
}

int WritePayload(const char* folder, FailedRows* notRestored)
{
    CPayloadWrite write(folder);
    // First every file beside its target, nothing of the destination changes yet; then, with all
    // of them staged, into place.
    if (!write.StageAll() || !write.PlaceAll()) {
        write.RollBack(notRestored);
        return 0;
    }
    write.Commit();
    return 1;
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
