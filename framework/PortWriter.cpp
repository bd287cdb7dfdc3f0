#include "framework/PortWriter.h"

#include "framework/PortName.h"

#include <string>

bool CPortWriter::Open(const char* name) {
    Close();
    std::string path = fw::DevicePath(name ? name : "");
    if (path.empty()) return false;
    m_port.Attach(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return IsOpen();
}

bool CPortWriter::Write(const void* data, size_t size) {
    if (!IsOpen()) return false;
    DWORD written = 0;
    return ::WriteFile(m_port, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}
