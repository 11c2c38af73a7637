#include "viewer.h"
#include <windows.h>

bool IsViewerRunning()
{
    return FindWindowA("Pixmora", NULL) != NULL;
}
