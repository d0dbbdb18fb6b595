#include "platform/db/TDataSource.h"

#include "platform/db/TDataLink.h"
#include "platform/db/TDataSet.h"

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
    if (m_dataSet) m_dataSet->RemoveDataSource(this);
    m_dataSet = nullptr;
    const std::vector<TDataLink*> links = std::move(m_links);
    for (TDataLink* link : links) {
        link->m_dataSource = nullptr;
        link->update_state();
    }
}

void TDataSource::SetDataSet(TDataSet* value) {
    if (value == m_dataSet) return;
    TDataSet* old = m_dataSet;
    if (old) {
        old->RemoveDataSource(this);
        RemoveFreeNotification(old);
    }
    m_dataSet = value;
    if (value) {
        value->AddDataSource(this);
        FreeNotification(value);
    }
    if (old) old->UpdateBufferCount();
    if (value) value->UpdateBufferCount();
    update_links();
}

TDataSetState TDataSource::State() const { return m_dataSet ? m_dataSet->State() : dsInactive; }

void TDataSource::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == m_dataSet) {
        m_dataSet = nullptr;
        update_links();
    }
}

void TDataSource::update_links() {
    const std::vector<TDataLink*> links = m_links;
    for (TDataLink* link : links) link->update_state();
}

void TDataSource::data_event(TDataEvent event, std::intptr_t info) {
    const std::vector<TDataLink*> links = m_links;
    for (TDataLink* link : links) {
        if (event == deFocusControl && *reinterpret_cast<TField**>(info) == nullptr) return;
        link->data_event(event, info);
    }
}
