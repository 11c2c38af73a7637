// Splitting of an absolute URL ("scheme://host[:port][/object]") into its parts. Plain C text
// handling only: this file also builds natively for the fuzzers. The parts are places in the
// given text, so nothing is copied and no length limit applies.
#pragma once

enum UrlScheme { kSchemeHttp, kSchemeHttps, kSchemeFtp };

struct UrlParts {
    int scheme;            // UrlScheme
    int hostStart, hostLength;
    int objectStart, objectLength;  // from the first '/' after the host up to a '#'; length 0: "/"
    unsigned short port;   // as given, or the scheme's usual port
};

// false when the text is no absolute URL of a known scheme: no "scheme://", an unknown scheme,
// an empty host, a blank or control character in the host, or a port that is not 1 to 65535.
// User information before an '@' in the host part is skipped.
bool SplitUrl(const char* url, UrlParts* parts);

// The last segment of a requested path ("/google/x.exe" gives "x.exe"), pointing into `object`;
// the whole text when it has no separator or is a single character.
const char* FileNamePart(const char* object);
