#include "text/Cp1251.h"

#include <gtest/gtest.h>

using namespace text;

TEST(Cp1251, LiteralIsConvertedAtCompileTime) {
    static constexpr auto s = "Ольмарск ёЁ №"_a;
    constexpr std::string_view v = s;
    static_assert(v.size() == 13);
    EXPECT_EQ(AnsiString(s), "\xCE\xEB\xFC\xEC\xE0\xF0\xF1\xEA \xB8\xA8 \xB9");
}

TEST(Cp1251, RoundTripsEveryByteThroughUtf8) {
    for (int c = 1; c < 256; ++c) {
        if (c == 0x98) continue;  // unassigned in CP1251
        const AnsiString one(1, static_cast<char>(c));
        EXPECT_EQ(utf8_to_cp1251(cp1251_to_utf8(one)), one) << c;
    }
}

TEST(Cp1251, UnmappableAndMalformedInputBecomeQuestionMarks) {
    EXPECT_EQ(utf8_to_cp1251("a\xE4\xB8\xAD" "b"), "a?b");  // a CJK character
    EXPECT_EQ(utf8_to_cp1251("\xD0"), "?");                  // truncated sequence
    EXPECT_EQ(utf8_to_cp1251("\x80z"), "?z");                // stray continuation byte
}

TEST(Cp1251, CaseRulesCoverCyrillicAndYo) {
    EXPECT_EQ(ansi_upper_case("иванов ёлкин abc"_a), AnsiString("ИВАНОВ ЁЛКИН ABC"_a));
    EXPECT_EQ(ansi_lower_case("ПЕТРОВ Ё"_a), AnsiString("петров ё"_a));
    EXPECT_EQ(ansi_compare_text("иВаН"_a, "ИВАН"_a), 0);
    EXPECT_LT(ansi_compare_text("Ив"_a, "Ивa"_a), 0);
    EXPECT_TRUE(ansi_starts_with_text("Иванов"_a, "иВ"_a));
    EXPECT_FALSE(ansi_starts_with_text("Ив"_a, "Иванов"_a));
}
