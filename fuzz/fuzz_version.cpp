// The browser version text from the registry.
#include <stdint.h>
#include <string>
#include "partner/version_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    bool a = IsVersionTextAtLeast(text.c_str(), 5, 5);
    bool b = IsVersionTextAtLeast(text.c_str(), 5, 0);
    if (a && !b) __builtin_trap();  // at least 5.5 is at least 5.0
    return 0;
}
