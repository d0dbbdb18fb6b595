// The abonix program: the directory of Ольмарск 2001 on the screen.
//
// Start-up order: the application, its title, the main window (which
// connects the database while it loads and opens the tables when it is
// created), the hidden About box, then the message loop until the main window
// closes. A failure while the main window loads (the database cannot be
// connected) ends the program with the error reported and no window shown.
#include "app/About.h"
#include "app/Main.h"
#include "platform/forms/TApplication.h"
#include "platform/ui/SdlHost.h"
#include "text/Cp1251.h"

#include <cstdio>
#include <exception>

int main() {
    try {
        ui::SdlHost host;
        TApplication application;
        Application->SetTitle("Abonix");
        Phones = Application->CreateForm<TPhones>();
        AboutBox = Application->CreateForm<TAboutBox>();
        Application->Run();
        Phones = nullptr;
        AboutBox = nullptr;
    } catch (const Exception& e) {
        std::fprintf(stderr, "abonix: %s\n", text::cp1251_to_utf8(e.Message()).c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "abonix: %s\n", e.what());
        return 1;
    }
    return 0;
}
