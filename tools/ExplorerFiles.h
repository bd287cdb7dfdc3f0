#pragma once
// The record explorer's file commands, on paths: new folders and documents, import, the
// clipboard pasted as a file, copy/cut/paste of files, rename and delete into the recycle bin.
// Every failure the user must know of is told through the application object.

#include <windows.h>

#include <string>

// A block of full paths, each ended by a NUL, the whole ended by an empty string.
void AppendToFileBlock(std::string& block, const std::string& path);

// The program-wide list of the last copy or cut, shared by all explorers. The last explorer
// to go frees it.
class CExplorerFiles {
  public:
    static void AddExplorer();
    static void RemoveExplorer();
    // 57634 copy, 57635 cut, 0 none.
    static int StoredCommand();
    static const std::string& StoredFiles();
    // Replaces the stored list; the first selected file that is a picture also goes onto the
    // clipboard as a device-independent bitmap.
    static void Store(HWND owner, const std::string& block, int command);
    // Copies or moves the stored list into target (made when missing), a taken name getting
    // the first free "name (k)". After a cut the list is discarded. True when the shell did it.
    static bool PasteStored(HWND owner, const std::string& target);
};

// 33039 folder, 33040 text document, 33041 Word document in folder under the first free
// name. Returns the path made, or empty (string 59 told) when no name was free.
std::string CreateNewEntry(HWND owner, const std::string& folder, UINT command);
// The open-file dialog with multi-selection; the files chosen are copied into folder.
// True when something was copied.
bool ImportFiles(HWND owner, const std::string& folder);
// Whether the clipboard holds text, a bitmap or an enhanced metafile.
bool CanPasteClipboard();
// The clipboard's picture as a JPEG, or its text as a text file, under the first free name in
// folder. Returns the path written, or empty.
std::string PasteClipboardAsFile(HWND owner, const std::string& folder);
// Deletes the block's files into the recycle bin (allowUndo false: for good) once the user
// said yes to the question.
bool RecycleFiles(HWND owner, const std::string& block, bool allowUndo);
// Renames the file or folder at path to label (its extension kept). Returns the new path, or
// empty when the label is refused or the shell failed.
std::string RenameFile(HWND owner, const std::string& path, const std::string& label);
