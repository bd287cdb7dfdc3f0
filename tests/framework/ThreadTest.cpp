#include "framework/Sync.h"
#include "framework/Thread.h"

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
