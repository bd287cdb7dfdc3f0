#include "frame/BarLogic.h"

#include "common/MQuote.h"

#include <cstdlib>
#include <cstring>

namespace vorlan {
namespace {

std::int32_t ReadInt(std::string_view bytes, size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<std::uint8_t>(bytes[at + i]);
    return static_cast<std::int32_t>(v);
}

void AppendInt(std::string& out, std::int32_t value) {
    std::uint32_t v = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

} // namespace

bool ParseToolBarRecord(std::string_view bytes, int rowCount, ToolBarRecord& out) {
    if (bytes.size() != kToolBarRecordSize) return false;
    std::int32_t count = ReadInt(bytes, 8);
    if (count < 0 || count > kToolBarMaxButtons) return false;
    ToolBarRecord r;
    r.textMode = ReadInt(bytes, 0);
    r.largeIcons = ReadInt(bytes, 4);
    for (int i = 0; i < count; ++i) {
        std::uint8_t row = static_cast<std::uint8_t>(bytes[12 + i]);
        // A row the table lacks would index past it.
        if (row >= rowCount) return false;
        r.rows.push_back(row);
    }
    out = std::move(r);
    return true;
}

std::string BuildToolBarRecord(const ToolBarRecord& record) {
    std::string out;
    AppendInt(out, record.textMode);
    AppendInt(out, record.largeIcons);
    size_t count = record.rows.size() < kToolBarMaxButtons ? record.rows.size() : kToolBarMaxButtons;
    AppendInt(out, static_cast<std::int32_t>(count));
    for (size_t i = 0; i < kToolBarMaxButtons; ++i)
        out.push_back(i < count ? static_cast<char>(record.rows[i]) : '\0');
    return out;
}

bool ParseBandRecords(std::string_view bytes, std::vector<BandRecord>& out) {
    out.clear();
    if (bytes.empty() || bytes.size() % kBandRecordSize != 0) return false;
    for (size_t at = 0; at < bytes.size(); at += kBandRecordSize) {
        BandRecord b;
        b.id = ReadInt(bytes, at);
        b.width = ReadInt(bytes, at + 4);
        b.style = static_cast<std::uint32_t>(ReadInt(bytes, at + 8));
        if (b.id < 0 || b.id >= kBandCount) continue;
        out.push_back(b);
    }
    return true;
}

std::string BuildBandRecords(const std::vector<BandRecord>& bands) {
    std::string out;
    for (const BandRecord& b : bands) {
        AppendInt(out, b.id);
        AppendInt(out, b.width);
        AppendInt(out, static_cast<std::int32_t>(b.style));
    }
    return out;
}

bool ParseWindowRecord(std::string_view bytes, WindowRecord& out) {
    if (bytes.size() != kWindowRecordSize) return false;
    out.left = ReadInt(bytes, 0);
    out.top = ReadInt(bytes, 4);
    out.right = ReadInt(bytes, 8);
    out.bottom = ReadInt(bytes, 12);
    out.state = ReadInt(bytes, 16);
    out.extra = ReadInt(bytes, 20);
    return true;
}

std::string BuildWindowRecord(const WindowRecord& r) {
    std::string out;
    for (int v : {r.left, r.top, r.right, r.bottom, r.state, r.extra})
        AppendInt(out, v);
    return out;
}

namespace {
// One axis. The steps repeat: a window two monitors away comes back as well.
void CorrectAxis(int& low, int& high, int limit, int primary) {
    if (primary <= 0) return;
    for (int guard = 0; guard < 64 && low >= limit && high > limit; ++guard) {
        low -= primary;
        high -= primary;
    }
    for (int guard = 0; guard < 64 && low < 10 && high <= 10; ++guard) {
        low += primary;
        high += primary;
    }
}
} // namespace

void CorrectWindowRect(WindowRecord& r, const ScreenLimits& limits) {
    CorrectAxis(r.left, r.right, limits.width, limits.primaryWidth);
    CorrectAxis(r.top, r.bottom, limits.height, limits.primaryHeight);
}

std::string DesktopLookPrefix(bool perClient) {
    return perClient ? "^[%SYS]Z(\"DESKTOP\",%USER,\"MANDANT\",%MI," : "^[%SYS]Z(\"DESKTOP\",%USER,";
}

std::vector<std::string> DesktopLookLines(bool perClient, const DesktopLook& look) {
    std::string p = "S " + DesktopLookPrefix(perClient);
    return {
        p + "\"BGCOLOR\")=" + std::to_string(look.background),
        p + "\"TEXTCOLOR\")=" + std::to_string(look.textColour),
        p + "\"TEXTSIZE\")=" + std::to_string(look.textSize),
        p + "\"TEXTFONT\")=" + MQuote(look.face),
        p + "\"IMAGE\")=" + MQuote(look.picture),
        p + "\"IMAGETYPE\")=" + std::to_string(look.pictureKind),
    };
}

std::vector<std::string> DesktopIconLines(int n, const DesktopIcon& icon) {
    std::string p = "S ^Z(\"DESKTOP\",%USER,\"ICONS\"," + std::to_string(n) + ",";
    return {
        p + "\"TEXT\")=" + MQuote(icon.text),      p + "\"MEMO\")=" + MQuote(icon.memo),
        p + "\"PARA\")=" + MQuote(icon.parameter), p + "\"POSX\")=" + std::to_string(icon.x),
        p + "\"POSY\")=" + std::to_string(icon.y),
    };
}

std::string DesktopItemLine(bool perClient, std::string_view item) {
    return "W $G(" + DesktopLookPrefix(perClient) + MQuote(item) + "))";
}

std::string NextIconLine(int n) {
    return "W $O(^Z(\"DESKTOP\",%USER,\"ICONS\"," + std::to_string(n) + "))";
}

} // namespace vorlan
