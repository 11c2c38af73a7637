#include "notes_page.h"
#include <string.h>
#include "fw/cstring.h"

BOOL CNotesPage::OnSetActive()
{
    HMODULE self = GetModuleHandleA(NULL);
    HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(IDR_RELEASE_NOTES), "TXT");
    HGLOBAL mem = res ? LoadResource(self, res) : NULL;
    const char* data = mem ? (const char*)LockResource(mem) : NULL;
    if (data) {
        // The resource has no terminator: show exactly its bytes.
        DWORD size = SizeofResource(self, res);
        CString text;
        char* buf = text.GetBuffer(size);
        memcpy(buf, data, size);
        buf[size] = '\0';
        SetDlgItemText(IDC_NOTES_TEXT, text);
    }
    return CWizPage::OnSetActive();
}
