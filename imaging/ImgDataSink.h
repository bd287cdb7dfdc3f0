#pragma once
// Where an encoder writes: a buffer of fixed capacity. The file sink writes the buffer out in
// one go when it is closed.

#include "imaging/ImgObject.h"

#include <cstdint>
#include <cstdio>
#include <string>

class ImgDataSink : public ImgObject {
  public:
    ~ImgDataSink() override = default;

    // Code 11 "Buffer overflow while encoding." when count bytes would pass the capacity.
    int32_t Write(int32_t count, const uint8_t* bytes);
    virtual void Close();

    int32_t GetBytesWritten() const { return m_nWritten; }
    int32_t GetCapacity() const { return m_nCapacity; }
    const char* GetName() const { return m_strName.c_str(); }

  protected:
    void Open(const char* name, uint8_t* buffer, int32_t capacity);

  private:
    uint8_t* m_pBuffer = nullptr;
    int32_t m_nWritten = 0;
    std::string m_strName;
    int32_t m_nCapacity = 0;
};

class ImgFileSink : public ImgDataSink {
  public:
    ~ImgFileSink() override;

    // 0, or -1 when the file or the buffer cannot be had.
    int32_t Open(const char* path, int32_t capacity);
    // Writes what was encoded. A file that could not be written whole is removed and code -1
    // thrown.
    void Close() override;
    // Gives up: the file is closed and removed, so no partial picture is left behind.
    void Abandon();

  private:
    FILE* m_pFile = nullptr;
    uint8_t* m_pOwnBuffer = nullptr;
    std::string m_strPath;
};
