#pragma once
// Writing to a serial or parallel port, such as a customer display, a cash drawer or the
// receipt printer on LPT1: only names that can only be devices are opened, and only ports
// that exist.

#include "framework/FileHandle.h"
#include "framework/PortName.h"

#include <cstddef>

// Lays the line settings the record gives over the port's own.
void ApplyPortLine(DCB& dcb, const fw::PortLine& line);

class CPortWriter {
  public:
    // False for a name that is no port (fw::IsDevicePortName) or a port that cannot be opened.
    bool Open(const char* name);
    // False when the port is no serial port or refuses the settings; previous, when given,
    // receives the settings the port had.
    bool SetLine(const fw::PortLine& line, DCB* previous = nullptr);
    // True when every byte went out.
    bool Write(const void* data, size_t size);
    // Reads end after `total` milliseconds, or `interval` milliseconds after the last byte.
    bool SetReadTimeouts(unsigned total, unsigned interval);
    // One read of up to `size` bytes; `got` holds how many came (NUL bytes included).
    bool Read(void* data, size_t size, size_t& got);
    void Close() { m_port.Close(); }
    bool IsOpen() const { return m_port.IsOpen(); }

    // Opens the port, writes and closes it again; a port that cannot be opened is skipped.
    static bool WriteOnce(const char* name, const void* data, size_t size);

  private:
    CFileHandle m_port;
};
