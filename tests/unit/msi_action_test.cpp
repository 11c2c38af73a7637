#include <gtest/gtest.h>
#include <string.h>
#include <map>
#include <string>
#include "setup_command.h"

namespace {

// The action's data as the package sets it: every field, in order, tab-separated.
std::string Data(std::map<std::string, std::string> properties)
{
    std::string data = "SETUP=C:\\Program Files\\Pixmora Setup\\pixmora_setup.exe";
    for (const PropertySwitch& s : kPropertySwitches) data += std::string("\t") + s.property + "=" + properties[s.property];
    return data;
}

}  // namespace

// The setup runs as the system account: a property brings in its own switch and nothing else.
TEST(MsiAction, PropertiesBecomeSwitchesOrAreRefused)
{
    const std::string setup = "\"C:\\Program Files\\Pixmora Setup\\pixmora_setup.exe\" /silent";
    struct Case {
        std::map<std::string, std::string> properties;
        const char* switches;  // after "/silent"; nullptr: refused
        const char* refused;   // the property named in the MSI log
    } cases[] = {
        {{}, "", nullptr},
        {{{"FOLDER", "C:\\Bild Programme"}, {"GROUP", "1"}, {"DESKTOP", "1"}, {"LOGFILE", "C:/Px Logs/setup.log"}},
         " /folder=\"C:\\Bild Programme\" /group=1 /desktop=1 /log=\"C:\\Px Logs\\setup.log\"", nullptr},
        {{{"THUMBS", "1"}, {"PXMALLUSERS", "1"}, {"ASSOC", "2"}, {"ASSOCALLUSERS", "1"}},
         " /thumbs=1 /allusers=1 /assoc=2 /assocallusers", nullptr},
        {{{"GROUP", "0"}, {"ASSOCALLUSERS", "0"}}, " /group=0", nullptr},
        {{{"ASSOCALLUSERS", "ja"}}, " /assocallusers", nullptr},
        // Switches of their own, as seen installing into another folder or logging into a system file.
        {{{"GROUP", "1 /log=C:\\Windows\\System32\\drivers\\etc\\hosts"}}, nullptr, "GROUP"},
        {{{"DESKTOP", "1/folder=C:\\Windows"}}, nullptr, "DESKTOP"},
        {{{"ASSOC", "0/assocallusers"}}, nullptr, "ASSOC"},
        {{{"THUMBS", "-1"}}, nullptr, "THUMBS"},
        {{{"PXMALLUSERS", " 1"}}, nullptr, "PXMALLUSERS"},
        {{{"FOLDER", "C:\\Px\" /log=\"C:\\Windows\\win.ini"}}, nullptr, "FOLDER"},
        {{{"FOLDER", "D:\\Pixmora\r\nx"}}, nullptr, "FOLDER"},
        {{{"LOGFILE", "C:\\x.log\" /folder=\"C:\\Windows"}}, nullptr, "LOGFILE"},
        // A tab starts another field of the data: one that would come before the real LOGFILE.
        {{{"FOLDER", "D:\\Pixmora\tLOGFILE=C:\\Windows\\win.ini"}}, nullptr, "FOLDER"},
        {{{"LOGFILE", "C:\\x.log\tGROUP=1"}}, nullptr, "LOGFILE"},
        // Too long for the line: refused, never cut.
        {{{"FOLDER", "C:\\" + std::string(5000, 'f')}}, nullptr, "FOLDER"},
    };
    for (const Case& c : cases) {
        std::string data = Data(c.properties);
        SCOPED_TRACE(data.substr(0, 200));
        const char* fields[kFieldCount];
        const char* refused = "none";
        char line[4096];
        bool built = SplitActionData(&data[0], fields, &refused) &&
                     BuildSetupCommandLine(fields, line, sizeof line, &refused);
        if (c.switches) {
            EXPECT_TRUE(built) << refused;
            if (built) EXPECT_EQ(line, setup + c.switches);
        } else {
            EXPECT_FALSE(built);
            EXPECT_STREQ(refused, c.refused);
        }
        // The check made before anything is installed agrees (the data's own layout aside).
        for (const PropertySwitch& s : kPropertySwitches) {
            auto value = c.properties.find(s.property);
            if (value == c.properties.end()) continue;
            bool accepted = IsAcceptedValue(s, value->second.c_str());
            EXPECT_EQ(accepted, !c.refused || strcmp(c.refused, s.property) != 0 || value->second.size() > 4000)
                << s.property;
        }
    }
}
