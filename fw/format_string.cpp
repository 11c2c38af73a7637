#include "format_string.h"
#include <string.h>

void AfxFormatStrings(CString& rString, const char* format, const char* const* args, int nArgs)
{
    // First measure, then fill: one allocation whatever the lengths.
    // (into a local text, since `format` may be rString's own text)
    CString result;
    int length = 0;
    for (int pass = 0; pass < 2; ++pass) {
        char* out = pass ? result.GetBuffer(length) : NULL;
        int n = 0;
        for (const char* p = format; *p; ++p) {
            int index = (p[0] == '%' && p[1] >= '1' && p[1] <= '9') ? p[1] - '1' : -1;
            if (index >= 0 && index < nArgs) {
                const char* arg = args[index] ? args[index] : "";
                int len = (int)strlen(arg);
                if (out) memcpy(out + n, arg, len);
                n += len;
                ++p;
            } else {
                if (out) out[n] = *p;
                ++n;
            }
        }
        if (out) out[n] = '\0';
        length = n;
    }
    rString = result;
}

void AfxFormatString1(CString& rString, UINT nIDS, const char* lpsz1)
{
    CString format;
    format.LoadString(nIDS);
    const char* args[1] = { lpsz1 };
    AfxFormatStrings(rString, format, args, 1);
}

void AfxFormatString2(CString& rString, UINT nIDS, const char* lpsz1, const char* lpsz2)
{
    CString format;
    format.LoadString(nIDS);
    const char* args[2] = { lpsz1, lpsz2 };
    AfxFormatStrings(rString, format, args, 2);
}
