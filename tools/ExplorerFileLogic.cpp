#include "tools/ExplorerFileLogic.h"
#include "framework/PathParts.h"
#include "tools/FolderPaths.h"

#include <cstdio>

namespace vorlan::explorerfiles {

namespace {

const char* NameOf(NewEntry entry) {
    switch (entry) {
    case NewEntry::Folder: return "Neuer Ordner";
    case NewEntry::TextDocument: return "Neues Textdokument.txt";
    case NewEntry::WordDocument: return "Neues Microsoft Word-Dokument.rtf";
    }
    return "";
}

// The folder without a trailing backslash, so that names starting with one are not doubled.
std::string_view Trimmed(std::string_view folder) {
    while (!folder.empty() && folder.back() == '\\')
        folder.remove_suffix(1);
    return folder;
}

std::string Numbered(std::string_view folder, const char* format, int number) {
    char name[64];
    std::snprintf(name, sizeof name, format, number);
    return std::string(Trimmed(folder)) + name;
}

} // namespace

bool NewEntryOfCommand(unsigned command, NewEntry& entry) {
    switch (command) {
    case 33039: entry = NewEntry::Folder; return true;
    case 33040: entry = NewEntry::TextDocument; return true;
    case 33041: entry = NewEntry::WordDocument; return true;
    default: return false;
    }
}

std::string NumberedName(std::string_view name, int k, bool folder) {
    if (k <= 1) return std::string(name);
    size_t dot = folder ? std::string_view::npos : name.find_last_of('.');
    if (dot == 0) dot = std::string_view::npos; // ".profile" is all stem
    std::string_view stem = name.substr(0, dot);
    std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
    return std::string(stem) + " (" + std::to_string(k) + ")" + std::string(extension);
}

std::string NewEntryPath(std::string_view folder, NewEntry entry, int attempt) {
    return std::string(Trimmed(folder)) + "\\" +
           NumberedName(NameOf(entry), attempt, entry == NewEntry::Folder);
}

std::string_view NewEntryContent(NewEntry entry) {
    return entry == NewEntry::WordDocument ? std::string_view("{\\rtf}") : std::string_view();
}

std::string PastedPicturePath(std::string_view folder, int number) {
    return Numbered(folder, "\\Bild aus Zwischenablage %d.jpg", number);
}

std::string PastedTextPath(std::string_view folder, int number) {
    return Numbered(folder, "\\Text aus Zwischenablage %d.txt", number);
}

LabelCheck CheckLabel(std::string_view label) {
    if (label.empty()) return LabelCheck::Empty;
    if (label == "." || label == "..") return LabelCheck::DotName;
    for (char c : label) {
        if (static_cast<unsigned char>(c) < 32) return LabelCheck::BadCharacter;
        switch (c) {
        case '\\':
        case '/':
        case ':':
        case '*':
        case '?':
        case '"':
        case '<':
        case '>':
        case '|': return LabelCheck::BadCharacter;
        default: break;
        }
    }
    return LabelCheck::Ok;
}

std::string RenamedPath(std::string_view oldPath, std::string_view label, bool folder) {
    std::string name = fw::FileNameOf(oldPath);
    std::string path = fw::FolderOf(oldPath) + "\\" + std::string(label);
    size_t dot = name.find_last_of('.');
    if (!folder && dot != std::string::npos) path += name.substr(dot);
    return path;
}

void AppendPathToBlock(std::string& block, std::string_view path) {
    if (!block.empty()) block.pop_back();
    block.append(path.data(), path.size());
    block.push_back('\0');
    block.push_back('\0');
}

std::vector<std::string> SplitPathBlock(std::string_view block) {
    std::vector<std::string> paths;
    size_t start = 0;
    while (start < block.size()) {
        size_t end = block.find('\0', start);
        if (end == std::string_view::npos) end = block.size();
        if (end == start) break;
        paths.emplace_back(block.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

} // namespace vorlan::explorerfiles
