// AfxParseURL: an absolute URL as the WinInet connect and request calls take it.
#pragma once
#include <windows.h>
#include <wininet.h>
#include "cstring.h"

// FALSE (outputs unchanged) for anything but "http://", "https://" or "ftp://" with a host
// (see SplitUrl). dwServiceType is the WinInet service (INTERNET_SERVICE_HTTP or
// INTERNET_SERVICE_FTP), strObject always starts with '/' and keeps any query.
BOOL AfxParseURL(const char* pstrURL, DWORD& dwServiceType, CString& strServer, CString& strObject,
                 INTERNET_PORT& nPort);
