// A window like the directory's main window for the grid's tests: the grid
// with its eleven columns made as the stored layout makes them, over a
// generated directory, on a headless screen.
#pragma once

#include "app/PhonesBuild.h"
#include "app/PhonesLayout.h"
#include "directory/DirectoryTables.h"
#include "grid/dxDBGrid.h"
#include "platform/forms/LayoutReader.h"
#include "platform/forms/TForm.h"
#include "tests/forms/FormsTestSupport.h"
#include "tests/support/TempDir.h"
#include "text/Cp1251.h"
#include "tools/SampleDirectory.h"

#include <map>
#include <memory>

namespace gridtest {

// A generated directory per subscriber count, kept for the whole test program.
inline const std::filesystem::path& directory_of(std::uint32_t subscribers) {
    static std::map<std::uint32_t, std::unique_ptr<TempDir>> dirs;
    auto& dir = dirs[subscribers];
    if (!dir) {
        dir = std::make_unique<TempDir>();
        tools::SampleOptions options;
        options.subscribers = subscribers;
        tools::generate_sample_directory(dir->path(), options);
    }
    return dir->path();
}

class PhonesForm : public TForm {
public:
    PhonesForm(TComponent* owner, int clientWidth, int clientHeight, AnsiString iniFileName)
        : TForm(owner), m_clientWidth(clientWidth), m_clientHeight(clientHeight), m_iniFileName(std::move(iniFileName)) {}

    TdxDBGrid* PhoneGrid = nullptr;
    directory::DirectoryTables tables;

    TdxTreeListColumn* column(const char* name) const { return PhoneGrid->ColumnByName(name); }

protected:
    void ReadLayout(forms::LayoutReader& reader) override {
        SetName("Phones");
        SetBorderStyle(bsNone);
        SetBounds(0, 0, m_clientWidth, m_clientHeight);
        SetColor(clBtnFace);
        phones::apply_font(Font(), phones::kWindowFont);

        PhoneGrid = reader.create<TdxDBGrid>("PhoneGrid");
        PhoneGrid->SetParent(this);
        phones::configure_grid(*PhoneGrid);
        PhoneGrid->SetIniFileName(m_iniFileName);
        phones::read_columns(reader, *PhoneGrid);
        tables = directory::DirectoryTables::Create(this);
        for (TComponent* c : tables.Components()) reader.add(c);
        PhoneGrid->SetDataSource(tables.PhoneDS);
    }

private:
    int m_clientWidth;
    int m_clientHeight;
    AnsiString m_iniFileName;
};

// The window shown on a headless screen with its tables open.
class GridOnForm : public forms::test::HeadlessApp {
protected:
    explicit GridOnForm(int screen_width = 1024, int screen_height = 768) : HeadlessApp(screen_width, screen_height) {}

    // The grid keeps its layout file in a folder of the test's own.

    void open(std::uint32_t subscribers, int width, int height) {
        CurrentDir cd(directory_of(subscribers));
        form = TComponent::Own<PhonesForm>(app.get(), width, height, (work.path() / "Abonix.ini").string());
        form->CreateFromLayout();
        form->Show();
        host.pump();
        form->tables.OpenTables();
        host.pump();
        grid = form->PhoneGrid;
    }
    // Closes the window as the program ends: the grid writes its layout.
    void close() {
        TComponent::Free(form);
        form = nullptr;
        grid = nullptr;
    }
    TTable& phones() { return *form->tables.PhoneT; }
    TPoint at(int x, int y) { return screen(*grid, {x, y}); }

    TempDir work;
    PhonesForm* form = nullptr;
    TdxDBGrid* grid = nullptr;
};

}  // namespace gridtest
