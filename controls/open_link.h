// The browser fallback of a link: the ".htm" class's open command with the target appended.
// Plain C text handling: also built for the fuzzers.
#pragma once
#include <stddef.h>

const size_t kLinkCommandSize = 520;  // the command buffer, terminator included

// Cuts `command` at "\"%1\"" (else at "%1") and appends " " and the target. False, and `out`
// empty, when the result would not fit in `size` bytes: such a command is not run.
bool BuildLinkCommand(const char* command, const char* target, char* out, size_t size);
