// The application object: its title, its forms, the message loop and what
// happens to an exception that leaves an event handler (a message box, and
// the loop goes on).
//
// There is one per program, reachable through `Application`. The window
// system (and its host) must exist before it and outlive it.
#pragma once

#include "platform/classes/ComponentLink.h"
#include "platform/classes/ScopeExit.h"
#include "platform/classes/TComponent.h"
#include "platform/forms/TForm.h"

#include <exception>
#include <functional>

using TExceptionEvent = std::function<void(TObject* Sender, const std::exception& E)>;

class TApplication : public TComponent {
public:
    TApplication();
    ~TApplication() override;

    const AnsiString& Title() const { return m_title; }
    void SetTitle(const AnsiString& value) { m_title = value; }

    // Creates a form of class T owned by the application from its stored
    // layout. The first form created becomes the main form and gets its
    // window at once. An exception from the layout leaves with the form freed.
    template <typename T>
    T* CreateForm() {
        T* form = TComponent::Own<T>(this);
        ScopeExit failed([form] { TComponent::Free(form); });
        form->CreateFromLayout();
        failed.release();
        if (!m_mainForm) {
            m_mainForm = form;
            form->HandleNeeded();
        }
        return form;
    }

    TCustomForm* MainForm() const { return m_mainForm; }

    // Shows the main form and dispatches messages until it is closed.
    void Run();
    // Ends the message loop.
    void Terminate();
    bool Terminated() const { return m_terminated; }
    // Handles everything waiting, without waiting for more.
    void ProcessMessages();

    // What happens to an exception that left an event handler: OnException
    // when assigned, else the message box of ShowException.
    void HandleException(TObject* Sender, std::exception_ptr error);
    void ShowException(const std::exception& E);
    // A message box over the active form; returns the button pressed (mrOk ...).
    int MessageBox(const AnsiString& Text, const AnsiString& Caption, unsigned Flags = 0);

    TExceptionEvent OnException;

private:
    AnsiString m_title;
    ComponentLink<TCustomForm> m_mainForm;
    bool m_terminated = false;
};

// The program's application object, or nullptr.
extern TApplication* Application;

namespace forms {

// Passes an exception that left an event handler to the application; without
// one it goes on to the caller.
void handle_exception(TObject* sender, std::exception_ptr error);

// Runs an event handler (or a window's procedure) so that whatever it throws
// goes to handle_exception and the framework that called it goes on.
template <typename F>
void run_handler(TObject* sender, F&& handler) {
    try {
        handler();
    } catch (...) {
        // The boundary of every handler: the framework below stays usable.
        handle_exception(sender, std::current_exception());
    }
}

// A layout that could not be written while its window goes away: no window is
// left to show a message, so the user reads it on standard error; the old file
// stays as it was.
void report_unsaved_layout(const std::exception& error);

}  // namespace forms
