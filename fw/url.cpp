#include "url.h"
#include <string.h>
#include "url_text.h"

static CString Part(const char* text, int start, int length)
{
    CString s;
    char* p = s.GetBuffer(length);
    memcpy(p, text + start, length);
    p[length] = '\0';
    return s;
}

BOOL AfxParseURL(const char* pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject,
                 INTERNET_PORT& nPort)
{
    UrlParts parts;
    if (!SplitUrl(pstrURL, &parts)) return FALSE;
    dwServiceType = parts.scheme == kSchemeFtp ? INTERNET_SERVICE_FTP : INTERNET_SERVICE_HTTP;
    strServer = Part(pstrURL, parts.hostStart, parts.hostLength);
    CString object = Part(pstrURL, parts.objectStart, parts.objectLength);
    strObject = object[0] == '/' ? object : CString("/") + object;
    nPort = parts.port;
    return TRUE;
}
