#include "platform/ui/NoBusAutolaunch.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace {

std::optional<std::string> bus() {
    const char* v = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return v ? std::optional<std::string>(v) : std::nullopt;
}

void set_bus(const std::optional<std::string>& v) {
    if (v)
        ::setenv("DBUS_SESSION_BUS_ADDRESS", v->c_str(), 1);
    else
        ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
}

// No bus named: none is launched while the object lives, and the user's
// environment comes back as it was; a named bus is used as it is.
TEST(NoBusAutolaunch, RefusesALaunchOnlyWhileNoBusIsNamedAndPutsTheEnvironmentBack) {
    const std::optional<std::string> saved = bus();
    const struct {
        std::optional<std::string> before;
        std::optional<std::string> inside;
    } cases[] = {
        {std::nullopt, "disabled:"},
        {"", "disabled:"},
        {"unix:path=/run/user/1000/bus", "unix:path=/run/user/1000/bus"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before.value_or("(unset)"));
        set_bus(c.before);
        {
            const ui::NoBusAutolaunch guard;
            EXPECT_EQ(bus(), c.inside);
            EXPECT_EQ(guard.active(), c.inside != c.before);
        }
        EXPECT_EQ(bus(), c.before);
    }
    set_bus(saved);
}

}  // namespace
