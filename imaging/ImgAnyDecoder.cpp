#include "imaging/ImgAnyDecoder.h"
#include "framework/FileHandle.h"
#include "framework/Gdi.h"
#include "imaging/ImgDib.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

[[noreturn]] void FailOpening(DWORD error, const std::string& what) {
    int32_t code = error == ERROR_PATH_NOT_FOUND                                      ? kImgPathNotFound
                   : error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION ? kImgAccessDenied
                                                                                      : kImgCannotOpen;
    throw ImgTextException(code, what + " konnte nicht geöffnet werden.");
}

} // namespace

void ImgPictureDecoder::DecodeFile(const char* path, ImgWinBitmap* bitmap) {
    std::string name = std::string("Die Datei ") + (path ? path : "");
    CFileHandle file(::CreateFileA(path ? path : "", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) FailOpening(::GetLastError(), name);
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) FailOpening(::GetLastError(), name);
    if (size.QuadPart > 0x40000000) throw ImgTextException(kImgOutOfMemory, "Die Bilddatei ist zu groß.");
    std::vector<uint8_t> data(static_cast<size_t>(size.QuadPart));
    DWORD got = 0;
    if (!data.empty() && (!::ReadFile(file, data.data(), static_cast<DWORD>(data.size()), &got, nullptr) ||
                          got != data.size()))
        throw ImgTextException(kImgEndOfData, name + " konnte nicht ganz gelesen werden.");
    DoDecode(data.data(), data.size(), bitmap);
}

void ImgPictureDecoder::DecodeResource(HMODULE module, int id, ImgWinBitmap* bitmap, const char* type) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), type ? type : MAKEINTRESOURCEA(10));
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data)
        throw ImgTextException(kImgCannotOpen,
                               "Die Ressource " + std::to_string(id) + " konnte nicht geöffnet werden.");
    DoDecode(static_cast<const uint8_t*>(data), ::SizeofResource(module, found), bitmap);
}

void ImgPictureDecoder::DecodeMemory(const void* data, size_t size, ImgWinBitmap* bitmap) {
    DoDecode(static_cast<const uint8_t*>(data), size, bitmap);
}

void ImgAnyDecoder::DoDecode(const uint8_t* data, size_t size, ImgWinBitmap* bitmap) {
    if (!img::HasBmpSignature(data, size))
        throw ImgTextException(kImgUnknownType, "Das Bildformat wird nicht unterstützt: "
                                                "gelesen werden bisher nur Windows-Bitmaps (BMP).");
    img::BmpLayout layout = img::ReadBmpLayout(data, size);
    // GDI wants the header aligned: a copy of header, masks and colour table in words.
    std::vector<uint32_t> info((layout.infoSize + 3) / 4 + 1, 0);
    std::memcpy(info.data(), data + layout.infoOffset, layout.infoSize);
    auto* bmi = reinterpret_cast<const BITMAPINFO*>(info.data());
    CBitmap ddb;
    ddb.Attach(::CreateDIBitmap(CClientDC(nullptr), &bmi->bmiHeader, CBM_INIT, data + layout.bitsOffset, bmi,
                                DIB_RGB_COLORS));
    if (!ddb.m_hObject) throw ImgTextException(kImgBadData, "Die BMP-Datei konnte nicht gelesen werden.");
    bitmap->CreateFromHBitmap(ddb);
}
