#include "tools/ScanPage.h"
#include "app/Session.h"
#include "framework/App.h"
#include "framework/PathParts.h"
#include "framework/Wnd.h"
#include "framework/LoadedLibrary.h"
#include "imaging/ImgJPEGEncoder.h"
#include "imaging/ImgWinBitmap.h"
#include "resources/ScanIds.h"
#include "tools/BarcodeLibrary.h"
#include "tools/DIB.h"
#include "tools/FileDropTarget.h"
#include "tools/FolderPaths.h"
#include "tools/ScanLogic.h"

#include <vector>

namespace {

void MakeFolderOf(const std::string& path) {
    std::string folder = fw::FolderOf(path);
    if (!folder.empty()) CFileDropTarget::MakeDirectory(folder.c_str());
}

// A full path for the page, told by the server or the picture field: none gives the message,
// one too long for the system is refused; its folder is made.
std::string UsablePath(const std::string& path, UINT messageWhenNone) {
    if (path.empty()) {
        AfxMessageBox(messageWhenNone, MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    if (!vorlan::PathFits(path)) {
        AfxMessageBox(IDS_SCAN_PATH_TOO_LONG, MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    MakeFolderOf(path);
    return path;
}

// The page's barcode through the library, or empty after its message.
bool ReadBarcode(const std::vector<uint8_t>& packed, std::string& barcode) {
    CLoadedLibrary library(kBarcodeLibraryName);
    auto read = library ? library.Entry<QSBarReadDIBProc>(kBarcodeReadEntry) : nullptr;
    if (!read) {
        AfxMessageBox(IDS_SCAN_NO_BARCODE_LIBRARY, MB_OK | MB_ICONSTOP);
        return false;
    }
    char text[256] = {};
    int32_t length = read(packed.data(), static_cast<uint32_t>(packed.size()), text, sizeof text);
    barcode = length > 0 && length < static_cast<int32_t>(sizeof text)
                  ? std::string(text, static_cast<size_t>(length))
                  : std::string();
    return true;
}

// The server's path for the page's barcode; empty after a message.
std::string AssignedPath(const std::vector<uint8_t>& packed) {
    std::string barcode;
    if (!ReadBarcode(packed, barcode)) return {};
    std::string function = TheSession().Execute(vorlan::scan::ScanFunctionLine()).str();
    std::string line = vorlan::scan::AssignLine(function, barcode);
    return UsablePath(line.empty() ? std::string() : TheSession().Execute(line).str(), IDS_SCAN_NOT_ASSIGNED);
}

std::string TargetPath(const ScanPageTarget& target) {
    if (target.windowTextPath)
        return UsablePath(target.targetWindow ? fw::WindowText(target.targetWindow) : std::string(),
                          IDS_SCAN_NOT_SAVED);
    if (!vorlan::PathFits(target.folder)) {
        AfxMessageBox(IDS_SCAN_PATH_TOO_LONG, MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    CFileDropTarget::MakeDirectory(target.folder.c_str());
    std::string path;
    switch (vorlan::scan::FreePagePath(target.folder, CFileDropTarget::NameTaken, path)) {
    case vorlan::FreeName::Ok: return path;
    case vorlan::FreeName::TooLong:
        AfxMessageBox(IDS_SCAN_PATH_TOO_LONG, MB_OK | MB_ICONEXCLAMATION);
        break;
    case vorlan::FreeName::NoneFree:
        AfxMessageBox(IDS_SCAN_NOT_SAVED, MB_OK | MB_ICONEXCLAMATION);
        break;
    }
    return {};
}

} // namespace

std::string SaveScannedPage(HANDLE dib, const ScanPageTarget& target) {
    CDIB page;
    CDIB page32;
    if (!page.CreateFromHandle(dib) || !page.ConvertTo32(page32)) {
        AfxMessageBox(IDS_SCAN_NOT_PROCESSED, MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    std::vector<uint8_t> packed = page32.GetPacked();
    std::string path = target.barcode ? AssignedPath(packed) : TargetPath(target);
    if (path.empty()) return {};

    ImgWinBitmap bitmap;
    try {
        bitmap.CreateFromBitmapInfo(packed.data(), packed.size());
    } catch (const ImgTextException&) {
        AfxMessageBox(IDS_SCAN_NOT_SAVED, MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    bool written = true;
    try {
        ImgJPEGEncoder encoder;
        encoder.EncodeFile(path.c_str(), &bitmap);
    } catch (const ImgTextException&) {
        written = false;
    }
    // The picture field shows the file it names, whether or not it could be written anew.
    if (target.targetWindow && ::IsWindow(target.targetWindow))
        ::SetWindowTextA(target.targetWindow, path.c_str());
    if (!written) {
        AfxMessageBox(IDS_SCAN_NOT_SAVED, MB_OK | MB_ICONEXCLAMATION);
        return {};
    }
    return path;
}
