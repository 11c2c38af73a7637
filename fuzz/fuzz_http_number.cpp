// The status code and content length texts of a server's answer.
#include <stdint.h>
#include <string>
#include "download/http_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    unsigned long value = 12345;
    bool digits = ParseHttpNumber(text.c_str(), &value);
    if (!digits && value != 0) __builtin_trap();
    if (value > 0xFFFFFFFFul) __builtin_trap();
    return 0;
}
