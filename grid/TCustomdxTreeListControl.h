// The tree-list control: bands, columns, header panel rows, the layout cache
// built from them, column sizing and best fit, and painting.
//
// Invariants (check_invariants, on top of the core's):
//  - every column in the list names this control as its tree list, once;
//  - after normalisation every column's row lies within 0 … HeaderPanelRowCount − 1
//    and no visible column sits below an empty row of its band.
#pragma once

#include "grid/TCustomdxTreeList.h"
#include "grid/TdxTreeListBand.h"

#include <functional>
#include <vector>

class TdxTreeListColumn;

using TdxColumnEvent = std::function<void(TObject* Sender, TdxTreeListColumn* Column)>;

class TCustomdxTreeListControl : public TCustomdxTreeList {
public:
    explicit TCustomdxTreeListControl(TComponent* AOwner);
    ~TCustomdxTreeListControl() override;

    // ---- bands ---------------------------------------------------------------------
    TdxTreeListBands& Bands() { return m_bands; }
    const TdxTreeListBands& Bands() const { return m_bands; }

    // ---- header panel -----------------------------------------------------------------
    int HeaderPanelRowCount() const { return m_headerPanelRowCount; }
    void SetHeaderPanelRowCount(int value);
    int HeaderPanelMaxRowCount() const { return m_headerPanelMaxRowCount; }
    void SetHeaderPanelMaxRowCount(int value);
    int HeaderMinRowCount() const { return m_headerMinRowCount; }
    void SetHeaderMinRowCount(int value);
    int BandRowCount() const { return m_bandRowCount; }
    void SetBandRowCount(int value);
    int BandMaxRowCount() const { return m_bandMaxRowCount; }
    void SetBandMaxRowCount(int value);
    bool DefaultLayout() const { return m_defaultLayout; }
    void SetDefaultLayout(bool value);
    bool IsBandHeaderWidth() const override;

    // ---- columns ---------------------------------------------------------------------
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    TdxTreeListColumn* Columns(int index) const { return m_columns.at(static_cast<std::size_t>(index)); }
    int ColumnIndexOf(const TdxTreeListColumn* column) const;
    void MoveColumn(int from, int to);
    TdxTreeListColumn* ColumnByName(const AnsiString& name) const;
    // The visible columns of a band (collection index) and header row, in list order.
    std::vector<TdxTreeListColumn*> VisibleColumnsOf(int band, int row) const;
    // Header rows of a band holding at least one visible column.
    int NonEmptyRowCount(int band) const;
    TdxTreeListColumn* ColumnAt(int visibleBand, int row, int pos) const;
    // Clamps the columns' rows and closes up the empty rows of every band.
    void NormalizeHeaderRows();
    // The sorted columns, first key first.
    const std::vector<TdxTreeListColumn*>& SortedColumns() const { return m_sortedColumns; }
    void RebuildSortedColumns();
    // Called by a column when a property changed.
    void ColumnChanged(TdxTreeListColumn* column, bool size_related);
    void BandsChanged();

    // ---- widths ---------------------------------------------------------------------------
    // The column's display width now (0 when it takes no space).
    int ColumnDisplayWidth(const TdxTreeListColumn* column) const;
    // The width a column's texts and caption need (best fit).
    int BestFitWidth(TdxTreeListColumn* column);

    TNotifyEvent OnChangedColumnsWidth;
    TdxColumnEvent OnColumnClick;
    std::function<void(TObject* Sender, TdxTreeListColumn* Column, bool& Allow)> OnCanHeaderDragging;
    TdxColumnEvent OnStartHeaderDragging;
    std::function<void(TObject* Sender, TdxTreeListColumn* Column, TPoint P, bool& Accept)> OnDragOverHeader;
    std::function<void(TObject* Sender, TdxTreeListColumn* Column, TPoint P, bool& Save)> OnDragEndHeader;
    TdxColumnEvent OnHeaderMoved;
    TdxColumnEvent OnColumnMoved;
    TdxColumnEvent OnHideHeader;
    TdxColumnEvent OnHideColumn;
    TdxColumnEvent OnShowHeader;

    void check_invariants() const;

protected:
    void Loaded() override;
    void FontChanged() override;
    void ParentFontChanged() override;
    void Paint() override;
    void FillLayoutInput(dxgrid::LayoutInput& input) const override;
    int ColumnFontRowHeight() const override;
    int HeaderLines() const override { return m_headerMinRowCount; }
    int HeaderRows() const override { return m_headerPanelRowCount; }
    void ApplyColumnSizing(int column, int requested) override;
    void BestFitColumn(int column) override;
    void LayoutRefreshed() override;
    // The end of loading after the header rows and the sorted columns: the
    // data-aware layers refresh widths and load the stored layout here.
    virtual void LoadedColumns();
    // A column is being freed (its form frees the columns before the grid).
    virtual void ColumnDestroying(TdxTreeListColumn* column) { (void)column; }

private:
    friend class TdxTreeListColumn;
    void AddColumn(TdxTreeListColumn* column);
    void RemoveColumn(TdxTreeListColumn* column, bool destroying = false);

    TdxTreeListBands m_bands;
    std::vector<TdxTreeListColumn*> m_columns;
    std::vector<TdxTreeListColumn*> m_sortedColumns;
    int m_headerPanelRowCount = 1;
    int m_headerPanelMaxRowCount = 5;
    int m_headerMinRowCount = 1;
    int m_bandRowCount = 1;
    int m_bandMaxRowCount = 5;
    bool m_defaultLayout = true;
    bool m_normalizing = false;
};
