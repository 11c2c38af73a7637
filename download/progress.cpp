// The dialog's progress display. The worker measures and records; the dialog's thread draws.
// The worker never waits for the dialog: it posts one WM_DOWNLOAD_PROGRESS and posts again only
// after the dialog has taken the figures, so a busy or stalled window thread costs the transfer
// nothing and sees only the latest figures. The display changes when something visible does (a
// whole percent), the two text lines at most once a second.
#include "http_download_dlg.h"
#include "progress_text.h"

// Worker: the figures changed.
void CHttpDownloadDlg::PublishProgress()
{
    if (!InterlockedExchange(&m_bProgressPending, TRUE)) PostMessage(WM_DOWNLOAD_PROGRESS);
}

void CHttpDownloadDlg::SetProgressRange(DWORD dwLength)
{
    ::EnterCriticalSection(&m_csFigures);
    m_figures.bLengthKnown = TRUE;
    m_figures.dwLength = dwLength;
    ::LeaveCriticalSection(&m_csFigures);
    PublishProgress();
}

void CHttpDownloadDlg::UpdateProgress(DWORD dwStartTick, DWORD& dwSampleTick, DWORD dwReceived,
                                      DWORD& dwLastSampleBytes, int& nLastPercent, BOOL bLengthKnown,
                                      DWORD dwLength)
{
    int percent = bLengthKnown ? PercentDone(dwReceived, dwLength) : nLastPercent;
    DWORD now = ::GetTickCount();
    DWORD interval = now - dwSampleTick;
    bool sample = interval > 1000;
    if (percent == nLastPercent && !sample) return;

    ::EnterCriticalSection(&m_csFigures);
    if (percent != nLastPercent) {
        m_figures.nPercent = percent;
        m_figures.dwBarReceived = dwReceived;
        nLastPercent = percent;
    }
    if (sample) {
        m_figures.dwSample++;
        m_figures.dRate = (double)(dwReceived - dwLastSampleBytes) / interval;
        m_figures.dwSecondsLeft = bLengthKnown ? SecondsLeft(now - dwStartTick, dwReceived, dwLength) : 0;
        m_figures.dwSampleReceived = dwReceived;
        dwSampleTick = now;
        dwLastSampleBytes = dwReceived;
    }
    ::LeaveCriticalSection(&m_csFigures);
    PublishProgress();
}

void CHttpDownloadDlg::ShowProgress()
{
    // Cleared before the figures are taken: whatever the worker records after this posts anew.
    InterlockedExchange(&m_bProgressPending, FALSE);
    ::EnterCriticalSection(&m_csFigures);
    DownloadFigures f = m_figures;
    ::LeaveCriticalSection(&m_csFigures);

    // The 32-bit range message: lengths above 64 MB would wrap in the 16-bit one.
    if (f.bLengthKnown && !m_shown.bLengthKnown) m_ctrlProgress.SetRange32(0, (int)ProgressRangeMax(f.dwLength));
    if (f.nPercent != m_shown.nPercent) {
        SetWindowText(FormatCaptionText(f.nPercent, m_sFileName));
        m_ctrlProgress.SetPos((int)(f.dwBarReceived / 1024));
    }
    if (f.dwSample != m_shown.dwSample) {
        m_wndRate.SetWindowText(FormatRateText(f.dRate));
        if (f.bLengthKnown)
            m_wndTimeLeft.SetWindowText(FormatTimeLeftText(f.dwSecondsLeft, f.dwSampleReceived, f.dwLength));
    }
    m_shown = f;
}
