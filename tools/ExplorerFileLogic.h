#pragma once
// The record explorer's file commands without Windows in them: the names of new entries and
// pasted files, the free-name rule, the bounded paths, the check of a new label and the
// blocks of paths the shell is handed.

#include "tools/FolderPaths.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan::explorerfiles {

// How many names a new entry tries: the plain one, then " (2)" to " (10)".
constexpr int kNewEntryTries = 10;
// The highest number a pasted picture or text is given in a folder.
constexpr int kMaxPasteNumber = 65534;
// A paste target with its backslash and a name must stay under the system's 260.
constexpr size_t kPasteTargetLimit = 259;

enum class NewEntry { Folder, TextDocument, WordDocument };

// 33039 folder, 33040 text document, 33041 Word document; false for any other command.
bool NewEntryOfCommand(unsigned command, NewEntry& entry);
// Try `attempt` (1..kNewEntryTries) in the folder: "\Neuer Ordner", "\Neues Textdokument.txt"
// or "\Neues Microsoft Word-Dokument.rtf", from the second try on with " (k)" before the
// extension.
std::string NewEntryPath(std::string_view folder, NewEntry entry, int attempt);
// What a new document holds: nothing, or an empty rich text.
std::string_view NewEntryContent(NewEntry entry);

// The name with " (k)" before its extension (a folder's whole name is its stem); the name
// itself for k = 1.
std::string NumberedName(std::string_view name, int k, bool folder);
// How many names a pasted or imported file tries beside the one it has.
constexpr int kMaxCopyNumber = 9999;

// "\Bild aus Zwischenablage <n>.jpg" and "\Text aus Zwischenablage <n>.txt" in the folder.
std::string PastedPicturePath(std::string_view folder, int number);
std::string PastedTextPath(std::string_view folder, int number);

enum class LabelCheck { Ok, Empty, BadCharacter, DotName };

// A new name typed for a file or folder: no \ / : * ? " < > | or control character, and
// not "." or "..", which would move the entry out of its folder.
LabelCheck CheckLabel(std::string_view label);
// The path after renaming: the old folder, the label and, for a file, the old extension
// (from the last '.' of its name).
std::string RenamedPath(std::string_view oldPath, std::string_view label, bool folder);

// A block of full paths: each ended by a NUL, the whole by one more. The block may start
// empty or as that single NUL.
void AppendPathToBlock(std::string& block, std::string_view path);
// The paths of a block, up to its first empty one and never past its end.
std::vector<std::string> SplitPathBlock(std::string_view block);

} // namespace vorlan::explorerfiles
