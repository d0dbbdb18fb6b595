#include "platform/forms/TApplication.h"

#include "platform/forms/MessageBox.h"
#include "platform/ui/WindowSystem.h"
#include "text/Cp1251.h"

#include <cstdio>

TApplication* Application = nullptr;

namespace {

ui::WindowSystem& ws() { return ui::WindowSystem::current(); }

}  // namespace

TApplication::TApplication() : TComponent(nullptr) {
    if (Application) throw EComponentError("There is already an application object");
    Application = this;
    // Whatever fails below the framework's own handlers (a hook, a timer
    // procedure, a subclassed window, a worker's send) ends here too.
    if (ui::WindowSystem::exists())
        ws().set_exception_handler([this](std::exception_ptr error) { HandleException(nullptr, error); });
}

TApplication::~TApplication() {
    // Forms go first, the newest first, while the application is still whole.
    while (ComponentCount() > 0) TComponent::Free(Components(ComponentCount() - 1));
    Application = nullptr;
    if (ui::WindowSystem::exists()) ws().set_exception_handler({});
}

void TApplication::Run() {
    if (!m_mainForm) return;
    m_mainForm->Show();
    ui::Msg msg;
    while (!m_terminated && m_mainForm) {
        if (!ws().get_message(msg)) break;
        ws().dispatch_message(msg);
    }
    m_terminated = true;
}

void TApplication::Terminate() {
    if (m_terminated) return;
    m_terminated = true;
    ws().post_quit_message(0);
}

void TApplication::ProcessMessages() { ws().process_messages(); }

void TApplication::HandleException(TObject* Sender, std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        if (OnException)
            OnException(Sender, e);
        else
            ShowException(e);
    } catch (...) {
        // The end of every handler's failure: whatever was thrown, the user hears of it.
        const Exception unknown("Unknown error");
        if (OnException)
            OnException(Sender, unknown);
        else
            ShowException(unknown);
    }
}

void TApplication::ShowException(const std::exception& E) {
    const auto* ours = dynamic_cast<const Exception*>(&E);
    AnsiString text = ours ? ours->Message() : AnsiString(E.what());
    if (!text.empty() && text.back() != '.') text += '.';
    forms::message_box(text, m_title, forms::MB_OK | forms::MB_ICONERROR);
}

int TApplication::MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags) {
    return forms::message_box(Text, Caption, Flags);
}

namespace forms {

void handle_exception(TObject* sender, std::exception_ptr error) {
    if (!Application) std::rethrow_exception(error);
    Application->HandleException(sender, error);
}

void report_unsaved_layout(const std::exception& error) {
    const std::string program =
        Application && !Application->Title().empty() ? text::cp1251_to_utf8(Application->Title()) : std::string("abonix");
    const auto* ours = dynamic_cast<const Exception*>(&error);
    const std::string message = ours ? text::cp1251_to_utf8(ours->Message()) : error.what();
    std::fprintf(stderr, "%s: the layout was not saved: %s\n", program.c_str(), message.c_str());
}

}  // namespace forms
