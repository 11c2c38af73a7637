#include "http_download_dlg.h"
#include "fw/debug_trace.h"
#include <string.h>
#include "fw/url.h"
#include "fw/url_text.h"

const char CHttpDownloadDlg::kClassName[] = "CHttpDownloadDlg";

CString FileNameOfObject(const char* object)
{
    return CString(FileNamePart(object));
}

CHttpDownloadDlg::CHttpDownloadDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_hTargetFile(NULL), m_nPort(0), m_dwServiceType(0), m_hInternet(NULL), m_hConnection(NULL),
      m_hRequest(NULL), m_bAbort(FALSE),
      m_bSafeToClose(FALSE), m_pThread(NULL), m_bProgressPending(FALSE)
{
    ::InitializeCriticalSection(&m_csFigures);
    ZeroMemory(&m_figures, sizeof m_figures);
    m_shown = m_figures;
}

CHttpDownloadDlg::~CHttpDownloadDlg()
{
    ::DeleteCriticalSection(&m_csFigures);
}

void CHttpDownloadDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_DL_HEADING, m_wndHeading);
    DDX_Control(pDX, IDC_DL_RATE, m_wndRate);
    DDX_Control(pDX, IDC_DL_TIME_LEFT, m_wndTimeLeft);
    DDX_Control(pDX, IDC_DL_PROGRESS, m_ctrlProgress);
    DDX_Control(pDX, IDC_DL_FILE, m_wndDisplayText);
}

BOOL CHttpDownloadDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    // A URL without a scheme is taken as an HTTP address.
    if (!AfxParseURL(m_sUrl, m_dwServiceType, m_sServer, m_sObject, m_nPort)) {
        m_sUrl = CString("http://") + m_sUrl;
        if (!AfxParseURL(m_sUrl, m_dwServiceType, m_sServer, m_sObject, m_nPort)) {
            EndDialog(IDCANCEL);
            return TRUE;
        }
    }

    BOOL opened = m_hTargetFile ? ::DuplicateHandle(::GetCurrentProcess(), m_hTargetFile, ::GetCurrentProcess(),
                                                    &m_file.m_hFile, 0, FALSE, DUPLICATE_SAME_ACCESS)
                                : m_file.Open(m_sTargetPath, CFile::modeCreate | CFile::shareDenyWrite | CFile::modeWrite);
    if (!opened) {
        m_file.m_hFile = INVALID_HANDLE_VALUE;
        EndDialog(IDCANCEL);
        return TRUE;
    }

    m_sFileName = FileNameOfObject(m_sObject);
    m_wndDisplayText.SetWindowText(m_sDisplayText);

    // The thread object must outlive the thread, so that WM_DESTROY can wait on it: the
    // worker only runs once the object is ours.
    m_pThread = AfxBeginThread(DownloadThread, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (!m_pThread) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    return TRUE;
}

// Takes the handle away from the worker and closes it; whoever comes second finds nothing.
void CHttpDownloadDlg::CloseInternetHandle(HINTERNET volatile* handle)
{
    HINTERNET h = (HINTERNET)InterlockedExchangePointer((PVOID volatile*)handle, NULL);
    if (h) ::InternetCloseHandle(h);
}

void CHttpDownloadDlg::OnCancel()
{
    if (m_bAbort) return;
    DebugTrace("Pixmora download: cancelled\n");
    m_bAbort = TRUE;
    m_calls.Abort();
    ::EnableWindow(GetDlgItem(IDCANCEL), FALSE);
    // The worker stops waiting for the server at once (network_calls.h); closing the handles
    // also ends the calls themselves where the system can.
    CloseInternetHandle(&m_hRequest);
    CloseInternetHandle(&m_hConnection);
}

LRESULT CHttpDownloadDlg::OnDownloadFinished(WPARAM wp)
{
    m_bSafeToClose = TRUE;
    EndDialog(m_bAbort || wp ? IDCANCEL : IDOK);
    return 0;
}

void CHttpDownloadDlg::OnDestroy()
{
    // The worker's last act was to post the finished message, so it touches nothing of ours
    // any more: waiting for it cannot block on a message that this thread would have to handle.
    if (m_pThread) {
        ::WaitForSingleObject(m_pThread->m_hThread, INFINITE);
        delete m_pThread;
        m_pThread = NULL;
    }
    CloseInternetHandle(&m_hRequest);
    CloseInternetHandle(&m_hConnection);
    if (m_hInternet) ::InternetCloseHandle(m_hInternet);
    m_hInternet = NULL;
}

LRESULT CHttpDownloadDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_DOWNLOAD_PROGRESS:
        ShowProgress();
        return 0;
    case WM_DOWNLOAD_FINISHED:
        return OnDownloadFinished(wp);
    case WM_CLOSE:
        if (!m_bSafeToClose) {
            DebugTrace("Pixmora download: closed\n");
            OnCancel();
            return 0;
        }
        break;
    case WM_DESTROY:
        OnDestroy();
        break;
    }
    return CDialog::WindowProc(msg, wp, lp);
}
