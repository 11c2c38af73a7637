#include "own_imports.h"
#include <windows.h>

// Until the image is relocated and bound, nothing here may call an import or a C library
// function, use a switch (its jump table holds absolute addresses) or a loop that the compiler
// would turn into memcpy or memset; string literals are only used through At().
#pragma GCC optimize("no-tree-loop-distribute-patterns")

namespace {

// The parts of the loader's records that we read (32-bit layout).
struct CountedText {
    USHORT length;  // in bytes
    USHORT capacity;
    WCHAR* buffer;
};

struct LoaderEntry {
    LIST_ENTRY inLoadOrder;
    LIST_ENTRY inMemoryOrder;
    LIST_ENTRY inInitOrder;
    BYTE* base;
    void* entryPoint;
    ULONG imageSize;
    CountedText fullName;
    CountedText baseName;
};

struct LoaderData {
    ULONG length;
    BOOLEAN initialized;
    void* ssHandle;
    LIST_ENTRY inLoadOrder;
};

enum { kNotPrepared, kPreparing, kReady, kFailed };
volatile LONG s_state;

struct ImagePosition {
    BYTE* base;            // where the image lies
    LONG_PTR delta;        // still to be added to its absolute addresses; 0 once relocated
    volatile LONG* state;  // s_state at its true address
};

// Where the image lies, from relative addresses only: the address of a word in our code, the
// word's own offset in the image, and the same word's absolute address as the code has it
// (relocated or not).
__attribute__((noinline)) void Locate(ImagePosition* pos)
{
    BYTE* here;
    BYTE* linked;
    asm volatile(
        "call 1f\n"
        "2: .rva %c2\n"
        "   .rva 2b\n"
        "1: popl %0\n"
        "   movl $2b, %1\n"
        : "=&r"(here), "=&r"(linked)
        : "i"(&s_state));
    pos->base = here - *(DWORD*)(here + 4);
    pos->state = (volatile LONG*)(pos->base + *(DWORD*)here);
    pos->delta = here - linked;
}

// A string literal at its true address.
const char* At(const char* literal, LONG_PTR delta) { return literal + delta; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + ('a' - 'A')) : c; }

bool NameEquals(const CountedText& name, const char* ascii, int len)
{
    if ((int)(name.length / 2) != len) return false;
    for (int i = 0; i < len; ++i)
        if (name.buffer[i] > 0x7f || Lower((char)name.buffer[i]) != Lower(ascii[i])) return false;
    return true;
}

// A module of the process by its file name ("kernel32.dll"; without an extension ".dll"),
// found in the loader's list without calling the system.
BYTE* FindLoadedModule(const char* name, int len)
{
    char full[64];
    if (len <= 0 || len > 50) return NULL;
    bool hasDot = false;
    for (int i = 0; i < len; ++i) {
        full[i] = name[i];
        if (name[i] == '.') hasDot = true;
    }
    if (!hasDot) {
        full[len++] = '.';
        full[len++] = 'd';
        full[len++] = 'l';
        full[len++] = 'l';
    }
    BYTE* peb;
    asm("movl %%fs:0x30, %0" : "=r"(peb));
    LoaderData* ldr = *(LoaderData**)(peb + 0x0C);
    LIST_ENTRY* head = &ldr->inLoadOrder;
    for (LIST_ENTRY* e = head->Flink; e != head; e = e->Flink) {
        LoaderEntry* entry = (LoaderEntry*)e;  // inLoadOrder is the first member
        if (NameEquals(entry->baseName, full, len)) return entry->base;
    }
    return NULL;
}

bool SameText(const char* a, const char* b)
{
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

IMAGE_DATA_DIRECTORY* Directory(BYTE* base, int index)
{
    IMAGE_NT_HEADERS32* nt = (IMAGE_NT_HEADERS32*)(base + ((IMAGE_DOS_HEADER*)base)->e_lfanew);
    return &nt->OptionalHeader.DataDirectory[index];
}

// An exported function of a loaded module, following forwarders to other loaded modules.
void* FindExport(BYTE* base, const char* name, int depth)
{
    if (!base || depth > 4) return NULL;
    IMAGE_DATA_DIRECTORY* dir = Directory(base, IMAGE_DIRECTORY_ENTRY_EXPORT);
    if (!dir->VirtualAddress) return NULL;
    IMAGE_EXPORT_DIRECTORY* exports = (IMAGE_EXPORT_DIRECTORY*)(base + dir->VirtualAddress);
    DWORD* names = (DWORD*)(base + exports->AddressOfNames);
    WORD* ordinals = (WORD*)(base + exports->AddressOfNameOrdinals);
    DWORD* functions = (DWORD*)(base + exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (!SameText((const char*)(base + names[i]), name)) continue;
        DWORD rva = functions[ordinals[i]];
        if (rva < dir->VirtualAddress || rva >= dir->VirtualAddress + dir->Size) return base + rva;
        // A forwarder: "MODULE.Function".
        const char* forward = (const char*)(base + rva);
        int dot = 0;
        while (forward[dot] && forward[dot] != '.') ++dot;
        if (!forward[dot] || forward[dot + 1] == '#') return NULL;
        return FindExport(FindLoadedModule(forward, dot), forward + dot + 1, depth + 1);
    }
    return NULL;
}

typedef HMODULE(WINAPI* LoadLibraryAFn)(LPCSTR);
typedef FARPROC(WINAPI* GetProcAddressFn)(HMODULE, LPCSTR);
typedef UINT(WINAPI* GetSystemDirectoryAFn)(LPSTR, UINT);
typedef BOOL(WINAPI* VirtualProtectFn)(LPVOID, SIZE_T, DWORD, PDWORD);

struct KernelFunctions {
    LoadLibraryAFn loadLibrary;
    GetProcAddressFn getProcAddress;
    GetSystemDirectoryAFn getSystemDirectory;
    VirtualProtectFn virtualProtect;
};

// Runs before relocation: the only code here that uses string literals.
__attribute__((noinline)) bool FindKernelFunctions(LONG_PTR delta, KernelFunctions* k)
{
    BYTE* kernel = FindLoadedModule(At("kernel32.dll", delta), 12);
    k->loadLibrary = (LoadLibraryAFn)FindExport(kernel, At("LoadLibraryA", delta), 0);
    k->getProcAddress = (GetProcAddressFn)FindExport(kernel, At("GetProcAddress", delta), 0);
    k->getSystemDirectory = (GetSystemDirectoryAFn)FindExport(kernel, At("GetSystemDirectoryA", delta), 0);
    k->virtualProtect = (VirtualProtectFn)FindExport(kernel, At("VirtualProtect", delta), 0);
    return k->loadLibrary && k->getProcAddress && k->getSystemDirectory && k->virtualProtect;
}

// Adds delta to the 32-bit word at p, which may straddle two pages of different protection.
bool AddToWord(BYTE* p, LONG_PTR delta, VirtualProtectFn protect)
{
    const DWORD kPage = 0x1000;
    BYTE* first = (BYTE*)((DWORD_PTR)p & ~(DWORD_PTR)(kPage - 1));
    BYTE* last = (BYTE*)((DWORD_PTR)(p + 3) & ~(DWORD_PTR)(kPage - 1));
    DWORD old1, old2 = 0;
    if (!protect(first, 1, PAGE_EXECUTE_READWRITE, &old1)) return false;
    if (last != first && !protect(last, 1, PAGE_EXECUTE_READWRITE, &old2)) return false;
    DWORD value = p[0] | (p[1] << 8) | (p[2] << 16) | ((DWORD)p[3] << 24);
    value += (DWORD)delta;
    p[0] = (BYTE)value;
    p[1] = (BYTE)(value >> 8);
    p[2] = (BYTE)(value >> 16);
    p[3] = (BYTE)(value >> 24);
    DWORD ignored;
    protect(first, 1, old1, &ignored);
    if (last != first) protect(last, 1, old2, &ignored);
    return true;
}

bool Relocate(BYTE* base, LONG_PTR delta, VirtualProtectFn protect)
{
    IMAGE_DATA_DIRECTORY* dir = Directory(base, IMAGE_DIRECTORY_ENTRY_BASERELOC);
    if (!dir->VirtualAddress || !dir->Size) return false;  // an image that cannot move
    BYTE* p = base + dir->VirtualAddress;
    BYTE* end = p + dir->Size;
    while (p + sizeof(IMAGE_BASE_RELOCATION) <= end) {
        IMAGE_BASE_RELOCATION* block = (IMAGE_BASE_RELOCATION*)p;
        if (block->SizeOfBlock < sizeof *block || p + block->SizeOfBlock > end) return false;
        WORD* entries = (WORD*)(block + 1);
        DWORD count = (block->SizeOfBlock - sizeof *block) / sizeof(WORD);
        for (DWORD i = 0; i < count; ++i) {
            int type = entries[i] >> 12;
            if (type == IMAGE_REL_BASED_ABSOLUTE) continue;  // padding
            if (type != IMAGE_REL_BASED_HIGHLOW) return false;
            if (!AddToWord(base + block->VirtualAddress + (entries[i] & 0xFFF), delta, protect)) return false;
        }
        p += block->SizeOfBlock;
    }
    return true;
}

IMAGE_IMPORT_DESCRIPTOR* Imports(BYTE* base)
{
    IMAGE_DATA_DIRECTORY* dir = Directory(base, IMAGE_DIRECTORY_ENTRY_IMPORT);
    return dir->VirtualAddress ? (IMAGE_IMPORT_DESCRIPTOR*)(base + dir->VirtualAddress) : NULL;
}

// Unbound, a slot of the address table still equals its entry of the name table.
bool ImportsBound(BYTE* base)
{
    IMAGE_IMPORT_DESCRIPTOR* d = Imports(base);
    if (!d || !d->Name || !d->OriginalFirstThunk) return true;
    return ((IMAGE_THUNK_DATA32*)(base + d->FirstThunk))->u1.Function !=
           ((IMAGE_THUNK_DATA32*)(base + d->OriginalFirstThunk))->u1.AddressOfData;
}

bool BindImports(BYTE* base, const KernelFunctions& k)
{
    char path[MAX_PATH];
    UINT folderLength = k.getSystemDirectory(path, MAX_PATH);
    if (folderLength == 0 || folderLength >= MAX_PATH - 20) return false;
    path[folderLength++] = '\\';

    IMAGE_DATA_DIRECTORY* table = Directory(base, IMAGE_DIRECTORY_ENTRY_IAT);
    DWORD oldProtection = 0;
    if (table->VirtualAddress &&
        !k.virtualProtect(base + table->VirtualAddress, table->Size, PAGE_READWRITE, &oldProtection))
        return false;

    bool allBound = true;
    for (IMAGE_IMPORT_DESCRIPTOR* d = Imports(base); d && d->Name; ++d) {
        // Our imports are system libraries: take them from the system folder.
        UINT n = folderLength;
        for (const char* p = (const char*)(base + d->Name); *p && n < MAX_PATH - 1; ++p) path[n++] = *p;
        path[n] = '\0';
        HMODULE module = k.loadLibrary(path);
        if (!module) {
            allBound = false;
            continue;
        }
        IMAGE_THUNK_DATA32* lookup = (IMAGE_THUNK_DATA32*)(base + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA32* slot = (IMAGE_THUNK_DATA32*)(base + d->FirstThunk);
        for (; lookup->u1.AddressOfData; ++lookup, ++slot) {
            LPCSTR what = IMAGE_SNAP_BY_ORDINAL32(lookup->u1.Ordinal)
                              ? (LPCSTR)(ULONG_PTR)IMAGE_ORDINAL32(lookup->u1.Ordinal)
                              : (LPCSTR)((IMAGE_IMPORT_BY_NAME*)(base + lookup->u1.AddressOfData))->Name;
            FARPROC address = k.getProcAddress(module, what);
            if (!address) allBound = false;
            slot->u1.Function = (DWORD)(ULONG_PTR)address;
        }
    }
    if (table->VirtualAddress) {
        DWORD ignored;
        k.virtualProtect(base + table->VirtualAddress, table->Size, oldProtection, &ignored);
    }
    return allBound;
}

bool Prepare(const ImagePosition& pos)
{
    bool relocated = pos.delta == 0;
    bool bound = ImportsBound(pos.base);
    if (relocated && bound) return true;
    KernelFunctions k;
    if (!FindKernelFunctions(pos.delta, &k)) return false;
    if (!relocated && !Relocate(pos.base, pos.delta, k.virtualProtect)) return false;
    return bound || BindImports(pos.base, k);
}

}  // namespace

extern "C" int BindOwnImage()
{
    ImagePosition pos;
    Locate(&pos);
    for (;;) {
        LONG state = __sync_val_compare_and_swap(pos.state, (LONG)kNotPrepared, (LONG)kPreparing);
        if (state == kReady) return TRUE;
        if (state == kFailed) return FALSE;
        if (state == kNotPrepared) break;
        asm volatile("pause");  // another thread is preparing the image
    }
    bool ok = Prepare(pos);
    __sync_lock_test_and_set(pos.state, ok ? (LONG)kReady : (LONG)kFailed);
    return ok;
}
