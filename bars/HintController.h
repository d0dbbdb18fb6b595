// The hints of all bar managers: one hint window, one schedule and one timer
// for the whole program, so a hint asked for by one manager replaces
// another's. Bars report their hot item; the controller shows its hint after
// the delay (or at once while hints are already showing) and hides it after
// its lifetime, on a press or a key, or when the mouse leaves the items.
//
// Invariant: the timer is armed exactly while the schedule has a deadline.
#pragma once

#include "bars/HintSchedule.h"
#include "bars/TdxBarHintWindow.h"
#include "platform/ui/WindowSystem.h"

#include <functional>
#include <memory>

namespace dxbar {

class HintController {
public:
    explicit HintController(ui::WindowSystem& ws);
    ~HintController();
    HintController(const HintController&) = delete;
    HintController& operator=(const HintController&) = delete;

    // What to show for the hot item when the time comes: the hint text, or
    // empty when the item is no longer the one under the cursor or has
    // nothing to say. Set before the window is shown: the font to use.
    struct Source {
        std::function<AnsiString()> text;
        std::function<void(TFont&)> font;
    };

    // The hot item of a bar changed; an empty source: no item (or one in a
    // bar that takes the keys, which shows no hints).
    void hot_changed(Source source);
    // A press, a key, the application going inactive.
    void hide();

    TdxBarHintWindow& window() { return *m_window; }
    const HintSchedule& schedule() const { return m_schedule; }

    void check_invariants() const;

private:
    void apply(HintSchedule::Action action);
    void show_now();
    void arm_timer();
    void on_timer();

    ui::WindowSystem& m_ws;
    std::unique_ptr<TdxBarHintWindow> m_window;
    HintSchedule m_schedule;
    Source m_source;
    ui::UINT m_timer = 0;
};

}  // namespace dxbar
