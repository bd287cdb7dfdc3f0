#include "framework/PortWriter.h"

#include "framework/PortName.h"

#include <string>

bool CPortWriter::Open(const char* name) {
    Close();
    std::string path = fw::DevicePath(name ? name : "");
    if (path.empty()) return false;
    // Reading the line settings back needs read access (Wine refuses GetCommState without
    // it); a device that only takes writes is still written.
    for (DWORD access : {GENERIC_READ | GENERIC_WRITE, DWORD{GENERIC_WRITE}}) {
        m_port.Attach(::CreateFileA(path.c_str(), access, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        if (IsOpen()) return true;
    }
    return false;
}

bool CPortWriter::Write(const void* data, size_t size) {
    if (!IsOpen()) return false;
    DWORD written = 0;
    return ::WriteFile(m_port, data, static_cast<DWORD>(size), &written, nullptr) && written == size;
}

bool CPortWriter::SetReadTimeouts(unsigned total, unsigned interval) {
    if (!IsOpen()) return false;
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = interval;
    t.ReadTotalTimeoutConstant = total;
    return ::SetCommTimeouts(m_port, &t) != 0;
}

bool CPortWriter::Read(void* data, size_t size, size_t& got) {
    got = 0;
    if (!IsOpen()) return false;
    DWORD read = 0;
    BOOL ok = ::ReadFile(m_port, data, static_cast<DWORD>(size), &read, nullptr);
    got = read;
    return ok != FALSE;
}

void ApplyPortLine(DCB& dcb, const fw::PortLine& line) {
    if (line.baud > 0) dcb.BaudRate = static_cast<DWORD>(line.baud);
    if (line.stopBits >= 0) dcb.StopBits = static_cast<BYTE>(line.stopBits);
    if (line.byteSize >= 0) dcb.ByteSize = static_cast<BYTE>(line.byteSize);
    if (line.parity >= 0) {
        dcb.Parity = static_cast<BYTE>(line.parity);
        dcb.fParity = line.parity != NOPARITY;
    }
}

bool CPortWriter::SetLine(const fw::PortLine& line, DCB* previous) {
    if (!IsOpen()) return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(m_port, &dcb)) return false;
    if (previous) *previous = dcb;
    ApplyPortLine(dcb, line);
    return ::SetCommState(m_port, &dcb) != 0;
}

bool CPortWriter::WriteOnce(const char* name, const void* data, size_t size) {
    CPortWriter port;
    return port.Open(name) && port.Write(data, size);
}
