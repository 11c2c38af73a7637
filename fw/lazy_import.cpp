// Binding of the lazily loaded system libraries (the table is generated at build time, see
// scripts/lazy_imports.py). Only the product links this file.
#include <windows.h>
#include "dll_safety.h"

struct LazyImport {
    void** slot;
    const char* dll;
    const char* name;
};

extern "C" void* __stdcall LazyBind(const LazyImport* import)
{
    HMODULE module = LoadSystemLibrary(import->dll);
    void* address = module ? (void*)GetProcAddress(module, import->name) : NULL;
    // A system without the function cannot run the setup, as with a missing static import.
    if (!address) ExitProcess(127);
    *import->slot = address;
    return address;
}

// Called by each import's first-call stub with the import's record on the stack. Keeps every
// register a caller may rely on and leaves the stack as the caller built it.
asm(".text\n"
    ".globl _pixmora_lazy_bind\n"
    "_pixmora_lazy_bind:\n"
    "  pushl %eax\n"
    "  pushl %ecx\n"
    "  pushl %edx\n"
    "  pushl 12(%esp)\n"
    "  call _LazyBind@4\n"
    "  popl %edx\n"
    "  popl %ecx\n"
    "  addl $8, %esp\n"
    "  jmp *%eax\n");
