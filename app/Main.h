// The main window. For now it holds the directory's data components and
// opens the tables when it is created; the grid and the bars join it later.
#pragma once

#include "directory/DirectoryTables.h"
#include "platform/forms/TForm.h"
#include "platform/gfx/TImageList.h"

class TPhones : public TForm {
public:
    explicit TPhones(TComponent* AOwner);

    // The data components, in stored order.
    TTable* PhoneT = nullptr;
    TDatabase* Abonix = nullptr;
    TDataSource* PhoneDS = nullptr;
    TTable* CityT = nullptr;
    TDataSource* CityDS = nullptr;
    TTable* StreetT = nullptr;
    TDataSource* StreetDS = nullptr;
    TImageList* ImageList1 = nullptr;

    const directory::DirectoryTables& Tables() const { return m_tables; }

    // Opens PhoneT, CityT and StreetT in that order.
    void FormCreate(TObject* Sender);
    // Closes the window, which ends the program.
    void CloseButtonClick(TObject* Sender);
    // Shows the About box made at start-up, modally; its result is ignored.
    void AboutMenuClick(TObject* Sender);
    // Opens the publisher's web page without a window of its own.
    void WebPageMenuClick(TObject* Sender);

    static constexpr const char* kWebPageCommand = "start http://abonix.example/";

protected:
    void ReadLayout(forms::LayoutReader& reader) override;

private:
    directory::DirectoryTables m_tables;
};

// The main window made at start-up.
extern TPhones* Phones;
