#include "setup_command.h"
#include <string.h>

const PropertySwitch kPropertySwitches[kPropertyCount] = {
    {"FOLDER", "/folder=", kPath},
    {"GROUP", "/group=", kNumber},
    {"DESKTOP", "/desktop=", kNumber},
    {"THUMBS", "/thumbs=", kNumber},
    {"PXMALLUSERS", "/allusers=", kNumber},
    {"ASSOC", "/assoc=", kNumber},
    {"ASSOCALLUSERS", "/assocallusers", kFlag},
    {"LOGFILE", "/log=", kPath},
};

bool IsAcceptedValue(const PropertySwitch& s, const char* value)
{
    for (const unsigned char* c = (const unsigned char*)value; *c; ++c) {
        if (s.kind == kNumber && (*c < '0' || *c > '9')) return false;
        if (s.kind == kPath && (*c < 0x20 || *c == '"' || *c == 0x7F)) return false;
    }
    return true;  // a flag only ever becomes the switch itself
}

static const char* FieldName(int i) { return i == 0 ? "SETUP" : kPropertySwitches[i - 1].property; }

bool SplitActionData(char* data, const char* fields[kFieldCount], const char** refused)
{
    *refused = nullptr;
    char* p = data;
    for (int i = 0; i < kFieldCount; ++i) {
        const char* name = FieldName(i);
        size_t n = strlen(name);
        if (!p || strncmp(p, name, n) != 0 || p[n] != '=') {
            // A field out of place: the value before it held a tab.
            *refused = FieldName(i > 0 ? i - 1 : 0);
            return false;
        }
        fields[i] = p + n + 1;
        char* tab = strchr(p + n + 1, '\t');
        if (tab) *tab = '\0';
        p = tab ? tab + 1 : nullptr;
    }
    if (p) {  // more fields than properties: the last value held a tab
        *refused = FieldName(kFieldCount - 1);
        return false;
    }
    return true;
}

// Appends `part`; false when it does not fit.
static bool Append(char* line, size_t size, const char* part)
{
    size_t used = strlen(line), n = strlen(part);
    if (used + n >= size) return false;
    memcpy(line + used, part, n + 1);
    return true;
}

bool BuildSetupCommandLine(const char* const fields[kFieldCount], char* line, size_t size, const char** refused)
{
    static const PropertySwitch kSetup = {"SETUP", "", kPath};
    *refused = "SETUP";
    if (size == 0) return false;
    line[0] = '\0';
    if (!IsAcceptedValue(kSetup, fields[0]) || !Append(line, size, "\"") || !Append(line, size, fields[0]) ||
        !Append(line, size, "\" /silent")) {
        line[0] = '\0';
        return false;
    }
    for (int i = 0; i < kPropertyCount; ++i) {
        const PropertySwitch& s = kPropertySwitches[i];
        const char* value = fields[1 + i];
        *refused = s.property;
        if (!IsAcceptedValue(s, value)) {
            line[0] = '\0';
            return false;
        }
        if (!value[0] || (s.kind == kFlag && !strcmp(value, "0"))) continue;
        bool fits = Append(line, size, " ") && Append(line, size, s.option);
        if (fits && s.kind == kNumber) fits = Append(line, size, value);
        if (fits && s.kind == kPath) {
            size_t start = strlen(line) + 1;
            fits = Append(line, size, "\"") && Append(line, size, value);
            for (char* c = line + start; fits && *c; ++c)
                if (*c == '/') *c = '\\';
            fits = fits && Append(line, size, "\"");
        }
        if (!fits) {  // nothing is run cut short
            line[0] = '\0';
            return false;
        }
    }
    *refused = nullptr;
    return true;
}
