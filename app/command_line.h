// The silent run: every choice comes from switches, problems go to the install log.
#pragma once

// Runs the silent installation for `cmdLine` (the arguments after the program name); returns
// the process exit code.
int RunCommandLine(const char* cmdLine);
