#include <gtest/gtest.h>
#include "fw/file.h"
#include "fw/thread.h"
#include "test_support.h"

static const UINT kCreateDenyWrite = CFile::modeCreate | CFile::shareDenyWrite | CFile::modeWrite;

TEST(CFile, CreateTruncatesAndDeniesOtherWriters)
{
    TempFolder dir;
    std::string path = dir / "target.exe";
    WriteFileBytes(path, "an older and longer content");
    {
        CFile file;
        ASSERT_TRUE(file.Open(path.c_str(), kCreateDenyWrite));
        EXPECT_EQ(ReadFileBytes(path), "");
        CFileException e;
        EXPECT_TRUE(file.Write("new", 3, &e));
        // Others may read, not write.
        HANDLE reader = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
        EXPECT_NE(reader, INVALID_HANDLE_VALUE);
        if (reader != INVALID_HANDLE_VALUE) CloseHandle(reader);
        CFile second;
        EXPECT_FALSE(second.Open(path.c_str(), CFile::modeWrite | CFile::shareDenyNone, &e));
        EXPECT_EQ(e.m_lOsError, ERROR_SHARING_VIOLATION);
        EXPECT_TRUE(file.IsOpen());
    }  // the object's end closes the file
    EXPECT_EQ(ReadFileBytes(path), "new");
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(CFile, FailuresCarryTheSystemError)
{
    TempFolder dir;
    CFile file;
    CFileException e;
    EXPECT_FALSE(file.Open((dir / "missing\\target.exe").c_str(), kCreateDenyWrite, &e));
    EXPECT_EQ(e.m_lOsError, ERROR_PATH_NOT_FOUND);
    EXPECT_FALSE(file.IsOpen());

    std::string path = dir / "read_only.txt";
    WriteFileBytes(path, "x");
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead | CFile::shareDenyNone));
    CFileException w;
    EXPECT_FALSE(file.Write("y", 1, &w));
    EXPECT_EQ(w.m_lOsError, ERROR_ACCESS_DENIED);
    file.Close();
    file.Close();  // twice is harmless
    EXPECT_FALSE(file.IsOpen());
}

static LONG s_runs;
static UINT CountRun(LPVOID param)
{
    InterlockedIncrement(&s_runs);
    return (UINT)(UINT_PTR)param;
}

TEST(AfxBeginThread, SuspendedThreadWaitsAndOutlivesItsFunction)
{
    s_runs = 0;
    CWinThread* thread = AfxBeginThread(CountRun, (LPVOID)42, THREAD_PRIORITY_BELOW_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(GetThreadPriority(thread->m_hThread), THREAD_PRIORITY_BELOW_NORMAL);
    Sleep(100);
    EXPECT_EQ(s_runs, 0) << "a suspended thread ran";
    thread->m_bAutoDelete = FALSE;
    thread->ResumeThread();
    ASSERT_EQ(WaitForSingleObject(thread->m_hThread, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeThread(thread->m_hThread, &code);
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(s_runs, 1);
    delete thread;
}
