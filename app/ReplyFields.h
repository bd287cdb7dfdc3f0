#pragma once
// Pieces of server replies, split at one delimiter character (usually "§", $C(167)).

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlan {

constexpr char kPieceDelimiter = '\xA7';

// The n-th piece (first = 1) of source; empty when there are fewer pieces.
std::string PieceOf(std::string_view source, int n, char delimiter = kPieceDelimiter);

// Copies the n-th piece into dest (capacity bytes including the terminator), cut to fit;
// never writes past the capacity. Returns dest. Writes the trace lines of the protocol log.
char* Piece(const char* source, char* dest, int n, char delimiter, size_t capacity);

} // namespace vorlan
