// Repainting the bars: the top dock of a 1920-pixel-wide window with the
// directory's main menu and search toolbar, on the headless host.
#include "app/PhonesBuild.h"
#include "bars/dxBar.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TForm.h"
#include "platform/ui/HeadlessHost.h"
#include "text/Cp1251.h"

#include <benchmark/benchmark.h>

namespace {

class BarsForm : public TForm {
public:
    using TForm::TForm;
    TdxBarManager* manager = nullptr;

protected:
    void ReadLayout(forms::LayoutReader& reader) override {
        SetBounds(0, 0, 1920, 1000);
        const phones::Bars bars = phones::read_bar_manager(reader);
        manager = bars.PhoneBarManager;
        bars.LastNameEdit->SetText("Иванов"_a);
        phones::read_image_list(reader, *manager);
    }
};

void BM_BarsRepaint(benchmark::State& state) {
    ui::HeadlessHost host(1920, 1080);
    {
        TApplication app;
        auto* form = app.CreateForm<BarsForm>();
        form->Show();
        host.pump();
        TdxDockControl* dock = form->manager->Bars().DockControl(dsTop);
        const ui::HWND h = dock->Handle();
        const int presents = host.present_count();
        for (auto _ : state) {
            host.windows().invalidate_rect(h, nullptr, true);
            host.windows().update_window(h);
        }
        state.counters["dock_height"] = dock->Height();
        // One present per repaint shows the pixels really were painted.
        state.counters["presents"] = benchmark::Counter(host.present_count() - presents, benchmark::Counter::kAvgIterations);
    }
}
BENCHMARK(BM_BarsRepaint)->Name("Bars/Repaint")->Unit(benchmark::kMillisecond);

}  // namespace
