// The abonix program: the directory of Ольмарск 2001 on the screen.
//
//   abonix [DIRECTORY]    the tables and the layout file are found in DIRECTORY
//
// The folder to work in (StartDirectory.h) becomes the current directory
// first, since the tables and the layout file are found there. Then the
// start-up order: the application, its title, the main window (which connects
// the database while it loads and opens the tables when it is created), the
// hidden About box, then the message loop until the main window closes. What
// needs no display (the tables, the fonts) is prepared beside the display's
// start-up (StartupPrefetch.h) and only handed over to the main window. A
// failure while the main window loads (the database cannot be connected) ends
// the program with the error reported and no window shown.
#include "app/About.h"
#include "app/Main.h"
#include "app/StartDirectory.h"
#include "platform/db/Session.h"
#include "platform/forms/PasswordDialog.h"
#include "app/StartupPrefetch.h"
#include "platform/forms/TApplication.h"
#include "platform/gfx/FontCache.h"
#include "platform/gfx/ScreenScale.h"
#include "platform/ui/ComposeSubset.h"
#include "platform/ui/NoBusAutolaunch.h"
#include "platform/ui/ScreenScaleChoice.h"
#include "platform/ui/SdlHost.h"
#include "platform/ui/StartupTrace.h"
#include "text/Cp1251.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>

#include <pwd.h>
#include <unistd.h>

namespace {

const char* const kHelp =
    "usage: abonix [DIRECTORY]\n"
    "\n"
    "The telephone directory of Ольмарск 2001. DIRECTORY holds the tables\n"
    "Phone2k.db, City.db and Street.db, and the program keeps its window layout\n"
    "there in Abonix.ini. Without DIRECTORY the program works in the current\n"
    "folder when the tables are there, otherwise in your own directory folder\n"
    "($XDG_DATA_HOME/abonix, or ~/.local/share/abonix), which the first start\n"
    "fills from the sample installed with the program. `abonix-db import` makes\n"
    "a directory from a list of subscribers.\n"
    "\n"
    "On a high-density screen everything is drawn larger by a whole factor\n"
    "from 1 to 4: ABONIX_SCALE when it is set, otherwise GDK_SCALE, otherwise\n"
    "the X resource Xft.dpi divided by 96 (144 dpi gives 2), otherwise 1.\n"
    "Fractions round to the nearest whole factor.\n"
    "\n"
    "  --help     show this text and exit\n"
    "  --version  show the version and exit\n";

int usage_error(const char* message) {
    std::fprintf(stderr, "abonix: %s\nTry 'abonix --help'.\n", message);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    ui::startup_step("main entered");
    std::optional<std::filesystem::path> named;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--help") || !std::strcmp(argv[i], "-h")) {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (!std::strcmp(argv[i], "--version")) {
            std::printf("abonix %s\n", ABONIX_VERSION);
            return 0;
        }
        if (argv[i][0] == '-') return usage_error((std::string("unknown option ") + argv[i]).c_str());
        if (named) return usage_error("only one DIRECTORY");
        named = argv[i];
    }
    try {
        std::error_code ec;
        app::StartPlaces places;
        places.current = std::filesystem::current_path();
        const char* home = std::getenv("HOME");
        if (!home || !*home)
            if (const passwd* pw = ::getpwuid(::getuid())) home = pw->pw_dir;
        places.user_directory = app::user_directory(std::getenv("XDG_DATA_HOME"), home);
        places.installed_sample = app::installed_sample(std::filesystem::read_symlink("/proc/self/exe", ec));
        std::filesystem::current_path(app::start_directory(named, places));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "abonix: %s\n", e.what());
        return 2;
    }
    try {
        // The compose table is chosen while this is the only thread, and put
        // back once the display has read it and the workers are done; so is
        // the session bus SDL may not launch.
        std::optional<ui::ComposeSubset> compose(std::in_place);
        std::optional<ui::NoBusAutolaunch> no_bus(std::in_place);
        // The scale comes before any font is rendered or any window made.
        const ui::ScaleChoice scale = ui::choose_screen_scale();
        gfx::set_screen_scale(scale.scale);
        ui::startup_step(("scale " + std::to_string(scale.scale) + " from " + scale.source).c_str());
        // Fontconfig's answers of the last run, unless its configuration or the fonts changed.
        gfx::use_font_cache(gfx::FontCache::default_file());
        // The tables and the fonts are made ready while the display starts.
        app::StartupPrefetch prefetch;
        ui::SdlHost host;
        prefetch.finish();
        no_bus.reset();
        compose.reset();
        TApplication application;
        Application->SetTitle("Abonix");
        db::Session::Default().OnPassword = forms::password_dialog;
        Phones = Application->CreateForm<TPhones>();
        ui::startup_step("main window created");
        AboutBox = Application->CreateForm<TAboutBox>();
        ui::startup_step("about box created");
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
