// The silent run: every choice comes from switches, problems go to the install log.
#pragma once
#include "options.h"

// Runs the silent installation for `cmdLine`; returns the process exit code.
int RunCommandLine(const char* cmdLine);

// True when a top-level window of the viewer is open.
bool IsViewerRunning();
