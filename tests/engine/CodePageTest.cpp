#include "engine/CodePage.h"
#include "engine/EngineError.h"

#include <gtest/gtest.h>

using namespace engine;

namespace {

TEST(CodePage, TranslatesToCp1251AndBack) {
    const struct { int page; unsigned char in; unsigned char ansi; } cases[] = {
        {866, 0x80, 0xC0},   // А
        {866, 0xAF, 0xEF},   // п
        {866, 0xE0, 0xF0},   // р
        {866, 0xF0, 0xA8},   // Ё
        {866, 0xF1, 0xB8},   // ё
        {866, 0xFC, 0xB9},   // №
        {866, 0xB3, '?'},    // │ has no CP1251 twin
        {1252, 0xE4, '?'},   // ä
        {1252, 0x80, 0x88},  // €
        {850, 0x9C, '?'},    // £
        {437, 0xF8, 0xB0},   // °
        {1251, 0xC0, 0xC0},
        {866, 'A', 'A'},
        {CodePage::kUnknown, 0xC0, '?'},
        {CodePage::kUnknown, 'z', 'z'},
    };
    for (const auto& c : cases) {
        const CodePage& cp = CodePage::get(c.page);
        EXPECT_EQ(cp.to_ansi(c.in), c.ansi) << c.page << " " << int(c.in);
        if (c.ansi != '?') {
            EXPECT_EQ(cp.from_ansi(c.ansi), c.in) << c.page << " " << int(c.in);
        }
    }
    EXPECT_THROW(CodePage::get(1253), EngineError);
}

}  // namespace
