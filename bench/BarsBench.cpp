// Repainting the bars: the top dock of a 1920-pixel-wide window with the
// directory's main menu and search toolbar, on the headless host.
#include "bars/dxBar.h"
#include "platform/forms/TApplication.h"
#include "platform/forms/TForm.h"
#include "platform/gfx/Resources.h"
#include "platform/gfx/TImageList.h"
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
        manager = reader.create<TdxBarManager>("PhoneBarManager");
        manager->SetStyle(bmsFlat);
        auto* images = reader.create<TImageList>("ImageList1");
        gfx::load_image_list1(*images);
        manager->SetImages(images);
        TdxBar* menu = manager->Bars().Add();
        menu->SetIsMainMenu(true);
        menu->SetDockingStyle(dsTop);
        menu->SetOneOnRow(true);
        menu->SetVisible(true);
        const std::pair<AnsiString, int> titles[] = {{"Файл"_a, 4}, {"?", 5}};
        for (const auto& [caption, image] : titles) {
            auto* sub = reader.create<TdxBarSubItem>(caption == "?" ? "N1" : "FileMenu");
            sub->SetCaption(caption);
            sub->SetImageIndex(image);
            menu->ItemLinks().Add(sub);
        }
        TdxBar* search = manager->Bars().Add();
        search->SetDockingStyle(dsTop);
        search->SetRow(1);
        search->SetOneOnRow(true);
        search->SetVisible(true);
        const char* names[] = {"PhoneEdit", "LastNameEdit", "FirstNameEdit", "MiddleNameEdit", "StreetEdit", "CityEdit"};
        const AnsiString captions[] = {"Телефон"_a, "Фамилия"_a, "Имя"_a, "Отчество"_a, "Улица"_a, "Город"_a};
        const int widths[] = {71, 105, 89, 67, 0, 0};
        for (int i = 0; i < 6; ++i) {
            auto* e = reader.create<TdxBarEdit>(names[i]);
            e->SetCaption(captions[i]);
            e->SetShowCaption(true);
            e->SetText(i == 1 ? "Иванов"_a : AnsiString());
            TdxBarItemLink* link = search->ItemLinks().Add(e);
            if (widths[i]) link->SetUserWidth(widths[i]);
        }
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
