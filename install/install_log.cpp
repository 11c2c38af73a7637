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
    fprintf(f, "%s - %s: %s\n", date, time, message);
    fputs("------------------------------------------------\n", f);
    fclose(f);
}
