#include "grid/TdxGridDataLink.h"

#include "grid/TCustomdxDBTreeListControl.h"

TdxDBTreeListControlDataLink::TdxDBTreeListControlDataLink(TCustomdxDBTreeListControl& grid) : m_grid(grid) {
    m_fieldMap.reserve(8);
}

void TdxDBTreeListControlDataLink::AddMapping(int fieldIndex) {
    // The map never holds more entries than the original's array limit.
    if (m_fieldMap.size() >= 268435455u) return;
    m_fieldMap.push_back(fieldIndex);
}

void TdxDBTreeListControlDataLink::ActiveChanged() { m_grid.LinkActiveChanged(); }

void TdxDBTreeListControlDataLink::DataSetChanged() {
    m_modified = false;
    m_grid.LinkDataSetChanged();
}

void TdxDBTreeListControlDataLink::DataSetScrolled(int Distance) { m_grid.LinkDataSetScrolled(Distance); }

void TdxDBTreeListControlDataLink::RecordChanged(TField* Field) {
    m_modified = false;
    m_grid.LinkRecordChanged(Field);
}

void TdxDBTreeListControlDataLink::LayoutChanged() { m_grid.LinkLayoutChanged(); }

void TdxDBTreeListControlDataLink::FocusControl(TField*& Field) { m_grid.LinkFocusControl(Field); }
