#include "tests/com/AutomationDouble.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>

namespace automationdouble {

const ProgIdClass kClasses[] = {
    {"DRGscout.Grouper", true},
    {"Idgrouper.JKrgrouper", true},
    {"ARDRG_GE.GROUPER", false},
    {"KODIP.Diagnose", true},
    {"KODIPp.OP", true},
    {"KODIPclp.DiagnoseOP", true},
    {"MmmHisFacadeCom.Start", true},
    {"IDAuto.QRCode.1", true},
    {"IDAuto.Datamatrix.1", false},
    {"QSMED", false},
    {"QSFilter3M", true},
};
const size_t kClassCount = sizeof kClasses / sizeof kClasses[0];

CLSID ClassId(size_t index) {
    // {5A0C7E10-4D21-4B8E-9F3A-2C6B0D4E80xx}
    CLSID id = {0x5a0c7e10, 0x4d21, 0x4b8e, {0x9f, 0x3a, 0x2c, 0x6b, 0x0d, 0x4e, 0x80, 0x00}};
    id.Data4[7] = static_cast<unsigned char>(index + 1);
    return id;
}

namespace {

// Through the skeleton's conversions (code page 1252 both ways).
std::string TextOfBstr(BSTR b) {
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = b;
    return comdouble::TextOf(v);
}

BSTR NewBstr(const std::string& text) {
    VARIANT v;
    ::VariantInit(&v);
    comdouble::SetText(&v, text);
    return v.bstrVal;
}

std::string Hex(DISPID id) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(id));
    return text;
}

std::string Escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r')
            out += "\\r";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else if (c == '\\')
            out += "\\\\";
        else
            out += c;
    }
    return out;
}

std::string Unescaped(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char c = text[++i];
        out += c == 'r' ? '\r' : c == 'n' ? '\n' : c == 't' ? '\t' : c;
    }
    return out;
}

void Log(const std::string& line) {
    std::ofstream out(ModuleFolder() + "AutomationDouble.log", std::ios::app | std::ios::binary);
    out << line << "\r\n";
}

std::string Describe(const VARIANT& v) {
    if (!(v.vt & VT_BYREF)) return comdouble::Describe(v);
    switch (v.vt & ~VT_BYREF) {
    case VT_BSTR: return "BSTR&:" + Escaped(TextOfBstr(*v.pbstrVal));
    case VT_I2: return "I2&:" + std::to_string(*v.piVal);
    case VT_I4: return "I4&:" + std::to_string(*v.plVal);
    default: return "VT&" + std::to_string(v.vt & ~VT_BYREF);
    }
}

// The answers of one object, read from the script when it is made.
class Script {
  public:
    explicit Script(const std::string& progId) {
        std::ifstream in(ModuleFolder() + "AutomationDouble.script", std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            size_t space = line.find(' ');
            size_t eq = line.find('=');
            if (space == std::string::npos || eq == std::string::npos || line.compare(0, space, progId) != 0)
                continue;
            m_answers[line.substr(space + 1, eq - space - 1)].push_back(Unescaped(line.substr(eq + 1)));
        }
    }
    // The next answer for "<kind> <id> <slot>"; false when the script has none.
    bool Next(const std::string& key, std::string& value) {
        auto it = m_answers.find(key);
        if (it == m_answers.end() || it->second.empty()) return false;
        size_t& used = m_used[key];
        value = it->second[used < it->second.size() ? used : it->second.size() - 1];
        ++used;
        return true;
    }

  private:
    std::map<std::string, std::vector<std::string>> m_answers;
    std::map<std::string, size_t> m_used;
};

class ScriptedObject final : public comdouble::Object {
  public:
    explicit ScriptedObject(const std::string& progId) : Object(progId, nullptr, 0), m_script(progId) {}
    void Call(DISPID, WORD, std::vector<VARIANT>&, VARIANT*) override {}

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT*) override {
        const char* kind = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) ? "put"
                           : (flags & DISPATCH_METHOD)                                ? "call"
                                                                                      : "get";
        std::string key = std::string(kind) + " " + Hex(id);
        std::string line = m_className + " " + key;
        UINT n = params ? params->cArgs : 0;
        for (UINT i = 0; i < n; ++i)
            line += (i ? ", " : " ") + Describe(params->rgvarg[n - 1 - i]);
        Log(line);
        std::string value;
        if (m_script.Next(key + " raise", value)) {
            Log("  raises " + value);
            if (info) {
                std::memset(info, 0, sizeof *info);
                info->scode = DISP_E_EXCEPTION;
                info->bstrSource = NewBstr(m_className);
                info->bstrDescription = NewBstr(value);
            }
            return DISP_E_EXCEPTION;
        }
        for (UINT i = 0; i < n; ++i) {
            VARIANT& arg = params->rgvarg[n - 1 - i];
            std::string slot = "arg" + std::to_string(i + 1);
            if (!(arg.vt & VT_BYREF) || !m_script.Next(key + " " + slot, value)) continue;
            Log("  out " + slot + "=" + Escaped(value));
            switch (arg.vt & ~VT_BYREF) {
            case VT_BSTR:
                ::SysFreeString(*arg.pbstrVal);
                *arg.pbstrVal = NewBstr(value);
                break;
            case VT_I2: *arg.piVal = static_cast<SHORT>(std::atoi(value.c_str())); break;
            case VT_I4: *arg.plVal = std::atol(value.c_str()); break;
            default: break;
            }
        }
        if (result) {
            ::VariantInit(result);
            // Every answer is text; the caller converts it to the type it reads.
            if (m_script.Next(key + " result", value))
                comdouble::SetText(result, value);
            else if (m_className == "QSMED" && key == "get 0x60020021")
                comdouble::SetText(result, "1"); // finished: a caller's wait has no end of its own
        }
        return S_OK;
    }

  private:
    Script m_script;
};

bool SetKey(const std::string& path, const char* name, const std::string& value) {
    HKEY key;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr))
        return false;
    bool ok = ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                               static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return ok;
}

} // namespace

std::string ModuleFolder() {
    HMODULE module = nullptr;
    ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                             GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCSTR>(&ModuleFolder), &module);
    char path[MAX_PATH] = "";
    ::GetModuleFileNameA(module, path, sizeof path);
    std::string s = path;
    return s.substr(0, s.find_last_of("\\/") + 1);
}

comdouble::Object* Create(const std::string& progId) {
    Log("create " + progId);
    return new ScriptedObject(progId);
}

bool RegisterInProcess(const std::vector<std::string>& names, bool on) {
    const std::string classes = "Software\\Classes\\";
    for (size_t i = 0; i < kClassCount; ++i) {
        if (!kClasses[i].inProcess) continue;
        bool chosen = names.empty();
        for (const std::string& name : names)
            chosen = chosen || name == kClasses[i].progId;
        if (!chosen) continue;
        wchar_t wide[64];
        ::StringFromGUID2(ClassId(i), wide, 64);
        BSTR text = ::SysAllocString(wide);
        std::string clsid = TextOfBstr(text);
        ::SysFreeString(text);
        // Never a key above the class's own: an empty id would name all of CLSID.
        if (clsid.size() != 38 || clsid.front() != '{') return false;
        std::string progId = kClasses[i].progId;
        if (!on) {
            ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, (classes + progId).c_str());
            ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, (classes + "CLSID\\" + clsid).c_str());
            continue;
        }
        std::string server = classes + "CLSID\\" + clsid + "\\InprocServer32";
        if (!SetKey(classes + "CLSID\\" + clsid, nullptr, progId) ||
            !SetKey(server, nullptr, ModuleFolder() + "AutomationDoubleInproc.dll") ||
            !SetKey(server, "ThreadingModel", "Apartment") || !SetKey(classes + progId, nullptr, progId) ||
            !SetKey(classes + progId + "\\CLSID", nullptr, clsid))
            return false;
    }
    return true;
}

} // namespace automationdouble
