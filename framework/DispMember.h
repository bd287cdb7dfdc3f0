#pragma once
// A member of an automation object as its caller knows it: DISPID, kind, result type and
// argument types. Components are called late-bound by DISPID, so these rows are all the
// program knows of them; they are plain data, the same in every build.
//
// Types are letters: 's' text (a BSTR made from code-page-1252 text), 'h' 16-bit integer,
// 'l' 32-bit integer, 'd' double; the capitals 'S', 'H' and 'L' pass text, 16-bit and 32-bit
// integers by reference (the callee may change them and the caller reads them back).
// A result of 0 means none is read.

#include <string>

namespace fw {

enum DispKind : unsigned short { kDispMethod = 1, kDispGet = 2, kDispPut = 4 };

constexpr char kDispText = 's', kDispShort = 'h', kDispLong = 'l', kDispReal = 'd', kDispTextRef = 'S',
               kDispShortRef = 'H', kDispLongRef = 'L';
// More than any component of ours takes.
constexpr int kDispMaxArgs = 15;

struct DispMember {
    long id;
    unsigned short kind;
    char result;
    const char* args; // one letter per argument, in the caller's order
};

// An argument or result: the text for 's' and 'S', the number for the integers, the real for
// 'd'. By-reference arguments come back changed.
struct DispValue {
    DispValue() = default;
    DispValue(std::string t) : text(std::move(t)) {}
    DispValue(const char* t) : text(t ? t : "") {}
    DispValue(long n) : number(n) {}
    DispValue(int n) : number(n) {}
    DispValue(double r) : real(r) {}
    std::string text;
    long number = 0;
    double real = 0;
};

} // namespace fw
