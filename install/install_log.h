// The install log: what a silent run would otherwise have shown in message boxes.
#pragma once

// Appends one dated entry and a separator line to "Pixmora_Install.log" in the current
// directory. A log that cannot be opened is skipped silently.
void WriteInstallLog(const char* message);
