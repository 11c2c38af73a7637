#include <gtest/gtest.h>
#include "download/http_download_dlg.h"
#include <commctrl.h>
#include "download/progress_text.h"

namespace {

// The download dialog with a stand-in worker: a thread that reports a whole transfer's progress
// while the dialog's thread waits for it without handling a single message. Reporting that waited
// for the window would never end; reporting that posted a message per change would queue many.
class ProgressWithoutPumping : public CHttpDownloadDlg {
public:
    static const DWORD kLength = 3 * 1048576 + 100;
    bool workerEnded = false;
    int queued = 0;  // progress messages waiting once the worker has ended
    char caption[128] = "", rate[128] = "", timeLeft[128] = "";
    int pos = -1, rangeMax = -1;

protected:
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_sFileName = "setup.exe";
        HANDLE worker = ::CreateThread(NULL, 0, Report, this, 0, NULL);
        // Only a guard against hanging the test run: a worker that waits on this thread never ends.
        workerEnded = ::WaitForSingleObject(worker, 60000) == WAIT_OBJECT_0;
        ::CloseHandle(worker);
        MSG msg;
        while (::PeekMessageA(&msg, m_hWnd, WM_DOWNLOAD_PROGRESS, WM_DOWNLOAD_PROGRESS, PM_REMOVE)) {
            ++queued;
            ::DispatchMessageA(&msg);
        }
        ::GetWindowTextA(m_hWnd, caption, sizeof caption);
        ::GetDlgItemTextA(m_hWnd, 1005, rate, sizeof rate);
        ::GetDlgItemTextA(m_hWnd, 1004, timeLeft, sizeof timeLeft);
        pos = m_ctrlProgress.GetPos();
        rangeMax = (int)m_ctrlProgress.SendMessage(PBM_GETRANGE, FALSE);
        EndDialog(IDOK);
        return TRUE;
    }

private:
    // Every 1024-byte block as the worker reports it, the first one a second's sample; then one
    // last sample with everything received.
    static DWORD WINAPI Report(LPVOID param)
    {
        ProgressWithoutPumping* dlg = (ProgressWithoutPumping*)param;
        dlg->SetProgressRange(kLength);
        DWORD start = ::GetTickCount() - 5000, sample = start, sampleBytes = 0;
        int percent = 0;
        for (DWORD received = 0; received < kLength;) {
            received = received + 1024 < kLength ? received + 1024 : kLength;
            dlg->UpdateProgress(start, sample, received, sampleBytes, percent, TRUE, kLength);
        }
        sample = ::GetTickCount() - 2000;
        dlg->UpdateProgress(start, sample, kLength, sampleBytes, percent, TRUE, kLength);
        return 0;
    }
};

}  // namespace

TEST(DownloadProgress, NeverWaitsForTheWindowAndShowsTheLatestFigures)
{
    InitCommonControls();
    ProgressWithoutPumping dlg;
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_TRUE(dlg.workerEnded);
    EXPECT_EQ(dlg.queued, 1);
    EXPECT_STREQ(dlg.caption, "100% von setup.exe  fertig");
    EXPECT_EQ(dlg.rangeMax, 3072);
    EXPECT_EQ(dlg.pos, 3072);
    EXPECT_STREQ(dlg.timeLeft, "0 sec (3.00 MB von 3.00 MB kopiert)");
    EXPECT_NE(strstr(dlg.rate, " KB/Sec"), (char*)NULL) << dlg.rate;
}
