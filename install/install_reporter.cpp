#include "install_reporter.h"
#include <windows.h>
#include "fw/cstring.h"
#include "res/resource.h"
#include "install_log.h"

void SilentReporter::ReportError(const char*, const char* logLine)
{
    WriteInstallLog(logLine);
}

void SilentReporter::ReportWarning(const char*, const char* logLine)
{
    WriteInstallLog(logLine);
}

static int Show(const char* message, UINT style)
{
    CString caption;
    caption.LoadString(IDS_CAPTION);
    return MessageBoxA(GetActiveWindow(), message, caption, style);
}

void MessageBoxReporter::ReportError(const char* message, const char*)
{
    Show(message, MB_OK | MB_ICONHAND);
}

void MessageBoxReporter::ReportWarning(const char* message, const char*)
{
    Show(message, MB_OK | MB_ICONEXCLAMATION);
}

bool MessageBoxReporter::AskAssociate()
{
    CString question;
    question.LoadString(IDS_ASK_ASSOCIATE);
    return Show(question, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDNO;
}
