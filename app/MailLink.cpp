#include "app/MailLink.h"

#include <cctype>

namespace vorlan {

std::string PercentEncode(const std::string& text) {
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (std::isalnum(c) && c < 128) {
            out += static_cast<char>(c);
        } else if (c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string MailBodyEncode(const std::string& text) {
    std::string plain;
    plain.reserve(text.size());
    for (char c : text)
        if (c != '\r') plain += c;
    return PercentEncode(plain);
}

std::string BuildSupportRequestLink(const std::string& recipient, const std::string& subject,
                                    const std::string& encodedDescription, const std::string& encodedReport) {
    return "mailto:" + recipient + "?subject=" + PercentEncode(subject) + "&body=" + encodedDescription +
           "%0A%0A" + encodedReport;
}

std::string BuildSupportMailLink(const SupportMail& m) {
    std::string link = "mailto:" + m.recipient;
    if (!m.copyTo.empty())
        link += "?cc=" + PercentEncode(m.copyTo) + "&subject=VORLAN Konflikt&body=";
    else
        link += "?subject=VORLAN Konflikt&body=";
    link += "Bitte füllen Sie das Formular aus, bevor Sie diese E-Mail abschicken. Vielen Dank.";
    link += "%0D%0DFirma:%0DName:%0DTelefon-Nummer:%0DBeschreibung:%0D%0D%0D";
    link += "Konfliktmeldung: " + PercentEncode(m.message) + " " + PercentEncode(m.line) + "%0D";
    for (const auto& v : m.serverValues)
        link += "%25" + v.first + ": " + PercentEncode(v.second) + "%0D";
    link += "%24H: " + PercentEncode(m.horolog);
    return link;
}

} // namespace vorlan
