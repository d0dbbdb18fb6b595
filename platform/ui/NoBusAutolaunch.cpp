#include "platform/ui/NoBusAutolaunch.h"

#include <cstdlib>

namespace ui {

namespace {
constexpr const char* kVariable = "DBUS_SESSION_BUS_ADDRESS";
}

NoBusAutolaunch::NoBusAutolaunch() {
    const char* named = std::getenv(kVariable);
    if (named && *named) return;
    m_was_empty = named != nullptr;
    m_set = ::setenv(kVariable, "disabled:", 1) == 0;
}

NoBusAutolaunch::~NoBusAutolaunch() {
    if (!m_set) return;
    if (m_was_empty)
        ::setenv(kVariable, "", 1);
    else
        ::unsetenv(kVariable);
}

}  // namespace ui
