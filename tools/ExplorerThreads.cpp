#include "tools/ExplorerThreads.h"

// Stand-in until the workers come: nothing runs, so nothing needs stopping.

ExplorerThreadBlock::ExplorerThreadBlock() {
    stopEvent = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    idleEvent = ::CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

ExplorerThreadBlock::~ExplorerThreadBlock() {
    Stop();
    if (stopEvent) ::CloseHandle(stopEvent);
    if (idleEvent) ::CloseHandle(idleEvent);
}

void ExplorerThreadBlock::Stop() {}

bool ExplorerThreadBlock::IsRunning() const { return false; }

void StartWatchThread(ExplorerThreadBlock&, HWND, CExplorer*, const std::string&) {}

void StartPreviewThread(ExplorerThreadBlock&, HWND, CExplorer*, const ExplorerPreviewJob&) {}

bool TakeThumbnail(HIMAGELIST, WPARAM, LPARAM bitmap) {
    if (bitmap) ::DeleteObject(reinterpret_cast<HBITMAP>(bitmap));
    return false;
}

bool TakeThumbnailWriteFailure(ExplorerThreadBlock&) { return false; }
