#include "url_text.h"
#include <string.h>

static const struct {
    const char* name;
    int scheme;
    unsigned short port;
} kSchemes[] = {
    { "http", kSchemeHttp, 80 },
    { "https", kSchemeHttps, 443 },
    { "ftp", kSchemeFtp, 21 },
};

static char Lower(char c) { return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c; }

static bool SchemeIs(const char* url, int length, const char* name)
{
    if ((int)strlen(name) != length) return false;
    for (int i = 0; i < length; ++i)
        if (Lower(url[i]) != name[i]) return false;
    return true;
}

bool SplitUrl(const char* url, UrlParts* parts)
{
    if (!url) return false;
    const char* sep = strstr(url, "://");
    if (!sep) return false;
    int schemeLength = (int)(sep - url);
    int found = -1;
    for (int i = 0; i < (int)(sizeof kSchemes / sizeof kSchemes[0]); ++i)
        if (SchemeIs(url, schemeLength, kSchemes[i].name)) found = i;
    if (found < 0) return false;

    // Host part: up to the object, a query or a fragment.
    int start = schemeLength + 3;
    int end = start;
    while (url[end] && url[end] != '/' && url[end] != '?' && url[end] != '#') ++end;
    for (int i = start; i < end; ++i)
        if (url[i] == '@') start = i + 1;

    // A bracketed address keeps its colons; the port follows the bracket.
    int hostEnd = end;
    if (url[start] == '[') {
        const char* close = (const char*)memchr(url + start, ']', end - start);
        if (!close) return false;
        hostEnd = (int)(close - url) + 1;
        if (hostEnd < end && url[hostEnd] != ':') return false;
    } else {
        for (int i = start; i < end; ++i)
            if (url[i] == ':') {
                hostEnd = i;
                break;
            }
    }
    if (hostEnd == start) return false;
    for (int i = start; i < hostEnd; ++i)
        if ((unsigned char)url[i] <= ' ' || url[i] == 0x7f) return false;

    unsigned port = kSchemes[found].port;
    if (hostEnd < end) {  // ":port"; an empty one means the usual port
        if (hostEnd + 1 < end) {
            port = 0;
            for (int i = hostEnd + 1; i < end; ++i) {
                if (url[i] < '0' || url[i] > '9') return false;
                port = port * 10 + (unsigned)(url[i] - '0');
                if (port > 65535) return false;
            }
            if (port == 0) return false;
        }
    }

    // The object: the path with any query; a fragment is not sent to a server.
    int objectEnd = end;
    while (url[objectEnd] && url[objectEnd] != '#') ++objectEnd;

    parts->scheme = kSchemes[found].scheme;
    parts->hostStart = start;
    parts->hostLength = hostEnd - start;
    parts->objectStart = end;
    parts->objectLength = objectEnd - end;
    parts->port = (unsigned short)port;
    return true;
}

const char* FileNamePart(const char* object)
{
    const char* sep = strrchr(object, '/');
    if (!sep) sep = strrchr(object, '\\');
    if (!sep || strlen(object) <= 1) return object;
    return sep + 1;
}
