#pragma once
// The records behind the record explorer's tree and thumbnail list, and the messages its
// worker threads post to the explorer window.

#include <windows.h>
#include <commctrl.h>

#include <string>

// Kinds of a tree entry (bits).
enum ExplorerKind : int {
    kExplorerServer = 0x1,       // server entry of level 1 or 2
    kExplorerLevel1 = 0x2,
    kExplorerLevel2 = 0x4,
    kExplorerFirst = 0x10,       // level-2 entry flagged to stay on top
    kExplorerFolder = 0x100,     // folder on disk
    kExplorerFile = 0x200,       // file on disk
    kExplorerDocument = 0x800,   // server document (level 3); on level 2: has documents
    kExplorerKindLevel1 = 0x3,
    kExplorerKindLevel2 = 0x5,
    kExplorerKindLevel2First = 0x15,
    kExplorerKindDocument = 0x900,
};

// Permissions of a server entry (bits): what the user may not do with it and below it.
enum ExplorerPermission : int {
    kExplorerNoDelete = 0x1,
    kExplorerNoCopy = 0x2,
    kExplorerNoCut = 0x4,
    kExplorerNoPaste = 0x8,
    kExplorerNoRename = 0x10,
};

// Pending work on a tree entry after the next refresh of its parent.
enum ExplorerPending : int {
    kExplorerPendingEdit = 0x1,
    kExplorerPendingExpand = 0x2,
};

// Entries the explorer never shows.
constexpr DWORD kSkippedAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_TEMPORARY;

// One per tree item, pointed to by the item's data; deleting the item frees it.
struct ExplorerItem {
    int kind = 0;
    int permissions = 0;
    int pending = 0;
    int extension = -1; // offset of the last '.' in a file's name, -1 when none or no file
    std::string text;   // the server text sent as %EXPLORER; empty when none
    std::string name;   // the key's first piece, or the file or folder name
};

// One per thumbnail list entry. The preview thread writes only `rendered`.
struct ExplorerListItem {
    bool folder = false;
    HTREEITEM treeItem = nullptr;
    int image = -1;     // slot in the thumbnail image list
    int listIndex = -1;
    volatile LONG rendered = 0;
    char fileName[MAX_PATH] = {};
};

// Posted by the watch thread: something changed below the record folder.
constexpr UINT WM_EXPLORER_UPDATETREE = 0x464;
// Posted by the preview thread: wParam the image-list slot whose thumbnail is ready, lParam
// the thumbnail (an HBITMAP the receiver owns); the image list belongs to the GUI thread.
constexpr UINT WM_EXPLORER_UPDATEWINDOW = 0x465;
