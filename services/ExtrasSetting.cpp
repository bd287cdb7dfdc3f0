#include "services/ExtrasSetting.h"

#include "app/OptionsLogic.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"

CString getExtrasSetting(const char*) {
    vorlan::TraceFunction("getExtrasSetting");
    CString user = TheSession().Execute(vorlan::kCurrentUserLine);
    if (user.IsEmpty()) return CString();
    return TheSession().Execute(vorlan::WordPathLine(user.str()).c_str());
}
