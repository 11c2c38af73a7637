#include "version_text.h"
#include <string.h>

// One version component as C's atoi reads it (leading blanks, one "-", digits), without overflow.
static int ReadComponent(const char* s)
{
    while (*s == ' ') ++s;
    bool negative = *s == '-';
    if (negative) ++s;
    int n = 0;
    for (; *s >= '0' && *s <= '9'; ++s) n = n > 100000000 ? 1000000000 : n * 10 + (*s - '0');
    return negative ? -n : n;
}

bool IsVersionTextAtLeast(const char* version, int major, int minor)
{
    // A component ends at its "." (or earlier, at any other non-digit).
    int first = ReadComponent(version);
    if (first != major) return first > major;
    const char* rest = strchr(version, '.');
    int second = rest ? ReadComponent(rest + 1) : 0;
    return second >= minor;
}
