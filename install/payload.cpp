#include "payload.h"
#include <stdio.h>
#include <string.h>
#include "path_text.h"

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

    // Create every level; a drive prefix such as "C:" is never created.
    for (size_t i = 0; i < len; ++i) {
        if (path[i] != '\\' || i <= 2) continue;
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

int ExtractPayloadFile(const char* path, UINT id, LPCSTR type)
{
    HMODULE self = GetModuleHandleA(NULL);
    HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(id), type);
    if (!res) return 0;
    HGLOBAL mem = LoadResource(self, res);
    if (!mem) return 0;
    const void* data = LockResource(mem);
    DWORD size = SizeofResource(self, res);
    if (!data) return 0;

    FILE* f = fopen(path, "wb");
    if (!f) return 0;
    // Unbuffered: the resource memory goes to the file in one write, and a full disk shows
    // in that write instead of in a flush at close.
    setvbuf(f, NULL, _IONBF, 0);
    size_t written = fwrite(data, 1, size, f);
    int closed = fclose(f);
    return (written == size && closed == 0) ? 1 : 0;
}

int WritePayload(const char* folder)
{
    char subfolder[MAX_PATH] = "";
    char target[MAX_PATH];
    int written = 0;
    for (int i = 0; i < g_payloadRowCount; ++i) {
        const PayloadRow& row = g_payload[i];
        if (row.step == PayloadRow::Folder) {
            _snprintf(subfolder, sizeof subfolder - 1, row.target, folder);
            subfolder[sizeof subfolder - 1] = '\0';
            CreateFolderPath(subfolder);  // a missing subfolder shows up as failed files
            continue;
        }
        const char* base = row.step == PayloadRow::FileInDestination ? folder : subfolder;
        int n = _snprintf(target, sizeof target, row.target, base);
        if (n < 0 || n >= (int)sizeof target) continue;  // too long for a path: counts as failed
        written += ExtractPayloadFile(target, row.id, row.type);
    }
    return written;
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
