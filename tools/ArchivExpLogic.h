#pragma once
// Paths of the archive export without Windows in them: where the launcher files and each
// ticked document go on the medium. Every path is built with bounds: one that would not fit
// kPathCapacity is refused, never cut.

#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// The launcher and its autorun file, copied from the program's folder to the archive root.
constexpr const char* kArchiveLauncher = "ARCHIV.EXE";
constexpr const char* kArchiveAutorun = "AUTORUN.INF";
// The folder under the archive root that holds the documents.
constexpr const char* kArchiveDocuments = "Archiv\\";

// The destination folder of a document: the texts of its tree ancestors from level 1 down,
// joined by '\', under the root (which ends in '\'). False (out empty) when it would not fit
// or a text is no plain folder name (empty, "." or "..", or holding \ / : * ? " < > | or a
// control character): such a text could lead the copy out of the archive.
bool ArchiveFolder(std::string_view root, const std::vector<std::string>& levels, std::string& out);

// Whether the text can stand as one folder or file name inside the archive.
bool IsPlainName(std::string_view text);

} // namespace vorlan
