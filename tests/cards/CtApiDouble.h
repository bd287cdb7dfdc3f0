#pragma once
// Inside the CT-API terminal double: what its optional CT_close export calls.

namespace ctapidouble {

signed char Close(unsigned short ctn);

} // namespace ctapidouble
