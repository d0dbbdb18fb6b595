#include "UiTestSupport.h"

#include "platform/classes/Exception.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace ui::test {
namespace {

struct Loops : ::testing::Test {
    Log log;
    HeadlessHost host;
    WindowSystem& ws = host.windows();
    HWND form = make_top(ws, Bounds(0, 0, 400, 300), logging_proc(log, "form"));
};

TEST_F(Loops, ModalWindowDisablesTheOthersUntilItEnds) {
    // The dialog's button ends the loop when clicked.
    const HWND dialog = make_top(ws, Bounds(100, 100, 200, 100), {}, 0, false);
    const HWND ok = make_child(ws, dialog, Bounds(10, 10, 50, 20), [&](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_LBUTTONUP) ws.end_modal(dialog, 42);
        return ws.def_window_proc(h, m, w, l);
    });
    int step = 0;
    bool form_enabled_inside = true;
    host.set_idle_handler([&] {
        switch (step++) {
        case 0:
            form_enabled_inside = ws.is_enabled(form);
            EXPECT_EQ(ws.get_active_window(), dialog);
            host.click(TPoint{390, 290});  // the disabled form: nothing happens
            break;
        default: host.click(ws.client_to_screen(ok, TPoint{5, 5})); break;
        }
    });
    ws.set_capture(form);  // a mouse mode of the form must end when the dialog comes up
    EXPECT_EQ(ws.run_modal(dialog), 42);
    EXPECT_EQ(ws.get_capture(), kNoWindow);
    EXPECT_EQ(std::count(log.begin(), log.end(), "form:CANCELMODE"), 1);
    EXPECT_FALSE(form_enabled_inside);
    EXPECT_TRUE(ws.is_enabled(form));
    EXPECT_FALSE(ws.is_visible(dialog));
    EXPECT_EQ(ws.get_active_window(), form);
    EXPECT_EQ(std::count(log.begin(), log.end(), "form:LBUTTONDOWN"), 0);
}

TEST_F(Loops, AModalLoopLeftByAnExceptionGivesTheOtherWindowsBack) {
    const HWND dialog = make_top(ws, Bounds(100, 100, 200, 100), {}, 0, false);
    EXPECT_THROW(ws.run_modal(dialog), Exception);  // the headless host has no input to wait for
    EXPECT_TRUE(ws.is_enabled(form));
    EXPECT_FALSE(ws.in_modal_loop(dialog));
}

TEST_F(Loops, NestedLoopRunsUntilItsConditionAndLeavesQuitToTheOuterLoop) {
    // A panning-like mode: a nested loop with a 20 ms timer, ended by Esc.
    int ticks = 0;
    bool panning = true;
    const HWND grid = make_child(ws, form, Bounds(0, 0, 100, 100), [&](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_TIMER) ++ticks;
        if (m == WM_KEYDOWN && w == VK_ESCAPE) panning = false;
        return ws.def_window_proc(h, m, w, l);
    });
    ws.set_focus(grid);
    ws.set_timer(grid, 1, 20);
    host.set_idle_handler([&] {
        if (ticks < 3)
            host.advance(20);
        else
            host.key_down(VK_ESCAPE);
    });
    EXPECT_TRUE(ws.run_loop([&] { return panning; }));
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(host.now(), 60);

    // WM_QUIT ends the nested loop and stays for the outer one.
    ws.post_quit_message(3);
    bool inner_ended = false;
    host.set_idle_handler({});
    EXPECT_FALSE(ws.run_loop([&] { return true; }));
    inner_ended = true;
    Msg m;
    EXPECT_FALSE(ws.get_message(m));
    EXPECT_TRUE(inner_ended);
    EXPECT_EQ(ws.exit_code(), 3);
}

TEST_F(Loops, AWaitWithNothingToDoFailsInsteadOfHanging) {
    EXPECT_THROW(ws.run_loop([] { return true; }), Exception);
    host.set_idle_handler([] {});
    EXPECT_THROW(ws.run_loop([] { return true; }), Exception);
}

TEST_F(Loops, WorkerSendsAreHandledWhileTheGuiThreadWaitsForIt) {
    // As the menu animation does: the worker sends one message per step; the
    // GUI thread sets the abort flag and waits, dispatching those sends.
    std::vector<LPARAM> steps;
    const HWND menu = make_popup(ws, Bounds(0, 0, 50, 50), [&](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_USER) {
            steps.push_back(l);
            return LRESULT(l * 2);
        }
        return ws.def_window_proc(h, m, w, l);
    });
    std::atomic<bool> abort{false};
    std::atomic<bool> finished{false};
    std::atomic<int> wrong_results{0};
    std::atomic<int> sent{0};
    std::thread worker([&] {
        for (LPARAM k = 1; k <= 1000 && !abort; ++k) {
            if (ws.send_message(menu, WM_USER, 0, k) != k * 2) ++wrong_results;
            ++sent;
        }
        ws.call_on_gui_thread([&] { steps.push_back(-1); });
        finished = true;
        ws.signal();
    });
    // Let a few steps through before aborting.
    ws.wait_dispatching([&] { return sent >= 5; });
    abort = true;
    ws.wait_dispatching([&] { return finished.load(); });
    worker.join();
    EXPECT_EQ(wrong_results, 0);
    ASSERT_GE(steps.size(), 6u);
    EXPECT_EQ(steps.back(), -1);
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) EXPECT_EQ(steps[i], static_cast<LPARAM>(i + 1));
}

TEST_F(Loops, WhatAWorkerDrawsIsShownWhileTheGuiThreadWaits) {
    const HWND menu = make_popup(ws, Bounds(0, 0, 40, 40));
    host.pump();
    const int before = host.present_count();
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        for (int step = 1; step <= 4; ++step)
            ws.call_on_gui_thread([&, step] {
                WindowDC dc = ws.get_dc(menu);
                dc->Brush().SetColor(clBlue);
                dc->FillRect(TRect{0, 0, 40, step * 10});
            });
        finished = true;
        ws.signal();
    });
    ws.wait_dispatching([&] { return finished.load(); });
    worker.join();
    // Nothing pumped the loop, yet the steps reached the screen.
    EXPECT_GT(host.present_count(), before);
    EXPECT_EQ(host.pixel(menu, 5, 35), clBlue);
}

TEST_F(Loops, PostedMessagesFromAWorkerArriveInOrder) {
    std::vector<WPARAM> got;
    ws.subclass_window(form, [&, prev = ws.get_window_proc(form)](HWND h, UINT m, WPARAM w, LPARAM l) {
        if (m == WM_APP) got.push_back(w);
        return ws.call_window_proc(prev, h, m, w, l);
    });
    std::thread worker([&] {
        for (WPARAM i = 0; i < 100; ++i) ws.post_message(form, WM_APP, i);
    });
    worker.join();
    host.pump();
    ASSERT_EQ(got.size(), 100u);
    for (WPARAM i = 0; i < 100; ++i) EXPECT_EQ(got[i], i);
}

}  // namespace
}  // namespace ui::test
