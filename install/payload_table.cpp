#include "payload.h"

#define F(type, id, target) { PayloadRow::FileInDestination, type, id, target }
#define S(type, id, target) { PayloadRow::FileInSubfolder, type, id, target }
#define DIR(name)           { PayloadRow::Folder, NULL, 0, name }

// Written in this order; a folder row is created just before its first file.
const PayloadRow g_payload[] = {
    F("EXE", 119, "%spxm32.exe"),
    F("EXE", 138, "%spmx_uninstall.exe"),
    F("HLP", 126, "%spxm32.chm"),
    DIR("%sHelp"),
    S("HLP", 127, "%spxm32d.chm"),
    F("TXT", 120, "%spxm_about.txt"),
    F("TXT", 121, "%spxm_changes.txt"),
    F("TXT", 122, "%spxm_options.txt"),
    F("TXT", 123, "%spxm_plugins.txt"),
    F("TXT", 135, "%spxm_languages.txt"),
    DIR("%sToolbars"),
    S("TXT", 175, "%sTarnholm_24.txt"),
    S("TXT", 176, "%sVelder_16.txt"),
    S("PNG", 178, "%sTarnholm_24.png"),
    S("PNG", 179, "%sVelder_16.png"),
    DIR("%sPlugins"),
    S("DLL", 136, "%sVideo.dll"),
    S("DLL", 137, "%sIcons.dll"),
    S("DLL", 141, "%sEffects.dll"),
    S("DLL", 145, "%sMpg.dll"),
    S("TXT", 132, "%sPlugins.txt"),
    S("EXE", 143, "%sSlideshow.exe"),
    DIR("%sLanguages"),
    S("DLL", 124, "%sDeutsch.dll"),
    DIR("%sHtml"),
    S(RT_HTML, 149, "%sthumbnails.html"),
    S(RT_HTML, 150, "%sslideshow.html"),
    S(RT_HTML, 151, "%sframe.html"),
};

const int g_payloadRowCount = sizeof g_payload / sizeof g_payload[0];
