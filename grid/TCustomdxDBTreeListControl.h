// The data-aware tree-list control: the data link, the field binding of the
// data-aware columns and, in grid mode, the rows as the dataset's record
// window: node i is record i of the link's window, the focused node is the
// active record, and every move of the focus is a move of the dataset.
//
// Invariants in grid mode (check_invariants): with an active link, a window
// handle and records, the node count equals the link's record count and
// the link's buffer count equals the whole rows that fit; otherwise there is
// exactly one node. Nothing here grows with the table's record count.
#pragma once

#include "grid/TCustomdxTreeListControl.h"
#include "grid/TdxGridDataLink.h"
#include "platform/classes/ComponentLink.h"

#include <memory>

class TDataSet;
class TDataSource;
class TField;
class TdxDBTreeListColumn;

class TCustomdxDBTreeListControl : public TCustomdxTreeListControl {
public:
    explicit TCustomdxDBTreeListControl(TComponent* AOwner);
    ~TCustomdxDBTreeListControl() override;

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* value);
    TDataSet* DataSet() const;
    TdxDBTreeListControlDataLink& DataLink() const { return *m_link; }
    const AnsiString& KeyField() const { return m_keyField; }
    void SetKeyField(const AnsiString& value);
    // The field KeyField names, none when empty or absent.
    TField* KeyFieldObject() const { return m_keyFieldObject; }
    // The column bound to a field, or nullptr.
    TdxDBTreeListColumn* ColumnByField(const TField* field) const;

    // The full rows F and all rows P of the rows area.
    int FullRows() const { return Layout().full_rows(); }
    int AllRows() const { return Layout().all_rows(); }

    void SetFocusedNumber(int index) override;
    AnsiString GetCellText(TdxTreeListNode* node, int column) override;
    AnsiString GetPaintedCellText(int row, int column) override;
    std::unique_ptr<TdxTreeListNode> CreateNode(TdxTreeListNode* parent) override;

    // The data modes; this layer knows only grid mode.
    virtual bool IsGridMode() const { return true; }

    TNotifyEvent OnChangeNodeEx;

    void check_invariants() const;

protected:
    friend class TdxDBTreeListControlDataLink;
    // The notifications of the data link.
    virtual void LinkActiveChanged();
    virtual void LinkDataSetChanged();
    virtual void LinkDataSetScrolled(int distance);
    virtual void LinkRecordChanged(TField* field);
    virtual void LinkLayoutChanged();
    virtual void LinkFocusControl(TField*& field);
    // The flags of OptionsDB that this layer reads.
    virtual bool IsCanNavigation() const { return true; }
    virtual bool IsCancelOnExit() const { return true; }
    virtual bool IsSyncSelection() const { return false; }

    void CreateWnd() override;
    void Notification(TComponent* component, TOperation operation) override;
    void LayoutRefreshed() override;
    void LoadedColumns() override;
    void UpdateScrollBars() override;
    void VScroll(int code) override;
    void FocusChanged(bool gained) override;
    void BeginRowPaint(int row) override;
    void EndRowPaint(int row) override;
    // Grid mode's layout refresh: rows, buffer count, node count and focus.
    void GridModeRefresh();
    // Binds the columns to the dataset's fields anew.
    void Rebind();

private:
    // Moves the whole rows in `rows` by dy pixels and invalidates what the move uncovers.
    void ScrollRows(const TRect& rows, int dy);

    std::unique_ptr<TdxGridDataLink> m_link;
    AnsiString m_keyField;
    ComponentLink<TField> m_keyFieldObject;
    bool m_refreshing = false;
    int m_rowPaintDepth = 0;
    int m_rowPaintSaved = 0;
    int m_rowPainted = -1;  // the row whose record the paint bracket made active
};
