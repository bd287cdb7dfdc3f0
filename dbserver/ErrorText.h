#pragma once
// The error texts of the server's 'E' replies. Each starts with a code the client's error
// table knows ("<UNDEF>", "<SYNTX>", ...), then the place and the detail.

#include <string>
#include <string_view>

namespace vorlan::dbserver {

// Longer texts would not fit the client's trailer area.
inline constexpr size_t kMaxErrorText = 1000;

// "<code>" + detail, cut to kMaxErrorText.
std::string ErrorText(std::string_view code, std::string_view detail);

// Translates GT.M's $ZSTATUS ("150373850,XEC^%DBSRV,%GTM-E-UNDEF, Undefined local
// variable: Y") into the server's text ("<UNDEF>XEC^%DBSRV Undefined local variable: Y").
std::string TranslateZStatus(std::string_view zstatus);

} // namespace vorlan::dbserver
