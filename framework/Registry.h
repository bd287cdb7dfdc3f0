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
// The path the given root and path are redirected to ("" root key = no redirection).
std::string RegEffectivePath(HKEY root, const std::string& path, HKEY* effectiveRoot);
// Where root\path lies below a scratch key (under HKEY_CURRENT_USER) in test mode.
std::string RegScratchPath(const std::string& scratchKey, HKEY root, const std::string& path);

} // namespace fw
