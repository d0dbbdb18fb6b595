#include "FormsTestSupport.h"

#include "platform/forms/PasswordDialog.h"
#include "platform/forms/TEdit.h"
#include "platform/forms/TForm.h"

#include <functional>
#include <stdexcept>

using forms::test::HeadlessApp;

namespace {

class PasswordDialogTest : public HeadlessApp {
protected:
    // Runs the dialog; `answer` acts on it once it is up.
    bool ask(const std::function<void(TCustomForm&)>& answer, AnsiString& password) {
        bool acted = false;
        host.set_idle_handler([&] {
            if (acted) throw std::runtime_error("the dialog did not close");
            acted = true;
            TWinControl* focused = TWinControl::FindControl(ws().get_focus());
            ASSERT_NE(focused, nullptr);
            TCustomForm* dialog = focused->GetParentForm();
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(dialog->Modal());
            EXPECT_EQ(dialog->Name(), "PasswordDialog");
            answer(*dialog);
        });
        const bool given = forms::password_dialog("Phone2k.db", password);
        host.set_idle_handler({});
        EXPECT_TRUE(acted);
        return given;
    }

};

}  // namespace

TEST_F(PasswordDialogTest, TypedPasswordIsGivenByEnterOrOkAndNotByCancel) {
    struct Case {
        const char* name;
        std::function<void(ui::HeadlessHost&, TCustomForm&)> finish;
        bool given;
    };
    auto click_button = [](const char* caption) {
        return [caption](ui::HeadlessHost& h, TCustomForm& f) {
            for (int i = 0; i < f.ControlCount(); ++i)
                if (auto* b = dynamic_cast<TWinControl*>(f.Controls(i)); b && b->Caption() == caption)
                    h.click(h.windows().client_to_screen(b->Handle(), {10, 10}));
        };
    };
    const Case cases[] = {
        {"Enter", [](ui::HeadlessHost& h, TCustomForm&) { h.press_key(ui::VK_RETURN); }, true},
        {"OK", click_button("OK"), true},
        {"Cancel", click_button("Cancel"), false},
        {"Esc", [](ui::HeadlessHost& h, TCustomForm&) { h.press_key(ui::VK_ESCAPE); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AnsiString password = "unchanged";
        const bool given = ask([&](TCustomForm& f) {
            // The edit has the focus and masks what is typed.
            auto* edit = dynamic_cast<TEdit*>(TWinControl::FindControl(ws().get_focus()));
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->PasswordChar(), '*');
            host.type_chars("\xCA\xEB\xFE\xF7 1");  // "Ключ 1"
            c.finish(host, f);
        }, password);
        EXPECT_EQ(given, c.given);
        EXPECT_EQ(password, c.given ? AnsiString("\xCA\xEB\xFE\xF7 1") : AnsiString("unchanged"));
    }
}
