// The program of a command line as the registry keeps it ("shell\open\command" values): quoted,
// "\"C:\\Program Files\\X\\x.exe\" \"%1\"", or unquoted, "C:\\X\\x.exe %1", also with blanks in its
// folder, "C:\\Program Files\\X\\x.exe %1". Plain C text handling: also built for the fuzzers.
#pragma once
#include <stddef.h>

// Copies the program's path into `program` (`size` bytes) and returns where its arguments start
// (the blanks before them skipped). A quoted program ends at its closing quote (or the end of an
// unclosed one); an unquoted one at the first ".exe" followed by a blank, a quote or the end, else
// at the first blank. NULL, and `program` empty, when there is no program or it does not fit.
const char* SplitCommandProgram(const char* command, char* program, size_t size);
