// The floor of an installation: the job of a silent run of the setup done with the cheapest calls,
// to compare the setup's wineserver requests and times with. `floor_plain.exe FOLDER` does what
// "/silent" alone does, `floor_full.exe FOLDER` the full run; the tables come from
// bench/gen_floor.py. Files: one CreateFile and one WriteFile of the embedded resource each;
// pxm32.ini: one write; the registry: every key created (or opened) once relative to its parent's
// open handle, its values set through it, every handle closed at the end of the phase.
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include "payload_size.h"

struct FloorFile {
    int id;
    const wchar_t* type;
    const wchar_t* path;
};
struct FloorLink {
    int desktop;
    const wchar_t *name, *target, *args, *icon;
    int index;
    const wchar_t* description;
};
struct FloorKey {
    int parent;  // row of the parent key, -1: the hive
    HKEY hive;
    const wchar_t* path;  // from the parent
    int action;           // 0 create, 1 open if present, 2 delete
};
struct FloorValue {
    int key;
    const wchar_t* name;
    const wchar_t* text;  // NULL: a text value without data
    DWORD type;           // REG_SZ, or REG_DWORD with `number`
    DWORD number;
};

#include FLOOR_JOB

static wchar_t s_folder[MAX_PATH];

// A table text with "{folder}" replaced by the installation folder.
static const wchar_t* Expand(const wchar_t* text, wchar_t* out, int size)
{
    static const wchar_t kMark[] = L"{folder}";
    int n = 0;
    while (*text && n < size - 1) {
        if (!wcsncmp(text, kMark, 8)) {
            for (const wchar_t* f = s_folder; *f && n < size - 1;) out[n++] = *f++;
            text += 8;
        } else {
            out[n++] = *text++;
        }
    }
    out[n] = 0;
    return out;
}

static bool WriteAll(const wchar_t* path, const void* data, DWORD size)
{
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(file, data, size, &written, NULL) && written == size;
    return CloseHandle(file) && ok;
}

static bool Files()
{
    wchar_t path[MAX_PATH];
    CreateDirectoryW(s_folder, NULL);
    for (const wchar_t* folder : kFolders) {
        _snwprintf(path, MAX_PATH, L"%s\\%s", s_folder, folder);
        CreateDirectoryW(path, NULL);
    }
    for (const FloorFile& f : kFiles) {
        HRSRC res = FindResourceW(NULL, MAKEINTRESOURCEW(f.id), f.type);
        HGLOBAL data = res ? LoadResource(NULL, res) : NULL;
        _snwprintf(path, MAX_PATH, L"%s\\%s", s_folder, f.path);
        if (!data || !WriteAll(path, LockResource(data), SizeofResource(NULL, res))) return false;
    }
    _snwprintf(path, MAX_PATH, L"%s\\pxm32.ini", s_folder);
    return WriteAll(path, kIni, sizeof kIni - 1);
}

static bool Links()
{
    if (!kGroup && !kLinkCount) return true;
    wchar_t group[MAX_PATH], desktop[MAX_PATH], path[MAX_PATH], a[MAX_PATH], b[MAX_PATH];
    if (FAILED(SHGetFolderPathW(NULL, CSIDL_PROGRAMS, NULL, 0, group)) ||
        FAILED(SHGetFolderPathW(NULL, CSIDL_DESKTOPDIRECTORY, NULL, 0, desktop)))
        return false;
    lstrcatW(group, L"\\Pixmora");
    if (kGroup) CreateDirectoryW(group, NULL);
    for (int i = 0; i < kOldLinkCount; ++i) {
        _snwprintf(path, MAX_PATH, L"%s\\%s", group, kOldLinks[i]);
        DeleteFileW(path);
    }
    CoInitialize(NULL);
    bool ok = true;
    for (int i = 0; i < kLinkCount && ok; ++i) {
        const FloorLink& l = kLinks[i];
        IShellLinkW* link = NULL;
        IPersistFile* file = NULL;
        ok = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&link));
        if (!ok) break;
        link->SetPath(Expand(l.target, a, MAX_PATH));
        if (*l.args) link->SetArguments(l.args);
        if (*l.icon) link->SetIconLocation(Expand(l.icon, b, MAX_PATH), l.index);
        if (*l.description) link->SetDescription(l.description);
        _snwprintf(path, MAX_PATH, L"%s\\%s", l.desktop ? desktop : group, l.name);
        ok = SUCCEEDED(link->QueryInterface(IID_IPersistFile, (void**)&file)) && SUCCEEDED(file->Save(path, TRUE));
        if (file) file->Release();
        link->Release();
    }
    CoUninitialize();
    return ok;
}

static bool Registry()
{
    const int count = sizeof kKeys / sizeof kKeys[0];
    static HKEY handles[count];
    wchar_t text[2 * MAX_PATH];
    for (int i = 0; i < count; ++i) {
        const FloorKey& k = kKeys[i];
        HKEY parent = k.parent < 0 ? k.hive : handles[k.parent];
        if (k.action == 2) {
            RegDeleteKeyW(parent, k.path);
            continue;
        }
        LONG rc = k.action == 1 ? RegOpenKeyExW(parent, k.path, 0, KEY_SET_VALUE, &handles[i])
                                : RegCreateKeyExW(parent, k.path, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &handles[i], NULL);
        if (rc != ERROR_SUCCESS) {
            handles[i] = NULL;
            if (k.action == 0) return false;
        }
    }
    for (const FloorValue& v : kValues) {
        if (!handles[v.key]) continue;
        if (v.type == REG_DWORD) {
            if (RegSetValueExW(handles[v.key], v.name, 0, REG_DWORD, (const BYTE*)&v.number, sizeof v.number))
                return false;
            continue;
        }
        const wchar_t* data = v.text ? Expand(v.text, text, 2 * MAX_PATH) : NULL;
        DWORD bytes = data ? (lstrlenW(data) + 1) * sizeof(wchar_t) : 0;
        if (RegSetValueExW(handles[v.key], v.name, 0, REG_SZ, (const BYTE*)data, bytes) != ERROR_SUCCESS)
            return false;
    }
    for (int i = count - 1; i >= 0; --i)
        if (handles[i]) RegCloseKey(handles[i]);
    if (kNotify) {
        SystemParametersInfoW(SPI_SETICONS, 0, NULL, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
        SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, NULL, NULL);
    }
    return true;
}

int wmain(int argc, wchar_t** argv)
{
    if (argc != 2) return 2;
    lstrcpynW(s_folder, argv[1], MAX_PATH);
    if (!Files()) return 3;
    if (!Links()) return 4;
    return Registry() ? 0 : 5;
}
