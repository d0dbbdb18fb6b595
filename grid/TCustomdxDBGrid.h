// The DB grid layer: the four option sets kept in step with the mirror sets
// and the core flag words, the three data modes, the sort hooks and the key
// field. Only grid mode, in which the rows are the dataset's record window,
// is carried out; the other two modes are named so that the options read
// completely.
#pragma once

#include "grid/TCustomdxDBTreeListControl.h"

class TdxDBTreeListColumn;

class TCustomdxDBGrid : public TCustomdxDBTreeListControl {
public:
    explicit TCustomdxDBGrid(TComponent* AOwner);
    // The stored layout is written first, while columns and bands stand.
    void BeforeDestruction() override;

    // ---- option sets -------------------------------------------------------------------
    TdxDBGridOptionsBehavior OptionsBehavior() const { return TdxDBGridOptionsBehavior::FromBits(m_published.bits[0]); }
    void SetOptionsBehavior(TdxDBGridOptionsBehavior value);
    TdxDBGridOptionsCustomize OptionsCustomize() const { return TdxDBGridOptionsCustomize::FromBits(m_published.bits[1]); }
    void SetOptionsCustomize(TdxDBGridOptionsCustomize value);
    TdxDBGridOptionsDB OptionsDB() const { return TdxDBGridOptionsDB::FromBits(m_published.bits[2]); }
    void SetOptionsDB(TdxDBGridOptionsDB value);
    TdxDBGridOptionsView OptionsView() const { return TdxDBGridOptionsView::FromBits(m_published.bits[3]); }
    void SetOptionsView(TdxDBGridOptionsView value);
    // The unstored mirror sets.
    TdxDBGridOptions Options() const;
    void SetOptions(TdxDBGridOptions value);
    TdxDBGridOptionsEx OptionsEx() const;
    void SetOptionsEx(TdxDBGridOptionsEx value);
    bool PartialLoad() const { return OptionsDB().Contains(edgoPartialLoad); }
    void SetPartialLoad(bool value);
    bool UseBookmarks() const { return OptionsDB().Contains(edgoUseBookmarks); }
    void SetUseBookmarks(bool value);

    // ---- data modes ----------------------------------------------------------------------
    bool IsGridMode() const override;
    bool IsPartialLoadMode() const;
    bool IsLoadAllMode() const;
    // A grouped column while the link is active.
    bool HasGroupedColumns() const;

    // ---- predicates the DB grid overrides --------------------------------------------
    bool IsAutoSort() const override;
    bool IsMultiSort() const override;
    bool IsDragScroll() const override;
    bool IsColumnMovingFor(const TdxTreeListColumn* column) const override;
    bool IsIndicator() const override { return OptionsView().Contains(edgoIndicator); }

    // ---- other published properties --------------------------------------------------
    const AnsiString& IniFileName() const { return m_iniFileName; }
    void SetIniFileName(const AnsiString& value) { m_iniFileName = value; }
    const AnsiString& IniSectionName() const { return m_iniSectionName; }
    void SetIniSectionName(const AnsiString& value) { m_iniSectionName = value; }
    const AnsiString& RegistryPath() const { return m_registryPath; }
    void SetRegistryPath(const AnsiString& value) { m_registryPath = value; }
    int PartialLoadBufferCount() const { return m_partialLoadBufferCount; }
    void SetPartialLoadBufferCount(int value) { m_partialLoadBufferCount = value; }
    const AnsiString& SummarySeparator() const { return m_summarySeparator; }
    void SetSummarySeparator(const AnsiString& value) { m_summarySeparator = value; }
    bool AutoExpandOnSearch() const { return m_autoExpandOnSearch; }
    void SetAutoExpandOnSearch(bool value) { m_autoExpandOnSearch = value; }
    bool DblClkExpanding() const { return m_dblClkExpanding; }
    void SetDblClkExpanding(bool value) { m_dblClkExpanding = value; }
    int CustomizingRowCount() const { return m_customizingRowCount; }
    void SetCustomizingRowCount(int value) { m_customizingRowCount = value; }
    int PreviewLines() const { return m_previewLines; }
    void SetPreviewLines(int value) { m_previewLines = value; }
    int PreviewMaxLength() const { return m_previewMaxLength; }
    void SetPreviewMaxLength(int value) { m_previewMaxLength = value; }
    int WaitForExpandNodeTime() const { return m_waitForExpandNodeTime; }
    void SetWaitForExpandNodeTime(int value) { m_waitForExpandNodeTime = value; }

    // Raised before a column's sort state changes (header clicks); Allow starts true.
    std::function<void(TObject* Sender, TdxTreeListColumn* Column, bool& Allow)> OnColumnSorting;

protected:
    bool IsCanNavigation() const override { return OptionsDB().Contains(edgoCanNavigation); }
    bool IsCancelOnExit() const override { return OptionsDB().Contains(edgoCancelOnExit); }
    bool IsSyncSelection() const override { return OptionsDB().Contains(edgoSyncSelection); }
    void LoadedColumns() override;
    void Loaded() override;
    // Reading and writing the stored layout; each runs at most once.
    virtual void LoadLayout();
    void SaveLayoutOnce();
    virtual void SaveLayout();
    void ColumnDestroying(TdxTreeListColumn* column) override;

private:
    void WriteOptions(dxgrid::PublishedOptions value);
    // The section name prefix of the stored layout: a backslash and the section name.
    AnsiString LayoutKey() const;
    // What the layout file says of a column.
    struct ColumnLayout {
        AnsiString name;
        int values[10] = {};
    };
    std::vector<ColumnLayout> ColumnLayouts() const;
    void ClearSorting();
    void FreezeColumnWidths();

    dxgrid::PublishedOptions m_published;
    AnsiString m_iniFileName;
    AnsiString m_iniSectionName;
    AnsiString m_registryPath;
    int m_partialLoadBufferCount = 100;
    AnsiString m_summarySeparator = ", ";
    bool m_autoExpandOnSearch = true;
    bool m_dblClkExpanding = true;
    int m_customizingRowCount = 11;
    int m_previewLines = 2;
    int m_previewMaxLength = 0;
    int m_waitForExpandNodeTime = 500;
    AnsiString m_formName;  // the form's name, kept for the save during its destruction
    // The columns as they were when the first of them was freed: the form
    // frees them before the grid, which writes them afterwards.
    std::vector<ColumnLayout> m_departedColumns;
    bool m_layoutLoaded = false;
    bool m_layoutSaved = false;
};
