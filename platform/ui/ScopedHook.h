// A thread hook that is removed when its owner goes away, so that a hook
// procedure never outlives the object it reports to.
#pragma once

#include "platform/ui/WindowSystem.h"

namespace ui {

class ScopedHook {
public:
    ScopedHook(WindowSystem& ws, HookKind kind, HookProc proc)
        : m_ws(&ws), m_handle(ws.set_windows_hook(kind, std::move(proc))) {}
    ~ScopedHook() { m_ws->unhook_windows_hook(m_handle); }
    ScopedHook(const ScopedHook&) = delete;
    ScopedHook& operator=(const ScopedHook&) = delete;

    HHOOK handle() const { return m_handle; }
    // Passes the call on to the hooks installed before this one.
    LRESULT call_next(int code, WPARAM w, LPARAM l) const { return m_ws->call_next_hook(m_handle, code, w, l); }

private:
    WindowSystem* m_ws;
    HHOOK m_handle;
};

}  // namespace ui
