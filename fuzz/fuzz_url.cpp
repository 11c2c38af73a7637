// Any text as a download address: the parts found lie inside the text and make sense, and the
// caption's file name is a part of it.
#include <stdint.h>
#include <string.h>
#include <string>
#include "fw/url_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string url(reinterpret_cast<const char*>(data), size);
    url = url.c_str();  // the address ends at its first NUL
    for (const std::string& text : {url, "http://" + url}) {
        UrlParts parts;
        if (!SplitUrl(text.c_str(), &parts)) continue;
        int length = (int)text.size();
        if (parts.hostLength <= 0 || parts.hostStart < 0 || parts.hostStart + parts.hostLength > length) __builtin_trap();
        if (parts.objectLength < 0 || parts.objectStart < parts.hostStart + parts.hostLength ||
            parts.objectStart + parts.objectLength > length)
            __builtin_trap();
        if (parts.port == 0) __builtin_trap();
        for (int i = parts.hostStart; i < parts.hostStart + parts.hostLength; ++i)
            if ((unsigned char)text[i] <= ' ') __builtin_trap();
    }
    // The caption shows the last segment of the requested path.
    const char* name = FileNamePart(url.c_str());
    if (name < url.c_str() || name > url.c_str() + url.size()) __builtin_trap();
    return 0;
}
