#pragma once
// Root of the image layer's classes and the one exception every failure of the layer throws
// (by value; callers catch it by reference).

#include <cstdint>
#include <string>

class ImgObject {
  public:
    virtual ~ImgObject() = default;
    virtual void AssertValid() const {}
};

// Codes: 1 not this format, 2 bad data inside a known format, 3 path not found, 4 file or
// resource could not be opened, 5 access denied, 6 format or variant not supported,
// 7 unsupported feature of a supported format, 8 unknown file type, 10 out of memory,
// 11 end of data.
class ImgTextException : public ImgObject {
  public:
    ImgTextException(int32_t code, std::string text) : m_nCode(code), m_strText(std::move(text)) {}
    virtual int32_t GetCode() const { return m_nCode; }
    virtual const char* GetText() const { return m_strText.c_str(); }

  private:
    int32_t m_nCode;
    std::string m_strText;
};

enum ImgErrorCode : int32_t {
    kImgWrongFormat = 1,
    kImgBadData = 2,
    kImgPathNotFound = 3,
    kImgCannotOpen = 4,
    kImgAccessDenied = 5,
    kImgNotSupported = 6,
    kImgFeatureNotSupported = 7,
    kImgUnknownType = 8,
    kImgOutOfMemory = 10,
    kImgEndOfData = 11,
};
