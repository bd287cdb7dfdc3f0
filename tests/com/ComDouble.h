#pragma once
// The skeleton of our out-of-process automation doubles: a server program that COM starts
// with -Embedding, class factories for its ProgIDs, IDispatch objects that answer by name and
// by DISPID from a table, a call log beside the program, failures a test scripts beside it,
// and registration (/RegServer, /UnregServer) in the prefix the program runs in. The server
// ends when its last object is gone after Quit, or when nobody holds one while it is not kept
// (a visible application stays for its user).

#include <windows.h>
#include <oleauto.h>

#include <functional>
#include <string>
#include <vector>

namespace comdouble {

struct Member {
    const char* name;
    DISPID id;
};

// What a member raises: an automation exception with this description.
struct AutomationError {
    std::string description;
};

// A VARIANT argument or result shown in the log: "BSTR:text", "R8:-3.5", "BOOL:true",
// "I4:0", "missing", "EMPTY".
std::string Describe(const VARIANT& v);
// The argument as text (BSTR, numbers and booleans converted).
std::string TextOf(const VARIANT& v);
bool IsMissing(const VARIANT& v);
bool BoolOf(const VARIANT& v);

// One line of the call log (the program's own path with ".log" for ".exe").
void Log(const std::string& line);

// The server's life.
void SetKept(bool kept); // visible or in the user's hands: stays without objects
void SetQuit();          // ends once its last object is gone

// An automation object of a double: members from its table, arguments in natural order.
class Object : public IDispatch {
  public:
    Object(std::string className, const Member* members, size_t count);
    virtual ~Object();
    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // The object's name in the log, such as "Range[Tabelle1!A1]".
    virtual std::string LogName() const { return m_className; }
    // Serves a member; throws AutomationError. result may be null (property put).
    virtual void Call(DISPID id, WORD flags, std::vector<VARIANT>& args, VARIANT* result) = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* info, UINT* argError) override;

  protected:
    const std::string m_className;

  private:
    const char* MemberName(DISPID id) const;
    const Member* m_members;
    size_t m_count;
    LONG m_refs = 1;
};

// Sets an object result (the reference is handed over).
void SetObject(VARIANT* result, Object* object);
void SetText(VARIANT* result, const std::string& text);

struct ServerClass {
    std::string progId;
    CLSID clsid;
};

// The program's main: -Embedding serves the classes until the server ends; /RegServer
// [progIds...] registers the given ProgIDs of the table (all without any), /UnregServer
// [progIds...] removes them. create makes the top object for the ProgID COM asked for.
int RunServer(const std::vector<ServerClass>& classes,
              const std::function<Object*(const std::string& progId)>& create);

} // namespace comdouble
