#include "install_log.h"
#include <windows.h>
#include <stdio.h>
#include <time.h>

void WriteInstallLog(const char* message)
{
    FILE* f = fopen("Pixmora_Install.log", "a");
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
