#include "app/Main.h"

#include "app/About.h"
#include "app/DirectoryReload.h"
#include "app/PhonesBuild.h"
#include "app/PhonesLayout.h"
#include "bars/dxBar.h"
#include "directory/DirectorySearch.h"
#include "grid/dxDBGrid.h"
#include "platform/forms/LayoutReader.h"
#include "platform/ui/Process.h"
#include "platform/ui/StartupTrace.h"
#include "text/Cp1251.h"

#include <filesystem>

TPhones* Phones = nullptr;

TPhones::TPhones(TComponent* AOwner) : TForm(AOwner) {}

TPhones::~TPhones() = default;

void TPhones::WndProc(TMessage& message) {
    TForm::WndProc(message);
    if (message.Msg == ui::WM_ACTIVATE && (message.WParam & 0xFFFF) != ui::WA_INACTIVE && m_reload) m_reload->CheckSoon();
}

bool TPhones::TablesReadable() { return !m_reload || m_reload->Check(); }

void TPhones::ReadLayout(forms::LayoutReader& reader) {
    SetName("Phones");
    SetBoundsRect(phones::kWindowBounds);
    SetCaption("Ольмарск 2001"_a);
    SetColor(clBtnFace);
    phones::apply_font(Font(), phones::kWindowFont);
    SetIcon("MAINICON");
    SetWindowState(wsMaximized);
    OnCreate = [this](TObject* sender) { FormCreate(sender); };

    read_dock_controls(reader);
    read_grid(reader);
    read_bar_manager(reader);

    m_tables = directory::DirectoryTables::Create(this);
    for (TComponent* c : m_tables.Components()) reader.add(c);
    PhoneT = m_tables.PhoneT;
    Abonix = m_tables.Abonix;
    PhoneDS = m_tables.PhoneDS;
    CityT = m_tables.CityT;
    CityDS = m_tables.CityDS;
    StreetT = m_tables.StreetT;
    StreetDS = m_tables.StreetDS;
    PhoneGrid->SetDataSource(PhoneDS);

    ImageList1 = phones::read_image_list(reader, *PhoneBarManager);
}

void TPhones::read_dock_controls(forms::LayoutReader& reader) {
    const auto docks = phones::read_docks(reader, this);
    dxBarDockControl1 = docks[0];
    dxBarDockControl2 = docks[1];
    dxBarDockControl3 = docks[2];
    dxBarDockControl4 = docks[3];
}

void TPhones::read_grid(forms::LayoutReader& reader) {
    PhoneGrid = reader.create<TdxDBGrid>("PhoneGrid");
    PhoneGrid->SetParent(this);
    phones::configure_grid(*PhoneGrid);
    PhoneGrid->OnColumnClick = [this](TObject* sender, TdxTreeListColumn* column) { PhoneGridColumnClick(sender, column); };
    phones::read_columns(reader, *PhoneGrid);
}

void TPhones::read_bar_manager(forms::LayoutReader& reader) {
    const phones::Bars bars = phones::read_bar_manager(reader);
    PhoneBarManager = bars.PhoneBarManager;
    FileMenu = bars.FileMenu;
    N1 = bars.N1;
    AboutMenu = bars.AboutMenu;
    WebPageMenu = bars.WebPageMenu;
    CloseButton = bars.CloseButton;
    LastNameEdit = bars.LastNameEdit;
    FirstNameEdit = bars.FirstNameEdit;
    MiddleNameEdit = bars.MiddleNameEdit;
    PhoneEdit = bars.PhoneEdit;
    CityEdit = bars.CityEdit;
    StreetEdit = bars.StreetEdit;
    MainMenuBar = bars.MainMenu;
    SearchBar = bars.SearchBar;

    auto click = [this](TdxBarButton* button, void (TPhones::*handler)(TObject*)) {
        button->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
    };
    click(AboutMenu, &TPhones::AboutMenuClick);
    click(WebPageMenu, &TPhones::WebPageMenuClick);
    click(CloseButton, &TPhones::CloseButtonClick);
    auto change = [this](TdxBarEdit* edit, void (TPhones::*handler)(TObject*)) {
        edit->OnChange = [this, handler](TObject* sender) { (this->*handler)(sender); };
    };
    change(LastNameEdit, &TPhones::LastNameEditChange);
    change(FirstNameEdit, &TPhones::FirstNameEditChange);
    change(MiddleNameEdit, &TPhones::MiddleNameEditChange);
    change(PhoneEdit, &TPhones::PhoneEditChange);
    change(CityEdit, &TPhones::CityEditChange);
    change(StreetEdit, &TPhones::StreetEditChange);
}

void TPhones::FormCreate(TObject*) {
    // The tables are found in the current folder (the one the program works in).
    m_reload = std::make_unique<app::DirectoryReload>(m_tables, std::filesystem::current_path());
    m_tables.OpenTables();
    ui::startup_step("tables opened");
}

void TPhones::CloseButtonClick(TObject*) { Close(); }

void TPhones::AboutMenuClick(TObject*) {
    if (AboutBox) AboutBox->ShowModal();
}

void TPhones::WebPageMenuClick(TObject*) { ui::win_exec(kWebPageCommand, 0); }

namespace {
directory::DirectorySearch search_of(const directory::DirectoryTables& t) {
    return directory::DirectorySearch(t.PhoneT, t.CityT, t.StreetT);
}
const AnsiString& text_of(TObject* sender) { return static_cast<TdxBarEdit*>(sender)->Text(); }
}  // namespace

void TPhones::PhoneEditChange(TObject* Sender) {
    if (TablesReadable()) search_of(m_tables).PhoneEditChange(text_of(Sender));
}
void TPhones::LastNameEditChange(TObject* Sender) {
    if (TablesReadable()) search_of(m_tables).LastNameEditChange(text_of(Sender));
}
void TPhones::FirstNameEditChange(TObject* Sender) {
    if (TablesReadable()) search_of(m_tables).FirstNameEditChange(text_of(Sender));
}
void TPhones::MiddleNameEditChange(TObject* Sender) {
    if (TablesReadable()) search_of(m_tables).MiddleNameEditChange(text_of(Sender));
}
void TPhones::CityEditChange(TObject* Sender) {
    if (TablesReadable()) search_of(m_tables).CityEditChange(text_of(Sender));
}
void TPhones::StreetEditChange(TObject* Sender) {
    if (TablesReadable()) search_of(m_tables).StreetEditChange(text_of(Sender));
}

void TPhones::PhoneGridColumnClick(TObject*, TdxTreeListColumn* Column) {
    if (!TablesReadable()) return;
    search_of(m_tables).PhoneGridColumnClick(static_cast<TdxDBTreeListColumn*>(Column)->FieldName());
}
