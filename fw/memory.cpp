// The product's own operator new and delete. The C++ library's versions throw on failure,
// which would bring its whole exception machinery (and thread support) into the setup; ours
// return null like the Win32 allocators, and callers check.
#include <stdlib.h>
#include <new>

void* operator new(size_t size) { return malloc(size ? size : 1); }
void* operator new[](size_t size) { return malloc(size ? size : 1); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return malloc(size ? size : 1); }
void operator delete(void* p) noexcept { free(p); }
void operator delete[](void* p) noexcept { free(p); }
void operator delete(void* p, size_t) noexcept { free(p); }
void operator delete[](void* p, size_t) noexcept { free(p); }
