#include "http_text.h"

bool ParseHttpNumber(const char* text, unsigned long* value)
{
    while (*text == ' ' || *text == '\t') ++text;
    unsigned long long n = 0;
    bool digits = false;
    for (; *text >= '0' && *text <= '9'; ++text) {
        digits = true;
        n = n * 10 + (unsigned)(*text - '0');
        if (n > 0xFFFFFFFFull) n = 0xFFFFFFFFull + 1;  // saturate, keep reading the digits
    }
    *value = n > 0xFFFFFFFFull ? 0xFFFFFFFFul : (unsigned long)n;
    return digits;
}
