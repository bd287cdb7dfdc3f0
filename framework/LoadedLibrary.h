#pragma once
// A library loaded by name for as long as the object lives, and its entry points by name.

#include <windows.h>

class CLoadedLibrary {
  public:
    explicit CLoadedLibrary(const char* name) : m_module(::LoadLibraryA(name)) {}
    ~CLoadedLibrary() {
        if (m_module) ::FreeLibrary(m_module);
    }
    CLoadedLibrary(const CLoadedLibrary&) = delete;
    CLoadedLibrary& operator=(const CLoadedLibrary&) = delete;

    explicit operator bool() const { return m_module != nullptr; }
    // Null when the library or the entry is missing.
    template <typename F> F Entry(const char* name) const {
        return m_module ? reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(m_module, name)))
                        : nullptr;
    }

  private:
    HMODULE m_module;
};
