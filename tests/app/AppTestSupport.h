// The program's start-up on a headless screen, in a private folder holding a
// small generated directory.
#pragma once

#include "app/About.h"
#include "app/Main.h"
#include "platform/forms/TApplication.h"
#include "platform/ui/HeadlessHost.h"
#include "tools/SampleDirectory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>

namespace apptest {

class AppTest : public ::testing::Test {
protected:
    AppTest() : host(1280, 1024) {
        m_old = std::filesystem::current_path();
        std::string pattern = (std::filesystem::temp_directory_path() / "abonix-app-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
        dir = pattern;
        tools::SampleOptions options;
        options.subscribers = 300;
        tools::generate_sample_directory(dir, options);
        std::filesystem::current_path(dir);
        app = std::make_unique<TApplication>();
    }
    ~AppTest() override {
        app.reset();
        Phones = nullptr;
        AboutBox = nullptr;
        std::filesystem::current_path(m_old);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }

    // Steps 2 to 4 of the entry point.
    void start() {
        Application->SetTitle("Abonix");
        Phones = Application->CreateForm<TPhones>();
        AboutBox = Application->CreateForm<TAboutBox>();
    }

    ui::WindowSystem& ws() { return host.windows(); }

    // The window of the form the user sees on top now.
    TCustomForm* active_form() { return dynamic_cast<TCustomForm*>(TWinControl::FindControl(ws().get_active_window())); }

    ui::HeadlessHost host;
    std::filesystem::path dir;
    std::unique_ptr<TApplication> app;

private:
    std::filesystem::path m_old;
};

}  // namespace apptest
