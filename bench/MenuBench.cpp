// Opening a menu: a click on the "?" title of the directory's main menu to
// the first complete paint of its submenu, on the headless host, with the
// animation off (the animation is paced by the clock, not by our work).
#include "app/PhonesBuild.h"
#include "bars/TdxBarSubMenuControl.h"
#include "bars/dxBar.h"
#include "bars/dxBarMenus.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TForm.h"
#include "platform/ui/HeadlessHost.h"

#include <benchmark/benchmark.h>

namespace {

class MenuForm : public TForm {
public:
    using TForm::TForm;
    TdxBarManager* manager = nullptr;
    TdxBar* menu = nullptr;
    TdxBarSubItem* help = nullptr;

protected:
    void ReadLayout(forms::LayoutReader& reader) override {
        SetBounds(0, 0, 1920, 1000);
        const phones::Bars bars = phones::read_bar_manager(reader);
        manager = bars.PhoneBarManager;
        manager->SetMenuAnimations(maNone);
        menu = bars.MainMenu;
        help = bars.N1;
        phones::read_image_list(reader, *manager);
    }
};

void BM_MenuOpen(benchmark::State& state) {
    ui::HeadlessHost host(1920, 1080);
    {
        TApplication app;
        auto* form = app.CreateForm<MenuForm>();
        form->Show();
        host.pump();
        TdxBarControl* bar = form->menu->Control();
        const TRect r = form->help->Links(0)->Control()->ItemRect();
        const TPoint title = host.windows().client_to_screen(bar->Handle(), Point((r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2));
        dxbar::BarMenuLevel* level = dxbar::BarMenus::ClientOf(form->manager)->LevelOf(bar);
        const int presents = host.present_count();
        for (auto _ : state) {
            host.click(title);
            TdxBarSubMenuControl* open = level->OpenMenu();
            if (!open || host.windows().get_update_region(open->Handle()).bounds() != TRect{}) {
                state.SkipWithError("the menu did not open painted");
                break;
            }
            state.PauseTiming();
            host.click(title);  // the same title closes it again
            state.ResumeTiming();
        }
        state.counters["presents"] =
            benchmark::Counter(host.present_count() - presents, benchmark::Counter::kAvgIterations);
    }
}
BENCHMARK(BM_MenuOpen)->Name("Menu/Open")->Unit(benchmark::kMicrosecond);

}  // namespace
