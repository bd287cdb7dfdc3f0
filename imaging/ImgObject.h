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

// Its code is one of ImgErrorCode.
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
    kImgWrongFormat = 1, // not this format
    kImgBadData = 2,     // bad data inside a known format
    kImgPathNotFound = 3,
    kImgCannotOpen = 4, // a file or resource
    kImgAccessDenied = 5,
    kImgNotSupported = 6,        // a format or variant
    kImgFeatureNotSupported = 7, // of a supported format
    kImgUnknownType = 8,         // of file
    kImgOutOfMemory = 10,
    kImgEndOfData = 11,
};
