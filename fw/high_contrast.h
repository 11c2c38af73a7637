// Whether the user has a high-contrast scheme on: controls that draw their own colours then draw
// in the scheme's instead.
#pragma once
#include <windows.h>

BOOL HighContrastOn();
