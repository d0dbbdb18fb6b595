#include "platform/forms/EditBuffer.h"

#include <gtest/gtest.h>

#include <functional>

using forms::EditBuffer;
using Move = EditBuffer::Move;

namespace {

struct Case {
    const char* name;
    const char* text;
    int anchor, caret;
    std::function<bool(EditBuffer&)> action;  // returns "changed"
    const char* expected;
    int expected_anchor, expected_caret;
    bool changed;
};

auto moving(Move how, bool extend) {
    return [=](EditBuffer& b) {
        b.move(how, extend);
        return false;
    };
}

}  // namespace

TEST(EditBuffer, EditingRules) {
    const Case cases[] = {
        {"left", "abc def", 3, 3, moving(Move::CharLeft, false), "abc def", 2, 2, false},
        {"left at start", "abc", 0, 0, moving(Move::CharLeft, false), "abc", 0, 0, false},
        {"left collapses a selection", "abc def", 1, 5, moving(Move::CharLeft, false), "abc def", 1, 1, false},
        {"right collapses a selection", "abc def", 5, 1, moving(Move::CharRight, false), "abc def", 5, 5, false},
        {"shift+left extends", "abc def", 3, 3, moving(Move::CharLeft, true), "abc def", 3, 2, false},
        {"shift+right extends", "abc def", 3, 4, moving(Move::CharRight, true), "abc def", 3, 5, false},
        {"right at end", "abc", 3, 3, moving(Move::CharRight, false), "abc", 3, 3, false},
        {"home", "abc def", 5, 5, moving(Move::Home, false), "abc def", 0, 0, false},
        {"end", "abc def", 1, 1, moving(Move::End, false), "abc def", 7, 7, false},
        {"shift+home", "abc def", 5, 5, moving(Move::Home, true), "abc def", 5, 0, false},
        {"shift+end", "abc def", 2, 2, moving(Move::End, true), "abc def", 2, 7, false},
        {"ctrl+left from a word's middle", "abc  def gh", 6, 6, moving(Move::WordLeft, false), "abc  def gh", 5, 5, false},
        {"ctrl+left over blanks", "abc  def", 5, 5, moving(Move::WordLeft, false), "abc  def", 0, 0, false},
        {"ctrl+right", "abc  def gh", 1, 1, moving(Move::WordRight, false), "abc  def gh", 5, 5, false},
        {"ctrl+right in the last word", "abc def", 5, 5, moving(Move::WordRight, false), "abc def", 7, 7, false},
        {"ctrl+shift+right", "abc def", 0, 0, moving(Move::WordRight, true), "abc def", 0, 4, false},
        {"type inserts", "ac", 1, 1, [](EditBuffer& b) { return b.type_char('b'); }, "abc", 2, 2, true},
        {"type replaces the selection", "abcd", 1, 3, [](EditBuffer& b) { return b.type_char('X'); }, "aXd", 2, 2, true},
        {"control characters are not typed", "ab", 1, 1, [](EditBuffer& b) { return b.type_char('\t'); }, "ab", 1, 1, false},
        {"cyrillic byte", "", 0, 0, [](EditBuffer& b) { return b.type_char('\xC8'); }, "\xC8", 1, 1, true},
        {"backspace", "abc", 2, 2, [](EditBuffer& b) { return b.backspace(); }, "ac", 1, 1, true},
        {"backspace at start", "abc", 0, 0, [](EditBuffer& b) { return b.backspace(); }, "abc", 0, 0, false},
        {"backspace removes the selection", "abcd", 3, 1, [](EditBuffer& b) { return b.backspace(); }, "ad", 1, 1, true},
        {"delete", "abc", 1, 1, [](EditBuffer& b) { return b.delete_forward(); }, "ac", 1, 1, true},
        {"delete at end", "abc", 3, 3, [](EditBuffer& b) { return b.delete_forward(); }, "abc", 3, 3, false},
        {"delete removes the selection", "abcd", 0, 2, [](EditBuffer& b) { return b.delete_forward(); }, "cd", 0, 0, true},
        {"paste", "ad", 1, 1, [](EditBuffer& b) { return b.paste("bc"); }, "abcd", 3, 3, true},
        {"paste takes the first line", "", 0, 0, [](EditBuffer& b) { return b.paste("one\r\ntwo"); }, "one", 3, 3, true},
        {"paste nothing keeps the selection", "abc", 0, 3, [](EditBuffer& b) { return b.paste(""); }, "abc", 0, 3, false},
        {"select all", "abc", 1, 1, [](EditBuffer& b) { b.select_all(); return false; }, "abc", 0, 3, false},
        {"select clamps", "abc", 0, 0, [](EditBuffer& b) { b.select(2, 99); return false; }, "abc", 2, 3, false},
        {"select -1 removes the selection", "abc", 0, 2, [](EditBuffer& b) { b.select(-1, 0); return false; }, "abc", 2, 2, false},
        {"double click on a word", "ab cd  ef", 4, 4, [](EditBuffer& b) { b.select_word_at(4); return false; }, "ab cd  ef", 3, 7, false},
        {"double click on blanks", "ab cd  ef", 6, 6, [](EditBuffer& b) { b.select_word_at(6); return false; }, "ab cd  ef", 5, 7, false},
        {"set text puts the caret first", "abc", 2, 2, [](EditBuffer& b) { return b.set_text("xyz"); }, "xyz", 0, 0, true},
        {"set equal text", "abc", 2, 2, [](EditBuffer& b) { return b.set_text("abc"); }, "abc", 0, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EditBuffer b;
        b.set_text(c.text);
        b.select(c.anchor, c.caret);
        EXPECT_EQ(c.action(b), c.changed);
        EXPECT_EQ(b.text(), c.expected);
        EXPECT_EQ(b.anchor(), c.expected_anchor);
        EXPECT_EQ(b.caret(), c.expected_caret);
    }
}

TEST(EditBuffer, LimitRefusesTypingAndCutsPasting) {
    EditBuffer b;
    b.set_limit(4);
    b.set_text("abcdef");  // setting the text ignores the limit
    EXPECT_EQ(b.text(), "abcdef");
    b.set_text("abc");
    b.move(Move::End, false);
    EXPECT_TRUE(b.type_char('d'));
    EXPECT_FALSE(b.type_char('e'));
    EXPECT_EQ(b.text(), "abcd");
    b.select(1, 3);  // "bc" selected: room for two
    EXPECT_TRUE(b.paste("WXYZ"));
    EXPECT_EQ(b.text(), "aWXd");
    EXPECT_FALSE(b.paste("Q"));
    b.select(0, 1);
    EXPECT_TRUE(b.type_char('z'));  // replacing within the limit is allowed
    EXPECT_EQ(b.text(), "zWXd");
    b.set_limit(0);
    EXPECT_EQ(b.limit(), EditBuffer::kMaxLimit);
}

TEST(EditBuffer, ReadOnlyMovesAndSelectsButNeverChanges) {
    EditBuffer b;
    b.set_text("abc def");
    b.set_read_only(true);
    b.select(0, 3);
    EXPECT_FALSE(b.type_char('x'));
    EXPECT_FALSE(b.backspace());
    EXPECT_FALSE(b.delete_forward());
    EXPECT_FALSE(b.delete_selection());
    EXPECT_FALSE(b.paste("x"));
    EXPECT_EQ(b.text(), "abc def");
    EXPECT_EQ(b.selected_text(), "abc");
    b.move(Move::WordRight, true);
    EXPECT_EQ(b.selected_text(), "abc ");
}
