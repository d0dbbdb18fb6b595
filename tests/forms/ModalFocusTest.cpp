// The keyboard focus of a form after a modal form over it has gone (a
// message box, the password dialog, a form of the program's own) and after
// the form is activated again by the user or a window manager: it is back in
// the control that had it, so typing goes on where it was.
#include "FormsTestSupport.h"

#include "platform/classes/Exception.h"
#include "platform/forms/MessageBox.h"
#include "platform/forms/PasswordDialog.h"
#include "platform/forms/TButton.h"
#include "platform/forms/TEdit.h"

#include <functional>
#include <stdexcept>

using forms::test::HeadlessApp;

namespace {

class ModalFocusTest : public HeadlessApp {
protected:
    void SetUp() override {
        main = app->CreateForm<TForm>();
        main->SetBounds(0, 0, 600, 400);
        // Two controls: the focus is in the second, which the form would not
        // choose by itself.
        for (TEdit** edit : {&first, &second}) {
            *edit = TComponent::Own<TEdit>(main);
            (*edit)->SetParent(main);
            (*edit)->SetBounds(10, edit == &first ? 10 : 40, 200, 21);
        }
        main->Show();
        second->SetFocus();
        ASSERT_EQ(ws().get_focus(), second->Handle());
    }

    // Runs `show`, which shows a modal form; `close` acts once while it is up.
    void while_modal(const std::function<void()>& show, const std::function<void()>& close) {
        bool acted = false;
        host.set_idle_handler([&] {
            if (acted) throw std::runtime_error("the modal form did not close");
            acted = true;
            EXPECT_NE(ws().get_active_window(), main->Handle());
            EXPECT_FALSE(ws().is_enabled(main->Handle()));
            close();
        });
        show();
        host.set_idle_handler({});
        EXPECT_TRUE(acted);
    }

    // Typing reaches the control that had the focus.
    ::testing::AssertionResult typing_goes_on() {
        if (ws().get_focus() != second->Handle()) return ::testing::AssertionFailure() << "the focus is elsewhere";
        const AnsiString before = second->Text();
        host.type_chars("x");
        if (second->Text() != before + "x") return ::testing::AssertionFailure() << "typed into the wrong control";
        return ::testing::AssertionSuccess();
    }

    TForm* main = nullptr;
    TEdit* first = nullptr;
    TEdit* second = nullptr;
};

TEST_F(ModalFocusTest, AModalFormGivesTheFocusBackToTheControlThatHadItWhenItWasShown) {
    auto enter = [this] { host.press_key(ui::VK_RETURN); };
    auto escape = [this] { host.press_key(ui::VK_ESCAPE); };
    auto close_box = [this] { ws().host_close_request(ws().get_active_window()); };
    auto message_box = [] { forms::message_box("Text", "Caption", forms::MB_OKCANCEL); };
    auto password = [] {
        AnsiString given;
        forms::password_dialog("Phone2k.db", given);
    };
    // A form of the program's own, closed by its button.
    auto own_form = [this] {
        auto form = TComponent::Create<TForm>();
        auto* ok = TComponent::Own<TButton>(form.get());
        ok->SetParent(form.get());
        ok->SetBounds(10, 10, 75, 25);
        ok->SetModalResult(mrOk);
        while_modal([&] { form->ShowModal(); }, [&] { host.click(ws().client_to_screen(ok->Handle(), {5, 5})); });
    };
    auto modal = [this](std::function<void()> show, std::function<void()> close) {
        return [this, show, close] { while_modal(show, close); };
    };
    const struct {
        const char* what;
        std::function<void()> run;
    } cases[] = {
        {"message box, Enter", modal(message_box, enter)},
        {"message box, Esc", modal(message_box, escape)},
        {"message box, close box", modal(message_box, close_box)},
        {"password dialog, Enter", modal(password, enter)},
        {"password dialog, close box", modal(password, close_box)},
        {"a form closed by its button", own_form},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.run();
        EXPECT_EQ(ws().get_active_window(), main->Handle());
        EXPECT_TRUE(typing_goes_on());
        ws().check_invariants();
    }
}

TEST_F(ModalFocusTest, AnExceptionLeavingAKeyHandlerIsShownAndTheKeyboardStaysInTheControl) {
    int failures = 0;
    second->OnKeyDown = [&](TObject*, int& key, TShiftState) {
        if (key == ui::VK_F5 && ++failures == 1) throw Exception("PhoneT: Table is busy");
    };
    std::string shown;
    host.set_idle_handler([&] {
        if (!shown.empty()) throw std::runtime_error("the message box did not close");
        shown = ws().get_window_text(ws().get_active_window());
        host.press_key(ui::VK_RETURN);
    });
    app->SetTitle("Abonix");
    host.press_key(ui::VK_F5);
    host.set_idle_handler({});
    EXPECT_EQ(shown, "Abonix");
    EXPECT_TRUE(typing_goes_on());
}

TEST_F(ModalFocusTest, ActivatedAgainTheFormGivesTheFocusBackToItsControl) {
    auto* other = TComponent::Own<TForm>(app.get());
    other->SetBounds(650, 0, 200, 200);
    auto* other_edit = TComponent::Own<TEdit>(other);
    other_edit->SetParent(other);
    other_edit->SetBounds(10, 10, 100, 21);
    const struct {
        const char* what;
        std::function<void()> activate;
    } cases[] = {
        // What the SDL host does when a window manager gives the main window the focus.
        {"by a window manager", [this] { ws().set_active_window(main->Handle()); }},
        {"by a click on the form beside its controls", [this] { host.click(ws().client_to_screen(main->Handle(), {400, 300})); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        other->Show();
        other_edit->SetFocus();
        ASSERT_EQ(ws().get_active_window(), other->Handle());
        c.activate();
        EXPECT_EQ(ws().get_active_window(), main->Handle());
        EXPECT_TRUE(typing_goes_on());
    }
    // The application losing the user's attention and getting it back keeps the focus where it is.
    ws().host_activate_app(false);
    ws().host_activate_app(true);
    EXPECT_TRUE(typing_goes_on());
}

}  // namespace
