// The browser's open command from the registry with a link target appended.
#include <stdint.h>
#include <string.h>
#include <string>
#include "controls/open_link.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // First line: the command; the rest: the target.
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t nl = input.find('\n');
    std::string command = input.substr(0, nl);
    std::string target = nl == std::string::npos ? "" : input.substr(nl + 1);
    command = command.c_str();
    target = target.c_str();
    char out[kLinkCommandSize];
    if (BuildLinkCommand(command.c_str(), target.c_str(), out, sizeof out)) {
        size_t n = strlen(out);
        if (n >= sizeof out || n < target.size() + 1) __builtin_trap();
        if (strcmp(out + n - target.size(), target.c_str()) != 0) __builtin_trap();
    } else if (out[0]) {
        __builtin_trap();
    }
    return 0;
}
