#include "app/Main.h"

#include "app/About.h"
#include "platform/ui/Process.h"
#include "platform/ui/StartupTrace.h"
#include "text/Cp1251.h"

TPhones* Phones = nullptr;

TPhones::TPhones(TComponent* AOwner) : TForm(AOwner) {}

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

    m_tables = directory::DirectoryTables::Create(this);
    for (TComponent* c : m_tables.Components()) reader.add(c);
    PhoneT = m_tables.PhoneT;
    Abonix = m_tables.Abonix;
    PhoneDS = m_tables.PhoneDS;
    CityT = m_tables.CityT;
    CityDS = m_tables.CityDS;
    StreetT = m_tables.StreetT;
    StreetDS = m_tables.StreetDS;

    ImageList1 = reader.create<TImageList>("ImageList1");
    gfx::load_image_list1(*ImageList1);
}

void TPhones::FormCreate(TObject*) {
    m_tables.OpenTables();
    ui::startup_step("tables opened");
}

void TPhones::CloseButtonClick(TObject*) { Close(); }

void TPhones::AboutMenuClick(TObject*) {
    if (AboutBox) AboutBox->ShowModal();
}

void TPhones::WebPageMenuClick(TObject*) { ui::win_exec(kWebPageCommand, 0); }
