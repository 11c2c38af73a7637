// Keeps the process from loading a library planted beside the program (a setup usually runs
// from a downloads folder). Call first thing at start.
#pragma once

void RestrictDllSearchToSystem();
