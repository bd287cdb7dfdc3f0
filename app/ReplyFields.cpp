#include "app/ReplyFields.h"
#include "app/ProtocolLog.h"
#include "app/SettingsBlock.h"

#include <cstring>

namespace vorlan {

std::string PieceOf(std::string_view source, int n, char delimiter) {
    if (n < 1) return std::string();
    size_t start = 0;
    for (int i = 1; i < n; ++i) {
        size_t d = source.find(delimiter, start);
        if (d == std::string_view::npos) return std::string();
        start = d + 1;
    }
    size_t end = source.find(delimiter, start);
    return std::string(
        source.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

char* Piece(const char* source, char* dest, int n, char delimiter, size_t capacity) {
    if (!dest || capacity == 0) return dest;
    const char* src = source ? source : "";
    size_t length = std::strlen(src);
    if (const SettingsBlock* s = ProtocolSettings()) {
        if (s->protocolAll) WriteProtocol("$Piece(\"%s\",\"%c\",%d)", kLogNote, src, delimiter, n);
        if (s->protocol && length > capacity)
            WriteProtocol("$Piece-Fehler Größe source %d - Größe Array %d - Piece-Teil %d", kLogNote,
                          static_cast<int>(length), static_cast<int>(capacity), n);
    }
    std::string piece = PieceOf(std::string_view(src, length), n, delimiter);
    size_t copy = piece.size() < capacity - 1 ? piece.size() : capacity - 1;
    std::memcpy(dest, piece.data(), copy);
    dest[copy] = '\0';
    return dest;
}

} // namespace vorlan
