// The download worker: the whole HTTP exchange of one CHttpDownloadDlg, on its own thread.
//
// Every path ends with exactly one WM_DOWNLOAD_FINISHED posted to the dialog, and nothing of
// the dialog is touched after it: the dialog waits for this thread when it is destroyed.
// The target file is closed on every path, so that the caller can always remove it.
#include <stdlib.h>
#include "http_text.h"
#include "http_download_dlg.h"
#include "fw/format_string.h"
#include "fw/winapp.h"
#include "res/resource.h"

UINT CHttpDownloadDlg::DownloadThread(LPVOID pParam)
{
    ((CHttpDownloadDlg*)pParam)->Download();
    return 0;
}

// The dialog has no status line: name resolution, connecting and redirects go unshown.
void CALLBACK CHttpDownloadDlg::OnStatusCallback(HINTERNET, DWORD_PTR, DWORD, LPVOID, DWORD) {}

void CHttpDownloadDlg::PostFinished(WPARAM bError)
{
    PostMessage(WM_DOWNLOAD_FINISHED, bError, 0);
}

// At the check points before the body: a cancel ends the transfer here. The file is empty.
bool CHttpDownloadDlg::AbortRequested()
{
    if (!m_bAbort) return false;
    m_file.Close();
    PostFinished(0);
    return true;
}

void CHttpDownloadDlg::ReportErrorWithCode(UINT nIDMessage, DWORD dwError)
{
    // After a cancel the calls fail because the dialog closed their handles: that is the
    // cancel, not an error to tell.
    if (m_bAbort) {
        m_file.Close();
        ::DeleteFileA(m_sTargetPath);
        return PostFinished(0);
    }
    if (dwError == 0) dwError = ::GetLastError();
    CString code;
    code.Format("%d", (int)dwError);
    AfxFormatString1(m_sError, nIDMessage, code);
    m_file.Close();
    ::DeleteFileA(m_sTargetPath);
    PostFinished(1);
}

void CHttpDownloadDlg::ReportError(UINT nIDMessage)
{
    if (m_bAbort) {
        m_file.Close();
        return PostFinished(0);
    }
    m_sError.LoadString(nIDMessage);
    m_file.Close();
    PostFinished(1);
}

void CHttpDownloadDlg::Download()
{
    char query[32];
    char drain[50];
    char block[1024];

    m_hInternet = ::InternetOpenA(AfxGetAppName(), INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0);
    if (!m_hInternet) return ReportErrorWithCode(IDS_DL_ERR_DOWNLOAD, 0);
    if (AbortRequested()) return;

    if (::InternetSetStatusCallbackA(m_hInternet, OnStatusCallback) == INTERNET_INVALID_STATUS_CALLBACK)
        return ReportErrorWithCode(IDS_DL_ERR_DOWNLOAD, 0);
    if (AbortRequested()) return;

    bool credentials = !m_sUserName.IsEmpty();
    m_hConnection = ::InternetConnectA(m_hInternet, m_sServer, m_nPort, credentials ? (const char*)m_sUserName : NULL,
                                       credentials ? (const char*)m_sPassword : NULL, m_dwServiceType, 0,
                                       (DWORD_PTR)this);
    if (!m_hConnection) return ReportErrorWithCode(IDS_DL_ERR_CONNECT, 0);
    if (AbortRequested()) return;

    const char* accept[] = { "*/*", NULL };
    m_hRequest = ::HttpOpenRequestA(m_hConnection, NULL, m_sObject, NULL, NULL, accept,
                                    INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE | INTERNET_FLAG_KEEP_CONNECTION,
                                    (DWORD_PTR)this);
    if (!m_hRequest) return ReportErrorWithCode(IDS_DL_ERR_CONNECT, 0);
    if (AbortRequested()) return;

    if (!m_calls.SendRequest(m_hRequest)) return ReportErrorWithCode(IDS_DL_ERR_CONNECT, 0);

    bool declined = false;  // credentials asked for and not given: the empty answer stands
    for (;;) {
        DWORD size = sizeof query;
        if (!::HttpQueryInfoA(m_hRequest, HTTP_QUERY_STATUS_CODE, query, &size, NULL))
            return ReportError(IDS_DL_ERR_RESPONSE);
        unsigned long status = 0;
        ParseHttpNumber(query, &status);
        if (status == HTTP_STATUS_OK) break;
        if (status != HTTP_STATUS_DENIED && status != HTTP_STATUS_PROXY_AUTH_REQ) {
            return ReportErrorWithCode(IDS_DL_ERR_HTTP, (DWORD)status);
        }
        // The server or proxy wants credentials: read away the refusal, then ask the user.
        DWORD got;
        do {
            got = 0;
            if (!m_calls.ReadFile(m_hRequest, drain, sizeof drain, &got)) got = 0;
        } while (got);
        DWORD answer = ::InternetErrorDlg(m_hWnd, m_hRequest, ERROR_INTERNET_INCORRECT_PASSWORD,
                                          FLAGS_ERROR_UI_FILTER_FOR_ERRORS | FLAGS_ERROR_UI_FLAGS_GENERATE_DATA |
                                              FLAGS_ERROR_UI_FLAGS_CHANGE_OPTIONS,
                                          NULL);
        if (answer != ERROR_INTERNET_FORCE_RETRY) {
            declined = true;
            break;
        }
        if (!m_calls.SendRequest(m_hRequest)) return ReportErrorWithCode(IDS_DL_ERR_CONNECT, 0);
    }

    BOOL lengthKnown = FALSE;
    DWORD length = 0;
    DWORD size = sizeof query;
    unsigned long announced = 0;
    if (::HttpQueryInfoA(m_hRequest, HTTP_QUERY_CONTENT_LENGTH, query, &size, NULL) &&
        ParseHttpNumber(query, &announced)) {
        lengthKnown = TRUE;
        length = (DWORD)announced;
        SetProgressRange(length);
    }

    DWORD startTick = ::GetTickCount();
    DWORD sampleTick = startTick;
    DWORD lastSampleBytes = 0;
    int lastPercent = 0;
    DWORD total = 0;
    DWORD ready = 0;  // bytes WinInet already holds for us: reading them never waits
    do {
        if (!ready && !m_calls.QueryDataAvailable(m_hRequest, &ready))
            return ReportErrorWithCode(IDS_DL_ERR_TRANSFER, 0);
        if (ready == 0) break;  // the end of the body
        DWORD got = 0;
        if (!::InternetReadFile(m_hRequest, block, ready < sizeof block ? ready : sizeof block, &got))
            return ReportErrorWithCode(IDS_DL_ERR_TRANSFER, 0);
        if (got == 0) break;
        ready = got < ready ? ready - got : 0;
        if (!m_bAbort) {
            CFileException e;
            if (!m_file.Write(block, got, &e)) return ReportErrorWithCode(IDS_DL_ERR_TRANSFER, (DWORD)e.m_lOsError);
            total += got;
            UpdateProgress(startTick, sampleTick, total, lastSampleBytes, lastPercent, lengthKnown, length);
        }
    } while (!m_bAbort);

    // A connection that ends before the announced length is a failed download, not a short file.
    if (!m_bAbort && !declined && lengthKnown && total < length)
        return ReportErrorWithCode(IDS_DL_ERR_TRANSFER, ERROR_INTERNET_CONNECTION_ABORTED);

    m_file.Close();
    if (m_bAbort) ::DeleteFileA(m_sTargetPath);
    PostFinished(0);
}
