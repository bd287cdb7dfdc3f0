#include "tools/ExplorerThreads.h"

#include "app/ProtocolLog.h"
#include "framework/FolderFiles.h"
#include "framework/Gdi.h"
#include "framework/RichEdit.h"
#include "framework/Thread.h"
#include "tools/ExplorerLogic.h"
#include "tools/FolderPaths.h"
#include "tools/ImageViewer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// ---- the block's protocol ------------------------------------------------------------------

bool Signalled(HANDLE event) {
    return ::WaitForSingleObject(event, 0) == WAIT_OBJECT_0;
}

// Gives back the thumbnails of the last preview run still queued for the window: their bitmaps
// are freed and their entries count as unrendered again, so a restart makes them anew.
void DiscardPostedThumbnails(HWND window, ExplorerPreviewJob& job) {
    MSG msg;
    while (::PeekMessageA(&msg, window, WM_EXPLORER_UPDATEWINDOW, WM_EXPLORER_UPDATEWINDOW, PM_REMOVE)) {
        if (msg.lParam) ::DeleteObject(reinterpret_cast<HBITMAP>(msg.lParam));
        for (ExplorerListItem* entry : job.queue) {
            if (entry && entry->image == static_cast<int>(msg.wParam))
                ::InterlockedExchange(&entry->rendered, 0);
        }
    }
}

// Start steps 2 to 5; the caller has stopped the block.
void StartOn(ExplorerThreadBlock& block, HWND ownerWindow, CExplorer* owner, const std::string& folder,
             DWORD(WINAPI* proc)(void*), int priority) {
    if (folder.size() >= sizeof block.folder) return; // refused, never cut: nothing runs
    std::memcpy(block.folder, folder.c_str(), folder.size() + 1);
    ::ResetEvent(block.idleEvent);
    block.ownerWindow = ownerWindow;
    block.owner = owner;
    block.thread = fw::StartWorkerThread(proc, &block);
    if (!block.thread) {
        ::SetEvent(block.idleEvent);
        return;
    }
    ::SetThreadPriority(block.thread, priority);
}

// Ends a worker: from here on the block may be gone, so the thread touches nothing of it.
DWORD EndWorker(HANDLE idleEvent) {
    ::SetEvent(idleEvent);
    return 0;
}

// ---- the watch -----------------------------------------------------------------------------

// FILE_NAME | DIR_NAME | LAST_WRITE
constexpr DWORD kWatchFilter =
    FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;
static_assert(kWatchFilter == 19, "the watch's filter");
// One wait takes 64 handles; the stop event is one of them.
constexpr size_t kWatchHandles = MAXIMUM_WAIT_OBJECTS - 1;
// Folders surveyed at most: a bound for a pathological tree, not a limit a record reaches.
constexpr size_t kSurveyFolders = 4096;
// A burst of changes (a copy of many files) becomes one refresh once it has been quiet this
// long, and at the latest after kLongestBurstMs.
constexpr DWORD kQuietMs = 300;
constexpr DWORD kLongestBurstMs = 2000;
// Folders without a handle of their own are compared by their contents this often.
constexpr DWORD kRescanMs = 2000;

void Hash(uint64_t& h, const void* data, size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 1099511628211ULL;
    }
}

bool IsSubFolder(const fw::FolderEntry& entry) {
    return entry.folder && !(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT); // no loops through links
}

// The folders from root down, breadth first, and a fingerprint of the tree's shape and of the
// contents of every folder that no change handle covers (watched[i] false, or i beyond it).
struct Survey {
    std::vector<std::string> folders;
    uint64_t fingerprint = 14695981039346656037ULL;
};

Survey TakeSurvey(const std::string& root, const std::vector<bool>& watched) {
    Survey survey;
    survey.folders.push_back(root);
    for (size_t i = 0; i < survey.folders.size(); ++i) {
        bool covered = i < watched.size() && watched[i];
        std::string pattern = vorlan::JoinPath(survey.folders[i], "*");
        if (pattern.empty()) continue;
        fw::ForEachInFolder(pattern, [&](const fw::FolderEntry& entry) {
            bool sub = IsSubFolder(entry);
            if (sub && survey.folders.size() < kSurveyFolders)
                survey.folders.push_back(survey.folders[i] + "\\" + entry.name);
            if (!sub && covered) return true;
            Hash(survey.fingerprint, &i, sizeof i);
            Hash(survey.fingerprint, entry.name.data(), entry.name.size());
            if (!covered) {
                Hash(survey.fingerprint, &entry.lastWrite, sizeof entry.lastWrite);
                Hash(survey.fingerprint, &entry.size, sizeof entry.size);
            }
            return true;
        });
    }
    return survey;
}

// The change handles over the record folder. The platform's subtree watch on the folder is the
// first; every folder below gets one of its own as well, since Wine reports a subtree watch's
// changes only directly inside the watched folder. Folders beyond the handles one wait can take
// (or whose handle fails) are compared by survey instead.
class WatchSet {
  public:
    WatchSet(HANDLE stop, std::string root) : m_root(std::move(root)) {
        while (m_root.size() > 3 && m_root.back() == '\\')
            m_root.pop_back();
        m_handles.push_back(stop);
    }
    ~WatchSet() { Close(); }
    WatchSet(const WatchSet&) = delete;
    WatchSet& operator=(const WatchSet&) = delete;

    // (Re)arms a handle for each folder. False when the record folder itself cannot be watched.
    // A folder made while arming shows in a second survey and counts as a change.
    bool Arm(bool& changedMeanwhile) {
        Close();
        Survey before = TakeSurvey(m_root, m_watched);
        for (size_t i = 0; i < before.folders.size() && m_handles.size() <= kWatchHandles; ++i) {
            HANDLE h = ::FindFirstChangeNotificationA(before.folders[i].c_str(), i == 0, kWatchFilter);
            if (h == INVALID_HANDLE_VALUE && i == 0) return false;
            m_watched.push_back(h != INVALID_HANDLE_VALUE);
            if (h != INVALID_HANDLE_VALUE) m_handles.push_back(h);
        }
        m_unwatched = std::count(m_watched.begin(), m_watched.end(), true) <
                      static_cast<std::ptrdiff_t>(before.folders.size());
        Survey after = TakeSurvey(m_root, m_watched);
        changedMeanwhile = after.folders != before.folders;
        m_fingerprint = after.fingerprint;
        return true;
    }

    // The folders without a handle changed since the last look.
    bool UnwatchedChanged() {
        uint64_t now = TakeSurvey(m_root, m_watched).fingerprint;
        bool changed = now != m_fingerprint;
        m_fingerprint = now;
        return changed;
    }

    // Re-arms a handle that fired. One that cannot be re-armed is closed (it would fire on and
    // on); the caller renews the set soon after anyway.
    void Rearm(size_t index) {
        if (index == 0 || index >= m_handles.size()) return;
        if (::FindNextChangeNotification(m_handles[index])) return;
        ::FindCloseChangeNotification(m_handles[index]);
        m_handles.erase(m_handles.begin() + static_cast<std::ptrdiff_t>(index));
    }

    const HANDLE* Handles() const { return m_handles.data(); }
    DWORD Count() const { return static_cast<DWORD>(m_handles.size()); }
    bool HasUnwatched() const { return m_unwatched; }

  private:
    void Close() {
        for (size_t i = 1; i < m_handles.size(); ++i)
            ::FindCloseChangeNotification(m_handles[i]);
        m_handles.resize(1);
        m_watched.clear();
        m_unwatched = false;
    }

    std::string m_root;
    std::vector<HANDLE> m_handles; // [0] the stop event
    std::vector<bool> m_watched;   // by survey index
    bool m_unwatched = false;
    uint64_t m_fingerprint = 0;
};

// Waits for changes until stopped or the record folder can no longer be watched; a burst is
// posted as one refresh once quiet.
void Watch(ExplorerThreadBlock& block, WatchSet& set) {
    bool pending = false;
    DWORD first = 0, last = 0;
    for (;;) {
        DWORD timeout = INFINITE;
        DWORD now = ::GetTickCount();
        if (pending) {
            DWORD quiet = now - last, burst = now - first;
            timeout = std::min(quiet >= kQuietMs ? 0 : kQuietMs - quiet,
                               burst >= kLongestBurstMs ? 0 : kLongestBurstMs - burst);
        } else if (set.HasUnwatched()) {
            timeout = kRescanMs;
        }
        DWORD r = ::WaitForMultipleObjects(set.Count(), set.Handles(), FALSE, timeout);
        if (r == WAIT_OBJECT_0) return; // stopped
        if (r > WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + set.Count()) {
            set.Rearm(r - WAIT_OBJECT_0);
            last = ::GetTickCount();
            if (!pending) first = last;
            pending = true;
            continue;
        }
        if (r != WAIT_TIMEOUT) return;
        if (!pending && !set.UnwatchedChanged()) continue;
        // Renewed before posting: what changes after the renewal fires again, what changed
        // before it the refresh sees.
        bool changedMeanwhile = false;
        bool armed = set.Arm(changedMeanwhile);
        ::PostMessageA(block.ownerWindow, WM_EXPLORER_UPDATETREE, 0, 0);
        if (!armed) return;
        pending = changedMeanwhile;
        first = last = ::GetTickCount();
    }
}

DWORD WINAPI UpdateThread(void* parameter) {
    vorlan::TraceFunction("CExplorer::UpdateThread");
    auto& block = *static_cast<ExplorerThreadBlock*>(parameter);
    HANDLE idle = block.idleEvent;
    {
        WatchSet set(block.stopEvent, block.folder);
        bool changedMeanwhile = false;
        if (set.Arm(changedMeanwhile)) {
            if (changedMeanwhile) ::PostMessageA(block.ownerWindow, WM_EXPLORER_UPDATETREE, 0, 0);
            Watch(block, set);
        }
    }
    return EndWorker(idle);
}

// ---- the preview ---------------------------------------------------------------------------

// The first page of a text or rich-text file, 8.2 x 11.6 inches.
constexpr RECT kPageTwips{0, 0, 11808, 16704};

// The thread's drawing surfaces, measured on the owner's screen DC.
class PreviewSurfaces {
  public:
    PreviewSurfaces(HWND owner, SIZE thumbnail) : m_thumbnailSize(thumbnail) {
        CClientDC screen(owner);
        m_pageSize = SIZE{::GetDeviceCaps(screen, LOGPIXELSX) * 82 / 10,
                          ::GetDeviceCaps(screen, LOGPIXELSY) * 116 / 10};
        m_page.Attach(::CreateCompatibleBitmap(screen, m_pageSize.cx, m_pageSize.cy));
        m_thumbnail.Attach(::CreateCompatibleBitmap(screen, std::max<LONG>(1, thumbnail.cx),
                                                    std::max<LONG>(1, thumbnail.cy)));
        m_pageDC = ::CreateCompatibleDC(screen);
        m_thumbnailDC = ::CreateCompatibleDC(screen);
        m_copyDC = ::CreateCompatibleDC(screen);
        if (m_pageDC && m_page.m_hObject) m_oldPage = ::SelectObject(m_pageDC, m_page.m_hObject);
        if (m_thumbnailDC && m_thumbnail.m_hObject)
            m_oldThumbnail = ::SelectObject(m_thumbnailDC, m_thumbnail.m_hObject);
    }
    ~PreviewSurfaces() {
        if (m_oldPage) ::SelectObject(m_pageDC, m_oldPage);
        if (m_oldThumbnail) ::SelectObject(m_thumbnailDC, m_oldThumbnail);
        for (HDC dc : {m_pageDC, m_thumbnailDC, m_copyDC})
            if (dc) ::DeleteDC(dc);
    }
    PreviewSurfaces(const PreviewSurfaces&) = delete;
    PreviewSurfaces& operator=(const PreviewSurfaces&) = delete;

    bool Ready() const { return m_oldPage && m_oldThumbnail && m_copyDC; }
    HDC Page() const { return m_pageDC; }
    SIZE PageSize() const { return m_pageSize; }
    HDC Thumbnail() const { return m_thumbnailDC; }
    RECT ThumbnailRect() const { return RECT{0, 0, m_thumbnailSize.cx, m_thumbnailSize.cy}; }

    // A bitmap of its own holding the thumbnail as it stands, for the GUI thread.
    HBITMAP CopyThumbnail() const {
        HBITMAP copy = ::CreateCompatibleBitmap(m_thumbnailDC, m_thumbnailSize.cx, m_thumbnailSize.cy);
        if (!copy) return nullptr;
        CSelectedObject selected(m_copyDC, copy);
        ::BitBlt(m_copyDC, 0, 0, m_thumbnailSize.cx, m_thumbnailSize.cy, m_thumbnailDC, 0, 0, SRCCOPY);
        return copy;
    }

  private:
    SIZE m_thumbnailSize;
    SIZE m_pageSize{};
    CBitmap m_page;
    CBitmap m_thumbnail;
    HDC m_pageDC = nullptr;
    HDC m_thumbnailDC = nullptr;
    HDC m_copyDC = nullptr;
    HGDIOBJ m_oldPage = nullptr;
    HGDIOBJ m_oldThumbnail = nullptr;
};

// Streams the file into the rich edit, draws its first page and scales it into the thumbnail.
bool RenderDocument(CRichEditCtrl& edit, PreviewSurfaces& surfaces, const std::string& path, bool rtf) {
    if (!edit.StreamInFile(path, rtf)) return false;

    HDC page = surfaces.Page();
    SIZE size = surfaces.PageSize();
    ::PatBlt(page, 0, 0, size.cx, size.cy, WHITENESS);
    FORMATRANGE range{};
    range.hdc = page;
    range.hdcTarget = page;
    range.rc = kPageTwips;
    range.rcPage = kPageTwips;
    range.chrg.cpMin = 0;
    range.chrg.cpMax = -1;
    long fitted =
        static_cast<long>(edit.SendMessage(EM_FORMATRANGE, FALSE, reinterpret_cast<LPARAM>(&range)));
    if (fitted > 0) {
        RECT band{0, 0, size.cx, size.cy};
        edit.SendMessage(EM_DISPLAYBAND, 0, reinterpret_cast<LPARAM>(&band));
    } else if (edit.GetTextLength() > 0) {
        // A control that formats no range (Wine's) paints its first screen at the page's size
        // instead: the page bitmap has the screen's resolution, so that is the first page.
        ::SetWindowPos(edit.m_hWnd, nullptr, 0, 0, size.cx, size.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
        edit.SendMessage(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(page), PRF_CLIENT);
    }
    edit.SendMessage(EM_FORMATRANGE, FALSE, 0); // lets the control drop what it kept of the page

    HDC thumbnail = surfaces.Thumbnail();
    RECT target = surfaces.ThumbnailRect();
    int oldMode = ::SetStretchBltMode(thumbnail, HALFTONE);
    POINT oldOrigin;
    ::SetBrushOrgEx(thumbnail, 0, 0, &oldOrigin);
    ::StretchBlt(thumbnail, 0, 0, target.right, target.bottom, page, 0, 0, size.cx, size.cy, SRCCOPY);
    ::SetBrushOrgEx(thumbnail, oldOrigin.x, oldOrigin.y, nullptr);
    ::SetStretchBltMode(thumbnail, oldMode);
    return true;
}

// Renders one entry; true when a thumbnail came out (then it is posted to the window).
bool RenderEntry(ExplorerThreadBlock& block, const ExplorerPreviewJob& job, const ExplorerListItem& entry,
                 CRichEditCtrl& edit, CImageViewer& viewer, PreviewSurfaces& surfaces) {
    std::string path = vorlan::JoinPath(job.listFolder, entry.fileName);
    if (path.empty()) return false; // refused, never cut
    bool drawn;
    if (vorlan::record::IsTextPreview(entry.fileName)) {
        drawn = edit.m_hWnd &&
                RenderDocument(edit, surfaces, path, vorlan::record::IsRichTextPreview(entry.fileName));
    } else {
        bool writeFailed = false;
        drawn = viewer.LoadThumbnail(job.thumbsFolder.c_str(), job.listFolder.c_str(), entry.fileName,
                                     surfaces.Thumbnail(), surfaces.ThumbnailRect(), &writeFailed) != 0;
        if (writeFailed) ::InterlockedExchange(&block.thumbnailWriteFailed, 1);
    }
    if (!drawn) return false;
    HBITMAP copy = surfaces.CopyThumbnail();
    if (!copy) return false;
    if (!::PostMessageA(block.ownerWindow, WM_EXPLORER_UPDATEWINDOW, static_cast<WPARAM>(entry.image),
                        reinterpret_cast<LPARAM>(copy))) {
        ::DeleteObject(copy);
        return false;
    }
    return true;
}

void RenderQueue(ExplorerThreadBlock& block, const ExplorerPreviewJob& job) {
    CRichEditCtrl edit;
    edit.Create(ES_MULTILINE | WS_HSCROLL | WS_VSCROLL, RECT{0, 0, 100, 100}, ::GetDesktopWindow(), 0);
    PreviewSurfaces surfaces(block.ownerWindow, job.thumbnailSize);
    CImageViewer viewer; // the thread's own: a viewer keeps the picture it loaded
    if (surfaces.Ready() && !Signalled(block.stopEvent)) {
        for (ExplorerListItem* entry : job.queue) {
            if (Signalled(block.stopEvent)) break;
            if (!entry || entry->rendered) continue;
            RenderEntry(block, job, *entry, edit, viewer, surfaces);
            ::InterlockedExchange(&entry->rendered, 1);
            if (Signalled(block.stopEvent)) break;
        }
    }
    if (edit.m_hWnd) edit.DestroyWindow();
}

DWORD WINAPI PreviewThread(void* parameter) {
    vorlan::TraceFunction("CExplorer::PreviewThread");
    auto& block = *static_cast<ExplorerThreadBlock*>(parameter);
    HANDLE idle = block.idleEvent;
    RenderQueue(block, *block.job);
    return EndWorker(idle);
}

} // namespace

ExplorerThreadBlock::ExplorerThreadBlock() {
    stopEvent = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    idleEvent = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

ExplorerThreadBlock::~ExplorerThreadBlock() {
    Stop();
    delete job;
    if (stopEvent) ::CloseHandle(stopEvent);
    if (idleEvent) ::CloseHandle(idleEvent);
}

void ExplorerThreadBlock::Stop() {
    if (!Signalled(idleEvent)) {
        ::SetEvent(stopEvent);
        // Without limit, yet serving what other threads send to this thread's windows meanwhile.
        fw::WaitServingSentMessages(thread, INFINITE);
    }
    // A thread that ended just before the signal leaves it set; the next one must not see it.
    ::ResetEvent(stopEvent);
    if (thread) {
        ::CloseHandle(thread);
        thread = nullptr;
    }
    if (!job) return;
    if (ownerWindow && ::GetWindowThreadProcessId(ownerWindow, nullptr) == ::GetCurrentThreadId())
        DiscardPostedThumbnails(ownerWindow, *job);
    // The entries may go once the thread has stopped: no pointer to them outlives the stop.
    job->queue.clear();
}

bool ExplorerThreadBlock::IsRunning() const {
    return !Signalled(idleEvent);
}

void StartWatchThread(ExplorerThreadBlock& block, HWND ownerWindow, CExplorer* owner,
                      const std::string& folder) {
    vorlan::TraceFunction("CExplorer::StartUpdateThread");
    block.Stop();
    StartOn(block, ownerWindow, owner, folder, UpdateThread, THREAD_PRIORITY_IDLE);
}

void StartPreviewThread(ExplorerThreadBlock& block, HWND ownerWindow, CExplorer* owner,
                        const ExplorerPreviewJob& job) {
    vorlan::TraceFunction("CExplorer::StartPreviewThread");
    block.Stop();
    if (!block.job) block.job = new ExplorerPreviewJob;
    *block.job = job;
    ::InterlockedExchange(&block.thumbnailWriteFailed, 0);
    StartOn(block, ownerWindow, owner, job.listFolder, PreviewThread, THREAD_PRIORITY_NORMAL);
}

bool TakeThumbnail(HIMAGELIST images, WPARAM slot, LPARAM bitmap) {
    auto* thumbnail = reinterpret_cast<HBITMAP>(bitmap);
    if (!thumbnail) return false;
    bool taken = false;
    int count = images ? ImageList_GetImageCount(images) : 0;
    if (slot < static_cast<WPARAM>(count)) {
        // Added with the default mask colour, copied over the slot, the added one removed.
        int added = ImageList_AddMasked(images, thumbnail, CLR_DEFAULT);
        if (added >= 0) {
            taken = ImageList_Copy(images, static_cast<int>(slot), images, added, ILCF_MOVE) != 0;
            ImageList_Remove(images, added);
        }
    }
    ::DeleteObject(thumbnail);
    return taken;
}

bool TakeThumbnailWriteFailure(ExplorerThreadBlock& block) {
    return ::InterlockedExchange(&block.thumbnailWriteFailed, 0) != 0;
}
