#include "app/Main.h"

#include "app/About.h"
#include "app/DirectoryReload.h"
#include "bars/dxBar.h"
#include "directory/DirectorySearch.h"
#include "grid/dxDBGrid.h"
#include "platform/forms/LayoutReader.h"
#include "platform/gfx/Resources.h"
#include "platform/gfx/TImageList.h"
#include "platform/ui/Process.h"
#include "platform/ui/StartupTrace.h"
#include "text/Cp1251.h"

#include <filesystem>
#include <string_view>
#include <vector>

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
    SetBounds(232, 104, 635, 450);
    SetCaption("Ольмарск 2001"_a);
    SetColor(clBtnFace);
    Font().SetCharset(RUSSIAN_CHARSET);
    Font().SetColor(clWindowText);
    Font().SetHeight(-13);
    Font().SetName("Courier New");
    Font().SetStyle({});
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

    ImageList1 = reader.create<TImageList>("ImageList1");
    gfx::load_image_list1(*ImageList1);
    PhoneBarManager->SetImages(ImageList1);
}

void TPhones::read_dock_controls(forms::LayoutReader& reader) {
    struct Dock {
        const char* name;
        TdxDockControlAlign align;
        TRect bounds;
        TdxBarDockControl* TPhones::*field;
    };
    const Dock docks[] = {{"dxBarDockControl1", dalTop, Bounds(0, 50, 627, 3), &TPhones::dxBarDockControl1},
                          {"dxBarDockControl2", dalBottom, Bounds(0, 420, 627, 3), &TPhones::dxBarDockControl2},
                          {"dxBarDockControl3", dalLeft, Bounds(0, 53, 3, 367), &TPhones::dxBarDockControl3},
                          {"dxBarDockControl4", dalRight, Bounds(624, 53, 3, 367), &TPhones::dxBarDockControl4}};
    for (const Dock& d : docks) {
        auto* dock = reader.create<TdxBarDockControl>(d.name);
        dock->SetParent(this);
        dock->SetDockAlign(d.align);
        dock->SetBoundsRect(d.bounds);
        this->*d.field = dock;
    }
}

void TPhones::read_grid(forms::LayoutReader& reader) {
    PhoneGrid = reader.create<TdxDBGrid>("PhoneGrid");
    TdxDBGrid& g = *PhoneGrid;
    g.SetParent(this);
    g.SetBounds(3, 53, 621, 367);
    g.SetAlign(alClient);
    g.SetBorderStyle(bsNone);
    g.SetTabOrder(8);
    g.SetDefaultLayout(true);
    g.SetHeaderPanelRowCount(1);
    g.SetKeyField("Code");
    g.SetIniFileName("Abonix.ini");
    g.SetIniSectionName("Grid");
    g.SetLookAndFeel(lfUltraFlat);
    g.SetOptionsBehavior({edgoAnsiSort, edgoAutoSearch, edgoAutoSort, edgoDragScroll, edgoEnterShowEditor,
                          edgoImmediateEditor, edgoMouseScroll, edgoStoreToIniFile, edgoTabThrough, edgoVertThrough});
    g.SetOptionsDB({edgoCancelOnExit, edgoCanNavigation, edgoConfirmDelete, edgoUseBookmarks});
    g.SetOptionsView({edgoAutoWidth, edgoHideFocusRect, edgoHotTrack, edgoUseBitmap});
    g.OnColumnClick = [this](TObject* sender, TdxTreeListColumn* column) { PhoneGridColumnClick(sender, column); };

    struct Column {
        const char* name;
        bool lookup;
        const char* field;
        AnsiString caption;  // empty: the field's own
        int width;
        bool visible;
    };
    const Column columns[] = {
        {"PhoneGridCode", false, "Code", {}, 63, false},
        {"PhoneGridPhone", false, "Phone", "Телефон"_a, 49, true},
        {"PhoneGridLastName", false, "LastName", "Фамилия"_a, 130, true},
        {"PhoneGridFirstName", false, "FirstName", "Имя"_a, 79, true},
        {"PhoneGridMiddleName", false, "MiddleName", "Отчество"_a, 87, true},
        {"PhoneGridCity", false, "City", {}, 63, false},
        {"PhoneGridStreet", false, "Street", {}, 63, false},
        {"PhoneGridCityStr", true, "CityStr", "Город"_a, 130, true},
        {"PhoneGridStreetStr", true, "StreetStr", "Улица"_a, 130, true},
        {"PhoneGridHouse", false, "House", "Дом"_a, 44, true},
        {"PhoneGridFlat", false, "Flat", "Квартира"_a, 28, true},
    };
    for (const Column& d : columns) {
        TdxDBTreeListColumn* c = d.lookup ? static_cast<TdxDBTreeListColumn*>(reader.create<TdxDBGridLookupColumn>(d.name))
                                          : reader.create<TdxDBGridMaskColumn>(d.name);
        c->SetATreeList(PhoneGrid);
        c->SetBandIndex(0);
        c->SetRowIndex(0);
        if (!d.caption.empty()) c->SetCaption(d.caption);
        c->SetWidth(d.width);
        c->SetVisible(d.visible);
        c->SetOEMConvert(std::string_view(d.name) != "PhoneGridCode");
        c->SetFieldName(d.field);
    }
    TFont& phoneFont = PhoneGrid->ColumnByName("PhoneGridPhone")->Font();
    phoneFont.SetCharset(RUSSIAN_CHARSET);
    phoneFont.SetColor(clWindowText);
    phoneFont.SetHeight(-11);
    phoneFont.SetName("Courier New");
    phoneFont.SetStyle({});
}

void TPhones::read_bar_manager(forms::LayoutReader& reader) {
    PhoneBarManager = reader.create<TdxBarManager>("PhoneBarManager");
    TdxBarManager& m = *PhoneBarManager;
    m.Font().SetCharset(ANSI_CHARSET);
    m.Font().SetColor(clWindowText);
    m.Font().SetHeight(-11);
    m.Font().SetName("MS Sans Serif");
    m.Font().SetStyle({});
    m.SetUseSystemFont(true);
    m.SetStyle(bmsFlat);
    m.SetMenuAnimations(maRandom);
    m.Categories().Clear();
    for (const AnsiString& c : std::vector<AnsiString>{"Меню"_a, "?", "Файл"_a, "Поиск"_a}) m.Categories().Add(c);
    m.Categories().ReadItemsVisibles({2, 2, 2, 2});
    m.Categories().ReadVisibles({true, true, true, true});
    m.SetShowHelpButton(true);
    m.SetShowShortCutInHint(true);
    m.SetStoreInIniFile(true);
    m.SetIniFileName("abonix.ini");
    m.SetDockControlHeights({0, 0, 50, 0});

    auto sub = [&](const char* name, const AnsiString& caption, int image) {
        auto* s = reader.create<TdxBarSubItem>(name);
        s->SetCaption(caption);
        s->SetCategory(0);
        s->SetImageIndex(image);
        return s;
    };
    auto button = [&](const char* name, const AnsiString& caption, const AnsiString& hint, int category, int image,
                      int shortcut, void (TPhones::*handler)(TObject*)) {
        auto* b = reader.create<TdxBarButton>(name);
        b->SetCaption(caption);
        b->SetCategory(category);
        b->SetHint(hint);
        b->SetImageIndex(image);
        b->SetShortCut(shortcut);
        b->OnClick = [this, handler](TObject* sender) { (this->*handler)(sender); };
        return b;
    };
    auto edit = [&](const char* name, const AnsiString& caption, void (TPhones::*handler)(TObject*)) {
        auto* e = reader.create<TdxBarEdit>(name);
        e->SetCaption(caption);
        e->SetCategory(3);
        e->SetHint(caption);
        e->SetShowCaption(true);
        e->SetWidth(100);
        e->OnChange = [this, handler](TObject* sender) { (this->*handler)(sender); };
        return e;
    };
    FileMenu = sub("FileMenu", "Файл"_a, 4);
    N1 = sub("N1", "?", 5);
    AboutMenu = button("AboutMenu", "О программе..."_a, "О программе"_a, 1, 3, 112, &TPhones::AboutMenuClick);
    WebPageMenu = button("WebPageMenu", "Мы в интернете"_a, "Мы в интернете"_a, 1, 2, 16471, &TPhones::WebPageMenuClick);
    CloseButton = button("CloseButton", "Выход"_a, "Выход"_a, 2, 0, 16472, &TPhones::CloseButtonClick);
    LastNameEdit = edit("LastNameEdit", "Фамилия"_a, &TPhones::LastNameEditChange);
    FirstNameEdit = edit("FirstNameEdit", "Имя"_a, &TPhones::FirstNameEditChange);
    MiddleNameEdit = edit("MiddleNameEdit", "Отчество"_a, &TPhones::MiddleNameEditChange);
    PhoneEdit = edit("PhoneEdit", "Телефон"_a, &TPhones::PhoneEditChange);
    CityEdit = edit("CityEdit", "Город"_a, &TPhones::CityEditChange);
    StreetEdit = edit("StreetEdit", "Улица"_a, &TPhones::StreetEditChange);
    FileMenu->ItemLinks().Add(CloseButton);
    N1->ItemLinks().Add(AboutMenu);
    N1->ItemLinks().Add(WebPageMenu)->SetBeginGroup(true);

    MainMenuBar = m.Bars().Add();
    MainMenuBar->SetName("Main Menu");
    MainMenuBar->SetCaption("Main Menu");
    MainMenuBar->SetIsMainMenu(true);
    MainMenuBar->SetDockingStyle(dsTop);
    MainMenuBar->SetDockedDockingStyle(dsTop);
    MainMenuBar->SetRow(0);
    MainMenuBar->SetOneOnRow(true);
    MainMenuBar->SetWholeRow(true);
    MainMenuBar->SetMultiLine(true);
    MainMenuBar->SetVisible(true);
    MainMenuBar->ItemLinks().Add(FileMenu);
    MainMenuBar->ItemLinks().Add(N1);

    SearchBar = m.Bars().Add();
    SearchBar->SetName("SearchBar");
    SearchBar->SetCaption("SearchBar");
    SearchBar->SetDockingStyle(dsTop);
    SearchBar->SetDockedDockingStyle(dsTop);
    SearchBar->SetRow(1);
    SearchBar->SetDockedTop(26);
    SearchBar->SetFloatLeft(276);
    SearchBar->SetFloatTop(216);
    SearchBar->SetFloatClientWidth(23);
    SearchBar->SetFloatClientHeight(22);
    SearchBar->SetOneOnRow(true);
    SearchBar->SetVisible(true);
    SearchBar->ItemLinks().Add(PhoneEdit)->SetUserWidth(71);
    SearchBar->ItemLinks().Add(LastNameEdit)->SetUserWidth(105);
    SearchBar->ItemLinks().Add(FirstNameEdit)->SetUserWidth(89);
    SearchBar->ItemLinks().Add(MiddleNameEdit)->SetUserWidth(67);
    SearchBar->ItemLinks().Add(StreetEdit);
    SearchBar->ItemLinks().Add(CityEdit);
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
