// The package's public properties and the setup's command line they become. Plain C text
// handling: the custom action and the unit tests share it.
#pragma once
#include <stddef.h>

enum ValueKind { kNumber, kPath, kFlag };

struct PropertySwitch {
    const char* property;
    const char* option;
    // Paths are quoted (they may hold blanks) and get backslashes for slashes, which would end
    // the switch's value; a flag is passed unless it is "0".
    ValueKind kind;
};

const int kPropertyCount = 8;
extern const PropertySwitch kPropertySwitches[kPropertyCount];

// The action's data has one field for the installed setup, then one per property.
const int kFieldCount = 1 + kPropertyCount;

// Whether `value` may become the switch of `s`. A number holds digits only; a path holds no tab,
// quote or line break (nor any other control character): nothing that could end its quoted value
// and start another switch, or start another field of the action's data. An empty value (the
// property not given) passes no switch and is always accepted.
bool IsAcceptedValue(const PropertySwitch& s, const char* value);

// Splits the action's data, "SETUP=...<TAB>FOLDER=...<TAB>...<TAB>LOGFILE=..." in the order of
// kPropertySwitches, in place (each tab becomes the end of a field): fields[0] is the setup's
// path, fields[1 + i] the value of property i. False when the data is not laid out so; `refused`
// then names the property whose value broke the layout (a tab inside it).
bool SplitActionData(char* data, const char* fields[kFieldCount], const char** refused);

// The setup's command line: its quoted path, "/silent", then the switch of each property that is
// set, in the order of kPropertySwitches. False, with `refused` naming the property, when a value
// is not accepted (IsAcceptedValue), or the line does not fit in `size` bytes ("SETUP").
bool BuildSetupCommandLine(const char* const fields[kFieldCount], char* line, size_t size, const char** refused);
