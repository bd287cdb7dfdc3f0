#pragma once
// The file copy dialog of the server's FILESORT request: an open dialog over the source
// folder. With a destination the user collects files in a list below the standard controls
// (dropped there from the shell) and moves them into the destination with the copy button;
// without one it is a viewer that opens the chosen file with its program and stays open.

#include "framework/Controls.h"
#include "framework/FileDialog.h"
#include "framework/TestMode.h"
#include "tools/FileDropTarget.h"

#include <commctrl.h>

#include <string>
#include <vector>

class CFileCopy : public CFileDialog {
  public:
    // destination null or empty: the viewer, which alone takes the filter. The destination
    // (for the viewer the source) folder is created.
    CFileCopy(HWND owner, const char* caption, const char* source, const char* destination, const char* text,
              const char* filter);

    // 1 after the listed files were moved into the destination, else 0.
    int ResultFlag() const { return m_nResultFlag; }
    // Test mode runs the real dialog and, once it stands, the script's steps: "drop:PATH"
    // drops the file on the list, "cmd:ID" presses a button, "set:ID=TEXT" sets a text.
    // Whatever the steps leave open is closed; recorded as "filecopy".
    int RunScripted() override;

    // The list of files to copy: subclassed, in report view with the columns "Datei" and
    // "Pfad", the drop target registered on it.
    void OnRegister(HWND list);
    // From the drop target while a drag is over the list.
    DROPEFFECT OnDragEnter(COleDataObject* data);
    DROPEFFECT OnDragOver() const { return m_bAccept ? DROPEFFECT_COPY : DROPEFFECT_NONE; }
    void OnDragLeave() { m_bAccept = false; }
    bool OnDrop();

  protected:
    UINT_PTR OnHookMessage(HWND hook, UINT msg, WPARAM wParam, LPARAM lParam) override;
    const char* ScriptName() const override { return "filecopy"; }

  private:
    void Layout();
    void LayoutViewer();
    UINT_PTR OnNotify(const NMHDR* header);
    UINT_PTR OnFileOk(const OFNOTIFYA* note);
    void OnCopy();
    void DeleteSelected();
    void OnDragOutMove();
    void OnDragOutEnd();
    bool IsOverList() const;
    void RunScript();
    void DropFile(const std::string& path);
    std::string EntryPath(int item) const;
    bool IsListed(const std::string& path) const;
    std::string RecordText() const;

    std::string m_destination, m_text;
    bool m_bCopy;
    CListCtrl m_list;
    CFileDropTarget m_dropTarget{this};
    bool m_bImages = false;
    // The file dragged over the list, and whether it may be dropped there.
    struct DraggedFile {
        std::string path, displayName;
        int icon = -1;
    } m_dragged;
    bool m_bAccept = false;
    std::vector<std::string> m_paths; // the entries' files, by their item data
    int m_nDragItem = -1;             // the entry being dragged out of the list
    int m_nResultFlag = 0;
    bool m_bScripted = false;
    std::vector<fw::DialogStep> m_script;
    std::string m_record;
};
