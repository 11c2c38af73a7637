#include "open_link.h"
#include <string.h>

bool BuildLinkCommand(const char* command, const char* target, char* out, size_t size)
{
    if (size == 0) return false;
    out[0] = '\0';
    const char* cut = strstr(command, "\"%1\"");
    if (!cut) cut = strstr(command, "%1");
    size_t keep = cut ? (size_t)(cut - command) : strlen(command);
    size_t need = keep + 1 + strlen(target);
    if (need >= size) return false;
    memcpy(out, command, keep);
    out[keep] = ' ';
    memcpy(out + keep + 1, target, strlen(target) + 1);
    return true;
}
