#pragma once
// Where a decoder reads its bytes from: a file, a block in memory or a resource of a module.
// A decoder takes bytes with ReadNBytes, which never hands out a pointer to more bytes than
// the source holds.

#include "imaging/ImgObject.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Told how far a decode has come (0 to 1).
class ImgProgressNotification {
  public:
    virtual ~ImgProgressNotification() = default;
    virtual void OnProgress(double fractionDone) = 0;
};

class ImgDataSource : public ImgObject {
  public:
    ~ImgDataSource() override = default;

    // Calls the notification with 1 and forgets the name.
    virtual void Close();
    // The current position, nothing consumed. Only GetBytesLeft() bytes from it exist, however
    // many are asked for.
    virtual const uint8_t* GetBufferPtr(int32_t minBytes);
    // The current position; consumes count bytes. Code 11 before anything is consumed when
    // count is negative or more than is left.
    virtual const uint8_t* ReadNBytes(int32_t count);
    // The current position; the rest is the decoder's.
    virtual const uint8_t* ReadEverything();

    const char* GetName() const { return m_strName.c_str(); }
    int32_t GetSize() const { return m_nSize; }
    int32_t GetBytesConsumed() const { return m_nConsumed; }
    int32_t GetBytesLeft() const { return m_nSize - m_nConsumed; }
    void SetProgressNotification(ImgProgressNotification* progress) { m_pProgress = progress; }
    ImgProgressNotification* GetProgressNotification() const { return m_pProgress; }

  protected:
    virtual void OpenCommon(const char* name, const uint8_t* data, int32_t size);

  private:
    std::string m_strName;
    const uint8_t* m_pData = nullptr;
    int32_t m_nSize = 0;
    int32_t m_nConsumed = 0;
    ImgProgressNotification* m_pProgress = nullptr;
};

// The whole file is read at open: a share that goes away while a picture is decoded then
// cannot fault the decoder's reads.
class ImgFileSource : public ImgDataSource {
  public:
    // 0, or 3 (no such folder), 4 (cannot open), 5 (access denied, locked, unreadable),
    // 10 (too large) or 11 (empty).
    int32_t Open(const char* path);
    void Close() override;

  private:
    std::vector<uint8_t> m_data;
};

class ImgMemSource : public ImgDataSource {
  public:
    // 0, or 10 when the block is larger than a source can be. The block stays the caller's.
    int32_t Open(const void* data, size_t size);
};

#ifdef _WIN32
class ImgResourceSource : public ImgDataSource {
  public:
    // 0, or 4 when the resource is not there. Without a type RT_RCDATA.
    int32_t Open(HMODULE module, int id, const char* type = nullptr);
    void Close() override;

  private:
    HGLOBAL m_hResource = nullptr;
};
#endif
