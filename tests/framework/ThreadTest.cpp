#include "framework/Sync.h"
#include "framework/Thread.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

TEST(Sync, CriticalSectionIsRecursiveOnItsThread) {
    CCriticalSection cs;
    CSingleLock outer(cs);
    {
        CSingleLock inner(cs); // the same thread may enter again
    }
    struct Other : CWinThread {
        CCriticalSection* cs;
        bool got = true;
        bool InitInstance() override {
            got = cs->TryLock();
            if (got) cs->Unlock();
            return false;
        }
    } other;
    other.cs = &cs;
    ASSERT_TRUE(other.CreateThread());
    ASSERT_TRUE(other.Wait(5000));
    EXPECT_FALSE(other.got) << "another thread is kept out while we hold it";
}

TEST(Sync, AutoResetEventReleasesOneWait) {
    CEvent e;
    EXPECT_FALSE(e.Lock(0));
    e.SetEvent();
    EXPECT_TRUE(e.Lock(0));
    EXPECT_FALSE(e.Lock(0)) << "auto-reset";
    CEvent manual(true, true);
    EXPECT_TRUE(manual.Lock(0));
    EXPECT_TRUE(manual.Lock(0));
}

TEST(WinThread, LoopRunsIdleAndEndsOnQuitWithItsCode) {
    struct Loop : CWinThread {
        CEvent started, idled;
        long idleCalls = 0;
        int userMessages = 0;
        bool InitInstance() override {
            MSG m;
            PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE); // make the queue before we announce it
            started.SetEvent();
            return true;
        }
        bool PreTranslateMessage(MSG* m) override {
            if (m->message == WM_USER) ++userMessages;
            return CWinThread::PreTranslateMessage(m);
        }
        bool OnIdle(long count) override {
            ++idleCalls;
            if (count == 2) idled.SetEvent();
            return count < 2; // three calls per idle phase
        }
    } loop;
    ASSERT_TRUE(loop.CreateThread());
    ASSERT_TRUE(loop.started.Lock(5000));
    ASSERT_TRUE(loop.idled.Lock(5000)) << "an empty queue means idle processing";
    loop.PostThreadMessage(WM_USER);
    loop.PostThreadMessage(WM_USER);
    loop.PostThreadMessage(WM_QUIT, 9);
    ASSERT_TRUE(loop.Wait(5000));
    EXPECT_EQ(loop.userMessages, 2);
    EXPECT_GE(loop.idleCalls, 3);
    EXPECT_EQ(loop.m_nExitCode, 9);
}

TEST(WorkerThread, WaiterServesWhatTheWorkerSendsButLeavesPostedMessagesQueued) {
    // A window of this thread that the worker sends to while we wait for the worker.
    struct Target : CWnd {
        int sent = 0;
        LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
            if (msg == WM_APP) return ++sent;
            return CWnd::WindowProc(msg, w, l);
        }
    } target;
    CWnd::RegisterWindowClass("FwWorkerTarget", 0, nullptr, nullptr, nullptr);
    ASSERT_TRUE(target.CreateEx(0, "FwWorkerTarget", "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    struct Job {
        HWND target;
        LRESULT answer = 0;
        static DWORD WINAPI Run(void* p) {
            auto* job = static_cast<Job*>(p);
            ::PostMessageA(job->target, WM_APP + 1, 0, 0);
            job->answer = ::SendMessageA(job->target, WM_APP, 0, 0); // blocks until we serve it
            return 0;
        }
    } job{target.m_hWnd};
    HANDLE worker = fw::StartWorkerThread(&Job::Run, &job);
    ASSERT_NE(worker, nullptr);
    // Looking at the queue marks the sent message as seen before the wait begins.
    for (int i = 0; i < 10000 && !(HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE); ++i)
        Sleep(1);
    EXPECT_TRUE(fw::WaitServingSentMessages(worker, 10000)) << "a plain wait would never end";
    CloseHandle(worker);
    EXPECT_EQ(job.answer, 1);
    MSG posted;
    EXPECT_TRUE(PeekMessageA(&posted, target.m_hWnd, WM_APP + 1, WM_APP + 1, PM_REMOVE)) << "still queued";
    target.DestroyWindow();
}
