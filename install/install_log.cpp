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

// Opens `path` for appending, where that is safe for a program with administrator rights writing
// into a folder that others may write to: a link or reparse point at the name is opened as itself
// and refused, never followed, and so is a file with more than one name (a hard link planted there
// would send the entry into whatever file it shares its content with).
static HANDLE OpenForAppend(const char* path)
{
    HANDLE h = CreateFileA(path, FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, NULL);
    if (h == INVALID_HANDLE_VALUE) return h;
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) ||
        info.nNumberOfLinks > 1) {
        CloseHandle(h);
        SetLastError(ERROR_CANT_ACCESS_FILE);
        return INVALID_HANDLE_VALUE;
    }
    return h;
}

// The chosen log file, its folder created like a destination folder when missing; else the
// log in the current directory.
static HANDLE OpenLog()
{
    if (g_szLogPath[0]) {
        HANDLE h = OpenForAppend(g_szLogPath);
        const char* slash = strrchr(g_szLogPath, '\\');
        if (h == INVALID_HANDLE_VALUE && GetLastError() == ERROR_PATH_NOT_FOUND && slash && slash > g_szLogPath) {
            char folder[MAX_PATH];
            lstrcpynA(folder, g_szLogPath, (int)(slash - g_szLogPath) + 1);
            if (CreateFolderPath(folder)) h = OpenForAppend(g_szLogPath);
        }
        if (h != INVALID_HANDLE_VALUE) return h;
    }
    return OpenForAppend(kLogName);
}

// Writes `text` with CR LF for every line end, as the log has always had them.
static void WriteText(HANDLE h, const char* text)
{
    DWORD written;
    for (;;) {
        const char* end = strchr(text, '\n');
        DWORD n = end ? (DWORD)(end - text) : (DWORD)lstrlenA(text);
        if (n) WriteFile(h, text, n, &written, NULL);
        if (!end) return;
        WriteFile(h, "\r\n", 2, &written, NULL);
        text = end + 1;
    }
}

void WriteInstallLog(const char* message)
{
    HANDLE h = OpenLog();
    if (h == INVALID_HANDLE_VALUE) return;
    char date[256] = "";
    char time[16] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, NULL, NULL, date, sizeof date);
    _strtime(time);
    // The entry line is "%s - %s: %s\n"; written piece by piece, so a message of any length
    // goes out whole. The handle only appends: every piece lands at the end of the file.
    WriteText(h, date);
    WriteText(h, " - ");
    WriteText(h, time);
    WriteText(h, ": ");
    WriteText(h, message);
    WriteText(h, "\n------------------------------------------------\n");
    CloseHandle(h);
}
