// Numbers in the server's answer (status code, content length) as text. Plain C text handling:
// also built for the fuzzers.
#pragma once

// Reads a decimal number after optional blanks; stops at the first non-digit. Values too large
// for 32 bits saturate at 0xFFFFFFFF instead of wrapping. False when there is no digit.
bool ParseHttpNumber(const char* text, unsigned long* value);
