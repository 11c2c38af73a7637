// Lines for a debugger or a debug output viewer (the tests read them: what was checked, what was
// started and how).
#pragma once

void DebugTrace(const char* line);
