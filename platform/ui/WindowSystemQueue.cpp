// The message queue: posted messages, sends from worker threads, the loops
// (get, peek, dispatch, nested and modal loops) and the waits.
//
// Invariants:
//  - m_posted, m_input, m_cross and the flags beside them are touched only
//    under m_mutex; everything else here only on the GUI thread.
//  - A worker's send is answered exactly once: done is set, with failed
//    when its handler threw, whatever the handler did; a worker never waits
//    after the window system began shutting down.
//  - Retrieval order: sends from other threads, posted messages, WM_QUIT,
//    input, paint, timers.
#include "platform/ui/WindowSystemDetail.h"

#include "platform/classes/Exception.h"
#include "platform/classes/ScopeExit.h"

#include <algorithm>

namespace ui {
// ---- messages -----------------------------------------------------------------------

LRESULT WindowSystem::send_message(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (std::this_thread::get_id() != m_gui_thread) {
        auto send = std::make_shared<CrossSend>();
        send->hwnd = h;
        send->msg = msg;
        send->wparam = w;
        send->lparam = l;
        std::unique_lock lock(m_mutex);
        if (m_shutting_down) return 0;
        m_cross.push_back(send);
        m_cv.notify_all();
        m_host.wake();
        m_cv.wait(lock, [&] { return send->done || m_shutting_down; });
        return send->result;
    }
    Window* win = find(h);
    if (!win) return 0;
    if (!m_hooks.empty()) {
        run_call_wnd_proc_hooks(h, msg, w, l);
        win = find(h);
        if (!win) return 0;
    }
    return call_proc(*win, msg, w, l);
}

std::optional<LRESULT> WindowSystem::try_send_message(HWND h, UINT msg, WPARAM w, LPARAM l) {
    if (std::this_thread::get_id() == m_gui_thread) return send_message(h, msg, w, l);
    auto send = std::make_shared<CrossSend>();
    send->hwnd = h;
    send->msg = msg;
    send->wparam = w;
    send->lparam = l;
    if (!wait_for_cross_send(send)) return std::nullopt;
    return send->result;
}

bool WindowSystem::wait_for_cross_send(const std::shared_ptr<CrossSend>& send) {
    std::unique_lock lock(m_mutex);
    if (m_shutting_down) return false;
    m_cross.push_back(send);
    m_cv.notify_all();
    m_host.wake();
    m_cv.wait(lock, [&] { return send->done || m_shutting_down; });
    return send->done && !send->failed;
}

bool WindowSystem::call_on_gui_thread(const std::function<void()>& fn) {
    if (std::this_thread::get_id() == m_gui_thread) {
        fn();
        return true;
    }
    auto send = std::make_shared<CrossSend>();
    send->fn = fn;
    return wait_for_cross_send(send);
}

void WindowSystem::handle_cross_sends() {
    for (bool handled = false;; handled = true) {
        std::shared_ptr<CrossSend> send;
        {
            std::lock_guard lock(m_mutex);
            if (m_cross.empty()) {
                // What a worker had drawn (a menu's animation step) shows now,
                // even while the GUI thread only waits for the worker.
                if (handled) present_changes();
                return;
            }
            send = m_cross.front();
            m_cross.pop_front();
        }
        LRESULT result = 0;
        std::exception_ptr error;
        const std::uint64_t failures_before = m_failures;
        try {
            if (send->fn)
                send->fn();
            else
                result = send_message(send->hwnd, send->msg, send->wparam, send->lparam);
        } catch (...) {
            // A cross-thread send: the failure goes back to the waiting sender's thread.
            error = std::current_exception();
        }
        // The sender is never left waiting, whatever the handler did, and
        // learns whether it failed.
        {
            std::lock_guard lock(m_mutex);
            send->result = result;
            // A procedure's exception was reported on the way: a failure too.
            send->failed = error != nullptr || m_failures != failures_before;
            send->done = true;
        }
        m_cv.notify_all();
        if (error && !report_exception(error)) std::rethrow_exception(error);
    }
}

bool WindowSystem::post_message(HWND h, UINT msg, WPARAM w, LPARAM l) {
    const bool on_gui = std::this_thread::get_id() == m_gui_thread;
    {
        std::lock_guard lock(m_mutex);
        // Handles are never reused, so the check needs only to see that the
        // window existed; the loop drops messages for windows gone since.
        if (on_gui && h != kNoWindow && !find(h)) return false;
        if (h == kNoWindow && msg != WM_QUIT && !on_gui) return false;
        Msg m;
        m.hwnd = h;
        m.message = msg;
        m.wParam = w;
        m.lParam = l;
        m.time = on_gui ? clock().now_ms() : 0;
        m.pt = m_cursor_pos;
        m_posted.push_back(m);
        m_signalled = true;
    }
    m_cv.notify_all();
    if (!on_gui) m_host.wake();
    return true;
}

void WindowSystem::post_quit_message(int exit_code) {
    if (!m_quit) m_quit = exit_code;
}

bool WindowSystem::matches(const Msg& m, HWND filter, UINT min, UINT max) const {
    if (filter != kNoWindow && m.hwnd != filter && !is_child(filter, m.hwnd)) return false;
    if (min == 0 && max == 0) return true;
    return m.message >= min && m.message <= max;
}

bool WindowSystem::peek_message(Msg& msg, HWND filter, UINT min, UINT max, unsigned remove) {
    handle_cross_sends();
    {
        std::lock_guard lock(m_mutex);
        for (auto it = m_posted.begin(); it != m_posted.end(); ++it) {
            if (!matches(*it, filter, min, max)) continue;
            msg = *it;
            if (remove & PM_REMOVE) m_posted.erase(it);
            if (msg.message == WM_QUIT && !m_quit) m_quit = static_cast<int>(msg.wParam);
            return true;
        }
    }
    if (m_quit && filter == kNoWindow && min == 0 && max == 0) {
        msg = Msg{};
        msg.message = WM_QUIT;
        msg.wParam = static_cast<WPARAM>(*m_quit);
        return true;
    }
    if (take_input(msg, filter, min, max, remove)) return true;
    if (take_paint(msg, filter, min, max)) return true;
    if (take_timer(msg, filter, min, max, remove)) return true;
    present_changes();
    return false;
}

bool WindowSystem::get_message(Msg& msg) {
    for (;;) {
        if (peek_message(msg)) return msg.message != WM_QUIT;
        wait_for_input();
    }
}

void WindowSystem::wait_for_input() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_cross.empty() || !m_posted.empty() || !m_input.empty()) return;
        m_signalled = false;
    }
    m_host.wait_for_input(next_timer_due());
}

LRESULT WindowSystem::dispatch_message(const Msg& m) {
#ifndef NDEBUG
    // However the message ends, the windows are whole again.
    const ScopeExit checked([this] { check_invariants(); });
#endif
    if (m.message == WM_TIMER) {
        auto key = std::make_pair(m.hwnd, static_cast<UINT>(m.wParam));
        auto it = m_timers.find(key);
        if (it == m_timers.end()) return 0;  // killed after it was taken
        LRESULT result = 0;
        if (it->second.proc) {
            const TimerProc proc = it->second.proc;
            guarded([&] {
                proc(m.hwnd, static_cast<UINT>(m.wParam));
                return LRESULT{0};
            });
        } else if (Window* w = find(m.hwnd)) {
            result = call_proc(*w, m.message, m.wParam, m.lParam);
        }
        it = m_timers.find(key);
        if (it != m_timers.end() && it->second.expired) m_timers.erase(it);
        return result;
    }
    if (m.message == WM_PAINT) {
        paint_frame_if_due(m.hwnd);
        Window* w = find(m.hwnd);
        if (!w) return 0;
        const LRESULT result = w->update.empty() ? 0 : call_proc(*w, m.message, m.wParam, m.lParam);
        finish_paint_message(m.hwnd);
        return result;
    }
    Window* w = find(m.hwnd);
    if (!w) return 0;
    return call_proc(*w, m.message, m.wParam, m.lParam);
}

void WindowSystem::process_messages() {
    Msg m;
    while (peek_message(m)) {
        if (m.message == WM_QUIT) break;
        dispatch_message(m);
    }
}

bool WindowSystem::run_loop(const std::function<bool()>& keep_running) {
    Msg m;
    while (keep_running()) {
        if (!get_message(m)) return false;
        dispatch_message(m);
    }
    return true;
}

void WindowSystem::wait_dispatching(const std::function<bool()>& done) {
    for (;;) {
        handle_cross_sends();
        if (done()) return;
        std::unique_lock lock(m_mutex);
        m_cv.wait(lock, [&] { return !m_cross.empty() || m_signalled; });
        m_signalled = false;
    }
}

void WindowSystem::signal() {
    {
        std::lock_guard lock(m_mutex);
        m_signalled = true;
    }
    m_cv.notify_all();
    m_host.wake();
}

int WindowSystem::run_modal(HWND h) {
    if (!is_window(h) || in_modal_loop(h)) return 0;
    m_modal.push_back(std::make_unique<ModalState>());
    ModalState* state = m_modal.back().get();
    state->hwnd = h;
    const HWND previous_active = m_active;
    // A mouse mode of the window below (a drag, a press held) ends here.
    if (m_capture != kNoWindow) send_message(m_capture, WM_CANCELMODE);
    std::vector<HWND> disabled;
    for (HWND t : m_top_levels)
        if (t != h && is_visible(t) && is_enabled(t) && get_owner(t) != h) disabled.push_back(t);
    for (HWND t : disabled) enable_window(t, false);
    // Whatever ends the loop, an exception included, the other windows come back.
    ScopeExit restore([&] {
        for (HWND t : disabled) enable_window(t, true);
        std::erase_if(m_modal, [&](const auto& m) { return m.get() == state; });
    });
    show_window(h, SW_SHOW);
    set_active_window(h);
    const bool quit = !run_loop([&] { return !state->ended && is_window(h); });
    const int result = quit ? 0 : state->result;
    for (HWND t : disabled) enable_window(t, true);
    if (is_window(h)) show_window(h, SW_HIDE);
    if (is_window(previous_active) && is_visible(previous_active)) set_active_window(previous_active);
    // The window under the modal one lost the focus to it; activating it
    // again put the focus on the window itself at best.
    if (const HWND back = focus_to_restore(m_active); back != kNoWindow && (m_focus == kNoWindow || m_focus == m_active))
        set_focus(back);
    return result;
}

void WindowSystem::end_modal(HWND h, int result) {
    for (auto& m : m_modal)
        if (m->hwnd == h && !m->ended) {
            m->ended = true;
            m->result = result;
            // The loop checks its state after each message; make sure one comes.
            post_message(h, WM_NULL);
        }
}

bool WindowSystem::in_modal_loop(HWND h) const {
    return std::any_of(m_modal.begin(), m_modal.end(), [&](const auto& m) { return m->hwnd == h && !m->ended; });
}

void WindowSystem::system_colors_changed() {
    std::vector<HWND> all;
    for (HWND t : m_top_levels) {
        all.push_back(t);
        for (std::size_t i = all.size() - 1; i < all.size(); ++i)
            for (HWND c : find(all[i])->children) all.push_back(c);
    }
    for (HWND h : all) send_message(h, WM_SYSCOLORCHANGE);
    for (HWND t : m_top_levels) invalidate_rect(t, nullptr, true);
}

}  // namespace ui
