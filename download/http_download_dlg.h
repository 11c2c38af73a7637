// CHttpDownloadDlg: a modal dialog that fetches one file over HTTP into a local file while it
// shows progress, time left and rate, and lets the user cancel.
//
// The dialog only prepares the transfer and starts one worker thread (download_worker.cpp);
// the worker does the whole WinInet exchange, writes the file and posts WM_DOWNLOAD_FINISHED
// as its very last act. Only that message ends the dialog: Cancel, Escape and the close box
// set the abort flag, which the worker polls, and close the connection and the request, so
// that a worker waiting on a server that stalls gets its answer at once.
//
// Use: construct, set m_sUrl, m_sTargetPath and m_sDisplayText (and m_sUserName/m_sPassword
// when the server needs them), DoModal. A caller that must keep the target file to itself opens
// it first and passes the handle in m_hTargetFile: the dialog then writes through a handle of
// its own to that same file and creates nothing. IDOK: the body is in the target file (the file is
// empty when the server asked for credentials and the user gave none). IDCANCEL: m_sError
// describes a worker error, or is empty after a cancel or a failure to start; the target file
// may then be absent or empty, and the caller removes it. The target file is closed when
// DoModal returns, except after a failure to start the worker: destroying the object closes it.
#pragma once
#include <windows.h>
#include <wininet.h>
#include "controls/accessible.h"
#include "fw/controls.h"
#include "fw/cstring.h"
#include "fw/dialog.h"
#include "fw/file.h"
#include "fw/thread.h"
#include "res/resource.h"
#include "network_calls.h"

const UINT WM_DOWNLOAD_FINISHED = WM_APP + 1;  // wParam 1: ended with an error; 0 otherwise
const UINT WM_DOWNLOAD_PROGRESS = WM_APP + 2;  // the worker has new figures for the display

// What the progress display shows, as the worker last measured it.
struct DownloadFigures {
    BOOL bLengthKnown;
    DWORD dwLength;
    int nPercent;         // the caption's figure; 0 until the first whole percent
    DWORD dwBarReceived;  // bytes received when the percent last changed: the bar's position
    DWORD dwSample;       // counts the once-a-second samples of rate and time left
    double dRate;         // bytes per millisecond over the last sample
    DWORD dwSecondsLeft;
    DWORD dwSampleReceived;
};

class CHttpDownloadDlg : public CDialog {
public:
    enum { IDD = IDD_DOWNLOAD };
    static const char kClassName[];  // the class's name, for type identification

    explicit CHttpDownloadDlg(CWnd* pParent = NULL);
    ~CHttpDownloadDlg();

    // In
    CString m_sUrl;
    CString m_sTargetPath;
    HANDLE m_hTargetFile;   // optional: the target, already open for writing; stays the caller's
    CString m_sUserName;    // empty: connect without credentials
    CString m_sPassword;
    CString m_sDisplayText; // second line of the dialog

    CStatic m_wndHeading;
    CStatic m_wndRate;
    CStatic m_wndTimeLeft;
    CAccessibleProgress m_ctrlProgress; // in kilobytes
    CStatic m_wndDisplayText;

    // Out
    CString m_sError;

    // From the URL
    CString m_sServer;
    CString m_sObject;
    CString m_sFileName;        // last segment of the object, shown in the caption
    INTERNET_PORT m_nPort;
    DWORD m_dwServiceType;

    // Opened by the worker, closed on WM_DESTROY once the worker has ended; the connection and
    // the request already on Cancel.
    HINTERNET m_hInternet;
    HINTERNET volatile m_hConnection;
    HINTERNET volatile m_hRequest;

    volatile LONG m_bAbort;     // set by the dialog's thread, polled by the worker
    CNetworkCalls m_calls;      // the worker's calls that wait on the server; Cancel aborts them
    BOOL m_bSafeToClose;
    CFile m_file;
    CWinThread* m_pThread;

    // Progress (progress.cpp). The worker records its figures and posts WM_DOWNLOAD_PROGRESS
    // unless one is still pending, so it never waits for the dialog's thread; the dialog shows
    // the latest figures when it handles the message.
    void SetProgressRange(DWORD dwLength);
    void UpdateProgress(DWORD dwStartTick, DWORD& dwSampleTick, DWORD dwReceived, DWORD& dwLastSampleBytes,
                        int& nLastPercent, BOOL bLengthKnown, DWORD dwLength);
    void ShowProgress();  // on the dialog's thread
    void PublishProgress();

    CRITICAL_SECTION m_csFigures;
    DownloadFigures m_figures;       // the worker's latest, under m_csFigures
    DownloadFigures m_shown;         // what the display shows; the dialog's thread only
    volatile LONG m_bProgressPending;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnCancel() override;
    void OnOK() override {}  // only the worker's finished message ends the dialog
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    LRESULT OnDownloadFinished(WPARAM wp);
    void OnDestroy();
    static void CloseInternetHandle(HINTERNET volatile* handle);

    // The worker (download_worker.cpp).
    static UINT DownloadThread(LPVOID pParam);
    static void CALLBACK OnStatusCallback(HINTERNET hInternet, DWORD_PTR dwContext, DWORD dwStatus,
                                          LPVOID lpvStatusInfo, DWORD dwStatusInfoLength);
    void Download();
    bool AbortRequested();
    void ReportErrorWithCode(UINT nIDMessage, DWORD dwError);
    void ReportError(UINT nIDMessage);
    void PostFinished(WPARAM bError);
};

// The file name that the caption shows for a requested object: the text after its last '/'
// (or, when it has none, its last '\'); the whole object when it has neither or is at most
// one character long. Empty when the object ends with the separator.
CString FileNameOfObject(const char* object);
