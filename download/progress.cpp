// The dialog's progress display. Runs on the worker thread: every change is a window message
// that the dialog's thread handles, so the display is touched only when something visible
// changes (a whole percent) and the two text lines at most once a second.
#include "http_download_dlg.h"
#include "progress_text.h"

void CHttpDownloadDlg::SetProgressRange(DWORD dwLength)
{
    // The 32-bit range message: lengths above 64 MB would wrap in the 16-bit one.
    m_ctrlProgress.SetRange32(0, (int)ProgressRangeMax(dwLength));
}

void CHttpDownloadDlg::SetProgressPos(DWORD dwReceived)
{
    m_ctrlProgress.SetPos((int)(dwReceived / 1024));
}

void CHttpDownloadDlg::SetPercentage(int nPercent)
{
    SetWindowText(FormatCaptionText(nPercent, m_sFileName));
}

void CHttpDownloadDlg::ShowTransferRate(double dBytesPerMs)
{
    m_wndRate.SetWindowText(FormatRateText(dBytesPerMs));
}

void CHttpDownloadDlg::ShowTimeLeft(DWORD dwSeconds, DWORD dwReceived, DWORD dwLength)
{
    m_wndTimeLeft.SetWindowText(FormatTimeLeftText(dwSeconds, dwReceived, dwLength));
}

void CHttpDownloadDlg::UpdateProgress(DWORD dwStartTick, DWORD& dwSampleTick, DWORD dwReceived,
                                      DWORD& dwLastSampleBytes, int& nLastPercent, BOOL bLengthKnown,
                                      DWORD dwLength)
{
    if (bLengthKnown) {
        int percent = PercentDone(dwReceived, dwLength);
        if (percent != nLastPercent) {
            SetPercentage(percent);
            nLastPercent = percent;
            SetProgressPos(dwReceived);
        }
    }

    DWORD now = ::GetTickCount();
    DWORD interval = now - dwSampleTick;
    if (interval <= 1000) return;
    ShowTransferRate((double)(dwReceived - dwLastSampleBytes) / interval);
    dwSampleTick = now;
    dwLastSampleBytes = dwReceived;
    if (bLengthKnown) ShowTimeLeft(SecondsLeft(now - dwStartTick, dwReceived, dwLength), dwReceived, dwLength);
}
