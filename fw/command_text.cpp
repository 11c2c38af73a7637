#include "command_text.h"
#include <string.h>

static bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Where an unquoted program ends: after the first ".exe" that ends a word, so that blanks in
// its folder stay part of it.
static const char* EndOfUnquoted(const char* start)
{
    for (const char* p = start; *p; ++p) {
        if (p[0] == '.' && (p[1] | 0x20) == 'e' && (p[2] | 0x20) == 'x' && (p[3] | 0x20) == 'e' &&
            (p[4] == '\0' || IsBlank(p[4]) || p[4] == '"'))
            return p + 4;
    }
    const char* p = start;
    while (*p && !IsBlank(*p)) ++p;
    return p;
}

const char* SplitCommandProgram(const char* command, char* program, size_t size)
{
    if (size) program[0] = '\0';
    const char* p = command;
    while (IsBlank(*p)) ++p;
    const char *start, *end, *rest;
    if (*p == '"') {
        start = p + 1;
        end = strchr(start, '"');
        if (!end) end = start + strlen(start);
        rest = *end ? end + 1 : end;
    } else {
        start = p;
        end = EndOfUnquoted(start);
        rest = end;
    }
    size_t n = (size_t)(end - start);
    if (n == 0 || n >= size) return NULL;
    memcpy(program, start, n);
    program[n] = '\0';
    while (IsBlank(*rest)) ++rest;
    return rest;
}
