// Plays a menu's opening animation on a worker thread. The worker draws each
// step through the window system's call onto the GUI thread (sizing the
// window, drawing its frame, copying the part of the menu's off-screen image
// that shows), then sleeps a millisecond and waits for the tick count to
// move on, so that every step lasts at least one tick.
//
// The GUI thread owns the menu. Before it touches an animating menu (a key
// in it, closing it, opening another) it calls abort_and_wait(): the abort
// flag is set and the GUI thread waits for the worker's end while handling
// the calls the worker makes meanwhile, so neither waits for the other.
// Only one animation runs at a time.
//
// Invariants: running() holds from start() until the worker's last call on
// the GUI thread; the image and the window are touched only on the GUI thread.
#pragma once

#include "bars/MenuAnimation.h"
#include "platform/gfx/TBitmap.h"
#include "platform/ui/WindowSystem.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace dxbar {

class MenuAnimator {
public:
    // Draws the menu's frame into its window's canvas (window coordinates,
    // the window being `size` large at this step).
    using FramePainter = std::function<void(TCanvas& canvas, TSize size)>;

    explicit MenuAnimator(ui::WindowSystem& ws) : m_ws(ws) {}
    ~MenuAnimator();
    MenuAnimator(const MenuAnimator&) = delete;
    MenuAnimator& operator=(const MenuAnimator&) = delete;

    // Starts animating `menu`, whose client area (at client_offset inside
    // the window) shows `image` when whole. Aborts a running animation first.
    void start(ui::HWND menu, const MenuAnimationPlan& plan, std::unique_ptr<TBitmap> image, TPoint client_offset,
               FramePainter frame);
    // Stops a running animation and waits for it; the menu, if it still
    // exists, is then shown whole.
    void abort_and_wait();

    bool running() const { return m_running; }
    ui::HWND menu() const { return m_running ? m_menu : ui::kNoWindow; }
    // Steps drawn by the current or last animation.
    int steps_drawn() const { return m_steps_drawn; }

private:
    void run();  // the worker
    void draw_step(int k);
    void finish();
    void show_whole();

    ui::WindowSystem& m_ws;
    std::thread m_thread;
    std::atomic<bool> m_abort{false};
    // GUI-thread state.
    bool m_running = false;
    ui::HWND m_menu = ui::kNoWindow;
    std::unique_ptr<MenuAnimationPlan> m_plan;
    std::unique_ptr<TBitmap> m_image;
    TPoint m_client_offset;
    FramePainter m_frame;
    int m_steps_drawn = 0;
};

}  // namespace dxbar
