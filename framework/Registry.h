#pragma once
// Registry access of the program. In test mode both HKEY_LOCAL_MACHINE and
// HKEY_CURRENT_USER paths are redirected below the scratch key
// (HKCU\<scratch>\HKLM\... and HKCU\<scratch>\HKCU\...), so tests never touch real settings.

#include <windows.h>

#include <string>

namespace fw {

// RegOpenKeyEx or, with create, RegCreateKeyEx; returns the Win32 error code.
LONG RegOpen(HKEY root, const std::string& path, bool create, REGSAM access, HKEY* out);
// A REG_SZ value; false when the key, the value or the type is missing.
bool RegReadString(HKEY root, const std::string& path, const char* name, std::string& out);
bool RegWriteString(HKEY root, const std::string& path, const char* name, const std::string& value);
bool RegReadDword(HKEY root, const std::string& path, const char* name, DWORD& out);
bool RegWriteDword(HKEY root, const std::string& path, const char* name, DWORD value);
// A REG_BINARY value of at most 4096 bytes.
bool RegReadBinary(HKEY root, const std::string& path, const char* name, std::string& out);
bool RegWriteBinary(HKEY root, const std::string& path, const char* name, const std::string& value);
bool RegDeleteValue(HKEY root, const std::string& path, const char* name);
// A value of another program's key with its type, as saved to be put back. These values are
// read and written where that program looks for them: never redirected in test mode.
struct RegSavedValue {
    bool present = false;
    DWORD type = REG_NONE;
    std::string data;
};
// At most maxBytes of the value's data are kept (longer values are kept cut).
RegSavedValue RegSaveValue(HKEY root, const std::string& path, const char* name, DWORD maxBytes = 4096);
// Writes the value with its type, creating the key; false when that failed.
bool RegPutValue(HKEY root, const std::string& path, const char* name, const RegSavedValue& value);
// Puts a saved value back with its type; a value that was absent is removed again.
bool RegRestoreValue(HKEY root, const std::string& path, const char* name, const RegSavedValue& saved);

// The path the given root and path are redirected to ("" root key = no redirection).
std::string RegEffectivePath(HKEY root, const std::string& path, HKEY* effectiveRoot);
// Where root\path lies below a scratch key (under HKEY_CURRENT_USER) in test mode.
std::string RegScratchPath(const std::string& scratchKey, HKEY root, const std::string& path);

} // namespace fw
