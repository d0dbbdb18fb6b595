#include "bars/MenuKeyWatch.h"
#include "bars/MenuNavigation.h"

#include "platform/ui/Messages.h"
#include "text/Cp1251.h"

#include <gtest/gtest.h>

using text::utf8_to_cp1251;

#include <string>
#include <vector>

using namespace ui;

namespace {

// A key sequence: +vk down, -vk up, *vk auto-repeat of a held key.
struct Step {
    char what;
    int vk;
};

// The indices of the key-ups that start the main menu.
std::vector<int> menu_starts(const std::vector<Step>& steps, bool use_f10 = true) {
    dxbar::MenuKeyWatch watch;
    std::vector<int> starts;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& s = steps[i];
        if (s.what == '-') {
            if (watch.key_up(s.vk, use_f10)) starts.push_back(static_cast<int>(i));
        } else {
            watch.key_down(s.vk, s.what == '*');
        }
        watch.check_invariants();
    }
    return starts;
}

}  // namespace

TEST(MenuKeyWatch, AltAloneAndF10StartTheMenu) {
    struct Case {
        const char* name;
        std::vector<Step> steps;
        std::vector<int> starts;
        bool use_f10 = true;
    };
    const Case cases[] = {
        {"Alt alone", {{'+', VK_MENU}, {'-', VK_MENU}}, {1}},
        {"Alt held with repeats", {{'+', VK_MENU}, {'*', VK_MENU}, {'*', VK_MENU}, {'-', VK_MENU}}, {3}},
        {"Alt+F", {{'+', VK_MENU}, {'+', 'F'}, {'-', 'F'}, {'-', VK_MENU}}, {}},
        {"Alt+F, F released, Alt repeats", {{'+', VK_MENU}, {'+', 'F'}, {'-', 'F'}, {'*', VK_MENU}, {'-', VK_MENU}}, {}},
        {"Alt released after F down", {{'+', VK_MENU}, {'+', 'F'}, {'-', VK_MENU}, {'-', 'F'}}, {}},
        {"Alt while Ctrl held", {{'+', VK_CONTROL}, {'+', VK_MENU}, {'-', VK_MENU}, {'-', VK_CONTROL}}, {}},
        {"Ctrl down and up while Alt held", {{'+', VK_MENU}, {'+', VK_CONTROL}, {'-', VK_CONTROL}, {'-', VK_MENU}}, {}},
        {"right Alt", {{'+', VK_RMENU}, {'-', VK_RMENU}}, {1}},
        {"F10", {{'+', VK_F10}, {'-', VK_F10}}, {1}},
        {"F10 without UseF10ForMenu", {{'+', VK_F10}, {'-', VK_F10}}, {}, false},
        {"Shift+F10", {{'+', VK_SHIFT}, {'+', VK_F10}, {'-', VK_F10}, {'-', VK_SHIFT}}, {}},
        {"Ctrl+F10", {{'+', VK_CONTROL}, {'+', VK_F10}, {'-', VK_F10}, {'-', VK_CONTROL}}, {}},
        {"Alt+F10 starts nothing, not even by Alt", {{'+', VK_MENU}, {'+', VK_F10}, {'-', VK_F10}, {'-', VK_MENU}}, {}},
        {"twice", {{'+', VK_MENU}, {'-', VK_MENU}, {'+', VK_F10}, {'-', VK_F10}}, {1, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(menu_starts(c.steps, c.use_f10), c.starts);
    }
}

TEST(MenuKeyWatch, TheKeyUpOfAKeyHandedToABarIsSwallowedOnce) {
    dxbar::MenuKeyWatch watch;
    watch.handed_to_bar(VK_DOWN);
    EXPECT_FALSE(watch.take_handed_up(VK_RETURN));
    EXPECT_TRUE(watch.take_handed_up(VK_DOWN));
    EXPECT_FALSE(watch.take_handed_up(VK_DOWN));
}

TEST(MenuNavigation, NextSelectableWrapsAndSkips) {
    // Items 0..4; 1 and 3 cannot be selected (a disabled item, a separator row).
    auto selectable = [](int i) { return i != 1 && i != 3; };
    struct Case {
        int current;
        bool forward;
        int expected;
    };
    const Case cases[] = {{0, true, 2}, {2, true, 4}, {4, true, 0}, {0, false, 4}, {2, false, 0},
                          {-1, true, 0}, {-1, false, 4}, {1, true, 2}, {3, false, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.current) + (c.forward ? " forward" : " back"));
        EXPECT_EQ(dxbar::next_selectable(5, c.current, c.forward, selectable), c.expected);
    }
    EXPECT_EQ(dxbar::next_selectable(3, 0, true, [](int) { return false; }), -1);
    EXPECT_EQ(dxbar::next_selectable(0, -1, true, [](int) { return true; }), -1);
    EXPECT_EQ(dxbar::first_selectable(5, false, selectable), 4);
    // A single selectable item is found again from itself.
    EXPECT_EQ(dxbar::next_selectable(5, 2, true, [](int i) { return i == 2; }), 2);
}

TEST(MenuNavigation, MnemonicsFollowTheLayoutsKeyForTheCharacter) {
    struct M {
        const char* caption;
        int lower;  // -1: none
        bool upper;
    };
    const M mnemonics[] = {
        {"Файл", -1, false},
        {"&Файл", static_cast<unsigned char>(utf8_to_cp1251("ф")[0]), true},
        {"О про&грамме", static_cast<unsigned char>(utf8_to_cp1251("г")[0]), false},
        {"A&&B", -1, false},
        {"&A&&&b", 'b', false},  // the last one counts
        {"Trail&", -1, false},
    };
    for (const M& m : mnemonics) {
        SCOPED_TRACE(m.caption);
        const auto found = dxbar::mnemonic_of(utf8_to_cp1251(m.caption));
        ASSERT_EQ(found.has_value(), m.lower >= 0);
        if (found) {
            EXPECT_EQ(found->lower, m.lower);
            EXPECT_EQ(found->upper, m.upper);
        }
    }

    // A Russian layout: "ф" is typed by the key A, "г" by U, "/" by Shift+\.
    const dxbar::KeyForCharFn russian = [](unsigned char c) -> std::optional<dxbar::KeyForChar> {
        const AnsiString ch(1, static_cast<char>(c));
        if (ch == utf8_to_cp1251("ф")) return dxbar::KeyForChar{'A', false, false};
        if (ch == utf8_to_cp1251("г")) return dxbar::KeyForChar{'U', false, false};
        if (ch == "/") return dxbar::KeyForChar{VK_OEM_5, true, false};
        return std::nullopt;
    };
    const auto file = *dxbar::mnemonic_of(utf8_to_cp1251("&Файл"));
    const auto about = *dxbar::mnemonic_of(utf8_to_cp1251("О про&грамме"));
    const auto slash = *dxbar::mnemonic_of("a&/b");
    EXPECT_TRUE(dxbar::mnemonic_matches(file, 'A', false, false, russian));
    EXPECT_TRUE(dxbar::mnemonic_matches(file, 'A', true, false, russian));    // upper-case: Shift ignored
    EXPECT_FALSE(dxbar::mnemonic_matches(file, 'F', false, false, russian));  // the Latin letter is another key
    EXPECT_FALSE(dxbar::mnemonic_matches(file, 'A', false, true, russian));   // Ctrl must match
    EXPECT_TRUE(dxbar::mnemonic_matches(about, 'U', false, false, russian));
    EXPECT_FALSE(dxbar::mnemonic_matches(about, 'U', true, false, russian));  // lower-case: Shift must match
    EXPECT_TRUE(dxbar::mnemonic_matches(slash, VK_OEM_5, true, false, russian));
    EXPECT_FALSE(dxbar::mnemonic_matches(slash, VK_OEM_5, false, false, russian));
    EXPECT_FALSE(dxbar::mnemonic_matches(file, 'A', false, false, {}));
}
