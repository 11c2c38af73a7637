// The browser's open command from the registry with a link target appended, and the program
// that a registered command names.
#include <stdint.h>
#include <string.h>
#include <string>
#include "controls/open_link.h"
#include "fw/command_text.h"

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

    for (size_t size : {(size_t)1, (size_t)16, sizeof out}) {
        const char* rest = SplitCommandProgram(command.c_str(), out, size);
        size_t n = strnlen(out, size);
        if (n >= size) __builtin_trap();
        if (!rest && n) __builtin_trap();
        if (rest && (!n || rest < command.c_str() || rest > command.c_str() + command.size())) __builtin_trap();
    }
    return 0;
}
