// A headless screen and an application for the framework's tests.
#pragma once

#include "platform/forms/TApplication.h"
#include "platform/ui/HeadlessHost.h"

#include <gtest/gtest.h>

#include <memory>

namespace forms::test {

class HeadlessApp : public ::testing::Test {
protected:
    explicit HeadlessApp(int screen_width = 1024, int screen_height = 768)
        : host(screen_width, screen_height), app(std::make_unique<TApplication>()) {}
    ~HeadlessApp() override { app.reset(); }

    ui::WindowSystem& ws() { return host.windows(); }

    // The screen point of a control's client point.
    TPoint screen(TWinControl& c, TPoint p) { return ws().client_to_screen(c.Handle(), p); }

    ui::HeadlessHost host;
    std::unique_ptr<TApplication> app;
};

}  // namespace forms::test
