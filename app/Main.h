// The main window: the subscriber grid filling the window under the bar
// manager's main menu and search toolbar, the directory's data components and
// the image list, created in their stored order. Its handlers run the
// directory's searches and ordering (DirectorySearch) and the three menu
// commands.
#pragma once

#include "directory/DirectoryTables.h"
#include "platform/forms/TForm.h"

#include <memory>

namespace app {
class DirectoryReload;
}

class TdxBar;
class TdxBarButton;
class TdxBarDockControl;
class TdxBarEdit;
class TdxBarManager;
class TdxBarSubItem;
class TdxDBGrid;
class TdxTreeListColumn;
class TImageList;

class TPhones : public TForm {
public:
    explicit TPhones(TComponent* AOwner);
    ~TPhones() override;

    // The components, in stored order.
    TdxBarDockControl* dxBarDockControl1 = nullptr;
    TdxBarDockControl* dxBarDockControl2 = nullptr;
    TdxBarDockControl* dxBarDockControl3 = nullptr;
    TdxBarDockControl* dxBarDockControl4 = nullptr;
    TdxDBGrid* PhoneGrid = nullptr;
    TdxBarManager* PhoneBarManager = nullptr;
    TdxBarSubItem* FileMenu = nullptr;
    TdxBarSubItem* N1 = nullptr;
    TdxBarButton* AboutMenu = nullptr;
    TdxBarButton* WebPageMenu = nullptr;
    TdxBarButton* CloseButton = nullptr;
    TdxBarEdit* LastNameEdit = nullptr;
    TdxBarEdit* FirstNameEdit = nullptr;
    TdxBarEdit* MiddleNameEdit = nullptr;
    TdxBarEdit* PhoneEdit = nullptr;
    TdxBarEdit* CityEdit = nullptr;
    TdxBarEdit* StreetEdit = nullptr;
    TTable* PhoneT = nullptr;
    TDatabase* Abonix = nullptr;
    TDataSource* PhoneDS = nullptr;
    TTable* CityT = nullptr;
    TDataSource* CityDS = nullptr;
    TTable* StreetT = nullptr;
    TDataSource* StreetDS = nullptr;
    TImageList* ImageList1 = nullptr;

    // The two bars of PhoneBarManager: "Main Menu" and "SearchBar".
    TdxBar* MainMenuBar = nullptr;
    TdxBar* SearchBar = nullptr;

    const directory::DirectoryTables& Tables() const { return m_tables; }

    // Opens PhoneT, CityT and StreetT in that order.
    void FormCreate(TObject* Sender);
    // Closes the window, which ends the program.
    void CloseButtonClick(TObject* Sender);
    // Shows the About box made at start-up, modally; its result is ignored.
    void AboutMenuClick(TObject* Sender);
    // Opens the publisher's web page without a window of its own.
    void WebPageMenuClick(TObject* Sender);

    // The search boxes' change handlers: each searches by its box's committed text.
    void PhoneEditChange(TObject* Sender);
    void LastNameEditChange(TObject* Sender);
    void FirstNameEditChange(TObject* Sender);
    void MiddleNameEditChange(TObject* Sender);
    void CityEditChange(TObject* Sender);
    void StreetEditChange(TObject* Sender);
    // A click on a column header orders the directory by the column's field.
    void PhoneGridColumnClick(TObject* Sender, TdxTreeListColumn* Column);

    static constexpr const char* kWebPageCommand = "start http://abonix.example/";

protected:
    void ReadLayout(forms::LayoutReader& reader) override;
    // An activation looks whether the tables' files changed on disk.
    void WndProc(TMessage& message) override;

private:
    void read_dock_controls(forms::LayoutReader& reader);
    void read_grid(forms::LayoutReader& reader);
    void read_bar_manager(forms::LayoutReader& reader);

    // The tables opened again when their files changed; false while one cannot be read.
    bool TablesReadable();

    directory::DirectoryTables m_tables;
    std::unique_ptr<app::DirectoryReload> m_reload;
};

// The main window made at start-up.
extern TPhones* Phones;
