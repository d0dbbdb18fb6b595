// Single-byte code pages of Paradox tables, translated to and from CP1251.
#pragma once

#include "text/AnsiString.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace engine {

// A byte-to-byte translation between a table's code page and CP1251.
// Characters with no equivalent on the other side become '?'.
class CodePage {
public:
    // Stands for a code page a table declares but we have no table for: ASCII
    // passes, every other byte reads as '?'.
    static constexpr int kUnknown = 0;

    // Throws EngineError (kErrUnsupported) for a code page we have no table for.
    static const CodePage& get(int number);
    static bool supported(int number);

    int number() const { return m_number; }
    unsigned char to_ansi(unsigned char c) const { return m_to_ansi[c]; }
    unsigned char from_ansi(unsigned char c) const { return m_from_ansi[c]; }
    bool is_identity() const { return m_identity; }
    AnsiString to_ansi(std::string_view s) const;
    std::string from_ansi(std::string_view s) const;

    explicit CodePage(int number);

private:
    int m_number;
    bool m_identity = false;
    std::array<unsigned char, 256> m_to_ansi{};
    std::array<unsigned char, 256> m_from_ansi{};
};

}  // namespace engine
