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

class ImgTextException : public ImgObject {
  public:
    // Also resets the process error mode, which a decoder may have left changed.
    ImgTextException(int32_t code, const char* text);
    ImgTextException(int32_t code, const std::string& text) : ImgTextException(code, text.c_str()) {}
    ImgTextException(const ImgTextException& other);
    ImgTextException& operator=(const ImgTextException& other);
    ~ImgTextException() override;

    virtual int32_t GetCode() const { return m_nCode; }
    virtual const char* GetText() const { return m_pszText; }

  private:
    int32_t m_nCode;
    char* m_pszText;
};

// The codes an ImgTextException carries.
enum ImgErrorCode : int32_t {
    kImgOutputFailed = -1, // an output file could not be opened
    kImgWrongFormat = 1,   // not this format
    kImgBadData = 2,       // bad data inside a known format
    kImgPathNotFound = 3,
    kImgCannotOpen = 4, // a file or resource
    kImgAccessDenied = 5,
    kImgNotSupported = 6,        // a format or variant
    kImgFeatureNotSupported = 7, // of a supported format
    kImgUnknownType = 8,         // of file
    kImgOutOfMemory = 10,
    kImgEndOfData = 11,
};
