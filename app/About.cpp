#include "app/About.h"

#include "text/Cp1251.h"

TAboutBox* AboutBox = nullptr;

TAboutBox::TAboutBox(TComponent* AOwner) : TForm(AOwner) {}

namespace {

void label_font(TLabel* label, TColor color) {
    label->SetParentFont(false);
    TFont& f = label->Font();
    f.SetName("Times New Roman");
    f.SetHeight(-19);
    f.SetCharset(RUSSIAN_CHARSET);
    f.SetColor(color);
    f.SetStyle({});
}

}  // namespace

void TAboutBox::ReadLayout(forms::LayoutReader& reader) {
    SetName("AboutBox");
    SetLeft(200);
    SetTop(108);
    SetBorderStyle(bsToolWindow);
    SetCaption("О программе..."_a);
    SetClientWidth(270);
    SetClientHeight(141);
    SetColor(clBtnFace);
    Font().SetCharset(DEFAULT_CHARSET);
    Font().SetColor(clWindowText);
    Font().SetHeight(-11);
    Font().SetName("MS Sans Serif");
    Font().SetStyle({});
    SetIcon("ABOUTICON");
    SetPosition(poMainFormCenter);

    Panel2 = reader.create<TPanel>("Panel2");
    Panel2->SetParent(this);
    Panel2->SetBounds(0, 0, 270, 100);
    Panel2->SetAlign(alClient);
    Panel2->SetTabOrder(0);

    Panel1 = reader.create<TPanel>("Panel1");
    Panel1->SetParent(this);
    Panel1->SetBounds(0, 100, 270, 41);
    Panel1->SetAlign(alBottom);
    Panel1->SetTabOrder(1);

    BitBtn1 = reader.create<TBitBtn>("BitBtn1");
    BitBtn1->SetParent(Panel1);
    BitBtn1->SetBounds(96, 8, 75, 25);
    BitBtn1->SetTabOrder(0);
    BitBtn1->SetKind(bkOK);

    const struct {
        TLabel** field;
        const char* name;
        int top;
        AnsiString caption;
        TColor color;
    } labels[] = {
        {&Label2, "Label2", 1, "Abonix", clWindowText},
        {&Label3, "Label3", 22, "г. Ольмарск"_a, clWindowText},
        {&Label4, "Label4", 43, "2001 г."_a, clWindowText},
        {&Label1, "Label1", 64, "© Abonix, 2001"_a, clAqua},
    };
    for (const auto& l : labels) {
        TLabel* label = reader.create<TLabel>(l.name);
        label->SetParent(Panel2);
        label->SetBounds(1, l.top, 268, 21);
        label->SetAlign(alTop);
        label->SetAlignment(taCenter);
        label->SetCaption(l.caption);
        label_font(label, l.color);
        *l.field = label;
    }
}
