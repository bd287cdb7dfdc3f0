#include "tools/ExplorerFiles.h"
#include "framework/App.h"
#include "framework/Clipboard.h"
#include "framework/FileDialog.h"
#include "framework/FileHandle.h"
#include "framework/Gdi.h"
#include "framework/PathParts.h"
#include "framework/ShellFiles.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgJPEGEncoder.h"
#include "imaging/ImgWinBitmap.h"
#include "resources/ToolsIds.h"
#include "tools/DIB.h"
#include "tools/ExplorerFileLogic.h"
#include "tools/FileDropTarget.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

namespace ef = vorlan::explorerfiles;

namespace {

const char kPathTooLong[] = "Der Pfad ist zu lang (260 Zeichen oder mehr).";
const char kPictureNotSaved[] = "Bild konnte nicht gespeichert werden!";
const char kTextNotSaved[] = "Text konnte nicht gespeichert werden!";
const char kNotCreated[] = "Der neue Eintrag konnte nicht angelegt werden.";
const char kBadLabel[] = "Ein Name darf keines der folgenden Zeichen enthalten:\n\\ / : * ? \" < > |\n"
                         "Auch \".\" und \"..\" sind als Name nicht m\xf6glich.";
const char kNameInUse[] = "Es gibt hier bereits eine Datei oder einen Ordner mit diesem Namen.";
const char kAskRecycle[] = "Sollen die ausgew\xe4hlten Eintr\xe4ge in den Papierkorb verschoben werden?";
const char kAskDelete[] = "Sollen die ausgew\xe4hlten Eintr\xe4ge endg\xfcltig gel\xf6scht werden?";
const char kImportFilter[] = "Alle Dateien (*.*)|*.*||";
constexpr size_t kImportNameBuffer = 65535;
constexpr UINT kCommandCopy = 57634;
constexpr UINT kCommandCut = 57635;
// A metafile played larger than this many pixels is not a clipboard picture worth a page.
constexpr long long kMaxPastedPixels = 16LL * 1024 * 1024;

int g_nExplorers = 0;
int g_nStoredCommand = 0;
std::string g_storedFiles;

bool IsFolder(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
    DWORD written = 0;
    return bytes.empty() ||
           (::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
            written == bytes.size());
}

// What trying a name gave: it was taken, it is ours now, or the disk refused it (a full or
// read-only disk, no rights), when trying further names is of no use.
enum class Claim { Taken, Mine, Failed };

// Makes a new file with the content under the name, never replacing one; nothing is left
// when it could not be written.
Claim ClaimFile(const std::string& path, std::string_view content) {
    if (CFileDropTarget::NameTaken(path)) return Claim::Taken;
    bool written;
    {
        CFileHandle file(
            ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsOpen()) {
            DWORD error = ::GetLastError();
            return error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? Claim::Taken : Claim::Failed;
        }
        written = WriteAll(file, content);
    }
    if (written) return Claim::Mine;
    ::DeleteFileA(path.c_str());
    return Claim::Failed;
}

Claim ClaimFolder(const std::string& path) {
    if (CFileDropTarget::NameTaken(path)) return Claim::Taken;
    if (CFileDropTarget::MakeDirectory(path.c_str())) return Claim::Mine;
    return ::GetLastError() == ERROR_ALREADY_EXISTS ? Claim::Taken : Claim::Failed;
}

// The first free name of first..last that the claim makes ours. A claim the disk refuses ends
// the search with `failed` set and no path.
vorlan::FreeName ClaimName(int last, const std::function<std::string(int)>& candidate,
                           const std::function<Claim(const std::string&)>& claim, std::string& path, bool& failed) {
    failed = false;
    vorlan::FreeName result = vorlan::ClaimFirstFree(
        1, last, candidate,
        [&](const std::string& p) {
            Claim c = claim(p);
            failed = c == Claim::Failed;
            return c != Claim::Taken;
        },
        path);
    if (failed) path.clear();
    return result;
}

// The shell's operation on a list of paths; true when it reports success and nothing was
// aborted. `to` is one path, or with FOF_MULTIDESTFILES one per source.
bool ShellOperation(HWND owner, UINT function, const std::vector<std::string>& from,
                    const std::vector<std::string>& to, FILEOP_FLAGS flags) {
    if (from.empty()) return false;
    std::string fromList = fw::ShellPathList(from);
    std::string toList = to.empty() ? std::string() : fw::ShellPathList(to);
    SHFILEOPSTRUCTA op{};
    op.hwnd = owner;
    op.wFunc = function;
    op.pFrom = fromList.c_str();
    op.pTo = toList.empty() ? nullptr : toList.c_str();
    op.fFlags = flags;
    return ::SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

// Copies or moves the files into the folder, each under its own name or, where that is
// taken, the first free "name (k)": nothing there is replaced, and no question is asked.
// (The shell's own renaming on collision is not there on every system.) False after the
// message when a name would not fit.
bool TransferInto(HWND owner, UINT function, const std::vector<std::string>& files, const std::string& folder,
                  FILEOP_FLAGS flags) {
    std::string into = folder;
    while (!into.empty() && into.back() == '\\')
        into.pop_back();
    std::vector<std::string> targets;
    for (const std::string& file : files) {
        std::string name = fw::FileNameOf(file);
        bool isFolder = IsFolder(file);
        std::string target;
        vorlan::FreeName result = vorlan::ClaimFirstFree(
            1, ef::kMaxCopyNumber, [&](int k) { return into + "\\" + ef::NumberedName(name, k, isFolder); },
            [&](const std::string& p) {
                return !CFileDropTarget::NameTaken(p) && std::find(targets.begin(), targets.end(), p) == targets.end();
            },
            target);
        if (result == vorlan::FreeName::TooLong) AfxMessageBox(kPathTooLong, MB_OK | MB_ICONEXCLAMATION);
        if (result != vorlan::FreeName::Ok) return false;
        targets.push_back(target);
    }
    return ShellOperation(owner, function, files, targets, flags | FOF_MULTIDESTFILES | FOF_NOCONFIRMMKDIR);
}

// ---- the clipboard's picture ----

// A 32-bit bottom-up packed bitmap of the size, pixels zero; empty when memory is short.
std::vector<uint8_t> Packed32(int width, int height) {
    CDIB empty;
    return empty.Create(width, height, 32) ? empty.GetPacked() : std::vector<uint8_t>();
}

bool SizeUsable(long long width, long long height) {
    return width > 0 && height > 0 && width * height <= kMaxPastedPixels;
}

// The metafile played on white into a bitmap of its bounds.
bool PlayMetafile(HENHMETAFILE picture, std::vector<uint8_t>& packed) {
    ENHMETAHEADER header{};
    if (!::GetEnhMetaFileHeader(picture, sizeof header, &header)) return false;
    long long width = static_cast<long long>(header.rclBounds.right) - header.rclBounds.left + 1;
    long long height = static_cast<long long>(header.rclBounds.bottom) - header.rclBounds.top + 1;
    if (!SizeUsable(width, height)) return false;
    packed = Packed32(static_cast<int>(width), static_cast<int>(height));
    if (packed.empty()) return false;
    void* bits = nullptr;
    CBitmap section;
    section.m_hObject = ::CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(packed.data()),
                                           DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section.m_hObject || !bits) return false;
    CMemoryDC dc;
    bool played;
    {
        CSelectedObject selected(dc, section);
        RECT all{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
        ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        played = ::PlayEnhMetaFile(dc, picture, &all) != 0;
        ::GdiFlush();
    }
    std::memcpy(packed.data() + sizeof(BITMAPINFOHEADER), bits, packed.size() - sizeof(BITMAPINFOHEADER));
    return played;
}

// The clipboard's device-independent bitmap at 32 bits: the encoder takes no other depth.
bool DibAt32(HANDLE dib, std::vector<uint8_t>& packed) {
    CDIB picture, wide;
    if (!picture.CreateFromHandle(static_cast<HGLOBAL>(dib)) || !picture.ConvertTo32(wide)) return false;
    packed = wide.GetPacked();
    return true;
}

// A device-dependent bitmap's pixels at 32 bits, for bitmaps whose packed form the
// converter does not take (16 bits, say).
bool BitmapAt32(HBITMAP bitmap, std::vector<uint8_t>& packed) {
    BITMAP info{};
    if (!::GetObjectA(bitmap, sizeof info, &info) || !SizeUsable(info.bmWidth, info.bmHeight)) return false;
    packed = Packed32(info.bmWidth, info.bmHeight);
    if (packed.empty()) return false;
    CClientDC screen(nullptr);
    return ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight),
                       packed.data() + sizeof(BITMAPINFOHEADER), reinterpret_cast<BITMAPINFO*>(packed.data()),
                       DIB_RGB_COLORS) == info.bmHeight;
}

// The clipboard (opened) as a picture: its metafile first, else its bitmap.
bool ClipboardPicture(std::vector<uint8_t>& packed) {
    if (HANDLE picture = ::GetClipboardData(CF_ENHMETAFILE))
        if (PlayMetafile(static_cast<HENHMETAFILE>(picture), packed)) return true;
    if (::IsClipboardFormatAvailable(CF_DIB))
        if (HANDLE dib = ::GetClipboardData(CF_DIB))
            if (DibAt32(dib, packed)) return true;
    if (HANDLE bitmap = ::GetClipboardData(CF_BITMAP))
        if (BitmapAt32(static_cast<HBITMAP>(bitmap), packed)) return true;
    return false;
}

// The first free name of the kind in the folder, made as a file with the content; empty after
// the message for a path that is too long or a file the disk refused (or when no number is
// free).
std::string ClaimPastedName(const std::string& folder, std::string (*name)(std::string_view, int),
                            std::string_view content, const char* notSaved) {
    std::string path;
    bool failed;
    vorlan::FreeName result = ClaimName(
        ef::kMaxPasteNumber, [&](int n) { return name(folder, n); },
        [&](const std::string& p) { return ClaimFile(p, content); }, path, failed);
    if (failed) AfxMessageBox(notSaved, MB_OK | MB_ICONEXCLAMATION);
    else if (result == vorlan::FreeName::TooLong) AfxMessageBox(kPathTooLong, MB_OK | MB_ICONEXCLAMATION);
    return path;
}

std::string SavePicture(const std::string& folder, const std::vector<uint8_t>& packed) {
    std::string path = ClaimPastedName(folder, ef::PastedPicturePath, {}, kPictureNotSaved);
    if (path.empty()) return {};
    try {
        ImgWinBitmap bitmap;
        bitmap.CreateFromBitmapInfo(packed.data(), packed.size());
        ImgJPEGEncoder encoder;
        encoder.SetQuality(90);
        encoder.EncodeFile(path.c_str(), &bitmap);
        return path;
    } catch (const ImgTextException&) {
    }
    ::DeleteFileA(path.c_str()); // the name was ours; nothing half-written stays
    AfxMessageBox(kPictureNotSaved, MB_OK | MB_ICONEXCLAMATION);
    return {};
}

std::string SaveText(const std::string& folder, const std::string& text) {
    return ClaimPastedName(folder, ef::PastedTextPath, text, kTextNotSaved);
}

// Decodes the file as a picture and puts it on the clipboard; nothing when it is none.
void PutPictureOnClipboard(HWND owner, const std::string& path) {
    try {
        ImgWinBitmap picture;
        ImgAnyDecoder decoder;
        decoder.DecodeFile(path.c_str(), &picture, 0);
        if (picture.GetWidth() > 0 && picture.GetHeight() > 0) picture.CopyToClipboard(owner);
    } catch (const ImgTextException&) {
    }
}

} // namespace

void AppendToFileBlock(std::string& block, const std::string& path) {
    ef::AppendPathToBlock(block, path);
}

void CExplorerFiles::AddExplorer() {
    ++g_nExplorers;
}

void CExplorerFiles::RemoveExplorer() {
    if (--g_nExplorers > 0) return;
    g_nExplorers = 0;
    g_storedFiles.clear();
    g_nStoredCommand = 0;
}

int CExplorerFiles::StoredCommand() {
    return g_nStoredCommand;
}

const std::string& CExplorerFiles::StoredFiles() {
    return g_storedFiles;
}

void CExplorerFiles::Store(HWND owner, const std::string& block, int command) {
    g_storedFiles = block;
    g_nStoredCommand = command;
    for (const std::string& path : ef::SplitPathBlock(block)) {
        if (IsFolder(path)) continue;
        PutPictureOnClipboard(owner, path);
        break;
    }
}

bool CExplorerFiles::PasteStored(HWND owner, const std::string& target) {
    std::vector<std::string> files = ef::SplitPathBlock(g_storedFiles);
    int command = g_nStoredCommand;
    if (files.empty() || (command != kCommandCopy && command != kCommandCut)) return false;
    if (target.empty()) return false;
    if (target.size() >= ef::kPasteTargetLimit) {
        AfxMessageBox(kPathTooLong, MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
    CFileDropTarget::MakeDirectory(target.c_str());
    if (!IsFolder(target)) return false;
    bool done = TransferInto(owner, command == kCommandCut ? FO_MOVE : FO_COPY, files, target, 0);
    if (command == kCommandCut) {
        g_storedFiles.clear();
        g_nStoredCommand = 0;
    }
    return done;
}

std::string CreateNewEntry(HWND, const std::string& folder, UINT command) {
    ef::NewEntry entry;
    if (!ef::NewEntryOfCommand(command, entry)) return {};
    std::string path;
    bool failed;
    vorlan::FreeName result = ClaimName(
        ef::kNewEntryTries, [&](int k) { return ef::NewEntryPath(folder, entry, k); },
        [&](const std::string& p) {
            return entry == ef::NewEntry::Folder ? ClaimFolder(p) : ClaimFile(p, ef::NewEntryContent(entry));
        },
        path, failed);
    if (failed) {
        AfxMessageBox(kNotCreated, MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    switch (result) {
    case vorlan::FreeName::Ok: return path;
    case vorlan::FreeName::TooLong: AfxMessageBox(kPathTooLong, MB_OK | MB_ICONEXCLAMATION); break;
    case vorlan::FreeName::NoneFree: AfxMessageBox(IDS_EXPLORER_NO_NEW_NAME, MB_OK | MB_ICONEXCLAMATION); break;
    }
    return {};
}

bool ImportFiles(HWND owner, const std::string& folder) {
    CFileDialog dialog(true, nullptr, nullptr, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST,
                       kImportFilter, owner);
    dialog.SetFileBufferSize(kImportNameBuffer);
    if (dialog.DoModal() != IDOK) return false;
    return TransferInto(owner, FO_COPY, dialog.GetSelectedPaths(), folder,
                        FOF_NOCONFIRMATION | FOF_RENAMEONCOLLISION);
}

bool CanPasteClipboard() {
    return ::IsClipboardFormatAvailable(CF_TEXT) || ::IsClipboardFormatAvailable(CF_BITMAP) ||
           ::IsClipboardFormatAvailable(CF_DIB) || ::IsClipboardFormatAvailable(CF_ENHMETAFILE);
}

std::string PasteClipboardAsFile(HWND owner, const std::string& folder) {
    std::vector<uint8_t> picture;
    std::string text;
    bool isPicture = false, isText = false;
    {
        fw::OpenedClipboard clipboard(owner);
        if (!clipboard) return {};
        isPicture = ClipboardPicture(picture);
        if (!isPicture && ::IsClipboardFormatAvailable(CF_TEXT)) {
            text = fw::ReadGlobalText(::GetClipboardData(CF_TEXT));
            isText = true;
        }
    }
    // The clipboard is closed before anything is written or shown.
    if (isPicture) return SavePicture(folder, picture);
    if (isText) return SaveText(folder, text);
    return {};
}

// The question is ours, not the shell's: every question the program asks goes through the
// application object.
bool RecycleFiles(HWND owner, const std::string& block, bool allowUndo) {
    std::vector<std::string> files = ef::SplitPathBlock(block);
    if (files.empty()) return false;
    if (AfxMessageBox(allowUndo ? kAskRecycle : kAskDelete, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    return ShellOperation(owner, FO_DELETE, files, {},
                          FOF_NOCONFIRMATION | FOF_SILENT | (allowUndo ? FOF_ALLOWUNDO : 0));
}

std::string RenameFile(HWND owner, const std::string& path, const std::string& label) {
    switch (ef::CheckLabel(label)) {
    case ef::LabelCheck::Ok: break;
    case ef::LabelCheck::Empty: return {};
    case ef::LabelCheck::BadCharacter:
    case ef::LabelCheck::DotName: AfxMessageBox(kBadLabel, MB_OK | MB_ICONEXCLAMATION); return {};
    }
    std::string renamed = ef::RenamedPath(path, label, IsFolder(path));
    if (!vorlan::PathFits(renamed)) {
        AfxMessageBox(kPathTooLong, MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    if (renamed == path) return renamed;
    // Another entry of that name stays as it is; a change of case only is the same file.
    if (::lstrcmpiA(renamed.c_str(), path.c_str()) != 0 && CFileDropTarget::NameTaken(renamed)) {
        AfxMessageBox(kNameInUse, MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    if (!ShellOperation(owner, FO_RENAME, {path}, {renamed}, FOF_SILENT | FOF_NOCONFIRMATION)) return {};
    return renamed;
}
