// The DB grid's layout in the ini file: which columns are shown, their
// order, widths and sort state, the bands, and a few view switches. Read
// once at the end of loading, written once as destruction begins.
#include "grid/TCustomdxDBGrid.h"

#include "platform/classes/ScopeExit.h"
#include "grid/TdxDBTreeListColumn.h"
#include "platform/forms/TMemIniFile.h"

#include <algorithm>
#include <string>

namespace {

AnsiString band_section(const AnsiString& key, int i) { return key + "\\Band\\Band" + std::to_string(i); }
AnsiString column_section(const AnsiString& key, const TdxTreeListColumn* c) { return key + "\\Columns\\" + c->Name(); }

}  // namespace

AnsiString TCustomdxDBGrid::LayoutKey() const {
    AnsiString key = IniSectionName();
    if (key.empty()) key = m_formName + "_" + Name();
    if (key.empty() || key.front() != '\\') key.insert(key.begin(), '\\');
    while (key.size() > 1 && key.back() == '\\') key.pop_back();
    return key;
}

void TCustomdxDBGrid::Loaded() {
    if (Owner()) m_formName = Owner()->Name();
    TCustomdxDBTreeListControl::Loaded();
}

void TCustomdxDBGrid::LoadLayout() {
    if (m_layoutLoaded) return;
    m_layoutLoaded = true;
    if (!IsStoreToIniFile() || IniFileName().empty()) return;
    const TMemIniFile ini(IniFileName());
    const AnsiString K = LayoutKey();
    const UpdateLock lock(*this);

    SetShowGrid(ini.ReadBool(K, "ShowGrid", ShowGrid()));
    SetShowPreviewGrid(ini.ReadBool(K, "ShowPreviewGrid", ShowPreviewGrid()));
    SetBandRowCount(ini.ReadInteger(K, "BandRowCount", BandRowCount()));
    SetDefaultRowHeight(ini.ReadInteger(K, "DefaultRowHeight", DefaultRowHeight()));
    const int rows = ini.ReadInteger(K, "HeaderPanelRowCount", HeaderPanelRowCount());
    if (rows != -1) {
        if (OptionsView().Contains(edgoAutoHeaderPanelHeight)) SetOptionsView(OptionsView() - edgoAutoHeaderPanelHeight);
        SetHeaderPanelRowCount(rows);
    }
    SetShowGroupPanel(ini.ReadBool(K, "ShowGroupPanel", ShowGroupPanel()));
    SetShowNewItemRow(ini.ReadBool(K, "ShowNewItemRow", ShowNewItemRow()));
    SetShowRowFooter(ini.ReadBool(K, "ShowRowFooter", ShowRowFooter()));
    SetShowSummaryFooter(ini.ReadBool(K, "ShowSummaryFooter", ShowSummaryFooter()));

    // Bands, known by their IDs; those read take the positions their Index values give.
    std::vector<std::pair<int, TdxTreeListBand*>> bands;
    for (int i = 0; i < Bands().Count(); ++i) {
        const AnsiString section = band_section(K, i);
        const int id = ini.ReadInteger(section, "ID", -1);
        if (id == -1) continue;
        TdxTreeListBand* band = Bands().FindByID(id);
        if (!band) continue;
        band->SetVisible(ini.ReadBool(section, "Visible", band->Visible()));
        band->SetWidth(ini.ReadInteger(section, "Width", band->Width()));
        bands.emplace_back(ini.ReadInteger(section, "Index", band->Index()), band);
    }
    std::stable_sort(bands.begin(), bands.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < bands.size(); ++i) bands[i].second->SetIndex(static_cast<int>(i));

    // Columns: what they show, then their order.
    std::vector<std::pair<int, TdxTreeListColumn*>> order;
    for (int i = 0; i < ColumnCount(); ++i) {
        TdxTreeListColumn* c = Columns(i);
        const AnsiString section = column_section(K, c);
        c->SetVisible(ini.ReadBool(section, "Visible", c->Visible()));
        c->SetWidth(ini.ReadInteger(section, "Width", c->Width()));
        const int sorted = ini.ReadInteger(section, "Sorted", c->Sorted());
        if (sorted >= csNone && sorted <= csUp) c->SetSorted(static_cast<TdxTreeListColumnSort>(sorted));
        c->SetSortOrder(ini.ReadInteger(section, "SortedOrder", -1));
        if (auto* db = dynamic_cast<TdxDBTreeListColumn*>(c)) db->SetGroupIndex(ini.ReadInteger(section, "GroupIndex", db->GroupIndex()));
        order.emplace_back(ini.ReadInteger(section, "Index", i), c);
    }
    std::stable_sort(order.begin(), order.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < order.size(); ++i) order[i].second->SetIndex(static_cast<int>(i));
    for (int i = 0; i < ColumnCount(); ++i) {
        TdxTreeListColumn* c = Columns(i);
        const AnsiString section = column_section(K, c);
        c->SetBandIndex(std::clamp(ini.ReadInteger(section, "BandIndex", c->BandIndex()), -1, Bands().Count() - 1));
        c->SetRowIndex(std::clamp(ini.ReadInteger(section, "RowIndex", c->RowIndex()), 0, HeaderPanelRowCount() - 1));
        c->SetStoredRowIndex(ini.ReadInteger(section, "StoredRowIndex", c->StoredRowIndex()));
    }
    if (IsMultiSort()) RebuildSortedColumns();
}

std::vector<TCustomdxDBGrid::ColumnLayout> TCustomdxDBGrid::ColumnLayouts() const {
    std::vector<ColumnLayout> list;
    const auto& sorted = SortedColumns();
    for (int i = 0; i < ColumnCount(); ++i) {
        const TdxTreeListColumn* c = Columns(i);
        int colIndex = c->ColIndex();
        // A hidden column is counted after the shown ones of its row.
        if (colIndex < 0) colIndex = std::max(static_cast<int>(VisibleColumnsOf(c->BandIndex(), c->RowIndex()).size()) - 1, 0);
        const auto it = std::find(sorted.begin(), sorted.end(), c);
        const auto* db = dynamic_cast<const TdxDBTreeListColumn*>(c);
        list.push_back({c->Name(),
                        {c->BandIndex(), c->RowIndex(), colIndex, c->Visible() ? 1 : 0, i, c->Width(), c->Sorted(),
                         it == sorted.end() ? -1 : static_cast<int>(it - sorted.begin()), c->StoredRowIndex(),
                         db ? db->GroupIndex() : -1}});
    }
    return list;
}

void TCustomdxDBGrid::ColumnDestroying(TdxTreeListColumn*) {
    if (m_departedColumns.empty() && !m_layoutSaved) m_departedColumns = ColumnLayouts();
}

void TCustomdxDBGrid::SaveLayout() {
    if (!IsStoreToIniFile() || IniFileName().empty()) return;
    TMemIniFile ini(IniFileName());
    const AnsiString K = LayoutKey();
    // The grid's old sections go, also those of columns that no longer exist.
    for (const AnsiString& section : ini.ReadSections())
        if (section.compare(0, K.size(), K) == 0) ini.EraseSection(section);

    ini.WriteBool(K, "ShowGrid", ShowGrid());
    ini.WriteBool(K, "ShowPreviewGrid", ShowPreviewGrid());
    ini.WriteInteger(K, "BandRowCount", BandRowCount());
    ini.WriteInteger(K, "DefaultRowHeight", DefaultRowHeight());
    ini.WriteInteger(K, "HeaderPanelRowCount", OptionsView().Contains(edgoAutoHeaderPanelHeight) ? -1 : HeaderPanelRowCount());
    for (int i = 0; i < Bands().Count(); ++i) {
        const TdxTreeListBand* band = Bands().Items(i);
        const AnsiString section = band_section(K, i);
        ini.WriteInteger(section, "ID", band->ID());
        ini.WriteBool(section, "Visible", band->Visible());
        ini.WriteInteger(section, "Index", i);
        ini.WriteInteger(section, "Width", band->Width());
    }
    ini.WriteBool(K, "ShowGroupPanel", ShowGroupPanel());
    ini.WriteBool(K, "ShowNewItemRow", ShowNewItemRow());
    ini.WriteBool(K, "ShowRowFooter", ShowRowFooter());
    ini.WriteBool(K, "ShowSummaryFooter", ShowSummaryFooter());
    static const char* const kEntries[10] = {"BandIndex", "RowIndex",    "ColIndex",       "Visible",   "Index",
                                             "Width",     "Sorted",      "SortedOrder",    "StoredRowIndex", "GroupIndex"};
    for (const ColumnLayout& c : m_departedColumns.empty() ? ColumnLayouts() : m_departedColumns) {
        const AnsiString section = K + "\\Columns\\" + c.name;
        for (int e = 0; e < 10; ++e) {
            if (e == 3)
                ini.WriteBool(section, kEntries[e], c.values[e] != 0);
            else
                ini.WriteInteger(section, kEntries[e], c.values[e]);
        }
    }
    ini.UpdateFile();
}
