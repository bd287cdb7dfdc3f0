#include "tools/ExplorerFiles.h"

// Stand-in until the file commands come: every command does nothing.

void AppendToFileBlock(std::string& block, const std::string& path) {
    if (!block.empty()) block.pop_back();
    block += path;
    block.push_back('\0');
    block.push_back('\0');
}

namespace {
int g_nExplorers = 0;
int g_nStoredCommand = 0;
std::string g_storedFiles;
} // namespace

void CExplorerFiles::AddExplorer() { ++g_nExplorers; }

void CExplorerFiles::RemoveExplorer() {
    if (--g_nExplorers > 0) return;
    g_nExplorers = 0;
    g_storedFiles.clear();
    g_nStoredCommand = 0;
}

int CExplorerFiles::StoredCommand() { return g_nStoredCommand; }

const std::string& CExplorerFiles::StoredFiles() { return g_storedFiles; }

void CExplorerFiles::Store(HWND, const std::string& block, int command) {
    g_storedFiles = block;
    g_nStoredCommand = command;
}

bool CExplorerFiles::PasteStored(HWND, const std::string&) { return false; }

std::string CreateNewEntry(HWND, const std::string&, UINT) { return {}; }

bool ImportFiles(HWND, const std::string&) { return false; }

bool CanPasteClipboard() { return false; }

std::string PasteClipboardAsFile(HWND, const std::string&) { return {}; }

bool RecycleFiles(HWND, const std::string&, bool) { return false; }

std::string RenameFile(HWND, const std::string&, const std::string&) { return {}; }
