// The texts and figures of the download progress display, from the string table.
#pragma once
#include <windows.h>
#include "fw/cstring.h"

// "1023 Bytes", "1.5 KB", "1.00 MB".
CString FormatSizeText(DWORD dwBytes);
// "59 sec", "1 min", "2 min 5 sec".
CString FormatTimeText(DWORD dwSeconds);
// "2 min 5 sec (1.5 KB von 1.00 MB kopiert)".
CString FormatTimeLeftText(DWORD dwSeconds, DWORD dwReceived, DWORD dwLength);
// "512 Bytes/Sec", "1.23 KB/Sec", "13 KB/Sec" for bytes per millisecond.
CString FormatRateText(double dBytesPerMs);
// "45% von setup.exe  fertig".
CString FormatCaptionText(int nPercent, const char* fileName);

// The bar's maximum: the length in kilobytes, rounded half up.
DWORD ProgressRangeMax(DWORD dwLength);
// Whole percent received, truncated; more than 100 when more arrived than announced.
int PercentDone(DWORD dwReceived, DWORD dwLength);
// The average time per byte so far times the bytes still missing, in whole seconds;
// 0 once everything announced has arrived.
DWORD SecondsLeft(DWORD dwElapsedMs, DWORD dwReceived, DWORD dwLength);
