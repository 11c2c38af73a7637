#include "install_log.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <time.h>
#include "path_text.h"
#include "payload.h"

static const char kLogName[] = "Pixmora_Install.log";
static char g_szLogPath[MAX_PATH];  // empty: kLogName in the current directory

void SetInstallLogPath(const char* path)
{
    lstrcpynA(g_szLogPath, path, sizeof g_szLogPath);
    TrimBlanks(g_szLogPath);
}

// The chosen log file, its folder created like a destination folder when missing; else the
// log in the current directory.
static FILE* OpenLog()
{
    if (g_szLogPath[0]) {
        FILE* f = fopen(g_szLogPath, "a");
        const char* slash = strrchr(g_szLogPath, '\\');
        if (!f && slash && slash > g_szLogPath) {
            char folder[MAX_PATH];
            lstrcpynA(folder, g_szLogPath, (int)(slash - g_szLogPath) + 1);
            if (CreateFolderPath(folder)) f = fopen(g_szLogPath, "a");
        }
        if (f) return f;
    }
    return fopen(kLogName, "a");
}

void WriteInstallLog(const char* message)
{
    FILE* f = OpenLog();
    if (!f) return;
    char date[256] = "";
    char time[16] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, NULL, NULL, date, sizeof date);
    _strtime(time);
    // The entry line is "%s - %s: %s\n"; written piece by piece, so a message of any length
    // goes out whole.
    fputs(date, f);
    fputs(" - ", f);
    fputs(time, f);
    fputs(": ", f);
    fputs(message, f);
    fputs("\n------------------------------------------------\n", f);
    fclose(f);
}
