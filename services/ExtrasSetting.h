#pragma once
// The user's settings kept on the server beside the workstation's.

#include "framework/FwString.h"

// The Word forms folder of the current user (^[%SYS]EXTRAS(user,"WORDPATH")); empty without
// a user. The name is not looked at: the folder is the only such setting.
CString getExtrasSetting(const char* name);
