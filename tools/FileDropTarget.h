#pragma once
// The drop target of the file copy dialog's list, which takes files dragged from the shell,
// and the path functions that the workplace tools and form services share.

#include "framework/OleDragDrop.h"

#include <string>

class CFileCopy;

class CFileDropTarget : public COleDropTarget {
  public:
    explicit CFileDropTarget(CFileCopy* owner = nullptr) : m_pFileCopy(owner) {}

    // Creates the folder and every missing parent, without touching the current directory.
    // Non-zero when the folder itself was created now; zero with the system's last error
    // otherwise (ERROR_ALREADY_EXISTS for a folder that was there).
    static int MakeDirectory(const char* path);
    // The source with "%vorlan%" as the program file's path and "%program%" as its folder,
    // into a buffer of 260 characters (may be the source). A result that does not fit is
    // refused: false, and the destination empty.
    static bool TranslateDirectory(const char* source, char* destination);
    // Whether a file or folder of that name is there, or may be: anything the system cannot
    // look at counts as taken, so a locked file is never overwritten.
    static bool NameTaken(const std::string& path);

    // Only drags over the registered list reach the dialog.
    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
    bool OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;

  private:
    bool IsMine(const CWnd* wnd) const { return m_pFileCopy && wnd && wnd == m_pRegisteredWnd; }
    CFileCopy* m_pFileCopy;
};
