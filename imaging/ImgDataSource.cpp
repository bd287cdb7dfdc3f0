#include "imaging/ImgDataSource.h"
#include "imaging/ImgBitmap.h"

#ifdef _WIN32
#include "framework/FileHandle.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <string>

void ImgDataSource::OpenCommon(const char* name, const uint8_t* data, int32_t size) {
    m_strName = name ? name : "";
    m_pData = data;
    m_nSize = size;
    m_nConsumed = 0;
}

void ImgDataSource::Close() {
    if (m_pProgress) m_pProgress->OnProgress(1.0);
    m_strName.clear();
    m_pData = nullptr;
    m_nSize = m_nConsumed = 0;
}

const uint8_t* ImgDataSource::GetBufferPtr(int32_t) {
    return m_pData + m_nConsumed;
}

const uint8_t* ImgDataSource::ReadNBytes(int32_t count) {
    if (count < 0 || count > GetBytesLeft())
        throw ImgTextException(kImgEndOfData, "End of file reached while decoding.\n");
    const uint8_t* at = m_pData + m_nConsumed;
    int32_t before = m_nConsumed;
    m_nConsumed += count;
    if (m_pProgress && before / 1024 != m_nConsumed / 1024)
        m_pProgress->OnProgress(static_cast<double>(m_nConsumed) / m_nSize);
    return at;
}

const uint8_t* ImgDataSource::ReadEverything() {
    return m_pData + m_nConsumed;
}

int32_t ImgMemSource::Open(const void* data, size_t size) {
    if (size > static_cast<size_t>(kImgMaxBytes)) return kImgOutOfMemory;
    OpenCommon("Mem", static_cast<const uint8_t*>(data), static_cast<int32_t>(size));
    return 0;
}

void ImgFileSource::Close() {
    ImgDataSource::Close();
    std::vector<uint8_t>().swap(m_data);
}

#ifdef _WIN32

namespace {

int32_t OpenFailure(DWORD error) {
    switch (error) {
    case ERROR_PATH_NOT_FOUND: return kImgPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return kImgAccessDenied;
    default: return kImgCannotOpen;
    }
}

} // namespace

int32_t ImgFileSource::Open(const char* path) {
    CFileHandle file(::CreateFileA(path ? path : "", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_SEQUENTIAL_SCAN | FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return OpenFailure(::GetLastError());
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size)) return kImgAccessDenied;
    if (size.QuadPart == 0) return kImgEndOfData;
    if (size.QuadPart > kImgMaxBytes) return kImgOutOfMemory;
    try {
        m_data.assign(static_cast<size_t>(size.QuadPart), 0);
    } catch (const std::bad_alloc&) {
        return kImgOutOfMemory;
    }
    DWORD got = 0;
    if (!::ReadFile(file, m_data.data(), static_cast<DWORD>(m_data.size()), &got, nullptr) ||
        got != m_data.size()) {
        std::vector<uint8_t>().swap(m_data);
        return kImgAccessDenied;
    }
    OpenCommon(path, m_data.data(), static_cast<int32_t>(m_data.size()));
    return 0;
}

int32_t ImgResourceSource::Open(HMODULE module, int id, const char* type) {
    HRSRC found =
        ::FindResourceA(module, MAKEINTRESOURCEA(id), type ? type : MAKEINTRESOURCEA(10)); // RT_RCDATA
    m_hResource = found ? ::LoadResource(module, found) : nullptr;
    const void* data = m_hResource ? ::LockResource(m_hResource) : nullptr;
    if (!data) return kImgCannotOpen;
    DWORD size = ::SizeofResource(module, found);
    if (size > static_cast<DWORD>(kImgMaxBytes)) return kImgOutOfMemory;
    OpenCommon(("Resource: " + std::to_string(id)).c_str(), static_cast<const uint8_t*>(data),
               static_cast<int32_t>(size));
    return 0;
}

void ImgResourceSource::Close() {
    ImgDataSource::Close();
    if (m_hResource) ::FreeResource(m_hResource);
    m_hResource = nullptr;
}

#else

namespace {

int32_t OpenFailure(int error, const std::string& path) {
    if (error == EACCES || error == EPERM) return kImgAccessDenied;
    if (error == ENOTDIR) return kImgPathNotFound;
    if (error == ENOENT) {
        // A missing folder is "path not found", a missing file in an existing folder is not.
        size_t slash = path.find_last_of('/');
        std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
        struct stat info {};
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return kImgPathNotFound;
    }
    return kImgCannotOpen;
}

} // namespace

int32_t ImgFileSource::Open(const char* path) {
    std::string name = path ? path : "";
    int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return OpenFailure(errno, name);
    struct stat info {};
    int32_t result = 0;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode))
        result = kImgCannotOpen;
    else if (info.st_size == 0)
        result = kImgEndOfData;
    else if (info.st_size > kImgMaxBytes)
        result = kImgOutOfMemory;
    if (result == 0) {
        try {
            m_data.assign(static_cast<size_t>(info.st_size), 0);
        } catch (const std::bad_alloc&) {
            result = kImgOutOfMemory;
        }
    }
    for (size_t done = 0; result == 0 && done < m_data.size();) {
        ssize_t got = ::read(fd, m_data.data() + done, m_data.size() - done);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0)
            result = kImgAccessDenied;
        else
            done += static_cast<size_t>(got);
    }
    ::close(fd);
    if (result != 0) {
        std::vector<uint8_t>().swap(m_data);
        return result;
    }
    OpenCommon(name.c_str(), m_data.data(), static_cast<int32_t>(m_data.size()));
    return 0;
}

#endif
