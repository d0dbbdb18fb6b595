// A set of enumeration values, the way option sets and style sets are written
// throughout the program: TSet<TFontStyle>{fsBold, fsItalic}, s.Contains(fsBold),
// s + fsUnderline, s - fsBold. Enumerations must have fewer than 64 values.
#pragma once

#include <cstdint>
#include <initializer_list>

template <typename E>
class TSet {
public:
    constexpr TSet() = default;
    constexpr TSet(std::initializer_list<E> values) {
        for (E v : values) m_bits |= bit(v);
    }

    constexpr bool Contains(E v) const { return (m_bits & bit(v)) != 0; }
    constexpr bool Empty() const { return m_bits == 0; }
    constexpr std::uint64_t Bits() const { return m_bits; }
    static constexpr TSet FromBits(std::uint64_t bits) {
        TSet s;
        s.m_bits = bits;
        return s;
    }

    constexpr TSet operator+(TSet o) const { return FromBits(m_bits | o.m_bits); }
    constexpr TSet operator-(TSet o) const { return FromBits(m_bits & ~o.m_bits); }
    constexpr TSet operator*(TSet o) const { return FromBits(m_bits & o.m_bits); }
    constexpr TSet operator+(E v) const { return FromBits(m_bits | bit(v)); }
    constexpr TSet operator-(E v) const { return FromBits(m_bits & ~bit(v)); }
    constexpr TSet& operator+=(TSet o) { m_bits |= o.m_bits; return *this; }
    constexpr TSet& operator-=(TSet o) { m_bits &= ~o.m_bits; return *this; }
    constexpr TSet& operator+=(E v) { m_bits |= bit(v); return *this; }
    constexpr TSet& operator-=(E v) { m_bits &= ~bit(v); return *this; }
    constexpr bool operator==(const TSet&) const = default;

private:
    static constexpr std::uint64_t bit(E v) { return std::uint64_t{1} << static_cast<unsigned>(v); }
    std::uint64_t m_bits = 0;
};
