#include "progress_text.h"
#include <limits.h>
#include "fw/format_string.h"
#include "res/resource.h"

CString FormatSizeText(DWORD dwBytes)
{
    CString number, text;
    if (dwBytes < 1024) {
        number.Format("%d", (int)dwBytes);
        AfxFormatString1(text, IDS_DL_BYTES, number);
    } else if (dwBytes < 1048576) {
        number.Format("%0.1f", dwBytes / 1024.0);
        AfxFormatString1(text, IDS_DL_KB, number);
    } else {
        number.Format("%0.2f", dwBytes / 1048576.0);
        AfxFormatString1(text, IDS_DL_MB, number);
    }
    return text;
}

CString FormatTimeText(DWORD dwSeconds)
{
    CString minutes, seconds, text;
    if (dwSeconds < 60) {
        seconds.Format("%d", (int)dwSeconds);
        AfxFormatString1(text, IDS_DL_SEC, seconds);
        return text;
    }
    minutes.Format("%d", (int)(dwSeconds / 60));
    seconds.Format("%d", (int)(dwSeconds % 60));
    if (dwSeconds % 60 == 0)
        AfxFormatString1(text, IDS_DL_MIN, minutes);
    else
        AfxFormatString2(text, IDS_DL_MIN_SEC, minutes, seconds);
    return text;
}

CString FormatTimeLeftText(DWORD dwSeconds, DWORD dwReceived, DWORD dwLength)
{
    CString sizes, text;
    AfxFormatString2(sizes, IDS_DL_SIZES, FormatSizeText(dwReceived), FormatSizeText(dwLength));
    AfxFormatString2(text, IDS_DL_TIME_LEFT, FormatTimeText(dwSeconds), sizes);
    return text;
}

CString FormatRateText(double dBytesPerMs)
{
    CString number, text;
    if (dBytesPerMs < 1) {
        number.Format("%0.0f", dBytesPerMs * 1024);
        AfxFormatString1(text, IDS_DL_RATE_BYTES, number);
    } else {
        number.Format(dBytesPerMs < 10 ? "%0.2f" : "%0.0f", dBytesPerMs);
        AfxFormatString1(text, IDS_DL_RATE_KB, number);
    }
    return text;
}

CString FormatCaptionText(int nPercent, const char* fileName)
{
    CString number, text;
    number.Format("%d", nPercent);
    AfxFormatString2(text, IDS_DL_PERCENT, number, fileName);
    return text;
}

DWORD ProgressRangeMax(DWORD dwLength)
{
    return (DWORD)(((unsigned long long)dwLength + 512) / 1024);
}

int PercentDone(DWORD dwReceived, DWORD dwLength)
{
    if (dwLength == 0) return dwReceived ? INT_MAX : 0;  // nothing was announced
    double p = dwReceived * 100.0 / dwLength;
    return p >= INT_MAX ? INT_MAX : (int)p;
}

DWORD SecondsLeft(DWORD dwElapsedMs, DWORD dwReceived, DWORD dwLength)
{
    if (dwReceived == 0 || dwReceived >= dwLength) return 0;
    double s = ((double)dwElapsedMs / dwReceived) * (dwLength - dwReceived) * 0.001;
    return s >= 4294967295.0 ? 0xFFFFFFFFu : (DWORD)s;
}
