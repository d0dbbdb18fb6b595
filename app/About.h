// The About box: the program's name, its city and year, and the maker's
// notice over an OK button. One box is made at start-up, hidden, and shown
// modally on request as often as asked.
#pragma once

#include "platform/forms/TBitBtn.h"
#include "platform/forms/TLabel.h"
#include "platform/forms/TPanel.h"

class TAboutBox : public TForm {
public:
    explicit TAboutBox(TComponent* AOwner);

    TPanel* Panel2 = nullptr;
    TPanel* Panel1 = nullptr;
    TBitBtn* BitBtn1 = nullptr;
    TLabel* Label2 = nullptr;
    TLabel* Label3 = nullptr;
    TLabel* Label4 = nullptr;
    TLabel* Label1 = nullptr;

protected:
    void ReadLayout(forms::LayoutReader& reader) override;
};

// The box made at start-up.
extern TAboutBox* AboutBox;
