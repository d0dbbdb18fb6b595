#include "FormsTestSupport.h"

#include "platform/forms/EditWindow.h"
#include "platform/forms/TEdit.h"
#include "platform/gfx/TCanvas.h"

#include <functional>
#include <string>
#include <vector>

using forms::test::HeadlessApp;
using namespace forms;

namespace {

class EditWindowTest : public HeadlessApp {
protected:
    void SetUp() override {
        form = TComponent::Own<TForm>(app.get());
        form->SetBounds(0, 0, 300, 100);
        edit = TComponent::Own<TEdit>(form);
        edit->SetParent(form);
        edit->SetBounds(10, 10, 200, 21);
        edit->OnChange = [this](TObject*) { ++changes; };
        form->Show();
        edit->SetFocus();
    }
    ui::HWND h() { return edit->Handle(); }
    std::pair<int, int> sel() {
        const auto s = static_cast<std::uintptr_t>(ws().send_message(h(), EM_GETSEL));
        return {ui::loword(s), ui::hiword(s)};
    }
    void set(const char* text, int from, int to) {
        ws().send_message(h(), ui::WM_SETTEXT, 0, reinterpret_cast<ui::LPARAM>(text));
        ws().send_message(h(), EM_SETSEL, static_cast<ui::WPARAM>(from), to);
        changes = 0;
    }

    TForm* form = nullptr;
    TEdit* edit = nullptr;
    int changes = 0;
};

}  // namespace

TEST_F(EditWindowTest, EveryEditingKey) {
    struct Case {
        const char* name;
        const char* text;
        int from, to;
        std::function<void(ui::HeadlessHost&)> keys;
        const char* expected;
        int sel_from, sel_to;
        int changes;
    } cases[] = {
        {"typing", "", 0, 0, [](auto& h) { h.type_chars("\xC8\xE2"); }, "\xC8\xE2", 2, 2, 2},
        {"typing over a selection", "abcd", 1, 3, [](auto& h) { h.type_chars("X"); }, "aXd", 2, 2, 1},
        {"left", "abc", 2, 2, [](auto& h) { h.press_key(ui::VK_LEFT); }, "abc", 1, 1, 0},
        {"right", "abc", 1, 1, [](auto& h) { h.press_key(ui::VK_RIGHT); }, "abc", 2, 2, 0},
        {"shift+left", "abc", 2, 2, [](auto& h) { h.press_key(ui::VK_LEFT, {ui::VK_SHIFT}); }, "abc", 1, 2, 0},
        {"shift+right twice", "abc", 0, 0,
         [](auto& h) {
             h.press_key(ui::VK_RIGHT, {ui::VK_SHIFT});
             h.press_key(ui::VK_RIGHT, {ui::VK_SHIFT});
         },
         "abc", 0, 2, 0},
        {"home", "abc", 2, 2, [](auto& h) { h.press_key(ui::VK_HOME); }, "abc", 0, 0, 0},
        {"end", "abc", 0, 0, [](auto& h) { h.press_key(ui::VK_END); }, "abc", 3, 3, 0},
        {"shift+home", "abc", 2, 2, [](auto& h) { h.press_key(ui::VK_HOME, {ui::VK_SHIFT}); }, "abc", 0, 2, 0},
        {"shift+end", "abc", 1, 1, [](auto& h) { h.press_key(ui::VK_END, {ui::VK_SHIFT}); }, "abc", 1, 3, 0},
        {"ctrl+left", "one two", 6, 6, [](auto& h) { h.press_key(ui::VK_LEFT, {ui::VK_CONTROL}); }, "one two", 4, 4, 0},
        {"ctrl+right", "one two", 0, 0, [](auto& h) { h.press_key(ui::VK_RIGHT, {ui::VK_CONTROL}); }, "one two", 4, 4, 0},
        {"ctrl+shift+right", "one two", 0, 0, [](auto& h) { h.press_key(ui::VK_RIGHT, {ui::VK_CONTROL, ui::VK_SHIFT}); },
         "one two", 0, 4, 0},
        {"backspace", "abc", 2, 2, [](auto& h) { h.press_key(ui::VK_BACK); }, "ac", 1, 1, 1},
        {"backspace at the start", "abc", 0, 0, [](auto& h) { h.press_key(ui::VK_BACK); }, "abc", 0, 0, 0},
        {"delete", "abc", 1, 1, [](auto& h) { h.press_key(ui::VK_DELETE); }, "ac", 1, 1, 1},
        {"delete a selection", "abcd", 1, 3, [](auto& h) { h.press_key(ui::VK_DELETE); }, "ad", 1, 1, 1},
        {"ctrl+a", "abc", 1, 1, [](auto& h) { h.press_key('A', {ui::VK_CONTROL}); }, "abc", 0, 3, 0},
        {"ctrl+x then ctrl+v at the end", "abcd", 0, 2,
         [](auto& h) {
             h.press_key('X', {ui::VK_CONTROL});
             h.press_key(ui::VK_END);
             h.press_key('V', {ui::VK_CONTROL});
         },
         "cdab", 4, 4, 2},
        {"ctrl+c then ctrl+v", "abcd", 0, 2,
         [](auto& h) {
             h.press_key('C', {ui::VK_CONTROL});
             h.press_key(ui::VK_END);
             h.press_key('V', {ui::VK_CONTROL});
         },
         "abcdab", 6, 6, 1},
        {"shift+delete then shift+insert", "abcd", 2, 4,
         [](auto& h) {
             h.press_key(ui::VK_DELETE, {ui::VK_SHIFT});
             h.press_key(ui::VK_HOME);
             h.press_key(ui::VK_INSERT, {ui::VK_SHIFT});
         },
         "cdab", 2, 2, 2},
        {"ctrl+insert then shift+insert", "abcd", 1, 2,
         [](auto& h) {
             h.press_key(ui::VK_INSERT, {ui::VK_CONTROL});
             h.press_key(ui::VK_HOME);
             h.press_key(ui::VK_INSERT, {ui::VK_SHIFT});
         },
         "babcd", 1, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        set(c.text, c.from, c.to);
        c.keys(host);
        EXPECT_EQ(edit->Text(), c.expected);
        EXPECT_EQ(sel(), std::make_pair(c.sel_from, c.sel_to));
        EXPECT_EQ(changes, c.changes);
    }
}

TEST_F(EditWindowTest, ClipboardKeysReachTheSystemClipboard) {
    set("\xC8\xE2\xE0\xED", 0, 2);  // "Иван", "Ив" selected
    host.press_key('C', {ui::VK_CONTROL});
    EXPECT_EQ(host.clipboard_utf8(), "Ив");

    // Text another program put on the clipboard pastes, turned into CP1251.
    host.set_clipboard_text("Петров");
    set("", 0, 0);
    host.press_key('V', {ui::VK_CONTROL});
    EXPECT_EQ(edit->Text(), "\xCF\xE5\xF2\xF0\xEE\xE2");
}

TEST_F(EditWindowTest, LimitReadOnlyAndSetTextNotification) {
    edit->SetMaxLength(3);
    set("", 0, 0);
    host.type_chars("abcd");
    EXPECT_EQ(edit->Text(), "abc");
    EXPECT_EQ(changes, 3);
    edit->SetReadOnly(true);
    host.type_chars("x");
    host.press_key(ui::VK_BACK);
    host.press_key('X', {ui::VK_CONTROL});
    EXPECT_EQ(edit->Text(), "abc");
    host.press_key(ui::VK_LEFT, {ui::VK_SHIFT});  // a read-only box still selects
    EXPECT_EQ(sel(), std::make_pair(2, 3));
    edit->SetReadOnly(false);
    changes = 0;
    edit->SetText("abc");  // equal: nothing happens
    EXPECT_EQ(changes, 0);
    ws().send_message(h(), ui::WM_SETTEXT, 0, reinterpret_cast<ui::LPARAM>("abc"));
    EXPECT_EQ(changes, 1);  // the window reports every setting of its text
}

TEST_F(EditWindowTest, GetTextIsLimitedByTheBufferIncludingTheTerminator) {
    const std::string long_text(300, 'z');
    ws().send_message(h(), ui::WM_SETTEXT, 0, reinterpret_cast<ui::LPARAM>(long_text.c_str()));
    char buffer[255];
    const auto n = ws().send_message(h(), WM_GETTEXT, sizeof buffer, reinterpret_cast<ui::LPARAM>(buffer));
    EXPECT_EQ(n, 254);
    EXPECT_EQ(std::string(buffer), std::string(254, 'z'));
    EXPECT_EQ(ws().send_message(h(), WM_GETTEXTLENGTH), 300);
    ws().send_message(h(), ui::WM_SETTEXT, 0, reinterpret_cast<ui::LPARAM>(""));
    buffer[0] = 'q';
    EXPECT_EQ(ws().send_message(h(), WM_GETTEXT, sizeof buffer, reinterpret_cast<ui::LPARAM>(buffer)), 0);
    EXPECT_EQ(buffer[0], '\0');
}

TEST_F(EditWindowTest, MouseClickShiftClickDragAndDoubleClick) {
    set("one two three", 0, 0);
    TBitmap measure(1, 1);
    measure.Canvas().Font().Assign(edit->Font());
    const int left = 1;  // the default left margin
    auto x_of = [&](int pos) { return left + measure.Canvas().TextWidth(std::string("one two three").substr(0, pos)); };
    host.click(screen(*edit, {x_of(4) + 1, 5}));
    EXPECT_EQ(sel(), std::make_pair(4, 4));
    host.mouse_down(ui::MouseButton::left, screen(*edit, {x_of(8) + 1, 5}));
    host.mouse_move(screen(*edit, {x_of(1) + 1, 5}));
    host.mouse_up(ui::MouseButton::left, screen(*edit, {x_of(1) + 1, 5}));
    EXPECT_EQ(sel(), std::make_pair(1, 8));
    host.press_key(ui::VK_SHIFT);  // a fresh click, then Shift+click extends from it
    host.click(screen(*edit, {x_of(2) + 1, 5}));
    host.key_down(ui::VK_SHIFT);
    host.click(screen(*edit, {x_of(5) + 1, 5}));
    host.key_up(ui::VK_SHIFT);
    EXPECT_EQ(sel(), std::make_pair(2, 5));
    host.advance(1000);
    host.double_click(screen(*edit, {x_of(5) + 1, 5}));
    EXPECT_EQ(sel(), std::make_pair(4, 8));  // "two " with its blank
}

TEST_F(EditWindowTest, FontMarginsAndFormattingRectanglePlaceTheText) {
    set("W", 0, 0);
    ws().send_message(h(), EM_SETSEL, static_cast<ui::WPARAM>(-1), 0);
    form->SetFocus();  // no caret, no selection drawn
    host.pump();
    auto first_dark_column = [&] {
        const TPoint origin = ws().client_to_screen(h(), {0, 0});
        const TPoint form_origin = ws().client_to_screen(form->Handle(), {0, 0});
        for (int x = 0; x < 60; ++x)
            for (int y = 0; y < 21; ++y)
                if (host.pixel(form->Handle(), origin.X - form_origin.X + x, origin.Y - form_origin.Y + y) == clBlack)
                    return x;
        return -1;
    };
    const int plain = first_dark_column();
    ASSERT_GE(plain, 0);
    ws().send_message(h(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, ui::make_lparam(11, 2));
    host.pump();
    EXPECT_EQ(first_dark_column(), plain + 10);
    const TRect r{20, 2, 150, 19};
    ws().send_message(h(), EM_SETRECT, 0, reinterpret_cast<ui::LPARAM>(&r));
    host.pump();
    EXPECT_EQ(first_dark_column(), plain - 1 + 20);
    TRect back;
    ws().send_message(h(), EM_GETRECT, 0, reinterpret_cast<ui::LPARAM>(&back));
    EXPECT_EQ(back, r);
    // The window keeps its own copy of the font it is given.
    TFont big;
    big.SetName("Arial");
    big.SetHeight(-30);
    ws().send_message(h(), WM_SETFONT, reinterpret_cast<ui::WPARAM>(&big), 1);
    big.SetHeight(-8);
    EXPECT_EQ(reinterpret_cast<const TFont*>(ws().send_message(h(), WM_GETFONT))->Height(), -30);
}

TEST_F(EditWindowTest, TheFocusedWindowShowsItsCaretAndSelection) {
    set("WW", 0, 0);
    ws().send_message(h(), EM_SETSEL, 2, 2);
    host.pump();
    TBitmap measure(1, 1);
    measure.Canvas().Font().Assign(edit->Font());
    const int caret_x = 1 + measure.Canvas().TextWidth("WW");
    const TPoint origin = ws().client_to_screen(h(), {0, 0});
    const TPoint form_origin = ws().client_to_screen(form->Handle(), {0, 0});
    auto px = [&](int x, int y) {
        return host.pixel(form->Handle(), origin.X - form_origin.X + x, origin.Y - form_origin.Y + y);
    };
    EXPECT_EQ(px(caret_x, 5), clBlack);
    EXPECT_EQ(px(caret_x + 1, 5), clWhite);
    // A selection is drawn in the highlight colour; without the focus neither shows.
    ws().send_message(h(), EM_SETSEL, 0, 1);
    host.pump();
    EXPECT_EQ(px(1, 1), ColorToRGB(clHighlight));
    form->SetFocus();
    host.pump();
    EXPECT_EQ(px(1, 1), clWhite);
    EXPECT_EQ(px(caret_x, 5), clWhite);
}

TEST_F(EditWindowTest, PasswordCharHidesTheTextButKeepsIt) {
    // The row of pixels through the text, as the form shows it.
    auto row = [&] {
        host.pump();
        const TPoint origin = ws().client_to_screen(h(), {0, 0});
        const TPoint form_origin = ws().client_to_screen(form->Handle(), {0, 0});
        std::vector<TColor> pixels;
        for (int x = 0; x < 200; ++x)
            for (int y = 2; y < 16; ++y) pixels.push_back(host.pixel(form->Handle(), origin.X - form_origin.X + x, origin.Y - form_origin.Y + y));
        return pixels;
    };
    form->SetFocus();  // no caret in the picture
    edit->SetPasswordChar('*');
    set("iii", 0, 0);
    const auto narrow = row();
    set("WWW", 0, 0);
    EXPECT_EQ(row(), narrow);  // three stars either way
    edit->SetPasswordChar(0);
    EXPECT_NE(row(), narrow);

    // Typed characters are kept as typed; a masked text is neither copied nor cut.
    edit->SetPasswordChar('*');
    edit->SetFocus();
    set("", 0, 0);
    host.type_chars("\xCA\xEB\xFE\xF7");  // "Ключ"
    EXPECT_EQ(edit->Text(), "\xCA\xEB\xFE\xF7");
    host.set_clipboard_text("before");
    host.press_key('A', {ui::VK_CONTROL});
    host.press_key('C', {ui::VK_CONTROL});
    host.press_key('X', {ui::VK_CONTROL});
    EXPECT_EQ(host.clipboard_utf8(), "before");
    EXPECT_EQ(edit->Text(), "\xCA\xEB\xFE\xF7");
}
