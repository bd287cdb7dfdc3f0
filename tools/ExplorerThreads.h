#pragma once
// The record explorer's two workers: the watch thread reports changes below the record folder
// (WM_EXPLORER_UPDATETREE), the preview thread renders the thumbnails of the list's entries
// (WM_EXPLORER_UPDATEWINDOW). Only the GUI thread starts and stops them, always by stopping
// first and waiting, so at most one of each kind runs per explorer.

#include "tools/ExplorerItems.h"

#include <string>
#include <vector>

class CExplorer;
struct ExplorerPreviewJob;

// One per worker, kept by the explorer.
struct ExplorerThreadBlock {
    HWND ownerWindow = nullptr;
    HANDLE thread = nullptr;
    HANDLE stopEvent = nullptr; // auto-reset, made non-signalled
    HANDLE idleEvent = nullptr; // manual-reset, signalled whenever no thread runs
    CExplorer* owner = nullptr;
    char folder[MAX_PATH] = {};
    // Set by the preview thread when a thumbnail could not be written to the cache.
    volatile LONG thumbnailWriteFailed = 0;
    // The preview thread's job; kept here until the next start so that Stop can give back
    // what the thread posted and the window has not taken yet.
    ExplorerPreviewJob* job = nullptr;

    ExplorerThreadBlock();
    ~ExplorerThreadBlock();
    ExplorerThreadBlock(const ExplorerThreadBlock&) = delete;
    ExplorerThreadBlock& operator=(const ExplorerThreadBlock&) = delete;

    // Signals the stop event when a thread runs and waits for it to end. Called on the owner
    // window's thread after a preview run, it also removes the thumbnails posted but not yet
    // taken (their bitmaps freed, their entries marked unrendered again, so that a restart
    // renders them anew): none is lost or leaks when the window goes.
    void Stop();
    bool IsRunning() const;
};

// What the preview thread renders: the entries in queue order, files of listFolder (with its
// trailing backslash), thumbnails cached under thumbsFolder (with it; empty: no cache).
struct ExplorerPreviewJob {
    std::string listFolder;
    std::string thumbsFolder;
    SIZE thumbnailSize{120, 120};
    std::vector<ExplorerListItem*> queue;
};

// Starts the watch thread on the folder (stopping a running one first), at idle priority.
// A folder that cannot be watched ends the thread at once.
void StartWatchThread(ExplorerThreadBlock& block, HWND ownerWindow, CExplorer* owner,
                      const std::string& folder);
// Starts the preview thread on the job (stopping a running one first). The job's entries must
// stay unchanged until the block is stopped.
void StartPreviewThread(ExplorerThreadBlock& block, HWND ownerWindow, CExplorer* owner,
                        const ExplorerPreviewJob& job);

// The GUI thread's side of WM_EXPLORER_UPDATEWINDOW: puts the posted thumbnail into the image
// list at its slot and frees the bitmap. False when nothing was put in.
bool TakeThumbnail(HIMAGELIST images, WPARAM slot, LPARAM bitmap);
// True once after a thumbnail of the last preview run could not be written to the cache
// (the explorer tells the user once per fill); clears the mark.
bool TakeThumbnailWriteFailure(ExplorerThreadBlock& block);
