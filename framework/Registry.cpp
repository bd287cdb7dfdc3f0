#include "framework/Registry.h"
#include "framework/TestMode.h"

#include <vector>

namespace fw {

std::string RegScratchPath(const std::string& scratchKey, HKEY root, const std::string& path) {
    return scratchKey + (root == HKEY_LOCAL_MACHINE ? "\\HKLM\\" : "\\HKCU\\") + path;
}

std::string RegEffectivePath(HKEY root, const std::string& path, HKEY* effectiveRoot) {
    *effectiveRoot = root;
    if (!TestMode::IsOn()) return path;
    *effectiveRoot = HKEY_CURRENT_USER;
    return RegScratchPath(TestMode::ScratchKey(), root, path);
}

LONG RegOpen(HKEY root, const std::string& path, bool create, REGSAM access, HKEY* out) {
    HKEY r;
    std::string p = RegEffectivePath(root, path, &r);
    if (create) return ::RegCreateKeyExA(r, p.c_str(), 0, nullptr, 0, access, nullptr, out, nullptr);
    return ::RegOpenKeyExA(r, p.c_str(), 0, access, out);
}

bool RegReadString(HKEY root, const std::string& path, const char* name, std::string& out) {
    HKEY key;
    if (RegOpen(root, path, false, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, size = 0;
    bool ok = false;
    if (::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS && type == REG_SZ) {
        std::vector<char> buf(size + 1, '\0');
        if (::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()), &size) ==
            ERROR_SUCCESS) {
            buf[size] = '\0'; // a stored value need not carry its terminator
            out = buf.data();
            ok = true;
        }
    }
    ::RegCloseKey(key);
    return ok;
}

bool RegWriteString(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key;
    if (RegOpen(root, path, true, KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    LONG rc = ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1));
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool RegReadDword(HKEY root, const std::string& path, const char* name, DWORD& out) {
    HKEY key;
    if (RegOpen(root, path, false, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD type = 0, value = 0, size = sizeof(value);
    LONG rc = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_DWORD) return false;
    out = value;
    return true;
}

bool RegReadBinary(HKEY root, const std::string& path, const char* name, std::string& out) {
    HKEY key;
    if (RegOpen(root, path, false, KEY_READ, &key) != ERROR_SUCCESS) return false;
    std::string value(4096, '\0');
    DWORD type = 0, size = static_cast<DWORD>(value.size());
    LONG rc = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value[0]), &size);
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS || type != REG_BINARY) return false;
    value.resize(size);
    out = value;
    return true;
}

bool RegWriteBinary(HKEY root, const std::string& path, const char* name, const std::string& value) {
    HKEY key;
    if (RegOpen(root, path, true, KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    LONG rc = ::RegSetValueExA(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(value.data()),
                               static_cast<DWORD>(value.size()));
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool RegWriteDword(HKEY root, const std::string& path, const char* name, DWORD value) {
    HKEY key;
    if (RegOpen(root, path, true, KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    LONG rc = ::RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool RegDeleteValue(HKEY root, const std::string& path, const char* name) {
    HKEY key;
    if (RegOpen(root, path, false, KEY_WRITE, &key) != ERROR_SUCCESS) return false;
    LONG rc = ::RegDeleteValueA(key, name);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

RegSavedValue RegSaveValue(HKEY root, const std::string& path, const char* name, DWORD maxBytes) {
    RegSavedValue saved;
    HKEY key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return saved;
    // Read whole (it may grow between the calls), keep its beginning.
    DWORD type = 0, size = 0;
    LONG rc = ::RegQueryValueExA(key, name, nullptr, &type, nullptr, &size);
    std::string data;
    for (int attempt = 0; rc == ERROR_SUCCESS && attempt < 3; ++attempt) {
        data.assign(size, '\0');
        rc = ::RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
        if (rc != ERROR_MORE_DATA) break;
        rc = ERROR_SUCCESS;
    }
    ::RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return saved;
    data.resize(size);
    if (data.size() > maxBytes) data.resize(maxBytes);
    saved.present = true;
    saved.type = type;
    saved.data = data;
    return saved;
}

bool RegPutValue(HKEY root, const std::string& path, const char* name, const RegSavedValue& value) {
    HKEY key;
    if (::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG rc = ::RegSetValueExA(key, name, 0, value.type, reinterpret_cast<const BYTE*>(value.data.data()),
                               static_cast<DWORD>(value.data.size()));
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS;
}

bool RegRestoreValue(HKEY root, const std::string& path, const char* name, const RegSavedValue& saved) {
    if (saved.present) return RegPutValue(root, path, name, saved);
    HKEY key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_WRITE, &key) != ERROR_SUCCESS) return true;
    LONG rc = ::RegDeleteValueA(key, name);
    ::RegCloseKey(key);
    return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

} // namespace fw
