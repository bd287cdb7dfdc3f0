#pragma once
// Writing to a serial or parallel port, such as a customer display: only names that can
// only be devices are opened, and only ports that exist.

#include <windows.h>

#include <cstddef>

class CPortWriter {
  public:
    CPortWriter() = default;
    ~CPortWriter() { Close(); }
    CPortWriter(const CPortWriter&) = delete;
    CPortWriter& operator=(const CPortWriter&) = delete;

    // False for a name that is no port (fw::IsDevicePortName) or a port that cannot be opened.
    bool Open(const char* name);
    // True when every byte went out.
    bool Write(const void* data, size_t size);
    void Close();
    bool IsOpen() const { return m_hPort != INVALID_HANDLE_VALUE; }

  private:
    HANDLE m_hPort = INVALID_HANDLE_VALUE;
};
