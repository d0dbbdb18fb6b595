#include "platform/db/TDataLink.h"

#include "platform/db/TDataSet.h"
#include "platform/db/TDataSource.h"

#include <algorithm>

TDataLink::~TDataLink() {
    if (!m_dataSource) return;
    auto& links = m_dataSource->m_links;
    links.erase(std::remove(links.begin(), links.end(), this), links.end());
    if (TDataSet* ds = m_dataSource->DataSet()) ds->UpdateBufferCount();
}

TDataSet* TDataLink::DataSet() const { return m_dataSource ? m_dataSource->DataSet() : nullptr; }

void TDataLink::SetDataSource(TDataSource* value) {
    if (value == m_dataSource) return;
    TDataSet* old_set = DataSet();
    if (m_dataSource) {
        auto& links = m_dataSource->m_links;
        links.erase(std::remove(links.begin(), links.end(), this), links.end());
    }
    m_dataSource = value;
    if (m_dataSource) m_dataSource->m_links.push_back(this);
    if (old_set) old_set->UpdateBufferCount();
    if (TDataSet* ds = DataSet(); ds && ds != old_set) ds->UpdateBufferCount();
    update_state();
}

void TDataLink::SetBufferCount(int value) {
    value = std::max(value, 1);
    if (value == m_bufferCount) return;
    m_bufferCount = value;
    if (TDataSet* ds = DataSet()) ds->UpdateBufferCount();
}

void TDataLink::update_range() {
    TDataSet* ds = DataSet();
    const int rows = ds->WindowRows();
    const int active = ds->WindowActive();
    const int low = std::max(0, active - m_bufferCount + 1);
    const int high = std::min(active, std::max(0, rows - m_bufferCount));
    m_first = std::clamp(m_first, low, std::max(low, high));
}

int TDataLink::RecordCount() const {
    if (!m_active) return 0;
    const_cast<TDataLink*>(this)->update_range();
    return std::min(DataSet()->WindowRows() - m_first, m_bufferCount);
}

int TDataLink::ActiveRecord() const {
    if (!m_active) return 0;
    const_cast<TDataLink*>(this)->update_range();
    return DataSet()->WindowActive() - m_first;
}

void TDataLink::SetActiveRecord(int value) {
    if (!m_active) return;
    TDataSet* ds = DataSet();
    if (ds->WindowRows() == 0) return;
    ds->SetWindowActive(std::clamp(m_first + value, 0, ds->WindowRows() - 1));
}

int TDataLink::MoveBy(int distance) {
    TDataSet* ds = DataSet();
    return ds ? ds->MoveBy(distance) : 0;
}

void TDataLink::update_state() {
    const bool active = DataSet() && DataSet()->Active();
    if (active == m_active) return;
    m_active = active;
    m_first = 0;
    ActiveChanged();
}

void TDataLink::data_event(TDataEvent event, std::intptr_t info) {
    if (event == deUpdateState) {
        update_state();
        return;
    }
    if (!m_active) return;
    switch (event) {
    case deFieldChange: RecordChanged(reinterpret_cast<TField*>(info)); break;
    case deRecordChange: RecordChanged(nullptr); break;
    case deDataSetChange: update_range(); DataSetChanged(); break;
    case deDataSetScroll: {
        // The dataset's window moved by info; the link keeps its own rows where
        // they were as far as its range allows, and reports how far its rows moved.
        const int distance = static_cast<int>(info);
        const int before = m_first;
        m_first -= distance;
        update_range();
        DataSetScrolled(distance + m_first - before);
        break;
    }
    case deLayoutChange: update_range(); LayoutChanged(); break;
    case deUpdateRecord: UpdateData(); break;
    case deCheckBrowseMode: CheckBrowseMode(); break;
    case deFocusControl: FocusControl(*reinterpret_cast<TField**>(info)); break;
    case deUpdateState: break;
    }
}
