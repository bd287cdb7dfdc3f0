#pragma once
// Writing to a serial or parallel port, such as a customer display: only names that can
// only be devices are opened, and only ports that exist.

#include "framework/FileHandle.h"

#include <cstddef>

class CPortWriter {
  public:
    // False for a name that is no port (fw::IsDevicePortName) or a port that cannot be opened.
    bool Open(const char* name);
    // True when every byte went out.
    bool Write(const void* data, size_t size);
    void Close() { m_port.Close(); }
    bool IsOpen() const { return m_port.IsOpen(); }

  private:
    CFileHandle m_port;
};
