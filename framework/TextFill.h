#pragma once
// Texts of the language library filled in with values. A translated text decides where the
// values go, never how many values are read or of which kind: a directive that does not fit
// stands in the result as it is written. Plain text, no Windows in it: built in every tree.

#include <initializer_list>
#include <string>
#include <string_view>
#include <type_traits>

namespace fw {

// One value for a text: a text or a whole number.
class TextValue {
  public:
    TextValue(const char* text) : m_text(text ? text : ""), m_isText(true) {}
    TextValue(const std::string& text) : m_text(text), m_isText(true) {}
    template <class N, std::enable_if_t<std::is_integral_v<N>, int> = 0>
    TextValue(N number) : m_number(static_cast<long long>(number)), m_isText(false) {}

    bool IsText() const { return m_isText; }
    const std::string& Text() const { return m_text; }
    long long Number() const { return m_number; }

  private:
    std::string m_text;
    long long m_number = 0;
    bool m_isText;
};

// The text with its directives filled in order, one value each: %s takes any value, %d, %i,
// %u, %o, %x and %X a number, each with the flags "-+ #0", a width and a precision of at most
// three digits. "%%" is a percent sign. Any other directive (a length, '*', a position, %n, a
// number's conversion for a text), and one without a value left, still uses up its place and
// stands as it is written.
std::string FillText(std::string_view text, std::initializer_list<TextValue> values);

} // namespace fw
