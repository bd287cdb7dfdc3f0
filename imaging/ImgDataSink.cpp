#include "imaging/ImgDataSink.h"
#include "imaging/ImgPictureDecoder.h"

#include <cstring>
#include <new>

void ImgDataSink::Open(const char* name, uint8_t* buffer, int32_t capacity) {
    m_strName = name ? name : "";
    m_pBuffer = buffer;
    m_nCapacity = capacity;
    m_nWritten = 0;
}

int32_t ImgDataSink::Write(int32_t count, const uint8_t* bytes) {
    if (count < 0 || int64_t(m_nWritten) + count > m_nCapacity)
        throw ImgTextException(kImgEndOfData, "Buffer overflow while encoding.\n");
    std::memcpy(m_pBuffer + m_nWritten, bytes, static_cast<size_t>(count));
    m_nWritten += count;
    return count;
}

void ImgDataSink::Close() {
    m_strName.clear();
    m_pBuffer = nullptr;
    m_nWritten = 0;
}

ImgFileSink::~ImgFileSink() { Abandon(); }

int32_t ImgFileSink::Open(const char* path, int32_t capacity) {
    Abandon();
    if (!path || capacity < 0) return -1;
    m_pOwnBuffer = new (std::nothrow) uint8_t[static_cast<size_t>(capacity) + 1];
    if (!m_pOwnBuffer) return -1;
    m_pFile = std::fopen(path, "wb");
    if (!m_pFile) {
        delete[] m_pOwnBuffer;
        m_pOwnBuffer = nullptr;
        return -1;
    }
    m_strPath = path;
    ImgDataSink::Open(path, m_pOwnBuffer, capacity);
    return 0;
}

void ImgFileSink::Close() {
    if (!m_pFile) return;
    size_t count = static_cast<size_t>(GetBytesWritten());
    bool ok = std::fwrite(m_pOwnBuffer, 1, count, m_pFile) == count;
    ok = std::fclose(m_pFile) == 0 && ok;
    m_pFile = nullptr;
    delete[] m_pOwnBuffer;
    m_pOwnBuffer = nullptr;
    ImgDataSink::Close();
    std::string path;
    path.swap(m_strPath);
    if (!ok) {
        std::remove(path.c_str());
        ImgPictureDecoder::RaiseError(kImgOutputFailed, "Writing %s failed", path.c_str());
    }
}

void ImgFileSink::Abandon() {
    if (m_pFile) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
        std::remove(m_strPath.c_str());
    }
    delete[] m_pOwnBuffer;
    m_pOwnBuffer = nullptr;
    m_strPath.clear();
    ImgDataSink::Close();
}
