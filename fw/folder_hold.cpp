#include "folder_hold.h"
#include <winioctl.h>
#include <stdlib.h>
#include <string.h>

#ifndef IO_REPARSE_TAG_MOUNT_POINT
#define IO_REPARSE_TAG_MOUNT_POINT 0xA0000003L
#endif
#ifndef IsReparseTagNameSurrogate
#define IsReparseTagNameSurrogate(tag) (((tag) & 0x20000000) != 0)
#endif

// Opened as the object itself, never through it: a link is seen as a link.
static HANDLE OpenItself(const char* path)
{
    return CreateFileA(path, FILE_READ_ATTRIBUTES | SYNCHRONIZE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                       OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
}

// The header of the reparse data, and for a junction the start of its substitute name.
union ReparseData {
    struct {
        DWORD tag;
        WORD dataLength, reserved;
        WORD substituteOffset, substituteLength, printOffset, printLength;
        WCHAR path[MAXIMUM_REPARSE_DATA_BUFFER_SIZE / sizeof(WCHAR)];
    } data;
    BYTE raw[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
};

// Whether the reparse point of `h` names another place: a symbolic link or a junction to a
// folder. A volume mounted on a folder is a junction to the volume itself; reparse points that
// are no names (a cloud service's placeholder, a deduplicated file) are the object itself.
// Where the tag cannot be read, it counts as a link.
static bool NamesElsewhere(HANDLE h, ReparseData& buffer)
{
    DWORD got = 0;
    if (!DeviceIoControl(h, FSCTL_GET_REPARSE_POINT, NULL, 0, &buffer, sizeof buffer, &got, NULL) || got < 8)
        return true;
    DWORD tag = buffer.data.tag;
    if (!IsReparseTagNameSurrogate(tag)) return false;
    if (tag != IO_REPARSE_TAG_MOUNT_POINT) return true;
    static const WCHAR kVolume[] = L"\\??\\Volume{";
    const size_t n = sizeof kVolume / sizeof kVolume[0] - 1;
    const WCHAR* name = buffer.data.path + buffer.data.substituteOffset / sizeof(WCHAR);
    if (buffer.data.substituteLength < n * sizeof(WCHAR) ||
        (const BYTE*)(name + n) > buffer.raw + got)
        return true;
    for (size_t i = 0; i < n; ++i)
        if (name[i] != kVolume[i]) return true;
    return false;
}

static bool ReparsePointNamesElsewhere(HANDLE h)
{
    // 16 KB: not on the stack, and not in the program's file either (a static one took its room
    // there).
    ReparseData* buffer = static_cast<ReparseData*>(malloc(sizeof(ReparseData)));
    bool elsewhere = !buffer || NamesElsewhere(h, *buffer);
    free(buffer);
    return elsewhere;
}

// Whether the object open as `h` (at `path`) is a link to somewhere else. The attributes of the
// path are asked as well: some systems tell a link only there.
static bool IsLink(HANDLE h, const char* path, const BY_HANDLE_FILE_INFORMATION& info)
{
    DWORD attributes = info.dwFileAttributes;
    DWORD byPath = GetFileAttributesA(path);
    if (byPath != INVALID_FILE_ATTRIBUTES) attributes |= byPath;
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) && ReparsePointNamesElsewhere(h);
}

// The length of the root of an absolute path: "C:\" or "\\server\share\".
static size_t RootLength(const char* path)
{
    if (path[0] && path[1] == ':' && path[2] == '\\') return 3;
    if (path[0] == '\\' && path[1] == '\\') {
        const char* server = strchr(path + 2, '\\');
        const char* share = server ? strchr(server + 1, '\\') : NULL;
        return share ? (size_t)(share - path) + 1 : strlen(path);
    }
    return 0;
}

bool CFolderHold::Hold(const char* path)
{
    char prefix[MAX_PATH];
    size_t len = strlen(path);
    if (len >= sizeof prefix) return false;
    size_t root = RootLength(path);
    if (!root) return false;
    for (size_t i = root; i <= len; ++i) {
        if (i < len && path[i] != '\\') continue;
        if (i == root || path[i - 1] == '\\') continue;  // the root, or a trailing backslash
        memcpy(prefix, path, i);
        prefix[i] = '\0';
        if (m_nCount == kMaxLevels) return false;
        HANDLE h = OpenItself(prefix);
        if (h == INVALID_HANDLE_VALUE) return false;
        BY_HANDLE_FILE_INFORMATION info;
        if (!GetFileInformationByHandle(h, &info) || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            IsLink(h, prefix, info)) {
            CloseHandle(h);
            return false;
        }
        m_handles[m_nCount++] = h;  // kept open without delete sharing: it stays where it is
    }
    return true;
}

void CFolderHold::Release()
{
    while (m_nCount > 0) CloseHandle(m_handles[--m_nCount]);
}

bool IsLinkedFile(const char* path)
{
    HANDLE h = OpenItself(path);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error != ERROR_FILE_NOT_FOUND;  // anything but a missing file is not safe to write
    }
    BY_HANDLE_FILE_INFORMATION info;
    bool linked = !GetFileInformationByHandle(h, &info) || info.nNumberOfLinks > 1 || IsLink(h, path, info);
    CloseHandle(h);
    return linked;
}
