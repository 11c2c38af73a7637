// The browser's version text compared with major.minor ("6.0.2900.2180" is at least 5.5).
// Plain C text handling: also built for the fuzzers.
#pragma once

bool IsVersionTextAtLeast(const char* version, int major, int minor);
