// The program's start-up on a headless screen, in a private folder holding a
// small generated directory.
#pragma once

#include "app/About.h"
#include "app/Main.h"
#include "platform/db/Session.h"
#include "platform/forms/PasswordDialog.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TLabel.h"
#include "platform/ui/HeadlessHost.h"
#include "tests/support/TempDir.h"
#include "tools/SampleDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

namespace apptest {

class AppTest : public ::testing::Test {
protected:
    explicit AppTest(int screenWidth = 1280, int screenHeight = 1024)
        : m_cd(m_temp.path()), host(screenWidth, screenHeight), dir(m_temp.path()) {
        tools::SampleOptions options;
        options.subscribers = 300;
        tools::generate_sample_directory(dir, options);
        app = std::make_unique<TApplication>();
    }
    ~AppTest() override {
        app.reset();
        Phones = nullptr;
        AboutBox = nullptr;
    }

    // Steps 2 to 4 of the entry point.
    void start() {
        Application->SetTitle("Abonix");
        db::Session::Default().OnPassword = forms::password_dialog;
        Phones = Application->CreateForm<TPhones>();
        AboutBox = Application->CreateForm<TAboutBox>();
    }

    ui::WindowSystem& ws() { return host.windows(); }

    // The window of the form the user sees on top now.
    TCustomForm* active_form() { return dynamic_cast<TCustomForm*>(TWinControl::FindControl(ws().get_active_window())); }

    // What a message box says: its labels' captions, one after another.
    static std::string label_text(TCustomForm& form) {
        std::string text;
        for (int i = 0; i < form.ComponentCount(); ++i)
            if (auto* label = dynamic_cast<TLabel*>(form.Components(i))) text += label->Caption();
        return text;
    }

private:
    // The program works in its current directory: a private folder for each test.
    TempDir m_temp;
    CurrentDir m_cd;

protected:
    ui::HeadlessHost host;
    std::filesystem::path dir;
    std::unique_ptr<TApplication> app;
};

}  // namespace apptest
